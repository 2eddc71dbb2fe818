// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands.h"
#include "console.h"
#include "documents/file_size_limit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QStringList>

namespace {

constexpr const char* Description =
    "Shows, edits and checks the Gorewheel II tuning files data\\General.txt and\n"
    "data\\peds\\Settings.txt with the same rules as Tunedeck.\n"
    "\n"
    "Commands:\n"
    "  check                    line count of each game file, whether it is accepted, and\n"
    "                           the settings whose value has another shape than the original\n"
    "  sections [TAB]           the items of the section choosers\n"
    "  show TAB ITEM            the rows the grid shows for an item\n"
    "  set TAB ITEM ROW VALUE   commit VALUE in grid row ROW and save the tab's file\n"
    "  diff                     the settings that differ from the reference copies\n"
    "  export [FILE]            those settings as a tuning set, into FILE or to the output\n"
    "  apply FILE               commit every setting of a tuning set and save the files\n"
    "  backup                   write General.bak and Settings.bak beside the game files\n"
    "  restore                  write the reference copies over the game files\n"
    "  history [FILE]           the versions kept before each save, and what changed after\n"
    "  revert N [FILE]          put version N of history [FILE] back over its game file\n"
    "  take-originals           keep the game files as reference copies where none are\n"
    "\n"
    "TAB is car, ped, misc, apo or a tab's caption, in any letter case. ITEM is an item\n"
    "index or an item text. Give a VALUE that begins with \"-\" after \"--\".\n"
    "FILE is General.txt or Settings.txt. Before a game file is replaced, its content\n"
    "is kept in history/<game folder>-<checksum>/General.txt/ or .../Settings.txt/\n"
    "(at most 100 of each, for each game folder).\n"
    "Tunedeck.ini, Perkwright.ini, original.general, original.pedsettings and history/\n"
    "are looked up in the current folder.\n"
    "\n"
    "Exit status: 0 success, 1 a check failed or differences were found,\n"
    "2 bad usage or a file that cannot be loaded or written.";

// The arguments as Latin-1 text, which maps every byte to one character and back: the
// values reach the buffers exactly as they were typed, whatever the locale.
QStringList ByteArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLatin1(argv[i]);
    return arguments;
}

std::string Bytes(const QString& latin1)
{
    return latin1.toLatin1().toStdString();
}

// Qt's own warnings (a file name it cannot take, say) are the tool's messages too.
void SayQtMessage(QtMsgType, const QMessageLogContext&, const QString& text)
{
    ConsoleMessages().say(text.toLocal8Bit());
}

} // namespace

int main(int argc, char* argv[])
{
    IgnoreFileSizeLimitSignal();
    const QStringList arguments = ByteArguments(argc, argv);
    qInstallMessageHandler(SayQtMessage);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tunedeck-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TUNEDECK_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption dirOption(QStringLiteral("dir"),
                                       QStringLiteral("Use GAME_DIR as the game folder instead "
                                                      "of the one named in the .ini file."),
                                       QStringLiteral("GAME_DIR"));
    parser.addOption(dirOption);
    const QCommandLineOption limitOption(
        QStringLiteral("limit"), QStringLiteral("history: list only the newest N versions."),
        QStringLiteral("N"));
    parser.addOption(limitOption);
    const QCommandLineOption forceOption(
        QStringLiteral("force"),
        QStringLiteral("With take-originals: replace copies that are there."));
    parser.addOption(forceOption);
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."),
                                 QStringLiteral("COMMAND [ARGS]"));

    ConsoleMessages messages;
    if (!parser.parse(arguments)) {
        messages.say(parser.errorText().toLocal8Bit() + " See tunedeck-cli --help.");
        return ExitTrouble;
    }
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all"))) {
        // Qt names the program by the path it was started with; the help names it plainly.
        QString help = parser.helpText();
        help.replace(QStringLiteral("Usage: ") + QCoreApplication::arguments().constFirst(),
                     QStringLiteral("Usage: tunedeck-cli"));
        PrintOut(help.toLocal8Bit().toStdString());
        return ExitSuccess;
    }
    if (parser.isSet(versionOption))
        parser.showVersion();

    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        messages.say("No command given; see tunedeck-cli --help.");
        return ExitTrouble;
    }
    Invocation invocation;
    if (parser.isSet(dirOption))
        invocation.gameDir = QFile::decodeName(parser.value(dirOption).toLatin1());
    invocation.force = parser.isSet(forceOption);
    invocation.command = Bytes(positional.front());
    for (qsizetype i = 1; i < positional.size(); ++i)
        invocation.arguments.push_back(Bytes(positional[i]));
    if (parser.isSet(limitOption))
        invocation.limit = Bytes(parser.value(limitOption));
    return RunCommand(invocation, messages);
}
