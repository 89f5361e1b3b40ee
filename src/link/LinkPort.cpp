#include "link/LinkPort.h"

#include <QMetaObject>

PortEntry::State LinkPort::stateOf(OpenFailure failure) {
    switch (failure) {
    case OpenFailure::None:
        return PortEntry::State::Free;
    case OpenFailure::NoSuchPort:
        return PortEntry::State::Absent;
    case OpenFailure::LineSettings:
        return PortEntry::State::LineSettings;
    case OpenFailure::NoPermission:
        return PortEntry::State::NoPermission;
    case OpenFailure::Busy:
        return PortEntry::State::Busy;
    case OpenFailure::System:
        break;
    }
    return PortEntry::State::Failed;
}

PortEntry LinkPort::probe(int n) {
    PortEntry entry;
    entry.number = n;
    if (isOpen() && portNumber() == n) {
        entry.state = PortEntry::State::InUseHere;
        return entry;
    }
    if (isOpen())
        return entry; // a probe must not close the line in use: unknown, not listed
    QString detail;
    const bool opened = open(n, &detail);
    entry.state = opened ? PortEntry::State::Free : stateOf(openFailure());
    entry.detail = detail;
    close();
    return entry;
}

int LinkPort::findAdapter(const QString& identity) {
    if (identity.isEmpty())
        return 0;
    for (int n = 1; n <= 16; ++n) {
        const PortEntry entry = probe(n);
        if (entry.usable() && entry.stableId == identity)
            return n;
    }
    return 0;
}

void LinkPort::reportLoss(const QString& reason) {
    if (!isOpen() || m_closeQueued)
        return;
    markLost(reason);
    m_closeQueued = true;
    // Closing inside the failing call (a Qt signal among them) is not safe: close from
    // the event loop, once.
    QMetaObject::invokeMethod(this, &LinkPort::closeAfterLoss, Qt::QueuedConnection);
}

void LinkPort::closeAfterLoss() {
    // The port may have been reopened meanwhile; that line is not the lost one.
    if (!lineLost() || !m_closeQueued)
        return;
    const int number = portNumber();
    m_closeQueued = false;
    close();
    emit lineLostNotice(number, lostReason());
}
