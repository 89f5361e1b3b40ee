#include "link/ConnectionForm.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "link/LinkPort.h"
#include "link/ProtocolModule.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ConnectionForm::ConnectionForm(LinkPort& port, ProtocolModule& protocol, LangModule& lang,
                               Prompts& prompts, ConnectionHost& host, QWidget* parent)
    : QDialog(parent), m_port(port), m_protocol(protocol), m_lang(lang), m_prompts(prompts),
      m_host(host) {
    setObjectName(QStringLiteral("ConnectionForm"));
    setModal(true);

    m_portFrame = new QGroupBox(QStringLiteral("Bağlantı Noktası"), this);
    m_portFrame->setObjectName(QStringLiteral("Frame1"));
    LanguageUi::setTag(m_portFrame, TextId::Port);
    m_portCombo = new QComboBox(m_portFrame);
    m_portCombo->setObjectName(QStringLiteral("PortCombo"));
    m_errLabel = new QLabel(QStringLiteral("Serbest bağlantı noktası bulunamadı !!!"), m_portFrame);
    m_errLabel->setObjectName(QStringLiteral("ErrLabel"));
    LanguageUi::setTag(m_errLabel, TextId::NoFreePortFound);
    m_errLabel->hide();
    auto* frameLayout = new QVBoxLayout(m_portFrame);
    frameLayout->addWidget(m_portCombo);
    frameLayout->addWidget(m_errLabel);

    m_firmwareCheck = new QCheckBox(QStringLiteral("Version > 8.26"), this);
    m_firmwareCheck->setObjectName(QStringLiteral("Check1"));

    m_accept = new QPushButton(QStringLiteral("Tamam"), this);
    m_accept->setObjectName(QStringLiteral("AcceptCommand"));
    m_accept->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("İptal"), this);
    m_cancel->setObjectName(QStringLiteral("CommandCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_accept);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_portFrame);
    layout->addWidget(m_firmwareCheck);
    layout->addLayout(buttons);

    connect(m_accept, &QPushButton::clicked, this, &ConnectionForm::AcceptCommand_Click);
    connect(m_cancel, &QPushButton::clicked, this, &ConnectionForm::CommandCancel_Click);
    connect(&m_port, &LinkPort::lineLostNotice, this, &ConnectionForm::onLineLost);
}

void ConnectionForm::load() {
    m_cancel->hide();
    m_accept->show();
    RefreshPortList();
    retitle();
    if (m_host.versionGt826())
        m_firmwareCheck->setChecked(true);
}

void ConnectionForm::retitle() {
    m_accept->setText(m_lang.LangText(TextId::Ok));
    LanguageUi::applyToWindow(this, m_lang);
    // Named after its menu entry, not after the program file.
    setWindowTitle(LanguageUi::asTitle(m_lang.LangText(TextId::MenuConnectionOptions)));
}

void ConnectionForm::setSelectedPort(int n) {
    m_selectedPort = n;
    m_host.setPortStatus(n != 0 ? portText(n) : m_lang.LangText(TextId::PortNone));
    emit selectedPortChanged(n);
}

bool ConnectionForm::IsPortFree(int n) {
    QString ignored;
    const bool free = m_port.open(n, &ignored) && m_port.isOpen();
    m_port.close();
    return free;
}

void ConnectionForm::RefreshPortList() {
    m_portCombo->clear();
    m_selectedPort = 0;
    for (int n = FirstPort; n <= LastPort; ++n) {
        if (IsPortFree(n))
            m_portCombo->addItem(portText(n), n);
        QCoreApplication::processEvents();
    }
    if (m_portCombo->count() == 0) {
        m_errLabel->show();
        m_portCombo->hide();
        m_prompts.message(Prompts::Icon::None, QString(), m_lang.LangText(TextId::NoFreePort));
        m_cancel->show();
        m_accept->hide();
    } else {
        m_errLabel->hide();
        m_portCombo->show();
        m_portCombo->setCurrentIndex(0);
    }
}

void ConnectionForm::AcceptCommand_Click() {
    m_host.setVersionGt826(m_firmwareCheck->isChecked());
    const int previous = m_selectedPort;
    if (previous != 0 && m_port.isOpen()) {
        m_protocol.FlushInput();
        m_port.close();
    }
    const int chosen = m_portCombo->currentData().toInt();
    setSelectedPort(chosen);
    if (!openPort(chosen)) {
        // The port may have been taken since the scan. Go back to the port that was
        // in use, so the status bar never names a closed port.
        int fallback = 0;
        if (previous != 0 && previous != chosen && m_port.open(previous))
            fallback = previous;
        setSelectedPort(fallback);
        return; // the dialog stays open for another choice
    }
    done(QDialog::Accepted);
}

void ConnectionForm::CommandCancel_Click() {
    reject();
}

void ConnectionForm::SelectFirstAvailablePort() {
    if (m_selectedPort != 0) {
        const int at = m_portCombo->findData(m_selectedPort);
        if (at >= 0)
            m_portCombo->setCurrentIndex(at);
        return;
    }
    if (m_portCombo->count() == 0)
        return;
    const int first = m_portCombo->itemData(0).toInt();
    setSelectedPort(first);
    m_portCombo->setCurrentIndex(0);
    if (m_port.isOpen())
        m_port.close();
    if (!openPort(first))
        setSelectedPort(0);
}

bool ConnectionForm::openPort(int n) {
    QString detail;
    if (n != 0 && m_port.open(n, &detail))
        return true;
    QString why = detail;
    if (n == 0)
        why = m_lang.LangText(TextId::PortNone);
    else if (m_port.openFailure() == LinkPort::OpenFailure::NoSuchPort)
        why = m_lang.LangText(TextId::NoSuchPort);
    else if (m_port.openFailure() == LinkPort::OpenFailure::LineSettings)
        why = m_lang.LangText(TextId::LineSettingsFailed).arg(detail);
    m_prompts.critical(m_host.mainTitle(),
                       m_lang.LangText(TextId::PortOpenFailed).arg(portText(n), why));
    return false;
}

void ConnectionForm::showEvent(QShowEvent* event) {
    m_firmwareCheck->setChecked(m_host.versionGt826());
    QDialog::showEvent(event);
}

void ConnectionForm::onLineLost(int portNumber, const QString&) {
    if (m_port.isOpen())
        m_port.close();
    setSelectedPort(0);
    m_prompts.critical(m_host.mainTitle(),
                       m_lang.LangText(TextId::LineLost)
                           .arg(portText(portNumber), m_lang.LangText(TextId::DeviceWentAway)));
}
