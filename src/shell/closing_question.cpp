// SPDX-License-Identifier: GPL-3.0-or-later
#include "closing_question.h"

#include "documents/disk_stamps.h"
#include "documents/game_files.h"
#include "documents/interfaces.h"
#include "documents/reference_copies.h"
#include "questions.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QStringList>
#include <vector>

namespace {

std::array<std::uint64_t, 2> Revisions(const AppState& state)
{
    return {state.document(TuningFile::General).revision(),
            state.document(TuningFile::Settings).revision()};
}

} // namespace

ClosingQuestion::ClosingQuestion(Window window, QObject* parent)
    : QObject(parent), window_(std::move(window))
{
    connect(qApp, &QGuiApplication::commitDataRequest, this, &ClosingQuestion::sessionEnding);
}

// The tab whose Save writes the file when its document holds edits not on disk, the shown
// tab when it shows the file; none: -1.
int ClosingQuestion::unsavedTab(TuningFile file) const
{
    if (!window_.state.document(file).holdsUnsavedEdits())
        return -1;
    const Tab shown = window_.shownTab();
    return static_cast<int>(FileOf(shown) == file ? shown : TabOf(file));
}

ClosingQuestion::Unsaved ClosingQuestion::unsaved()
{
    window_.commitPendingEdit(); // an edit still open in the grid is an edit too
    Unsaved unsaved;
    QStringList names;
    for (TuningFile file : TuningFiles)
        if (const int tab = unsavedTab(file); tab >= 0) {
            unsaved.files.emplace_back(file, static_cast<Tab>(tab));
            names << QLatin1String(GameFileName(file));
        }
    unsaved.names = names.join(QStringLiteral(" and "));
    return unsaved;
}

bool ClosingQuestion::saveEach(const Unsaved& unsaved)
{
    for (const auto& [file, tab] : unsaved.files) {
        window_.saveTab(tab);
        if (unsavedTab(file) >= 0)
            return false; // refused, declined or failed: what it said is on screen
    }
    return true;
}

bool ClosingQuestion::mayClose()
{
    const Unsaved edits = unsaved();
    if (edits.files.empty() || letGo_ == Revisions(window_.state))
        return true;
    switch (window_.messages.askBeforeClosing(
        QStringLiteral("Save the changes to %1 before closing?").arg(edits.names))) {
    case Messages::Closing::Cancel:
        return false;
    case Messages::Closing::DontSave:
        letGo_ = Revisions(window_.state);
        return true;
    case Messages::Closing::Save:
        break;
    }
    return saveEach(edits);
}

bool ClosingQuestion::mayLaunch()
{
    const Unsaved edits = unsaved();
    if (edits.files.empty())
        return true;
    enum { Save, LaunchAnyway, Cancel };
    switch (window_.questions.choose(
        QStringLiteral("Save the changes to %1 before launching Gorewheel 2?").arg(edits.names),
        {QStringLiteral("Save"), QStringLiteral("Launch without saving"), QStringLiteral("Cancel")},
        Save)) {
    case Save:
        return saveEach(edits);
    case LaunchAnyway:
        return true;
    default:
        return false;
    }
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
