// The archive of parameter sets: names that never collide, the listing newest first
// from the names and the index, archives that were edited or cut short, parameter
// files that are not complete sets, and the difference list. The history window: an
// archive loaded into the program column or compared with it; the review before a
// write finished from the keyboard, a comparison's wording.
#include "params/ParamFiles.h"
#include "support/ScratchParams.h"
#include "transfer/DifferenceView.h"
#include "transfer/History.h"
#include "transfer/HistoryForm.h"

#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

namespace {

ParamSet setOf(float base) {
    ParamSet s{};
    for (int k = 0; k < ParamModule::Count; ++k)
        s[std::size_t(k)] = base + float(k) / 4;
    return s;
}

const QDateTime when(QDate(2026, 12, 6), QTime(14, 25, 1));

// An index in memory that counts the bytes taken from it.
class CountingIndex final : public QBuffer {
public:
    qint64 taken = 0;

protected:
    qint64 readData(char* data, qint64 size) override {
        const qint64 n = QBuffer::readData(data, size);
        taken += std::max<qint64>(n, 0);
        return n;
    }
};

} // namespace

class TestHistory : public QObject {
    Q_OBJECT

private slots:
    void sameSecondNewestFirst() {
        QTemporaryDir dir;
        History history(dir.path());
        ParamSet b = setOf(1);
        b[3] = -7;
        b[90] = 1e-5f;
        QCOMPARE(history.archive("read", 5, "830", ParamFiles::textOf(setOf(1)), when),
                 "20261206-142501-read-COM5.quv");
        QCOMPARE(history.archive("read", 5, "830", ParamFiles::textOf(b), when),
                 "20261206-142501-read-COM5-2.quv");
        QCOMPARE(history.archive("write", 5, "830", ParamFiles::textOf(b), when.addSecs(-60)),
                 "20261206-142401-write-COM5.quv");

        const QList<HistoryEntry> list = history.list();
        QCOMPARE(list.size(), 3);
        QCOMPARE(list[0].fileName, "20261206-142501-read-COM5-2.quv");
        QCOMPARE(list[1].fileName, "20261206-142501-read-COM5.quv");
        QCOMPARE(list[2].kind, "write");
        QCOMPARE(list[0].port, "COM5");
        QCOMPARE(list[0].firmware, "830");
        QCOMPARE(list[1].differences, -1); // nothing before it
        QCOMPARE(list[0].differences, 2);
        QCOMPARE(history.load(list[0].fileName), std::optional<ParamSet>(b));
        QVERIFY(QDir(dir.path()).entryList({"*.part"}, QDir::Files | QDir::Hidden).isEmpty());
    }

    void damagedArchivesRefused_data() {
        QTest::addColumn<QByteArray>("replacement"); // empty: the index line is lost
        QTest::addColumn<bool>("listedDamaged");
        QTest::newRow("digit edited, same size") << QByteArray("9") << false;
        QTest::newRow("cut short") << QByteArray("cut") << true;
        QTest::newRow("not in the index") << QByteArray() << true;
    }
    void damagedArchivesRefused() {
        QFETCH(QByteArray, replacement);
        QFETCH(bool, listedDamaged);
        QTemporaryDir dir;
        History history(dir.path());
        const QString name = history.archive("read", 1, "830", ParamFiles::textOf(setOf(0)), when);
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray text = file.readAll();
        if (replacement == "cut")
            text.chop(40);
        else if (replacement.isEmpty())
            QFile::remove(dir.filePath(History::IndexName));
        else
            text[0] = replacement[0];
        file.resize(0);
        file.write(text);
        file.close();

        const QList<HistoryEntry> list = history.list();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].damaged, listedDamaged);
        QVERIFY(!history.load(name));
    }

    // Every archive looks up the set before it in the index: only the index's tail is
    // read, so archiving costs the same with ten thousand sets as with one.
    void lastRecordFromTheTail_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<QByteArray>("cutLine");
        QTest::addColumn<QString>("last");
        QTest::newRow("short index") << 3 << QByteArray() << "s2.quv";
        QTest::newRow("past the tail") << 2000 << QByteArray() << "s1999.quv";
        QTest::newRow("last line cut") << 2000 << QByteArray("s2000.quv\t83") << "s1999.quv";
    }
    void lastRecordFromTheTail() {
        QFETCH(int, records);
        QFETCH(QByteArray, cutLine);
        QFETCH(QString, last);
        QByteArray text;
        for (int i = 0; i < records; ++i)
            text += "s" + QByteArray::number(i) + ".quv\t830\t2\t1234\t0123456789abcdef\n";
        CountingIndex index;
        index.setData(text + cutLine);
        QVERIFY(index.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        QCOMPARE(History::lastRecorded(index), last);
        QVERIFY(index.taken <= History::IndexTail);
    }

    void parseSet_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("complete");
        const QByteArray good = ParamFiles::textOf(setOf(2));
        QTest::newRow("archive") << good << true;
        QTest::newRow("LF ends") << QByteArray(good).replace("\r\n", "\n") << true;
        QTest::newRow("127 lines")
            << good.left(good.lastIndexOf("\r\n", good.size() - 3) + 2) << false;
        QTest::newRow("129 lines") << good + "1\r\n" << false;
        QTest::newRow("text in a line")
            << QByteArray(good).replace("2.25\r\n", "2.25x\r\n") << false;
    }
    void parseSet() {
        QFETCH(QByteArray, text);
        QFETCH(bool, complete);
        const auto set = History::parseSet(text);
        QCOMPARE(bool(set), complete);
        if (complete)
            QCOMPARE(*set, setOf(2));
    }

    void differencesSkipPlaceholders() {
        std::array<ParamDef, ParamModule::Count> catalogue;
        for (int k = 0; k < ParamModule::Count; ++k)
            catalogue[std::size_t(k)] = {QStringLiteral("P%1").arg(k), QStringLiteral("p%1").arg(k),
                                         "m/s"};
        catalogue[4].name = "*DUMMY*";
        ParamSet a = setOf(0);
        ParamSet b = a;
        b[1] = 0.1f;
        b[4] = 99;           // a placeholder: no parameter
        b[9] = a[9] + 1e-9f; // the same in the file's text
        const QList<ParamDifference> d = differences(catalogue, a, b);
        QCOMPARE(d.size(), 1);
        QCOMPARE(d[0].index, 1);
        QCOMPARE(d[0].id, "p1");
        QCOMPARE(d[0].left, "0.25");
        QCOMPARE(d[0].right, "0.1");
    }

    void loadAndCompare() {
        ScratchParams scratch({"P0:0:Speed:V0:m/s:0:10:0:1000:0", "P1:1:Accel:PA:m/s2:0:5:0:100:0",
                               "P2:2:Mode:stpmod::0:1:0:1:0"});
        ParamModule& params = scratch.params;
        QTemporaryDir dir;
        History history(dir.path());
        ParamSet archived = params.ParamValues();
        archived[0] = 2.5f;
        archived[1] = 1.25f;
        history.archive("read", 2, "830", ParamFiles::textOf(archived), when);

        HistoryForm form(history, params, scratch.lang, scratch.prompts, "Main");
        form.refresh();
        QCOMPARE(form.entries(), 1);
        QCOMPARE(form.view()->model()->index(0, 3).data().toString(), "830");

        const auto differences = form.compareEntry(0);
        QVERIFY(differences);
        QCOMPARE(differences->size(), 2);
        QCOMPARE(differences->at(1).id, "PA");
        QCOMPARE(differences->at(1).right, "1.25");
        QCOMPARE(params.GetParameter(1), 0.0f); // a comparison loads nothing

        QVERIFY(form.loadEntry(0));
        QCOMPARE(params.GetParameter(0), 2.5f);
        QCOMPARE(params.GetParameter(1), 1.25f);
        QCOMPARE(form.compareEntry(0)->size(), 0);
    }

    // Enter never writes: Cancel is the default, and the write command does not hold
    // the focus when the dialog opens. Tab leaves the list for the buttons, and the
    // command has its Alt letter.
    void reviewFromTheKeyboard_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("result");
        QTest::newRow("Enter over the list") << 2 << "enter" << int(QDialog::Rejected);
        QTest::newRow("Enter, nothing listed") << 0 << "enter" << int(QDialog::Rejected);
        QTest::newRow("Tab to the command, Space") << 2 << "tab space" << int(QDialog::Accepted);
        QTest::newRow("Alt+W") << 2 << "alt" << int(QDialog::Accepted);
    }
    void reviewFromTheKeyboard() {
        QFETCH(int, rows);
        QFETCH(QString, keys);
        QFETCH(int, result);
        LangModule lang{QString()};
        lang.setText(int(TextId::MenuWriteDrive), "Write to the drive");
        RecordingPrompts prompts;
        QWidget window;
        ReviewDialog review(lang, prompts, &window);
        const QList<ParamDifference> list(rows, ParamDifference{1, "A", "a", "m", "1", "2"});
        QPointer<DifferenceDialog> dialog = review.open(list);
        int finished = -1;
        connect(dialog, &QDialog::finished, [&finished](int r) { finished = r; });
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        for (const QString& key : keys.split(' ')) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus && dialog->isAncestorOf(focus));
            if (key == "enter")
                QTest::keyClick(focus, Qt::Key_Return);
            else if (key == "tab")
                QTest::keyClick(focus, Qt::Key_Tab);
            else if (key == "space")
                QTest::keyClick(focus, Qt::Key_Space);
            else
                QTest::keyClick(dialog->windowHandle(), Qt::Key_W, Qt::AltModifier);
        }
        QTRY_COMPARE(finished, result); // a mnemonic clicks after a short animation
    }

    // A comparison is worded as one and names both sides, also when nothing differs.
    void comparisonNamesBothSides() {
        LangModule lang{QString()};
        DifferenceDialog dialog(lang);
        dialog.presentComparison({}, "Program", "site.quv");
        const QString same = dialog.findChild<QLabel*>("DifferenceCount")->text();
        QCOMPARE(same, "Program and site.quv hold the same values.");
        QVERIFY(!dialog.table()->isVisible());
        dialog.presentComparison({{1, "A", "a", "m", "1", "2"}}, "Program", "site.quv");
        QCOMPARE(dialog.findChild<QLabel*>("DifferenceCount")->text(),
                 "1 parameters differ between Program and site.quv.");
        QVERIFY(dialog.table()->isVisible());
    }
};

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
