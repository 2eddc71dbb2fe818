#include "closing_question.h"

#include "documents/disk_stamps.h"
#include "documents/game_files.h"
#include "documents/interfaces.h"
#include "documents/reference_copies.h"
#include "general.h"
#include "key_value_grid.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QStringList>
#include <QTabWidget>
#include <vector>

namespace {

std::array<std::uint64_t, TabCount> Revisions(const AppState& state)
{
    std::array<std::uint64_t, TabCount> revisions{};
    for (Tab tab : AllTabs)
        revisions[static_cast<size_t>(tab)] = state.buffer(tab).revision();
    return revisions;
}

// The tab whose copy of the file holds edits not on disk, the shown tab first; none: -1.
int UnsavedTab(TForm1& form, TuningFile file)
{
    const Tab shown = static_cast<Tab>(form.PageControl1->currentIndex());
    if (FileOf(shown) == file && HoldsUnsavedEdits(form.state(), shown))
        return static_cast<int>(shown);
    for (Tab tab : BuffersOf(file))
        if (HoldsUnsavedEdits(form.state(), tab))
            return static_cast<int>(tab);
    return -1;
}

} // namespace

ClosingQuestion::ClosingQuestion(TForm1& form) : QObject(&form), form_(form)
{
    connect(qApp, &QGuiApplication::commitDataRequest, this, &ClosingQuestion::sessionEnding);
}

bool ClosingQuestion::mayClose()
{
    form_.ValueList->commitPendingEdit(); // an edit still open in the grid is an edit too
    std::vector<std::pair<TuningFile, int>> unsaved; // file, the tab whose Save writes it
    QStringList names;
    for (TuningFile file : TuningFiles)
        if (const int tab = UnsavedTab(form_, file); tab >= 0) {
            unsaved.emplace_back(file, tab);
            names << QLatin1String(GameFileName(file));
        }
    if (unsaved.empty() || letGo_ == Revisions(form_.state()))
        return true;
    switch (form_.messages().askBeforeClosing(
        QStringLiteral("Save the changes to %1 before closing?").arg(names.join(" and ")))) {
    case Messages::Closing::Cancel:
        return false;
    case Messages::Closing::DontSave:
        letGo_ = Revisions(form_.state());
        return true;
    case Messages::Closing::Save:
        break;
    }
    using Handler = void (TForm1::*)();
    const std::array<Handler, TabCount> saves{&TForm1::Button1Click, &TForm1::SavePedClick,
                                              &TForm1::MiscSaveClick, &TForm1::APOSaveClick};
    for (const auto& [file, tab] : unsaved) {
        (form_.*saves[static_cast<size_t>(tab)])();
        if (UnsavedTab(form_, file) >= 0)
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
