#pragma once
// The drive link as the main window uses it: the serial port, the connection
// dialog, the progress dialog and the parameter transfer, the Connection menu's
// three commands, and which commands a running transfer switches off.
#include "link/ConnectionForm.h"
#include "link/LinkPort.h"
#include "link/ProtocolModule.h"
#include "platform/Clock.h"
#include "transfer/ParamTransfer.h"

#include <QObject>
#include <functional>
#include <memory>

class LangModule;
class ParamModule;
class ProgressForm;
class Prompts;
class QAction;
class QMenu;

class DriveLink final : public QObject,
                        public ConnectionHost,
                        public TransferHost,
                        public InverterColumn,
                        public CommandGate {
    Q_OBJECT
public:
    // What the main window lends: its flags, pages, status bar, grid and the
    // commands of its own that touch the parameter set.
    struct Window {
        std::function<bool()> versionGt826;
        std::function<void(bool)> setVersionGt826;
        std::function<void(bool)> setReadyToSimulate;
        std::function<void(bool)> setFlashParamsIdentical;
        std::function<void()> simulate;
        std::function<bool()> monitorPageInFront;
        std::function<void(const QString&)> setPortStatus;
        std::function<void(int index, const QString&)> setDriveText;
        std::function<void(bool)> setWindowCommandsEnabled;
        std::function<QString()> title;
    };

    // Adds MI_Connection, MI_ReadPars and MI_WritePars to `menu`. `port` defaults to
    // the real serial port.
    DriveLink(LangModule& lang, ParamModule& params, Prompts& prompts, Window window, QMenu* menu,
              QWidget* mainWindow, std::unique_ptr<LinkPort> port = {});
    ~DriveLink() override;

    // Start-up: creates the connection dialog's state (the port scan).
    void load();
    // After a language pack was loaded: captions and the port panel of the status bar.
    void retitle();
    // The page switch: read and write only on the parameter and travel pages; the
    // drive streams monitor frames only while the monitor page is in front.
    void pageSelected(int tag);

    ConnectionForm& connectionForm() { return *m_form; }
    ParamTransfer& transfer() { return *m_transfer; }
    ProtocolModule& protocol() { return *m_protocol; }
    LinkPort& port() { return *m_port; }
    ProgressForm& progressForm() { return *m_progress; }
    // The Connection menu's commands; a toolbar shows the same actions, so a transfer
    // switches its buttons off too.
    QAction* connectionAction() const { return m_connection; }
    QAction* readAction() const { return m_read; }
    QAction* writeAction() const { return m_write; }

    // ConnectionHost
    bool versionGt826() const override { return m_window.versionGt826(); }
    void setVersionGt826(bool on) override { m_window.setVersionGt826(on); }
    void setPortStatus(const QString& text) override { m_window.setPortStatus(text); }
    QString mainTitle() const override { return m_window.title(); }
    // TransferHost
    int selectedPort() const override { return m_form->selectedPort(); }
    void setReadyToSimulate(bool on) override { m_window.setReadyToSimulate(on); }
    void setFlashParamsIdentical(bool on) override { m_window.setFlashParamsIdentical(on); }
    void simulate() override { m_window.simulate(); }
    bool monitorPageInFront() const override { return m_window.monitorPageInFront(); }
    // InverterColumn
    void setInverterCell(int index, int gridRow, const QString& text) override;
    // CommandGate
    void setTransferCommandsEnabled(bool on) override;

private:
    void showConnectionForm();

    LangModule& m_lang;
    Window m_window;
    std::unique_ptr<SystemClock> m_clock;
    std::unique_ptr<LinkPort> m_port;
    std::unique_ptr<ProtocolModule> m_protocol;
    ConnectionForm* m_form = nullptr;
    ProgressForm* m_progress = nullptr;
    std::unique_ptr<ParamTransfer> m_transfer;
    QAction* m_connection = nullptr;
    QAction* m_read = nullptr;
    QAction* m_write = nullptr;
    // Whether the page in front allows read and write (the transfer restores it).
    bool m_transferPage = false;
};
