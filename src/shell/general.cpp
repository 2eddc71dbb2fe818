#include "general.h"

#include "about.h"
#include "buffer_view.h"
#include "catalogue/catalogue.h"
#include "change_marks.h"
#include "controls.h"
#include "desktop_conventions.h"
#include "desktop_launcher.h"
#include "documents/configuration_file.h"
#include "documents/errors.h"
#include "documents/game_files.h"
#include "documents/game_paths.h"
#include "documents/reference_copies.h"
#include "edit_history.h"
#include "editing/section_procedure.h"
#include "editing/start_up.h"
#include "editing/write_back.h"
#include "find_setting_dialog.h"
#include "folder_tree.h"
#include "game_folder_search.h"
#include "history_dialog.h"
#include "jpeg_picture.h"
#include "key_value_grid.h"
#include "latin1.h"
#include "launch_command.h"
#include "message_boxes.h"
#include "path_label.h"
#include "text_wrap.h"
#include "tuning_set_actions.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPointer>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <vector>

namespace {

const QColor Lime(0, 255, 0);
constexpr const char* SiblingEditor = "Perkwright.exe";
constexpr const char* GameProgram = "\\gwheel2.exe";

template <class Widget> Widget* Place(Widget* widget, const char* name, const QRect& place)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(place);
    return widget;
}

void SetHint(QWidget* widget, const char* hint)
{
    if (hint)
        widget->setStatusTip(QString::fromLatin1(hint));
}

// The families of `wanted` that are installed, in order; all of them when none is. Qt
// passes over a missing family itself, but only after listing every installed font under
// each of its localised names, which costs about as much as loading a font.
QStringList InstalledFamilies(std::initializer_list<const char*> wanted)
{
    const QStringList installed = QFontDatabase::families();
    QStringList found;
    QStringList all;
    for (const char* family : wanted) {
        all << QLatin1String(family);
        if (installed.contains(all.last(), Qt::CaseInsensitive))
            found << all.last();
    }
    return found.isEmpty() ? all : found;
}

QPushButton* Button(QWidget* parent, const char* name, const QRect& place, const char* caption,
                    const char* hint = nullptr)
{
    auto* button = Place(new QPushButton(QString::fromLatin1(caption), parent), name, place);
    SetHint(button, hint);
    return button;
}

QGroupBox* Group(QWidget* parent, const char* name, const QRect& place, const char* caption)
{
    auto* box = Place(new QGroupBox(QString::fromLatin1(caption), parent), name, place);
    QPalette colours = box->palette();
    colours.setColor(QPalette::WindowText, Lime);
    box->setPalette(colours);
    return box;
}

QCheckBox* CheckBox(QWidget* parent, const char* name, const QRect& place, const char* caption)
{
    auto* box = Place(new QCheckBox(QString::fromLatin1(caption), parent), name, place);
    QPalette colours = box->palette();
    colours.setColor(QPalette::WindowText, Lime);
    box->setPalette(colours);
    return box;
}

QLabel* Label(QWidget* parent, const char* name, const QPoint& at, const char* text,
              bool path = false)
{
    // A folder path may run up to the right edge of its box, and is elided there.
    QLabel* label = path ? new PathLabel(QString::fromLatin1(text), parent)
                         : new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QLatin1String(name));
    label->move(at);
    label->resize(path ? parent->width() - at.x() - 8 : 180, 14);
    return label;
}

QLabel* Picture(QWidget* parent, const char* name, const char* resource)
{
    // Decoded when its tab is first shown; one that cannot be decoded leaves its place empty.
    return Place(new JpegLabel(QString::fromLatin1(resource), parent), name, {8, 80, 273, 201});
}

SectionChooser* SectionBox(QGroupBox* parent, const char* name, const TabCatalogue& catalogue)
{
    auto* chooser = Place(new SectionChooser(parent), name, {8, 16, 145, 21});
    for (const ChooserItem& item : catalogue.items)
        chooser->addItem(FromLatin1(item.text));
    chooser->setMaxVisibleItems(catalogue.dropDownCount);
    chooser->clearSelection();
    chooser->setText(ChooseSettingText);
    return chooser;
}

QWidget* Page(QTabWidget* pages, const char* name, const char* caption)
{
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(name));
    page->setAutoFillBackground(true);
    pages->addTab(page, QString::fromLatin1(caption));
    return page;
}

} // namespace

TForm1::TForm1(TForm1Services services, QWidget* parent)
    : QMainWindow(parent), messages_(services.messages), launcher_(services.launcher)
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
    buildForm();
    controls_ = std::make_unique<Controls>(
        Controls{*messages_, *ProgressBar1, {ComboBox1, ComboBox2, ComboBox3, ComboBox4}});
    connectHandlers();
    orderTabKeys();
    changeMarks_ = new ChangeMarks(*this);
    editHistory_ = new EditHistory(*this);
    InstallFindSetting(*this);
    InstallTuningSetActions(*this);
    InstallKeyboard(*this);
    FitToScreen(*this);
    guarded([this] { FormCreate(); });
}

TForm1::~TForm1()
{
    // An edit still open in the grid commits when its editor loses the focus; let the
    // grid go while the state it writes to is still here.
    changeMarks_ = nullptr;
    delete centralWidget();
}

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

    // Menu.
    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("File"));
    File1 = fileMenu->menuAction();
    Exit1 = fileMenu->addAction(QStringLiteral("Exit"));
    Exit1->setStatusTip(QStringLiteral("Exit Perkwright"));
    InstallSaveHistory(*this);
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
    ProgressBar1 = Place(new ProgressBar(client), "ProgressBar1", {8, 496, 761, 17});
    ProgressBar1->setMaximum(1796);
    Panel1 = Place(new QFrame(client), "Panel1", {288, 8, 481, 297});
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    ValueList = Place(new KeyValueGrid(Panel1), "ValueList", {8, 8, 465, 281});
    ValueList->setStatusTip(QStringLiteral("Change details here."));

    // Car Settings tab.
    TabSheet1 = Page(PageControl1, "TabSheet1", "Car Settings");
    Image1 = Picture(TabSheet1, "Image1", ":/pictures/car_settings.jpg");
    GroupBox1 = Group(TabSheet1, "GroupBox1", {48, 0, 161, 49}, " Car Settings ");
    ComboBox1 = SectionBox(GroupBox1, "ComboBox1", CarSettingsCatalogue());
    Button3 = Button(TabSheet1, "Button3", {16, 56, 113, 25}, "Backup General.txt",
                     "Save file as powerup.bak");
    Button4 = Button(TabSheet1, "Button4", {152, 56, 113, 25}, "Restore General.txt",
                     "Reloads Powerup.txt, restoring all values altered since last save.");
    GeneralBut = Button(TabSheet1, "GeneralBut", {16, 280, 113, 25}, SiblingEditor);
    Button1 = Button(TabSheet1, "Button1", {152, 280, 113, 25}, "Save to General.txt",
                     "Replace powerup.txt");
    Directory = Place(new FolderTree(TabSheet1), "Directory", {16, 320, 241, 161});
    Directory->setStatusTip(
        QStringLiteral("Select your Gorewheel 2 directory and click \"Save Directory\" button."));
    SaveDir = Button(TabSheet1, "SaveDir", {280, 344, 89, 25}, "Save Directory",
                     "Save the directory selected in the box as default working directory.");
    Directories = Group(TabSheet1, "Directories", {280, 392, 273, 89}, " Directories ");
    Label1 = Label(Directories, "Label1", {8, 24}, "Current Saved:");
    LabelSaved = Label(Directories, "LabelSaved", {88, 24}, "None", true);
    Label2 = Label(Directories, "Label2", {8, 48}, "Current Selected:");
    LabelSelected = Label(Directories, "LabelSelected", {96, 48}, "None", true);
    Label3 = Label(Directories, "Label3", {9, 68}, "Valid Selection:");
    LabelValid = Label(Directories, "LabelValid", {89, 68}, "NA");
    DetailsCheck = CheckBox(TabSheet1, "DetailsCheck", {504, 352, 129, 17}, "Show File Details");
    Memo1 = Place(new BufferView(state_.Memo1, TabSheet1), "Memo1", {0, 312, 769, 177});

    // Pedestrians tab.
    TabSheet2 = Page(PageControl1, "TabSheet2", "Pedestrians");
    Image2 = Picture(TabSheet2, "Image2", ":/pictures/pedestrians.jpg");
    GroupBox2 = Group(TabSheet2, "GroupBox2", {48, 0, 161, 49}, " Pedestrian Settings ");
    ComboBox2 = SectionBox(GroupBox2, "ComboBox2", PedestriansCatalogue());
    BackPed = Button(TabSheet2, "BackPed", {16, 56, 113, 25}, "Backup Ped Settings");
    RestorePed = Button(TabSheet2, "RestorePed", {152, 56, 113, 25}, "Restore Ped Settings");
    LaunchPW = Button(TabSheet2, "LaunchPW", {16, 280, 113, 25}, SiblingEditor);
    SavePed = Button(TabSheet2, "SavePed", {152, 280, 113, 25}, "Save Ped Settings");
    DetailsCheck2 = CheckBox(TabSheet2, "DetailsCheck2", {504, 352, 129, 17}, "Show File Details");
    PedMemo = Place(new BufferView(state_.PedMemo, TabSheet2), "PedMemo", {0, 312, 769, 177});

    // Miscellaneous tab.
    TabSheet3 = Page(PageControl1, "TabSheet3", "Miscellaneous");
    Image3 = Picture(TabSheet3, "Image3", ":/pictures/miscellaneous.jpg");
    GroupBox3 = Group(TabSheet3, "GroupBox3", {48, 0, 161, 49}, " Other Settings ");
    ComboBox3 = SectionBox(GroupBox3, "ComboBox3", MiscellaneousCatalogue());
    MiscBackup = Button(TabSheet3, "MiscBackup", {16, 56, 113, 25}, "Backup General.txt");
    MiscRestore = Button(TabSheet3, "MiscRestore", {152, 56, 113, 25}, "Restore General.txt");
    MiscPerkwright = Button(TabSheet3, "MiscPerkwright", {16, 280, 113, 25}, SiblingEditor);
    MiscSave = Button(TabSheet3, "MiscSave", {152, 280, 113, 25}, "Save to General.txt");
    DetailsCheck3 = CheckBox(TabSheet3, "DetailsCheck3", {504, 352, 129, 17}, "Show File Details");
    MiscMemo = Place(new BufferView(state_.MiscMemo, TabSheet3), "MiscMemo", {0, 312, 769, 177});

    // APO tab.
    TabSheet4 = Page(PageControl1, "TabSheet4", "APO");
    Image4 = Picture(TabSheet4, "Image4", ":/pictures/apo.jpg");
    GroupBox4 = Group(TabSheet4, "GroupBox4", {48, 0, 161, 49}, " APO Settings ");
    ComboBox4 = SectionBox(GroupBox4, "ComboBox4", APOCatalogue());
    APOBackup = Button(TabSheet4, "APOBackup", {16, 56, 113, 25}, "Backup General.txt");
    APORestore = Button(TabSheet4, "APORestore", {152, 56, 113, 25}, "Restore General.txt");
    APOPerkwright = Button(TabSheet4, "APOPerkwright", {16, 280, 113, 25}, SiblingEditor);
    APOSave = Button(TabSheet4, "APOSave", {152, 280, 113, 25}, "Save to General.txt");
    DetailsCheck4 = CheckBox(TabSheet4, "DetailsCheck4", {504, 352, 129, 17}, "Show File Details");
    APOMemo = Place(new BufferView(state_.APOMemo, TabSheet4), "APOMemo", {0, 312, 769, 177});

    QPalette lime = GeneralBut->palette();
    lime.setColor(QPalette::ButtonText, Lime);
    GeneralBut->setPalette(lime);
    GeneralBut->setFont(QFont(QStringLiteral("Microsoft Sans Serif"), 8));
    views_ = {Memo1, PedMemo, MiscMemo, APOMemo};
    for (QPushButton* sibling : {GeneralBut, LaunchPW, MiscPerkwright, APOPerkwright})
        sibling->hide();
    for (BufferView* view : views_)
        view->hide();
    Panel1->raise();
    ProgressBar1->raise();
}

void TForm1::connectHandlers()
{
    // Typing in one copy of General.txt types in all three: a Save from any tab carries it.
    for (Tab tab : AllTabs)
        connect(views_[static_cast<size_t>(tab)], &BufferView::edited, this, [this, tab] {
            MatchCopies(state_, tab);
            editHistory_->takeCurrentBuffers();
            changeMarks_->refresh();
        });
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

    connect(ComboBox1, &SectionChooser::changed, this, &TForm1::ComboBox1Change);
    connect(ComboBox2, &SectionChooser::changed, this, &TForm1::ComboBox2Change);
    connect(ComboBox3, &SectionChooser::changed, this, &TForm1::ComboBox3Change);
    connect(ComboBox4, &SectionChooser::changed, this, &TForm1::ComboBox4Change);
    connect(ValueList, &KeyValueGrid::validate, this,
            [this](int column, int row, const std::string& key, const std::string& value) {
                ValueListValidate(ValueList, column, row, key, value);
            });

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(SavePed, &QPushButton::clicked, this, &TForm1::SavePedClick);
    connect(BackPed, &QPushButton::clicked, this, &TForm1::BackPedClick);
    connect(RestorePed, &QPushButton::clicked, this, &TForm1::RestorePedClick);
    connect(MiscSave, &QPushButton::clicked, this, &TForm1::MiscSaveClick);
    connect(MiscBackup, &QPushButton::clicked, this, &TForm1::MiscBackupClick);
    connect(MiscRestore, &QPushButton::clicked, this, &TForm1::MiscRestoreClick);
    connect(APOSave, &QPushButton::clicked, this, &TForm1::APOSaveClick);
    connect(APOBackup, &QPushButton::clicked, this, &TForm1::APOBackupClick);
    connect(APORestore, &QPushButton::clicked, this, &TForm1::APORestoreClick);

    connect(Directory, &FolderTree::folderClicked, this, &TForm1::DirectoryClick);
    connect(SaveDir, &QPushButton::clicked, this, &TForm1::SaveDirClick);

    // A check box runs its handler whenever its state changes, from code too.
    connect(DetailsCheck, &QCheckBox::toggled, this, &TForm1::DetailsCheckClick);
    connect(DetailsCheck2, &QCheckBox::toggled, this, &TForm1::DetailsCheck2Click);
    connect(DetailsCheck3, &QCheckBox::toggled, this, &TForm1::DetailsCheck3Click);
    connect(DetailsCheck4, &QCheckBox::toggled, this, &TForm1::DetailsCheck4Click);
    connect(GeneralBut, &QPushButton::clicked, this, &TForm1::GeneralButClick);
    connect(LaunchPW, &QPushButton::clicked, this, &TForm1::LaunchPWClick);
    connect(MiscPerkwright, &QPushButton::clicked, this, &TForm1::MiscPerkwrightClick);
    connect(APOPerkwright, &QPushButton::clicked, this, &TForm1::APOPerkwrightClick);
}

// Tab goes through the active tab's controls in the order of the work: section, values,
// backup, restore, save, game folder, details. The grid is shared by the four tabs, so
// its place in the order is laid again at each switch.
void TForm1::orderTabKeys()
{
    using Chain = std::vector<QWidget*>;
    const std::array<Chain, TabCount> chains{
        Chain{ComboBox1, ValueList, Button3, Button4, Button1, Directory, SaveDir, DetailsCheck,
              Memo1, GeneralBut},
        Chain{ComboBox2, ValueList, BackPed, RestorePed, SavePed, DetailsCheck2, PedMemo, LaunchPW},
        Chain{ComboBox3, ValueList, MiscBackup, MiscRestore, MiscSave, DetailsCheck3, MiscMemo,
              MiscPerkwright},
        Chain{ComboBox4, ValueList, APOBackup, APORestore, APOSave, DetailsCheck4, APOMemo,
              APOPerkwright}};
    const Chain& chain = chains.at(static_cast<size_t>(PageControl1->currentIndex()));
    for (size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void TForm1::guarded(const std::function<void()>& handler)
{
    RunGuarded(*messages_, handler);
    refreshViews();
    if (editHistory_)
        editHistory_->record();
    if (changeMarks_)
        changeMarks_->refresh();
}

void TForm1::refreshViews()
{
    for (BufferView* view : views_)
        view->refresh();
}

QString TForm1::workFile(const char* name) const
{
    return state_.workFile(QString::fromLatin1(name));
}

SectionChooser* TForm1::chooserOf(Tab tab) const
{
    return std::array<SectionChooser*, TabCount>{ComboBox1, ComboBox2, ComboBox3,
                                                 ComboBox4}[static_cast<size_t>(tab)];
}

// Start-up sequence.
void TForm1::FormCreate()
{
    if (FileExists(workFile(SiblingEditor)))
        for (QPushButton* sibling : {GeneralBut, LaunchPW, MiscPerkwright, APOPerkwright})
            sibling->show();
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
    StartUp(state_, *controls_, steps);
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
        ResetForTab(state_, *chooserOf(static_cast<Tab>(PageControl1->currentIndex())), *ValueList);
    });
}

void TForm1::Exit1Click()
{
    close();
}

void TForm1::chooseSection(Tab tab)
{
    guarded([this, tab] {
        ChooseSection(state_, CatalogueOf(tab), *chooserOf(tab), *ValueList, *messages_);
    });
}

void TForm1::showSetting(const SettingPlace& place)
{
    // The switch resets the new tab's chooser and the grid, as a click on the tab does.
    PageControl1->setCurrentIndex(static_cast<int>(place.tab));
    chooserOf(place.tab)->setCurrentIndex(place.item);
    chooseSection(place.tab);
    // The section's guard may have refused it; then there is no row to go to.
    if (state_.ShownTab != static_cast<int>(place.tab))
        return;
    ValueList->setFocus();
    ValueList->setCurrentCell(place.row - 1, 1);
    ValueList->showCurrentRowStatus();
}

void TForm1::showSectionAgain()
{
    if (state_.ShownTab >= 0)
        chooseSection(static_cast<Tab>(state_.ShownTab));
    else
        guarded([] {});
}

void TForm1::ComboBox1Change()
{
    chooseSection(Tab::CarSettings);
}
void TForm1::ComboBox2Change()
{
    chooseSection(Tab::Pedestrians);
}
void TForm1::ComboBox3Change()
{
    chooseSection(Tab::Miscellaneous);
}
void TForm1::ComboBox4Change()
{
    chooseSection(Tab::APO);
}

void TForm1::ValueListValidate(QObject* /*Sender*/, int /*ACol*/, int ARow,
                               const std::string& KeyName, const std::string& KeyValue)
{
    guarded([&] { showCommitted(ARow, CommitGridValue(state_, ARow, KeyName, KeyValue)); });
}

void TForm1::showCommitted(int row, const CommitResult& result)
{
    if (!result.refusal.empty())
        messages_->error(QString::fromStdString(result.refusal));
    if (!result.changes.empty() && state_.ShownTab >= 0) {
        const Tab tab = static_cast<Tab>(state_.ShownTab);
        editHistory_->nameStep(StepName(ValueList->key(row)) + QStringLiteral(" = ") +
                                   FromLatin1(ShownRowValue(state_, row)),
                               SettingPlace{tab, chooserOf(tab)->itemIndex(), row});
    }
    if (row >= 1 && row <= ValueList->rowCount() && state_.ShownTab >= 0)
        if (QTableWidgetItem* cell = ValueList->item(row - 1, 1))
            cell->setText(FromLatin1(ShownRowValue(state_, row)));
}

void TForm1::Button1Click()
{
    guarded([this] { Save(state_, *controls_, Tab::CarSettings); });
}
void TForm1::Button3Click()
{
    guarded([this] { Backup(state_, *controls_, Tab::CarSettings); });
}
void TForm1::Button4Click()
{
    restoreTab(Tab::CarSettings);
}
void TForm1::SavePedClick()
{
    guarded([this] { Save(state_, *controls_, Tab::Pedestrians); });
}
void TForm1::BackPedClick()
{
    guarded([this] { Backup(state_, *controls_, Tab::Pedestrians); });
}
void TForm1::RestorePedClick()
{
    restoreTab(Tab::Pedestrians);
}
void TForm1::MiscSaveClick()
{
    guarded([this] { Save(state_, *controls_, Tab::Miscellaneous); });
}
void TForm1::MiscBackupClick()
{
    guarded([this] { Backup(state_, *controls_, Tab::Miscellaneous); });
}
void TForm1::MiscRestoreClick()
{
    restoreTab(Tab::Miscellaneous);
}
void TForm1::APOSaveClick()
{
    guarded([this] { Save(state_, *controls_, Tab::APO); });
}
void TForm1::APOBackupClick()
{
    guarded([this] { Backup(state_, *controls_, Tab::APO); });
}
void TForm1::APORestoreClick()
{
    restoreTab(Tab::APO);
}

void TForm1::DirectoryClick()
{
    const QString path = Directory->selectedPath();
    LabelSelected->setText(path);
    LabelValid->setText(FileExists(GameFilePath(path, QLatin1String(GeneralFile)))
                            ? QStringLiteral("Yes")
                            : QStringLiteral("No"));
}

void TForm1::restoreTab(Tab tab)
{
    guarded([this, tab] {
        editHistory_->nameStep(FileOf(tab) == TuningFile::General
                                   ? QStringLiteral("Restore General.txt")
                                   : QStringLiteral("Restore Settings.txt"));
        Restore(state_, *controls_, tab);
    });
}

void TForm1::SaveDirClick()
{
    // The game files this save read from the chosen folder: where the working folder
    // holds no reference copy of one, it becomes its copy before anything can change it.
    std::vector<TuningFile> loaded;
    guarded([this, &loaded] {
        const QString dir = Directory->selectedPath();
        const QString invalid = QStringLiteral("Invalid Directory: ") + dir;
        if (!FileExists(GameFilePath(dir, QLatin1String(GeneralFile)))) {
            messages_->error(invalid);
        } else {
            WriteConfigurationFile(workFile(TunedeckIni), dir);
            state_.GeneralPath = GameFilePath(dir, QStringLiteral("\\data\\General.TXT"));
            state_.GameDir = dir;
            LabelSaved->setText(dir);
            if (!ReloadGeneralBuffers(state_, *controls_))
                return;
            loaded.push_back(TuningFile::General);
        }
        const QString settings = GameFilePath(dir, QStringLiteral("\\data\\peds\\settings.txt"));
        if (!FileExists(settings)) {
            messages_->error(invalid);
            return;
        }
        WriteConfigurationFile(workFile(TunedeckIni), dir);
        state_.GameDir = dir;
        state_.SettingsPath = settings;
        if (ReloadSettingsBuffer(state_, *controls_))
            loaded.push_back(TuningFile::Settings);
    });
    if (!loaded.empty())
        guarded([this, &loaded] { TakeMissingReferenceCopies(state_, *messages_, loaded); });
    editHistory_->clear(); // the buffers were read anew: nothing before this can be undone
}

void TForm1::showDetails(bool shown)
{
    for (BufferView* view : views_)
        view->setVisible(shown);
    refreshViews();
}

void TForm1::detailsCheckClick(QCheckBox* box)
{
    const bool checked = box->isChecked();
    showDetails(checked);
    ShowContents1->setChecked(checked);
}

void TForm1::DetailsCheckClick()
{
    detailsCheckClick(DetailsCheck);
}
void TForm1::DetailsCheck2Click()
{
    detailsCheckClick(DetailsCheck2);
}
void TForm1::DetailsCheck3Click()
{
    detailsCheckClick(DetailsCheck3);
}
void TForm1::DetailsCheck4Click()
{
    detailsCheckClick(DetailsCheck4);
}

void TForm1::ShowContents1Click()
{
    const bool show = !ShowContents1->isChecked();
    showDetails(show);
    ShowContents1->setChecked(show);
    for (QCheckBox* box : {DetailsCheck, DetailsCheck2, DetailsCheck3, DetailsCheck4})
        box->setChecked(show);
}

void TForm1::launch(const QString& program, LaunchTarget target,
                    const std::function<void()>& started)
{
    const LaunchChoice choice = ChooseLaunchCommand(program, state_.GameDir, target,
                                                    QProcessEnvironment::systemEnvironment());
    // The answer may come after the window has gone.
    const auto finish = [window = QPointer<TForm1>(this), name = QFileInfo(program).fileName(),
                         started](const QString& failure) {
        if (!window)
            return;
        if (!failure.isEmpty())
            window->messages_->error(QStringLiteral("Could not start %1: %2").arg(name, failure));
        else if (started)
            started();
    };
    if (choice.failure.isEmpty())
        launcher_->start(choice.command, finish);
    else
        finish(choice.failure);
}

void TForm1::LaunchSibling()
{
    // Tunedeck gives way to the sibling editor, but only to one that has started; it runs in
    // the game's Wine prefix when there is one.
    launch(QFileInfo(workFile(SiblingEditor)).absoluteFilePath(), LaunchTarget::Helper,
           [this] { close(); });
}

void TForm1::GeneralButClick()
{
    LaunchSibling();
}
void TForm1::LaunchPWClick()
{
    LaunchSibling();
}
void TForm1::MiscPerkwrightClick()
{
    LaunchSibling();
}
void TForm1::APOPerkwrightClick()
{
    LaunchSibling();
}

void TForm1::Gorewheel21Click()
{
    guarded([this] {
        const QString game = GameFilePath(state_.GameDir, QLatin1String(GameProgram));
        if (!FileExists(game)) {
            messages_->information(
                QStringLiteral("You must save your Gorewheel 2 directory to use this feature."));
            return;
        }
        const QFileInfo folder(state_.GameDir);
        if (!folder.isDir() || !folder.isExecutable())
            throw FileError(
                QStringLiteral("Cannot change the working folder to \"%1\".").arg(state_.GameDir));
        launch(QFileInfo(game).absoluteFilePath(), LaunchTarget::Game, {});
    });
}

void TForm1::About1Click()
{
    // Built when first asked for: most sessions never open it, and its texts cost fonts.
    if (!AboutBox)
        AboutBox = new TAboutBox(this);
    AboutBox->exec();
}
