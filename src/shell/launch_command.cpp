// SPDX-License-Identifier: GPL-3.0-or-later
#include "launch_command.h"

#include "steam_library.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// The executable that `name` stands for: a path as it is, a bare name the first match on
// the PATH of `environment`; empty when there is none.
QString FindProgram(const QString& name, const QProcessEnvironment& environment)
{
    if (name.contains(QLatin1Char('/'))) {
        const QFileInfo file(name);
        return file.isFile() && file.isExecutable() ? file.absoluteFilePath() : QString();
    }
    const QStringList path =
        environment.value(QStringLiteral("PATH")).split(QDir::listSeparator(), Qt::SkipEmptyParts);
    // An empty list would make Qt search Tunedeck's own PATH instead.
    if (name.isEmpty() || path.isEmpty())
        return {};
    return QStandardPaths::findExecutable(name, path);
}

// A game Steam starts: the prefix Steam made for it (empty when there is none yet, `needed`
// then names it) and the game's id.
struct SteamPrefix {
    QString prefix;
    QString id;
    QString needed;
};

// A folder in a Proton prefix, named by the game's id; or a game in a library's
// steamapps/common, with the id its app manifest gives and the prefix when Steam made it.
SteamPrefix SteamPrefixOf(const QString& folder)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(.*/steamapps/compatdata/([0-9]+)/pfx)/drive_c(/|$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(folder);
    if (match.hasMatch())
        return {match.captured(1), match.captured(2), {}};
    const SteamGame game = SteamGameOf(folder);
    if (game.id.isEmpty())
        return {};
    if (QFileInfo(game.prefix).isDir())
        return {game.prefix, game.id, {}};
    return {{}, game.id, game.prefix};
}

// The nearest folder at or above `folder` that Wine made its prefix: one holding drive_c
// and system.reg. Lutris, Bottles, Heroic and winetricks all keep this layout.
QString WinePrefixOf(const QString& folder)
{
    for (QString dir = folder;;) {
        if (QFileInfo(dir + QStringLiteral("/drive_c")).isDir() &&
            QFileInfo(dir + QStringLiteral("/system.reg")).isFile())
            return dir;
        const QString up = QFileInfo(dir).path();
        if (up == dir)
            return {};
        dir = up;
    }
}

// The player's own command: its first word the program, %f standing for the file.
LaunchChoice PlayersCommand(QStringList words, const QString& path, LaunchChoice choice,
                            const QProcessEnvironment& environment)
{
    LaunchCommand& command = choice.command;
    for (QString& word : words)
        word.replace(QLatin1String("%f"), path);
    const QString name = words.takeFirst();
    command.program = FindProgram(name, environment);
    command.arguments = words;
    if (command.program.isEmpty())
        choice.failure = QStringLiteral("TUNEDECK_LAUNCH names %1, which was not found.").arg(name);
    return choice;
}

#ifndef Q_OS_WIN
// Steam for a game it installed, Wine for a program in a Wine prefix, else the desktop's
// opener.
LaunchChoice DesktopCommand(const QString& path, const SteamPrefix& steam, const QString& prefix,
                            LaunchTarget target, LaunchChoice choice,
                            const QProcessEnvironment& environment)
{
    LaunchCommand& command = choice.command;
    const QString opener = FindProgram(QStringLiteral("xdg-open"), environment);
    if (!steam.id.isEmpty() && target == LaunchTarget::Game) {
        command.environment.clear();
        command.program = FindProgram(QStringLiteral("steam"), environment);
        command.arguments = {QStringLiteral("-applaunch"), steam.id};
        if (command.program.isEmpty()) {
            // Steam's desktop entry takes its links when the steam command is not on PATH.
            command.program = opener;
            command.arguments = {QStringLiteral("steam://rungameid/") + steam.id};
        }
        if (command.program.isEmpty())
            choice.failure =
                QStringLiteral("neither steam nor xdg-open was found; start the game from Steam.");
        return choice;
    }
    if (!steam.needed.isEmpty()) {
        choice.failure = QStringLiteral("it needs the game's Proton prefix, %1, which Steam "
                                        "makes when the game is first started from Steam.")
                             .arg(QDir::toNativeSeparators(steam.needed));
        return choice;
    }
    if (!prefix.isEmpty()) {
        command.program = FindProgram(QStringLiteral("wine"), environment);
        command.arguments = {path};
        if (command.program.isEmpty())
            choice.failure =
                target == LaunchTarget::Game
                    ? QStringLiteral(
                          "wine was not found; install Wine or open the game from your launcher.")
                    : QStringLiteral(
                          "wine was not found; install Wine to run it in the game's Wine prefix.");
        return choice;
    }
    command.environment.clear();
    command.program = opener;
    command.arguments = {path};
    if (command.program.isEmpty())
        choice.failure =
            QStringLiteral("xdg-open was not found; it comes with the package xdg-utils.");
    return choice;
}
#endif

} // namespace

LaunchChoice ChooseLaunchCommand(const QString& program, const QString& gameFolder,
                                 LaunchTarget target, const QProcessEnvironment& environment)
{
    LaunchChoice choice;
    const QFileInfo file(program);
    // As the system writes paths: the opener and the player's own command are handed them.
    const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
    choice.command.workingFolder = QDir::toNativeSeparators(file.absolutePath());

    const QString folder = gameFolder.isEmpty()
                               ? QString()
                               : QDir::cleanPath(QFileInfo(gameFolder).absoluteFilePath());
    const SteamPrefix steam = SteamPrefixOf(folder);
    QString prefix = steam.prefix;
    if (steam.id.isEmpty() && !folder.isEmpty())
        prefix = WinePrefixOf(folder);
    if (!prefix.isEmpty())
        choice.command.environment = {QStringLiteral("WINEPREFIX=") + prefix};

    // The player's own command comes first; an empty one counts as none.
    const QStringList words =
        QProcess::splitCommand(environment.value(QStringLiteral("TUNEDECK_LAUNCH")));
    if (!words.isEmpty())
        return PlayersCommand(words, path, std::move(choice), environment);
#ifdef Q_OS_WIN
    Q_UNUSED(target);
    choice.command.environment.clear();
    choice.command.program = path; // the system's opener runs a program itself
    return choice;
#else
    return DesktopCommand(path, steam, prefix, target, std::move(choice), environment);
#endif
}

QString ShownCommand(const LaunchCommand& command)
{
    QStringList words = command.environment;
    words << QFileInfo(command.program).fileName() << command.arguments;
    for (QString& word : words)
        if (word.contains(QLatin1Char(' ')))
            word = QLatin1Char('"') + word + QLatin1Char('"');
    return words.join(QLatin1Char(' '));
}
