#include "monitor/MonitorPage.h"

#include "lang/LanguageUi.h"
#include "monitor/MonitorFrame.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QLabel* addValueFrame(QHBoxLayout* row, const QString& frameName, int tag, const QString& caption,
                      const QString& labelName) {
    auto* frame = new QGroupBox(caption);
    frame->setObjectName(frameName);
    LanguageUi::setTag(frame, tag);
    auto* label = new QLabel(QStringLiteral("..."), frame);
    label->setObjectName(labelName);
    label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    (new QVBoxLayout(frame))->addWidget(label);
    row->addWidget(frame);
    return label;
}

} // namespace

MonitorPage::MonitorPage(ProtocolModule& protocol, Host host, QWidget* parent)
    : QWidget(parent), m_protocol(protocol), m_host(std::move(host)) {
    setObjectName(QStringLiteral("MonitorPage"));
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->addStretch(1); // the chart goes here
    auto* values = new QHBoxLayout;
    m_speed = addValueFrame(values, QStringLiteral("FrameVValue"), 81, QStringLiteral("HIZ  (m/s)"),
                            QStringLiteral("LabelVValue"));
    m_accel =
        addValueFrame(values, QStringLiteral("FrameAValue"), 80,
                      QStringLiteral("\u0130VME  (m/s\u00b2)"), QStringLiteral("LabelAValue"));
    m_current =
        addValueFrame(values, QStringLiteral("FrameIValue"), 82,
                      QStringLiteral("MOTOR AKIMI  (amper)"), QStringLiteral("LabelIValue"));
    values->addStretch(1);
    page->addLayout(values);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(TickMs);
    connect(m_timer1, &QTimer::timeout, this, &MonitorPage::Timer1_Timer);

    m_timer1Sec = new QTimer(this);
    m_timer1Sec->setObjectName(QStringLiteral("Timer_1Sec"));
    m_timer1Sec->setInterval(1000);
    connect(m_timer1Sec, &QTimer::timeout, this, &MonitorPage::Timer_1Sec_Timer);
    m_timer1Sec->start();
}

void MonitorPage::start() {
    m_timer1->start();
}

void MonitorPage::Timer1_Timer() {
    m_timer1->stop();
    if (m_host.selectedPort() != 0) {
        const bool arrived = MonitorFrame::drain(m_protocol, m_state);
        const MonitorFrame::Texts texts = MonitorFrame::labelTexts(m_state, arrived);
        m_speed->setText(texts.speed);
        m_accel->setText(texts.accel);
        m_current->setText(texts.current);
        for (QLabel* label : {m_speed, m_accel, m_current})
            label->repaint();
    }
    m_timer1->start();
}

void MonitorPage::Timer_1Sec_Timer() {
    m_state.BlinkPhase = !m_state.BlinkPhase;
    m_host.showDifferWarning(!m_host.flashParamsIdentical() && m_state.BlinkPhase);
}
