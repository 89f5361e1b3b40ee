#include "transfer/ProgressForm.h"

#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

ProgressForm::ProgressForm(QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("ProgressForm"));
    setWindowModality(Qt::NonModal);
    m_caption = new QLabel(this);
    m_caption->setObjectName(QStringLiteral("Label1"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setRange(0, 100);
    m_bar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_bar);
    setMinimumWidth(320);
}

void ProgressForm::showProgress(const QString& label) {
    m_caption->setText(label);
    m_bar->setValue(0);
    show();
}

void ProgressForm::setProgress(int percent) {
    m_bar->setValue(qBound(0, percent, 100));
}

void ProgressForm::hideProgress() {
    hide();
}

void ProgressForm::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && m_mainWindow) {
        setWindowTitle(m_mainWindow->window()->windowTitle());
        update();
    }
}
