#pragma once
// Re-titling of the widgets from the active language pack, and the Language menu.
#include "lang/TextId.h"

#include <QList>
#include <QObject>
#include <QString>

class LangModule;
class QAction;
class QLabel;
class QMenu;
class QWidget;

namespace LanguageUi {

// Text index carried by a widget or action in its "tag" property; 0 when none.
int tagOf(const QObject* object);
void setTag(QObject* object, int index);
// A menu entry's text as a window title: without "&" marks and a trailing "...".
QString asTitle(QString menuText);
inline void setTag(QObject* object, TextId id) {
    setTag(object, int(id));
}
// A label named `name` showing `caption` until the pack's text `tag` replaces it.
QLabel* taggedLabel(const char* name, const QString& caption, TextId tag, QWidget* parent);

// Gives every tagged label, frame, check box, menu entry and tab of every top-level
// window its text from the pack. Lists, headers and tool tips whose texts come from
// the pack are re-titled by the page that owns them.
void ApplyLanguage(const LangModule& lang);
// The same for one window and its children only.
void applyToWindow(QWidget* window, const LangModule& lang);

} // namespace LanguageUi

// The five entries "lang0".."lang4" of the Language menu; an entry with a pack is
// visible, carries the language name and remembers the pack file.
class LanguageMenu : public QObject {
    Q_OBJECT
public:
    explicit LanguageMenu(QMenu* menu);

    void setPacks(const LangModule& lang);
    // Ticks entry k, unticks the others; -1 unticks all.
    void tick(int k);
    // The entry ticked last through tick(); a click ticks its entry before the
    // switch is decided, so the check marks do not say which language is in use.
    int ticked() const { return m_ticked; }
    QString packFile(int k) const;
    QAction* entry(int k) const { return m_entries.value(k); }

signals:
    void chosen(int k);

private:
    QList<QAction*> m_entries;
    int m_ticked = -1;
};
