// The filter above the grid: by name or identifier, only the rows that differ from
// the drive's, both together, and rows that start or stop differing while filtered.
#include "params/ParamGrid.h"
#include "params/ParamGridFilter.h"
#include "platform/NumberText.h"
#include "support/ScratchParams.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QtTest>

namespace {

struct Rig : ScratchParams {
    ParamGrid grid{params};
    ParamGridFilter filter{grid};
    Rig()
        : ScratchParams({"P0:0:Speed:V0:m/s:0:10:0:1000:0", "P1:1:*DUMMY*:x::0:1:0:1:0",
                         "P2:2:Accel:PA:m/s2:0:5:0:100:0", "P4:4:Mode:stpmod::0:1:0:1:0",
                         "P6:6:Jerk:S1:m/s3:0:10:0:100:0"}) {
        grid.FillParamGrid();
        // The drive holds the program's values except for the speed and the jerk.
        for (int k : {0, 2, 4, 6})
            grid.setDriveText(k, NumberText::general(params.GetParameter(k)));
        grid.setDriveText(0, "9");
        grid.setDriveText(6, "9");
    }
    QStringList visibleIds() const {
        QStringList ids;
        for (int row = 1; row <= grid.rows(); ++row)
            if (!grid.isRowHidden(row - 1))
                ids << params.ParamCatalogue[grid.cellText(row, ParamGrid::IndexColumn).toInt()].id;
        return ids;
    }
};

} // namespace

class TestParamGridFilter : public QObject {
    Q_OBJECT

private slots:
    void rowsShown_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("differing");
        QTest::addColumn<QStringList>("visible");
        QTest::newRow("nothing asked") << "" << false << QStringList{"V0", "PA", "stpmod", "S1"};
        QTest::newRow("by name, any case") << "acc" << false << QStringList{"PA"};
        QTest::newRow("by identifier") << "stpmod" << false << QStringList{"stpmod"};
        QTest::newRow("no match") << "zzz" << false << QStringList{};
        QTest::newRow("differing only") << "" << true << QStringList{"V0", "S1"};
        QTest::newRow("both") << "e" << true << QStringList{"V0", "S1"};
        QTest::newRow("both, narrowed") << "jer" << true << QStringList{"S1"};
    }
    void rowsShown() {
        QFETCH(QString, text);
        QFETCH(bool, differing);
        QFETCH(QStringList, visible);
        Rig rig;
        rig.filter.text()->setText(text);
        rig.filter.differingOnly()->setChecked(differing);
        QCOMPARE(rig.visibleIds(), visible);
    }

    void followsValuesWhileFiltered() {
        Rig rig;
        rig.filter.differingOnly()->setChecked(true);
        rig.grid.showStoredValue(2, 1.5f); // what the main window does for a stored value
        QCOMPARE(rig.visibleIds(), (QStringList{"V0", "PA", "S1"}));
        rig.grid.setDriveText(0, NumberText::general(rig.params.GetParameter(0)));
        QCOMPARE(rig.visibleIds(), (QStringList{"PA", "S1"}));
        rig.filter.differingOnly()->setChecked(false);
        QCOMPARE(rig.visibleIds().size(), 4);
    }
};

QTEST_MAIN(TestParamGridFilter)
#include "tst_paramgridfilter.moc"
