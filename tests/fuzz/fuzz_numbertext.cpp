// Number text: typed values, file values and control texts are read with the
// forgiving leading-number rule and written in the general format. The first byte
// picks the locale (a point or a decimal comma); the rest is the text, and its first
// four bytes also serve as a single-precision value to format.
#include "FuzzTarget.h"
#include "platform/NumberText.h"

#include <QLocale>
#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    QLocale::setDefault((data[0] & 1) ? QLocale(QLocale::Turkish, QLocale::Turkey) : QLocale::c());
    const QString text = QString::fromLatin1(fuzz::bytes(data + 1, size - 1));

    bool found = false;
    const double leading = NumberText::leadingNumber(text, &found);
    FUZZ_CHECK(found || leading == 0.0);
    FUZZ_CHECK(!std::isnan(leading));
    NumberText::roundHalfEven(leading);
    const float typed = NumberText::typedValue(text);
    NumberText::general(typed);
    double parsed = 0.0;
    // A typed text that the check takes as a number reads as a number (the setter
    // checks the first and stores the second).
    const QString typedText = NumberText::replacedFirst(text, u',', u'.');
    if (NumberText::isNumeric(typedText)) {
        bool typedFound = false;
        NumberText::leadingNumber(typedText, &typedFound);
        FUZZ_CHECK(typedFound);
    }
    for (double v : {leading, double(typed)}) {
        NumberText::pattern2(v);
        NumberText::pattern3(v, false);
        NumberText::pattern1to3(v);
    }

    if (size >= 5) {
        float f = 0.0f;
        std::memcpy(&f, data + 1, sizeof f);
        const QString g = NumberText::generalC(f);
        if (std::isfinite(f)) {
            // What a parameter file holds reads back as the value on 7 digits.
            bool again = false;
            const double back = NumberText::leadingNumber(g, &again);
            FUZZ_CHECK(again);
            FUZZ_CHECK(std::fabs(back - double(f)) <= 1e-6 * std::fabs(double(f)) + 1e-300 ||
                       std::fabs(double(f)) < 1e-37);
            // The locale's form reads back through the locale.
            FUZZ_CHECK(NumberText::parseLocale(NumberText::general(f), &parsed));
        }
        NumberText::pattern2(double(f));
        NumberText::roundHalfEven(double(f));
    }
    return 0;
}
