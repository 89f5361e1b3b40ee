#pragma once
// The monitor page: the live value labels, fed by the monitor tick (Timer1), and the
// one-second tick (Timer_1Sec) that blinks the status-bar warning.
#include "MonitorState.h"

#include <QWidget>
#include <functional>

class LangModule;
class ProtocolModule;
class QLabel;
class QTimer;

class MonitorPage final : public QWidget {
    Q_OBJECT
public:
    static constexpr int TickMs = 20;

    // What the main window lends.
    struct Host {
        std::function<int()> selectedPort; // 0 while no port is in use
        std::function<bool()> flashParamsIdentical;
        std::function<void(const QString&)> setStatusWarning; // status-bar panel 2
    };

    MonitorPage(ProtocolModule& protocol, const LangModule& lang, Host host,
                QWidget* parent = nullptr);

    MonitorState& state() { return m_state; }
    // Start-up: enables Timer1, which is off until then.
    void start();

public slots:
    // The monitor tick. Re-arms Timer1 only at its end, so ticks never overlap even
    // when the receive lets the event loop run.
    void Timer1_Timer();
    void Timer_1Sec_Timer();

private:
    ProtocolModule& m_protocol;
    const LangModule& m_lang;
    Host m_host;
    MonitorState m_state;
    QLabel* m_speed = nullptr;
    QLabel* m_accel = nullptr;
    QLabel* m_current = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer1Sec = nullptr;
};
