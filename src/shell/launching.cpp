#include "launching.h"

#include "documents/errors.h"
#include "documents/game_files.h"
#include "documents/game_paths.h"
#include "documents/interfaces.h"
#include "general.h"

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

Launching::Launching(TForm1& form, Launcher& launcher)
    : QObject(&form), form_(form), launcher_(launcher)
{
}

void Launching::launch(const QString& program, LaunchTarget target,
                       const std::function<void()>& started)
{
    const LaunchChoice choice = ChooseLaunchCommand(program, form_.state().GameDir, target,
                                                    QProcessEnvironment::systemEnvironment());
    // The answer may come after the window has gone.
    const auto finish = [window = QPointer<TForm1>(&form_), name = QFileInfo(program).fileName(),
                         started](const QString& failure) {
        if (!window)
            return;
        if (!failure.isEmpty())
            window->messages().error(QStringLiteral("Could not start %1: %2").arg(name, failure));
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
    const QFileInfo sibling(form_.state().workFile(QLatin1String(SiblingEditor)));
    if (!FileExists(sibling.filePath())) {
        form_.messages().information(NotIn(SiblingEditor, sibling.absolutePath()));
        return;
    }
    launch(sibling.absoluteFilePath(), LaunchTarget::Helper, [this] { form_.close(); });
}

void Launching::launchGame()
{
    const QString dir = form_.state().GameDir;
    const QString game = GameFilePath(dir, QLatin1String(GameProgram));
    if (dir.isEmpty()) {
        form_.messages().information(
            QStringLiteral("You must save your Gorewheel 2 directory to use this feature."));
        return;
    }
    if (!FileExists(game)) {
        form_.messages().information(NotIn(GameProgram + 1, dir)); // the name, not its backslash
        return;
    }
    const QFileInfo folder(dir);
    if (!folder.isDir() || !folder.isExecutable())
        throw FileError(QStringLiteral("Cannot change the working folder to \"%1\".").arg(dir));
    launch(QFileInfo(game).absoluteFilePath(), LaunchTarget::Game, {});
}
