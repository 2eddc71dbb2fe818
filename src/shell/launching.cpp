// SPDX-License-Identifier: GPL-3.0-or-later
#include "launching.h"

#include "documents/app_state.h"
#include "documents/errors.h"
#include "documents/game_files.h"
#include "documents/game_paths.h"
#include "documents/interfaces.h"
#include "launcher.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QProcessEnvironment>

namespace {

// A saved folder that lacks the program is named, so the player knows where to look.
QString NotIn(const char* program, const QString& folder)
{
    return QStringLiteral("%1 is not in %2.").arg(QLatin1String(program), folder);
}

} // namespace

Launching::Launching(const AppState& state, Messages& messages, Launcher& launcher,
                     std::function<void()> close, QObject* parent)
    : QObject(parent), state_(state), messages_(messages), launcher_(launcher),
      close_(std::move(close))
{
}

void Launching::launch(const QString& program, LaunchTarget target,
                       const std::function<void()>& started)
{
    const LaunchChoice choice = ChooseLaunchCommand(program, state_.GameDir, target,
                                                    QProcessEnvironment::systemEnvironment());
    // The answer may come after the window has gone.
    const auto finish = [self = QPointer<Launching>(this), name = QFileInfo(program).fileName(),
                         started](const QString& failure) {
        if (!self)
            return;
        if (!failure.isEmpty())
            self->messages_.error(QStringLiteral("Could not start %1: %2").arg(name, failure));
        else if (started)
            started();
    };
    if (choice.failure.isEmpty())
        launcher_.start(choice.command, finish);
    else
        finish(choice.failure);
}

void Launching::launchSibling()
{
    // Tunedeck gives way to the sibling editor, but only to one that has started; it runs in
    // the game's Wine prefix when there is one.
    const QFileInfo sibling(state_.workFile(QLatin1String(SiblingEditor)));
    if (!FileExists(sibling.filePath())) {
        messages_.information(
            NotIn(SiblingEditor, QDir::toNativeSeparators(sibling.absolutePath())));
        return;
    }
    launch(sibling.absoluteFilePath(), LaunchTarget::Helper, [this] { close_(); });
}

void Launching::launchGame(const std::function<bool()>& ready)
{
    const QString dir = state_.GameDir;
    const QString game = GameFilePath(dir, QStringLiteral("\\") + QLatin1String(GameProgram));
    if (dir.isEmpty()) {
        messages_.information(
            QStringLiteral("You must save your Gorewheel 2 directory to use this feature."));
        return;
    }
    if (!FileExists(game)) {
        messages_.information(NotIn(GameProgram, dir));
        return;
    }
    const QFileInfo folder(dir);
    if (!folder.isDir() || !folder.isExecutable())
        throw FileError(QStringLiteral("Cannot change the working folder to \"%1\".").arg(dir));
    if (ready && !ready())
        return;
    launch(QFileInfo(game).absoluteFilePath(), LaunchTarget::Game, {});
}
