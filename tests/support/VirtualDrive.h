#pragma once
// Runs liftdrive-emulator beside a test in its own link folder: commands on its
// standard input, answers and log lines read from its standard output.
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class VirtualDrive {
public:
    static constexpr int Com = 13;

    ~VirtualDrive() {
        m_process.kill();
        m_process.waitForFinished(2000);
    }

    bool start(const QStringList& extra = {}) {
        m_process.start(qEnvironmentVariable("LIFTDRIVE_BIN_DIR") + "/liftdrive-emulator",
                        QStringList{"--link-folder", linkFolder(), "--com", QString::number(Com)} +
                            extra);
        return m_dir.isValid() && m_process.waitForStarted(5000) && !waitFor("READY").isEmpty();
    }

    // Sends one command and returns the first new line starting with `answer`.
    QString command(const QString& line, const QString& answer = QStringLiteral("OK")) {
        m_process.write(line.toUtf8() + '\n');
        return waitFor(answer);
    }
    QList<int> words() {
        QList<int> out;
        for (const QString& w : command("dump", "WORDS").mid(6).split(u' ', Qt::SkipEmptyParts))
            out << w.toInt();
        return out;
    }
    // Every line seen so far.
    QStringList log() {
        while (m_process.canReadLine())
            m_lines << QString::fromUtf8(m_process.readLine()).trimmed();
        return m_lines;
    }
    // Known before the start, so that a port can be made for it first.
    QString linkFolder() const { return m_dir.filePath(QStringLiteral("links")); }
    // After a hang-up the drive ends by itself; a new start then comes back under the
    // same link.
    // An end the event loop already took counts: waiting then would report a failure.
    bool waitForExit() {
        return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(5000);
    }

    // The first new line starting with `prefix`, or empty after 5 s.
    QString waitFor(const QString& prefix) {
        for (QDeadlineTimer deadline(5000); !deadline.hasExpired();
             m_process.waitForReadyRead(50)) {
            for (log(); m_seen < m_lines.size(); ++m_seen)
                if (m_lines[m_seen].startsWith(prefix))
                    return m_lines[m_seen++];
            if (m_process.state() == QProcess::NotRunning)
                break;
        }
        return QString();
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QStringList m_lines;
    qsizetype m_seen = 0;
};
