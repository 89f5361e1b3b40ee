#pragma once
// Monitor frames as the drive sends them, checksummed by the virtual drive's codec,
// and an in-memory line on COM1 to send them on.
#include "emulator/DriveEmulator.h"
#include "support/FakeLinkPort.h"

#include <QByteArray>

inline QByteArray monitorFrame(int speed, int accel, int current) {
    const std::uint8_t d[6] = {std::uint8_t(speed >> 8),   std::uint8_t(speed),
                               std::uint8_t(accel >> 8),   std::uint8_t(accel),
                               std::uint8_t(current >> 8), std::uint8_t(current)};
    QByteArray out(1, char(0xFF));
    out.append(reinterpret_cast<const char*>(d), 6);
    out.append(char(DriveEmulator::frameSum(d)));
    return out;
}

using MonitorLine = FakeLine;
