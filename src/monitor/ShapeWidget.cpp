#include "monitor/ShapeWidget.h"

#include <QPainter>

ShapeWidget::ShapeWidget(Kind kind, const QColor& fill, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_fill(fill) {}

void ShapeWidget::setFillColor(const QColor& color) {
    if (color == m_fill)
        return;
    m_fill = color;
    update();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_kind == Kind::Box) {
        p.fillRect(rect(), m_fill);
        return;
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(m_fill);
    p.drawEllipse(rect().adjusted(1, 1, -1, -1));
}
