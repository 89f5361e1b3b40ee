#include "ride/Recording.h"

#include <QFile>
#include <QFileInfo>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr qsizetype Chunk = qsizetype(1) << 20;
constexpr int Fields = 4; // time, speed, acceleration, current

// One number as the export writes it in any locale: an optional sign, digits with a
// decimal point or comma, an optional exponent. NaN and infinity are refused, and so is
// anything after the number.
bool number(const char* from, const char* to, double* out) {
    while (from < to && (*from == ' ' || *from == '\t'))
        ++from;
    while (to > from && (to[-1] == ' ' || to[-1] == '\t'))
        --to;
    if (from < to && *from == '+')
        ++from;
    const qsizetype length = to - from;
    if (length <= 0 || length > 64)
        return false;
    char text[64];
    for (qsizetype k = 0; k < length; ++k) {
        const char c = from[k];
        if (!((c >= '0' && c <= '9') || c == '.' || c == ',' || c == '-' || c == '+' || c == 'e' ||
              c == 'E'))
            return false;
        text[k] = c == ',' ? '.' : c;
    }
    const auto [end, error] = std::from_chars(text, text + length, *out);
    return error == std::errc() && end == text + length && std::isfinite(*out);
}

// A sample's line: four numbers separated by ";", a trailing ";" allowed.
bool sample(const char* from, const char* to, RideSample* out) {
    double values[Fields];
    int field = 0;
    while (true) {
        const char* cut = static_cast<const char*>(std::memchr(from, ';', std::size_t(to - from)));
        const char* end = cut ? cut : to;
        if (field == Fields) {
            // Only blanks may follow the last field.
            for (const char* c = from; c < to; ++c)
                if (*c != ' ' && *c != '\t' && *c != ';')
                    return false;
            break;
        }
        if (!number(from, end, &values[field++]))
            return false;
        if (!cut)
            break;
        from = cut + 1;
    }
    if (field != Fields)
        return false;
    *out = {values[0], values[1], values[2], values[3]};
    return true;
}

// The title line: text without control characters whose first field is no number.
bool title(const char* from, const char* to) {
    for (const char* c = from; c < to; ++c)
        if (static_cast<unsigned char>(*c) < 0x20 && *c != '\t')
            return false;
    const char* cut = static_cast<const char*>(std::memchr(from, ';', std::size_t(to - from)));
    double ignored = 0.0;
    return cut && !number(from, cut, &ignored);
}

// Splits the text into lines as it comes, chunk by chunk, and reads each.
class Reader {
public:
    explicit Reader(RecordingFile::Result& result) : m_result(result) {}

    // False once a line was refused.
    bool take(const char* data, qsizetype size) {
        // Room for the samples a file of this size likely holds, but no more than a
        // few megabytes before they are seen: the file may hold none.
        if (m_result.samples.capacity() == 0)
            m_result.samples.reserve(std::min<qint64>(m_expected / 24, 1 << 18));
        const char* end = data + size;
        while (data < end) {
            const char* newline =
                static_cast<const char*>(std::memchr(data, '\n', std::size_t(end - data)));
            if (!newline) {
                if (m_carry.size() + (end - data) > RecordingFile::MaxLine)
                    return refuse(m_line + 1);
                m_carry.append(data, end - data);
                return true;
            }
            bool ok = true;
            if (m_carry.isEmpty()) {
                ok = line(data, newline);
            } else {
                if (m_carry.size() + (newline - data) > RecordingFile::MaxLine)
                    return refuse(m_line + 1);
                m_carry.append(data, newline - data);
                ok = line(m_carry.constData(), m_carry.constData() + m_carry.size());
                m_carry.clear();
            }
            if (!ok)
                return false;
            data = newline + 1;
        }
        return true;
    }

    bool finish() {
        if (!m_carry.isEmpty() && !line(m_carry.constData(), m_carry.constData() + m_carry.size()))
            return false;
        if (m_result.samples.isEmpty()) {
            m_result.failure = RecordingFile::Failure::NoSamples;
            return false;
        }
        return true;
    }

    void expect(qint64 bytes) { m_expected = bytes; }

private:
    bool line(const char* from, const char* to) {
        ++m_line;
        if (to - from > RecordingFile::MaxLine)
            return refuse(m_line);
        if (m_line == 1 && to - from >= 3 && std::memcmp(from, "\xEF\xBB\xBF", 3) == 0)
            from += 3;
        if (to > from && to[-1] == '\r')
            --to;
        const char* text = from;
        while (text < to && (*text == ' ' || *text == '\t'))
            ++text;
        if (text == to)
            return true;
        RideSample s;
        if (sample(from, to, &s)) {
            m_result.samples.append(s);
            return true;
        }
        if (!m_titled && m_result.samples.isEmpty() && title(from, to)) {
            m_titled = true;
            return true;
        }
        return refuse(m_line);
    }

    bool refuse(qint64 line) {
        m_result.failure = RecordingFile::Failure::NotASample;
        m_result.line = line;
        return false;
    }

    RecordingFile::Result& m_result;
    QByteArray m_carry; // the start of a line cut by the chunk's end
    qint64 m_line = 0;
    qint64 m_expected = 0;
    bool m_titled = false;
};

RecordingFile::Result failed(RecordingFile::Result result) {
    result.samples = {};
    return result;
}

} // namespace

namespace RecordingFile {

Result parse(const QByteArray& text, const Progress& progress) {
    Result result;
    Reader reader(result);
    reader.expect(text.size());
    for (qsizetype at = 0; at < text.size(); at += Chunk) {
        if (!reader.take(text.constData() + at, std::min(Chunk, text.size() - at)))
            return failed(result);
        if (progress && !progress(std::min(at + Chunk, text.size()), text.size())) {
            result.failure = Failure::Cancelled;
            return failed(result);
        }
    }
    if (!reader.finish())
        return failed(result);
    return result;
}

Result read(const QString& path, const Progress& progress) {
    Result result;
    // Only a regular file is read, and never more of it than MaxBytes: a device or a
    // pipe would give bytes without end.
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        result.failure = Failure::NotAFile;
        return result;
    }
    if (info.size() > MaxBytes) {
        result.failure = Failure::TooLarge;
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.failure = Failure::Unreadable;
        result.detail = file.errorString();
        return result;
    }
    const qint64 total = info.size();
    Reader reader(result);
    reader.expect(total);
    QByteArray buffer(Chunk, Qt::Uninitialized);
    qint64 done = 0;
    while (true) {
        const qint64 got = file.read(buffer.data(), std::min<qint64>(Chunk, MaxBytes + 1 - done));
        if (got < 0) {
            result.failure = Failure::Unreadable;
            result.detail = file.errorString();
            return failed(result);
        }
        if (got == 0)
            break;
        done += got;
        if (done > MaxBytes) {
            result.failure = Failure::TooLarge;
            return failed(result);
        }
        if (!reader.take(buffer.constData(), got))
            return failed(result);
        if (progress && !progress(done, std::max(done, total))) {
            result.failure = Failure::Cancelled;
            return failed(result);
        }
    }
    if (!reader.finish())
        return failed(result);
    return result;
}

} // namespace RecordingFile
