#pragma once
// Opening a recording from the program: the reading with a progress dialog that can be
// cancelled (the monitor keeps ticking meanwhile), the user told why a file is no
// recording, and a window listing the recording's travels.
#include "ride/Recording.h"
#include "ride/TravelFigures.h"

#include <QDialog>
#include <optional>

class LangModule;
class Prompts;
class TravelList;

namespace RecordingLoad {

// The message for a recording that could not be read; empty for a cancel.
QString failureText(const LangModule& lang, const QString& path,
                    const RecordingFile::Result& result);

// Reads `path`, showing progress on a dialog over `parent`. On a failure the user is
// told (titled `title`); nothing when cancelled. The samples, or nothing.
std::optional<QList<RideSample>> read(const QString& path, const LangModule& lang, Prompts& prompts,
                                      const QString& title, QWidget* parent);

} // namespace RecordingLoad

class RecordingWindow final : public QDialog {
    Q_OBJECT
public:
    RecordingWindow(const LangModule& lang, Prompts& prompts, QWidget* parent = nullptr);

    // Shows the travels of the recording `path`.
    void show(const QString& path, const QList<MeasuredTravel>& travels);
    void retitle(const LangModule& lang);
    TravelList* list() const { return m_list; }
    QString path() const { return m_path; }

private:
    const LangModule& m_lang;
    TravelList* m_list = nullptr;
    QString m_path;
};
