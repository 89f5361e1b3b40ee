// Reading recordings: the export's text and the variants a spreadsheet leaves (the
// monitor's test reads its own export back), the refusals of what is not a recording,
// and the progress and cancelling of a long read.
#include "ride/Recording.h"
#include "support/RideRecordings.h"

#include <QTemporaryDir>
#include <QTest>

using Failure = RecordingFile::Failure;

namespace {

QList<RideSample> few() {
    return {{0.03125, 1000, 250, 132}, {0.5, 1234.5, 0, 7}, {1.25e-05, 0, 65535, 0}};
}

bool same(const QList<RideSample>& a, const QList<RideSample>& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype k = 0; k < a.size(); ++k)
        if (a[k].t != b[k].t || a[k].v != b[k].v || a[k].a != b[k].a || a[k].c != b[k].c)
            return false;
    return true;
}

} // namespace

class TestRecording : public QObject {
    Q_OBJECT
private slots:
    void readsEveryVariantOfTheText_data() {
        QTest::addColumn<QByteArray>("text");
        const QByteArray comma = RideRecordings::csv(few(), QLatin1Char(','));
        const QByteArray point = RideRecordings::csv(few(), QLatin1Char('.'));
        QTest::newRow("comma") << comma;
        QTest::newRow("no title, no last line end")
            << point.mid(point.indexOf('\n') + 1).chopped(2);
        QTest::newRow("trailing separators and blank lines")
            << QByteArray(comma).replace("\r\n", ";\r\n\r\n");
        QTest::newRow("no byte order mark, line feeds, tight separators, plus signs")
            << QByteArray("T;v;a;c\n0.03125;+1000;250;132\n0,5;1234,5;0;7\n1.25E-05;0;65535;0\n");
    }

    void readsEveryVariantOfTheText() {
        QFETCH(QByteArray, text);
        const RecordingFile::Result read = RecordingFile::parse(text);
        QCOMPARE(read.failure, Failure::None);
        QVERIFY(same(read.samples, few()));
    }

    void refusesWhatIsNoRecording_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("line"); // the line that is no sample; 0: no sample at all
        const QByteArray title = "\xEF\xBB\xBFT; Hız; İvme; Motor Akımı; \r\n";
        const QByteArray row = "0,5; 1000; 250; 132\r\n";
        QTest::newRow("title only") << title << qint64(0);
        QTest::newRow("binary") << QByteArray("\x7f"
                                              "ELF\x02\x01\x01\0\0\0;\n",
                                              13)
                                << qint64(1);
        QTest::newRow("NaN") << title + row + "nan; 1; 2; 3\r\n" << qint64(3);
        QTest::newRow("too large for a double") << title + "0; 1e999; 0; 0\r\n" << qint64(2);
        QTest::newRow("three fields") << title + row + "1; 2; 3\r\n" << qint64(3);
        QTest::newRow("a second title") << title + row + title << qint64(3);
        QTest::newRow("a megabyte without a line end") << QByteArray(3 << 20, 'x') << qint64(1);
    }

    void refusesWhatIsNoRecording() {
        QFETCH(QByteArray, text);
        QFETCH(qint64, line);
        const RecordingFile::Result parsed = RecordingFile::parse(text);
        QCOMPARE(parsed.failure, line == 0 ? Failure::NoSamples : Failure::NotASample);
        QCOMPARE(parsed.line, line);
        QVERIFY(parsed.samples.isEmpty());
    }

    void refusesWhatIsNoFile() {
        QTemporaryDir dir;
        QFile garbage(dir.filePath("garbage.csv"));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        QVERIFY(garbage.resize(RecordingFile::MaxBytes + 1)); // zero bytes, sparse
        garbage.close();
        QCOMPARE(RecordingFile::read(garbage.fileName()).failure, Failure::TooLarge);
        QCOMPARE(RecordingFile::read(dir.path()).failure, Failure::NotAFile);
    }

    void reportsProgressAndCancels() {
        QTemporaryDir dir;
        QFile file(dir.filePath("long.csv"));
        QVERIFY(RideRecordings::writeFile(
            file.fileName(), RideRecordings::csv(RideRecordings::travels(600, 100), u',')));
        QList<qint64> seen;
        const RecordingFile::Result whole =
            RecordingFile::read(file.fileName(), [&](qint64 done, qint64 total) {
                seen.append(done);
                return total == file.size();
            });
        QCOMPARE(whole.failure, Failure::None);
        QCOMPARE(whole.samples.size(), 60000);
        QVERIFY(seen.size() >= 2);
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE(seen.last(), file.size());
        const RecordingFile::Result cancelled = RecordingFile::read(
            file.fileName(), [](qint64 done, qint64) { return done < (1 << 20); });
        QCOMPARE(cancelled.failure, Failure::Cancelled);
        QVERIFY(cancelled.samples.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
