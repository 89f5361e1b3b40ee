// Every page of the main window at the smallest window size: nothing overlaps, nothing
// is cut, every caption gets the room it needs.
#include "support/LayoutCheck.h"
#include "support/MainWindowFixture.h"

#include <QTabBar>

class TestPageLayout : public QObject {
    Q_OBJECT

private slots:
    void smallestWindow() {
        MainWindowFixture<> f;
        QVERIFY(f.startAndShow());
        f.form.resize(800, 600);
        auto* tabs = f.form.findChild<QTabBar*>();
        // Every page, the travel page also with all its plots shown.
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
            QCOMPARE(f.form.size(), QSize(800, 600));
            const QStringList faults = LayoutCheck::faults(&f.form);
            QVERIFY2(faults.isEmpty(), qPrintable(tabs->tabText(i) + ": " + faults.join("; ")));
        }
    }
};

QTEST_MAIN(TestPageLayout)
#include "tst_pagelayout.moc"
