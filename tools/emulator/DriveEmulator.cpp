#include "emulator/DriveEmulator.h"

#include "params/ParamModule.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kBlockStall = 1.5;

QString hexBytes(const QByteArray& bytes, int max = 16) {
    QString text = QString::fromLatin1(bytes.left(max).toHex(' '));
    if (bytes.size() > max)
        text += QStringLiteral(" ...");
    return text;
}

} // namespace

DriveEmulator::DriveEmulator() {
    loadDefaults({});
}

void DriveEmulator::setFrameRate(double framesPerSecond) {
    if (!(framesPerSecond >= 1.0))
        framesPerSecond = 1.0;
    m_frameInterval = 1.0 / std::min(framesPerSecond, LineFrameRate);
}

void DriveEmulator::setFirmware(int version) {
    m_firmware = version;
    m_words[125] = std::uint16_t(version);
}

bool DriveEmulator::fitsWord(double value, double scale) {
    const double product = double(float(value) * float(scale));
    const double r = std::nearbyint(product); // default rounding mode: half to even
    return r >= -32768.0 && r <= 65535.0;
}

std::uint16_t DriveEmulator::rawOf(double value, double scale) {
    const double product = double(float(value) * float(scale));
    // Clamped in double: converting an out-of-range value to an integer is undefined.
    const double r = std::clamp(std::nearbyint(product), -32768.0, 65535.0);
    if (std::isnan(r))
        return 0;
    const int w = int(r);
    return std::uint16_t(w < 0 ? w + 65536 : w);
}

QHash<int, double> DriveEmulator::readScales(const QString& path) {
    QHash<int, double> scales;
    if (path.isEmpty())
        return scales;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return scales;
    while (!file.atEnd()) {
        QByteArray line = file.readLine(64 * 1024);
        const int comment = line.indexOf(';');
        if (comment >= 0)
            line.truncate(comment);
        const QList<QByteArray> parts = line.trimmed().split(':');
        if (parts.size() < 10)
            continue;
        bool okIndex = false;
        bool okScale = false;
        const int index = parts[1].trimmed().toInt(&okIndex);
        const double scale = parts[8].trimmed().toDouble(&okScale);
        if (okIndex && index >= 0 && index < Words)
            scales.insert(index, okScale ? scale : 0.0);
    }
    return scales;
}

bool DriveEmulator::parseCount(const QString& text, int min, int max, int* value) {
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || v < min || v > max)
        return false;
    *value = int(v);
    return true;
}

bool DriveEmulator::setFault(const QString& name, const QString& count, QString* error) {
    static const QStringList flags = {QStringLiteral("no-answer"), QStringLiteral("bad-checksum"),
                                      QStringLiteral("frame-garbage")};
    static const QStringList counted = {QStringLiteral("drop-byte"), QStringLiteral("extra-byte"),
                                        QStringLiteral("garbage"), QStringLiteral("hangup-read"),
                                        QStringLiteral("hangup-write")};
    if (flags.contains(name)) {
        if (name == flags[0])
            m_faults.noAnswer = true;
        else if (name == flags[1])
            m_faults.badChecksum = true;
        else
            m_faults.frameGarbage = true;
        return true;
    }
    if (!counted.contains(name)) {
        *error = QStringLiteral("unknown fault %1").arg(name);
        return false;
    }
    int k = 0;
    if (!parseCount(count, 0, MaxFaultCount, &k)) {
        *error = QStringLiteral("fault %1 takes a count from 0 to %2, not \"%3\"")
                     .arg(name)
                     .arg(MaxFaultCount)
                     .arg(count);
        return false;
    }
    int* const targets[] = {&m_faults.dropByte, &m_faults.extraByte, &m_faults.garbageBefore,
                            &m_faults.hangupReadAfter, &m_faults.hangupWriteAfter};
    *targets[counted.indexOf(name)] = k;
    return true;
}

void DriveEmulator::loadDefaults(const QHash<int, double>& scales) {
    m_words.fill(0);
    // The same factory set the program applies at start-up.
    for (const ParamModule::Default& entry : ParamModule::factoryDefaults())
        m_words[std::size_t(entry.index)] = rawOf(entry.value, scales.value(entry.index, 1.0));
    m_words[125] = std::uint16_t(m_firmware);
}

bool DriveEmulator::loadQuv(const QString& path, const QHash<int, double>& scales, QString* error) {
    // Checked whole before anything is stored: a drive started from a damaged file
    // would hand the program values nobody wrote.
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("not a parameter file (no regular file)");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    std::array<std::uint16_t, Words> words = m_words;
    for (int k = 0; k < Words; ++k) {
        if (file.atEnd()) {
            *error = QStringLiteral("%1 lines, a parameter file has %2").arg(k).arg(Words);
            return false;
        }
        const QByteArray raw = file.readLine(1024);
        const QByteArray line = raw.trimmed();
        bool ok = !raw.contains('\0') && (raw.endsWith('\n') || file.atEnd());
        const double value = ok ? line.toDouble(&ok) : 0.0;
        const double scale = scales.value(k, 1.0);
        // The firmware word is the drive's own; the file's value there is not used.
        if (!ok || !std::isfinite(value) || (k != 125 && !fitsWord(value, scale))) {
            QByteArray shown = line.left(40);
            for (char& c : shown)
                if (c < 32 || c > 126)
                    c = '?';
            *error = QStringLiteral("line %1: \"%2\" is no value that fits a word at scale %3")
                         .arg(k + 1)
                         .arg(QString::fromLatin1(shown))
                         .arg(scale);
            return false;
        }
        words[std::size_t(k)] = k == 125 ? std::uint16_t(m_firmware) : rawOf(value, scale);
    }
    m_words = words;
    return true;
}

std::uint8_t DriveEmulator::frameSum(const std::uint8_t data[6]) {
    int sum = 0;
    for (int i = 0; i < 6; ++i)
        sum = (sum + data[i]) % 256;
    return std::uint8_t(sum == 255 ? 254 : sum);
}

std::uint16_t DriveEmulator::blockSum(const std::uint16_t* words, int count,
                                      std::uint16_t trailer) {
    std::uint32_t sum = 33;
    for (int k = 0; k < count; ++k)
        sum += words[k];
    sum += trailer;
    return std::uint16_t(sum % 65536);
}

namespace {

// A monitor word from a signed value. Small downward speeds would need a 255 low byte
// or high byte, which the frame cannot carry; the program shows magnitudes anyway.
std::uint16_t frameWord(long value) {
    std::uint16_t w = std::uint16_t(value < 0 ? value + 65536 : value);
    if ((w & 0xFF) == 0xFF)
        w = std::uint16_t(w - 1);
    return w;
}

void wordsFor(double v, double a, double amps, bool down, std::uint16_t* speed,
              std::uint16_t* accel, std::uint16_t* current) {
    long speedMm = std::lrint(std::fabs(v) * 1000.0);
    if (down && speedMm > 258)
        speedMm = -speedMm;
    *speed = frameWord(speedMm);
    *accel = frameWord(std::lrint(std::fabs(a) * 1000.0));
    *current = frameWord(std::lrint(amps * 10.0));
}

} // namespace

void DriveEmulator::frameWordsAt(double t, std::uint16_t* speed, std::uint16_t* accel,
                                 std::uint16_t* current) const {
    if (m_travel.isEmpty()) {
        carAt(t, speed, accel, current);
        return;
    }
    // The travel, then 3 s standing at the floor; every other trip goes down.
    const double travel = m_travel.size() * CarTravel::SampleEvery;
    const double period = travel + 3.0;
    const double phase = std::fmod(t, period);
    const bool down = int(std::floor(t / period)) % 2 == 1;
    if (phase >= travel) {
        wordsFor(0.0, 0.0, 0.0, down, speed, accel, current);
        return;
    }
    const CarSample& s = m_travel[qsizetype(phase / CarTravel::SampleEvery)];
    wordsFor(s.v, s.a, down ? s.downAmps : s.upAmps, down, speed, accel, current);
}

void DriveEmulator::carAt(double t, std::uint16_t* speed, std::uint16_t* accel,
                          std::uint16_t* current) {
    // One trip every 12 s, alternately up and down: 2 s at 0.5 m/s² to 1 m/s, 4 s at
    // speed, 2 s slowing down, 4 s standing at the floor.
    const double period = 12.0;
    const double phase = std::fmod(t, period);
    const int trip = int(std::floor(t / period));
    double v = 0.0;
    double a = 0.0;
    if (phase < 2.0) {
        a = 0.5;
        v = 0.5 * phase;
    } else if (phase < 6.0) {
        v = 1.0;
    } else if (phase < 8.0) {
        a = -0.5;
        v = 1.0 - 0.5 * (phase - 6.0);
    }
    wordsFor(v, a, v > 0.0 ? 12.0 + 4.0 * a + 3.0 * v : 0.0, trip % 2 == 1, speed, accel, current);
}

void DriveEmulator::send(const QByteArray& bytes) {
    if (!m_output.isEmpty() && !m_output.last().hangup)
        m_output.last().bytes.append(bytes);
    else
        m_output.append({bytes, false});
}

void DriveEmulator::receive(const QByteArray& bytes, double now) {
    for (char c : bytes) {
        const auto byte = std::uint8_t(c);
        if (m_inBlock) {
            m_block.append(c);
            m_lastBlockByte = now;
            if (m_faults.hangupWriteAfter >= 0 && m_block.size() >= m_faults.hangupWriteAfter) {
                m_log << QStringLiteral("U: line closed after %1 block bytes").arg(m_block.size());
                m_inBlock = false;
                m_output.append({QByteArray(), true});
                return;
            }
            if (m_block.size() == 2 * blockWords() + 4)
                finishBlock();
            continue;
        }
        switch (byte) {
        case 'M':
            if (!m_monitor)
                m_log << QStringLiteral("M: monitor on");
            m_monitor = true;
            m_monitorStart = now;
            m_nextFrame = now;
            break;
        case 'A':
            if (m_monitor)
                m_log << QStringLiteral("A: monitor off");
            m_monitor = false;
            break;
        case 'D':
            m_log << QStringLiteral("D: read request");
            answerRead();
            break;
        case 'U':
            m_log << QStringLiteral("U: write request");
            m_inBlock = true;
            m_block.clear();
            m_lastBlockByte = now;
            break;
        default:
            m_log << QStringLiteral("ignored byte 0x%1").arg(byte, 2, 16, QLatin1Char('0'));
            break;
        }
    }
}

void DriveEmulator::finishBlock() {
    m_inBlock = false;
    const int n = blockWords();
    std::array<std::uint16_t, Words> incoming{};
    auto wordAt = [this](int k) {
        return std::uint16_t((std::uint8_t(m_block[2 * k]) << 8) |
                             std::uint8_t(m_block[2 * k + 1]));
    };
    for (int k = 0; k < n; ++k)
        incoming[std::size_t(k)] = wordAt(k);
    const std::uint16_t trailer = wordAt(n);
    const std::uint16_t checksum = wordAt(n + 1);
    const std::uint16_t expected = blockSum(incoming.data(), n, trailer);
    if (trailer != 1 || checksum != expected) {
        m_log << QStringLiteral("U: block rejected (trailer %1, checksum %2, expected %3)")
                     .arg(trailer)
                     .arg(checksum)
                     .arg(expected);
        return;
    }
    for (int k = 0; k < n; ++k) {
        // The firmware version is the drive's own and cannot be written (unless
        // this drive stores whatever it is sent).
        if (k != 125 || m_storesFirmwareWord)
            m_words[std::size_t(k)] = incoming[std::size_t(k)];
    }
    m_log << QStringLiteral("U: block stored (%1 words)").arg(n);
}

void DriveEmulator::answerRead() {
    if (m_faults.noAnswer) {
        m_log << QStringLiteral("D: not answered (fault)");
        return;
    }
    const int n = blockWords();
    QByteArray answer;
    for (int k = 0; k < n; ++k) {
        answer.append(char(m_words[std::size_t(k)] >> 8));
        answer.append(char(m_words[std::size_t(k)] & 0xFF));
    }
    if (newFirmware()) {
        std::uint16_t sum = blockSum(m_words.data(), n, 1);
        if (m_faults.badChecksum)
            sum = std::uint16_t(sum + 1);
        answer.append(char(0x00));
        answer.append(char(0x01));
        answer.append(char(sum >> 8));
        answer.append(char(sum & 0xFF));
    }
    // The leading byte's meaning is the drive's own; this one sends an "OK" mark.
    answer.prepend(char(0x06));
    if (m_faults.dropByte >= 0 && m_faults.dropByte < answer.size() - 1)
        answer.remove(m_faults.dropByte + 1, 1);
    if (m_faults.extraByte >= 0 && m_faults.extraByte < answer.size())
        answer.insert(m_faults.extraByte + 1, char(0x5A));
    QByteArray noise;
    for (int i = 0; i < m_faults.garbageBefore; ++i) {
        m_noise = m_noise * 1103515245u + 12345u;
        noise.append(char((m_noise >> 16) % 255));
    }
    answer.prepend(noise);
    if (m_faults.hangupReadAfter >= 0 && m_faults.hangupReadAfter < answer.size()) {
        send(answer.left(m_faults.hangupReadAfter));
        m_output.append({QByteArray(), true});
        m_log << QStringLiteral("D: line closed after %1 bytes").arg(m_faults.hangupReadAfter);
        return;
    }
    send(answer);
    m_log << QStringLiteral("D: answered %1 bytes: %2").arg(answer.size()).arg(hexBytes(answer));
}

void DriveEmulator::tick(double now) {
    if (m_inBlock && now - m_lastBlockByte > kBlockStall) {
        m_log << QStringLiteral("U: block abandoned after %1 bytes").arg(m_block.size());
        m_inBlock = false;
    }
    if (!m_monitor)
        return;
    // Frames are produced only for the time that passed; a stalled caller does not
    // get a flood afterwards.
    if (now - m_nextFrame > 1.0)
        m_nextFrame = now;
    while (m_nextFrame <= now) {
        std::uint16_t w[3];
        frameWordsAt(m_nextFrame - m_monitorStart, &w[0], &w[1], &w[2]);
        const std::uint8_t data[6] = {std::uint8_t(w[0] >> 8), std::uint8_t(w[0]),
                                      std::uint8_t(w[1] >> 8), std::uint8_t(w[1]),
                                      std::uint8_t(w[2] >> 8), std::uint8_t(w[2])};
        QByteArray frame;
        frame.append(char(0xFF));
        frame.append(reinterpret_cast<const char*>(data), 6);
        frame.append(char(frameSum(data)));
        if (m_faults.frameGarbage)
            frame.append(QByteArray::fromHex("1234fe"));
        send(frame);
        ++m_framesMade;
        m_nextFrame += m_frameInterval;
    }
}
