#include "app/DriveSession.h"

#include "lang/FixedTexts.h"
#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "link/SerialLinkPort.h"
#include "platform/NumberText.h"
#include "platform/Prompts.h"
#include "platform/SafeFiles.h"
#include "transfer/DifferenceView.h"
#include "transfer/ProgressForm.h"

#include <QAction>
#include <QEvent>
#include <QLocale>
#include <QMenu>

DriveSession::DriveSession(LangModule& lang, ParamModule& params, Prompts& prompts,
                           DriveValueColumn& column, QWidget* mainWindow,
                           std::unique_ptr<LinkPort> port)
    : m_lang(lang), m_prompts(prompts), m_clock(std::make_unique<SystemClock>()),
      m_port(port ? std::move(port) : std::make_unique<SerialLinkPort>()),
      m_history(History::defaultFolder()) {
    m_protocol = std::make_unique<ProtocolModule>(*m_port, *m_clock);
    m_watcher = std::make_unique<LineWatcher>(*m_port);
    m_form = new ConnectionForm(*m_port, *m_watcher, lang, prompts, *this, mainWindow);
    m_progress = new ProgressForm(mainWindow);
    m_transfer =
        std::make_unique<ParamTransfer>(*m_protocol, params, lang, *this, column, *m_progress);
    m_review = std::make_unique<ReviewDialog>(lang, prompts, mainWindow);
    m_archived =
        std::make_unique<ArchivedTransfer>(*m_transfer, params, *this, m_history, *m_review);
    connect(m_form, &ConnectionForm::selectedPortChanged, this, &DriveSession::selectedPortChanged);
    connect(m_form, &ConnectionForm::portOpened, this, [this] { updateStreaming(true); });
    connect(m_watcher.get(), &LineWatcher::lost, this, &DriveSession::onLineLost);
    connect(m_watcher.get(), &LineWatcher::waiting, this, [this](int n) {
        setPortStatus(m_lang.LangText(TextId::LineLostWaiting).arg(QStringLiteral("COM%1").arg(n)));
    });
    connect(m_watcher.get(), &LineWatcher::gaveUp, this,
            [this] { setPortStatus(m_lang.LangText(TextId::PortNone)); });
    // Back after a replug: the stream the page in front wants, never a transfer.
    connect(m_watcher.get(), &LineWatcher::back, this, [this](int n) {
        m_protocol->log().note(m_clock->monotonicSeconds(), QStringLiteral("COM%1 back").arg(n));
        m_form->setSelectedPort(n);
        setPortStatus(m_lang.LangText(TextId::LineReconnected).arg(QStringLiteral("COM%1").arg(n)));
        updateStreaming(true);
    });
}

void DriveSession::onLineLost(int n, const QString& reason) {
    m_protocol->log().note(m_clock->monotonicSeconds(),
                           QStringLiteral("COM%1 lost: %2").arg(n).arg(reason));
    m_streaming = false;
    m_form->setSelectedPort(0);
    if (m_watcher->awaiting())
        setPortStatus(m_lang.LangText(TextId::LineLostWaiting).arg(QStringLiteral("COM%1").arg(n)));
    m_prompts.critical(
        m_title, m_lang.LangText(TextId::LineLost)
                     .arg(QStringLiteral("COM%1").arg(n), m_lang.LangText(TextId::DeviceWentAway)));
}

DriveSession::~DriveSession() {
    // The dialogs are the main window's children but hold references to the port, the
    // watcher and the transfer: they go before those do.
    delete m_form;
    delete m_progress;
    m_review.reset();
    m_port->close();
}

void DriveSession::addCommands(QMenu* menu) {
    m_connection = menu->addAction(QStringLiteral("Ba\u011flant\u0131 se\u00e7enekleri..."));
    m_connection->setObjectName(QStringLiteral("MI_Connection"));
    m_connection->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    LanguageUi::setTag(m_connection, TextId::MenuConnectionOptions);
    m_read = menu->addAction(QStringLiteral("\u0130nvert\u00f6rden oku"));
    m_read->setObjectName(QStringLiteral("MI_ReadPars"));
    m_read->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F2));
    LanguageUi::setTag(m_read, TextId::MenuReadDrive);
    m_write = menu->addAction(QStringLiteral("\u0130nvert\u00f6re yaz"));
    m_write->setObjectName(QStringLiteral("MI_WritePars"));
    m_write->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F3));
    LanguageUi::setTag(m_write, TextId::MenuWriteDrive);
    m_read->setEnabled(false);
    m_write->setEnabled(false);

    connect(m_connection, &QAction::triggered, m_form, &QDialog::exec);
    // The progress window is named after the command that opened it.
    connect(m_read, &QAction::triggered, this, [this] {
        if (m_readGuard && !m_readGuard())
            return;
        m_progress->setWindowTitle(LanguageUi::asTitle(m_read->text()));
        readDrive();
    });
    connect(m_write, &QAction::triggered, this, [this] {
        m_progress->setWindowTitle(LanguageUi::asTitle(m_write->text()));
        writeDrive();
    });
}

void DriveSession::readDrive() {
    m_archived->read();
    const ParamTransfer::Outcome& outcome = m_transfer->outcome();
    if (outcome.result == ParamTransfer::Result::Doubtful &&
        outcome.doubtful.size() <= ParamTransfer::MaxDoubtfulValues) {
        if (!takeDoubtful(outcome.doubtful))
            return;
        m_archived->takeDoubtfulRead();
    }
    applyOutcome();
}

void DriveSession::writeDrive() {
    if (m_archived->write() != ArchivedTransfer::Outcome::Cancelled)
        applyOutcome();
}

bool DriveSession::takeDoubtful(const QList<DoubtfulValue>& values) {
    QStringList lines{m_lang.LangText(TextId::DoubtfulValues)};
    for (const DoubtfulValue& v : values)
        lines << m_lang.LangText(TextId::DoubtfulLimits)
                     .arg(v.name, NumberText::general(v.value), NumberText::general(v.minValue),
                          NumberText::general(v.maxValue));
    lines << QString() << m_lang.LangText(TextId::DoubtfulTake);
    return m_prompts.confirm(m_title, lines.join(u'\n'));
}

void DriveSession::applyOutcome() {
    const ParamTransfer::Outcome& outcome = m_transfer->outcome();
    qCInfo(lcTransfer) << "transfer ended:" << int(outcome.result);
    if (outcome.stored) {
        setReadyToSimulate(true);
        setFlashParamsIdentical(outcome.identical);
        emit simulateRequested();
    }
    using Result = ParamTransfer::Result;
    // A lost line is told by the line watcher; a refused start while another
    // transfer runs leaves that one to tell its own.
    if (outcome.result != Result::Done && outcome.result != Result::LineLost &&
        outcome.result != Result::Busy) {
        const QString text = outcomeText(outcome);
        if (outcome.result == Result::NoPort)
            m_prompts.information(m_title, text);
        else
            m_prompts.critical(m_title, text);
    }
    if (!m_archived->archiveError().isEmpty())
        m_prompts.warning(m_title,
                          m_lang.LangText(TextId::ArchiveFailed).arg(m_archived->archiveError()));
}

QString DriveSession::outcomeText(const ParamTransfer::Outcome& outcome) const {
    using Result = ParamTransfer::Result;
    switch (outcome.result) {
    case Result::NoPort:
        return m_lang.LangText(TextId::NoPortSelected);
    case Result::NoAnswer:
        return m_lang.LangText(TextId::NoAnswer);
    case Result::BadChecksum:
        return FixedTexts::badChecksum();
    case Result::Refused:
        return m_lang.LangText(TextId::WordOutOfRange)
            .arg(outcome.refusedName, NumberText::general(outcome.refusedValue));
    case Result::NotTaken: {
        QString text = m_lang.LangText(TextId::WriteNotTaken).arg(outcome.notTaken.shown);
        if (outcome.notTaken.hidden > 0)
            text += u' ' + m_lang.LangText(TextId::NotTakenHidden).arg(outcome.notTaken.hidden);
        return text;
    }
    case Result::Doubtful: {
        const DoubtfulValue& first = outcome.doubtful.value(0);
        return m_lang.LangText(TextId::DoubtfulRead)
            .arg(outcome.doubtful.size())
            .arg(first.name + QStringLiteral(" = ") + NumberText::general(first.value));
    }
    case Result::FirmwareChanged:
        return m_lang.LangText(TextId::ReadBackFirmware)
            .arg(outcome.firmwareSent)
            .arg(outcome.firmwareRead);
    case Result::Done:
    case Result::LineLost:
    case Result::Busy:
        break;
    }
    return {};
}

void DriveSession::addHelpCommands(QMenu* menu) {
    m_saveLinkLog =
        menu->addAction(QStringLiteral("Ba\u011flant\u0131 kayd\u0131n\u0131 kaydet..."));
    m_saveLinkLog->setObjectName(QStringLiteral("MI_SaveLinkLog"));
    LanguageUi::setTag(m_saveLinkLog, TextId::MenuSaveLinkLog);
    connect(m_saveLinkLog, &QAction::triggered, this, &DriveSession::saveLinkLog);
}

void DriveSession::saveLinkLog() {
    const QString path =
        m_prompts.saveFileName(LanguageUi::asTitle(m_saveLinkLog->text()), QStringLiteral("*.txt"));
    if (path.isEmpty())
        return;
    QString why;
    if (!SafeFiles::writeWhole(path, m_protocol->log().text(m_clock->monotonicSeconds()), &why)) {
        m_prompts.critical(m_title, m_lang.LangText(TextId::LinkLogFailed).arg(path, why));
        return;
    }
    m_prompts.information(m_title, m_lang.LangText(TextId::LinkLogSaved).arg(path));
}

void DriveSession::load() {
    m_form->load();
}

void DriveSession::retitle() {
    m_form->retitle();
    const int n = m_form->selectedPort();
    setPortStatus(n != 0 ? QStringLiteral("COM%1").arg(n) : m_lang.LangText(TextId::PortNone));
}

void DriveSession::pageSelected(Page page) {
    m_page = page;
    m_transferPage = page != Page::Monitor;
    updateTransferCommands();
    updateStreaming();
}

bool DriveSession::streamWanted() const {
    return m_page == Page::Monitor && !m_transferRunning && m_form->selectedPort() != 0 &&
           !m_protocol->lineDown();
}

void DriveSession::updateStreaming(bool opened) {
    if (m_protocol->lineDown() || m_form->selectedPort() == 0) {
        m_streaming = false;
        return;
    }
    // A transfer quiets the drive itself and leaves it quiet.
    if (m_transferRunning)
        return;
    const bool want = streamWanted();
    if (want == m_streaming && !opened)
        return;
    m_streaming = want && m_protocol->SendData(ProtocolModule::MonitorStart);
    if (!want)
        m_protocol->SendData(ProtocolModule::MonitorStop);
}

void DriveSession::setVersionGt826(bool on) {
    if (m_versionGt826 == on)
        return;
    m_versionGt826 = on;
    emit versionGt826Changed(on);
}

void DriveSession::setPortStatus(const QString& text) {
    m_portStatus = text;
    emit portStatusChanged(text);
}

void DriveSession::setReadyToSimulate(bool on) {
    if (m_readyToSimulate == on)
        return;
    m_readyToSimulate = on;
    emit readyToSimulateChanged(on);
}

void DriveSession::setFlashParamsIdentical(bool on) {
    if (m_flashParamsIdentical == on)
        return;
    m_flashParamsIdentical = on;
    emit flashParamsIdenticalChanged(on);
}

void DriveSession::setTransferCommandsEnabled(bool on) {
    // While a read converts words the set is half old, half new: the run waits.
    if (!on) {
        m_readyBeforeTransfer = m_readyToSimulate;
        setReadyToSimulate(false);
    } else {
        setReadyToSimulate(m_readyBeforeTransfer);
    }
    m_transferRunning = !on;
    // A line lost during a transfer is reopened only after it, never under it.
    m_watcher->setHeld(!on);
    if (!on)
        m_streaming = false;
    m_connection->setEnabled(on);
    updateTransferCommands();
    emit transferCommandsEnabled(on);
    if (on)
        updateStreaming();
}

void DriveSession::setCatalogueReady(bool ready) {
    m_catalogueReady = ready;
    updateTransferCommands();
}

void DriveSession::updateTransferCommands() {
    // Read and write: from a page that shows parameters, with a complete catalogue,
    // and never under another transfer.
    const bool on = m_transferPage && m_catalogueReady && !m_transferRunning;
    if (m_read) {
        m_read->setEnabled(on);
        m_write->setEnabled(on);
    }
}

void DriveSession::showLinkStatsOn(QWidget* panel) {
    if (m_statsPanel)
        m_statsPanel->removeEventFilter(this);
    m_statsPanel = panel;
    panel->installEventFilter(this);
    panel->setToolTip(linkStatsText(LinkStats{}));
}

QString DriveSession::linkStatsText(const LinkStats& stats) const {
    const QLocale locale;
    return m_lang.LangText(TextId::LinkStatsTip)
        .arg(locale.toString(stats.framesPerSecond, 'f', 1))
        .arg(stats.checksumFailures)
        .arg(stats.resyncs)
        .arg(stats.bytesSkipped);
}

bool DriveSession::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_statsPanel && event->type() == QEvent::ToolTip)
        m_statsPanel->setToolTip(linkStatsText(m_protocol->stats()));
    return QObject::eventFilter(watched, event);
}
