#pragma once
// File > Report...: asks for the site, gathers the report, shows it and saves it as
// a PDF or prints it. Every dialog goes through ReportPrompts, so tests script them.
#include "report/ReportData.h"
#include "report/ReportRenderer.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

class LangModule;
class Prompts;
class QPagedPaintDevice;
class QSettings;
class QWidget;

// What the report's preview can ask of the command.
class ReportPreviewHost {
public:
    virtual ~ReportPreviewHost() = default;
    virtual int paint(QPagedPaintDevice& device) = 0;
    // Asks for a file name and writes the PDF; false when nothing was written.
    virtual bool savePdf() = 0;
};

class ReportPrompts {
public:
    virtual ~ReportPrompts() = default;
    // The site dialog, filled with the last entries; nothing when cancelled.
    virtual std::optional<SiteEntry> askSite(const SiteEntry& last) = 0;
    // Shows the report until the user closes it; saving and printing happen from there.
    virtual void preview(ReportPreviewHost& host) = 0;
    // The save dialog, starting at `suggested`; empty when cancelled. It does not ask
    // about replacing a file: the command does, in the user's language.
    virtual QString savePdfName(const QString& suggested) = 0;
};

class ReportCommand : public QObject, public ReportPreviewHost {
    Q_OBJECT
public:
    // Everything the report shows but the site entries and the time it is made.
    using Gather = std::function<ReportData()>;

    // `title` titles the messages (the main window's title).
    ReportCommand(const LangModule& lang, Prompts& prompts, Gather gather, QWidget* parent);
    ~ReportCommand() override;

    void setTitle(const QString& title) { m_title = title; }
    void setPlotPainter(PlotPainter plots) { m_plots = std::move(plots); }
    // Tests script the dialogs and keep the remembered entries in a scratch file.
    void setReportPrompts(ReportPrompts* prompts) { m_reportPrompts = prompts; }
    void setSettings(QSettings* settings) { m_settings = settings; }

    // The whole command: the site dialog, then the preview.
    void run();

    // The file name offered first: "<site>-<yyyy-MM-dd>.pdf" in `folder`, the site
    // cut to what a file name may hold.
    static QString suggestedName(const QString& folder, const QString& site, const QDate& day);

    // ReportPreviewHost, public for the dialogs of the program.
    int paint(QPagedPaintDevice& device) override;
    bool savePdf() override;

private:
    QSettings& settings();

    const LangModule& m_lang;
    Prompts& m_prompts;
    Gather m_gather;
    PlotPainter m_plots;
    QString m_title;
    std::unique_ptr<ReportPrompts> m_ownPrompts;
    ReportPrompts* m_reportPrompts = nullptr;
    std::unique_ptr<QSettings> m_ownSettings;
    QSettings* m_settings = nullptr;
    std::optional<ReportRenderer> m_shown;
};
