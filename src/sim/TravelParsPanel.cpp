#include "sim/TravelParsPanel.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "params/ParamModule.h"
#include "platform/NumberText.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

namespace {

struct Design {
    const char16_t* id;
    const char* slider;
    const char* text;
    const char* label;
    const char16_t* caption;
    TextId tag;
    const char16_t* unit;
};

// In the order of their rows: speeds and accelerations on the left, jerks on the right.
const Design kDesign[TravelParsPanel::Count] = {
    {u"V3", "ViSlider3", "ViText3", "Label5", u"Yüksek Hız       (V3)", TextId::LabelV3, u" m/s"},
    {u"V2", "ViSlider2", "ViText2", "Label11", u"Ara Hız             (V2)", TextId::LabelV2,
     u" m/s"},
    {u"V1", "ViSlider1", "ViText1", "Label18", u"Revizyon Hızı   (V1)", TextId::LabelV1, u" m/s"},
    {u"V0", "ViSlider0", "ViText0", "Label12", u"Düşük Hız        (V0)", TextId::LabelV0, u" m/s"},
    {u"PA", "AcaSlider", "aiText0", "Label4", u"Hızlanma İvmesi     (PA)", TextId::LabelPA,
     u" m/s²"},
    {u"NA", "AcBSlider", "aiText1", "Label10", u"Yavaşlama İvmesi  (NA)", TextId::LabelNA,
     u" m/s²"},
    {u"S1", "s1Slider", "s1Text", "Label6", u"Eğri1 (S1)", TextId::LabelS1, u" m/s³"},
    {u"S2", "s2Slider", "s2Text", "Label7", u"Eğri2 (S2)", TextId::LabelS2, u" m/s³"},
    {u"S3", "s3Slider", "s3Text", "Label8", u"Eğri3 (S3)", TextId::LabelS3, u" m/s³"},
    {u"S4", "s4Slider", "s4Text", "Label9", u"Eğri4 (S4)", TextId::LabelS4, u" m/s³"},
};
constexpr int kLeftRows = 6;

// A wrapping caption still needs its longest word whole.
void setCaption(QLabel* label, const QString& text) {
    label->setText(text);
    int widest = 0;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts))
        widest = std::max(widest, label->fontMetrics().horizontalAdvance(word));
    label->setMinimumWidth(widest);
}

int position(float value) {
    return int(NumberText::roundHalfEven(double(value) * 100.0));
}

} // namespace

TravelParsPanel::TravelParsPanel(ParamModule& params, QWidget* parent)
    : QGroupBox(parent), m_params(params) {
    setObjectName(QStringLiteral("FrameSeyirPars"));
    setTitle(QString::fromUtf8("Seyir Parametreleri"));
    LanguageUi::setTag(this, TextId::FrameTravelParams);
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(2);
    for (int i = 0; i < Count; ++i) {
        const Design& d = kDesign[i];
        Control& c = m_controls[std::size_t(i)];
        c.id = QString::fromUtf16(d.id);
        c.unit = QString::fromUtf16(d.unit);
        c.caption = d.tag;
        c.label = new QLabel(this);
        setCaption(c.label, QString::fromUtf16(d.caption));
        c.label->setObjectName(QString::fromLatin1(d.label));
        LanguageUi::setTag(c.label, d.tag);
        // Long captions wrap, so the page still fits a window of the minimum size.
        c.label->setWordWrap(true);
        c.slider = new QSlider(Qt::Horizontal, this);
        c.slider->setObjectName(QString::fromLatin1(d.slider));
        c.slider->setTickPosition(QSlider::TicksBelow);
        c.slider->setMinimumWidth(50);
        c.text = new QLineEdit(this);
        c.text->setObjectName(QString::fromLatin1(d.text));
        c.text->setMinimumWidth(40);
        c.text->setMaximumWidth(70);
        const int row = i < kLeftRows ? i : i - kLeftRows;
        const int column = i < kLeftRows ? 0 : 3;
        grid->addWidget(c.label, row, column);
        grid->addWidget(c.slider, row, column + 1);
        grid->addWidget(c.text, row, column + 2);
        // Every change while dragging goes on, so the plots follow the hand.
        connect(c.slider, &QSlider::valueChanged, this,
                [this, i](int value) { sliderChanged(i, value); });
        connect(c.text, &QLineEdit::editingFinished, this, [this, i] { textLeft(i); });
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
}

int TravelParsPanel::indexOf(const QString& id) const {
    for (int i = 0; i < Count; ++i)
        if (m_controls[std::size_t(i)].id == id)
            return i;
    return -1;
}

QSlider* TravelParsPanel::slider(const QString& id) const {
    const int i = indexOf(id);
    return i < 0 ? nullptr : m_controls[std::size_t(i)].slider;
}

QLineEdit* TravelParsPanel::textBox(const QString& id) const {
    const int i = indexOf(id);
    return i < 0 ? nullptr : m_controls[std::size_t(i)].text;
}

void TravelParsPanel::setUpRanges() {
    for (const ParamDef& def : m_params.ParamCatalogue) {
        const int i = indexOf(def.id);
        if (i < 0)
            continue;
        QSlider* s = m_controls[std::size_t(i)].slider;
        // Ranges are storage, not a user's move: nothing may reach the setter.
        const QSignalBlocker blocker(s);
        s->setMaximum(1000000);
        s->setMinimum(0);
        s->setMinimum(position(def.minValue));
        s->setMaximum(position(def.maxValue));
        s->setTickInterval(
            int(NumberText::roundHalfEven((double(s->maximum()) - s->minimum()) / 10.0)));
    }
}

bool TravelParsPanel::mirror(const QString& id, float value) {
    const int i = indexOf(id);
    if (i < 0)
        return false;
    const Control& c = m_controls[std::size_t(i)];
    {
        const QSignalBlocker blocker(c.slider);
        c.slider->setValue(position(value));
    }
    c.slider->setToolTip(NumberText::general(value) + c.unit);
    c.text->setText(NumberText::general(value));
    return true;
}

void TravelParsPanel::retitle(const LangModule& lang) {
    setTitle(lang.LangText(TextId::FrameTravelParams));
    for (const Control& c : m_controls)
        setCaption(c.label, lang.LangText(c.caption));
}

void TravelParsPanel::sliderChanged(int i, int value) {
    // V0 stays below V3 by at least one step of the sliders.
    const QString& id = m_controls[std::size_t(i)].id;
    if (id == u"V0") {
        const int v3 = slider(QStringLiteral("V3"))->value();
        if (value >= v3)
            value = v3 - 1;
    } else if (id == u"V3") {
        const int v0 = slider(QStringLiteral("V0"))->value();
        if (value <= v0)
            value = v0 + 1;
    }
    forward(i, float(value) / 100.0f);
}

void TravelParsPanel::textLeft(int i) {
    // Not a number reads as 0, which the catalogue then checks.
    forward(i, NumberText::typedValue(m_controls[std::size_t(i)].text->text()));
}

void TravelParsPanel::forward(int i, float value) {
    const QString id = m_controls[std::size_t(i)].id;
    if (!m_params.setById(id, value))
        return;
    mirror(id, m_params.valueById(id, value));
}
