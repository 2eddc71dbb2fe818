// SPDX-License-Identifier: GPL-3.0-or-later
// The window's start-up sequence and the game folder it is given.
#include "general.h"

#include "change_marks.h"
#include "controls.h"
#include "documents/configuration_file.h"
#include "documents/errors.h"
#include "documents/game_files.h"
#include "documents/game_paths.h"
#include "documents/reference_copies.h"
#include "edit_history.h"
#include "editing/game_folder.h"
#include "editing/outcome_texts.h"
#include "editing/start_up.h"
#include "file_watch.h"
#include "folder_tree.h"
#include "game_folder_panel.h"
#include "game_folder_search.h"
#include "message_boxes.h"
#include "tab_page.h"
#include "text_wrap.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

// Start-up sequence.
void TForm1::FormCreate()
{
    if (FileExists(workFile(SiblingEditor)))
        for (TabPage* page : pages_)
            page->sibling->show();
    setWindowTitle(QStringLiteral("Tunedeck."));
    LabelValid->setText(QStringLiteral("No"));
    // What the window adds to the shared sequence: a missing game file means the saved
    // directory is no longer the game's; a present one is selected in the folder tree.
    struct WindowSteps : StartUpSteps {
        TForm1& form;
        explicit WindowSteps(TForm1& window) : form(window) {}
        void missing(TuningFile, const QString&) override
        {
            QFile::remove(form.workFile(TunedeckIni));
            form.reportCorruptedConfiguration();
        }
        void opening(TuningFile, const QString& path) override
        {
            QFile test(path); // only a test that the file can be opened
            if (!test.open(QIODevice::ReadOnly))
                throw FileError(
                    QStringLiteral("Cannot open file \"%1\". %2").arg(path, test.errorString()));
            const QString& gameDir = form.state_.GameDir;
            if (!form.Directory->selectPath(gameDir))
                throw FileError(QStringLiteral("Cannot select the folder \"%1\".").arg(gameDir));
        }
        void loaded(TuningFile) override
        {
            form.LabelSaved->setText(form.state_.GameDir);
            form.LabelValid->setText(QStringLiteral("Yes"));
        }
    } steps(*this);
    StartUp(state_, *feedback_, steps);
    // With no game folder known, one found on this computer is offered; Save Directory
    // confirms it.
    const QString found =
        Directory->selectedPath().isEmpty() ? FindGameFolder(homeDir_) : QString();
    if (!found.isEmpty() && Directory->selectPath(found))
        DirectoryClick();
    LabelSelected->setText(Directory->selectedPath());
}

void TForm1::reportCorruptedConfiguration()
{
    messages_->error(
        WrapText(QStringLiteral("Your Tunedeck.ini was corrupted and has been deleted. "
                                "You must save your \"Gorewheel 2\" directory again."),
                 60));
}

void TForm1::DirectoryClick()
{
    folderPanel_->showSelection();
}

void TForm1::SaveDirClick()
{
    // The game files this save read from the chosen folder: where the working folder
    // holds no reference copy of one, it becomes its copy before anything can change it.
    std::vector<TuningFile> loaded;
    guarded([this, &loaded] {
        const QString dir = Directory->selectedPath();
        const FolderSave save = SaveGameFolder(state_, *feedback_, dir, workFile(TunedeckIni));
        if (save.generalHalf)
            LabelSaved->setText(dir);
        loaded = save.loaded;
    });
    if (!loaded.empty())
        guarded([this, &loaded] {
            TellTakenCopies(*messages_, TakeMissingReferenceCopies(state_, loaded));
        });
    editHistory_->clear(); // the documents were read anew: nothing before this can be undone
    fileWatch_->follow();
    changeMarks_->refresh(); // the reference copies may be new
}
