#include "lang/LanguageUi.h"

#include "lang/LangModule.h"
#include "platform/NumberText.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <cmath>

namespace LanguageUi {

namespace {

int numericTag(const QVariant& tag) {
    if (!tag.isValid())
        return 0;
    const double value = NumberText::leadingNumber(tag.toString());
    if (!(value > 0.0) || !std::isfinite(value))
        return 0;
    return int(NumberText::roundHalfEven(value));
}

void retitle(QObject* object, const LangModule& lang) {
    const int tag = tagOf(object);
    if (tag > 0) {
        const QString text = lang.LangText(tag);
        if (auto* label = qobject_cast<QLabel*>(object))
            label->setText(text);
        else if (auto* frame = qobject_cast<QGroupBox*>(object))
            frame->setTitle(text);
        else if (auto* check = qobject_cast<QCheckBox*>(object))
            check->setText(text);
        else if (auto* menu = qobject_cast<QMenu*>(object))
            menu->setTitle(text);
        else if (auto* action = qobject_cast<QAction*>(object))
            action->setText(text);
    }
    if (auto* tabs = qobject_cast<QTabBar*>(object)) {
        for (int i = 0; i < tabs->count(); ++i) {
            const int tabTag = numericTag(tabs->tabData(i));
            if (tabTag > 0)
                tabs->setTabText(i, lang.LangText(tabTag));
        }
    }
}

} // namespace

int tagOf(const QObject* object) {
    return object ? numericTag(object->property("tag")) : 0;
}

QString asTitle(QString menuText) {
    menuText.remove(u'&');
    menuText = menuText.trimmed();
    while (menuText.endsWith(u'.') || menuText.endsWith(QChar(0x2026)))
        menuText.chop(1);
    return menuText.trimmed();
}

QLabel* taggedLabel(const char* name, const QString& caption, TextId tag, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    setTag(label, tag);
    return label;
}

void setTag(QObject* object, int index) {
    object->setProperty("tag", QString::number(index));
}

void applyToWindow(QWidget* window, const LangModule& lang) {
    retitle(window, lang);
    for (QObject* child : window->findChildren<QObject*>())
        retitle(child, lang);
}

void ApplyLanguage(const LangModule& lang) {
    for (QWidget* window : QApplication::topLevelWidgets())
        applyToWindow(window, lang);
}

} // namespace LanguageUi

LanguageMenu::LanguageMenu(QMenu* menu) : QObject(menu) {
    for (int k = 0; k < LangModule::MenuEntries; ++k) {
        auto* action = menu->addAction(QStringLiteral("lang%1").arg(k + 1));
        action->setObjectName(QStringLiteral("lang%1").arg(k));
        action->setCheckable(true);
        action->setVisible(false);
        connect(action, &QAction::triggered, this, [this, k] { emit chosen(k); });
        m_entries.append(action);
    }
}

void LanguageMenu::setPacks(const LangModule& lang) {
    const auto& packs = lang.packs();
    for (int k = 0; k < m_entries.size() && k < packs.size(); ++k) {
        QAction* action = m_entries[k];
        action->setText(packs[k].language);
        action->setProperty("packFile", packs[k].fileName);
        action->setVisible(true);
        action->setEnabled(true);
    }
}

void LanguageMenu::tick(int k) {
    m_ticked = k;
    for (int i = 0; i < m_entries.size(); ++i)
        m_entries[i]->setChecked(i == k);
}

QString LanguageMenu::packFile(int k) const {
    return k >= 0 && k < m_entries.size() ? m_entries[k]->property("packFile").toString()
                                          : QString();
}
