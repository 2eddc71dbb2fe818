// SPDX-License-Identifier: GPL-3.0-or-later
#include "general.h"

#include "about.h"
#include "accessibility.h"
#include "buffer_view.h"
#include "change_marks.h"
#include "closing_question.h"
#include "controls.h"
#include "desktop_launcher.h"
#include "documents/configuration_file.h"
#include "documents/errors.h"
#include "documents/game_files.h"
#include "documents/game_paths.h"
#include "documents/reference_copies.h"
#include "edit_history.h"
#include "editing/game_folder.h"
#include "editing/outcome_texts.h"
#include "editing/section_procedure.h"
#include "editing/start_up.h"
#include "editing/write_back.h"
#include "file_watch.h"
#include "folder_tree.h"
#include "game_folder_panel.h"
#include "game_folder_search.h"
#include "jpeg_picture.h"
#include "key_value_grid.h"
#include "latin1.h"
#include "launching.h"
#include "message_boxes.h"
#include "shown_section.h"
#include "tab_page.h"
#include "text_wrap.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <vector>

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

// Start-up sequence.
void TForm1::FormCreate()
{
    if (FileExists(workFile(SiblingEditor)))
        for (TabPage* page : pages_)
            page->sibling->show();
    setWindowTitle(QStringLiteral("Tunedeck."));
    LabelValid->setText(QStringLiteral("No"));
    // What the window adds to the shared sequence: a missing game file means the saved
    // directory is no longer the game's; a present one is selected in the folder tree.
    struct WindowSteps : StartUpSteps {
        TForm1& form;
        explicit WindowSteps(TForm1& window) : form(window) {}
        void missing(TuningFile, const QString&) override
        {
            QFile::remove(form.workFile(TunedeckIni));
            form.reportCorruptedConfiguration();
        }
        void opening(TuningFile, const QString& path) override
        {
            QFile test(path); // only a test that the file can be opened
            if (!test.open(QIODevice::ReadOnly))
                throw FileError(
                    QStringLiteral("Cannot open file \"%1\". %2").arg(path, test.errorString()));
            const QString& gameDir = form.state_.GameDir;
            if (!form.Directory->selectPath(gameDir))
                throw FileError(QStringLiteral("Cannot select the folder \"%1\".").arg(gameDir));
        }
        void loaded(TuningFile) override
        {
            form.LabelSaved->setText(form.state_.GameDir);
            form.LabelValid->setText(QStringLiteral("Yes"));
        }
    } steps(*this);
    StartUp(state_, *feedback_, steps);
    // With no game folder known, one found on this computer is offered; Save Directory
    // confirms it.
    const QString found =
        Directory->selectedPath().isEmpty() ? FindGameFolder(homeDir_) : QString();
    if (!found.isEmpty() && Directory->selectPath(found))
        DirectoryClick();
    LabelSelected->setText(Directory->selectedPath());
}

void TForm1::reportCorruptedConfiguration()
{
    messages_->error(
        WrapText(QStringLiteral("Your Tunedeck.ini was corrupted and has been deleted. "
                                "You must save your \"Gorewheel 2\" directory again."),
                 60));
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

void TForm1::chooseSection(Tab tab)
{
    guarded([this, tab] { fillSection(tab); });
    sectionShown();
}

// Within a running handler, so its guard reports what goes wrong.
void TForm1::fillSection(Tab tab)
{
    ChooseSection(state_, CatalogueOf(tab), *chooser(tab), *ValueList, *messages_);
}

void TForm1::showSetting(const SettingPlace& place)
{
    // The switch resets the new tab's chooser and the grid, as a click on the tab does.
    PageControl1->setCurrentIndex(static_cast<int>(place.tab));
    chooser(place.tab)->setCurrentIndex(place.item);
    chooseSection(place.tab);
    // The section's guard may have refused it; then there is no row to go to.
    if (state_.ShownTab != static_cast<int>(place.tab))
        return;
    ValueList->setFocus();
    ValueList->setCurrentCell(place.row - 1, 1);
    ValueList->showCurrentRowStatus();
}

void TForm1::showUndone(const SettingPlace& place)
{
    const bool shown = state_.ShownTab == static_cast<int>(place.tab) &&
                       chooser(place.tab)->itemIndex() == place.item;
    if (!shown) {
        showSetting(place);
        return;
    }
    ValueList->setCurrentCell(place.row - 1, 1);
    ValueList->showCurrentRowStatus();
}

void TForm1::ValueListValidate(QObject* /*Sender*/, int /*ACol*/, int ARow,
                               const std::string& /*KeyName*/, const std::string& KeyValue)
{
    guarded([&] {
        if (const std::optional<SettingPlace> place = placeOf(ARow))
            showCommitted(ARow, CommitValue(state_, *place, KeyValue));
    });
}

std::optional<SettingPlace> TForm1::placeOf(int row) const
{
    if (state_.ShownTab < 0 || row < 1 || row > ValueList->rowCount())
        return std::nullopt;
    const Tab tab = static_cast<Tab>(state_.ShownTab);
    return SettingPlace{tab, chooser(tab)->itemIndex(), row};
}

FileWatch::Typing TForm1::typing() const
{
    if (!ValueList->isEditing())
        return {};
    const std::optional<SettingPlace> place = placeOf(ValueList->currentRow() + 1);
    if (!place || RowKeys(*place).empty())
        return {true, std::nullopt};
    return {true, FileOf(place->tab)};
}

void TForm1::showCommitted(int row, const CommitResult& result)
{
    if (!result.refusal.empty())
        messages_->error(QString::fromStdString(result.refusal));
    const std::optional<SettingPlace> place = placeOf(row);
    if (!place)
        return;
    const QString value = FromLatin1(ShownValueAt(state_, *place));
    editHistory_->add(StepName(ValueList->key(row)) + QStringLiteral(" = ") + value,
                      {result.changes, {}}, *place);
    if (QTableWidgetItem* cell = ValueList->item(row - 1, 1))
        cell->setText(value);
}

void TForm1::save(Tab tab)
{
    guarded([this, tab] { Save(state_, *feedback_, tab); });
}

void TForm1::backup(Tab tab)
{
    guarded([this, tab] { Backup(state_, *feedback_, tab); });
}

void TForm1::DirectoryClick()
{
    folderPanel_->showSelection();
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

void TForm1::SaveDirClick()
{
    // The game files this save read from the chosen folder: where the working folder
    // holds no reference copy of one, it becomes its copy before anything can change it.
    std::vector<TuningFile> loaded;
    guarded([this, &loaded] {
        const QString dir = Directory->selectedPath();
        const FolderSave save = SaveGameFolder(state_, *feedback_, dir, workFile(TunedeckIni));
        if (save.generalHalf)
            LabelSaved->setText(dir);
        loaded = save.loaded;
    });
    if (!loaded.empty())
        guarded([this, &loaded] {
            TellTakenCopies(*messages_, TakeMissingReferenceCopies(state_, loaded));
        });
    editHistory_->clear(); // the documents were read anew: nothing before this can be undone
    fileWatch_->follow();
    changeMarks_->refresh(); // the reference copies may be new
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
