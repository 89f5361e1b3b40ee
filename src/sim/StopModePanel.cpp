#include "sim/StopModePanel.h"

#include "lang/LangModule.h"
#include "lang/LanguageUi.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

// Leaving a distance box runs the stop-mode handler, like a choice in the list.
class FocusOutNotifier : public QObject {
public:
    FocusOutNotifier(QObject* parent, std::function<void()> onLeave)
        : QObject(parent), m_onLeave(std::move(onLeave)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut)
            m_onLeave();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_onLeave;
};

} // namespace

StopModePanel::StopModePanel(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("FrameStopMode"));
    setTitle(QString::fromUtf8("Duruş tipi seçenekleri"));
    LanguageUi::setTag(this, TextId::StopModeOptions);
    auto* form = new QFormLayout(this);
    // Captions go above their boxes when the page is narrow.
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);

    m_mode = new QComboBox(this);
    m_mode->setObjectName(QStringLiteral("ComboStopMode"));
    m_mode->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_mode->setMinimumContentsLength(12);
    m_mode->addItem(QString::fromUtf8("Mesafeye göre yavaşlama/durma"));
    m_mode->addItem(QString::fromUtf8("Hız ve ivmeye göre yavaşlama/durma"));
    m_labels[0] =
        LanguageUi::taggedLabel("Label23", QString::fromUtf8("Duruş tipi"), TextId::StopMode, this);
    form->addRow(m_labels[0], m_mode);
    // Any change of the selection runs the handler: a value loaded from a file or read
    // from the drive must set the boxes' state as a user's choice does.
    connect(m_mode, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            emit changed();
    });

    const struct {
        const char* box;
        const char* label;
        const char* caption;
        TextId tag;
    } rows[] = {
        {"TextSlowingDistance", "Label24", "Yavaşlama mesafesi (cm)", TextId::SlowingDistance},
        {"TextStoppingDistance", "Label25", "Durma mesafesi (cm)", TextId::StoppingDistance},
        {"TextSlowingS", "Label27", "Hesaplanan yavaşlama yumuşatması (m/s3)", TextId::SlowingJerk},
        {"TextStoppingS", "Label26", "Hesaplanan duruş yumuşatması (m/s3)", TextId::StoppingJerk},
    };
    for (int i = 0; i < 4; ++i) {
        m_boxes[i] = new QLineEdit(this);
        m_boxes[i]->setObjectName(QString::fromLatin1(rows[i].box));
        m_boxes[i]->setMinimumWidth(60);
        m_labels[i + 1] = LanguageUi::taggedLabel(rows[i].label, QString::fromUtf8(rows[i].caption),
                                                  rows[i].tag, this);
        form->addRow(m_labels[i + 1], m_boxes[i]);
    }
    // The fitted jerks are results: they can be copied, not typed over.
    for (int i = 2; i < 4; ++i)
        m_boxes[i]->setReadOnly(true);
    for (int i = 0; i < 2; ++i)
        m_boxes[i]->installEventFilter(
            new FocusOutNotifier(m_boxes[i], [this] { emit changed(); }));
}

QLineEdit* StopModePanel::box(StopModeBox which) const {
    return m_boxes[int(which)];
}

int StopModePanel::stopModeIndex() const {
    return m_mode->currentIndex();
}

void StopModePanel::setStopModeIndex(int index) {
    m_mode->setCurrentIndex(index >= 0 && index < m_mode->count() ? index : -1);
}

void StopModePanel::retitle(const LangModule& lang) {
    setTitle(lang.LangText(TextId::StopModeOptions));
    for (QLabel* label : m_labels)
        label->setText(lang.LangText(label->property("tag").toString().toInt()));
    // Renaming the entries keeps the selection; no handler runs.
    const QSignalBlocker blocker(m_mode);
    m_mode->setItemText(0, lang.LangText(TextId::StopByDistance));
    m_mode->setItemText(1, lang.LangText(TextId::StopBySpeed));
}

QString StopModePanel::text(StopModeBox which) const {
    return box(which)->text();
}

void StopModePanel::setText(StopModeBox which, const QString& text) {
    box(which)->setText(text);
}

void StopModePanel::setDistancesEnabled(bool enabled) {
    box(StopModeBox::SlowingDistance)->setEnabled(enabled);
    box(StopModeBox::StoppingDistance)->setEnabled(enabled);
}
