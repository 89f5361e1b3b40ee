#pragma once
// The drive's 128 parameters: catalogue records from the definition file, the
// current values, and the one setter through which every change flows.
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

class LangModule;
class WarningSink;

struct ParamDef {
    QString name;
    QString id;
    QString unit;
    float minValue = 0.0f;
    float maxValue = 65535.0f;
    float spare = 0.0f;
    float scale = 1.0f;
    float minVersion = 0.0f;

    // Records without a name, or named "*DUMMY*", stand for no parameter.
    bool isPlaceholder() const;
};

// Told about every value the setter stores, after it is stored. The travel model's
// inputs and the main window (sliders, text boxes, grid row, simulation) listen.
class ParamListener {
public:
    virtual ~ParamListener() = default;
    virtual void parameterStored(int index, const ParamDef& def, float value) = 0;
};

class ParamModule {
public:
    static constexpr int Count = 128;
    static constexpr int NoMatch = 127;

    // OutOfRange: no 16-bit word holds the value at its scale, so it could never be
    // written; refused in every row, checked or not.
    enum Check : short {
        Accepted = 0,
        TooSmall = -1,
        TooLarge = 1,
        NotANumber = 2,
        OutOfRange = 3
    };

    // The setter's refusals go to `warnings` (the program shows them as message boxes).
    ParamModule(LangModule& lang, WarningSink& warnings);

    std::array<ParamDef, Count> ParamCatalogue;
    short ParamCount = 0;
    // The current values in display units: read by everyone, changed only through
    // SetParameter (a read, a file, the defaults and every control go through it).
    const std::array<float, Count>& ParamValues() const { return m_values; }
    // The firmware version of the drive last read; before the first read every
    // parameter counts as present.
    float driveVersion() const { return m_driveVersion; }
    // A parameter read takes the version the drive reports before it stores the values,
    // which the setter then checks against that version's catalogue. Nothing else
    // changes the version.
    void takeDriveVersion(float version) { m_driveVersion = version; }
    // The parameter file last opened or saved completely (native separators).
    QString lastFile;

    // Title of the messages about the definition file (the main window's title).
    void setTitle(const QString& title) { m_title = title; }
    void addListener(ParamListener* listener);
    void removeListener(ParamListener* listener);
    // How FindGridRow finds the grid row of an index; without a grid every answer is 127.
    void setGridRowLookup(std::function<int(int)> lookup) { m_gridRowLookup = std::move(lookup); }

    // What reading the definition file found. The caller tells the user.
    struct DefinitionLoad {
        QString path;
        bool loaded = false;
        int firstBadLine = 0;  // 1-based; 0 when every record line was good
        int firstMissing = -1; // the first index no line defines; -1 when all are
        // True when the file was read and defines every index: only then was it taken.
        explicit operator bool() const { return loaded && firstMissing < 0; }
        // The message for the user (the file could not be read, leaves an index
        // undefined, or lines were skipped); empty when the file was read cleanly.
        QString problem(const LangModule& lang) const;
    };

    // Reads the definition file named by text 0 of the language pack, beside the
    // program (`folder`). A file that cannot be read or leaves an index undefined is
    // not taken: the catalogue stays as it was.
    DefinitionLoad LoadParamDefinitions(const QString& folder);
    // Whether a definition file defining every index was taken: without one, values
    // would go to the drive unscaled, so nothing may be read or written.
    bool catalogueComplete() const { return m_complete; }
    // The word `value` is sent as at `scale` (rounded half to even), or false when
    // no word of -32768..65535 holds it (or it is not a number).
    static bool wordOf(float value, float scale, std::uint16_t* word = nullptr);
    float GetParameter(int index) const;
    // Checks, stores and forwards `value`; a refused value shows the warning and
    // leaves the stored value as it was. Returns the check's result.
    Check SetParameter(int index, float value);
    Check ValidateParamText(int index, const QString& text) const;
    int FindParamById(const QString& id) const;
    int FindGridRow(int index) const;
    void LoadDefaultParameters();
    // The values are kept somewhere (a file saved or opened, the factory set): edits
    // from here on are what an unasked replace would lose.
    void markKept() { m_kept = m_values; }
    bool changedSinceKept() const { return m_values != m_kept; }

    struct Default {
        int index;
        float value;
    };
    // The factory set in the order LoadDefaultParameters applies it; the indexes
    // without a default (46, 62, 63, 64) are absent.
    static QList<Default> factoryDefaults();

    // Current value of the parameter with identifier `id`, or `fallback` when no
    // record carries it.
    float valueById(const QString& id, float fallback = 0.0f) const;
    // Sets the parameter with identifier `id` through SetParameter; false when no
    // record carries it.
    bool setById(const QString& id, float value);

private:
    Check setParameter(int index, float value, bool retry);
    // Index of the first record with identifier `id`, -1 when none (127 is a real index).
    int indexOfId(const QString& id) const;
    static bool validIndex(int index) { return index >= 0 && index < Count; }

    LangModule& m_lang;
    WarningSink& m_warnings;
    QString m_title;
    QList<ParamListener*> m_listeners;
    std::function<int(int)> m_gridRowLookup;
    bool m_complete = false;
    std::array<float, Count> m_values{};
    float m_driveVersion = 100000.0f;
    std::array<float, Count> m_kept{};
};
