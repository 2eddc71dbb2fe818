// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_watch.h"
#include "watch_texts.h"

#include "documents/disk_stamps.h"
#include "documents/game_file_reading.h"
#include "documents/game_paths.h"
#include "documents/reference_copies.h"
#include "edit_history.h"
#include "editing/document_edit.h"
#include "outcome_voice.h"
#include "questions.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QStatusTipEvent>
#include <QWidget>

namespace {

size_t IndexOf(TuningFile file)
{
    return static_cast<size_t>(file);
}

QString NameOf(TuningFile file)
{
    return QLatin1String(GameFileName(file));
}

} // namespace

FileWatch::FileWatch(const WindowRoom& room, Questions& questions, std::function<Typing()> typing,
                     QObject* parent)
    : QObject(parent), room_(room), questions_(questions), typing_(std::move(typing))
{
    settle_.setSingleShot(true);
    settle_.setInterval(200);
    connect(&settle_, &QTimer::timeout, this, &FileWatch::checkNow);
    recheck_.setSingleShot(true);
    connect(&recheck_, &QTimer::timeout, this, &FileWatch::checkNow);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &FileWatch::changed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &FileWatch::changed);
    room_.window->installEventFilter(this);
}

void FileWatch::follow()
{
    QStringList wanted;
    for (TuningFile file : TuningFiles)
        if (const QString& path = PathOf(room_.state, file); !path.isEmpty())
            wanted << path << QFileInfo(path).absolutePath();
    wanted.removeDuplicates();
    watched_.follow(wanted);
}

void FileWatch::changed()
{
    follow();        // the file a rename put in place is watched from now on
    settle_.start(); // each change of a burst starts the wait again
}

void FileWatch::checkNow()
{
    // While a box or dialog is open the buffers may be in use by the handler behind it.
    if (QApplication::activeModalWidget()) {
        settle_.start();
        return;
    }
    follow();
    for (TuningFile file : TuningFiles)
        check(file);
}

void FileWatch::typingEnded()
{
    if (askWhenActive_[0] || askWhenActive_[1])
        QTimer::singleShot(0, this, &FileWatch::checkNow); // once the editor has gone
}

bool FileWatch::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == room_.window && event->type() == QEvent::WindowActivate &&
        (askWhenActive_[0] || askWhenActive_[1]))
        QTimer::singleShot(0, this, &FileWatch::checkNow); // once the window has come up
    return QObject::eventFilter(watched, event);
}

std::optional<GameFileRead> FileWatch::readChanged(TuningFile file)
{
    AppState& state = room_.state;
    const size_t index = IndexOf(file);
    const std::optional<FileStamp>& seen = StampOf(state, file);
    const QString& path = PathOf(state, file);
    if (!seen || path.isEmpty())
        return std::nullopt; // nothing was read from it, so nothing shows it
    if (FileExists(path)) {
        const std::optional<FileStamp> now = ChangedSince(*seen, path);
        if (!now) { // as Tunedeck last read or wrote it
            told_[index].clear();
            settling_.forget(index);
            return std::nullopt;
        }
        if (!keptMine_[index].isEmpty() && now->checksum == keptMine_[index])
            return std::nullopt; // asked about already
    }
    GameFileRead read = ReadGameFile(file, path);
    if (read.loaded() || read.outcome == ReadOutcome::WrongLineCount)
        if (const int wait = settling_.remaining(index, *seen, read.stamp)) {
            if (!recheck_.isActive() || recheck_.remainingTime() > wait)
                recheck_.start(wait);
            return std::nullopt;
        }
    if (!read.loaded()) {
        tell(file, NotReadText(file, read));
        return std::nullopt;
    }
    return read;
}

void FileWatch::check(TuningFile file)
{
    const size_t index = IndexOf(file);
    askWhenActive_[index] = false;
    std::optional<GameFileRead> read = readChanged(file);
    if (!read)
        return;
    if (holdsUnsavedEdits(file) && !readAgainAnswered_[index]) {
        if (!mayAsk()) {
            askWhenActive_[index] = true;
            return;
        }
        enum { ReadAgain, KeepMine };
        const int answer = questions_.choose(
            QStringLiteral("%1 was changed by another program. Read it again and drop the "
                           "unsaved changes?")
                .arg(NameOf(file)),
            {QStringLiteral("Read again"), QStringLiteral("Keep mine")}, KeepMine);
        if (answer != ReadAgain) {
            // Asked once: the Save's own question about the change comes when it replaces it.
            keptMine_[index] = read->stamp.checksum;
            return;
        }
        readAgainAnswered_[index] = true; // also for a change made while it was asked
        read = readChanged(file);         // as it is after the question
        if (!read)
            return;
    }
    readAgain(file, *read);
}

bool FileWatch::holdsUnsavedEdits(TuningFile file)
{
    if (typing_().file == file)
        return true;
    // An empty document (a file refused when it was read) holds nothing to lose.
    const GameDocument& document = room_.state.document(file);
    return !document.empty() && document.holdsUnsavedEdits();
}

bool FileWatch::mayAsk() const
{
    // A box opened while a value is typed would take the keys that follow.
    return room_.window->isActiveWindow() && !QApplication::activeModalWidget() && !typing_().open;
}

void FileWatch::readAgain(TuningFile file, const GameFileRead& read)
{
    AppState& state = room_.state;
    room_.guarded([&] {
        // The stamp goes with the lines: undone, the lines read before come back with what
        // was read then, and a Save asks before it replaces the other program's file.
        const GameDocument& document = state.document(file);
        DocumentEdit edit;
        edit.documents.push_back(
            {file, document.lines(), read.lines, document.stamp(), read.stamp});
        room_.history.perform(QStringLiteral("Read %1 again").arg(NameOf(file)), std::move(edit));
    });
    keptMine_[IndexOf(file)].clear();
    readAgainAnswered_[IndexOf(file)] = false;
    told_[IndexOf(file)].clear();
    tell(file,
         QStringLiteral("%1 was changed by another program and read again.").arg(NameOf(file)));
}

void FileWatch::tell(TuningFile file, const QString& text)
{
    // Said once for as long as it holds; the status bar shows it until the pointer moves on.
    if (told_[IndexOf(file)] == text)
        return;
    told_[IndexOf(file)] = text;
    QStatusTipEvent tip(text);
    QCoreApplication::sendEvent(room_.window, &tip);
    SayOutcome(room_.window, text);
}
