#pragma once
// The connection dialog: the scan of COM1-COM16 for free ports, the choice of the
// port and of the firmware flag, and the program's selected port. It also owns the
// reaction to a lost line: port closed, user told, no port selected.
#include <QDialog>

class ConnectionHost;
class LangModule;
class LinkPort;
class ProtocolModule;
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

    ConnectionForm(LinkPort& port, ProtocolModule& protocol, LangModule& lang, Prompts& prompts,
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

signals:
    void selectedPortChanged(int n);

protected:
    // Shows the firmware flag in use: a tick left by a cancelled opening is not it.
    void showEvent(QShowEvent* event) override;

private:
    bool IsPortFree(int n);
    void RefreshPortList();
    void AcceptCommand_Click();
    void CommandCancel_Click();
    void onLineLost(int portNumber, const QString& reason);
    QString portText(int n) const { return QStringLiteral("COM%1").arg(n); }
    // Opens COM `n`; on failure tells the user why, in the pack's language.
    bool openPort(int n);

    LinkPort& m_port;
    ProtocolModule& m_protocol;
    LangModule& m_lang;
    Prompts& m_prompts;
    ConnectionHost& m_host;
    int m_selectedPort = 0;

    QGroupBox* m_portFrame = nullptr;
    QComboBox* m_portCombo = nullptr;
    QLabel* m_errLabel = nullptr;
    QCheckBox* m_firmwareCheck = nullptr;
    QPushButton* m_accept = nullptr;
    QPushButton* m_cancel = nullptr;
};
