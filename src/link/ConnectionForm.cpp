#include "link/ConnectionForm.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "link/LineWatcher.h"
#include "link/LinkPort.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

namespace {

QString userName() {
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? QStringLiteral("$USER") : user;
}

} // namespace

ConnectionForm::ConnectionForm(LinkPort& port, LineWatcher& watcher, LangModule& lang,
                               Prompts& prompts, ConnectionHost& host, QWidget* parent)
    : QDialog(parent), m_port(port), m_watcher(watcher), m_lang(lang), m_prompts(prompts),
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
    m_refresh = new QPushButton(QStringLiteral("Yenile"), m_portFrame);
    m_refresh->setObjectName(QStringLiteral("RefreshCommand"));
    LanguageUi::setTag(m_refresh, TextId::RefreshPorts);
    m_keepButton = new QPushButton(QStringLiteral("Bu dönüştürücüyü şu numarada tut"), m_portFrame);
    m_keepButton->setObjectName(QStringLiteral("KeepAdapterCommand"));
    LanguageUi::setTag(m_keepButton, TextId::KeepAdapterAs);
    m_keepCombo = new QComboBox(m_portFrame);
    m_keepCombo->setObjectName(QStringLiteral("KeepNumberCombo"));
    for (int n = FirstPort; n <= LastPort; ++n)
        m_keepCombo->addItem(portText(n), n);
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(m_portCombo, 1);
    portRow->addWidget(m_refresh);
#ifdef Q_OS_WIN
    // Windows keeps an adapter's COM number itself.
    m_keepButton->hide();
    m_keepCombo->hide();
#endif
    auto* keepRow = new QHBoxLayout;
    keepRow->addWidget(m_keepButton);
    keepRow->addWidget(m_keepCombo);
    keepRow->addStretch();
    auto* frameLayout = new QVBoxLayout(m_portFrame);
    frameLayout->addLayout(portRow);
    frameLayout->addWidget(m_errLabel);
    frameLayout->addLayout(keepRow);

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
    connect(m_refresh, &QPushButton::clicked, this, &ConnectionForm::RefreshPortList);
    connect(m_keepButton, &QPushButton::clicked, this, &ConnectionForm::KeepAdapterCommand_Click);
}

void ConnectionForm::load() {
    m_cancel->hide();
    m_accept->show();
    if (!scanPorts())
        m_prompts.message(Prompts::Icon::None, QString(), m_lang.LangText(TextId::NoFreePort));
    retitle();
    if (m_host.versionGt826())
        m_firmwareCheck->setChecked(true);
}

void ConnectionForm::retitle() {
    m_accept->setText(m_lang.LangText(TextId::Ok));
    m_refresh->setText(m_lang.LangText(TextId::RefreshPorts));
    m_keepButton->setText(m_lang.LangText(TextId::KeepAdapterAs));
    LanguageUi::applyToWindow(this, m_lang);
    // Named after its menu entry, not after the program file.
    setWindowTitle(LanguageUi::asTitle(m_lang.LangText(TextId::MenuConnectionOptions)));
}

void ConnectionForm::setSelectedPort(int n) {
    m_selectedPort = n;
    m_host.setPortStatus(n != 0 ? portText(n) : m_lang.LangText(TextId::PortNone));
    emit selectedPortChanged(n);
}

QString ConnectionForm::reasonText(const PortEntry& entry) const {
    using State = PortEntry::State;
    switch (entry.state) {
    case State::NoPermission: {
        // Only these groups are meant for users; advising to join another one (root,
        // tty, disk) would hand out far more than the port.
        static const QStringList joinable{QStringLiteral("dialout"), QStringLiteral("uucp"),
                                          QStringLiteral("plugdev")};
        const QString group = entry.group.isEmpty() ? QStringLiteral("dialout") : entry.group;
        if (!joinable.contains(group))
            return m_lang.LangText(TextId::PortRootOnly);
        return m_lang.LangText(TextId::PortNoPermission).arg(group, userName());
    }
    case State::Busy:
        return entry.holder.isEmpty() ? m_lang.LangText(TextId::PortBusy)
                                      : m_lang.LangText(TextId::PortBusyBy).arg(entry.holder);
    case State::HeldByService:
        return m_lang.LangText(TextId::PortHeldByService).arg(entry.holder);
    case State::LineSettings:
        return m_lang.LangText(TextId::LineSettingsFailed).arg(entry.detail);
    case State::DanglingLink:
        return m_lang.LangText(TextId::PortLinkDangling).arg(entry.linkTarget);
    case State::Vanished:
        return m_lang.LangText(TextId::PortVanished);
    case State::Failed:
        return entry.detail;
    case State::Absent:
        return m_lang.LangText(TextId::NoSuchPort);
    case State::Free:
    case State::InUseHere:
        break;
    }
    return QString();
}

QString ConnectionForm::entryText(const PortEntry& entry) const {
    QStringList parts{portText(entry.number)};
    QString what = entry.usb ? m_lang.LangText(TextId::UsbSerial) : QString();
    if (!entry.description.isEmpty())
        what = what.isEmpty() ? entry.description
                              : QStringLiteral("%1 (%2)").arg(what, entry.description);
    if (!what.isEmpty())
        parts << what;
    if (!entry.linkTarget.isEmpty() && entry.state != PortEntry::State::DanglingLink)
        parts << m_lang.LangText(TextId::LinkTo).arg(entry.linkTarget);
    const QString reason = reasonText(entry);
    if (!reason.isEmpty())
        parts << reason;
    return parts.join(QStringLiteral(" \u2014 "));
}

void ConnectionForm::RefreshPortList() {
    scanPorts();
}

bool ConnectionForm::scanPorts() {
    const int chosen = m_portCombo->count() > 0 ? m_portCombo->currentData().toInt() : 0;
    m_portCombo->clear();
    m_entries.clear();
    auto* model = qobject_cast<QStandardItemModel*>(m_portCombo->model());
    QSet<int> usable;
    m_port.beginScan();
    for (int n = FirstPort; n <= LastPort; ++n) {
        PortEntry entry = m_port.probe(n);
        if (!entry.listed() &&
            (m_lastUsable.contains(n) || (n == m_watcher.lostPort() && m_watcher.awaiting())))
            entry.state = PortEntry::State::Vanished;
        if (!entry.listed())
            continue;
        m_entries.insert(n, entry);
        m_portCombo->addItem(entryText(entry), n);
        const int row = m_portCombo->count() - 1;
        m_portCombo->setItemData(row, reasonText(entry), Qt::ToolTipRole);
        if (entry.usable())
            usable << n;
        else if (model)
            model->item(row)->setEnabled(false);
    }
    m_lastUsable = usable;
    const bool none = usable.isEmpty();
    m_errLabel->setVisible(none);
    m_portCombo->setVisible(m_portCombo->count() > 0);
    m_cancel->setVisible(none);
    m_accept->setVisible(!none);
    // The entry chosen before, else the port in use, else the first usable one.
    int pick = usable.contains(chosen) ? chosen : m_selectedPort;
    if (!usable.contains(pick))
        pick = 0;
    for (int i = 0; pick == 0 && i < m_portCombo->count(); ++i)
        if (usable.contains(m_portCombo->itemData(i).toInt()))
            pick = m_portCombo->itemData(i).toInt();
    if (pick != 0)
        m_portCombo->setCurrentIndex(m_portCombo->findData(pick));
    m_keepButton->setEnabled(!m_entries.isEmpty());
    return !none;
}

void ConnectionForm::KeepAdapterCommand_Click() {
    const int n = m_portCombo->currentData().toInt();
    const int keepAs = m_keepCombo->currentData().toInt();
    const PortEntry entry = m_entries.value(n);
    if (entry.adapterPath.isEmpty()) {
        m_prompts.warning(m_host.mainTitle(), m_lang.LangText(TextId::NoStableName));
        return;
    }
    QString why;
    if (!m_port.keepAdapter(entry.adapterPath, keepAs, &why)) {
        m_prompts.critical(m_host.mainTitle(),
                           m_lang.LangText(TextId::KeepAdapterFailed).arg(portText(keepAs), why));
        return;
    }
    scanPorts();
    const int at = m_portCombo->findData(keepAs);
    if (at >= 0)
        m_portCombo->setCurrentIndex(at);
}

void ConnectionForm::AcceptCommand_Click() {
    m_watcher.stop();
    m_host.setVersionGt826(m_firmwareCheck->isChecked());
    const int previous = m_selectedPort;
    if (previous != 0 && m_port.isOpen())
        m_port.close();
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
    m_watcher.stop();
    if (m_selectedPort != 0) {
        const int at = m_portCombo->findData(m_selectedPort);
        if (at >= 0)
            m_portCombo->setCurrentIndex(at);
        return;
    }
    if (m_lastUsable.isEmpty())
        return;
    const int first = m_portCombo->currentData().toInt();
    setSelectedPort(first);
    m_portCombo->setCurrentIndex(0);
    if (m_port.isOpen())
        m_port.close();
    if (!openPort(first))
        setSelectedPort(0);
}

bool ConnectionForm::openPort(int n) {
    QString detail;
    if (n != 0 && m_port.open(n, &detail)) {
        m_watcher.opened(n);
        emit portOpened(n);
        return true;
    }
    QString why = detail;
    if (n == 0) {
        why = m_lang.LangText(TextId::PortNone);
    } else if (m_port.openFailure() == LinkPort::OpenFailure::NoPermission ||
               m_port.openFailure() == LinkPort::OpenFailure::Busy) {
        // The scan's look at the port says who holds it or which group may open it.
        PortEntry entry = m_port.probe(n);
        if (entry.usable()) // freed meanwhile: still say what the open met
            entry.state = LinkPort::stateOf(m_port.openFailure());
        why = reasonText(entry);
    } else if (m_port.openFailure() != LinkPort::OpenFailure::System) {
        PortEntry entry;
        entry.state = LinkPort::stateOf(m_port.openFailure());
        entry.detail = detail;
        why = reasonText(entry);
    }
    m_prompts.critical(m_host.mainTitle(),
                       m_lang.LangText(TextId::PortOpenFailed).arg(portText(n), why));
    return false;
}

void ConnectionForm::showEvent(QShowEvent* event) {
    // An adapter plugged in since the last look is offered at once.
    scanPorts();
    m_firmwareCheck->setChecked(m_host.versionGt826());
    QDialog::showEvent(event);
}
