#include "platform/QtPrompts.h"

#include <QFileDialog>
#include <QMessageBox>

void QtPrompts::message(Icon icon, const QString& title, const QString& text) {
    QMessageBox box(m_parent);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    box.setWindowTitle(title);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool QtPrompts::confirm(const QString& title, const QString& text) {
    return QMessageBox::question(m_parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString QtPrompts::openFileName(const QString& title, const QString& pattern) {
    return QFileDialog::getOpenFileName(m_parent, title, QString(), pattern);
}

QString QtPrompts::saveFileName(const QString& title, const QString& pattern) {
    // The program asks about overwriting itself, in the user's language.
    return QFileDialog::getSaveFileName(m_parent, title, QString(), pattern, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}
