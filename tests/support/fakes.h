// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"
#include "documents/errors.h"
#include "documents/game_files.h"
#include "documents/interfaces.h"
#include "editing/section_controls.h"
#include "editing/tab_actions.h"
#include "support/test_support.h"

#include <QString>
#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

// Stand-ins for the window, recording what the core asked of it.

struct FakeMessages : Messages {
    enum Kind { Error, Warning, Information, Plain, Report };
    std::vector<std::pair<Kind, QString>> shown;

    void error(const QString& text) override { shown.emplace_back(Error, text); }
    void warning(const QString& text) override { shown.emplace_back(Warning, text); }
    void information(const QString& text) override { shown.emplace_back(Information, text); }
    void plain(const QString& text) override { shown.emplace_back(Plain, text); }
    void report(const QString& text) override { shown.emplace_back(Report, text); }
    bool answer = false;              // to every question
    std::function<void()> whileAsked; // runs while a question is open
    bool ask(const QString& text) override
    {
        shown.emplace_back(Warning, text);
        if (whileAsked)
            whileAsked();
        return answer;
    }
    Closing closing = Closing::Cancel; // to the question before closing
    Closing askBeforeClosing(const QString& text) override { return warning(text), closing; }

    std::vector<QString> texts(Kind kind) const
    {
        std::vector<QString> result;
        for (const auto& [k, text] : shown)
            if (k == kind)
                result.push_back(text);
        return result;
    }
    bool anyStartsWith(const QString& prefix) const
    {
        for (const auto& entry : shown)
            if (entry.second.startsWith(prefix))
                return true;
        return false;
    }
};

struct FakeProgress : Progress {
    int maximum = 1796;
    int pos = 0;
    int steps = 0;
    int maximumWhenFirstStepped = -1;

    void setMaximum(int value) override { maximum = value; }
    void stepIt() override
    {
        if (steps++ == 0)
            maximumWhenFirstStepped = maximum;
        ++pos;
    }
    void setPosition(int value) override { pos = value; }
    int position() const override { return pos; }
};

struct FakeChooser : Chooser {
    int index = -1;
    std::string text = "Choose Setting";
    int itemIndex() const override { return index; }
    void clearSelection() override
    {
        if (index != -1)
            text.clear();
        index = -1;
    }
    void setText(const std::string& value) override { text = value; }
};

struct FakeGrid : Grid {
    std::vector<std::pair<std::string, std::string>> rows; // data row n is rows[n - 1]
    int rowCount() const override { return static_cast<int>(rows.size()); }
    void deleteRow(int row) override { rows.erase(rows.begin() + (row - 1)); }
    void insertTop(const std::string& key, const std::string& value) override
    {
        rows.insert(rows.begin(), {key, value});
    }
};

// Loads a document as start-up loads a game file (a path equal to GeneralPath or
// SettingsPath), or else as the tool's restore loads a reference copy (a bare name is found
// in the working folder). A game file that is not loaded, or any file that cannot be read,
// ends the load with a silent abort after its message, as either ends start-up.
inline void LoadBuffer(AppState& state, Messages& messages, Progress& bar, Chooser& chooser,
                       const QString& path)
{
    const bool gameFile =
        !path.isEmpty() && (path == state.GeneralPath || path == state.SettingsPath);
    const TuningFile file = path == state.SettingsPath || path == QLatin1String(OriginalSettings)
                                ? TuningFile::Settings
                                : TuningFile::General;
    const ReadOutcome outcome =
        LoadGameFile(state, messages, bar, chooser, file, state.workFile(path),
                     gameFile ? LoadAs::GameFile : LoadAs::ReferenceCopy);
    if (outcome == ReadOutcome::ReadError || (gameFile && outcome != ReadOutcome::Loaded))
        throw SilentAbort();
}

// A work folder with its game directory known, and the core's state with stand-ins for the
// window's controls around it.
struct FolderState {
    WorkFolder work;
    AppState state;
    FakeMessages messages;
    FakeProgress progress;
    std::array<FakeChooser, TabCount> choosers;
    Feedback controls{messages, progress, {&choosers[0], &choosers[1], &choosers[2], &choosers[3]}};

    FolderState()
    {
        state.WorkDir = work.path();
        state.GameDir = work.gameDir();
        state.GeneralPath = work.generalPath();
        state.SettingsPath = work.settingsPath();
    }
};
