#pragma once
// Runs liftdrive-emulator beside a test: its own link folder, commands on its
// standard input, answers and log lines read from its standard output.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class VirtualDrive {
public:
    static constexpr int Com = 13;

    ~VirtualDrive() { stop(); }

    bool start(const QStringList& extra = {}) {
        if (!m_dir.isValid())
            return false;
        m_linkFolder = m_dir.filePath(QStringLiteral("links"));
        const QString program =
            qEnvironmentVariable("LIFTDRIVE_BIN_DIR") + QStringLiteral("/liftdrive-emulator");
        m_process.setProgram(program);
        m_process.setArguments(QStringList{QStringLiteral("--link-folder"), m_linkFolder,
                                           QStringLiteral("--com"), QString::number(Com)} +
                               extra);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        return !waitFor(QStringLiteral("READY")).isEmpty();
    }
    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(2000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }

    // Sends one command and returns the first line starting with `answer`.
    QString command(const QString& line, const QString& answer = QStringLiteral("OK")) {
        m_process.write(line.toUtf8() + '\n');
        return waitFor(answer);
    }
    // The words the drive now holds.
    QList<int> words() {
        const QString line = command(QStringLiteral("dump"), QStringLiteral("WORDS"));
        QList<int> out;
        for (const QString& w : line.mid(6).split(u' ', Qt::SkipEmptyParts))
            out << w.toInt();
        return out;
    }
    // Log lines seen so far (lines already returned by command() included).
    QStringList log() {
        drain();
        return m_lines;
    }
    QString linkFolder() const { return m_linkFolder; }
    QProcess& process() { return m_process; }

private:
    void drain() {
        while (m_process.canReadLine())
            m_lines << QString::fromUtf8(m_process.readLine()).trimmed();
    }
    QString waitFor(const QString& prefix, int msecs = 5000) {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            drain();
            for (qsizetype i = m_seen; i < m_lines.size(); ++i) {
                if (m_lines[i].startsWith(prefix)) {
                    m_seen = i + 1;
                    return m_lines[i];
                }
            }
            if (timer.elapsed() > msecs || m_process.state() == QProcess::NotRunning)
                return QString();
            m_process.waitForReadyRead(50);
        }
    }

    QTemporaryDir m_dir;
    QString m_linkFolder;
    QProcess m_process;
    QStringList m_lines;
    qsizetype m_seen = 0;
};
