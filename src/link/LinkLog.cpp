#include "link/LinkLog.h"

Q_LOGGING_CATEGORY(lcLink, "liftdrive.link", QtWarningMsg)
Q_LOGGING_CATEGORY(lcTransfer, "liftdrive.transfer", QtWarningMsg)
Q_LOGGING_CATEGORY(lcMonitor, "liftdrive.monitor", QtWarningMsg)

namespace {

// Bytes one way within this time join the entry before them: a monitor stream is one
// line per burst, not one per byte.
constexpr double kJoinSeconds = 0.05;

} // namespace

void LinkLog::note(double at, const QString& text) {
    qCInfo(lcLink).noquote() << text;
    add(at, Kind::Note, text.toUtf8());
}

void LinkLog::add(double at, Kind kind, const QByteArray& bytes) {
    if (bytes.isEmpty())
        return;
    if (kind != Kind::Note)
        qCDebug(lcLink).noquote() << (kind == Kind::Sent ? "sent" : "received") << bytes.toHex(' ');
    if (kind != Kind::Note && m_entries.size() > m_first && m_entries.last().kind == kind &&
        at - m_entries.last().at < kJoinSeconds)
        m_entries.last().bytes += bytes;
    else
        m_entries.append({at, kind, bytes});
    m_bytes += bytes.size();
    while (m_first < m_entries.size() - 1 &&
           (m_bytes > KeepBytes || at - m_entries[m_first].at > KeepSeconds)) {
        m_bytes -= m_entries[m_first].bytes.size();
        m_entries[m_first].bytes.clear();
        ++m_first;
    }
    // Removing from the front one at a time would move the whole list each time.
    if (m_first > 1024 && m_first * 2 > m_entries.size()) {
        m_entries.remove(0, m_first);
        m_first = 0;
    }
}

QByteArray LinkLog::text(double now) const {
    QByteArray out;
    for (qsizetype i = m_first; i < m_entries.size(); ++i) {
        const Entry& e = m_entries[i];
        out += QByteArray::number(e.at - now, 'f', 3);
        out += e.kind == Kind::Sent ? " > " : e.kind == Kind::Received ? " < " : " ! ";
        out += e.kind == Kind::Note ? e.bytes : e.bytes.toHex(' ');
        out += '\n';
    }
    return out;
}
