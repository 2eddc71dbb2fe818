// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_list.h"

#include "arguments.h"
#include "output.h"
#include "session.h"

#include "editing/save_history.h"
#include "editing/tab_actions.h"

namespace {

[[noreturn]] void BadHistoryUsage(ConsoleMessages& messages, const QByteArray& text)
{
    messages.say(text);
    throw CommandEnd{ExitTrouble};
}

// FILE of history and revert: General.txt or Settings.txt, in any letter case, the
// extension optional; both files when it is not given.
std::vector<TuningFile> FilesArgument(const std::string* text, ConsoleMessages& messages)
{
    if (!text)
        return {TuningFiles.begin(), TuningFiles.end()};
    const QString name = QString::fromLatin1(text->c_str());
    for (TuningFile file : TuningFiles) {
        const QString known = HistoryName(file);
        if (name.compare(known, Qt::CaseInsensitive) == 0 ||
            name.compare(known.chopped(4), Qt::CaseInsensitive) == 0)
            return {file};
    }
    BadHistoryUsage(messages, "Unknown file \"" + QByteArray::fromStdString(*text) +
                                  "\"; use General.txt or Settings.txt.");
}

// The versions of the files, numbered from 1 as history lists them.
std::vector<HistoryEntry> ListedVersions(Session& session, const std::vector<TuningFile>& files)
{
    for (TuningFile file : files)
        PathOf(session.state, file) = session.gameFilePath(file);
    return SaveHistory(session.state, files);
}

} // namespace

// history [FILE] [--limit N]: the kept versions, newest first, numbered, each with the
// settings that changed from it to the next version (or to the game file).
int History(Session& session, const Invocation& invocation)
{
    long long limit = -1;
    if (invocation.limit) {
        const std::optional<int> n = WholeNumber(*invocation.limit);
        if (!n || *n < 0)
            BadHistoryUsage(session.messages, "--limit takes a number of versions, not \"" +
                                                  QByteArray::fromStdString(*invocation.limit) +
                                                  "\".");
        limit = *n;
    }
    const Arguments& arguments = invocation.arguments;
    const std::string* fileName = arguments.empty() ? nullptr : &arguments[0];
    const std::vector<HistoryEntry> entries =
        ListedVersions(session, FilesArgument(fileName, session.messages));
    if (entries.empty())
        session.messages.say("No version has been kept yet.");
    for (size_t n = 0; n < entries.size() && (limit < 0 || static_cast<long long>(n) < limit); ++n)
        PrintHistoryEntry(n + 1, entries[n]);
    return ExitSuccess;
}

// revert N [FILE]: puts version N, as history [FILE] numbers it, back over its game file
// with the save of the tab; the file it replaces is kept as a version in turn.
int Revert(Session& session, const Invocation& invocation)
{
    const Arguments& arguments = invocation.arguments;
    const std::optional<int> number = WholeNumber(arguments[0]);
    if (!number || *number < 1)
        BadHistoryUsage(session.messages, "N must be a version number that history lists, not \"" +
                                              QByteArray::fromStdString(arguments[0]) + "\".");
    const std::vector<HistoryEntry> entries = ListedVersions(
        session, FilesArgument(arguments.size() > 1 ? &arguments[1] : nullptr, session.messages));
    if (static_cast<size_t>(*number) > entries.size()) {
        session.messages.say("There is no version " + QByteArray::number(*number) +
                             "; history lists " + QByteArray::number(entries.size()) + ".");
        return ExitTrouble;
    }
    const KeptVersion& version = entries[static_cast<size_t>(*number - 1)].version;
    ActionOutcome putBack = ActionOutcome::Failed;
    return session.guarded([&] {
        putBack = PutBack(session.state, session.messages, session.progress, version);
    }) && putBack == ActionOutcome::Done
               ? ExitSuccess
               : ExitTrouble;
}
