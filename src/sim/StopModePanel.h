#pragma once
// The frame "FrameStopMode" of the travel page: the stop-mode list and the four
// boxes that store the distances and fitted jerks for the model.
#include "sim/StopModeControls.h"

#include <QGroupBox>

class LangModule;
class QComboBox;
class QLabel;
class QLineEdit;

class StopModePanel : public QGroupBox, public StopModeControls {
    Q_OBJECT
public:
    explicit StopModePanel(QWidget* parent = nullptr);
    // The stop-mode list's entries from the pack (the tagged captions are re-titled
    // with the window).
    void retitle(const LangModule& lang);

    int stopModeIndex() const override;
    void setStopModeIndex(int index) override;
    QString text(StopModeBox box) const override;
    void setText(StopModeBox box, const QString& text) override;
    void setDistancesEnabled(bool enabled) override;

signals:
    // The stop-mode list changed, whoever changed it, or the user left a distance box.
    void changed();

private:
    QLineEdit* box(StopModeBox which) const;

    QComboBox* m_mode;
    QLineEdit* m_boxes[4];
    QLabel* m_labels[5];
};
