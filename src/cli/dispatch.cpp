// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_list.h"
#include "commands.h"
#include "session.h"

#include "documents/errors.h"

#include <algorithm>
#include <functional>

namespace {

struct Command {
    const char* name;
    const char* usage; // the arguments, for the usage message
    size_t minArguments;
    size_t maxArguments;
    std::function<int(Session&, const Invocation&)> run;
};

const std::vector<Command>& Commands()
{
    static const std::vector<Command> commands = {
        {"check", "", 0, 0, Check},
        {"sections", " [TAB]", 0, 1, Sections},
        {"show", " TAB ITEM", 2, 2, Show},
        {"set", " TAB ITEM ROW VALUE", 4, 4, Set},
        {"diff", "", 0, 0, Diff},
        {"export", " [FILE]", 0, 1, Export},
        {"apply", " FILE", 1, 1, Apply},
        {"backup", "", 0, 0, BackupFiles},
        {"restore", "", 0, 0, RestoreFiles},
        {"history", " [FILE] [--limit N]", 0, 1, History},
        {"revert", " N [FILE]", 1, 2, Revert},
        {"take-originals", " [--force]", 0, 0, TakeOriginals},
    };
    return commands;
}

} // namespace

int RunCommand(const Invocation& invocation, ConsoleMessages& messages)
{
    const auto& commands = Commands();
    const auto command = std::find_if(commands.begin(), commands.end(), [&](const Command& c) {
        return invocation.command == c.name;
    });
    if (command == commands.end()) {
        messages.say("Unknown command \"" + QByteArray::fromStdString(invocation.command) +
                     "\"; see tunedeck-cli --help.");
        return ExitTrouble;
    }
    const size_t count = invocation.arguments.size();
    // --limit is one of history's arguments: with any other command it is bad usage.
    if (count < command->minArguments || count > command->maxArguments ||
        (invocation.limit && std::string(command->name) != "history")) {
        messages.say(QByteArray("Usage: tunedeck-cli [--dir GAME_DIR] ") + command->name +
                     command->usage);
        return ExitTrouble;
    }

    if (invocation.force && std::string(command->name) != "take-originals") {
        messages.say("--force goes with take-originals only; see tunedeck-cli --help.");
        return ExitTrouble;
    }

    Session session(messages, invocation.gameDir);
    int status = ExitTrouble;
    const bool ran = RunGuarded(messages, [&] {
        try {
            status = command->run(session, invocation);
        } catch (const CommandEnd& end) {
            status = end.status;
        }
    });
    return ran ? status : ExitTrouble;
}
