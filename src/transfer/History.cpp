#include "transfer/History.h"

#include "platform/NumberText.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QStandardPaths>
#include <algorithm>
#include <numeric>

namespace {

// A parameter file holds 128 short lines; anything much larger is something else.
constexpr qint64 MaxSetFileBytes = 64 * 1024;

QByteArray fingerprint(const QByteArray& text) {
    return QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex();
}

int digits(QStringView s, int from, int count) {
    int v = 0;
    for (int i = from; i < from + count; ++i) {
        const QChar c = s[i];
        if (!c.isDigit())
            return -1;
        v = v * 10 + c.digitValue();
    }
    return v;
}

// "20261206-142501-read-COM5.quv" or "…-COM5-2.quv"; false for any other name.
bool parseName(const QString& name, HistoryEntry& entry) {
    if (!name.endsWith(QStringLiteral(".quv")) || name.size() < 20 || name[8] != u'-' ||
        name[15] != u'-')
        return false;
    const QDate date(digits(name, 0, 4), digits(name, 4, 2), digits(name, 6, 2));
    const QTime time(digits(name, 9, 2), digits(name, 11, 2), digits(name, 13, 2));
    if (!date.isValid() || !time.isValid())
        return false;
    const QStringList rest = name.mid(16, name.size() - 20).split(u'-');
    if (rest.size() < 2 || rest[0].isEmpty() || !rest[1].startsWith(QStringLiteral("COM")))
        return false;
    entry.fileName = name;
    entry.time = QDateTime(date, time);
    entry.kind = rest[0];
    entry.port = rest[1];
    return true;
}

int lineDifferences(const QByteArray& a, const QByteArray& b) {
    const QList<QByteArray> la = a.split('\n');
    const QList<QByteArray> lb = b.split('\n');
    int count = 0;
    for (qsizetype i = 0; i < std::max(la.size(), lb.size()); ++i)
        if (i >= la.size() || i >= lb.size() || la[i] != lb[i])
            ++count;
    return count;
}

} // namespace

QList<ParamDifference> differences(const std::array<ParamDef, ParamModule::Count>& catalogue,
                                   const ParamSet& left, const ParamSet& right) {
    QList<ParamDifference> out;
    for (int k = 0; k < ParamModule::Count; ++k) {
        const ParamDef& def = catalogue[std::size_t(k)];
        if (def.isPlaceholder())
            continue;
        const QString a = NumberText::generalC(left[std::size_t(k)]);
        const QString b = NumberText::generalC(right[std::size_t(k)]);
        if (a != b)
            out.append({k, def.name.trimmed(), def.id, def.unit, a, b});
    }
    return out;
}

History::History(QString folder) : m_folder(std::move(folder)) {}

QString History::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/history");
}

QHash<QString, History::Recorded> History::readIndex() const {
    QHash<QString, Recorded> index;
    QFile file(QDir(m_folder).filePath(IndexName));
    if (!file.open(QIODevice::ReadOnly))
        return index;
    const QList<QByteArray> lines = file.readAll().split('\n');
    int sequence = 0;
    for (const QByteArray& line : lines) {
        const QList<QByteArray> f = line.split('\t');
        if (f.size() != 5)
            continue; // a line cut by a crash or an edit records nothing
        Recorded r;
        r.firmware = QString::fromLatin1(f[1]);
        bool ok = false;
        r.differences = f[2].toInt(&ok);
        if (!ok)
            r.differences = -1;
        r.size = f[3].toLongLong(&ok);
        if (!ok)
            continue;
        r.hash = f[4].trimmed();
        r.sequence = ++sequence;
        index.insert(QString::fromLatin1(f[0]), r);
    }
    return index;
}

QString History::lastArchived() const {
    QFile file(QDir(m_folder).filePath(IndexName));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return lastRecorded(file);
}

QString History::lastRecorded(QIODevice& index) {
    // Only the tail: the index grows by a line per set and is read at every archive.
    const qint64 size = index.size();
    if (size > IndexTail)
        index.seek(size - IndexTail);
    QList<QByteArray> lines = index.read(IndexTail).split('\n');
    if (size > IndexTail)
        lines.removeFirst(); // probably cut by the seek
    while (!lines.isEmpty()) {
        const QList<QByteArray> f = lines.takeLast().split('\t');
        if (f.size() == 5)
            return QString::fromLatin1(f[0]);
    }
    return {};
}

QString History::archive(const QString& kind, int port, const QString& firmware,
                         const QByteArray& text, const QDateTime& when, QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QString();
    };
    QDir dir(m_folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return fail(QStringLiteral("%1: the folder cannot be created")
                        .arg(QDir::toNativeSeparators(m_folder)));

    // Written in full under a temporary name first: a set cut short by a full disk
    // must never appear under an archive's name.
    const QString stem = when.toString(QStringLiteral("yyyyMMdd-HHmmss")) + u'-' + kind +
                         QStringLiteral("-COM") + QString::number(port);
    const QString temporary = dir.filePath(u'.' + stem + QStringLiteral(".part"));
    {
        QFile file(temporary);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(temporary),
                                                     file.errorString()));
        if (file.write(text) != text.size() || !file.flush()) {
            const QString why = file.errorString();
            file.close();
            file.remove();
            return fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(temporary), why));
        }
    }
    // rename() never replaces an existing file, so a name taken in the meantime (two
    // sets in one second, a second program) moves on to the next suffix.
    QString name;
    for (int n = 1; n < 1000; ++n) {
        const QString candidate =
            stem + (n == 1 ? QString() : u'-' + QString::number(n)) + QStringLiteral(".quv");
        if (QFile::rename(temporary, dir.filePath(candidate))) {
            name = candidate;
            break;
        }
        if (!QFileInfo::exists(dir.filePath(candidate)))
            break; // the rename failed for another reason
    }
    if (name.isEmpty()) {
        QFile::remove(temporary);
        return fail(QStringLiteral("%1: the file cannot be named")
                        .arg(QDir::toNativeSeparators(dir.filePath(stem))));
    }

    int changed = -1;
    const QString previous = lastArchived();
    if (!previous.isEmpty()) {
        QFile before(dir.filePath(previous));
        if (before.size() <= MaxSetFileBytes && before.open(QIODevice::ReadOnly))
            changed = lineDifferences(before.readAll(), text);
    }
    QFile index(dir.filePath(IndexName));
    const QByteArray line = name.toLatin1() + '\t' + firmware.toLatin1() + '\t' +
                            QByteArray::number(changed) + '\t' + QByteArray::number(text.size()) +
                            '\t' + fingerprint(text) + '\n';
    if (!index.open(QIODevice::Append | QIODevice::Unbuffered) ||
        index.write(line) != line.size()) {
        // An archive the index does not know could not be told from an edited one.
        const QString why = index.errorString();
        QFile::remove(dir.filePath(name));
        return fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(index.fileName()), why));
    }
    return name;
}

QList<HistoryEntry> History::list() const {
    const QHash<QString, Recorded> index = readIndex();
    const QFileInfoList files = QDir(m_folder).entryInfoList(
        {QStringLiteral("*.quv")}, QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    QList<HistoryEntry> entries;
    QList<int> sequence;
    entries.reserve(files.size());
    for (const QFileInfo& info : files) {
        HistoryEntry entry;
        if (!parseName(info.fileName(), entry))
            continue; // a file put there by hand is no archive
        const auto it = index.constFind(entry.fileName);
        if (it == index.constEnd()) {
            entry.damaged = true;
            sequence.append(0);
        } else {
            entry.firmware = it->firmware;
            entry.differences = it->differences;
            entry.damaged = info.size() != it->size;
            sequence.append(it->sequence);
        }
        entries.append(entry);
    }
    QList<int> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const HistoryEntry& x = entries[a];
        const HistoryEntry& y = entries[b];
        if (x.time != y.time)
            return x.time > y.time;
        if (sequence[a] != sequence[b])
            return sequence[a] > sequence[b];
        return x.fileName > y.fileName;
    });
    QList<HistoryEntry> sorted;
    sorted.reserve(entries.size());
    for (const int i : order)
        sorted.append(entries[i]);
    return sorted;
}

std::optional<ParamSet> History::load(const QString& fileName) const {
    const auto index = readIndex();
    const auto it = index.constFind(fileName);
    if (it == index.constEnd())
        return std::nullopt;
    QFile file(QDir(m_folder).filePath(fileName));
    if (file.size() != it->size || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.readAll();
    if (fingerprint(text) != it->hash)
        return std::nullopt;
    return parseSet(text);
}

std::optional<ParamSet> History::readSetFile(const QString& path) {
    QFile file(path);
    if (QFileInfo(path).isDir() || file.size() > MaxSetFileBytes || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseSet(file.readAll());
}

std::optional<ParamSet> History::parseSet(const QByteArray& text) {
    QList<QByteArray> lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() != ParamModule::Count)
        return std::nullopt;
    ParamSet set{};
    const QLocale c = QLocale::c();
    for (int k = 0; k < ParamModule::Count; ++k) {
        QByteArray line = lines[k];
        if (line.endsWith('\r'))
            line.chop(1);
        bool ok = false;
        const double v = c.toDouble(QString::fromLatin1(line.trimmed()), &ok);
        if (!ok || line.trimmed().isEmpty())
            return std::nullopt;
        set[std::size_t(k)] = float(v);
    }
    return set;
}
