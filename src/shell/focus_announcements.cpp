// SPDX-License-Identifier: GPL-3.0-or-later
#include "focus_announcements.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <utility>

namespace {

// Tells a screen reader that `part()` has the focus, once the events that focus `owner`
// itself are out; only while `owner` still has the focus then.
void Announce(QWidget* owner, std::function<QAccessibleInterface*()> part)
{
    auto* told = owner->window()->findChild<Announcements*>();
    if (!QAccessible::isActive() && !told)
        return; // nobody listens
    QTimer::singleShot(0, owner, [owner, told, part = std::move(part)] {
        QAccessibleInterface* focused = owner->hasFocus() ? part() : nullptr;
        if (!focused)
            return;
        QAccessibleEvent focus(focused, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
        if (told)
            emit told->focused(focused);
    });
}

// A tab bar taking the focus says its current tab, as it does when that tab changes.
class CurrentTabOnFocus : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn) {
            auto* tabs = static_cast<QTabBar*>(watched);
            Announce(tabs, [tabs] {
                QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(tabs);
                return bar ? bar->child(tabs->currentIndex()) : nullptr;
            });
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void AnnounceCurrentCell(QAbstractItemView* view)
{
    Announce(view, [view]() -> QAccessibleInterface* {
        const QModelIndex current = view->currentIndex();
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view);
        if (!current.isValid() || !table || !table->tableInterface())
            return nullptr;
        return table->tableInterface()->cellAt(current.row(), current.column());
    });
}

void FollowTabSwitch(QTabWidget* pages, std::function<QWidget*(int tab)> firstControl)
{
    pages->tabBar()->installEventFilter(new CurrentTabOnFocus(pages->tabBar()));
    QObject::connect(pages, &QTabWidget::currentChanged, pages,
                     [pages, firstControl = std::move(firstControl)](int tab) {
                         QWidget* focus = QApplication::focusWidget();
                         if (!focus || focus->window() != pages->window() ||
                             qobject_cast<QTabBar*>(focus))
                             return;
                         if (QWidget* first = firstControl(tab))
                             first->setFocus(Qt::OtherFocusReason);
                     });
}
