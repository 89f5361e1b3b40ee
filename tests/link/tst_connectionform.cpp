// The connection dialog on a fake line: the port scan, accepting, cancelling and a
// port taken since the scan. A pulled line and a busy port are in the end-to-end tests.
#include "lang/LangModule.h"
#include "link/ConnectionForm.h"
#include "link/ProtocolModule.h"
#include "support/FakeLinkPort.h"
#include "support/RecordingPrompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QtTest>

class TestConnectionForm : public QObject {
    Q_OBJECT

private:
    struct Rig : ConnectionHost {
        ManualClock clock;
        FakeLinkPort port{clock};
        RecordingPrompts prompts;
        LangModule lang{QString()};
        ProtocolModule protocol{port, clock, [] {}, [this](double s) { clock.advance(s); }};
        ConnectionForm form{port, protocol, lang, prompts, *this};
        bool version = true;
        QString status = QStringLiteral("(untouched)");

        explicit Rig(QSet<int> free) {
            lang.setText(55, QStringLiteral("Unable to open port %1: %2."));
            lang.setText(107, QStringLiteral("No free port"));
            port.freePorts = free;
            form.load();
        }
        bool versionGt826() const override { return version; }
        void setVersionGt826(bool on) override { version = on; }
        void setPortStatus(const QString& text) override { status = text; }
        QString mainTitle() const override { return QStringLiteral("Title"); }

        template <typename T> T* child(const char* name) {
            return form.findChild<T*>(QString::fromLatin1(name));
        }
        bool shown(const char* name) { return !child<QWidget>(name)->isHidden(); }
        void accept(int n) {
            QComboBox* combo = child<QComboBox>("PortCombo");
            combo->setCurrentIndex(combo->findData(n));
            form.show();
            QTest::mouseClick(child<QPushButton>("AcceptCommand"), Qt::LeftButton);
        }
    };

private slots:
    void scan() {
        Rig rig({3, 7, 16, 17});
        // COM1..COM16 only; nothing chosen or opened by the scan itself.
        QComboBox* combo = rig.child<QComboBox>("PortCombo");
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i) + u'=' + combo->itemData(i).toString();
        QCOMPARE(items, QStringList({"COM3=3", "COM7=7", "COM16=16"}));
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
        rig.port.freePorts.remove(3);
        rig.accept(3);
        QCOMPARE(rig.prompts.texts(), QStringList{"Unable to open port COM3: Permission error."});
        QVERIFY(rig.form.selectedPort() == 7 && rig.port.portNumber() == 7);
        QCOMPARE(rig.status, QStringLiteral("COM7"));
        QVERIFY(rig.form.isVisible()); // for another choice
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
