// SPDX-License-Identifier: GPL-3.0-or-later
// Timings of the steps a user waits for: loading a game file, filling the grid with a
// section, committing one skill value and saving a buffer. Loading and saving are each
// measured beside the plainest code that moves the same bytes, so the figures say what
// the program adds on top of the system calls. After the run a summary table compares
// the medians with what we aim for.

#include "catalogue/catalogue.h"
#include "documents/game_files.h"
#include "editing/section_procedure.h"
#include "editing/tab_actions.h"
#include "editing/write_back.h"
#include "support/fakes.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A scratch copy of the demo game folder, made once for the whole run.
class Workspace {
public:
    Workspace()
    {
        if (!dir_.isValid() || !QDir(dir_.path()).mkpath(QStringLiteral("game/data/peds")))
            throw std::runtime_error("cannot make a temporary folder");
        copy(QStringLiteral("game/data/General.txt"));
        copy(QStringLiteral("game/data/peds/Settings.txt"));
    }
    QString path(const QString& relative) const { return dir_.filePath(relative); }
    QString generalPath() const { return path(QStringLiteral("game/data/General.txt")); }
    QString settingsPath() const { return path(QStringLiteral("game/data/peds/Settings.txt")); }

private:
    void copy(const QString& relative)
    {
        const QString from = QStringLiteral(TUNEDECK_SAMPLE_DIR "/") + relative;
        if (!QFile::copy(from, path(relative)))
            throw std::runtime_error("cannot copy " + from.toStdString());
    }
    QTemporaryDir dir_;
};

Workspace& Files()
{
    static Workspace workspace;
    return workspace;
}

// A state with both game files known and all four buffers loaded.
AppState LoadedState()
{
    AppState state;
    state.GeneralPath = Files().generalPath();
    state.SettingsPath = Files().settingsPath();
    FakeMessages messages;
    FakeProgress bar;
    FakeChooser chooser;
    LoadBuffer(state, messages, bar, chooser, state.GeneralPath);
    LoadBuffer(state, messages, bar, chooser, state.SettingsPath);
    return state;
}

// ---- Loading -------------------------------------------------------------------------

void LoadGameFile(benchmark::State& st, bool general)
{
    AppState state;
    state.GeneralPath = Files().generalPath();
    state.SettingsPath = Files().settingsPath();
    const QString& path = general ? state.GeneralPath : state.SettingsPath;
    const GameDocument& buffer = general ? state.GeneralText : state.SettingsText;
    FakeMessages messages;
    FakeProgress bar;
    FakeChooser chooser;
    for (auto _ : st) {
        LoadBuffer(state, messages, bar, chooser, path);
        benchmark::DoNotOptimize(buffer.count());
    }
    const int expected = general ? GeneralLineCount : SettingsLineCount;
    if (buffer.count() != expected || !messages.shown.empty())
        st.SkipWithError("the game file did not load");
}

// The floor: one open, one read of the whole file, split at LF (a CR before it dropped).
std::vector<std::string> ReadAndSplit(const char* path)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0)
        throw std::runtime_error("cannot open the game file");
    std::string bytes(static_cast<size_t>(info.st_size) + 1, '\0');
    const ssize_t got = ::read(fd, bytes.data(), bytes.size());
    ::close(fd);
    if (got < 0)
        throw std::runtime_error("cannot read the game file");
    bytes.resize(static_cast<size_t>(got));

    std::vector<std::string> lines;
    const char* at = bytes.data();
    const char* end = at + bytes.size();
    while (at < end) {
        const char* lf = static_cast<const char*>(std::memchr(at, '\n', end - at));
        const char* stop = lf ? lf : end;
        const char* last = (lf && stop > at && stop[-1] == '\r') ? stop - 1 : stop;
        lines.emplace_back(at, last);
        at = lf ? lf + 1 : end;
    }
    return lines;
}

void LoadBaseline(benchmark::State& st, bool general)
{
    const std::string path =
        (general ? Files().generalPath() : Files().settingsPath()).toStdString();
    size_t count = 0;
    for (auto _ : st) {
        std::vector<std::string> lines = ReadAndSplit(path.c_str());
        count = lines.size();
        benchmark::DoNotOptimize(lines.data());
    }
    if (count != static_cast<size_t>(general ? GeneralLineCount : SettingsLineCount))
        st.SkipWithError("the baseline read the wrong number of lines");
}

// ---- Filling the grid -----------------------------------------------------------------

// The chooser item whose section has the most rows.
int LargestSectionItem(const TabCatalogue& tab)
{
    int best = -1;
    size_t most = 0;
    for (size_t i = 0; i < tab.items.size(); ++i) {
        const ChooserItem& item = tab.items[i];
        if (item.kind == ItemKind::Section && item.section->size() > most) {
            most = item.section->size();
            best = static_cast<int>(i);
        }
    }
    return best;
}

void FillLargestSection(benchmark::State& st, Tab tab)
{
    AppState state = LoadedState();
    const TabCatalogue& catalogue = CatalogueOf(tab);
    FakeChooser chooser;
    chooser.index = LargestSectionItem(catalogue);
    FakeGrid grid;
    FakeMessages messages;
    for (auto _ : st) {
        ChooseSection(state, catalogue, chooser, grid, messages);
        benchmark::DoNotOptimize(grid.rows.data());
    }
    const ChooserItem& item = catalogue.items[static_cast<size_t>(chooser.index)];
    st.SetLabel(item.text + ", " + std::to_string(item.section->size()) + " rows");
    if (grid.rows.size() != item.section->size() || !messages.shown.empty())
        st.SkipWithError("the section was not shown");
}

// ---- Editing --------------------------------------------------------------------------

// The first section row of a General.txt tab whose skill value is written into all three
// copies of General.txt; its item index and grid row.
// The first skill row of the tab's sections.
std::optional<SettingPlace> FirstSkillRow(Tab tab)
{
    std::optional<SettingPlace> found;
    ForEachSectionRow([&](const SettingPlace& place, const ChooserItem&, const SectionRow& row) {
        if (!found && place.tab == tab && row.kind == RowKind::Skill)
            found = place;
    });
    return found;
}

void SkillEditIntoDocument(benchmark::State& st)
{
    AppState state = LoadedState();
    // A Miscellaneous line is a General.txt line: it goes into the one General.txt document.
    const std::optional<SettingPlace> place = FirstSkillRow(Tab::Miscellaneous);
    if (!place) {
        st.SkipWithError("no skill row on the Miscellaneous tab");
        return;
    }
    const int line = RowAt(*place)->line;
    const std::string before = state.GeneralText.line(line);
    const std::string values[2] = {"1234", "5678"};
    int turn = 0;
    for (auto _ : st) {
        CommitResult result = CommitValue(state, *place, values[turn]);
        turn ^= 1;
        benchmark::DoNotOptimize(result.changes.data());
    }
    const std::string& written = state.GeneralText.line(line);
    if (written == before)
        st.SkipWithError("the edit did not reach the document");
}

// ---- Saving ---------------------------------------------------------------------------

void SaveGeneral(benchmark::State& st)
{
    AppState state = LoadedState();
    FakeMessages messages;
    FakeProgress progress;
    bool updated = true;
    for (auto _ : st) {
        WriteBuffers(state, messages, progress,
                     {{&state.GeneralText.text(), state.GeneralPath, TuningFile::General}});
        updated = updated && messages.shown.size() == 1 &&
                  messages.shown.front().first == FakeMessages::Information;
        messages.shown.clear();
    }
    if (!updated)
        st.SkipWithError("a save did not succeed");
}

// The floor: the same bytes written to a new file beside the target with one write call,
// flushed to the disk and renamed over the target, and the folder flushed so that the
// rename is on the disk too.
void SaveBaseline(benchmark::State& st)
{
    const AppState state = LoadedState();
    std::vector<std::string> lines = state.GeneralText.lines();
    lines.front() = GeneralHeaderLine;
    FakeProgress bar;
    const std::string bytes = FileBytes(TextBuffer(lines), nullptr, bar);
    const std::string target = Files().path(QStringLiteral("game/data/Baseline.txt")).toStdString();
    const std::string temporary = target + ".new";
    const std::string folder = target.substr(0, target.rfind('/'));
    bool written = true;
    for (auto _ : st) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        written = written && fd >= 0 &&
                  ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
        written = written && ::fsync(fd) == 0;
        written = ::close(fd) == 0 && written;
        written = written && std::rename(temporary.c_str(), target.c_str()) == 0;
        const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        written = written && folderFd >= 0 && ::fsync(folderFd) == 0;
        written = ::close(folderFd) == 0 && written;
    }
    if (!written)
        st.SkipWithError("the baseline could not write its file");
}

// ---- Summary --------------------------------------------------------------------------

// Keeps the median (or, without repetitions, the only) wall time of every benchmark.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians; // microseconds, by benchmark name

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (median ||
                (run.run_type == Run::RT_Iteration && !medians.count(run.run_name.function_name)))
                medians[run.run_name.function_name] =
                    run.GetAdjustedRealTime() *
                    (1e6 / benchmark::GetTimeUnitMultiplier(run.time_unit));
        }
    }
};

struct Goal {
    const char* step;
    const char* name;
    const char* baseline; // nullptr: judged against the absolute limit
    double limit;         // ratio to the baseline, or microseconds
};

const Goal Goals[] = {
    {"Load General.txt (410 lines)", "Load/General.txt", "Load/General.txt/baseline", 3.0},
    {"Load Settings.txt (965 lines)", "Load/Settings.txt", "Load/Settings.txt/baseline", 3.0},
    {"Fill largest Car Settings section", "Fill/CarSettings", nullptr, 50.0},
    {"Fill largest Pedestrians section", "Fill/Pedestrians", nullptr, 50.0},
    {"Fill largest Miscellaneous section", "Fill/Miscellaneous", nullptr, 50.0},
    {"Fill largest APO section", "Fill/APO", nullptr, 50.0},
    {"Skill edit into the document", "Edit/SkillIntoDocument", nullptr, 50.0},
    {"Save a 410-line buffer", "Save/General.txt", "Save/General.txt/baseline", 1.2},
};

// Returns the number of goals missed.
int PrintSummary(const std::map<std::string, double>& medians)
{
    std::printf("\n%-36s %12s %14s %7s  %-18s %s\n", "Step", "Median (us)", "Baseline (us)",
                "Ratio", "Target", "Met");
    int missed = 0;
    for (const Goal& goal : Goals) {
        const auto found = medians.find(goal.name);
        if (found == medians.end()) {
            std::printf("%-36s %12s\n", goal.step, "not run");
            continue;
        }
        const double time = found->second;
        char target[32];
        bool met;
        if (goal.baseline) {
            const auto base = medians.find(goal.baseline);
            if (base == medians.end()) {
                std::printf("%-36s %12.1f %14s\n", goal.step, time, "not run");
                continue;
            }
            const double ratio = time / base->second;
            met = ratio <= goal.limit;
            std::snprintf(target, sizeof target, "<= %.1f x baseline", goal.limit);
            std::printf("%-36s %12.1f %14.1f %7.2f  %-18s %s\n", goal.step, time, base->second,
                        ratio, target, met ? "yes" : "NO");
        } else {
            met = time < goal.limit;
            std::snprintf(target, sizeof target, "< %.0f us", goal.limit);
            std::printf("%-36s %12.1f %14s %7s  %-18s %s\n", goal.step, time, "-", "-", target,
                        met ? "yes" : "NO");
        }
        missed += met ? 0 : 1;
    }
    return missed;
}

void Register()
{
    auto micro = [](benchmark::internal::Benchmark* b) {
        return b->Unit(benchmark::kMicrosecond)->UseRealTime();
    };
    micro(benchmark::RegisterBenchmark("Load/General.txt", LoadGameFile, true));
    micro(benchmark::RegisterBenchmark("Load/General.txt/baseline", LoadBaseline, true));
    micro(benchmark::RegisterBenchmark("Load/Settings.txt", LoadGameFile, false));
    micro(benchmark::RegisterBenchmark("Load/Settings.txt/baseline", LoadBaseline, false));
    micro(benchmark::RegisterBenchmark("Fill/CarSettings", FillLargestSection, Tab::CarSettings));
    micro(benchmark::RegisterBenchmark("Fill/Pedestrians", FillLargestSection, Tab::Pedestrians));
    micro(
        benchmark::RegisterBenchmark("Fill/Miscellaneous", FillLargestSection, Tab::Miscellaneous));
    micro(benchmark::RegisterBenchmark("Fill/APO", FillLargestSection, Tab::APO));
    micro(benchmark::RegisterBenchmark("Edit/SkillIntoDocument", SkillEditIntoDocument));
    micro(benchmark::RegisterBenchmark("Save/General.txt", SaveGeneral));
    micro(benchmark::RegisterBenchmark("Save/General.txt/baseline", SaveBaseline));
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Register();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintSummary(reporter.medians);
    // Missed goals are reported, never turned into a failure.
    return 0;
}
