#include "platform/NumberText.h"

#include <QLocale>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace NumberText {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

QLocale currentLocale() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// Formats |value| rounded half away from zero to `decimals` places, working on the
// decimal digits that the value's precision shows, so 2.675f gives 2.68.
QString fixedFromDigits(double value, int decimals, int minDecimals, bool single) {
    const QString digitsText = QLocale::c().toString(value, 'e', single ? 6 : 14);
    // digitsText looks like "-d.dddddde+XX".
    bool negative = digitsText.startsWith(u'-');
    const QString body = negative ? digitsText.mid(1) : digitsText;
    const qsizetype ePos = body.indexOf(u'e');
    const int exponent = body.mid(ePos + 1).toInt();
    QString mantissa = body.left(ePos);
    mantissa.remove(u'.');
    // Digits of the integer part and the fraction, as one string with a point position.
    QString digits = mantissa;
    int pointPos = exponent + 1; // number of digits before the decimal point
    if (pointPos <= 0) {
        digits = QString(-pointPos + 1, u'0') + digits;
        pointPos = 1;
    } else if (pointPos > digits.size()) {
        digits += QString(pointPos - digits.size(), u'0');
    }
    const int keep = pointPos + decimals;
    while (digits.size() < keep + 1)
        digits += u'0';
    bool roundUp = digits[keep] >= u'5';
    digits.truncate(keep);
    if (roundUp) {
        int i = keep - 1;
        while (i >= 0) {
            if (digits[i] == u'9') {
                digits[i] = u'0';
                --i;
            } else {
                digits[i] = QChar(digits[i].unicode() + 1);
                break;
            }
        }
        if (i < 0) {
            digits.prepend(u'1');
            ++pointPos;
        }
    }
    QString intPart = digits.left(pointPos);
    QString frac = digits.mid(pointPos);
    while (frac.size() > minDecimals && frac.endsWith(u'0'))
        frac.chop(1);
    // Strip leading zeros but keep one integer digit.
    while (intPart.size() > 1 && intPart.startsWith(u'0'))
        intPart.remove(0, 1);
    bool allZero = true;
    for (QChar c : intPart + frac)
        if (c != u'0')
            allZero = false;
    QString result = intPart;
    if (!frac.isEmpty())
        result += currentLocale().decimalPoint() + frac;
    if (negative && !allZero)
        result.prepend(currentLocale().negativeSign());
    return result;
}

} // namespace

double leadingNumber(QStringView text, bool* found) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    QByteArray number;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        number += char(text[i++].unicode());
    bool digitSeen = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        number += char(text[i++].unicode());
        digitSeen = true;
    }
    if (i < n && text[i] == u'.') {
        number += '.';
        ++i;
        while (i < n && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
            number += char(text[i++].unicode());
            digitSeen = true;
        }
    }
    if (found)
        *found = digitSeen;
    if (!digitSeen)
        return 0.0;
    if (i < n && (text[i] == u'E' || text[i] == u'e' || text[i] == u'D' || text[i] == u'd')) {
        qsizetype j = i + 1;
        QByteArray exponent = "e";
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            exponent += char(text[j++].unicode());
        bool expDigits = false;
        while (j < n && text[j].unicode() >= '0' && text[j].unicode() <= '9') {
            exponent += char(text[j++].unicode());
            expDigits = true;
        }
        if (expDigits)
            number += exponent;
    }
    return std::strtod(number.constData(), nullptr);
}

float typedValue(QStringView text) {
    QString copy = text.toString();
    replaceFirst(copy, u',', u'.');
    return float(leadingNumber(copy));
}

bool isNumeric(QStringView text) {
    // Only the blanks that the leading-number reading skips may stand before the
    // number: a text taken as a number must read as that number, and with another
    // space in front (a no-break space) it would read as 0.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    const QString trimmed = text.mid(begin, end - begin).toString();
    if (trimmed.isEmpty() || trimmed.front().isSpace())
        return false;
    bool ok = false;
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        ok = parseLocale(trimmed, &value);
    // "inf" and "nan" read as numbers but are no value a control or file may hold.
    return ok && std::isfinite(value);
}

bool parseLocale(QStringView text, double* value) {
    bool ok = false;
    const double v = currentLocale().toDouble(text.trimmed(), &ok);
    if (ok && value)
        *value = v;
    return ok;
}

QString general(float value) {
    if (std::isnan(value) || std::isinf(value))
        return QLocale::c().toString(double(value));
    return currentLocale().toString(double(value), 'G', 7);
}

QString generalC(float value) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    return c.toString(double(value), 'G', 7);
}

QString pattern2(double value, bool single) {
    return fixedFromDigits(value, 2, 2, single);
}

QString pattern3(double value, bool single) {
    return fixedFromDigits(value, 3, 3, single);
}

QString pattern1to3(double value, bool single) {
    return fixedFromDigits(value, 3, 1, single);
}

void replaceFirst(QString& text, QChar from, QChar to) {
    const qsizetype pos = text.indexOf(from);
    if (pos >= 0)
        text[pos] = to;
}

QString replacedFirst(QString text, QChar from, QChar to) {
    replaceFirst(text, from, to);
    return text;
}

std::int64_t roundHalfEven(double value) {
    // Converting a double outside the 64-bit range is undefined; such values (and
    // NaN) are a caller's fault, so they saturate instead of corrupting anything.
    constexpr double limit = 9223372036854775807.0; // 2^63, the first value out of range
    const double r = std::nearbyint(value);
    if (std::isnan(r))
        return 0;
    if (r >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (r < -limit)
        return std::numeric_limits<std::int64_t>::min();
    return std::int64_t(r);
}

} // namespace NumberText
