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

    m_frame1 = new QGroupBox(QStringLiteral("Bağlantı Noktası"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    LanguageUi::setTag(m_frame1, 100);
    m_portCombo = new QComboBox(m_frame1);
    m_portCombo->setObjectName(QStringLiteral("PortCombo"));
    m_errLabel = new QLabel(QStringLiteral("Serbest bağlantı noktası bulunamadı !!!"), m_frame1);
    m_errLabel->setObjectName(QStringLiteral("ErrLabel"));
    LanguageUi::setTag(m_errLabel, 103);
    m_errLabel->hide();
    auto* frameLayout = new QVBoxLayout(m_frame1);
    frameLayout->addWidget(m_portCombo);
    frameLayout->addWidget(m_errLabel);

    m_check1 = new QCheckBox(QStringLiteral("Version > 8.26"), this);
    m_check1->setObjectName(QStringLiteral("Check1"));

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
    layout->addWidget(m_frame1);
    layout->addWidget(m_check1);
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
        m_check1->setChecked(true);
}

void ConnectionForm::retitle() {
    m_accept->setText(m_lang.text(102, QStringLiteral("Tamam")));
    LanguageUi::applyToWindow(this, m_lang);
}

void ConnectionForm::setSelectedPort(int n) {
    m_selectedPort = n;
    m_host.setPortStatus(n != 0 ? portText(n) : m_lang.LangText(108));
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
        m_prompts.message(Prompts::Icon::None, QString(),
                          m_lang.text(107, QStringLiteral("No free serial port was found.")));
        m_cancel->show();
        m_accept->hide();
    } else {
        m_errLabel->hide();
        m_portCombo->show();
        m_portCombo->setCurrentIndex(0);
    }
}

void ConnectionForm::AcceptCommand_Click() {
    m_host.setVersionGt826(m_check1->isChecked());
    const int previous = m_selectedPort;
    if (previous != 0 && m_port.isOpen()) {
        m_protocol.FlushInput();
        m_port.close();
    }
    const int chosen = m_portCombo->currentData().toInt();
    setSelectedPort(chosen);
    QString error;
    if (chosen == 0 || !m_port.open(chosen, &error)) {
        // The port may have been taken since the scan. Say why and go back to the
        // port that was in use, so the status bar never names a closed port.
        if (error.isEmpty())
            error = m_lang.text(108, QStringLiteral("no port"));
        m_prompts.critical(m_host.mainTitle(),
                           m_lang.text(55, QStringLiteral("Unable to open port %1: %2."))
                               .arg(portText(chosen), error));
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
    QString error;
    if (!m_port.open(first, &error)) {
        m_prompts.critical(m_host.mainTitle(),
                           m_lang.text(55, QStringLiteral("Unable to open port %1: %2."))
                               .arg(portText(first), error));
        setSelectedPort(0);
    }
}

void ConnectionForm::onLineLost(int portNumber, const QString& reason) {
    if (m_port.isOpen())
        m_port.close();
    setSelectedPort(0);
    m_prompts.critical(
        m_host.mainTitle(),
        m_lang
            .text(56,
                  QStringLiteral("The connection on %1 was lost (%2). The port has been closed."))
            .arg(portText(portNumber), reason));
}
