#pragma once
// The frame "FrameSeyirPars": a slider and a text box for each of the ten travel
// parameters. The controls store nothing: they hand every change to the parameter
// setter, and the travel page mirrors what the setter stored back into them.
#include "lang/TextId.h"

#include <QGroupBox>
#include <array>

class LangModule;
class ParamModule;
class QLabel;
class QLineEdit;
class QSlider;

class TravelParsPanel : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int Count = 10;

    explicit TravelParsPanel(ParamModule& params, QWidget* parent = nullptr);

    // Slider ranges from the catalogue limits in hundredths, ticks a tenth of the
    // range apart. Sliders whose parameter the catalogue lacks keep their defaults.
    void setUpRanges();
    // Shows a stored value in the slider, its pop-up text and the text box of `id`.
    // False when `id` is none of the ten.
    bool mirror(const QString& id, float value);
    void retitle(const LangModule& lang);

    QSlider* slider(const QString& id) const;
    QLineEdit* textBox(const QString& id) const;

private:
    struct Control {
        QString id;
        QString unit; // pop-up suffix
        TextId caption;
        QLabel* label = nullptr;
        QSlider* slider = nullptr;
        QLineEdit* text = nullptr;
    };

    int indexOf(const QString& id) const;
    void sliderChanged(int i, int position);
    void textLeft(int i);
    // Sets the parameter, then shows what the setter kept: a refused value must not
    // stay in the control that offered it.
    void forward(int i, float value);

    ParamModule& m_params;
    std::array<Control, Count> m_controls;
};
