// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "window_room.h"

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class KeyValueGrid;
class QAction;
class QPoint;
class QPushButton;
class QTabWidget;
struct CommitResult;

// Marks the Value cells of the shown section whose setting differs from the reference
// copies, tells the original value in the status bar, and puts it back on request ("Reset
// to original value": the context menu of a value row, or Ctrl+R). A value of another
// shape than the reference copy's (a word where a number stands) is marked apart and
// explained in the status bar. Without readable reference copies nothing is marked.
// Tabs whose buffer holds edits not yet on disk carry a dot, as do their Save buttons; a
// row whose value is not on disk says "Not saved" in the status bar.
class ChangeMarks : public QObject {
    Q_OBJECT
public:
    // The controls the marks go on, and how the window maps grid rows to settings.
    struct Widgets {
        KeyValueGrid* grid;
        QTabWidget* pages;
        std::array<QPushButton*, TabCount> saves;
        std::function<int(Tab)> chosenItem; // the item index of the tab's chooser
        std::function<std::optional<SettingPlace>(int row)> placeOf;
        std::function<void(int row, const CommitResult&)> showCommitted;
    };
    ChangeMarks(const WindowRoom& room, Widgets parts, QObject* parent = nullptr);

    // Marks the rows of the section the grid shows; run when the documents change and when
    // the grid shows another section.
    void refresh();

    // The reference copy's value of a changed setting row (data row, from 1).
    std::optional<std::string> original(int row) const;

    // Puts the original value, and where it can the original line, back in the row.
    void resetRow(int row);

private:
    bool standsForSetting(int row) const;
    // Marks each tab, and its Save button, that holds edits its game file does not.
    void markUnsavedTabs();
    void showMenu(const QPoint& at);

    WindowRoom room_;
    Widgets parts_;
    QAction* reset_;
    std::vector<std::optional<std::string>> originals_; // by data row; [0] unused
    std::vector<std::string> shapeNotes_;               // by data row; empty: as expected
    std::vector<bool> unsaved_; // by data row: the value differs from the file on disk
    std::array<bool, TabCount> unsavedTabs_{}; // the tabs marked as holding unsaved edits
    // The reference copies as last read, and the size and time of their files then: they
    // are read again only when a file changed.
    AppState reference_;
    QString referenceStamp_;
};
