// SPDX-License-Identifier: GPL-3.0-or-later
#include "closing_question.h"

#include "documents/disk_stamps.h"
#include "documents/game_files.h"
#include "documents/interfaces.h"
#include "documents/reference_copies.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QStringList>
#include <vector>

namespace {

std::array<std::uint64_t, TabCount> Revisions(const AppState& state)
{
    std::array<std::uint64_t, TabCount> revisions{};
    for (Tab tab : AllTabs)
        revisions[static_cast<size_t>(tab)] = state.buffer(tab).revision();
    return revisions;
}

} // namespace

ClosingQuestion::ClosingQuestion(Window window, QObject* parent)
    : QObject(parent), window_(std::move(window))
{
    connect(qApp, &QGuiApplication::commitDataRequest, this, &ClosingQuestion::sessionEnding);
}

// The tab whose copy of the file holds edits not on disk, the shown tab first; none: -1.
int ClosingQuestion::unsavedTab(TuningFile file) const
{
    const Tab shown = window_.shownTab();
    if (FileOf(shown) == file && HoldsUnsavedEdits(window_.state, shown))
        return static_cast<int>(shown);
    for (Tab tab : BuffersOf(file))
        if (HoldsUnsavedEdits(window_.state, tab))
            return static_cast<int>(tab);
    return -1;
}

bool ClosingQuestion::mayClose()
{
    window_.commitPendingEdit(); // an edit still open in the grid is an edit too
    std::vector<std::pair<TuningFile, int>> unsaved; // file, the tab whose Save writes it
    QStringList names;
    for (TuningFile file : TuningFiles)
        if (const int tab = unsavedTab(file); tab >= 0) {
            unsaved.emplace_back(file, tab);
            names << QLatin1String(GameFileName(file));
        }
    if (unsaved.empty() || letGo_ == Revisions(window_.state))
        return true;
    switch (window_.messages.askBeforeClosing(
        QStringLiteral("Save the changes to %1 before closing?").arg(names.join(" and ")))) {
    case Messages::Closing::Cancel:
        return false;
    case Messages::Closing::DontSave:
        letGo_ = Revisions(window_.state);
        return true;
    case Messages::Closing::Save:
        break;
    }
    for (const auto& [file, tab] : unsaved) {
        window_.saveTab(static_cast<Tab>(tab));
        if (unsavedTab(file) >= 0)
            return false; // refused, declined or failed: what it said is on screen
    }
    return true;
}

void ClosingQuestion::sessionEnding(QSessionManager& manager)
{
    // Without leave to ask, nothing is decided here: the close that ends the program asks.
    if (!manager.allowsInteraction())
        return;
    if (!mayClose())
        manager.cancel();
    manager.release();
}
