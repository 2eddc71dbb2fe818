// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/save_history.h"

#include "window_room.h"

#include <QDialog>
#include <QString>
#include <vector>

class QAction;
class QMenu;
class QPushButton;
class QTreeWidget;

// File > History...: the kept versions of both game files, newest first, each with its time
// and the settings that changed after it. Put back writes the chosen version over its game
// file as a Save does (the file's present bytes are kept in turn), then refills the
// buffers of that file and shows the section again.
class HistoryDialog : public QDialog {
    Q_OBJECT
public:
    explicit HistoryDialog(const WindowRoom& room);

    // One top-level row a version, its changes below it.
    QTreeWidget* versionList() const { return list_; }
    QPushButton* putBackButton() const { return putBack_; }

    // Puts back the version of the top-level row; when the window holds unsaved edits of
    // its file, only after a Yes to the question that says so.
    void putBack(int row);

private:
    void fill();
    int chosenRow() const;

    WindowRoom room_;
    QTreeWidget* list_;
    QPushButton* putBack_;
    std::vector<HistoryEntry> entries_;
};

// Puts History... into the window's File menu, above its `exit`, and makes every save of
// the window keep the game file it replaces.
void InstallSaveHistory(const WindowRoom& room, QMenu* file, QAction* exit);
