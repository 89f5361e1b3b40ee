#pragma once
// What a window of some size does to its widgets: laid-out neighbours that overlap,
// widgets cut by their parent's edge, and captions squeezed below what they need.
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QStringList>
#include <QWidget>

namespace LayoutCheck {

inline QString nameOf(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

// Whether a layout places `w` (hand-placed drawings may overlap).
inline bool nested(QLayout* layout, const QWidget* w) {
    for (int i = 0; layout && i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == w || nested(item->layout(), w))
            return true;
    }
    return false;
}

// The width a caption needs to show whole; 0 for widgets without one, or whose text
// wraps or is elided to fit.
inline int captionWidth(const QWidget* w) {
    const auto advance = [w](QString text) {
        return w->fontMetrics().horizontalAdvance(text.remove(u'&'));
    };
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->wordWrap() ? 0 : advance(label->text()) + 2 * label->margin();
    if (qobject_cast<const QPushButton*>(w))
        return advance(static_cast<const QPushButton*>(w)->text()) + 4;
    if (qobject_cast<const QAbstractButton*>(w))
        return w->minimumSizeHint().width();
    if (const auto* box = qobject_cast<const QGroupBox*>(w))
        return advance(box->title());
    return 0;
}

inline QStringList faults(const QWidget* root) {
    QStringList found;
    QList<const QWidget*> shown;
    for (const QObject* o : root->children()) {
        const auto* w = qobject_cast<const QWidget*>(o);
        if (!w || w->isWindow() || !w->isVisible())
            continue;
        const bool placed = root->layout() && nested(root->layout(), w);
        if (placed) {
            if (!root->rect().contains(w->geometry()))
                found << nameOf(w) + " cut by " + nameOf(root);
            if (w->width() < captionWidth(w) || w->height() < w->minimumSizeHint().height())
                found << nameOf(w) + " squeezed";
            for (const QWidget* other : shown)
                if (w->geometry().intersects(other->geometry()))
                    found << nameOf(w) + " overlaps " + nameOf(other);
            shown << w;
        }
        if (const auto* area = qobject_cast<const QAbstractScrollArea*>(w);
            area && area->horizontalScrollBar()->isVisible() && !area->inherits("QTableView"))
            found << nameOf(w) + " scrolls sideways";
        found << faults(w);
    }
    return found;
}

} // namespace LayoutCheck
