// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <functional>

class QAbstractItemView;
class QAccessibleInterface;
class QTabWidget;
class QWidget;

// Where the focus lands, a screen reader is told what is current there: the cell of a view,
// the tab of a tab bar.

// What a window told a screen reader has the focus, besides the platform's bridge (which an
// offscreen window has not); a window holds one, as a child.
class Announcements : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
signals:
    void focused(QAccessibleInterface* part);
    // What the window said of an action's outcome (see OutcomeVoice).
    void said(const QString& text);
};

// Tells a screen reader which cell of the view is current, as moving to it would. Sent
// after the events that focus the view itself, so the cell is what is said last.
void AnnounceCurrentCell(QAbstractItemView* view);

// A tab switch made from inside the pages (Ctrl+PgDn from the grid, say) takes the focus
// to `firstControl(tab)` of the new tab, which a screen reader then says; a switch made on
// the tab bar leaves the focus there. The tab bar taking the focus says its current tab.
void FollowTabSwitch(QTabWidget* pages, std::function<QWidget*(int tab)> firstControl);
