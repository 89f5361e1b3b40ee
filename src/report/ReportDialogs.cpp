#include "report/ReportDialogs.h"

#include "lang/LangModule.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

std::optional<SiteEntry> QtReportPrompts::askSite(const SiteEntry& last) {
    QDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("ReportSiteDialog"));
    dialog.setWindowTitle(m_lang.LangText(TextId::ReportTitle));
    auto* form = new QFormLayout(&dialog);
    auto line = [&](const char* name, TextId label, const QString& text) {
        auto* edit = new QLineEdit(text, &dialog);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setMinimumWidth(360);
        form->addRow(m_lang.LangText(label), edit);
        return edit;
    };
    QLineEdit* site = line("ReportSite", TextId::ReportSite, last.site);
    QLineEdit* lift = line("ReportLift", TextId::ReportLift, last.lift);
    QLineEdit* technician = line("ReportTechnician", TextId::ReportTechnician, last.technician);
    auto* note = new QPlainTextEdit(last.note, &dialog);
    note->setObjectName(QStringLiteral("ReportNote"));
    note->setTabChangesFocus(true);
    form->addRow(m_lang.LangText(TextId::ReportNote), note);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(m_lang.LangText(TextId::Ok));
    buttons->button(QDialogButtonBox::Cancel)->setText(m_lang.LangText(TextId::Cancel));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return SiteEntry{site->text(), lift->text(), technician->text(), note->toPlainText()};
}

void QtReportPrompts::preview(ReportPreviewHost& host) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
    QDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("ReportPreview"));
    dialog.setWindowTitle(m_lang.LangText(TextId::ReportTitle));
    dialog.resize(900, 1000);
    auto* layout = new QVBoxLayout(&dialog);
    auto* pages = new QPrintPreviewWidget(&printer, &dialog);
    pages->setZoomMode(QPrintPreviewWidget::FitToWidth);
    QObject::connect(pages, &QPrintPreviewWidget::paintRequested, &dialog,
                     [&host](QPrinter* device) { host.paint(*device); });
    layout->addWidget(pages, 1);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* save =
        buttons->addButton(m_lang.LangText(TextId::ReportSavePdf), QDialogButtonBox::ActionRole);
    QPushButton* print =
        buttons->addButton(m_lang.LangText(TextId::ReportPrint), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    QObject::connect(save, &QPushButton::clicked, &dialog, [&host] { host.savePdf(); });
    QObject::connect(print, &QPushButton::clicked, &dialog, [&] {
        QPrintDialog ask(&printer, &dialog);
        if (ask.exec() == QDialog::Accepted)
            pages->print();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
}

QString QtReportPrompts::savePdfName(const QString& suggested) {
    return QFileDialog::getSaveFileName(m_parent, m_lang.LangText(TextId::ReportSavePdf), suggested,
                                        QStringLiteral("PDF (*.pdf)"), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}
