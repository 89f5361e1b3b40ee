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
    if (NumberText::isNumeric(text)) {
        // A text taken as a number is one a control or file may hold.
        FUZZ_CHECK(NumberText::parseLocale(text, &parsed) || found);
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
