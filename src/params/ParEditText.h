#pragma once
// The edit box laid over a value cell of the parameter grid. It reports Enter,
// Escape and the loss of the focus; what they mean is the grid's business.
#include <QLineEdit>

class ParEditText : public QLineEdit {
    Q_OBJECT
public:
    explicit ParEditText(QWidget* parent = nullptr);

signals:
    void enterPressed();
    void escapePressed();
    void focusLost(Qt::FocusReason reason);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
