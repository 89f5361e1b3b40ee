#pragma once
// The connection dialog: the scan of COM1-COM16 (each port with what it is, or why it
// cannot be used), the choice of the port and of the firmware flag, keeping an adapter
// under a number, and the program's selected port. What happens after a lost line is
// the line watcher's.
#include "link/PortEntry.h"

#include <QDialog>
#include <QHash>
#include <QSet>

class ConnectionHost;
class LangModule;
class LineWatcher;
class LinkPort;
class Prompts;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// What the dialog needs from the main window.
class ConnectionHost {
public:
    virtual ~ConnectionHost() = default;
    virtual bool versionGt826() const = 0;
    virtual void setVersionGt826(bool on) = 0;
    // First panel of the status bar.
    virtual void setPortStatus(const QString& text) = 0;
    // Title of the program's messages.
    virtual QString mainTitle() const = 0;
};

class ConnectionForm : public QDialog {
    Q_OBJECT
public:
    static constexpr int FirstPort = 1;
    static constexpr int LastPort = 16;

    ConnectionForm(LinkPort& port, LineWatcher& watcher, LangModule& lang, Prompts& prompts,
                   ConnectionHost& host, QWidget* parent = nullptr);

    // The dialog's load step: the port scan, captions and the firmware tick.
    void load();
    // Captions from the language pack now loaded.
    void retitle();

    int selectedPort() const { return m_selectedPort; }
    // Stores the number and shows it in the status bar.
    void setSelectedPort(int n);
    void SelectFirstAvailablePort();

    QComboBox* portCombo() const { return m_portCombo; }

    // Scans COM1-COM16 again; the entry chosen before stays chosen when still usable.
    void RefreshPortList();
    // The list entry: "COM5 — USB serial (maker, product, serial)", with the reason
    // when the port cannot be used.
    QString entryText(const PortEntry& entry) const;
    // Why the port cannot be used, in the pack's language; empty when it can.
    QString reasonText(const PortEntry& entry) const;
    // The entry as the last scan found it.
    PortEntry entry(int n) const { return m_entries.value(n); }

signals:
    void selectedPortChanged(int n);
    // COM n was opened by the user's choice (or the first free port at start-up).
    void portOpened(int n);

protected:
    // Shows the firmware flag in use: a tick left by a cancelled opening is not it.
    void showEvent(QShowEvent* event) override;

private:
    bool scanPorts();
    void AcceptCommand_Click();
    void KeepAdapterCommand_Click();
    void CommandCancel_Click();
    QString portText(int n) const { return QStringLiteral("COM%1").arg(n); }
    // Opens COM `n`; on failure tells the user why, in the pack's language.
    bool openPort(int n);

    LinkPort& m_port;
    LineWatcher& m_watcher;
    LangModule& m_lang;
    Prompts& m_prompts;
    ConnectionHost& m_host;
    int m_selectedPort = 0;
    QHash<int, PortEntry> m_entries; // the last scan
    QSet<int> m_lastUsable;          // usable at the last scan, to tell what vanished

    QGroupBox* m_portFrame = nullptr;
    QComboBox* m_portCombo = nullptr;
    QLabel* m_errLabel = nullptr;
    QCheckBox* m_firmwareCheck = nullptr;
    QPushButton* m_accept = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_refresh = nullptr;
    QComboBox* m_keepCombo = nullptr;
    QPushButton* m_keepButton = nullptr;
};
