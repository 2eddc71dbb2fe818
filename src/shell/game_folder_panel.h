// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class FolderTree;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

// The game-folder controls of the Car Settings tab: the folder tree, Save Directory and
// the Directories box telling the saved and the selected folder and whether the selection
// holds a game.
class GameFolderPanel : public QObject {
    Q_OBJECT
public:
    explicit GameFolderPanel(QWidget* page);

    FolderTree* tree;
    QPushButton* saveButton;
    QGroupBox* box;
    QLabel* savedCaption;
    QLabel* saved;
    QLabel* selectedCaption;
    QLabel* selected;
    QLabel* validCaption;
    QLabel* valid;

    // Tells the folder selected in the tree and whether it holds data\General.txt.
    void showSelection();
};
