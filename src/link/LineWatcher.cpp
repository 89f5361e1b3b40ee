#include "link/LineWatcher.h"

#include "link/LinkPort.h"

LineWatcher::LineWatcher(LinkPort& port, QObject* parent) : QObject(parent), m_port(port) {
    m_timer.setInterval(ReconnectPollMs);
    connect(&m_timer, &QTimer::timeout, this, &LineWatcher::poll);
    connect(&m_port, &LinkPort::lineLostNotice, this, &LineWatcher::onLost);
}

void LineWatcher::opened(int n) {
    stop();
    m_identity = m_port.probe(n).stableId;
}

void LineWatcher::stop() {
    m_timer.stop();
    m_lostIdentity.clear();
}

void LineWatcher::setHeld(bool held) {
    m_held = held;
    if (!held && awaiting() && !m_timer.isActive())
        startLooking();
}

void LineWatcher::onLost(int n, const QString& reason) {
    m_lostPort = n;
    m_lostIdentity = m_identity;
    emit lost(n, reason);
    if (!m_held && awaiting())
        startLooking();
}

void LineWatcher::startLooking() {
    m_since.start();
    m_timer.start();
    emit waiting(m_lostPort);
}

void LineWatcher::poll() {
    if (m_held)
        return;
    if (m_port.isOpen()) { // a port was chosen meanwhile
        stop();
        return;
    }
    if (m_since.elapsed() > m_window) {
        stop();
        emit gaveUp(m_lostPort);
        return;
    }
    const int n = m_port.findAdapter(m_lostIdentity);
    // A node that has just appeared may not be ready (its permissions are set a moment
    // later): look again at the next poll.
    if (n == 0 || !m_port.open(n))
        return;
    opened(n);
    emit back(n);
}
