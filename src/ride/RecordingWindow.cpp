#include "ride/RecordingWindow.h"

#include "lang/LangModule.h"
#include "lang/TextId.h"
#include "platform/Prompts.h"
#include "ride/TravelList.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QVBoxLayout>

namespace RecordingLoad {

QString failureText(const LangModule& lang, const QString& path,
                    const RecordingFile::Result& result) {
    const QString file = QDir::toNativeSeparators(path);
    switch (result.failure) {
    case RecordingFile::Failure::NotAFile:
        return lang.LangText(TextId::RecordingNotAFile).arg(file);
    case RecordingFile::Failure::Unreadable:
        return lang.LangText(TextId::RecordingUnreadable).arg(file, result.detail);
    case RecordingFile::Failure::TooLarge:
        return lang.LangText(TextId::RecordingTooLarge)
            .arg(file)
            .arg(RecordingFile::MaxBytes >> 20);
    case RecordingFile::Failure::NotASample:
        return lang.LangText(TextId::RecordingNotASample).arg(file).arg(result.line);
    case RecordingFile::Failure::NoSamples:
        return lang.LangText(TextId::RecordingNoSamples).arg(file);
    case RecordingFile::Failure::None:
    case RecordingFile::Failure::Cancelled:
        break;
    }
    return QString();
}

std::optional<QList<RideSample>> read(const QString& path, const LangModule& lang, Prompts& prompts,
                                      const QString& title, QWidget* parent) {
    constexpr int Steps = 1000;
    QProgressDialog progress(
        lang.LangText(TextId::RecordingReading).arg(QFileInfo(path).fileName()),
        lang.LangText(TextId::Cancel), 0, Steps, parent);
    progress.setObjectName(QStringLiteral("RecordingProgress"));
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    // A recording of a few minutes reads faster than the dialog would appear.
    progress.setMinimumDuration(400);
    progress.setAutoReset(false);
    const RecordingFile::Result result =
        RecordingFile::read(path, [&progress](qint64 done, qint64 total) {
            // A window-modal dialog lets the event loop run here, so the monitor keeps
            // ticking while a long recording is read.
            progress.setValue(total > 0 ? int(done * Steps / total) : 0);
            return !progress.wasCanceled();
        });
    progress.close();
    if (!result.ok()) {
        const QString why = failureText(lang, path, result);
        if (!why.isEmpty())
            prompts.warning(title, why);
        return std::nullopt;
    }
    return result.samples;
}

} // namespace RecordingLoad

RecordingWindow::RecordingWindow(const LangModule& lang, Prompts& prompts, QWidget* parent)
    : QDialog(parent), m_lang(lang) {
    setObjectName(QStringLiteral("RecordingWindow"));
    auto* layout = new QVBoxLayout(this);
    m_list = new TravelList(lang, prompts, this);
    layout->addWidget(m_list);
    resize(760, 320);
}

void RecordingWindow::show(const QString& path, const QList<MeasuredTravel>& travels) {
    m_path = path;
    m_list->setTravels(travels);
    retitle(m_lang);
    QDialog::show();
    raise();
    activateWindow();
}

void RecordingWindow::retitle(const LangModule& lang) {
    m_list->retitle(lang);
    setWindowTitle(lang.LangText(TextId::RecordingTravelsTitle)
                       .arg(QDir::toNativeSeparators(QFileInfo(m_path).fileName())));
}
