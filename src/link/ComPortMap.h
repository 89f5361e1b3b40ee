#pragma once
// Which device a COM number stands for. On Windows COM n is the port of that name.
// Elsewhere a per-user link folder comes first (a link named "COM<n>" there points at
// any serial device or pseudo-terminal, which is how the virtual drive appears), then
// a fixed table of the usual device names, so built-in ports and USB adapters are
// found without configuration:
//   COM1-COM4   ttyS0-ttyS3     built-in ports
//   COM5-COM8   ttyUSB0-ttyUSB3 USB adapters with a serial converter chip
//   COM9-COM12  ttyACM0-ttyACM3 USB adapters of the modem class
//   COM13-COM16 links only
#include <QString>

class ComPortMap {
public:
    static constexpr int FirstPort = 1;
    static constexpr int LastPort = 16;

    // `linkFolder` holds the COM<n> links, `deviceFolder` the device nodes.
    explicit ComPortMap(QString linkFolder = defaultLinkFolder(),
                        QString deviceFolder = QStringLiteral("/dev"));

    // $XDG_RUNTIME_DIR/liftdrive, or /tmp/liftdrive-<uid> when that variable is unset.
    static QString defaultLinkFolder();
    // Creates the link folder for the current user (mode 0700). An existing folder is
    // left as it is. False when it cannot be made or is not safe to use.
    static bool ensureLinkFolder(const QString& folder, QString* error = nullptr);
    // The link folder is trusted only when it is a real folder owned by the current
    // user that nobody else can write to; otherwise another user could point our
    // COM numbers at a device of their choosing.
    static bool isTrustedFolder(const QString& folder);

    // Name of the link for COM n inside the link folder ("COM7").
    static QString linkName(int n) { return QStringLiteral("COM%1").arg(n); }
    // Device name of the fixed table for COM n, without folder; empty for COM13-16
    // and for numbers outside 1-16.
    static QString tableDevice(int n);

    // What to open for COM n: the link when it exists, else the table's device when
    // that node exists, else empty. On Windows always "COM<n>" (1-16).
    QString systemLocation(int n) const;

    // Makes COM n stand for the adapter at `adapterPath` (its /dev/serial/by-id name)
    // through a link in the link folder, replacing what COM n linked to before and any
    // other number linked to the same adapter, so it keeps one number across replugs.
    bool keepAdapter(const QString& adapterPath, int n, QString* error = nullptr) const;

    const QString& linkFolder() const { return m_linkFolder; }
    const QString& deviceFolder() const { return m_deviceFolder; }

private:
    QString m_linkFolder;
    QString m_deviceFolder;
};
