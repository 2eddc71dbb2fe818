// SPDX-License-Identifier: GPL-3.0-or-later
#include "general.h"

#include "about.h"
#include "accessibility.h"
#include "change_marks.h"
#include "closing_question.h"
#include "controls.h"
#include "desktop_launcher.h"
#include "documents/errors.h"
#include "documents/game_files.h"
#include "edit_history.h"
#include "editing/section_procedure.h"
#include "file_watch.h"
#include "key_value_grid.h"
#include "launching.h"
#include "message_boxes.h"
#include "shown_section.h"
#include "tab_page.h"

#include <QCloseEvent>
#include <QDir>
#include <QTabWidget>

TForm1::TForm1(TForm1Services services, QWidget* parent)
    : QMainWindow(parent), messages_(services.messages), launcher_(services.launcher),
      questions_(services.questions)
{
    state_.WorkDir = services.workDir;
    homeDir_ = services.homeDir.isEmpty() ? QDir::homePath() : services.homeDir;
    if (!messages_) {
        ownMessages_ = std::make_unique<MessageBoxes>(this);
        messages_ = ownMessages_.get();
    }
    if (!launcher_) {
        ownLauncher_ = std::make_unique<DesktopLauncher>();
        launcher_ = ownLauncher_.get();
    }
    InstallScreenReaderInterfaces(); // before the controls, whose interfaces Qt keeps
    buildForm();
    shownSection_ =
        new ShownSection(state_, *ValueList, {ComboBox1, ComboBox2, ComboBox3, ComboBox4}, this);
    feedback_ =
        std::make_unique<Feedback>(Feedback{*messages_,
                                            *ProgressBar1,
                                            {&shownSection_->chooserForLoads(Tab::CarSettings),
                                             &shownSection_->chooserForLoads(Tab::Pedestrians),
                                             &shownSection_->chooserForLoads(Tab::Miscellaneous),
                                             &shownSection_->chooserForLoads(Tab::APO)}});
    launching_ = new Launching(
        state_, *messages_, *launcher_, [this] { close(); }, this);
    connectHandlers();
    orderTabKeys();
    installFeatures();
    guarded([this] { FormCreate(); });
    fileWatch_->follow();
}

TForm1::~TForm1()
{
    // An edit still open in the grid commits when its editor loses the focus; let the
    // grid go while the state it writes to is still here.
    changeMarks_ = nullptr;
    delete centralWidget();
}

void TForm1::guarded(const std::function<void()>& handler)
{
    RunGuarded(*messages_, handler);
}

QString TForm1::workFile(const char* name) const
{
    return state_.workFile(QString::fromLatin1(name));
}

SectionChooser* TForm1::chooser(Tab tab) const
{
    return pages_[static_cast<size_t>(tab)]->chooser;
}

void TForm1::PageControl1Change()
{
    guarded([this] {
        // An edit still open in the grid belongs to the section shown before the switch.
        ValueList->commitPendingEdit();
        ResetForTab(state_, *chooser(static_cast<Tab>(PageControl1->currentIndex())), *ValueList);
    });
    sectionShown();
}

void TForm1::Exit1Click()
{
    close();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    event->setAccepted(closingQuestion_->mayClose());
}

void TForm1::save(Tab tab)
{
    guarded([this, tab] { Save(state_, *feedback_, tab); });
}

void TForm1::backup(Tab tab)
{
    guarded([this, tab] { Backup(state_, *feedback_, tab); });
}

void TForm1::restore(Tab tab)
{
    RestoreResult restored;
    guarded([&] { restored = Restore(state_, *feedback_, tab); });
    // A step even when a copy that cannot be read ended it: Undo gives back what it emptied.
    editHistory_->perform(FileOf(tab) == TuningFile::General
                              ? QStringLiteral("Restore General.txt")
                              : QStringLiteral("Restore Settings.txt"),
                          std::move(restored.edit));
    if (!restored.readError.isEmpty())
        messages_->report(restored.readError);
}

void TForm1::LaunchSibling()
{
    // Tunedeck closes once the sibling editor runs: edits not on disk are asked about
    // first, before the sibling reads the files.
    if (closingQuestion_->mayClose())
        launching_->launchSibling();
}

void TForm1::Gorewheel21Click()
{
    guarded([this] { launching_->launchGame([this] { return closingQuestion_->mayLaunch(); }); });
}

void TForm1::About1Click()
{
    // Built when first asked for: most sessions never open it, and its texts cost fonts.
    if (!AboutBox)
        AboutBox = new TAboutBox(this);
    AboutBox->exec();
}
