#pragma once
// SIGTERM, SIGINT and SIGHUP end the program as a normal close does: the event loop
// returns, the window and the session are destroyed, the port is closed and its lock
// file removed. A signal handler may only write to a pipe; the event loop reads it.
#include <QObject>

class QSocketNotifier;

class QuitOnSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitOnSignals(QObject* parent = nullptr);
    ~QuitOnSignals() override;

private:
    QSocketNotifier* m_notifier = nullptr;
};
