#pragma once
// The monitor page: the live value labels, fed by the monitor tick (Timer1), and the
// one-second tick (Timer_1Sec) that blinks the status-bar warning.
#include "monitor/MonitorState.h"

#include <QWidget>
#include <functional>

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
        // Status-bar panel 2: the warning that the values differ from the drive's.
        std::function<void(bool shown)> showDifferWarning;
    };

    MonitorPage(ProtocolModule& protocol, Host host, QWidget* parent = nullptr);

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
    Host m_host;
    MonitorState m_state;
    QLabel* m_speed = nullptr;
    QLabel* m_accel = nullptr;
    QLabel* m_current = nullptr;
    QTimer* m_timer1 = nullptr;
    QTimer* m_timer1Sec = nullptr;
};
