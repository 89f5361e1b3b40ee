#pragma once
// Reading the drive's whole parameter set into the program and writing the
// program's set to the drive (with a read-back), over the protocol module. A transfer
// tells the user nothing itself: it returns what happened, with the details the
// drive session words and shows.
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class DriveValueColumn;
class LangModule;
class ParamModule;
class ProtocolModule;

// What a transfer needs from the drive session that runs it.
class TransferHost {
public:
    virtual ~TransferHost() = default;
    // The connection dialog's port number, 0 when none is selected.
    virtual int selectedPort() const = 0;
    virtual bool versionGt826() const = 0;
    // Every command that touches the link or the parameter set (menu entries,
    // toolbar buttons, tabs, file and language commands) is switched off for the
    // whole of a transfer: the transfer lets the event loop run, and a second
    // transfer, a file load or a port change started then would interleave with it
    // on the wire or change values under it.
    virtual void setTransferCommandsEnabled(bool on) = 0;
};

// The progress dialog.
class TransferProgress {
public:
    virtual ~TransferProgress() = default;
    // Shows the dialog without blocking, with `label` and the bar at 0.
    virtual void showProgress(const QString& label) = 0;
    virtual void setProgress(int percent) = 0;
    virtual void hideProgress() = 0;
};

// A value of a block without checksum that lies outside its catalogue limits.
struct DoubtfulValue {
    int index = 0;
    QString name;
    float value = 0.0f;
    float minValue = 0.0f;
    float maxValue = 0.0f;
};

// Rows counted as the user sees them: those with a row in the grid, and the
// placeholders the grid does not show.
struct RowCount {
    int shown = 0;
    int hidden = 0;
    int total() const { return shown + hidden; }
};

class ParamTransfer {
public:
    enum class Result {
        Done,
        NoPort,          // no port selected
        NoAnswer,        // the drive did not answer in time
        BadChecksum,     // the block checksum did not match
        LineLost,        // the line went down; the connection dialog reports it
        Refused,         // a value cannot be written as a word; nothing was sent
        NotTaken,        // the read-back after a write differs from what was sent
        Busy,            // another transfer is running
        Doubtful,        // a block without checksum held values outside their limits;
                         // nothing was changed (see doubtful values, takeDoubtfulRead)
        FirmwareChanged, // the read-back carries another firmware word than was sent;
                         // nothing was stored
    };

    // What the last transfer did, beyond its result.
    struct Outcome {
        Result result = Result::Done;
        // The drive's set was stored in the program (a read, or a write's read-back).
        bool stored = false;
        // Every value stored was taken: the program holds the drive's set.
        bool identical = false;
        // NotTaken: the rows whose read-back differs from what was sent.
        RowCount notTaken;
        // Refused: the parameter ("#80" for a placeholder) and its value.
        QString refusedName;
        float refusedValue = 0.0f;
        // Doubtful: the values outside their limits; more than MaxDoubtfulValues of
        // them make a block refused outright.
        QList<DoubtfulValue> doubtful;
        // FirmwareChanged: the word sent and the word read back.
        int firmwareSent = 0;
        int firmwareRead = 0;
    };

    // Seconds the drive gets to leave monitor streaming before a block exchange.
    static constexpr double SettleSeconds = 1.0;
    static constexpr double ShortWaitSeconds = 0.3;
    static constexpr float ReceiveTimeoutSeconds = 2.0f;
    // A block without checksum with more values outside their limits than this is
    // taken for a shifted or damaged one and never offered.
    static constexpr int MaxDoubtfulValues = 3;

    // `lang` names the progress dialog's steps.
    ParamTransfer(ProtocolModule& protocol, ParamModule& params, const LangModule& lang,
                  TransferHost& host, DriveValueColumn& column, TransferProgress& progress);

    Result ReadParameters();
    Result WriteParameters();
    // The drive's set into receivedWords() with the read's sequence, leaving the
    // program's values alone: what a write would replace.
    Result ReadDriveSet();
    // After a read that ended Doubtful with at most MaxDoubtfulValues values: stores
    // the block that was held back, as a read would (the setter refuses the values
    // outside their limits).
    Result takeDoubtfulRead();
    const Outcome& outcome() const { return m_outcome; }
    // Words in a block of the drive in use (62 or 126).
    int blockWords() const { return wordCount(); }
    // Waits 0.3 s from its call without letting the user interface run.
    void WaitShort();

    bool busy() const { return m_busy; }
    // Signed words of the last read (zeroed at the start of each).
    const std::array<std::int16_t, 128>& receivedWords() const { return m_receivedWords; }

    // The stored value of a received word: signed reading, then divided by the scale
    // for parameters with a grid row, unscaled for the others.
    static float valueOfWord(std::uint16_t word, float scale, bool hasGridRow);

    // Parameters of a received block whose values, converted as a read stores them,
    // lie outside their catalogue limits (only those the setter checks for firmware
    // `version`).
    QList<DoubtfulValue> valuesOutsideLimits(const std::array<std::uint16_t, 128>& raw, int count,
                                             float version) const;

    // The firmware version word. A write sends the drive's own, as last read.
    static constexpr int FirmwareIndex = 125;

private:
    int wordCount() const;
    Result finish(Result result);
    Result readSet(std::optional<std::uint16_t> expectedFirmware = std::nullopt);
    Result storeBlock(const std::array<std::uint16_t, 128>& raw);
    Result receiveBlock(std::array<std::uint16_t, 128>& raw);
    Result receiveFailed(bool badChecksum);
    // Busy or no port selected; nothing when a transfer may start.
    std::optional<Result> cannotStart();
    Result checkReadBack(const std::array<std::uint16_t, 128>& sent,
                         const std::array<float, 128>& intended);

    ProtocolModule& m_protocol;
    ParamModule& m_params;
    const LangModule& m_lang;
    TransferHost& m_host;
    DriveValueColumn& m_column;
    TransferProgress& m_progress;
    bool m_busy = false;
    std::array<std::int16_t, 128> m_receivedWords{};
    // The firmware word of the last long block received, sent back by every write.
    std::optional<std::uint16_t> m_firmwareWord;
    // A doubtful block the user may still take.
    std::optional<std::array<std::uint16_t, 128>> m_heldBlock;
    Outcome m_outcome;
};
