#include "link/LinkPort.h"

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
