#pragma once
// The active language pack: 128 texts that every caption and message is looked up
// in, the search for packs beside the program and the loading of one pack.
#include "lang/TextId.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

class Prompts;

class LangModule {
public:
    static constexpr int TextCount = 128;
    static constexpr int MenuEntries = 5;
    static inline const QString Header = QStringLiteral("---QUVERA LNGPCK---");

    struct Pack {
        QString fileName; // without folder
        QString language; // caption of its menu entry; empty when the file is no pack
    };

    // `folder` holds the packs; `prompts` shows the problems found while loading.
    LangModule(QString folder, Prompts& prompts);

    // Text `index` of the active pack; empty for an index outside 0..127.
    QString LangText(int index) const;
    QString LangText(TextId id) const { return LangText(int(id)); }
    // LangText(index), or `fallback` when the packs loaded so far give no text.
    QString text(int index, const QString& fallback) const;
    void setText(int index, const QString& text);

    // Lists the packs in the folder, loads each (captions for the menu) and keeps
    // the first five in sorted order in packs(). With no pack at all, shows the
    // two-language message titled `title` and returns false.
    bool FindLanguagePacks(const QString& title);
    // Loads one pack by file name; returns its language name, or an empty text when
    // the file is no pack (then nothing changes). Malformed entry lines are skipped
    // and reported once per file, titled `title`.
    QString LoadLanguagePack(const QString& fileName, const QString& title = QString());

    const QList<Pack>& packs() const { return m_packs; }
    // Sorted file names of every pack candidate in the folder (all of them, not only five).
    QStringList packFiles() const;
    const QString& folder() const { return m_folder; }

    // Fixed text shown when no pack exists (no pack can translate it).
    static QString noPackMessage();

private:
    QString m_folder;
    Prompts& m_prompts;
    std::array<QString, TextCount> m_texts;
    QList<Pack> m_packs;
};
