#include "app/DriveLink.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "link/ProtocolModule.h"
#include "link/SerialLinkPort.h"
#include "platform/Clock.h"
#include "transfer/ProgressForm.h"

#include <QAction>
#include <QMenu>

DriveLink::DriveLink(LangModule& lang, ParamModule& params, Prompts& prompts, Window window,
                     QMenu* menu, QWidget* mainWindow, std::unique_ptr<LinkPort> port)
    : m_lang(lang), m_window(std::move(window)), m_clock(std::make_unique<SystemClock>()),
      m_port(port ? std::move(port) : std::make_unique<SerialLinkPort>()) {
    m_protocol = std::make_unique<ProtocolModule>(*m_port, *m_clock);
    m_form = new ConnectionForm(*m_port, *m_protocol, lang, prompts, *this, mainWindow);
    m_progress = new ProgressForm(mainWindow);
    m_transfer = std::make_unique<ParamTransfer>(*m_protocol, params, lang, prompts, *this, *this,
                                                 *m_progress, *this);

    m_connection = menu->addAction(QStringLiteral("Ba\u011flant\u0131 se\u00e7enekleri..."));
    m_connection->setObjectName(QStringLiteral("MI_Connection"));
    m_connection->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    LanguageUi::setTag(m_connection, 6);
    m_read = menu->addAction(QStringLiteral("\u0130nvert\u00f6rden oku"));
    m_read->setObjectName(QStringLiteral("MI_ReadPars"));
    m_read->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F2));
    LanguageUi::setTag(m_read, 7);
    m_write = menu->addAction(QStringLiteral("\u0130nvert\u00f6re yaz"));
    m_write->setObjectName(QStringLiteral("MI_WritePars"));
    m_write->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F3));
    LanguageUi::setTag(m_write, 8);
    m_read->setEnabled(false);
    m_write->setEnabled(false);

    connect(m_connection, &QAction::triggered, this, &DriveLink::showConnectionForm);
    connect(m_read, &QAction::triggered, this, [this] { m_transfer->ReadParameters(); });
    connect(m_write, &QAction::triggered, this, [this] { m_transfer->WriteParameters(); });
}

DriveLink::~DriveLink() {
    m_port->close();
}

void DriveLink::load() {
    m_form->load();
}

void DriveLink::retitle() {
    m_form->retitle();
    const int n = m_form->selectedPort();
    m_window.setPortStatus(n != 0 ? QStringLiteral("COM%1").arg(n) : m_lang.LangText(108));
}

void DriveLink::showConnectionForm() {
    m_form->exec();
}

void DriveLink::pageSelected(int tag) {
    if (tag != 20 && tag != 21 && tag != 22)
        return;
    m_transferPage = tag != 20;
    m_read->setEnabled(m_transferPage);
    m_write->setEnabled(m_transferPage);
    if (m_form->selectedPort() != 0)
        m_protocol->SendData(tag == 20 ? ProtocolModule::MonitorStart
                                       : ProtocolModule::MonitorStop);
}

void DriveLink::setInverterCell(int index, int, const QString& text) {
    m_window.setDriveText(index, text);
}

void DriveLink::setTransferCommandsEnabled(bool on) {
    m_connection->setEnabled(on);
    m_read->setEnabled(on && m_transferPage);
    m_write->setEnabled(on && m_transferPage);
    if (m_window.setWindowCommandsEnabled)
        m_window.setWindowCommandsEnabled(on);
}
