#pragma once
// The small window that shows how far a parameter transfer has come.
#include "transfer/ParamTransfer.h"

#include <QWidget>

class QLabel;
class QProgressBar;

class ProgressForm : public QWidget, public TransferProgress {
    Q_OBJECT
public:
    // `mainWindow` lends its title when the form loses the focus.
    explicit ProgressForm(QWidget* mainWindow = nullptr);

    void showProgress(const QString& label) override;
    void setProgress(int percent) override;
    void hideProgress() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* m_mainWindow;
    QLabel* m_caption = nullptr;
    QProgressBar* m_bar = nullptr;
};
