// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing sections and committing values, as a user could do them in any order.
//
// The two documents hold lines made from the input, in the numbers the tabs expect (or, if
// the input says so, one line more or less). The rest of the input is a list of actions:
// choose item i on tab t, commit value v typed into the grid row r shown, commit a value
// at any place, switch tabs. Whatever the actions, nothing crashes; choosing a section
// changes no document; a commit changes at most one line of the document of its file, and
// no document's line count; a single value lands on its line whole with its
// description; a skill value reads back from its line, which carries its fixed comment.

#include "catalogue/catalogue.h"
#include "documents/app_state.h"
#include "documents/game_files.h"
#include "documents/setting_line.h"
#include "editing/section_procedure.h"
#include "editing/setting_value.h"
#include "editing/write_back.h"
#include "require.h"
#include "support/fakes.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Buffers = std::array<std::vector<std::string>, 2>; // by file

// The documents as they must be, and what they were made from.
struct Expected {
    Buffers buffers;
    std::vector<std::string> source;          // the input's lines
    std::array<int, 2> counts{};              // line count of each document
    std::vector<std::pair<int, int>> rebuilt; // file and line of every commit that wrote
};

// Lines of the right count for each file: General.txt takes the input's lines from the
// first on, Settings.txt from line 410 on, both over again as often
// as needed (so a seed made of General.txt followed by Settings.txt fills them exactly).
// The documents of the previous input are reused, and they held what `expected` says once
// it ended: only lines whose source line changed, or that a commit rebuilt, are replaced.
// That keeps the run from spending its time on thousands of strings per input.
void FillDocuments(AppState& state, Expected& expected, const std::string& bytes, int lengthChange,
                   TuningFile changedFile)
{
    std::vector<std::string> lines = SplitLines(bytes);
    if (lines.empty())
        lines.emplace_back();
    const size_t n = lines.size();
    std::vector<bool> changed(n, n != expected.source.size());
    for (size_t j = 0; j < n && n == expected.source.size(); ++j)
        changed[j] = lines[j] != expected.source[j];
    std::array<std::vector<bool>, 2> rebuilt;
    for (int t = 0; t < 2; ++t)
        rebuilt[static_cast<size_t>(t)].resize(expected.buffers[static_cast<size_t>(t)].size());
    for (const auto& [t, line] : expected.rebuilt)
        rebuilt[static_cast<size_t>(t)][static_cast<size_t>(line)] = true;
    expected.rebuilt.clear();

    for (TuningFile file : TuningFiles) {
        const int t = static_cast<int>(file);
        const size_t first = file == TuningFile::Settings ? GeneralLineCount : 0;
        int count = LineCountOf(file);
        if (file == changedFile)
            count += lengthChange;
        auto& content = expected.buffers[static_cast<size_t>(t)];
        GameDocument& buffer = state.document(file);
        const bool sameShape = expected.counts[static_cast<size_t>(t)] == count &&
                               !changed.empty() && n == expected.source.size();
        content.resize(static_cast<size_t>(count));
        for (int k = 0; k < count; ++k) {
            const size_t j = (first + static_cast<size_t>(k)) % n;
            const bool wasRebuilt = k < static_cast<int>(rebuilt[static_cast<size_t>(t)].size()) &&
                                    rebuilt[static_cast<size_t>(t)][static_cast<size_t>(k)];
            if (!sameShape || changed[j] || wasRebuilt)
                content[static_cast<size_t>(k)] = lines[j];
        }
        if (!sameShape)
            buffer.assign(content);
        else
            for (int k = 0; k < count; ++k) {
                const size_t j = (first + static_cast<size_t>(k)) % n;
                if (changed[j] || rebuilt[static_cast<size_t>(t)][static_cast<size_t>(k)])
                    buffer.setLine(k, lines[j]);
            }
        expected.counts[static_cast<size_t>(t)] = count;
    }
    expected.source = std::move(lines);
}

using Revisions = std::array<std::uint64_t, 2>;

Revisions RevisionsOf(const AppState& state)
{
    return {state.document(TuningFile::General).revision(),
            state.document(TuningFile::Settings).revision()};
}

// Commits a value and checks the buffers it touched against `expected`, which then
// takes the one line that may have changed. Lines that must not change are compared
// once all actions are done.
void Commit(AppState& state, Expected& expected, const SettingPlace& place,
            const std::string& value)
{
    const SectionRow* row = RowAt(place);
    const Revisions before = RevisionsOf(state);

    const CommitResult result = CommitValue(state, place, value);

    const Revisions after = RevisionsOf(state);
    const bool commits = row && row->kind != RowKind::Note;
    for (TuningFile file : TuningFiles) {
        const int t = static_cast<int>(file);
        const TextBuffer& buffer = state.document(file);
        auto& reference = expected.buffers[static_cast<size_t>(t)];
        REQUIRE(buffer.count() == static_cast<int>(reference.size()));
        if (after[static_cast<size_t>(t)] == before[static_cast<size_t>(t)])
            continue;
        REQUIRE(commits && result.refusal.empty());
        const int line = row->line;
        REQUIRE(line >= 0 && line < buffer.count());
        const std::string& now = buffer.line(line);
        // A line goes into the document of its file, and reads back the value given.
        REQUIRE(file == FileOf(place.tab));
        const LineField field = FieldShown(*row, *ItemAt(place));
        if (field == SingleValue)
            REQUIRE(now == value + CommentSeparator + row->text);
        else
            REQUIRE(FieldOf(now, field) == value &&
                    now.substr(now.find('\t')) == CommentSeparator + row->comment);
        REQUIRE(now.find_first_of(std::string("\n\r\0", 3)) == std::string::npos);
        reference[static_cast<size_t>(line)] = now;
        expected.rebuilt.emplace_back(t, line);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    static AppState state;
    static Expected expected;
    state.ShownTab = -1;
    FakeMessages messages;
    FakeGrid grid;
    std::array<FakeChooser, TabCount> choosers;

    const int lengthChange = input.ConsumeIntegralInRange(-4, 4) / 3; // mostly 0
    // Read as a tab, so that the seeds keep their layout.
    const TuningFile changedFile =
        FileOf(static_cast<Tab>(input.ConsumeIntegralInRange(0, TabCount - 1)));
    const int actions = input.ConsumeIntegralInRange(1, 24);
    // Each action: one byte for its kind, one for the tab or row, one for the item, and
    // for a commit two texts (the value, and one the grid's key once took, still read so
    // that the seeds keep their layout); the rest of the input makes the buffers.
    std::vector<std::array<int, 3>> plan;
    for (int a = 0; a < actions; ++a)
        plan.push_back({input.ConsumeIntegralInRange(0, 7), input.ConsumeIntegralInRange(0, 255),
                        input.ConsumeIntegralInRange(-2, 120)});
    std::vector<std::string> typed;
    for (int a = 0; a < actions; ++a) {
        typed.push_back(input.ConsumeRandomLengthString(32));
        input.ConsumeRandomLengthString(32);
    }
    FillDocuments(state, expected, input.ConsumeRemainingBytesAsString(), lengthChange,
                  changedFile);

    for (size_t a = 0; a < plan.size(); ++a) {
        const auto& [kind, which, item] = plan[a];
        const Tab tab = static_cast<Tab>(which % TabCount);
        FakeChooser& chooser = choosers[static_cast<size_t>(tab)];
        if (kind < 3) {
            const Revisions before = RevisionsOf(state);
            chooser.index = item;
            ChooseSection(state, CatalogueOf(tab), chooser, grid, messages);
            REQUIRE(RevisionsOf(state) == before); // no document touched
            REQUIRE(grid.rowCount() <= RowTableSize);
            for (int n = 1; n <= RowTableSize && state.ShownTab >= 0; ++n) {
                const int line = RowLines({tab, chooser.index, n});
                REQUIRE(line >= 0 && line < state.document(tab).count());
            }
        } else if (kind < 6) {
            // A row the grid shows, as the window names it.
            const int row = 1 + which % std::max(grid.rowCount(), 1);
            if (state.ShownTab >= 0) {
                const Tab shown = static_cast<Tab>(state.ShownTab);
                const int chosen = choosers[static_cast<size_t>(shown)].index;
                Commit(state, expected, {shown, chosen, row}, typed[a]);
            }
        } else if (kind < 7) {
            // Any place, as the tool and tuning sets may name it.
            Commit(state, expected, {tab, item, which % 17 - 2}, typed[a]);
        } else {
            ResetForTab(state, chooser, grid);
            REQUIRE(grid.rowCount() == 1);
        }
    }
    // Every line but the ones the commits rebuilt is as it was made.
    for (TuningFile file : TuningFiles)
        REQUIRE(state.document(file).lines() == expected.buffers[static_cast<size_t>(file)]);
    return 0;
}
