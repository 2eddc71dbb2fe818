// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_list.h"

#include "arguments.h"
#include "output.h"
#include "session.h"

#include "catalogue/catalogue.h"
#include "editing/changes.h"
#include "editing/tab_actions.h"
#include "editing/tuning_set.h"
#include "editing/value_rule.h"
#include "editing/write_back.h"

#include <QFile>
#include <QFileInfo>
#include <set>

namespace {

// Says on stderr that the setting at the place now holds a value of another shape than the
// reference copies': the value is written all the same.
void WarnOffShape(Session& session, const SettingPlace& place, const std::string& note)
{
    if (!note.empty())
        session.messages.warning(QString::fromStdString(Place(place) + " (" +
                                                        DetailsText(*RowAt(place), *ItemAt(place)) +
                                                        "): " + note + "; written all the same."));
}

// Saves the tabs' buffers as their Save buttons do: true when every file is in place.
bool SavedTabs(Session& session, const std::vector<Tab>& tabs)
{
    ActionOutcome saved = ActionOutcome::Failed;
    return session.guarded([&] { saved = Save(session.state, session.feedback, tabs); }) &&
           saved == ActionOutcome::Done;
}

bool LoadFileOf(Session& session, Tab tab)
{
    return session.load(FileOf(tab)) == LoadResult::Loaded;
}

// Loads the game files into the session and the reference copies into `reference`.
bool LoadWithReference(Session& session, AppState& reference)
{
    for (TuningFile file : TuningFiles)
        if (session.load(file) != LoadResult::Loaded)
            return false;
    for (TuningFile file : TuningFiles)
        if (session.loadReferenceCopy(file, reference) != LoadResult::Loaded)
            return false;
    return true;
}

} // namespace

// sections [TAB]: the items of the choosers.
int Sections(Session& session, const Invocation& invocation)
{
    const Arguments& arguments = invocation.arguments;
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

// show TAB ITEM: the rows the grid shows after choosing the item.
int Show(Session& session, const Invocation& invocation)
{
    const Arguments& arguments = invocation.arguments;
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
int Set(Session& session, const Invocation& invocation)
{
    const Arguments& arguments = invocation.arguments;
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
    const CommitResult result = CommitValue(session.state, place, value, &reference.document(tab).text());
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

// diff: every shown value that differs from the reference copies, then for each file the
// number of other lines that differ.
int Diff(Session& current, const Invocation&)
{
    AppState reference;
    if (!LoadWithReference(current, reference))
        return ExitTrouble;
    const std::vector<ChangedSetting> changes = ChangedSettings(current.state, reference);
    for (const ChangedSetting& change : changes)
        PrintOut(std::string(ShortName(change.place.tab)) + '\t' + Number(change.place.item) +
                 '\t' + Number(change.place.row) + '\t' + change.details + '\t' + change.original +
                 '\t' + change.current + '\n');
    bool differs = !changes.empty();
    for (TuningFile file : TuningFiles) {
        const Tab tab = TabOf(file);
        const int others =
            OtherLinesChanged(file, current.state.document(tab), reference.document(tab));
        if (others > 0) {
            differs = true;
            PrintOut(Bytes(QFileInfo(current.gameFilePath(file)).fileName()) +
                     "\tother lines differ: " + Number(others) + '\n');
        }
    }
    return differs ? ExitFailed : ExitSuccess;
}

// export [FILE]: the settings that differ from the reference copies, as a tuning set.
int Export(Session& current, const Invocation& invocation)
{
    const Arguments& arguments = invocation.arguments;
    AppState reference;
    if (!LoadWithReference(current, reference))
        return ExitTrouble;
    const std::string text = WriteTuningSet(ChangedSettings(current.state, reference));
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
int Apply(Session& session, const Invocation& invocation)
{
    const Arguments& arguments = invocation.arguments;
    const QString path = QFile::decodeName(QByteArray::fromStdString(arguments[0]));
    std::vector<TuningEntry> entries;
    std::set<TuningFile> files;
    AppliedTuningSet applied;
    try {
        entries = ReadTuningSetFile(path);
        files = FilesOf(entries);
        for (TuningFile file : files)
            if (session.load(file) != LoadResult::Loaded)
                return ExitTrouble;
        AppState reference;
        ReadReferenceCopies(session.state, reference);
        applied = ApplyTuningSet(session.state, entries, &reference);
    } catch (const TuningSetError& error) {
        // The set's name as given, byte for byte.
        const QString name =
            QString::fromLatin1(arguments[0].data(), static_cast<int>(arguments[0].size()));
        session.messages.say(TuningSetRefusal(name, error).toLatin1() + "; nothing was written.");
        return ExitTrouble;
    }
    std::vector<Tab> tabs;
    for (TuningFile file : files)
        tabs.push_back(TabOf(file));
    if (!SavedTabs(session, tabs))
        return ExitTrouble;
    for (size_t i = 0; i < entries.size(); ++i)
        WarnOffShape(session, entries[i].place, applied.shapeNotes[i]);
    return ExitSuccess;
}
