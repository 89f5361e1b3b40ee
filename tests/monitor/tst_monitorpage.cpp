// The monitor page on an in-memory line: what a tick reads and shows, the timers,
// the blinking status-bar warning and the re-titling of the value frames.
#include "FakeLinkPort.h"
#include "LangModule.h"
#include "LanguageUi.h"
#include "MonitorPage.h"
#include "ProtocolModule.h"
#include "RecordingPrompts.h"

#include <QGroupBox>
#include <QLabel>
#include <QtTest>

class TestMonitorPage : public QObject {
    Q_OBJECT

private:
    struct Rig {
        ManualClock clock;
        FakeLinkPort port{clock};
        ProtocolModule protocol{port, clock, [this] { clock.advance(0.001); },
                                [this](double s) { clock.advance(s); }};
        RecordingPrompts prompts;
        LangModule lang{QString(), prompts};
        int selected = 1;
        bool identical = false;
        QString panel2;
        MonitorPage page{protocol,
                         lang,
                         {[this] { return selected; }, [this] { return identical; },
                          [this](const QString& t) { panel2 = t; }}};
        Rig() {
            port.freePorts = {1};
            port.open(1);
        }
        QStringList shown() const {
            QStringList out;
            for (const char* name : {"LabelVValue", "LabelAValue", "LabelIValue"})
                out << page.findChild<QLabel*>(name)->text();
            return out;
        }
    };

private slots:
    void tick() {
        QLocale::setDefault(QLocale::c());
        Rig rig;
        auto* timer = rig.page.findChild<QTimer*>(QStringLiteral("Timer1"));
        QVERIFY(!timer->isActive()); // until start-up enables it
        const QByteArray frame = QByteArray::fromHex("ff012c0064000a9b");
        rig.port.rx = frame;
        rig.selected = 0;
        rig.page.Timer1_Timer();
        QCOMPARE(rig.port.rx.size(), 8); // no port in use: the line is left alone
        QVERIFY(timer->isActive());
        rig.selected = 1;
        rig.page.Timer1_Timer();
        QCOMPARE(rig.shown(), QStringList({"0.30", "0.10", "1.00"}));
        rig.port.rx = frame.left(7);
        rig.page.Timer1_Timer();
        QCOMPARE(rig.port.rx.size(), 7);
        QCOMPARE(rig.shown(), QStringList({"...", "...", "..."}));
        QCOMPARE(rig.page.state().SpeedRaw, 300); // the values stay for the chart
        QVERIFY(timer->isActive() && timer->isSingleShot());
    }

    void secondTickAndTitles() {
        Rig rig;
        rig.lang.setText(104, QStringLiteral("FARKLI"));
        QStringList panel;
        for (bool identical : {false, false, true, true}) {
            rig.identical = identical;
            rig.page.Timer_1Sec_Timer();
            panel << rig.panel2;
        }
        QCOMPARE(panel, QStringList({"FARKLI", "", "", ""}));

        rig.lang.setText(80, QStringLiteral("ACC"));
        rig.lang.setText(81, QStringLiteral("SPEED"));
        rig.lang.setText(82, QStringLiteral("AMPS"));
        LanguageUi::applyToWindow(&rig.page, rig.lang);
        QStringList titles;
        for (const char* name : {"FrameVValue", "FrameAValue", "FrameIValue"})
            titles << rig.page.findChild<QGroupBox*>(name)->title();
        QCOMPARE(titles, QStringList({"SPEED", "ACC", "AMPS"}));
    }
};

QTEST_MAIN(TestMonitorPage)
#include "tst_monitorpage.moc"
