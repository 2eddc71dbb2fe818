#include "commands.h"

#include "arguments.h"
#include "session.h"

#include "catalogue/catalogue.h"
#include "documents/errors.h"
#include "documents/file_operations.h"
#include "documents/game_files.h"
#include "editing/changes.h"
#include "editing/tuning_set.h"
#include "editing/write_back.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <set>

namespace {

using Arguments = std::vector<std::string>;

std::string Bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

std::string Number(long long value)
{
    return std::to_string(value);
}

const char* KindName(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Section:
        return "section";
    case ItemKind::Heading:
        return "heading";
    case ItemKind::Unlisted:
        break;
    }
    return "unlisted";
}

// check: the line count of each game file and whether the identity check accepts it.
int Check(Session& session, const Arguments&)
{
    int status = ExitSuccess;
    for (TuningFile file : TuningFiles) {
        const QString path = session.gameFilePath(file);
        if (!session.requireFile(path)) {
            PrintOut(Bytes(path) + "\t-\tmissing\n");
            status = std::max(status, ExitFailed);
            continue;
        }
        std::vector<std::string> lines;
        const bool readable = ReadLinesFrom(path, -1, lines);
        const std::string count = readable ? Number(static_cast<long long>(lines.size())) : "-";
        switch (session.load(file)) {
        case LoadResult::Loaded:
            PrintOut(Bytes(path) + '\t' + count + "\tok\n");
            break;
        case LoadResult::Rejected:
            PrintOut(Bytes(path) + '\t' + count + "\trejected: expected " +
                     Number(LineCountOf(file)) + " lines\n");
            status = std::max(status, ExitFailed);
            break;
        case LoadResult::Missing:
        case LoadResult::Failed:
            status = ExitTrouble;
            break;
        }
    }
    return status;
}

// sections [TAB]: the items of the choosers.
int Sections(Session& session, const Arguments& arguments)
{
    std::vector<Tab> tabs(AllTabs.begin(), AllTabs.end());
    if (!arguments.empty())
        tabs = {TabArgument(arguments[0], session.messages)};
    for (Tab tab : tabs) {
        const auto& items = CatalogueOf(tab).items;
        for (size_t i = 0; i < items.size(); ++i)
            PrintOut(std::string(ShortName(tab)) + '\t' + Number(static_cast<long long>(i)) + '\t' +
                     items[i].text + '\t' + KindName(items[i].kind) + '\n');
    }
    return ExitSuccess;
}

bool LoadFileOf(Session& session, Tab tab)
{
    return session.load(FileOf(tab)) == LoadResult::Loaded;
}

// show TAB ITEM: the rows the grid shows after choosing the item.
int Show(Session& session, const Arguments& arguments)
{
    const Tab tab = TabArgument(arguments[0], session.messages);
    const int item = ItemArgument(tab, arguments[1], session.messages);
    if (!LoadFileOf(session, tab))
        return ExitTrouble;
    const int errorsBefore = session.messages.errorCount();
    const int plainsBefore = session.messages.plainCount();
    const std::vector<GridRow> rows = session.choose(tab, item);
    if (session.messages.errorCount() != errorsBefore)
        return ExitTrouble;
    for (size_t n = 0; n < rows.size(); ++n)
        PrintOut(Number(static_cast<long long>(n + 1)) + '\t' + rows[n].details + '\t' +
                 rows[n].value + '\n');
    // The tab's answer to an item with no section.
    return session.messages.plainCount() != plainsBefore ? ExitFailed : ExitSuccess;
}

std::array<std::uint64_t, TabCount> Revisions(const AppState& state)
{
    std::array<std::uint64_t, TabCount> revisions{};
    for (Tab tab : AllTabs)
        revisions[static_cast<size_t>(tab)] = state.buffer(tab).revision();
    return revisions;
}

// set TAB ITEM ROW VALUE: commits the value in the grid row and saves the tab's buffer.
int Set(Session& session, const Arguments& arguments)
{
    ConsoleMessages& messages = session.messages;
    const Tab tab = TabArgument(arguments[0], messages);
    const int item = ItemArgument(tab, arguments[1], messages);
    const std::optional<int> row = WholeNumber(arguments[2]);
    if (!row) {
        messages.say("ROW must be a whole number, not \"" +
                     QByteArray::fromStdString(arguments[2]) + "\".");
        return ExitTrouble;
    }
    const std::string& value = arguments[3];
    if (!LoadFileOf(session, tab))
        return ExitTrouble;

    const int errorsBefore = messages.errorCount();
    const std::vector<GridRow> rows = session.choose(tab, item);
    if (messages.errorCount() != errorsBefore)
        return ExitTrouble;
    const bool onGrid = *row >= 1 && *row <= static_cast<int>(rows.size());
    const std::string details = onGrid ? rows[static_cast<size_t>(*row - 1)].details : "";

    // The write-back itself decides which rows stand for a setting: a row that does not
    // leaves every buffer as it was.
    const auto before = Revisions(session.state);
    CommitGridValue(session.state, *row, details, value);
    if (Revisions(session.state) == before) {
        messages.say("Row " + QByteArray::number(*row) + " of item " + QByteArray::number(item) +
                     " on tab " + ShortName(tab) + " stands for no setting; nothing was written.");
        return ExitTrouble;
    }
    return session.guarded([&] { Save(session.state, session.controls, tab); }) ? ExitSuccess
                                                                                : ExitTrouble;
}

// Loads the game files into `current` and the reference copies into `reference`.
bool LoadWithReference(Session& current, Session& reference)
{
    reference.state.WorkDir = current.state.WorkDir;
    for (TuningFile file : TuningFiles)
        if (current.load(file) != LoadResult::Loaded)
            return false;
    for (TuningFile file : TuningFiles)
        if (reference.loadReferenceCopy(file) != LoadResult::Loaded)
            return false;
    return true;
}

// diff: every shown value that differs from the reference copies, then for each file the
// number of other lines that differ.
int Diff(Session& current, const Arguments&)
{
    Session reference(current.messages);
    if (!LoadWithReference(current, reference))
        return ExitTrouble;
    const std::vector<ChangedSetting> changes = ChangedSettings(current.state, reference.state);
    for (const ChangedSetting& change : changes)
        PrintOut(std::string(ShortName(change.place.tab)) + '\t' + Number(change.place.item) +
                 '\t' + Number(change.place.row) + '\t' + change.details + '\t' + change.original +
                 '\t' + change.current + '\n');
    bool differs = !changes.empty();
    for (TuningFile file : TuningFiles) {
        const Tab tab = TabOf(file);
        const int others =
            OtherLinesChanged(file, current.state.buffer(tab), reference.state.buffer(tab));
        if (others > 0) {
            differs = true;
            PrintOut(Bytes(QFileInfo(current.gameFilePath(file)).fileName()) +
                     "\tother lines differ: " + Number(others) + '\n');
        }
    }
    return differs ? ExitFailed : ExitSuccess;
}

// export [FILE]: the settings that differ from the reference copies, as a tuning set.
int Export(Session& current, const Arguments& arguments)
{
    Session reference(current.messages);
    if (!LoadWithReference(current, reference))
        return ExitTrouble;
    const std::string text = WriteTuningSet(ChangedSettings(current.state, reference.state));
    if (arguments.empty()) {
        PrintOut(text);
        return ExitSuccess;
    }
    const QString path = QFile::decodeName(QByteArray::fromStdString(arguments[0]));
    if (!current.guarded([&] { WriteTuningSetFile(path, text); }))
        return ExitTrouble;
    PrintOut("File written: " + Bytes(path) + '\n');
    return ExitSuccess;
}

// apply FILE: checks the whole set, then commits every entry as set does and saves the
// game files it changes, together. A bad line, or a game file that cannot be loaded or
// written, writes nothing.
int Apply(Session& session, const Arguments& arguments)
{
    const QString path = QFile::decodeName(QByteArray::fromStdString(arguments[0]));
    std::vector<TuningEntry> entries;
    try {
        entries = ReadTuningSetFile(path);
    } catch (const TuningSetError& error) {
        session.messages.say(QByteArray::fromStdString(arguments[0]) + ", line " +
                             QByteArray::number(error.line()) + ": " + error.what() +
                             "; nothing was written.");
        return ExitTrouble;
    }
    const std::set<TuningFile> files = FilesOf(entries);
    for (TuningFile file : files)
        if (session.load(file) != LoadResult::Loaded)
            return ExitTrouble;
    ApplyTuningSet(session.state, entries);
    std::vector<Tab> tabs;
    for (TuningFile file : files)
        tabs.push_back(TabOf(file));
    return session.guarded([&] { Save(session.state, session.controls, tabs); }) ? ExitSuccess
                                                                                 : ExitTrouble;
}

// backup: each game file, as loaded, to its .bak file beside it.
int BackupFiles(Session& session, const Arguments&)
{
    int status = ExitSuccess;
    for (TuningFile file : TuningFiles) {
        if (session.load(file) != LoadResult::Loaded ||
            !session.guarded([&] { Backup(session.state, session.controls, TabOf(file)); }))
            status = ExitTrouble;
    }
    return status;
}

// restore: the reference copies over the game files.
int RestoreFiles(Session& session, const Arguments&)
{
    return session.restore() ? ExitSuccess : ExitTrouble;
}

struct Command {
    const char* name;
    const char* usage; // the arguments, for the usage message
    size_t minArguments;
    size_t maxArguments;
    std::function<int(Session&, const Arguments&)> run;
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
    if (count < command->minArguments || count > command->maxArguments) {
        messages.say(QByteArray("Usage: tunedeck-cli [--dir GAME_DIR] ") + command->name +
                     command->usage);
        return ExitTrouble;
    }

    Session session(messages, invocation.gameDir);
    int status = ExitTrouble;
    const bool ran = RunGuarded(messages, [&] {
        try {
            status = command->run(session, invocation.arguments);
        } catch (const CommandEnd& end) {
            status = end.status;
        }
    });
    return ran ? status : ExitTrouble;
}
