// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "changes_list.h"
#include "window_room.h"

#include <QDialog>
#include <vector>

class QHBoxLayout;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;

// Edit > Changed Settings…: every setting of both files that differs from the reference
// copies, in one table, kept up to date as the documents change. Enter or a double click
// shows the setting in the window; the buttons put back the selected settings, the
// settings of the current row's section, or those of a whole file, each as one undo step.
class ChangesView : public QDialog {
    Q_OBJECT
public:
    explicit ChangesView(const WindowRoom& room);

    QTableWidget* table() const { return table_; }
    QLabel* summary() const { return summary_; }

    void refresh(); // lists again what differs now
    // The buttons' resets, each one undo step.
    void resetSelected();
    void resetSection();
    void resetFile(TuningFile file);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QHBoxLayout* makeButtons();
    void refreshSoon();
    void fill();
    void showCurrent();
    int currentIndex() const;
    void reset(const QString& name, const std::vector<SettingPlace>& places);

    WindowRoom room_;
    AppState reference_;
    ChangesList list_;
    QTableWidget* table_;
    QLabel* summary_;
    std::vector<QPushButton*> buttons_;
    bool refreshPending_ = false;
};

// Puts Changed Settings… (Ctrl+Shift+D) into the Edit menu; the view stays once made.
void InstallChangesView(const WindowRoom& room, QMenu* edit);
