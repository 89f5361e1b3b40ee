// liftdrive-emulator: a virtual drive on a pseudo-terminal, reachable from the
// program as a COM number through a link in the per-user link folder.
#include "emulator/DriveEmulator.h"
#include "emulator/LineSpeed.h"
#include "link/ComPortMap.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <pty.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &c, 1);
}

// A raw, non-blocking pseudo-terminal; false when none can be had.
bool openLine(int* master, int* slave, QString* name) {
    char buffer[256] = {};
    if (::openpty(master, slave, buffer, nullptr, nullptr) != 0)
        return false;
    // Raw from the start, so nothing the drive sends is echoed back before the
    // program opens the port. The drive keeps the slave open itself: without that,
    // the master sees an error every time the program's port scan closes it.
    termios tio{};
    ::tcgetattr(*slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(*slave, TCSANOW, &tio);
    ::fcntl(*master, F_SETFL, ::fcntl(*master, F_GETFL) | O_NONBLOCK);
    *name = QString::fromLocal8Bit(buffer);
    return true;
}

// Pushes the drive's output into the pseudo-terminal at the pace of the real line
// (56000 baud, 10 bits a byte) unless told not to, and runs the stdin commands.
class PtyDrive : public QObject {
public:
    PtyDrive(DriveEmulator& drive, int master, int slave, QString ptyName, QString link, bool paced,
             QFile* logFile, bool commands, bool replug, bool flood)
        : m_drive(drive), m_master(master), m_slave(slave), m_ptyName(std::move(ptyName)),
          m_link(std::move(link)), m_paced(paced), m_replug(replug), m_flood(flood),
          m_logFile(logFile), m_stdinNotifier(STDIN_FILENO, QSocketNotifier::Read) {
        m_clock.start();
        m_lastPace = now();
        watchLine();
        connect(&m_stdinNotifier, &QSocketNotifier::activated, this, [this] { readCommand(); });
        m_stdinNotifier.setEnabled(commands);
        connect(&m_timer, &QTimer::timeout, this, [this] { pump(); });
        m_timer.start(2);
    }

    const QString& ptyName() const { return m_ptyName; }

    void hangup() {
        if (m_master < 0)
            return;
        m_readNotifier.reset();
        ::close(m_master);
        ::close(m_slave);
        m_master = -1;
        m_slave = -1;
        // What was still queued for the line is lost with it.
        m_drive.output().clear();
        say(QStringLiteral("HANGUP"));
        if (m_replug) {
            // Like a cable plugged in again: a new terminal behind the same COM link,
            // the stored parameters kept.
            QTimer::singleShot(100, this, [this] { plugIn(); });
            return;
        }
        // Give the program a moment to see the hang-up before the process ends.
        QTimer::singleShot(200, qApp, &QCoreApplication::quit);
    }

    void say(const QString& line) {
        QTextStream(stdout) << line << Qt::endl;
        if (m_logFile) {
            m_logFile->write(line.toUtf8() + '\n');
            m_logFile->flush();
        }
    }

private:
    double now() const { return double(m_clock.nsecsElapsed()) * 1e-9; }

    void watchLine() {
        m_readNotifier = std::make_unique<QSocketNotifier>(m_master, QSocketNotifier::Read);
        connect(m_readNotifier.get(), &QSocketNotifier::activated, this, [this] { readLine(); });
    }

    void plugIn() {
        QString name;
        if (!openLine(&m_master, &m_slave, &name)) {
            say(QStringLiteral("ERROR no pseudo-terminal: %1")
                    .arg(QString::fromLocal8Bit(strerror(errno))));
            qApp->exit(1);
            return;
        }
        // Only while the link is still this drive's.
        if (QFileInfo(m_link).symLinkTarget() == m_ptyName) {
            QFile::remove(m_link);
            QFile::link(name, m_link);
        }
        m_ptyName = name;
        watchLine();
        say(QStringLiteral("REPLUGGED %1").arg(name));
    }

    void readLine() {
        char buffer[512];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            m_drive.receive(QByteArray(buffer, int(n)), now());
            flushLog();
        }
        pump();
    }

    void flushLog() {
        for (const QString& line : m_drive.log())
            say(QStringLiteral("LOG ") + line);
        m_drive.log().clear();
    }

    // Whole frames, as many as the terminal takes, whatever the baud rate.
    void flood() {
        static const QByteArray frames = [] {
            const std::uint8_t data[6] = {0x01, 0x2c, 0x00, 0x64, 0x00, 0x0a};
            QByteArray frame(1, char(0xFF));
            frame.append(reinterpret_cast<const char*>(data), 6);
            frame.append(char(DriveEmulator::frameSum(data)));
            return frame.repeated(2048);
        }();
        if (m_master < 0)
            return;
        const ssize_t written = ::write(m_master, frames.constData(), size_t(frames.size()));
        if (written > 0)
            m_bytesWritten += quint64(written);
    }

    void pump() {
        if (m_flood)
            flood();
        const double t = now();
        m_drive.tick(t);
        flushLog();
        double budget = 1e9;
        if (m_paced) {
            // Up to 10 ms of line time may be saved up, so a late timer does not
            // lose line time: at the full frame rate production equals the line rate.
            m_tokens = std::min(m_tokens + (t - m_lastPace) * 5600.0, 56.0);
            budget = m_tokens;
        }
        m_lastPace = t;
        auto& out = m_drive.output();
        while (!out.isEmpty() && m_master >= 0) {
            if (out.first().hangup) {
                out.removeFirst();
                hangup();
                return;
            }
            QByteArray& bytes = out.first().bytes;
            const qsizetype take = qsizetype(std::min<double>(double(bytes.size()), budget));
            if (take <= 0)
                break;
            const ssize_t written = ::write(m_master, bytes.constData(), size_t(take));
            if (written < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK) {
                    // Nobody reads the line: drop monitor output rather than queue it.
                    if (m_drive.monitoring()) {
                        m_bytesDropped += quint64(out.first().bytes.size());
                        out.removeFirst();
                    }
                }
                break;
            }
            bytes.remove(0, written);
            m_bytesWritten += quint64(written);
            budget -= double(written);
            if (m_paced)
                m_tokens -= double(written);
            if (bytes.isEmpty())
                out.removeFirst();
        }
    }

    void readCommand() {
        QByteArray line;
        char c = 0;
        while (::read(STDIN_FILENO, &c, 1) == 1 && c != '\n')
            line.append(c);
        if (line.isEmpty() && c != '\n') {
            // End of input: whoever gave the commands has gone, and the drive with it.
            m_stdinNotifier.setEnabled(false);
            qApp->quit();
            return;
        }
        run(QString::fromUtf8(line).trimmed().split(u' ', Qt::SkipEmptyParts));
    }

    void run(const QStringList& cmd) {
        if (cmd.isEmpty())
            return;
        const QString& c = cmd[0];
        if (c == QLatin1String("quit")) {
            qApp->quit();
        } else if (c == QLatin1String("hangup")) {
            hangup();
        } else if (c == QLatin1String("rate") && cmd.size() == 2) {
            bool ok = false;
            const double rate = cmd[1].toDouble(&ok);
            if (!ok || !(rate >= 1.0 && rate <= DriveEmulator::LineFrameRate)) {
                say(QStringLiteral("ERROR rate takes 1 to %1 frames a second")
                        .arg(DriveEmulator::LineFrameRate));
                return;
            }
            m_drive.setFrameRate(rate);
            say(QStringLiteral("OK"));
        } else if (c == QLatin1String("frames")) {
            qsizetype queued = 0;
            for (const DriveEmulator::Output& o : m_drive.output())
                queued += o.bytes.size();
            say(QStringLiteral("FRAMES made %1 written-bytes %2 dropped-bytes %3 queued-bytes %4")
                    .arg(m_drive.framesMade())
                    .arg(m_bytesWritten)
                    .arg(m_bytesDropped)
                    .arg(queued));
        } else if (c == QLatin1String("speed")) {
            say(QStringLiteral("SPEED %1").arg(lineSpeed(m_slave)));
        } else if (c == QLatin1String("dump")) {
            QStringList words;
            for (std::uint16_t w : m_drive.words())
                words << QString::number(w);
            say(QStringLiteral("WORDS ") + words.join(u' '));
        } else if (c == QLatin1String("set") && cmd.size() == 3) {
            int k = 0;
            int word = 0;
            if (!DriveEmulator::parseCount(cmd[1], 0, DriveEmulator::Words - 1, &k) ||
                !DriveEmulator::parseCount(cmd[2], 0, 65535, &word)) {
                say(QStringLiteral("ERROR set takes an index 0-127 and a word 0-65535"));
                return;
            }
            m_drive.words()[std::size_t(k)] = std::uint16_t(word);
            say(QStringLiteral("OK"));
        } else if (c == QLatin1String("firmware") && cmd.size() == 2) {
            int version = 0;
            if (!DriveEmulator::parseCount(cmd[1], 0, 32767, &version)) {
                say(QStringLiteral("ERROR firmware takes a version word 0-32767"));
                return;
            }
            m_drive.setFirmware(version);
            say(QStringLiteral("OK"));
        } else if (c == QLatin1String("clear")) {
            m_drive.faults() = DriveEmulator::Faults();
            say(QStringLiteral("OK"));
        } else if (c == QLatin1String("fault") && cmd.size() >= 2) {
            QString why;
            if (!m_drive.setFault(cmd[1], cmd.value(2), &why)) {
                say(QStringLiteral("ERROR ") + why);
                return;
            }
            say(QStringLiteral("OK"));
        } else {
            say(QStringLiteral("ERROR unknown command %1").arg(c));
        }
    }

    DriveEmulator& m_drive;
    int m_master;
    int m_slave;
    QString m_ptyName;
    QString m_link;
    bool m_paced;
    bool m_replug;
    bool m_flood;
    QFile* m_logFile;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    QSocketNotifier m_stdinNotifier;
    QTimer m_timer;
    QElapsedTimer m_clock;
    double m_tokens = 0.0;
    quint64 m_bytesWritten = 0;
    quint64 m_bytesDropped = 0;
    double m_lastPace = 0.0;
};

QString defaultDefinitionFile() {
    const QDir dir(QCoreApplication::applicationDirPath());
    if (dir.exists(QStringLiteral("params-en.def")))
        return dir.filePath(QStringLiteral("params-en.def"));
    const QStringList defs = dir.entryList({QStringLiteral("*.def")}, QDir::Files, QDir::Name);
    return defs.isEmpty() ? QString() : dir.filePath(defs.first());
}

} // namespace

int main(int argc, char* argv[]) {
    // A drive started by a test or a benchmark ends with it, even when that is killed.
    const pid_t parent = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent)
        return 0;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("liftdrive-emulator"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A virtual lift drive on a pseudo-terminal. It appears to liftdrive as a COM "
        "number through a link in the per-user link folder.\n"
        "Commands on standard input: fault <name> [k], clear, set <index> <word>, "
        "firmware <version>, dump, rate <frames per second>, frames, speed, hangup, quit. "
        "Fault names: no-answer, bad-checksum, drop-byte k, "
        "extra-byte k, garbage n, frame-garbage, hangup-read k, hangup-write k."));
    parser.addHelpOption();
    const QCommandLineOption comOpt(QStringLiteral("com"),
                                    QStringLiteral("COM number to appear as (1-16, default 13)."),
                                    QStringLiteral("n"), QStringLiteral("13"));
    const QCommandLineOption folderOpt(QStringLiteral("link-folder"),
                                       QStringLiteral("Folder of the COM links (default %1).")
                                           .arg(ComPortMap::defaultLinkFolder()),
                                       QStringLiteral("folder"));
    const QCommandLineOption firmwareOpt(
        QStringLiteral("firmware"),
        QStringLiteral("Firmware version word (default 830; 826 or less: short block)."),
        QStringLiteral("version"), QStringLiteral("830"));
    const QCommandLineOption quvOpt(QStringLiteral("quv"),
                                    QStringLiteral("Parameter file to start from."),
                                    QStringLiteral("file"));
    const QCommandLineOption defOpt(QStringLiteral("def"),
                                    QStringLiteral("Definition file giving the scales."),
                                    QStringLiteral("file"));
    const QCommandLineOption monitorOpt(QStringLiteral("monitor"),
                                        QStringLiteral("Start streaming monitor frames."));
    const QCommandLineOption rateOpt(
        QStringLiteral("frame-rate"),
        QStringLiteral("Monitor frames per second, up to 700 (the full line rate; default 50)."),
        QStringLiteral("n"), QStringLiteral("50"));
    const QCommandLineOption noPaceOpt(
        QStringLiteral("no-pace"), QStringLiteral("Send as fast as possible, not at 56000 baud."));
    const QCommandLineOption logOpt(QStringLiteral("log"),
                                    QStringLiteral("Also write the log to this file."),
                                    QStringLiteral("file"));
    const QCommandLineOption serveOpt(
        QStringLiteral("serve"),
        QStringLiteral("Run beside the program until killed, without reading commands."));
    const QCommandLineOption faultOpt(QStringLiteral("fault"),
                                      QStringLiteral("Fault to inject, as on standard input "
                                                     "(\"drop-byte:5\"); may be repeated."),
                                      QStringLiteral("name[:k]"));
    const QCommandLineOption replugOpt(
        QStringLiteral("replug"),
        QStringLiteral("After a hang-up, come back on a new terminal behind the same COM "
                       "link with the stored parameters, instead of ending."));
    const QCommandLineOption storeFirmwareOpt(
        QStringLiteral("store-firmware-word"),
        QStringLiteral("Store the version word a write sends and report it from then on."));
    const QCommandLineOption carLagOpt(
        QStringLiteral("car-lag"),
        QStringLiteral("Time constant of the car's speed loop behind the command, 0 to 2 s "
                       "(default 0.15)."),
        QStringLiteral("s"), QStringLiteral("0.15"));
    const QCommandLineOption carCreepOpt(
        QStringLiteral("car-creep"),
        QStringLiteral("Levelling time the car adds to the model's, 0 to 10 s (default 0.4)."),
        QStringLiteral("s"), QStringLiteral("0.4"));
    const QCommandLineOption floodOpt(
        QStringLiteral("flood"),
        QStringLiteral("Send monitor frames as fast as the terminal takes them, as an adapter "
                       "that ignores the baud rate would."));
    parser.addOptions({comOpt, folderOpt, firmwareOpt, quvOpt, defOpt, monitorOpt, rateOpt,
                       noPaceOpt, logOpt, serveOpt, faultOpt, replugOpt, carLagOpt, carCreepOpt,
                       floodOpt, storeFirmwareOpt});
    parser.process(app);
    QTextStream err(stderr);

    bool ok = false;
    const int com = parser.value(comOpt).toInt(&ok);
    if (!ok || com < ComPortMap::FirstPort || com > ComPortMap::LastPort) {
        err << "liftdrive-emulator: --com must be 1 to 16" << Qt::endl;
        return 2;
    }
    const QString folder =
        parser.isSet(folderOpt) ? parser.value(folderOpt) : ComPortMap::defaultLinkFolder();
    QString why;
    if (!ComPortMap::ensureLinkFolder(folder, &why)) {
        err << "liftdrive-emulator: " << why << Qt::endl;
        return 2;
    }

    DriveEmulator drive;
    int firmware = 0;
    if (!DriveEmulator::parseCount(parser.value(firmwareOpt), 0, 32767, &firmware)) {
        err << "liftdrive-emulator: --firmware takes a version word from 0 to 32767" << Qt::endl;
        return 2;
    }
    drive.setFirmware(firmware);
    drive.setStoresFirmwareWord(parser.isSet(storeFirmwareOpt));
    const QString defFile = parser.isSet(defOpt) ? parser.value(defOpt) : defaultDefinitionFile();
    const QHash<int, double> scales = DriveEmulator::readScales(defFile);
    drive.loadDefaults(scales);
    if (parser.isSet(quvOpt) && !drive.loadQuv(parser.value(quvOpt), scales, &why)) {
        err << "liftdrive-emulator: " << parser.value(quvOpt) << ": " << why << Qt::endl;
        return 2;
    }
    drive.setMonitoring(parser.isSet(monitorOpt));
    for (const QString& fault : parser.values(faultOpt)) {
        const QStringList parts = fault.split(u':');
        if (!drive.setFault(parts.value(0), parts.value(1), &why)) {
            err << "liftdrive-emulator: " << why << Qt::endl;
            return 2;
        }
    }
    bool rateOk = false;
    const double rate = parser.value(rateOpt).toDouble(&rateOk);
    if (!rateOk || !(rate >= 1.0 && rate <= DriveEmulator::LineFrameRate)) {
        err << "liftdrive-emulator: --frame-rate takes 1 to " << DriveEmulator::LineFrameRate
            << " frames a second" << Qt::endl;
        return 2;
    }
    drive.setFrameRate(rate);
    // The car travels as the program's model says it would with these parameters,
    // as a real car follows a command.
    CarTravel::Car car;
    bool lagOk = false, creepOk = false;
    car.lag = parser.value(carLagOpt).toDouble(&lagOk);
    car.creep = parser.value(carCreepOpt).toDouble(&creepOk);
    if (!lagOk || !(car.lag >= 0.0 && car.lag <= 2.0) || !creepOk ||
        !(car.creep >= 0.0 && car.creep <= 10.0)) {
        err << "liftdrive-emulator: --car-lag takes 0 to 2 s, --car-creep 0 to 10 s" << Qt::endl;
        return 2;
    }
    drive.setTravel(CarTravel::fromModel(drive.words(), defFile, car));

    int master = -1;
    int slave = -1;
    QString name;
    if (!openLine(&master, &slave, &name)) {
        err << "liftdrive-emulator: no pseudo-terminal: " << strerror(errno) << Qt::endl;
        return 1;
    }

    const QString link = QDir(folder).filePath(ComPortMap::linkName(com));
    const QString pidFile = link + QStringLiteral(".pid");
    const QFileInfo old(link);
    // A link left by a drive that was killed outright is stale even when its terminal
    // number has been reused since; the owner's process id tells.
    QFile pidIn(pidFile);
    const qint64 owner =
        pidIn.open(QIODevice::ReadOnly) ? pidIn.readAll().trimmed().toLongLong() : 0;
    pidIn.close();
    const bool ownerAlive = owner > 0 && ::kill(pid_t(owner), 0) == 0;
    if (old.isSymLink() && old.exists() && ownerAlive) {
        err << "liftdrive-emulator: " << link << " is in use (points at " << old.symLinkTarget()
            << ")" << Qt::endl;
        return 3;
    }
    QFile::remove(link);
    if (!QFile::link(name, link)) {
        err << "liftdrive-emulator: cannot create " << link << Qt::endl;
        return 1;
    }
    QFile pidOut(pidFile);
    if (pidOut.open(QIODevice::WriteOnly | QIODevice::Truncate))
        pidOut.write(QByteArray::number(qint64(::getpid())));
    pidOut.close();

    QFile logFile;
    if (parser.isSet(logOpt)) {
        logFile.setFileName(parser.value(logOpt));
        if (!logFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            err << "liftdrive-emulator: cannot write " << logFile.fileName() << Qt::endl;
            return 1;
        }
    }
    PtyDrive pty(drive, master, slave, name, link, !parser.isSet(noPaceOpt),
                 logFile.isOpen() ? &logFile : nullptr, !parser.isSet(serveOpt),
                 parser.isSet(replugOpt), parser.isSet(floodOpt));
    ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe);
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGHUP, onSignal);

    pty.say(QStringLiteral("READY COM%1 %2 -> %3 firmware %4 (%5 words)")
                .arg(com)
                .arg(link, name)
                .arg(drive.firmware())
                .arg(drive.blockWords()));
    const int code = app.exec();
    // Remove the link only while it still names this drive's terminal.
    if (QFileInfo(link).symLinkTarget() == pty.ptyName()) {
        QFile::remove(link);
        QFile::remove(pidFile);
    }
    return code;
}
