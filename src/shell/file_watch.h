// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/game_files.h"
#include "file_settling.h"
#include "watched_paths.h"
#include "window_room.h"

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>

struct GameFileRead;
class Questions;

// Follows the two game files while the window is open, so that another program's change
// (the sibling editor, a mod tool, tunedeck-cli in a terminal) shows without a Save. A file
// that differs from what Tunedeck last read or wrote of it is read again into its tabs, as
// one step that Undo takes back, when they hold no unsaved edits of it; when they do, the
// player is asked, once the window is active and no value is being typed, whether to read it
// again and let them go. A value being typed counts as an unsaved edit of its file and is
// never committed, cut or dropped by the watch: the question waits until it is done. A
// file that is gone, or no longer has its line count, is not read: the status bar says so,
// and a later Save's checks decide. Tunedeck's own saves are what it last wrote, so they
// are no change. A burst of changes (a program writing in pieces, a save by rename) is
// waited out and taken as one, and a file is read only once it has stopped changing
// (file_settling.h).
class FileWatch : public QObject {
    Q_OBJECT
public:
    // A value being typed in the grid: whether an editor is open, and the file of the
    // setting it edits (none for a row that stands for no setting).
    struct Typing {
        bool open = false;
        std::optional<TuningFile> file;
    };
    // `typing` tells what is being typed in the grid now.
    FileWatch(const WindowRoom& room, Questions& questions, std::function<Typing()> typing,
              QObject* parent = nullptr);

    // Watches the game files the state names now, and their folders (a file replaced by a
    // rename is a new file, which the watch on the old one never sees). Run after every
    // handler; cheap when nothing moved.
    void follow();
    // Looks at both files now, as the end of the wait after a change does.
    void checkNow();
    // How long a burst of changes is waited out, and a file must stay the same to be read,
    // in milliseconds.
    void setDelay(int milliseconds)
    {
        settle_.setInterval(milliseconds);
        settling_.setSettleTime(milliseconds);
    }
    // How long a file that lost its final line break must stay the same to be read.
    void setUnfinishedDelay(int milliseconds) { settling_.setUnfinishedTime(milliseconds); }
    // The value being typed was committed or dropped: a question that waited is asked.
    void typingEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void changed();
    void check(TuningFile file);
    // The file as it is now, when it differs from what Tunedeck last read or wrote and from
    // what the player chose to keep theirs over, and can be read; else none, the status bar
    // telling why a changed file was not read.
    std::optional<GameFileRead> readChanged(TuningFile file);
    bool holdsUnsavedEdits(TuningFile file);
    bool mayAsk() const;
    void readAgain(TuningFile file, const GameFileRead& read);
    void tell(TuningFile file, const QString& text);

    WindowRoom room_;
    Questions& questions_;
    std::function<Typing()> typing_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    QTimer recheck_; // a changed file not yet settled is looked at again
    WatchedPaths watched_{watcher_};
    FileSettling settling_;
    std::array<QByteArray, 2> keptMine_;      // by file: the checksum the player said Keep mine to
    std::array<bool, 2> askWhenActive_{};     // by file: a question waits for the window or typing
    std::array<bool, 2> readAgainAnswered_{}; // by file: the player said Read again
    std::array<QString, 2> told_;             // by file: what the status bar last said of it
};
