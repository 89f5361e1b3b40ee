#pragma once
// The health of the one line: a loss is reported once, and the same adapter (the same
// link, or the same stable by-id name) is looked for and reopened when it comes back,
// for a while. Never while a transfer runs: the rest of a block must not go to a line
// that was reopened under it, so the looking starts when the transfer has ended.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class LinkPort;

class LineWatcher : public QObject {
    Q_OBJECT
public:
    // How long a lost adapter is waited for, and how often it is looked for.
    static constexpr int ReconnectWindowMs = 5 * 60 * 1000;
    static constexpr int ReconnectPollMs = 100;

    explicit LineWatcher(LinkPort& port, QObject* parent = nullptr);

    // COM n was opened by the user's choice: the adapter to look for after a loss.
    void opened(int n);
    // Stops looking for a lost adapter (the user chose a port meanwhile).
    void stop();
    // While held, a loss is still reported but nothing is reopened.
    void setHeld(bool held);
    bool held() const { return m_held; }
    // True from a loss until the adapter is back, given up, or stop().
    bool awaiting() const { return !m_lostIdentity.isEmpty(); }
    // The number the lost adapter had.
    int lostPort() const { return m_lostPort; }
    void setReconnectWindow(int msecs) { m_window = msecs; }

signals:
    void lost(int n, const QString& reason);
    // Looking for the adapter that was COM n has begun.
    void waiting(int n);
    // The adapter is back and open as COM n.
    void back(int n);
    // The adapter that was COM n did not come back in time.
    void gaveUp(int n);

private:
    void onLost(int n, const QString& reason);
    void startLooking();
    void poll();

    LinkPort& m_port;
    QString m_identity;     // of the port opened last
    QString m_lostIdentity; // of the adapter looked for
    int m_lostPort = 0;
    bool m_held = false;
    int m_window = ReconnectWindowMs;
    QElapsedTimer m_since;
    QTimer m_timer;
};
