// The connection dialog on a fake line: the port scan with the reasons a port cannot
// be used, the rescan when the dialog opens, accepting, cancelling and a port taken
// since the scan. A pulled line, a replug and a port held by another open are in the
// end-to-end tests.
#include "support/FakeConnectionHost.h"
#include "support/FakeLinkPort.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QtTest>

class TestConnectionForm : public QObject {
    Q_OBJECT

private:
    struct Line {
        ManualClock clock;
        FakeLinkPort port{clock};
    };
    struct Rig : Line, ConnectionRig {
        explicit Rig(QSet<int> free) : ConnectionRig(port) {
            lang.setText(55, QStringLiteral("Unable to open port %1: %2."));
            lang.setText(107, QStringLiteral("No free port"));
            port.freePorts = free;
            form.load();
        }
        bool shown(const char* name) { return !child<QWidget>(name)->isHidden(); }
        // The list, each entry marked usable (+) or not (-).
        QStringList items() {
            QComboBox* combo = child<QComboBox>("PortCombo");
            auto* model = qobject_cast<QStandardItemModel*>(combo->model());
            QStringList out;
            for (int i = 0; i < combo->count(); ++i)
                out << (model->item(i)->isEnabled() ? "+" : "-") + combo->itemText(i);
            return out;
        }
        void accept(int n) { acceptPort(form, n); }
    };

private slots:
    void scan() {
        Rig rig({3, 7, 16, 17});
        // COM1..COM16 only; nothing chosen or opened by the scan itself.
        QCOMPARE(rig.items(), QStringList({"+COM3", "+COM7", "+COM16"}));
        QCOMPARE(rig.form.selectedPort(), 0);
        QCOMPARE(rig.status, QStringLiteral("(untouched)"));
        QVERIFY(!rig.port.isOpen()); // every probe closed again
        QVERIFY(!rig.shown("ErrLabel") && !rig.shown("CommandCancel"));
        QVERIFY(rig.prompts.messages.isEmpty());
    }

    void acceptOpensChosenPort() {
        Rig rig({3, 7});
        rig.form.show();
        rig.child<QCheckBox>("Check1")->setChecked(false);
        rig.accept(7);
        QVERIFY(!rig.version && !rig.form.isVisible());
        QVERIFY(rig.form.selectedPort() == 7 && rig.port.portNumber() == 7);
        QCOMPARE(rig.status, QStringLiteral("COM7"));
        QVERIFY(rig.prompts.messages.isEmpty());

        // A port in use is kept by SelectFirstAvailablePort.
        rig.child<QComboBox>("PortCombo")->setCurrentIndex(0);
        rig.form.SelectFirstAvailablePort();
        QCOMPARE(rig.child<QComboBox>("PortCombo")->currentData().toInt(), 7);

        // Taken since the scan: the reason, and back on the port that was in use.
        rig.form.show();
        QComboBox* combo = rig.child<QComboBox>("PortCombo");
        combo->setCurrentIndex(combo->findData(3));
        rig.port.freePorts.remove(3);
        rig.port.refused[3] = LinkPort::OpenFailure::Busy;
        QTest::mouseClick(rig.child<QPushButton>("AcceptCommand"), Qt::LeftButton);
        QCOMPARE(rig.prompts.texts(),
                 QStringList{"Unable to open port COM3: in use by another program."});
        QVERIFY(rig.form.selectedPort() == 7 && rig.port.portNumber() == 7);
        QCOMPARE(rig.status, QStringLiteral("COM7"));
        QVERIFY(rig.form.isVisible()); // for another choice
    }

    // Ports that exist but do not open are listed, disabled, with the reason.
    void unusablePortsListed() {
        Rig rig({5});
        using F = LinkPort::OpenFailure;
        rig.port.refused = {{2, F::NoPermission}, {3, F::Busy}, {4, F::LineSettings}};
        rig.form.RefreshPortList();
        const QString user = qEnvironmentVariable("USER", "$USER");
        QCOMPARE(rig.items(),
                 QStringList({"-COM2 \u2014 no permission: add yourself to the group dialout "
                              "(sudo usermod -aG dialout " +
                                  user + ") and log in again",
                              "-COM3 \u2014 in use by another program",
                              "-COM4 \u2014 the line settings 56000 baud, 8N1 could not be "
                              "applied (Permission error)",
                              "+COM5"}));
        QCOMPARE(rig.child<QComboBox>("PortCombo")->currentData().toInt(), 5); // the first usable
    }

    // Joining a group is advised only for the groups meant for users.
    void permissionHint_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<bool>("joinable");
        QTest::newRow("dialout") << "dialout" << true;
        QTest::newRow("root") << "root" << false;
    }
    void permissionHint() {
        QFETCH(QString, group);
        QFETCH(bool, joinable);
        Rig rig({});
        PortEntry entry;
        entry.state = PortEntry::State::NoPermission;
        entry.group = group;
        const QString hint = rig.form.reasonText(entry);
        QCOMPARE(hint.contains("usermod -aG " + group), joinable);
        QCOMPARE(hint == rig.lang.LangText(TextId::PortRootOnly), !joinable);
    }

    // Every caption follows a language switch, the buttons beside the list included.
    void retitle() {
        Rig rig({});
        for (TextId id : {TextId::RefreshPorts, TextId::KeepAdapterAs})
            rig.lang.setText(int(id), QStringLiteral("T%1").arg(int(id)));
        rig.form.retitle();
        QCOMPARE(rig.child<QPushButton>("RefreshCommand")->text(), "T18");
        QCOMPARE(rig.child<QPushButton>("KeepAdapterCommand")->text(), "T19");
    }

    // Opening the dialog looks again: a port plugged in since is offered, the choice
    // stays, and a port that went away says so.
    void rescanWhenShown() {
        Rig rig({3});
        rig.accept(3);
        rig.port.freePorts << 9;
        rig.form.show();
        QComboBox* combo = rig.child<QComboBox>("PortCombo");
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->currentData().toInt(), 3);
        rig.form.hide();
        rig.port.freePorts.remove(9);
        rig.form.show();
        QCOMPARE(combo->itemText(1), QStringLiteral("COM9 \u2014 gone: the adapter was unplugged "
                                                    "or the device went away"));
        QCOMPARE(combo->currentData().toInt(), 3);
        rig.form.hide();
        rig.form.show(); // gone for two looks: no longer listed
        QCOMPARE(combo->count(), 1);
    }

    void keepAdapter() {
        Rig rig({1, 5});
        rig.port.adapters[5] = QStringLiteral("/dev/serial/by-id/usb-X");
        rig.form.RefreshPortList();
        QComboBox* combo = rig.child<QComboBox>("PortCombo");
        QComboBox* number = rig.child<QComboBox>("KeepNumberCombo");
        number->setCurrentIndex(number->findData(3));
        auto* keep = rig.child<QPushButton>("KeepAdapterCommand");
        QTest::mouseClick(keep, Qt::LeftButton); // COM1 has no stable name
        QCOMPARE(rig.prompts.texts(), QStringList{rig.lang.LangText(TextId::NoStableName)});
        combo->setCurrentIndex(combo->findData(5));
        QTest::mouseClick(keep, Qt::LeftButton);
        QCOMPARE(rig.port.kept, QStringList{"/dev/serial/by-id/usb-X=COM3"});
        QCOMPARE(combo->currentData().toInt(), 3); // offered under its new number
    }

    void noFreePortThenCancelAndCloseBox() {
        Rig rig({});
        QCOMPARE(rig.prompts.texts(), QStringList{"No free port"});
        QVERIFY(rig.shown("ErrLabel") && rig.shown("CommandCancel"));
        QVERIFY(!rig.shown("PortCombo") && !rig.shown("AcceptCommand"));
        rig.port.freePorts = {4}; // neither choice may open it
        rig.form.SelectFirstAvailablePort();
        rig.form.show();
        rig.child<QCheckBox>("Check1")->setChecked(false);
        QTest::mouseClick(rig.child<QPushButton>("CommandCancel"), Qt::LeftButton);
        QVERIFY(!rig.form.isVisible());
        rig.form.show();
        rig.form.close();
        QVERIFY(!rig.form.isVisible());
        QVERIFY(rig.version);
        // A cancelled tick is not the flag in use: the next opening shows the flag.
        QVERIFY(rig.child<QCheckBox>("Check1")->isChecked());
        QCOMPARE(rig.form.selectedPort(), 0);
        QVERIFY(!rig.port.isOpen());
    }
};

QTEST_MAIN(TestConnectionForm)
#include "tst_connectionform.moc"
