#pragma once
// The About dialog: the edition's logo and product picture, the product title, the
// version and the description from the language pack. Clicking the product picture
// opens the maker's web site.
#include "app/Brand.h"

#include <QDialog>

class LangModule;
class QLabel;

class AboutForm : public QDialog {
    Q_OBJECT
public:
    static inline const QString Version = QStringLiteral("v.2.16");

    // `folder` holds the pictures (icons/ beside the program).
    AboutForm(const LangModule& lang, QString folder, Edition edition, QWidget* mainWindow);

    // The load step, run every time the dialog is shown: title of the main window,
    // the edition's pictures, texts from the pack.
    void load();

signals:
    void productPictureClicked();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const LangModule& m_lang;
    QString m_folder;
    Edition m_edition;
    QWidget* m_mainWindow;
    QLabel* m_logo = nullptr;    // picIcon
    QLabel* m_product = nullptr; // Image1
    QLabel* m_title = nullptr;   // lblTitle
    QLabel* m_version = nullptr; // lblVersion
    QLabel* m_description = nullptr;
};
