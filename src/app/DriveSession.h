#pragma once
// The drive session: the serial port, the protocol, the connection dialog, the
// progress dialog and the parameter transfer, with the state the pages share about
// the drive (port in use, firmware flag, ready-to-simulate, values identical). The
// main window and the pages observe its properties. A transfer returns what happened;
// the session tells the user and applies it to that state.
#include "app/Brand.h"
#include "link/ConnectionForm.h"
#include "link/LineWatcher.h"
#include "link/LinkPort.h"
#include "link/ProtocolModule.h"
#include "monitor/MonitorState.h"
#include "platform/Clock.h"
#include "transfer/ArchivedTransfer.h"
#include "transfer/ParamTransfer.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class DriveValueColumn;
class LangModule;
class ParamModule;
class ProgressForm;
class ReviewDialog;
class Prompts;
class QAction;
class QMenu;

class DriveSession final : public QObject, public ConnectionHost, public TransferHost {
    Q_OBJECT
    Q_PROPERTY(int selectedPort READ selectedPort NOTIFY selectedPortChanged)
    Q_PROPERTY(
        bool version_gt_8_26 READ versionGt826 WRITE setVersionGt826 NOTIFY versionGt826Changed)
    Q_PROPERTY(bool readyToSimulate READ readyToSimulate WRITE setReadyToSimulate NOTIFY
                   readyToSimulateChanged)
    Q_PROPERTY(bool FlashParamsIdentical READ flashParamsIdentical WRITE setFlashParamsIdentical
                   NOTIFY flashParamsIdenticalChanged)
public:
    // Which page is in front decides whether the drive streams monitor frames and
    // whether read and write are offered.
    enum class Page { Monitor = 20, Motor = 21, Travel = 22 };

    // `port` defaults to the real serial port. `column` shows the values read.
    DriveSession(LangModule& lang, ParamModule& params, Prompts& prompts, DriveValueColumn& column,
                 QWidget* mainWindow, std::unique_ptr<LinkPort> port = {});
    ~DriveSession() override;

    // Adds MI_Connection, MI_ReadPars and MI_WritePars to `menu`.
    void addCommands(QMenu* menu);
    // Adds MI_SaveLinkLog to the help menu.
    void addHelpCommands(QMenu* menu);
    // Writes the link's traffic of the last minutes to a file the user picks.
    void saveLinkLog();
    // Start-up: the connection dialog's load step (the port scan).
    void load();
    // After a language pack was loaded: captions and the port panel text.
    void retitle();
    // The page switch: read and write only on the parameter and travel pages; the
    // drive streams monitor frames only while the monitor page is in front.
    void pageSelected(Page page);
    // Whether the drive should stream now: the monitor page in front, the port open,
    // no transfer running. True after the last command told it to.
    bool streamWanted() const;
    bool streaming() const { return m_streaming; }
    Page page() const { return m_page; }

    void setTitle(const QString& title) { m_title = title; }
    // Read and write are offered only with a complete parameter catalogue.
    void setCatalogueReady(bool ready);
    // Asked before a read replaces the program's values; false leaves them alone.
    void setReadGuard(std::function<bool()> guard) { m_readGuard = std::move(guard); }

    // ConnectionHost and TransferHost
    int selectedPort() const override { return m_form->selectedPort(); }
    bool versionGt826() const override { return m_versionGt826; }
    void setVersionGt826(bool on) override;
    void setPortStatus(const QString& text) override;
    QString mainTitle() const override { return m_title; }
    bool readyToSimulate() const { return m_readyToSimulate; }
    void setReadyToSimulate(bool on);
    bool flashParamsIdentical() const { return m_flashParamsIdentical; }
    void setFlashParamsIdentical(bool on);
    void setTransferCommandsEnabled(bool on) override;

    // Read and Write as their commands run them: archived, the write reviewed, the
    // outcome told and applied.
    void readDrive();
    void writeDrive();
    // The message for a transfer's outcome; empty for those nobody is told about
    // (success, a lost line the line watcher reports, a refused start while
    // another runs).
    QString outcomeText(const ParamTransfer::Outcome& outcome) const;

    ConnectionForm& connectionForm() { return *m_form; }
    LineWatcher& lineWatcher() { return *m_watcher; }
    ParamTransfer& transfer() { return *m_transfer; }
    // Read and write as the commands run them: archived, the write reviewed first.
    ArchivedTransfer& archived() { return *m_archived; }
    ProtocolModule& protocol() { return *m_protocol; }
    LinkPort& port() { return *m_port; }
    ProgressForm& progressForm() { return *m_progress; }
    QAction* connectionAction() const { return m_connection; }
    QAction* readAction() const { return m_read; }
    QAction* writeAction() const { return m_write; }
    QString portStatus() const { return m_portStatus; }

    // The link statistics become `panel`'s tool tip, read each time the tip is about
    // to show.
    void showLinkStatsOn(QWidget* panel);
    QString linkStatsText(const LinkStats& stats) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void selectedPortChanged(int port);
    void versionGt826Changed(bool on);
    void readyToSimulateChanged(bool on);
    void flashParamsIdenticalChanged(bool on);
    void portStatusChanged(const QString& text);
    // A transfer started (false) or ended (true): commands outside the session that
    // touch the link or the values follow.
    void transferCommandsEnabled(bool on);
    void simulateRequested();

private:
    // Values stored by a read make a complete set to simulate and compare; then the
    // user is told what happened.
    void applyOutcome();
    // Asks whether a doubtful block of old firmware is taken.
    bool takeDoubtful(const QList<DoubtfulValue>& values);
    // The one sender of the monitor start and stop commands. `opened`: the drive's
    // state is unknown (a port just opened), so it is told either way.
    void updateStreaming(bool opened = false);
    void onLineLost(int n, const QString& reason);
    void updateTransferCommands();

    LangModule& m_lang;
    Prompts& m_prompts;
    std::unique_ptr<SystemClock> m_clock;
    std::unique_ptr<LinkPort> m_port;
    std::unique_ptr<ProtocolModule> m_protocol;
    std::unique_ptr<LineWatcher> m_watcher;
    ConnectionForm* m_form = nullptr;
    ProgressForm* m_progress = nullptr;
    std::unique_ptr<ParamTransfer> m_transfer;
    History m_history;
    std::unique_ptr<ReviewDialog> m_review;
    std::unique_ptr<ArchivedTransfer> m_archived;
    QAction* m_connection = nullptr;
    QAction* m_read = nullptr;
    QAction* m_write = nullptr;
    QAction* m_saveLinkLog = nullptr;
    QString m_title;
    QString m_portStatus;
    QPointer<QWidget> m_statsPanel;
    Page m_page = Page::Monitor;
    std::function<bool()> m_readGuard;
    bool m_catalogueReady = false;
    bool m_versionGt826 = true;
    bool m_readyToSimulate = false;
    // Whether the run followed the values before a transfer held it back.
    bool m_readyBeforeTransfer = false;
    bool m_flashParamsIdentical = false;
    // Whether the page in front allows read and write (a transfer restores it).
    bool m_transferPage = false;
    bool m_transferRunning = false;
    bool m_streaming = false;
};
