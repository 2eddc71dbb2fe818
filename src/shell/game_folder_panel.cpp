// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_folder_panel.h"

#include "documents/game_files.h"
#include "documents/game_paths.h"
#include "editing/game_folder.h"
#include "folder_tree.h"
#include "form_parts.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

GameFolderPanel::GameFolderPanel(QWidget* page) : QObject(page)
{
    tree = Place(new FolderTree(page), "Directory", {16, 320, 241, 161});
    tree->setStatusTip(
        QStringLiteral("Select your Gorewheel 2 directory and click \"Save Directory\" button."));
    tree->setAccessibleName(QStringLiteral("Gorewheel 2 folder"));
    saveButton = Button(page, "SaveDir", {280, 344, 89, 25}, "Save Directory",
                        "Save the directory selected in the box as default working directory.");
    box = Group(page, "Directories", {280, 392, 273, 89}, " Directories ");
    savedCaption = Label(box, "Label1", {8, 24}, "Current Saved:");
    saved = Label(box, "LabelSaved", {88, 24}, "None", true);
    selectedCaption = Label(box, "Label2", {8, 48}, "Current Selected:");
    selected = Label(box, "LabelSelected", {96, 48}, "None", true);
    validCaption = Label(box, "Label3", {9, 68}, "Valid Selection:");
    valid = Label(box, "LabelValid", {89, 68}, "NA");
}

void GameFolderPanel::showSelection()
{
    const QString path = tree->selectedPath();
    selected->setText(path);
    valid->setText(IsGameFolder(path) ? QStringLiteral("Yes") : QStringLiteral("No"));
}
