#include "params/ParEditText.h"

#include <QFocusEvent>
#include <QKeyEvent>

ParEditText::ParEditText(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("ParEditText"));
}

void ParEditText::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit enterPressed();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        emit escapePressed();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ParEditText::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit focusLost(event->reason());
}
