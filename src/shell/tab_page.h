// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"

#include <QWidget>
#include <tuple>
#include <vector>

class BufferView;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class SectionChooser;
class GameDocument;

// One tab of the window, built from its catalogue entry: the picture, the section chooser,
// the Backup, Restore, sibling-editor and Save buttons, Show File Details and the file
// details view of its document. The four tabs differ only in their names and texts.
class TabPage : public QWidget {
    Q_OBJECT
public:
    TabPage(Tab tab, GameDocument& document, QTabWidget* pages);

    const Tab tab;
    QLabel* picture;
    QGroupBox* group;
    SectionChooser* chooser;
    QPushButton* backup;
    QPushButton* restore;
    QPushButton* sibling;
    QPushButton* save;
    QCheckBox* details;
    BufferView* view;

    // The controls in the order the window names them: sheet, image, group box, chooser,
    // backup, restore, sibling, save, details check, view.
    auto controls()
    {
        return std::tuple<QWidget*&, QLabel*&, QGroupBox*&, SectionChooser*&, QPushButton*&,
                          QPushButton*&, QPushButton*&, QPushButton*&, QCheckBox*&, BufferView*&>(
            self_, picture, group, chooser, backup, restore, sibling, save, details, view);
    }

private:
    QWidget* self_ = this;
};
