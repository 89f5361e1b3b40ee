#pragma once
// The active language pack: the texts that every caption and message is looked up
// in, the search for packs beside the program and the loading of one pack.
#include "lang/TextId.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

class LangModule {
public:
    // The first release's packs hold texts 0..127; texts added since take 128 and up
    // (a pack that lacks one shows its English stand-in).
    static constexpr int TextCount = 256;
    static constexpr int MenuEntries = 5;
    static inline const QString Header = QStringLiteral("---QUVERA LNGPCK---");

    struct Pack {
        QString fileName; // without folder
        QString language; // caption of its menu entry; empty when the file is no pack
    };

    // What loading one pack found. The caller tells the user.
    struct PackLoad {
        QString language; // empty when the file is no pack (then nothing changed)
        QString fileName;
        int firstBadLine = 0; // 1-based; 0 when every entry line was good
        bool isPack() const { return !language.isEmpty(); }
        // The warning about the skipped lines, in the pack's language.
        QString problem(const LangModule& lang) const;
    };

    // `folder` holds the packs.
    explicit LangModule(QString folder);

    // Text `id` of the active pack, or its fixed stand-in when the pack lacks it.
    QString LangText(TextId id) const;
    // The same by number, for the text indexes that widgets carry in their tag;
    // empty for an index outside 0..TextCount-1.
    QString LangText(int index) const;
    void setText(int index, const QString& text);
    // Whether a pack loaded so far gave text `index` (no stand-in counts).
    bool hasPackText(int index) const;

    // Lists the packs in the folder, loads each (captions for the menu) and keeps
    // the first five in sorted order in packs(). False when there is no pack at all
    // (the caller shows FixedTexts::noLanguagePack()).
    bool FindLanguagePacks();
    // Loads one pack by file name. Malformed entry lines are skipped.
    PackLoad LoadLanguagePack(const QString& fileName);

    const QList<Pack>& packs() const { return m_packs; }
    // Sorted file names of every pack candidate in the folder (all of them, not only five).
    QStringList packFiles() const;
    const QString& folder() const { return m_folder; }

private:
    QString m_folder;
    std::array<QString, TextCount> m_texts;
    QList<Pack> m_packs;
};
