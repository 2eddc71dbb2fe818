// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/setting_value.h"

#include <QDialog>
#include <QString>
#include <vector>

class QLineEdit;
class QListWidget;
class QMenu;
struct WindowRoom;

// A row of a section that a search found: its place and the text the list shows.
struct FoundRow {
    SettingPlace place;
    QString text; // "<tab> > <item> > <Details>"
};

// Every row of every section of the four tabs, setting or note, whose item text and
// Details text together hold each word of the query, in any letter case. Read from the
// catalogue, in its order.
std::vector<FoundRow> FindRows(const QString& query);

// View > Find Setting...: a search box over the catalogue with a live list of matches.
// Choosing a match shows its section as the tab's chooser would and makes the row current.
class FindSettingDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindSettingDialog(QWidget* window);

    QLineEdit* searchBox() const { return search_; }
    QListWidget* matchList() const { return matches_; }
    // The match chosen when the dialog was accepted.
    SettingPlace chosen() const { return chosen_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search();
    void choose();

    QLineEdit* search_;
    QListWidget* matches_;
    std::vector<FoundRow> found_;
    SettingPlace chosen_{Tab::CarSettings, -1, 0};
};

// Puts Find Setting... (Ctrl+F) into the window's View menu; the chosen match is shown as
// the tab's chooser would show it, its row current.
void InstallFindSetting(const WindowRoom& room, QMenu* view);
