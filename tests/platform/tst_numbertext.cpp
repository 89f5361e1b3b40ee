// Number-text rules under a point locale and under a decimal-comma locale.
#include "platform/NumberText.h"
#include "platform/Win1254.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <limits>

namespace {

// The expected texts are written with a point; the decimal-comma locale swaps it.
const char* const kLocales[] = {"C", "tr_TR"};
QString inLocale(const char* locale, QString text) {
    return QByteArray(locale) == "C" ? text : text.replace(u'.', u',');
}

} // namespace

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void leadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("found");
        QTest::newRow("blanks tabs lf before") << " \t\n 7.5" << 7.5 << true;
        QTest::newRow("sign") << "-0.25abc" << -0.25 << true;
        QTest::newRow("comma ends number") << "1,5" << 1.0 << true;
        QTest::newRow("second point ends") << "1.000.5" << 1.0 << true;
        QTest::newRow("exponent E") << "1.5E3x" << 1500.0 << true;
        QTest::newRow("exponent D") << "2D-2" << 0.02 << true;
        QTest::newRow("exponent without digits") << "4E" << 4.0 << true;
        QTest::newRow("leading point") << ".5" << 0.5 << true;
        QTest::newRow("nothing") << "abc" << 0.0 << false;
    }
    void leadingNumber() {
        QFETCH(QString, text);
        QFETCH(bool, found);
        bool wasFound = !found;
        QTEST(NumberText::leadingNumber(text, &wasFound), "value");
        QCOMPARE(wasFound, found);
    }

    void general_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text"); // with a point
        const QList<std::pair<float, const char*>> rows = {
            {0.7f, "0.7"},       {12345678.0f, "1.234568E+07"}, {1.0e7f, "1E+07"},
            {0.0001f, "0.0001"}, {0.00001f, "1E-05"},           {1.0f / 3.0f, "0.3333333"}};
        for (const char* locale : kLocales)
            for (const auto& [value, text] : rows)
                QTest::addRow("%s %s", locale, text) << QString(locale) << value << QString(text);
    }
    void general() {
        QFETCH(QString, locale);
        QFETCH(float, value);
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(NumberText::general(value), inLocale(qPrintable(locale), text));
        QCOMPARE(NumberText::generalC(value), text);
    }

    void patterns_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("single");
        QTest::addColumn<QStringList>("texts"); // two, three, one to three decimals
        const QList<std::tuple<const char*, double, bool, QStringList>> rows = {
            {"half up on single digits", double(2.675f), true, {"2.68", "2.675", "2.675"}},
            {"double keeps binary value", 2.675, false, {"2.68", "2.675", "2.675"}},
            {"rounds carry", 9.9996, false, {"10.00", "10.000", "10.0"}}};
        for (const char* locale : kLocales)
            for (const auto& [tag, value, single, texts] : rows)
                QTest::addRow("%s %s", locale, tag) << QString(locale) << value << single << texts;
    }
    void patterns() {
        QFETCH(QString, locale);
        QFETCH(double, value);
        QFETCH(bool, single);
        QFETCH(QStringList, texts);
        QLocale::setDefault(QLocale(locale));
        const QByteArray name = locale.toLatin1();
        QCOMPARE(NumberText::pattern2(value, single), inLocale(name, texts[0]));
        QCOMPARE(NumberText::pattern3(value, single), inLocale(name, texts[1]));
        QCOMPARE(NumberText::pattern1to3(value, single), inLocale(name, texts[2]));
    }

    void roundHalfEven_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("rounded");
        QTest::newRow("1.5") << 1.5 << qint64(2);
        QTest::newRow("2.5") << 2.5 << qint64(2);
        QTest::newRow("-2.5") << -2.5 << qint64(-2);
        QTest::newRow("slider 0.7*100") << double(0.7f * 100.0f) << qint64(70);
        // Beyond the 64-bit range: saturated, never an undefined conversion.
        QTest::newRow("1e20") << 1e20 << std::numeric_limits<qint64>::max();
        QTest::newRow("-1e300") << -1e300 << std::numeric_limits<qint64>::min();
        QTest::newRow("NaN") << std::nan("") << qint64(0);
    }
    void roundHalfEven() {
        QFETCH(double, value);
        QTEST(qint64(NumberText::roundHalfEven(value)), "rounded");
    }

    void typedValue_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("value");
        QTest::newRow("comma") << "2,5" << 2.5f;
        QTest::newRow("point") << "2.5" << 2.5f;
        QTest::newRow("only first comma") << "1,000,5" << 1.0f;
        QTest::newRow("unit after") << "0,8 m/s" << 0.8f;
    }
    void typedValue() {
        QFETCH(QString, text);
        QLocale::setDefault(QLocale(QStringLiteral("tr_TR")));
        QTEST(NumberText::typedValue(text), "value");
    }

    void codePage() {
        const QByteArray bytes("\xDD\xFE\xF0\xB2\xB3\xC7\xFC", 7);
        QCOMPARE(Win1254::decode(bytes), QString::fromUtf8("İşğ²³Çü"));
        QCOMPARE(Win1254::encode(Win1254::decode(bytes)), bytes);
        QCOMPARE(Win1254::encode(QStringLiteral("a\u4e2d")), QByteArray("a?"));
    }
};

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
