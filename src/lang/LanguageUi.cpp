#include "lang/LanguageUi.h"

#include "lang/LangModule.h"
#include "platform/NumberText.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabBar>
#include <QTableWidget>
#include <QToolBar>
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

void refillCombo(QComboBox* combo, const QStringList& texts) {
    const int selected = combo->currentIndex();
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(texts);
    combo->setCurrentIndex(selected < combo->count() ? selected : -1);
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

void setTag(QObject* object, int index) {
    object->setProperty("tag", QString::number(index));
}

void applyToWindow(QWidget* window, const LangModule& lang) {
    retitle(window, lang);
    for (QObject* child : window->findChildren<QObject*>())
        retitle(child, lang);

    if (auto* scale = window->findChild<QComboBox*>(QStringLiteral("ComboScaleSelect")))
        refillCombo(scale, {lang.LangText(80), lang.LangText(81), lang.LangText(82)});

    if (auto* grid = window->findChild<QTableWidget*>(QStringLiteral("ParamGrid"))) {
        for (int column = 0; column < 4 && column < grid->columnCount(); ++column) {
            QTableWidgetItem* item = grid->horizontalHeaderItem(column);
            if (!item) {
                item = new QTableWidgetItem;
                grid->setHorizontalHeaderItem(column, item);
            }
            item->setText(lang.LangText(93 + column));
        }
    }

    if (auto* toolbar = window->findChild<QToolBar*>(QStringLiteral("Toolbar1"))) {
        // Tool tips by button index; the separators (3 and 7) have none.
        static const int tips[][2] = {{1, 2}, {2, 3}, {4, 6}, {5, 7}, {6, 8}};
        for (QAction* action : toolbar->actions()) {
            const int index = action->property("buttonIndex").toInt();
            for (const auto& tip : tips)
                if (tip[0] == index)
                    action->setToolTip(lang.LangText(tip[1]));
        }
    }

    if (auto* stopMode = window->findChild<QComboBox*>(QStringLiteral("ComboStopMode"))) {
        const int selected = stopMode->currentIndex();
        const QSignalBlocker blocker(stopMode);
        while (stopMode->count() < 2)
            stopMode->addItem(QString());
        stopMode->setItemText(0, lang.LangText(125));
        stopMode->setItemText(1, lang.LangText(126));
        stopMode->setCurrentIndex(selected);
    }
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
    for (int i = 0; i < m_entries.size(); ++i)
        m_entries[i]->setChecked(i == k);
}

int LanguageMenu::ticked() const {
    for (int i = 0; i < m_entries.size(); ++i)
        if (m_entries[i]->isChecked())
            return i;
    return -1;
}

QString LanguageMenu::packFile(int k) const {
    return k >= 0 && k < m_entries.size() ? m_entries[k]->property("packFile").toString()
                                          : QString();
}
