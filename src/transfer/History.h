#pragma once
// The archive of every parameter set read from or written to a drive: one parameter
// file per set in a per-user folder, never overwritten, with an index beside them
// that records the firmware, the number of changes from the set before and a
// fingerprint that tells a complete archive from an edited or cut one.
#include "params/ParamModule.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QIODevice>
#include <QList>
#include <QString>
#include <array>
#include <optional>

using ParamSet = std::array<float, ParamModule::Count>;

// One parameter whose value differs between two sets.
struct ParamDifference {
    int index = 0;
    QString name;
    QString id;
    QString unit;
    QString left;  // the drive's value, or the program column's
    QString right; // the value to be written, or the file's
};

// The named parameters whose values differ in their file text ("." decimal point,
// general form). Placeholder records are no parameters and never differ.
QList<ParamDifference> differences(const std::array<ParamDef, ParamModule::Count>& catalogue,
                                   const ParamSet& left, const ParamSet& right);

struct HistoryEntry {
    QString fileName;
    QDateTime time;
    QString kind; // "read", "backup" (read before a write) or "write"
    QString port; // "COM5"
    QString firmware;
    int differences = -1; // lines changed from the entry before; -1 when unknown
    // The file no longer matches what was archived (edited, cut short, not recorded).
    bool damaged = false;
};

class History {
public:
    static inline const QString IndexName = QStringLiteral("index.txt");

    explicit History(QString folder);
    // AppDataLocation + "/history".
    static QString defaultFolder();
    QString folder() const { return m_folder; }
    void setFolder(const QString& folder) { m_folder = folder; }

    // Archives one set as a parameter file named "yyyyMMdd-HHmmss-<kind>-COM<port>.quv"
    // (with "-2", "-3" … when that name is taken). Returns the file name, or an empty
    // string and the reason in `error`. A set is written under a temporary name and
    // renamed only when complete, so the folder never holds part of a set.
    QString archive(const QString& kind, int port, const QString& firmware, const QByteArray& text,
                    const QDateTime& when, QString* error = nullptr);

    // Newest first. Built from the file names and the index alone; only the sizes of
    // the files are looked at.
    QList<HistoryEntry> list() const;

    // The values of archived file `fileName`, or nothing when the file is not a
    // complete, unaltered archive.
    std::optional<ParamSet> load(const QString& fileName) const;

    // The values of any parameter file: exactly 128 numbers, one a line; nothing when
    // the file holds anything else.
    static std::optional<ParamSet> readSetFile(const QString& path);
    static std::optional<ParamSet> parseSet(const QByteArray& text);

    // The file name of the last complete record of an open index, read from its
    // last IndexTail bytes only; empty when there is none.
    static constexpr qint64 IndexTail = 4096;
    static QString lastRecorded(QIODevice& index);

private:
    struct Recorded {
        QString firmware;
        int differences = -1;
        qint64 size = -1;
        QByteArray hash;
        int sequence = 0;
    };
    QHash<QString, Recorded> readIndex() const;
    QString lastArchived() const;

    QString m_folder;
};
