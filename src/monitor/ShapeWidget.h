#pragma once
// A filled shape on a form: a box or a circle in one colour, such as the gauge's bar
// and the recording indicators.
#include <QColor>
#include <QWidget>

class ShapeWidget final : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Box, Circle };

    ShapeWidget(Kind kind, const QColor& fill, QWidget* parent = nullptr);

    QColor fillColor() const { return m_fill; }
    void setFillColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind m_kind;
    QColor m_fill;
};
