// The lists of measured travels: the live list fed sample by sample, its export in
// the user's locale, and File > Open recording... in the main window.
#include "app/RideCommands.h"
#include "ride/RecordingWindow.h"
#include "ride/TravelList.h"
#include "support/MainWindowFixture.h"
#include "support/RideRecordings.h"

#include <QTreeWidget>

namespace {

// The figures' texts of a row, for comparing.
double flightOf(const QTreeWidget* view, int row) {
    QString text = view->topLevelItem(row)->text(TravelList::Flight);
    return text.replace(u',', u'.').toDouble();
}

} // namespace

class TestTravelList : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QLocale::setDefault(QLocale::c()); }
    void samplesFillTheLiveListNewestFirst() {
        MainWindowFixture<> w;
        TravelList* list = w.form.findChild<RideCommands*>()->liveList();
        const QList<RideSample> sent = RideRecordings::travels(90, 50);
        for (const RideSample& s : sent)
            list->takeSample(s.t, s.v, s.a, s.c);
        // Samples are only taken; the travels are measured when the event loop runs.
        QCOMPARE(list->view()->topLevelItemCount(), 0);
        QApplication::processEvents();
        QList<TravelFigures> complete;
        for (const TravelFigures& f : Ride::measureTravels(sent, 0.1))
            if (f.complete)
                complete.prepend(f);
        QVERIFY(complete.size() >= 3);
        QCOMPARE(list->view()->topLevelItemCount(), complete.size());
        for (int row = 0; row < complete.size(); ++row)
            QVERIFY(std::abs(flightOf(list->view(), row) - complete[row].flight) < 0.011);
    }

    void exportsInTheUsersLocale_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("flight"); // the first travel's flight as written
        QTest::newRow("decimal comma") << QLocale(QLocale::Turkish, QLocale::Turkey) << "0,6";
        QTest::newRow("decimal point")
            << QLocale(QLocale::English, QLocale::UnitedKingdom) << "0.6";
    }

    void exportsInTheUsersLocale() {
        QFETCH(QLocale, locale);
        QFETCH(QString, flight);
        QLocale::setDefault(locale);
        MainWindowFixture<> w;
        TravelList* list = w.form.findChild<RideCommands*>()->recordingWindow()->list();
        // Sampled 0.1 s apart, then 0.2 s apart: the second travel has no derived figures.
        QList<RideSample> samples;
        for (int k = 0; k < 8; ++k)
            samples.append({0.1 * k, (k == 0 || k == 7) ? 0.0 : 300.0, 0.0, 20.0});
        for (int k = 0; k < 6; ++k)
            samples.append({0.2 * k, (k == 0 || k == 5) ? 0.0 : 300.0, 0.0, 20.0});
        list->setTravels(Ride::travelsIn(samples, 0.1));
        QCOMPARE(list->view()->topLevelItemCount(), 2);
        QCOMPARE(list->view()->topLevelItem(1)->text(TravelList::Amax), QString());

        QTemporaryDir dir;
        w.prompts.fileAnswers = {dir.filePath("travels")};
        list->exportTravels();
        QFile file(dir.filePath("travels.csv"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(text.mid(3)).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0].split("; ").size(), 11);
        const QStringList first = lines[1].split("; ");
        QCOMPARE(first.value(1), flight);
        QCOMPARE(first.value(10), QStringLiteral("1"));
        // amax, dmax and jmax of the sparse travel stay empty rather than 0.
        const QStringList second = lines[2].split("; ");
        QCOMPARE(second.mid(4, 3), QStringList({"", "", ""}));
        QCOMPARE(w.prompts.messages.size(), 1);
        QCOMPARE(w.prompts.messages[0].icon, Prompts::Icon::Information);
    }

    // What is no recording of travels: one message naming the file (and the line that
    // is no sample), no window.
    void openRecording_data() {
        QTest::addColumn<QByteArray>("recording");
        QTest::addColumn<int>("message");
        QTest::newRow("binary") << QByteArray("\x01\x02\0\0\x03;\n", 7)
                                << int(TextId::RecordingNotASample);
        QTest::newRow("no travel") << RideRecordings::csv({{0, 0, 0, 0}, {1, 5, 0, 0}}, '.')
                                   << int(TextId::RecordingNoTravels);
    }

    void openRecording() {
        QFETCH(QByteArray, recording);
        QFETCH(int, message);
        MainWindowFixture<> w;
        QVERIFY(w.startAndShow());
        QTemporaryDir dir;
        w.prompts.fileAnswers = {dir.filePath("log.csv")};
        QVERIFY(RideRecordings::writeFile(w.prompts.fileAnswers[0], recording));
        w.child<QAction>("MI_OpenRecording")->trigger();
        QVERIFY(!w.form.findChild<RecordingWindow*>()->isVisible());
        const QString path = QDir::toNativeSeparators(dir.filePath("log.csv"));
        QString want = w.form.lang().LangText(message).arg(path);
        if (message == int(TextId::RecordingNotASample))
            want = want.arg(1);
        QCOMPARE(w.prompts.texts(), QStringList{want});
    }
};

QTEST_MAIN(TestTravelList)
#include "tst_travellist.moc"
