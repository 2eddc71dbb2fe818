// SPDX-License-Identifier: GPL-3.0-or-later
#include "general.h"

#include "accessibility.h"
#include "buffer_view.h"
#include "change_marks.h"
#include "changes_view.h"
#include "closing_question.h"
#include "controls.h"
#include "desktop_conventions.h"
#include "edit_history.h"
#include "file_watch.h"
#include "find_setting_dialog.h"
#include "focus_announcements.h"
#include "folder_tree.h"
#include "form_parts.h"
#include "game_folder_panel.h"
#include "history_dialog.h"
#include "jpeg_picture.h"
#include "key_value_grid.h"
#include "message_boxes.h"
#include "outcome_voice.h"
#include "tab_page.h"
#include "tuning_set_actions.h"

#include <QAction>
#include <QCheckBox>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <array>
#include <tuple>
#include <vector>

// The window's declared layout and its wiring: which control sits where, and which
// handler each control's event runs.

// The window's layout: every control with its name, place, size, caption and hint.
void TForm1::buildForm()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont font;
    font.setFamilies(
        InstalledFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arial"}));
    font.setPointSize(8);
    setFont(font);
    setWindowIcon(
        QIcon(QPixmap::fromImage(LoadJpegPicture(QStringLiteral(":/pictures/icon.jpg")))));

    buildMenus();

    // Window-wide controls, bottom to top.
    auto* client = new QWidget;
    client->setFixedSize(801, 522);
    // Black behind the tabs; the menu and status bars keep the desktop's colours.
    QPalette black = client->palette();
    black.setColor(QPalette::Window, Qt::black);
    client->setPalette(black);
    client->setAutoFillBackground(true);
    setCentralWidget(client);
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(23);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setStatusTip(QStringLiteral("Congrats, you found the status bar."));
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    PageControl1 = Place(new QTabWidget(client), "PageControl1", {0, 0, 801, 522});
    PageControl1->setTabPosition(QTabWidget::East);
    PageControl1->setAccessibleName(QStringLiteral("Tabs"));
    ProgressBar1 = Place(new ProgressBar(client), "ProgressBar1", {8, 496, 761, 17});
    ProgressBar1->setMaximum(1796);
    ProgressBar1->setAccessibleName(QStringLiteral("Progress"));
    Panel1 = Place(new QFrame(client), "Panel1", {288, 8, 481, 297});
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    ValueList = Place(new KeyValueGrid(Panel1), "ValueList", {8, 8, 465, 281});
    ValueList->setStatusTip(QStringLiteral("Change details here."));
    buildPages();
    Panel1->raise();
    ProgressBar1->raise();
}

// The four tab pages, and the game-folder panel on the first.
void TForm1::buildPages()
{
    for (Tab tab : AllTabs)
        pages_[static_cast<size_t>(tab)] = new TabPage(tab, state_.document(tab), PageControl1);
    std::tie(TabSheet1, Image1, GroupBox1, ComboBox1, Button3, Button4, GeneralBut, Button1,
             DetailsCheck, Memo1) = pages_[0]->controls();
    std::tie(TabSheet2, Image2, GroupBox2, ComboBox2, BackPed, RestorePed, LaunchPW, SavePed,
             DetailsCheck2, PedMemo) = pages_[1]->controls();
    std::tie(TabSheet3, Image3, GroupBox3, ComboBox3, MiscBackup, MiscRestore, MiscPerkwright,
             MiscSave, DetailsCheck3, MiscMemo) = pages_[2]->controls();
    std::tie(TabSheet4, Image4, GroupBox4, ComboBox4, APOBackup, APORestore, APOPerkwright, APOSave,
             DetailsCheck4, APOMemo) = pages_[3]->controls();

    folderPanel_ = new GameFolderPanel(TabSheet1);
    Memo1->raise(); // the details view covers the folder panel when shown
    Directory = folderPanel_->tree;
    SaveDir = folderPanel_->saveButton;
    Directories = folderPanel_->box;
    Label1 = folderPanel_->savedCaption;
    LabelSaved = folderPanel_->saved;
    Label2 = folderPanel_->selectedCaption;
    LabelSelected = folderPanel_->selected;
    Label3 = folderPanel_->validCaption;
    LabelValid = folderPanel_->valid;
}

void TForm1::buildMenus()
{
    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("File"));
    File1 = fileMenu->menuAction();
    Exit1 = fileMenu->addAction(QStringLiteral("Exit"));
    Exit1->setStatusTip(QStringLiteral("Exit Perkwright"));
    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("View"));
    View1 = viewMenu->menuAction();
    ShowContents1 = viewMenu->addAction(QStringLiteral("View File Details"));
    ShowContents1->setCheckable(true);
    ShowContents1->setStatusTip(QStringLiteral("Show/Hide File Contents."));
    About1 = menuBar()->addAction(QStringLiteral("About"));
    About1->setStatusTip(QStringLiteral("About Perkwright"));
    N1 = menuBar()->addAction(QStringLiteral("|"));
    Gorewheel21 = menuBar()->addAction(QStringLiteral("Launch Gorewheel 2"));
    N2 = menuBar()->addAction(QStringLiteral("|"));
    const std::pair<QAction*, const char*> names[] = {{File1, "File1"},
                                                      {Exit1, "Exit1"},
                                                      {View1, "View1"},
                                                      {ShowContents1, "ShowContents1"},
                                                      {About1, "About1"},
                                                      {N1, "N1"},
                                                      {Gorewheel21, "Gorewheel21"},
                                                      {N2, "N2"}};
    for (const auto& [action, name] : names)
        action->setObjectName(QLatin1String(name));
    HideFromScreenReaders(N1);
    HideFromScreenReaders(N2);
}

void TForm1::connectHandlers()
{
    struct TabSlots {
        void (TForm1::*choose)();
        void (TForm1::*backup)();
        void (TForm1::*restore)();
        void (TForm1::*save)();
        void (TForm1::*sibling)();
        void (TForm1::*details)();
    };
    const std::array<TabSlots, TabCount> handlers{{
        {&TForm1::ComboBox1Change, &TForm1::Button3Click, &TForm1::Button4Click,
         &TForm1::Button1Click, &TForm1::GeneralButClick, &TForm1::DetailsCheckClick},
        {&TForm1::ComboBox2Change, &TForm1::BackPedClick, &TForm1::RestorePedClick,
         &TForm1::SavePedClick, &TForm1::LaunchPWClick, &TForm1::DetailsCheck2Click},
        {&TForm1::ComboBox3Change, &TForm1::MiscBackupClick, &TForm1::MiscRestoreClick,
         &TForm1::MiscSaveClick, &TForm1::MiscPerkwrightClick, &TForm1::DetailsCheck3Click},
        {&TForm1::ComboBox4Change, &TForm1::APOBackupClick, &TForm1::APORestoreClick,
         &TForm1::APOSaveClick, &TForm1::APOPerkwrightClick, &TForm1::DetailsCheck4Click},
    }};
    for (Tab tab : AllTabs) {
        const TabPage* page = pages_[static_cast<size_t>(tab)];
        const TabSlots& slot = handlers[static_cast<size_t>(tab)];
        connect(page->chooser, &SectionChooser::changed, this, slot.choose);
        connect(page->backup, &QPushButton::clicked, this, slot.backup);
        connect(page->restore, &QPushButton::clicked, this, slot.restore);
        connect(page->save, &QPushButton::clicked, this, slot.save);
        connect(page->sibling, &QPushButton::clicked, this, slot.sibling);
        // A check box runs its handler whenever its state changes, from code too.
        connect(page->details, &QCheckBox::toggled, this, slot.details);
    }
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::orderTabKeys);
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    connect(ShowContents1, &QAction::triggered, this, [this] {
        // A checkable menu item flips its own mark before telling; the handler decides.
        ShowContents1->setChecked(!ShowContents1->isChecked());
        ShowContents1Click();
    });
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);
    connect(Gorewheel21, &QAction::triggered, this, &TForm1::Gorewheel21Click);
    connect(ValueList, &KeyValueGrid::validate, this,
            [this](int column, int row, const std::string& key, const std::string& value) {
                ValueListValidate(ValueList, column, row, key, value);
            });
    connect(Directory, &FolderTree::folderClicked, this, &TForm1::DirectoryClick);
    connect(SaveDir, &QPushButton::clicked, this, &TForm1::SaveDirClick);
}

// The features beside the window, each given what it uses: the undo history first, as the
// room lends it to the others; the screen fit comes last, when every control and menu item
// is in place.
void TForm1::installFeatures()
{
    editHistory_ = new EditHistory(
        state_, [this](const SettingPlace& place) { showUndone(place); }, this);
    QMenu* edit = editHistory_->addMenu(menuBar(), View1);
    changeMarks_ = new ChangeMarks(
        room(),
        {ValueList,
         PageControl1,
         {Button1, SavePed, MiscSave, APOSave},
         [this](Tab tab) { return chooser(tab)->itemIndex(); },
         [this](int row) { return placeOf(row); },
         [this](int row, const CommitResult& result) { showCommitted(row, result); }},
        this);
    InstallFindSetting(room(), View1->menu());
    InstallChangesView(room(), edit);
    InstallSaveHistory(room(), File1->menu(), Exit1);
    InstallTuningSetActions(room(), File1->menu(), Exit1);
    InstallKeyboard(*this,
                    {File1, Exit1, PageControl1, ValueList, {Button1, SavePed, MiscSave, APOSave}});
    if (!questions_) {
        ownQuestions_ = std::make_unique<MessageBoxes>(this);
        questions_ = ownQuestions_.get();
    }
    closingQuestion_ = new ClosingQuestion(
        {state_, *messages_, *questions_,
         [this] { return static_cast<Tab>(PageControl1->currentIndex()); },
         [this] { ValueList->commitPendingEdit(); }, [this](Tab tab) { save(tab); }},
        this);
    fileWatch_ = new FileWatch(
        room(), *questions_, [this] { return typing(); }, this);
    connect(ValueList, &KeyValueGrid::editorClosed, fileWatch_, &FileWatch::typingEnded);
    new Announcements(this);
    InstallOutcomeVoice(room(), ValueList,
                        {{Button4, TuningFile::General},
                         {RestorePed, TuningFile::Settings},
                         {MiscRestore, TuningFile::General},
                         {APORestore, TuningFile::General}});
    FollowTabSwitch(PageControl1, [this](int tab) { return chooser(static_cast<Tab>(tab)); });
    FitToScreen(*this, PageControl1);
}

WindowRoom TForm1::room()
{
    return {this,
            state_,
            *messages_,
            *ProgressBar1,
            [this](const std::function<void()>& handler) { guarded(handler); },
            [this](const SettingPlace& place) { showSetting(place); },
            *editHistory_};
}

// Tab goes through the active tab's controls in the order of the work: section, values,
// backup, restore, save, game folder, details. The grid is shared by the four tabs, so
// its place in the order is laid again at each switch.
void TForm1::orderTabKeys()
{
    const TabPage* page = pages_.at(static_cast<size_t>(PageControl1->currentIndex()));
    std::vector<QWidget*> chain{page->chooser, ValueList, page->backup, page->restore, page->save};
    if (page->tab == Tab::CarSettings)
        chain.insert(chain.end(), {Directory, SaveDir});
    chain.insert(chain.end(), {page->details, page->view, page->sibling});
    for (size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}
