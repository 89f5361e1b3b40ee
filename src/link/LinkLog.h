#pragma once
// What went over the line lately, for a technician to send with a fault report: the
// bytes both ways and every fault, kept for the last minutes in a bounded ring, and
// the same written to the logging categories (off unless QT_LOGGING_RULES turns them
// on, e.g. "liftdrive.link.debug=true").
#include <QByteArray>
#include <QList>
#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(lcLink)
Q_DECLARE_LOGGING_CATEGORY(lcTransfer)
Q_DECLARE_LOGGING_CATEGORY(lcMonitor)

class LinkLog {
public:
    // How far back the ring reaches, and at most how many bytes it keeps: a flood
    // pushes out old traffic sooner.
    static constexpr double KeepSeconds = 5 * 60.0;
    static constexpr qsizetype KeepBytes = 1 << 20;

    enum class Kind { Sent, Received, Note };
    struct Entry {
        double at = 0.0; // monotonic seconds
        Kind kind = Kind::Note;
        QByteArray bytes; // the bytes, or the note's text
    };

    void sent(double at, const QByteArray& bytes) { add(at, Kind::Sent, bytes); }
    void received(double at, const QByteArray& bytes) { add(at, Kind::Received, bytes); }
    // A fault or an event on the line, in words.
    void note(double at, const QString& text);

    const QList<Entry>& entries() const { return m_entries; }
    // One line per entry: seconds before `now`, direction, bytes in hex or the note.
    QByteArray text(double now) const;

private:
    void add(double at, Kind kind, const QByteArray& bytes);

    QList<Entry> m_entries;
    qsizetype m_first = 0; // entries before it are dropped, removed in batches
    qsizetype m_bytes = 0;
};
