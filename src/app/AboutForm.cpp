#include "app/AboutForm.h"

#include "app/Brand.h"
#include "lang/LangModule.h"
#include "lang/LanguageUi.h"
#include "platform/ProgramFolder.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

namespace {

QLabel* namedLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

void showPicture(QLabel* label, const QString& folder, const QString& relative) {
    const QString path = ProgramFolder::findIgnoringCase(folder, relative);
    label->setPixmap(path.isEmpty() ? QPixmap() : QPixmap(path));
}

} // namespace

AboutForm::AboutForm(const LangModule& lang, QString folder, Edition edition, QWidget* mainWindow)
    : QDialog(mainWindow), m_lang(lang), m_folder(std::move(folder)), m_edition(edition),
      m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("AboutForm"));
    setModal(true);
    m_logo = namedLabel("picIcon", this);
    m_product = namedLabel("Image1", this);
    m_product->setCursor(Qt::PointingHandCursor);
    m_product->installEventFilter(this);
    m_title = namedLabel("lblTitle", this);
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.6);
    titleFont.setBold(true);
    m_title->setFont(titleFont);
    m_title->setText(QStringLiteral("ORVAN -  Quvera"));
    m_version = namedLabel("lblVersion", this);
    m_version->setText(Version);
    m_description = namedLabel("lblDescription", this);
    m_description->setWordWrap(true);
    m_description->setMinimumWidth(360);
    LanguageUi::setTag(m_description, TextId::AboutDescription);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_logo, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_title, 0, 1, Qt::AlignLeft | Qt::AlignVCenter);
    layout->addWidget(m_product, 1, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(m_version, 1, 1, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_description, 2, 1, Qt::AlignLeft | Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutForm::load() {
    setWindowTitle(m_mainWindow ? m_mainWindow->windowTitle() : Brand::title(m_edition));
    showPicture(m_logo, m_folder, Brand::logo(m_edition));
    showPicture(m_product, m_folder, Brand::productPicture(m_edition));
    m_title->setText(windowTitle());
    LanguageUi::applyToWindow(this, m_lang);
}

void AboutForm::showEvent(QShowEvent* event) {
    load();
    QDialog::showEvent(event);
}

bool AboutForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_product && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        emit productPictureClicked();
    return QDialog::eventFilter(watched, event);
}
