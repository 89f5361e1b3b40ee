#pragma once
// What stands behind each COM number, without opening anything: the link or device,
// the stable name of a USB adapter (/dev/serial/by-id), what the system says the
// device is, and, for a port that refuses to open, who or what holds it. Every look
// at the system is bounded, so a crowded /dev or /proc cannot hang the dialog.
#include "link/ComPortMap.h"
#include "link/PortEntry.h"

#include <QHash>
#include <QString>

class SerialPortScan {
public:
    // At most this many entries of the by-id folder and of /proc are looked at.
    static constexpr int MaxByIdEntries = 256;
    static constexpr int MaxProcesses = 4096;

    explicit SerialPortScan(ComPortMap map = ComPortMap(),
                            QString byIdFolder = QStringLiteral("/dev/serial/by-id"));

    // Reads the by-id folder again and, with `descriptions`, what the system says
    // about each device (the slower part). Once per scan, not per number.
    void refresh(bool descriptions);

    // COM n as far as it can be told without opening it: Absent, DanglingLink, or
    // Free when there is something to open.
    PortEntry describe(int n) const;
    // Why `device` refused to open with a permission error: the user may not open it,
    // a system service holds it, or another program does (named by its lock file).
    void explainRefusal(PortEntry& entry, const QString& device) const;
    // The number that reaches the adapter named by `identity` now, 0 when none.
    int findAdapter(const QString& identity) const;

    // The device a location stands for: links resolved; on Windows the name itself.
    static QString deviceOf(const QString& location);
    // Services known to open USB serial adapters as soon as they appear.
    static bool isGrabbingService(const QString& processName);

    const ComPortMap& map() const { return m_map; }
    void setMap(const ComPortMap& map) { m_map = map; }
    void setProcFolder(const QString& folder) { m_procFolder = folder; }
    // Entries of the by-id folder the last refresh looked at.
    int byIdLooked() const { return m_byIdLooked; }

private:
    QString lockHolder(const QString& device) const;
    QString serviceHolding(const QString& device) const;

    ComPortMap m_map;
    QString m_byIdFolder;
    QString m_procFolder = QStringLiteral("/proc");
    int m_byIdLooked = 0;
    QHash<QString, QString> m_byIdOf;        // device -> by-id path
    QHash<QString, QString> m_descriptionOf; // device -> "maker, product, serial"
    QHash<QString, bool> m_usb;              // device -> on USB
};
