#pragma once
// The report's dialogs as the program shows them: the site dialog, the preview with
// its save and print buttons, the save-file dialog.
#include "report/ReportCommand.h"

class LangModule;
class QWidget;

class QtReportPrompts final : public ReportPrompts {
public:
    QtReportPrompts(const LangModule& lang, QWidget* parent) : m_lang(lang), m_parent(parent) {}

    std::optional<SiteEntry> askSite(const SiteEntry& last) override;
    void preview(ReportPreviewHost& host) override;
    QString savePdfName(const QString& suggested) override;

private:
    const LangModule& m_lang;
    QWidget* m_parent;
};
