#include "report/ReportCommand.h"

#include "lang/LangModule.h"
#include "platform/Prompts.h"
#include "report/ReportDialogs.h"
#include "report/ReportPdf.h"
#include "report/SiteMemory.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QWidget>

ReportCommand::ReportCommand(const LangModule& lang, Prompts& prompts, Gather gather,
                             QWidget* parent)
    : QObject(parent), m_lang(lang), m_prompts(prompts), m_gather(std::move(gather)),
      m_ownPrompts(std::make_unique<QtReportPrompts>(lang, parent)),
      m_reportPrompts(m_ownPrompts.get()) {
    setObjectName(QStringLiteral("ReportCommand"));
}

ReportCommand::~ReportCommand() = default;

QSettings& ReportCommand::settings() {
    if (!m_settings) {
        m_ownSettings = std::make_unique<QSettings>(
            QSettings::UserScope, QStringLiteral("liftdrive"), QStringLiteral("liftdrive"));
        m_settings = m_ownSettings.get();
    }
    return *m_settings;
}

void ReportCommand::run() {
    const std::optional<SiteEntry> site = m_reportPrompts->askSite(SiteMemory::recall(settings()));
    if (!site)
        return;
    SiteMemory::remember(settings(), *site);
    ReportData data = m_gather();
    data.site = *site;
    data.made = QDateTime::currentDateTime();
    m_shown.emplace(std::move(data), m_lang);
    m_shown->setPlotPainter(m_plots);
    m_reportPrompts->preview(*this);
    m_shown.reset();
}

int ReportCommand::paint(QPagedPaintDevice& device) {
    return m_shown ? m_shown->render(device) : 0;
}

QString ReportCommand::suggestedName(const QString& folder, const QString& site, const QDate& day) {
    QString name;
    for (const QChar c : ReportText::singleLine(site)) {
        // Characters some file system refuses become "_".
        static const QString refused = QStringLiteral("/\\:*?\"<>|");
        name += refused.contains(c) || c.isSpace() ? u'_' : c;
    }
    name = name.left(60);
    while (name.startsWith(u'.') || name.startsWith(u'_'))
        name.remove(0, 1);
    const QString date = day.toString(QStringLiteral("yyyy-MM-dd"));
    return QDir(folder).filePath((name.isEmpty() ? date : name + u'-' + date) +
                                 QStringLiteral(".pdf"));
}

bool ReportCommand::savePdf() {
    if (!m_shown)
        return false;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString path = m_reportPrompts->savePdfName(
        suggestedName(folder, m_shown->data().site.site, m_shown->data().made.date()));
    if (path.isEmpty())
        return false;
    const QString native = QDir::toNativeSeparators(path);
    if (QFileInfo::exists(path) &&
        !m_prompts.confirm(m_title, m_lang.LangText(TextId::FileExists).arg(native)))
        return false;
    const ReportPdf::Written written = ReportPdf::write(path, *m_shown);
    if (!written.ok) {
        m_prompts.critical(m_title,
                           m_lang.LangText(TextId::FileNotWritten).arg(native, written.error));
        return false;
    }
    return true;
}
