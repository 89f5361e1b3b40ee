#include "platform/QtPrompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace {

// A message box sizes itself by its text; a short text ("Bad Checksum") left the
// title cut. Room for the whole title plus the title bar's buttons.
void fitTitle(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    const int width = QFontMetrics(box.font()).horizontalAdvance(box.windowTitle()) + 140;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

} // namespace

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
    fitTitle(box);
    box.exec();
}

bool QtPrompts::confirm(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(QMessageBox::No);
    fitTitle(box);
    return box.exec() == QMessageBox::Yes;
}

Prompts::Choice QtPrompts::askSave(const QString& title, const QString& text, const QString& save,
                                   const QString& discard, const QString& cancel) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, m_parent);
    QPushButton* saveButton = box.addButton(save, QMessageBox::AcceptRole);
    QPushButton* discardButton = box.addButton(discard, QMessageBox::DestructiveRole);
    QPushButton* cancelButton = box.addButton(cancel, QMessageBox::RejectRole);
    box.setDefaultButton(cancelButton);
    box.setEscapeButton(cancelButton);
    fitTitle(box);
    box.exec();
    if (box.clickedButton() == saveButton)
        return Choice::Save;
    if (box.clickedButton() == discardButton)
        return Choice::Discard;
    return Choice::Cancel;
}

QString QtPrompts::openFileName(const QString& title, const QString& pattern) {
    return QFileDialog::getOpenFileName(m_parent, title, QString(), pattern);
}

bool QtPrompts::openUrl(const QString& address) {
    return QDesktopServices::openUrl(QUrl(address));
}

QString QtPrompts::saveFileName(const QString& title, const QString& pattern) {
    // The program asks about overwriting itself, in the user's language.
    return QFileDialog::getSaveFileName(m_parent, title, QString(), pattern, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}
