#pragma once
// Reading the drive's whole parameter set into the program and writing the
// program's set to the drive (with a read-back), over the protocol module.
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class DriveValueColumn;
class LangModule;
class ParamModule;
class Prompts;
class ProtocolModule;

// What a transfer needs from the drive session that runs it.
class TransferHost {
public:
    virtual ~TransferHost() = default;
    // The connection dialog's port number, 0 when none is selected.
    virtual int selectedPort() const = 0;
    virtual bool versionGt826() const = 0;
    virtual QString mainTitle() const = 0;
    virtual void setReadyToSimulate(bool on) = 0;
    virtual void setFlashParamsIdentical(bool on) = 0;
    virtual void simulate() = 0;
    virtual bool monitorPageInFront() const = 0;
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

class ParamTransfer {
public:
    enum class Result {
        Done,
        NoPort,      // no port selected; message 106
        NoAnswer,    // the drive did not answer in time; message 113
        BadChecksum, // the block checksum did not match; "Bad Checksum"
        LineLost,    // the line went down; the connection dialog reports it
        Refused,     // a value cannot be written as a word; nothing was sent
        NotTaken,    // the read-back after a write differs from what was sent
        Busy,        // another transfer is running
        Doubtful,    // a block without checksum held values outside their limits;
                     // nothing was changed, message DoubtfulRead
    };

    // Seconds the drive gets to leave monitor streaming before a block exchange.
    static constexpr double SettleSeconds = 1.0;
    static constexpr double ShortWaitSeconds = 0.3;
    static constexpr float ReceiveTimeoutSeconds = 2.0f;

    ParamTransfer(ProtocolModule& protocol, ParamModule& params, LangModule& lang, Prompts& prompts,
                  TransferHost& host, DriveValueColumn& column, TransferProgress& progress);

    Result ReadParameters();
    Result WriteParameters();
    // The drive's set into receivedWords() with the read's sequence and messages,
    // leaving the program's values alone: what a write would replace.
    Result ReadDriveSet();
    // Words in a block of the drive in use (62 or 126).
    int blockWords() const { return wordCount(); }
    // Waits 0.3 s from its call without letting the user interface run.
    void WaitShort();

    bool busy() const { return m_busy; }
    // Signed words of the last read (zeroed at the start of each).
    const std::array<std::int16_t, 128>& receivedWords() const { return m_receivedWords; }

    // The word a stored value is sent as, or false when v * scale rounded half to
    // even does not fit in -32768..65535 (or is not a number).
    static bool rawWord(float value, float scale, std::uint16_t* word);
    // The stored value of a received word: signed reading, then divided by the scale
    // for parameters with a grid row, unscaled for the others.
    static float valueOfWord(std::uint16_t word, float scale, bool hasGridRow);

    // Parameters of a received block whose values, converted as a read stores them,
    // lie outside their catalogue limits (only those the setter checks for firmware
    // `version`); the first one's name and value in `first`.
    int valuesOutsideLimits(const std::array<std::uint16_t, 128>& raw, int count, float version,
                            QString* first) const;

    // The firmware version word: the drive keeps its own, whatever a write sends.
    static constexpr int FirmwareIndex = 125;

private:
    int wordCount() const;
    Result readSet();
    Result receiveBlock(std::array<std::uint16_t, 128>& raw);
    Result receiveFailed(bool badChecksum);
    // Busy, or no port selected (told to the user); nothing when a transfer may start.
    std::optional<Result> cannotStart();
    Result checkReadBack(const std::array<std::uint16_t, 128>& sent,
                         const std::array<float, 128>& intended);
    void message(const QString& text);

    ProtocolModule& m_protocol;
    ParamModule& m_params;
    LangModule& m_lang;
    Prompts& m_prompts;
    TransferHost& m_host;
    DriveValueColumn& m_column;
    TransferProgress& m_progress;
    bool m_busy = false;
    std::array<std::int16_t, 128> m_receivedWords{};
};
