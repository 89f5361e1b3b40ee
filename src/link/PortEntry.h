#pragma once
// What the port scan found for one COM number: whether it can be used, and if not,
// why, with what the system knows about the device behind it.
#include <QString>

struct PortEntry {
    enum class State {
        Absent,        // nothing behind the number: not listed
        Free,          // opens with the drive's line settings
        InUseHere,     // the program holds it
        Busy,          // another program holds it (holder names it when known)
        HeldByService, // a system service that grabs USB serial adapters holds it
        NoPermission,  // the user may not open the device
        LineSettings,  // opens, but does not take 56000 baud 8N1
        DanglingLink,  // a link in the link folder that points nowhere
        Vanished,      // was there at the last look, is gone now
        Failed,        // any other failure; detail has the system's words
    };

    int number = 0;
    State state = State::Absent;
    QString location;    // what is opened for the number (link or device)
    QString linkTarget;  // where the link points, when the number is a link
    QString description; // "USB serial (maker, product, serial)" where the system knows
    QString stableId;    // names the adapter across replugs; empty when nothing does
    QString adapterPath; // /dev/serial/by-id/... of the device, when it has one
    bool usb = false;    // an adapter on USB
    QString holder;      // program or service holding the port, when known
    QString group;       // group that may open the device (no permission)
    QString detail;      // the system's own words

    bool usable() const { return state == State::Free || state == State::InUseHere; }
    bool listed() const { return state != State::Absent; }
};
