// The real message boxes: a short text must not cut the title.
#include "platform/QtPrompts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

class TestQtPrompts : public QObject {
    Q_OBJECT

private slots:
    void wholeTitleFits_data() {
        QTest::addColumn<bool>("question");
        QTest::newRow("message") << false;
        QTest::newRow("question") << true;
    }
    void wholeTitleFits() {
        QFETCH(bool, question);
        const QString title =
            QStringLiteral("ORVAN-Quvera service tool for lift inverters, edition two");
        int width = 0;
        int titleWidth = 0;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            width = box->width();
            titleWidth = QFontMetrics(box->font()).horizontalAdvance(title);
            box->done(QMessageBox::No);
        });
        QtPrompts prompts;
        if (question)
            prompts.confirm(title, QStringLiteral("?"));
        else
            prompts.critical(title, QStringLiteral("Bad Checksum"));
        QVERIFY(titleWidth > 0);
        // Beside the title, the title bar holds its icon and buttons.
        QVERIFY2(width > titleWidth + 100,
                 qPrintable(QString("%1 <= %2").arg(width).arg(titleWidth)));
    }
};

QTEST_MAIN(TestQtPrompts)
#include "tst_qtprompts.moc"
