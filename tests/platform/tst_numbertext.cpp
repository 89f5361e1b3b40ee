// Number-text rules under a point locale and under a decimal-comma locale.
#include "platform/NumberText.h"
#include "platform/Win1254.h"

#include <QLocale>
#include <QTest>
#include <cmath>
#include <limits>

class TestNumberText : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void leadingNumber_data();
    void leadingNumber();
    void general_data();
    void general();
    void patterns_data();
    void patterns();
    void roundHalfEven_data();
    void roundHalfEven();
    void typedValueAndReplaceFirst_data();
    void typedValueAndReplaceFirst();
    void codePage();
};

void TestNumberText::leadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("found");
    QTest::newRow("plain") << "12" << 12.0 << true;
    QTest::newRow("blanks tabs lf before") << " \t\n 7.5" << 7.5 << true;
    QTest::newRow("sign") << "-0.25abc" << -0.25 << true;
    QTest::newRow("comma ends number") << "1,5" << 1.0 << true;
    QTest::newRow("second point ends") << "1.000.5" << 1.0 << true;
    QTest::newRow("exponent E") << "1.5E3x" << 1500.0 << true;
    QTest::newRow("exponent D") << "2D-2" << 0.02 << true;
    QTest::newRow("exponent without digits") << "4E" << 4.0 << true;
    QTest::newRow("leading point") << ".5" << 0.5 << true;
    QTest::newRow("nothing") << "abc" << 0.0 << false;
    QTest::newRow("empty") << "" << 0.0 << false;
    QTest::newRow("trailing hash") << " 12 #text" << 12.0 << true;
}

void TestNumberText::leadingNumber() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(bool, found);
    bool wasFound = !found;
    QCOMPARE(NumberText::leadingNumber(text, &wasFound), value);
    QCOMPARE(wasFound, found);
}

void TestNumberText::general_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    for (const char* name : {"C", "tr_TR"}) {
        const bool comma = QByteArray(name) == "tr_TR";
        auto row = [&](const char* tag, float v, const QString& point) {
            QString expected = point;
            if (comma)
                expected.replace(u'.', u',');
            QTest::addRow("%s %s", name, tag) << QString::fromLatin1(name) << v << expected;
        };
        row("whole", 1430.0f, "1430");
        row("single 0.7", 0.7f, "0.7");
        row("negative", -1.0f, "-1");
        row("large exponent", 12345678.0f, "1.234568E+07");
        row("ten million", 1.0e7f, "1E+07");
        row("small", 0.0001f, "0.0001");
        row("smaller exponent", 0.00001f, "1E-05");
        row("no group separator", 65535.0f, "65535");
        row("one third", 1.0f / 3.0f, "0.3333333");
    }
}

void TestNumberText::general() {
    QFETCH(QString, locale);
    QFETCH(float, value);
    QFETCH(QString, text);
    QLocale::setDefault(QLocale(locale));
    QCOMPARE(NumberText::general(value), text);
    QLocale::setDefault(QLocale(locale));
    QString c = text;
    c.replace(u',', u'.');
    QCOMPARE(NumberText::generalC(value), c);
}

void TestNumberText::patterns_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QString>("two");
    QTest::addColumn<QString>("three");
    QTest::addColumn<QString>("oneToThree");
    for (const char* name : {"C", "tr_TR"}) {
        const bool comma = QByteArray(name) == "tr_TR";
        auto row = [&](const char* tag, double v, bool single, QString a, QString b, QString c) {
            if (comma) {
                a.replace(u'.', u',');
                b.replace(u'.', u',');
                c.replace(u'.', u',');
            }
            QTest::addRow("%s %s", name, tag)
                << QString::fromLatin1(name) << v << single << a << b << c;
        };
        row("zero", 0.0, true, "0.00", "0.000", "0.0");
        row("half up on single digits", double(2.675f), true, "2.68", "2.675", "2.675");
        row("double keeps binary value", 2.675, false, "2.68", "2.675", "2.675");
        row("rounds carry", 9.9996, false, "10.00", "10.000", "10.0");
        row("negative", -1.25, false, "-1.25", "-1.250", "-1.25");
        row("large", 32.768, false, "32.77", "32.768", "32.768");
    }
}

void TestNumberText::patterns() {
    QFETCH(QString, locale);
    QFETCH(double, value);
    QFETCH(bool, single);
    QLocale::setDefault(QLocale(locale));
    QTEST(NumberText::pattern2(value, single), "two");
    QTEST(NumberText::pattern3(value, single), "three");
    QTEST(NumberText::pattern1to3(value, single), "oneToThree");
}

void TestNumberText::roundHalfEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<qint64>("rounded");
    QTest::newRow("0.5") << 0.5 << qint64(0);
    QTest::newRow("1.5") << 1.5 << qint64(2);
    QTest::newRow("2.5") << 2.5 << qint64(2);
    QTest::newRow("-2.5") << -2.5 << qint64(-2);
    QTest::newRow("2.51") << 2.51 << qint64(3);
    QTest::newRow("slider 0.7*100") << double(0.7f * 100.0f) << qint64(70);
    // Beyond the 64-bit range: saturated, never an undefined conversion.
    QTest::newRow("1e20") << 1e20 << std::numeric_limits<qint64>::max();
    QTest::newRow("-1e300") << -1e300 << std::numeric_limits<qint64>::min();
    QTest::newRow("NaN") << std::nan("") << qint64(0);
}

void TestNumberText::roundHalfEven() {
    QFETCH(double, value);
    QFETCH(qint64, rounded);
    QCOMPARE(qint64(NumberText::roundHalfEven(value)), rounded);
}

void TestNumberText::typedValueAndReplaceFirst_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("value");
    QTest::newRow("comma") << "2,5" << 2.5f;
    QTest::newRow("point") << "2.5" << 2.5f;
    QTest::newRow("only first comma") << "1,000,5" << 1.0f;
    QTest::newRow("empty") << "" << 0.0f;
    QTest::newRow("text") << "abc" << 0.0f;
    QTest::newRow("unit after") << "0,8 m/s" << 0.8f;
}

void TestNumberText::typedValueAndReplaceFirst() {
    QFETCH(QString, text);
    QFETCH(float, value);
    QLocale::setDefault(QLocale(QStringLiteral("tr_TR")));
    QCOMPARE(NumberText::typedValue(text), value);
    QString replaced = QStringLiteral("1,000,5");
    NumberText::replaceFirst(replaced, u',', u'.');
    QCOMPARE(replaced, QStringLiteral("1.000,5"));
}

void TestNumberText::codePage() {
    const QByteArray bytes("\xDD\xFE\xF0\xB2\xB3\xC7\xFC", 7);
    const QString text = Win1254::decode(bytes);
    QCOMPARE(text, QString::fromUtf8("İşğ²³Çü"));
    QCOMPARE(Win1254::encode(text), bytes);
    QCOMPARE(Win1254::encode(QStringLiteral("a\u4e2d")), QByteArray("a?"));
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
