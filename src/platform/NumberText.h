#pragma once
// Text <-> number rules shared by every part of the program: the forgiving
// leading-number reading used for typed values and files, the general format of a
// single-precision value, the fixed display patterns and half-to-even rounding.
#include <QString>
#include <QStringView>
#include <cstdint>

namespace NumberText {

// Longest leading decimal number of `text`: leading blanks, tabs and line feeds are
// skipped, then an optional sign, digits with "." as decimal point and an optional
// exponent (E or D). Anything after that is ignored. `found` tells whether any digit
// was read; the value is 0 when none was.
double leadingNumber(QStringView text, bool* found = nullptr);

// leadingNumber after the first "," has been turned into "." (how typed values are read).
float typedValue(QStringView text);

// True when the whole text (blanks around it allowed) is one number, with "." or
// the locale's decimal separator.
bool isNumeric(QStringView text);

// Reads a number written in the current locale's format (what a control shows).
// Returns false when the text is not a number.
bool parseLocale(QStringView text, double* value);

// General number format of a single-precision value: at most 7 significant digits,
// exponent form for very large and very small magnitudes ("1E-05", "1.234568E+07"),
// the current locale's decimal separator and no group separators.
QString general(float value);

// general() with "." as decimal separator whatever the locale (parameter files).
QString generalC(float value);

// The fixed display patterns. Rounding happens half away from zero on the decimal
// digits of the value (7 significant digits for a single, 15 for a double).
QString pattern2(double value, bool single = true);    // "#0.#0": two decimals
QString pattern3(double value, bool single = true);    // "#0.##0": three decimals
QString pattern1to3(double value, bool single = true); // "#0.0##": one to three decimals

// Replaces the first occurrence of `from` in `text`.
void replaceFirst(QString& text, QChar from, QChar to);
QString replacedFirst(QString text, QChar from, QChar to);

// Nearest whole number, a half going to the even neighbour. Values beyond the
// 64-bit range saturate and NaN gives 0; callers check their own ranges first.
std::int64_t roundHalfEven(double value);

} // namespace NumberText
