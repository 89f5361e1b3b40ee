#pragma once
// Prompts shown with QMessageBox and QFileDialog.
#include "platform/Prompts.h"

class QWidget;

class QtPrompts final : public Prompts {
public:
    explicit QtPrompts(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    void message(Icon icon, const QString& title, const QString& text) override;
    bool confirm(const QString& title, const QString& text) override;
    Choice askSave(const QString& title, const QString& text, const QString& save,
                   const QString& discard, const QString& cancel) override;
    QString openFileName(const QString& title, const QString& pattern) override;
    QString saveFileName(const QString& title, const QString& pattern) override;
    bool openUrl(const QString& address) override;

private:
    QWidget* m_parent;
};
