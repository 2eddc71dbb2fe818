// SPDX-License-Identifier: GPL-3.0-or-later
#include "launch_command.h"

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

// A Steam prefix: the folder Steam made for one game, named by the game's id.
struct SteamPrefix {
    QString prefix;
    QString id;
};

SteamPrefix SteamPrefixOf(const QString& folder)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(.*/steamapps/compatdata/([0-9]+)/pfx)/drive_c(/|$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(folder);
    if (!match.hasMatch())
        return {};
    return {match.captured(1), match.captured(2)};
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

} // namespace

LaunchChoice ChooseLaunchCommand(const QString& program, const QString& gameFolder,
                                 LaunchTarget target, const QProcessEnvironment& environment)
{
    LaunchChoice choice;
    LaunchCommand& command = choice.command;
    const QFileInfo file(program);
    // As the system writes paths: the opener and the player's own command are handed them.
    const QString path = QDir::toNativeSeparators(file.absoluteFilePath());
    command.workingFolder = QDir::toNativeSeparators(file.absolutePath());

    const QString folder = gameFolder.isEmpty()
                               ? QString()
                               : QDir::cleanPath(QFileInfo(gameFolder).absoluteFilePath());
    const SteamPrefix steam = SteamPrefixOf(folder);
    QString prefix = steam.prefix;
    if (prefix.isEmpty() && !folder.isEmpty())
        prefix = WinePrefixOf(folder);
    const QStringList winePrefix =
        prefix.isEmpty() ? QStringList() : QStringList{QStringLiteral("WINEPREFIX=") + prefix};

    // The player's own command comes first; an empty one counts as none.
    QStringList words =
        QProcess::splitCommand(environment.value(QStringLiteral("TUNEDECK_LAUNCH")));
    if (!words.isEmpty()) {
        for (QString& word : words)
            word.replace(QLatin1String("%f"), path);
        const QString name = words.takeFirst();
        command.program = FindProgram(name, environment);
        command.arguments = words;
        command.environment = winePrefix;
        if (command.program.isEmpty())
            choice.failure =
                QStringLiteral("TUNEDECK_LAUNCH names %1, which was not found.").arg(name);
        return choice;
    }

#ifdef Q_OS_WIN
    Q_UNUSED(target);
    command.program = path; // the system's opener runs a program itself
#else
    const QString opener = FindProgram(QStringLiteral("xdg-open"), environment);
    if (!steam.id.isEmpty() && target == LaunchTarget::Game) {
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
    if (!prefix.isEmpty()) {
        command.program = FindProgram(QStringLiteral("wine"), environment);
        command.arguments = {path};
        command.environment = winePrefix;
        if (command.program.isEmpty())
            choice.failure =
                target == LaunchTarget::Game
                    ? QStringLiteral(
                          "wine was not found; install Wine or open the game from your launcher.")
                    : QStringLiteral(
                          "wine was not found; install Wine to run it in the game's Wine prefix.");
        return choice;
    }
    command.program = opener;
    command.arguments = {path};
    if (command.program.isEmpty())
        choice.failure =
            QStringLiteral("xdg-open was not found; it comes with the package xdg-utils.");
#endif
    return choice;
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
