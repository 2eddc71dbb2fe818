#include "commands.h"

#include "arguments.h"
#include "session.h"

#include "catalogue/catalogue.h"
#include "documents/errors.h"
#include "documents/game_files.h"
#include "documents/reference_copies.h"
#include "editing/changes.h"
#include "editing/outcome_texts.h"
#include "editing/save_history.h"
#include "editing/tab_actions.h"
#include "editing/tuning_set.h"
#include "editing/value_rule.h"
#include "editing/write_back.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
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

// A value as it can be read on one line: line breaks, TABs and NULs as C escapes.
QByteArray Escaped(const std::string& value)
{
    QByteArray text;
    for (char c : value) {
        switch (c) {
        case '\n':
            text += "\\n";
            break;
        case '\r':
            text += "\\r";
            break;
        case '\t':
            text += "\\t";
            break;
        case '\0':
            text += "\\0";
            break;
        default:
            text += c;
        }
    }
    return text;
}

std::string Place(const SettingPlace& place)
{
    return std::string(ShortName(place.tab)) + ' ' + Number(place.item) + ' ' + Number(place.row);
}

// Says on stderr that the setting at the place now holds a value of another shape than the
// reference copies': the value is written all the same.
void WarnOffShape(Session& session, const SettingPlace& place, const std::string& note)
{
    if (!note.empty())
        session.messages.warning(QString::fromStdString(Place(place) + " (" +
                                                        DetailsText(*RowAt(place), *ItemAt(place)) +
                                                        "): " + note + "; written all the same."));
}

// The same for each of the places, measured against the reference copies when they can be
// read.
void WarnOffShape(Session& session, const std::vector<SettingPlace>& places)
{
    AppState reference;
    ReadReferenceCopies(session.state, reference);
    for (const SettingPlace& place : places)
        if (const SectionRow* row = RowAt(place))
            WarnOffShape(session, place,
                         ShapeNote(*row, *ItemAt(place), session.state.buffer(place.tab),
                                   reference.buffer(place.tab)));
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
    if (status != ExitSuccess)
        return status;
    // Every setting whose value has another shape than the reference copy's.
    AppState reference;
    if (!ReadReferenceCopies(session.state, reference)) {
        QStringList unread;
        for (TuningFile file : TuningFiles)
            if (reference.buffer(TabOf(file)).empty())
                unread << QLatin1String(ReferenceCopy(file));
        session.messages.say(unread.join(QStringLiteral(" and ")).toLocal8Bit() +
                             (unread.size() == 1 ? " is" : " are") +
                             " missing or not a copy of the game file, so the shapes of the "
                             "values were not checked.");
        return ExitFailed;
    }
    ForEachSectionRow(
        [&](const SettingPlace& place, const ChooserItem& item, const SectionRow& row) {
            const std::string note =
                ShapeNote(row, item, session.state.buffer(place.tab), reference.buffer(place.tab));
            if (note.empty())
                return;
            PrintOut(std::string(ShortName(place.tab)) + '\t' + Number(place.item) + '\t' +
                     Number(place.row) + '\t' + DetailsText(row, item) + '\t' + note + '\n');
            status = ExitFailed;
        });
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

// Saves the tabs' buffers as their Save buttons do: true when every file is in place.
bool SavedTabs(Session& session, const std::vector<Tab>& tabs)
{
    ActionOutcome saved = ActionOutcome::Failed;
    return session.guarded([&] { saved = Save(session.state, session.controls, tabs); }) &&
           saved == ActionOutcome::Done;
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
    SectionOutcome shown = SectionOutcome::NotLoaded;
    const std::vector<GridRow> rows = session.choose(tab, item, &shown);
    if (shown == SectionOutcome::NotLoaded)
        return ExitTrouble;
    for (size_t n = 0; n < rows.size(); ++n)
        PrintOut(Number(static_cast<long long>(n + 1)) + '\t' + rows[n].details + '\t' +
                 rows[n].value + '\n');
    // The tab's answer to an item with no section.
    return shown == SectionOutcome::Unlisted ? ExitFailed : ExitSuccess;
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

    // The item is chosen as the player would, for the tab's answer to an item with no
    // section and the refusal of a buffer that is not ready.
    SectionOutcome shown = SectionOutcome::NotLoaded;
    session.choose(tab, item, &shown);
    if (shown == SectionOutcome::NotLoaded)
        return ExitTrouble;

    // The write-back itself decides which places stand for a setting, and which values may
    // be written: anything else leaves every buffer as it was.
    AppState reference;
    ReadReferenceCopies(session.state, reference);
    const SettingPlace place{tab, item, *row};
    const CommitResult result = CommitValue(session.state, place, value, &reference.buffer(tab));
    if (!result.refusal.empty()) {
        messages.say("Value \"" + Escaped(value) + "\" cannot be written: " +
                     QByteArray::fromStdString(result.refusal) + " Nothing was written.");
        return ExitTrouble;
    }
    if (result.changes.empty()) {
        messages.say("Row " + QByteArray::number(*row) + " of item " + QByteArray::number(item) +
                     " on tab " + ShortName(tab) + " stands for no setting; nothing was written.");
        return ExitTrouble;
    }
    if (!SavedTabs(session, {tab}))
        return ExitTrouble;
    WarnOffShape(session, place, result.shapeNote);
    return ExitSuccess;
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
    std::set<TuningFile> files;
    try {
        entries = ReadTuningSetFile(path);
        files = FilesOf(entries);
        for (TuningFile file : files)
            if (session.load(file) != LoadResult::Loaded)
                return ExitTrouble;
        ApplyTuningSet(session.state, entries);
    } catch (const TuningSetError& error) {
        session.messages.say(QByteArray::fromStdString(arguments[0]) + ", line " +
                             QByteArray::number(error.line()) + ": " + error.what() +
                             "; nothing was written.");
        return ExitTrouble;
    }
    std::vector<Tab> tabs;
    for (TuningFile file : files)
        tabs.push_back(TabOf(file));
    if (!SavedTabs(session, tabs))
        return ExitTrouble;
    std::vector<SettingPlace> places;
    for (const TuningEntry& entry : entries)
        places.push_back(entry.place);
    WarnOffShape(session, places);
    return ExitSuccess;
}

// backup: each game file, as loaded, to its .bak file beside it.
int BackupFiles(Session& session, const Arguments&)
{
    int status = ExitSuccess;
    for (TuningFile file : TuningFiles) {
        ActionOutcome copied = ActionOutcome::Failed;
        if (session.load(file) != LoadResult::Loaded || !session.guarded([&] {
                copied = Backup(session.state, session.controls, TabOf(file));
            }) ||
            copied != ActionOutcome::Done)
            status = ExitTrouble;
    }
    return status;
}

// restore: the reference copies over the game files.
int RestoreFiles(Session& session, const Arguments&)
{
    return session.restore() ? ExitSuccess : ExitTrouble;
}

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

std::string OtherLines(int count)
{
    return Number(count) + (count == 1 ? " other line" : " other lines");
}

void PrintHistoryEntry(size_t number, const HistoryEntry& entry)
{
    const KeptVersion& version = entry.version;
    PrintOut(Number(static_cast<long long>(number)) + '\t' + ShownTime(version).toStdString() +
             '\t' + HistoryName(version.file).toStdString() + '\n');
    const VersionChanges& changes = entry.changes;
    if (!changes.comparable) {
        PrintOut("\tnot compared: not both of " + Number(LineCountOf(version.file)) + " lines\n");
        return;
    }
    for (const ChangedSetting& change : changes.settings)
        PrintOut(std::string("\t") + ShortName(change.place.tab) + '\t' +
                 CatalogueOf(change.place.tab).items[static_cast<size_t>(change.place.item)].text +
                 '\t' + change.details + '\t' + change.original + " -> " + change.current + '\n');
    if (changes.otherLines > 0)
        PrintOut(std::string(changes.settings.empty() ? "\t" : "\tand ") +
                 OtherLines(changes.otherLines) + '\n');
    else if (changes.settings.empty())
        PrintOut("\tno setting changed\n");
}

// history [FILE] [--limit N]: the kept versions, newest first, numbered, each with the
// settings that changed from it to the next version (or to the game file).
int History(Session& session, const Arguments& arguments)
{
    const std::string* fileName = nullptr;
    long long limit = -1;
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--limit") {
            const std::optional<int> n =
                i + 1 < arguments.size() ? WholeNumber(arguments[i + 1]) : std::nullopt;
            if (!n || *n < 0)
                BadHistoryUsage(session.messages,
                                "--limit takes a number of versions, not \"" +
                                    QByteArray::fromStdString(i + 1 < arguments.size()
                                                                  ? arguments[i + 1]
                                                                  : std::string()) +
                                    "\".");
            limit = *n;
            ++i;
        } else if (!fileName) {
            fileName = &arguments[i];
        } else {
            BadHistoryUsage(session.messages,
                            "Usage: tunedeck-cli [--dir GAME_DIR] history [FILE] [--limit N]");
        }
    }
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
int Revert(Session& session, const Arguments& arguments)
{
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

// take-originals: each game file, as it is now, as its reference copy where the working
// folder holds none or the demo game's; with --force in place of any copy, after saying
// which.
int TakeOriginals(Session& session, const Arguments&)
{
    ConsoleMessages& messages = session.messages;
    int status = ExitSuccess;
    for (TuningFile file : TuningFiles) {
        const QString path = session.gameFilePath(file);
        ReferenceCopyPlan plan;
        // What the working folder holds is looked at and replaced in one step.
        std::optional<FolderLock> lock;
        if (!session.requireFile(path) || !session.guarded([&] {
                lock.emplace(session.state.workFile(QLatin1String(ReferenceCopy(file))),
                             LinkAtTarget::Replace);
                plan = PlanReferenceCopy(session.state, file, path);
            })) {
            status = ExitTrouble;
            continue;
        }
        const QByteArray game = path.toLocal8Bit();
        const QString copyPath = QFileInfo(plan.copyPath).absoluteFilePath();
        const QByteArray copy = copyPath.toLocal8Bit();
        if (!plan.accepted) {
            messages.say(game + " does not have " + QByteArray::number(LineCountOf(file)) +
                         " lines; no reference copy is taken of it.");
            status = ExitTrouble;
            continue;
        }
        if (plan.held == HeldCopy::Same) {
            messages.say(copy + " is a copy of " + game + " already.");
            continue;
        }
        if (plan.held == HeldCopy::Own && !session.replaceCopies) {
            messages.say(copy + " is kept; --force replaces it with " + game + '.');
            continue;
        }
        if (plan.held == HeldCopy::Own)
            messages.say("Replacing the reference copy " + copy + " with " + game + '.');
        else if (plan.held == HeldCopy::Demo)
            messages.say("Replacing the demo game's copy " + copy + " with " + game + '.');
        int error = 0;
        if (!session.guarded([&] { error = WriteReferenceCopy(plan); }) || error != 0) {
            if (error != 0)
                messages.error(SaveAbortedText(error));
            status = ExitTrouble;
            continue;
        }
        messages.information(QStringLiteral("File copied: ") + copyPath);
    }
    return status;
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
        {"history", " [FILE] [--limit N]", 0, 3, History},
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
    if (count < command->minArguments || count > command->maxArguments) {
        messages.say(QByteArray("Usage: tunedeck-cli [--dir GAME_DIR] ") + command->name +
                     command->usage);
        return ExitTrouble;
    }

    if (invocation.force && std::string(command->name) != "take-originals") {
        messages.say("--force goes with take-originals only; see tunedeck-cli --help.");
        return ExitTrouble;
    }

    Session session(messages, invocation.gameDir);
    session.replaceCopies = invocation.force;
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
