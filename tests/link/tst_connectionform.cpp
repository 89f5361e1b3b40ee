// The connection dialog on a fake line: the port scan, accepting, cancelling, a port
// taken since the scan, and a line that goes down.
#include "ConnectionForm.h"
#include "FakeLinkPort.h"
#include "LangModule.h"
#include "ProtocolModule.h"
#include "RecordingPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

class FakeConnectionHost final : public ConnectionHost {
public:
    bool versionGt826() const override { return version; }
    void setVersionGt826(bool on) override { version = on; }
    void setPortStatus(const QString& text) override { status = text; }
    QString mainTitle() const override { return QStringLiteral("ORVAN-Quvera"); }
    bool version = true;
    QString status = QStringLiteral("(untouched)");
};

} // namespace

class TestConnectionForm : public QObject {
    Q_OBJECT

private:
    struct Rig {
        ManualClock clock;
        FakeLinkPort port{clock};
        RecordingPrompts prompts;
        LangModule lang{QString(), prompts};
        FakeConnectionHost host;
        ProtocolModule protocol{port, clock, [] {}, [this](double s) { clock.advance(s); }};
        ConnectionForm form{port, protocol, lang, prompts, host};

        explicit Rig(QSet<int> free, QSet<int> busy = {}) {
            lang.setText(55, QStringLiteral("Unable to open port %1: %2."));
            lang.setText(56, QStringLiteral("Lost %1 (%2)."));
            lang.setText(102, QStringLiteral("OK"));
            lang.setText(107, QStringLiteral("No free port"));
            lang.setText(108, QStringLiteral("No port"));
            port.freePorts = free;
            port.busyPorts = busy;
            form.load();
        }
        template <typename T> T* child(const char* name) {
            return form.findChild<T*>(QString::fromLatin1(name));
        }
        void choose(int n) {
            QComboBox* combo = child<QComboBox>("PortCombo");
            combo->setCurrentIndex(combo->findData(n));
        }
        void accept() { QTest::mouseClick(child<QPushButton>("AcceptCommand"), Qt::LeftButton); }
    };

private slots:
    void scanOffersFreePortsUpToCom16() {
        Rig rig({3, 7, 16, 17}, {5});
        QComboBox* combo = rig.child<QComboBox>("PortCombo");
        QCOMPARE(combo->count(), 3);
        QCOMPARE(combo->itemText(0), QStringLiteral("COM3"));
        QCOMPARE(combo->itemText(2), QStringLiteral("COM16"));
        QCOMPARE(combo->itemData(1).toInt(), 7);
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(rig.form.selectedPort(), 0);
        QCOMPARE(rig.host.status, QStringLiteral("(untouched)"));
        QVERIFY(!rig.port.isOpen()); // every probe closed again
        QVERIFY(rig.child<QLabel>("ErrLabel")->isHidden());
        QVERIFY(rig.child<QPushButton>("CommandCancel")->isHidden());
        QVERIFY(!rig.child<QPushButton>("AcceptCommand")->isHidden());
        QCOMPARE(rig.child<QPushButton>("AcceptCommand")->text(), QStringLiteral("OK"));
        QVERIFY(rig.child<QCheckBox>("Check1")->isChecked());
        QVERIFY(rig.prompts.messages.isEmpty());
    }

    void noFreePort() {
        Rig rig({}, {1, 2});
        QCOMPARE(rig.prompts.texts(), QStringList{"No free port"});
        QCOMPARE(rig.prompts.messages.first().icon, Prompts::Icon::None);
        QVERIFY(!rig.child<QLabel>("ErrLabel")->isHidden());
        QVERIFY(rig.child<QComboBox>("PortCombo")->isHidden());
        QVERIFY(!rig.child<QPushButton>("CommandCancel")->isHidden());
        QVERIFY(rig.child<QPushButton>("AcceptCommand")->isHidden());
        rig.form.SelectFirstAvailablePort();
        QCOMPARE(rig.form.selectedPort(), 0);
    }

    void acceptOpensChosenPort() {
        Rig rig({3, 7});
        rig.form.show();
        rig.choose(7);
        rig.child<QCheckBox>("Check1")->setChecked(false);
        rig.accept();
        QVERIFY(!rig.host.version);
        QCOMPARE(rig.form.selectedPort(), 7);
        QCOMPARE(rig.host.status, QStringLiteral("COM7"));
        QCOMPARE(rig.port.portNumber(), 7);
        QVERIFY(!rig.form.isVisible());
        QVERIFY(rig.prompts.messages.isEmpty());

        // The same port again: received bytes discarded, port opened afresh.
        rig.port.rx = "stale";
        const int opens = rig.port.opens;
        rig.form.show();
        rig.accept();
        QVERIFY(rig.port.rx.isEmpty());
        QCOMPARE(rig.port.opens, opens + 1);
        QCOMPARE(rig.port.portNumber(), 7);
    }

    void cancelAndCloseBoxChangeNothing_data() {
        QTest::addColumn<bool>("closeBox");
        QTest::newRow("cancel") << false;
        QTest::newRow("close box") << true;
    }
    void cancelAndCloseBoxChangeNothing() {
        QFETCH(bool, closeBox);
        Rig rig({}, {});
        rig.port.freePorts = {4};
        rig.form.show();
        rig.child<QCheckBox>("Check1")->setChecked(false);
        if (closeBox)
            rig.form.close();
        else
            QTest::mouseClick(rig.child<QPushButton>("CommandCancel"), Qt::LeftButton);
        QVERIFY(!rig.form.isVisible());
        QVERIFY(rig.host.version);
        QVERIFY(!rig.child<QCheckBox>("Check1")->isChecked()); // stays as the user left it
        QCOMPARE(rig.form.selectedPort(), 0);
        QVERIFY(!rig.port.isOpen());
    }

    void portTakenSinceTheScan() {
        Rig rig({3, 7});
        rig.form.show();
        rig.choose(3);
        rig.accept();
        QCOMPARE(rig.form.selectedPort(), 3);
        rig.port.freePorts.remove(7);
        rig.port.busyPorts.insert(7);
        rig.form.show();
        rig.choose(7);
        rig.accept();
        QCOMPARE(rig.prompts.texts(), QStringList{"Unable to open port COM7: Permission error."});
        QCOMPARE(rig.prompts.messages.first().icon, Prompts::Icon::Critical);
        QCOMPARE(rig.prompts.messages.first().title, QStringLiteral("ORVAN-Quvera"));
        QCOMPARE(rig.form.selectedPort(), 3); // back on the port that was in use
        QCOMPARE(rig.port.portNumber(), 3);
        QCOMPARE(rig.host.status, QStringLiteral("COM3"));
        QVERIFY(rig.form.isVisible()); // for another choice

        // With no earlier port to go back to, no port is selected.
        Rig fresh({7});
        fresh.port.freePorts.clear();
        fresh.form.show();
        fresh.accept();
        QCOMPARE(fresh.form.selectedPort(), 0);
        QCOMPARE(fresh.host.status, QStringLiteral("No port"));
    }

    void lostLine() {
        Rig rig({3});
        rig.form.SelectFirstAvailablePort();
        QCOMPARE(rig.form.selectedPort(), 3);
        QCOMPARE(rig.host.status, QStringLiteral("COM3"));
        QVERIFY(rig.port.isOpen());
        rig.port.pullLine(QStringLiteral("unplugged"));
        QCOMPARE(rig.form.selectedPort(), 0);
        QCOMPARE(rig.host.status, QStringLiteral("No port"));
        QVERIFY(!rig.port.isOpen());
        QCOMPARE(rig.prompts.texts(), QStringList{"Lost COM3 (unplugged)."});
        QCOMPARE(rig.prompts.messages.first().icon, Prompts::Icon::Critical);
    }

    void selectFirstAvailableKeepsAChoice() {
        Rig rig({3, 7});
        rig.form.show();
        rig.choose(7);
        rig.accept();
        rig.child<QComboBox>("PortCombo")->setCurrentIndex(0);
        rig.form.SelectFirstAvailablePort();
        QCOMPARE(rig.form.selectedPort(), 7);
        QCOMPARE(rig.child<QComboBox>("PortCombo")->currentData().toInt(), 7);
    }
};

QTEST_MAIN(TestConnectionForm)
#include "tst_connectionform.moc"
