// SPDX-License-Identifier: GPL-3.0-or-later
// The main window itself: its fixed layout, captions and hints, the tab switch, leaving
// the program, the file details view, the launchers and the About box.

#include "support/window_fixture.h"

#include "about.h"
#include "buffer_view.h"
#include "catalogue/catalogue.h"
#include "controls.h"
#include "desktop_launcher.h"
#include "documents/disk_stamps.h"
#include "folder_tree.h"
#include "key_value_grid.h"
#include "launch_command.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDirIterator>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSessionManager>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTimer>
#include <QToolTip>
#include <QtTest>

#include <functional>
#include <map>
#include <optional>

namespace {

// The one object of the main window with this name; the About box, which has controls
// of the same names, is left out.
QObject* Find(TForm1& form, const QString& name)
{
    QObject* found = nullptr;
    int matches = 0;
    for (QObject* object : form.findChildren<QObject*>(name)) {
        bool inAboutBox = false;
        for (QObject* up = object; up; up = up->parent())
            inAboutBox = inAboutBox || up == form.AboutBox;
        if (!inAboutBox) {
            found = object;
            ++matches;
        }
    }
    return matches == 1 ? found : nullptr;
}

// Every file below the folder with its bytes.
std::map<QString, std::string> Snapshot(const QString& folder)
{
    std::map<QString, std::string> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[path] = ReadBytes(path);
    }
    return files;
}

struct BufferSet {
    std::vector<std::string> memo1, ped, misc, apo;
    explicit BufferSet(const AppState& state)
        : memo1(state.GeneralText.lines()), ped(state.SettingsText.lines()),
          misc(state.GeneralText.lines()), apo(state.GeneralText.lines())
    {
    }
};

using Handler = void (TForm1::*)();
const Handler ChooserHandlers[TabCount] = {&TForm1::ComboBox1Change, &TForm1::ComboBox2Change,
                                           &TForm1::ComboBox3Change, &TForm1::ComboBox4Change};

SectionChooser* ChooserOf(TForm1& form, int tab)
{
    return std::array<SectionChooser*, TabCount>{form.ComboBox1, form.ComboBox2, form.ComboBox3,
                                                 form.ComboBox4}[static_cast<size_t>(tab)];
}

BufferView* ViewOf(TForm1& form, int tab)
{
    return std::array<BufferView*, TabCount>{form.Memo1, form.PedMemo, form.MiscMemo,
                                             form.APOMemo}[static_cast<size_t>(tab)];
}

QCheckBox* DetailsBoxOf(TForm1& form, int tab)
{
    return std::array<QCheckBox*, TabCount>{form.DetailsCheck, form.DetailsCheck2,
                                            form.DetailsCheck3,
                                            form.DetailsCheck4}[static_cast<size_t>(tab)];
}

// The user picks an item of a tab's chooser: the item is selected, then the tab's
// change handler runs once.
void Choose(TForm1& form, int tab, int index)
{
    SectionChooser* chooser = ChooserOf(form, tab);
    {
        const QSignalBlocker blocker(chooser);
        chooser->setCurrentIndex(index);
    }
    (form.*ChooserHandlers[tab])();
}

int FirstSectionItem(int tab)
{
    const auto& items = CatalogueOf(static_cast<Tab>(tab)).items;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].kind == ItemKind::Section)
            return static_cast<int>(i);
    return -1;
}

void StartWithGame(const WorkFolder& folder)
{
    folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());
}

// Puts the text cursor at the end of a line of the view.
void MoveToLineEnd(BufferView* view, int line)
{
    QTextCursor cursor(view->document()->findBlockByNumber(line));
    cursor.movePosition(QTextCursor::EndOfBlock);
    view->setTextCursor(cursor);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void fixedClientSize();
    void tabs();
    void progressBarStepsPerLine();
    void menuBarOrder();
    void windowFitsTheScreen();
    void controlPlaces_data();
    void controlPlaces();
    void captionsAndHints_data();
    void captionsAndHints();
    void statusBarShowsHintOfControlUnderPointer();
    void noPopUpHints();
    void grid();
    void keyboardOrder_data();
    void keyboardOrder();

    void tabSwitchResetsNewTab_data();
    void tabSwitchResetsNewTab();

    void leavingWritesNothing_data();
    void leavingWritesNothing();

    void keyboardStaysWithThePlayer();
    void screenReaderNames();

    void detailsViewToggles_data();
    void detailsViewToggles();
    void typingChangesOnlyThatBufferLine_data();
    void typingChangesOnlyThatBufferLine();
    void viewEditsMapToBufferLines_data();
    void viewEditsMapToBufferLines();
    void typingIntoAnEmptyView();
    void viewsFollowDocumentChanges();
    void unusualBytesSurviveTheView_data();
    void unusualBytesSurviveTheView();

    void gameLaunch_data();
    void gameLaunch();
    void gameLaunchWithUnsavedEdits_data();
    void gameLaunchWithUnsavedEdits();
    void siblingLaunch_data();
    void siblingLaunch();
    void siblingGoneSinceTheStart();

    void launchCommand_data();
    void launchCommand();
    void desktopLauncher_data();
    void desktopLauncher();
#ifdef Q_OS_WIN
    void systemOpensTheProgram_data();
    void systemOpensTheProgram();
#endif
    void aboutBox_data();
    void aboutBox();
};

void MainWindowTest::initTestCase()
{
    InitPictures();
    QApplication::setQuitOnLastWindowClosed(false);
}

void MainWindowTest::fixedClientSize()
{
    WorkFolder folder;
    StartWithGame(folder);
    Window window(folder);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));

    QWidget* client = window->centralWidget();
    QVERIFY(client);
    QCOMPARE(client->size(), QSize(801, 522));
    QCOMPARE(window->StatusBar1->height(), 23);
    QCOMPARE(window->StatusBar1->width(), 801);
    // The status bar sits right below the tabs: together they make the 801 x 545 client.
    QCOMPARE(window->StatusBar1->y(), client->geometry().bottom() + 1);
    QCOMPARE(client->height() + window->StatusBar1->height(), 545);
    QCOMPARE(window->width(), 801);

    // Fixed size, with a minimise box and no maximise box.
    QCOMPARE(window->minimumSize(), window->maximumSize());
    window->resize(1000, 800);
    QCOMPARE(client->size(), QSize(801, 522));
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
}

void MainWindowTest::tabs()
{
    WorkFolder folder;
    Window window(folder);
    QTabWidget* pages = window->PageControl1;
    QCOMPARE(pages->tabPosition(), QTabWidget::East);
    QCOMPARE(pages->count(), 4);
    const QStringList captions{"Car Settings", "Pedestrians", "Miscellaneous", "APO"};
    const QList<QWidget*> sheets{window->TabSheet1, window->TabSheet2, window->TabSheet3,
                                 window->TabSheet4};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(pages->tabText(i), captions[i]);
        QCOMPARE(pages->widget(i), sheets[i]);
    }
    QCOMPARE(pages->currentIndex(), 0);

    // Each tab's chooser: an editable list of its catalogue's items.
    const int dropDownCounts[TabCount] = {15, 15, 8, 8};
    for (int tab = 0; tab < TabCount; ++tab) {
        SectionChooser* chooser = ChooserOf(*window.form, tab);
        const auto& items = CatalogueOf(static_cast<Tab>(tab)).items;
        QVERIFY(chooser->isEditable());
        QCOMPARE(chooser->count(), int(items.size()));
        QCOMPARE(chooser->itemText(0), QString::fromLatin1(items.front().text.c_str()));
        QCOMPARE(chooser->maxVisibleItems(), dropDownCounts[tab]);
    }

    // Each tab shows its picture once it is in front.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));
    const QList<QLabel*> pictures{window->Image1, window->Image2, window->Image3, window->Image4};
    for (int i = 0; i < 4; ++i) {
        pages->setCurrentIndex(i);
        QVERIFY2(!pictures[i]->pixmap().isNull(), qPrintable(captions[i]));
    }
}

void MainWindowTest::progressBarStepsPerLine()
{
    // The position steps once per line whether the bar is on screen or not; a bar that
    // comes into view shows where it stands, and one on screen follows every step.
    WorkFolder folder;
    Window window(folder);
    ProgressBar* bar = window->ProgressBar1;
    bar->setMaximum(5);
    for (int i = 0; i < 3; ++i)
        bar->stepIt();
    QCOMPARE(bar->position(), 3);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));
    QCOMPARE(bar->value(), 3);
    bar->stepIt();
    bar->stepIt();
    QCOMPARE(bar->position(), 5);
    QCOMPARE(bar->value(), 5);
    bar->stepIt(); // past the maximum it starts again
    QCOMPARE(bar->position(), 0);
    QCOMPARE(bar->value(), 0);
    bar->stepIt();
    bar->setMaximum(410);
    QCOMPARE(bar->position(), 1);
    bar->setPosition(0);
    QCOMPARE(bar->value(), 0);
    // A screen reader, which reads value(), hears of a long count in about twenty steps.
    int told = 0;
    QObject::connect(bar, &QProgressBar::valueChanged, [&told] { ++told; });
    for (int i = 0; i < 410; ++i)
        bar->stepIt();
    QCOMPARE(bar->position(), 410);
    QVERIFY2(told >= 10 && told <= 21, qPrintable(QString::number(told)));
}

// On a screen smaller than the window every control stays reachable and the title bar and
// status bar stay on screen; on a larger one nothing changes.
void MainWindowTest::windowFitsTheScreen()
{
    WorkFolder folder;
    StartWithGame(folder);
    Window window(folder);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));
    const QRect free = window->screen()->availableGeometry();
    auto* area = window->findChild<QScrollArea*>(QStringLiteral("ClientScroll"));
    if (free.width() >= 900 && free.height() >= 700) {
        QVERIFY(!area);
        QCOMPARE(window->minimumSize(), window->maximumSize());
        return;
    }
    QVERIFY(area);
    QVERIFY(free.contains(window->frameGeometry()));
    // The tab bar shows whole beside the scrolling pages, not under their scroll bar.
    QTabBar* tabs = nullptr;
    for (QTabBar* bar : window->findChildren<QTabBar*>())
        tabs = bar->isVisible() ? bar : tabs;
    QVERIFY(tabs && !area->isAncestorOf(tabs) && tabs->rect().contains(tabs->tabRect(3)));
    QVERIFY(window->rect().contains(QRect(tabs->mapTo(window.form.get(), QPoint()), tabs->size())));
    QVERIFY(window->height() > free.height() * 4 / 5); // as large as the screen allows
    QVERIFY(window->StatusBar1->isVisible());
    QVERIFY(window->rect().contains(
        QRect(window->StatusBar1->mapTo(window.form.get(), QPoint()), window->StatusBar1->size())));
    window->PageControl1->setCurrentIndex(3);
    area->ensureWidgetVisible(window->APOSave);
    QVERIFY(area->viewport()->rect().contains(
        QRect(window->APOSave->mapTo(area->viewport(), QPoint()), window->APOSave->size())));
}

void MainWindowTest::menuBarOrder()
{
    WorkFolder folder;
    Window window(folder);
    auto* edit = window->findChild<QAction*>(QStringLiteral("Edit1"));
    QVERIFY(edit && edit->menu());
    const QList<QAction*> expected{window->File1,  edit,       window->View1,
                                   window->About1, window->N1, window->Gorewheel21,
                                   window->N2};
    QCOMPARE(window->menuBar()->actions(), expected);
    QVERIFY(window->File1->menu());
    // Added items go into these menus: Exit stays last, View File Details first.
    QCOMPARE(window->File1->menu()->actions().constLast(), window->Exit1);
    QVERIFY(window->View1->menu());
    QCOMPARE(window->View1->menu()->actions().constFirst(), window->ShowContents1);
    QVERIFY(window->ShowContents1->isCheckable());
    QVERIFY(!window->ShowContents1->isChecked());
}

void MainWindowTest::controlPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parentName");
    QTest::addColumn<QRect>("place"); // a width or height of 0 is not checked

    QTest::newRow("PageControl1") << "PageControl1"
                                  << "" << QRect(0, 0, 801, 522);
    QTest::newRow("Panel1") << "Panel1"
                            << "" << QRect(288, 8, 481, 297);
    QTest::newRow("ValueList") << "ValueList"
                               << "Panel1" << QRect(8, 8, 465, 281);
    QTest::newRow("ProgressBar1") << "ProgressBar1"
                                  << "" << QRect(8, 496, 761, 17);
    QTest::newRow("Button1") << "Button1"
                             << "TabSheet1" << QRect(152, 280, 113, 25);
    QTest::newRow("Button3") << "Button3"
                             << "TabSheet1" << QRect(16, 56, 113, 25);
    QTest::newRow("Button4") << "Button4"
                             << "TabSheet1" << QRect(152, 56, 113, 25);
    QTest::newRow("GeneralBut") << "GeneralBut"
                                << "TabSheet1" << QRect(16, 280, 113, 25);
    QTest::newRow("SavePed") << "SavePed"
                             << "TabSheet2" << QRect(152, 280, 113, 25);
    QTest::newRow("MiscBackup") << "MiscBackup"
                                << "TabSheet3" << QRect(16, 56, 113, 25);
    QTest::newRow("APORestore") << "APORestore"
                                << "TabSheet4" << QRect(152, 56, 113, 25);
    QTest::newRow("Directory") << "Directory"
                               << "TabSheet1" << QRect(16, 320, 241, 161);
    QTest::newRow("SaveDir") << "SaveDir"
                             << "TabSheet1" << QRect(280, 344, 89, 25);
    QTest::newRow("Directories") << "Directories"
                                 << "TabSheet1" << QRect(280, 392, 273, 89);
    QTest::newRow("GroupBox1") << "GroupBox1"
                               << "TabSheet1" << QRect(48, 0, 161, 49);
    QTest::newRow("GroupBox4") << "GroupBox4"
                               << "TabSheet4" << QRect(48, 0, 161, 49);
    QTest::newRow("ComboBox2") << "ComboBox2"
                               << "GroupBox2" << QRect(8, 16, 145, 0);
    QTest::newRow("Image3") << "Image3"
                            << "TabSheet3" << QRect(8, 80, 273, 201);
    QTest::newRow("Memo1") << "Memo1"
                           << "TabSheet1" << QRect(0, 312, 769, 177);
    QTest::newRow("PedMemo") << "PedMemo"
                             << "TabSheet2" << QRect(0, 312, 769, 177);
    QTest::newRow("MiscMemo") << "MiscMemo"
                              << "TabSheet3" << QRect(0, 312, 769, 177);
    QTest::newRow("APOMemo") << "APOMemo"
                             << "TabSheet4" << QRect(0, 312, 769, 177);
    QTest::newRow("DetailsCheck") << "DetailsCheck"
                                  << "TabSheet1" << QRect(504, 352, 0, 0);
    QTest::newRow("DetailsCheck3") << "DetailsCheck3"
                                   << "TabSheet3" << QRect(504, 352, 0, 0);
    QTest::newRow("LabelSaved") << "LabelSaved"
                                << "Directories" << QRect(88, 24, 0, 0);
    QTest::newRow("LabelSelected") << "LabelSelected"
                                   << "Directories" << QRect(96, 48, 0, 0);
    QTest::newRow("Label3") << "Label3"
                            << "Directories" << QRect(9, 68, 0, 0);
    QTest::newRow("LabelValid") << "LabelValid"
                                << "Directories" << QRect(89, 68, 0, 0);
}

void MainWindowTest::controlPlaces()
{
    QFETCH(QString, name);
    QFETCH(QString, parentName);
    QFETCH(QRect, place);

    WorkFolder folder;
    Window window(folder);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));

    auto* widget = qobject_cast<QWidget*>(Find(*window.form, name));
    QVERIFY2(widget, qPrintable(name));
    QWidget* parent = parentName.isEmpty() ? window->centralWidget()
                                           : qobject_cast<QWidget*>(Find(*window.form, parentName));
    QVERIFY(parent);
    QCOMPARE(widget->parentWidget(), parent);
    QCOMPARE(widget->pos(), place.topLeft());
    if (place.width() > 0)
        QCOMPARE(widget->width(), place.width());
    if (place.height() > 0)
        QCOMPARE(widget->height(), place.height());
}

void MainWindowTest::captionsAndHints_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("captionProperty"); // empty: the control has no caption
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");

    const QByteArray text("text");
    const QByteArray title("title");
    QTest::newRow("File1") << "File1" << text << "File"
                           << "";
    QTest::newRow("Exit1") << "Exit1" << text << "Exit"
                           << "Exit Perkwright";
    QTest::newRow("View1") << "View1" << text << "View"
                           << "";
    QTest::newRow("ShowContents1") << "ShowContents1" << text << "View File Details"
                                   << "Show/Hide File Contents.";
    QTest::newRow("About1") << "About1" << text << "About"
                            << "About Perkwright";
    QTest::newRow("N1") << "N1" << text << "|"
                        << "";
    QTest::newRow("Gorewheel21") << "Gorewheel21" << text << "Launch Gorewheel 2"
                                 << "";
    QTest::newRow("N2") << "N2" << text << "|"
                        << "";
    QTest::newRow("Button1") << "Button1" << text << "Save to General.txt"
                             << "Replace powerup.txt";
    QTest::newRow("Button3") << "Button3" << text << "Backup General.txt"
                             << "Save file as powerup.bak";
    QTest::newRow("Button4")
        << "Button4" << text << "Restore General.txt"
        << "Reloads Powerup.txt, restoring all values altered since last save.";
    QTest::newRow("SavePed") << "SavePed" << text << "Save Ped Settings"
                             << "";
    QTest::newRow("BackPed") << "BackPed" << text << "Backup Ped Settings"
                             << "";
    QTest::newRow("RestorePed") << "RestorePed" << text << "Restore Ped Settings"
                                << "";
    QTest::newRow("MiscSave") << "MiscSave" << text << "Save to General.txt"
                              << "";
    QTest::newRow("MiscBackup") << "MiscBackup" << text << "Backup General.txt"
                                << "";
    QTest::newRow("MiscRestore") << "MiscRestore" << text << "Restore General.txt"
                                 << "";
    QTest::newRow("APOSave") << "APOSave" << text << "Save to General.txt"
                             << "";
    QTest::newRow("APOBackup") << "APOBackup" << text << "Backup General.txt"
                               << "";
    QTest::newRow("APORestore") << "APORestore" << text << "Restore General.txt"
                                << "";
    QTest::newRow("SaveDir")
        << "SaveDir" << text << "Save Directory"
        << "Save the directory selected in the box as default working directory.";
    QTest::newRow("Directory")
        << "Directory" << QByteArray() << ""
        << "Select your Gorewheel 2 directory and click \"Save Directory\" button.";
    QTest::newRow("StatusBar1") << "StatusBar1" << QByteArray() << ""
                                << "Congrats, you found the status bar.";
    QTest::newRow("ValueList") << "ValueList" << QByteArray() << ""
                               << "Change details here.";
    QTest::newRow("GroupBox1") << "GroupBox1" << title << " Car Settings "
                               << "";
    QTest::newRow("GroupBox2") << "GroupBox2" << title << " Pedestrian Settings "
                               << "";
    QTest::newRow("GroupBox3") << "GroupBox3" << title << " Other Settings "
                               << "";
    QTest::newRow("GroupBox4") << "GroupBox4" << title << " APO Settings "
                               << "";
    QTest::newRow("Directories") << "Directories" << title << " Directories "
                                 << "";
    QTest::newRow("DetailsCheck") << "DetailsCheck" << text << "Show File Details"
                                  << "";
    QTest::newRow("DetailsCheck4") << "DetailsCheck4" << text << "Show File Details"
                                   << "";
    QTest::newRow("Label1") << "Label1" << text << "Current Saved:"
                            << "";
    QTest::newRow("Label2") << "Label2" << text << "Current Selected:"
                            << "";
    QTest::newRow("Label3") << "Label3" << text << "Valid Selection:"
                            << "";
    QTest::newRow("APOPerkwright") << "APOPerkwright" << text << "Perkwright.exe"
                                   << "";
}

void MainWindowTest::captionsAndHints()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, captionProperty);
    QFETCH(QString, caption);
    QFETCH(QString, hint);

    WorkFolder folder;
    Window window(folder);
    QObject* control = Find(*window.form, name);
    QVERIFY2(control, qPrintable(name));
    // An access key's "&" is not part of the caption a player reads.
    if (!captionProperty.isEmpty())
        QCOMPARE(control->property(captionProperty.constData()).toString().remove(QLatin1Char('&')),
                 caption);
    QCOMPARE(control->property("statusTip").toString(), hint);
}

void MainWindowTest::statusBarShowsHintOfControlUnderPointer()
{
    WorkFolder folder;
    Window window(folder);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));

    const auto enter = [](QWidget* widget) {
        QEnterEvent event(QPointF(1, 1), QPointF(1, 1), widget->mapToGlobal(QPointF(1, 1)));
        QApplication::sendEvent(widget, &event);
    };
    const auto leave = [](QWidget* widget) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(widget, &event);
    };

    enter(window->Button1);
    QCOMPARE(window->StatusBar1->currentMessage(), QStringLiteral("Replace powerup.txt"));
    leave(window->Button1);
    enter(window->Button1->parentWidget());
    QCOMPARE(window->StatusBar1->currentMessage(), QString());

    enter(window->ValueList);
    QCOMPARE(window->StatusBar1->currentMessage(), QStringLiteral("Change details here."));
    leave(window->ValueList);

    enter(window->StatusBar1);
    QCOMPARE(window->StatusBar1->currentMessage(),
             QStringLiteral("Congrats, you found the status bar."));

    // A menu item shows its hint there too.
    window->About1->showStatusText(window->menuBar());
    QCOMPARE(window->StatusBar1->currentMessage(), QStringLiteral("About Perkwright"));
}

void MainWindowTest::noPopUpHints()
{
    WorkFolder folder;
    StartWithGame(folder);
    Window window(folder);
    const QList<QWidget*> widgets = window->findChildren<QWidget*>();
    QVERIFY(widgets.size() > 50);
    for (QWidget* widget : widgets)
        QVERIFY2(widget->toolTip().isEmpty(), qPrintable(widget->objectName()));
    for (int i = 0; i < window->PageControl1->count(); ++i)
        QVERIFY(window->PageControl1->tabToolTip(i).isEmpty());
    for (QMenu* menu : window->findChildren<QMenu*>())
        QVERIFY(!menu->toolTipsVisible());

    // A control with a hint shows no pop-up when asked for one.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));
    for (QWidget* widget :
         {static_cast<QWidget*>(window->Button1), static_cast<QWidget*>(window->SaveDir)}) {
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), widget->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(widget, &help);
        QVERIFY(!QToolTip::isVisible());
    }
}

void MainWindowTest::grid()
{
    WorkFolder folder;
    StartWithGame(folder);
    Window window(folder);
    KeyValueGrid* grid = window->ValueList;
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Details"));
    QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Value"));
    QVERIFY(grid->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);

    // One blank row at start.
    QCOMPARE(grid->QTableWidget::rowCount(), 1);
    QCOMPARE(grid->rowCount(), 0);

    // Rows of a section: the key column is fixed, the value column is edited in place.
    Choose(*window.form, 0, FirstSectionItem(0));
    QVERIFY(grid->rowCount() > 1);
    for (int row = 0; row < grid->QTableWidget::rowCount(); ++row) {
        QVERIFY(!(grid->item(row, 0)->flags() & Qt::ItemIsEditable));
        QVERIFY(grid->item(row, 1)->flags() & Qt::ItemIsEditable);
    }

    // The value column is whole beside the scroll bar, and clicking any cell never
    // scrolls the grid sideways.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));
    QCOMPARE(grid->columnWidth(1), 61);
    QCOMPARE(grid->columnWidth(0) + grid->columnWidth(1), grid->viewport()->width());
    for (int row = 0; row < grid->rowCount(); ++row)
        for (int column : {1, 0}) {
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                              grid->visualRect(grid->model()->index(row, column)).center());
            QCOMPARE(grid->horizontalScrollBar()->value(), 0);
            QCOMPARE(grid->horizontalHeader()->offset(), 0);
        }

    // A description too long for its column keeps its start and its end (the skill
    // level); the whole of it is in the status bar for the row under the pointer and for
    // the row that becomes current.
    Choose(*window.form, 3, 0); // Easy Difficulty
    int longRow = -1;
    for (int row = 0; row < grid->rowCount() && longRow < 0; ++row)
        if (grid->fontMetrics().horizontalAdvance(grid->item(row, 0)->text()) >
            grid->columnWidth(0) - 8)
            longRow = row;
    QVERIFY2(longRow >= 0, "the section has a description too long for its column");
    const QString description = grid->item(longRow, 0)->text();
    QVERIFY(description.endsWith(QLatin1String("(easy)")));
    QCOMPARE(grid->textElideMode(), Qt::ElideMiddle);
    const QRect keyCell = grid->visualRect(grid->model()->index(longRow, 0));
    QTest::mouseMove(grid->viewport(), keyCell.center());
    QCOMPARE(window->StatusBar1->currentMessage(), description);
    QTest::mouseMove(grid->viewport(), grid->visualRect(grid->model()->index(0, 1)).center());
    QCOMPARE(window->StatusBar1->currentMessage(), grid->item(0, 0)->text());
    grid->setFocus();
    grid->setCurrentCell(longRow, 1);
    QCOMPARE(window->StatusBar1->currentMessage(), description);
}

void MainWindowTest::keyboardOrder_data()
{
    QTest::addColumn<int>("tab");
    QTest::newRow("Car Settings") << 0;
    QTest::newRow("Pedestrians") << 1;
    QTest::newRow("Miscellaneous") << 2;
    QTest::newRow("APO") << 3;
}

// Tab follows the work: chooser, grid, Backup, Restore, Save, (folder tree, Save
// Directory,) details check box. In the grid it goes from value cell to value cell and
// out after the last row, committing an edit on the way; Shift+Tab goes back the same way.
void MainWindowTest::keyboardOrder()
{
    QFETCH(int, tab);

    WorkFolder folder;
    StartWithGame(folder);
    Window window(folder);
    TForm1& form = *window.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.PageControl1->setCurrentIndex(tab);
    Choose(form, tab, FirstSectionItem(tab));
    KeyValueGrid* grid = form.ValueList;
    const int rows = grid->rowCount();
    QVERIFY(rows > 1);

    QWidget* const chooser = ChooserOf(form, tab);
    const std::array<std::vector<QWidget*>, TabCount> after{
        std::vector<QWidget*>{form.Button3, form.Button4, form.Button1, form.Directory,
                              form.SaveDir, form.DetailsCheck},
        {form.BackPed, form.RestorePed, form.SavePed, form.DetailsCheck2},
        {form.MiscBackup, form.MiscRestore, form.MiscSave, form.DetailsCheck3},
        {form.APOBackup, form.APORestore, form.APOSave, form.DetailsCheck4}};
    const auto focused = [] {
        QWidget* focus = QApplication::focusWidget();
        return focus && focus->focusProxy() ? focus->focusProxy() : focus;
    };
    const auto press = [&](Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QApplication::processEvents();
    };

    chooser->setFocus(Qt::OtherFocusReason);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QVERIFY(chooser->hasFocus());
    for (int row = 0; row < rows; ++row) {
        press(Qt::Key_Tab);
        QCOMPARE(focused(), static_cast<QWidget*>(grid));
        QCOMPARE(grid->currentRow(), row);
        QCOMPARE(grid->currentColumn(), 1);
    }
    // An edit in the last value cell ended by Tab is committed, and the focus goes on.
    const TextBuffer& buffer = form.state().document(static_cast<Tab>(tab));
    const std::vector<std::string> before = buffer.lines();
    press(Qt::Key_F2);
    QVERIFY(grid->isEditing());
    QTest::keyClicks(QApplication::focusWidget(), "77");
    press(Qt::Key_Tab);
    QVERIFY(!grid->isEditing());
    QVERIFY(buffer.lines() != before);
    for (QWidget* next : after[static_cast<size_t>(tab)]) {
        QCOMPARE(focused(), next);
        press(Qt::Key_Tab);
    }
    // And back: from Backup into the grid's last value cell, up to the first, then out.
    after[static_cast<size_t>(tab)].front()->setFocus(Qt::OtherFocusReason);
    for (int row = rows - 1; row >= 0; --row) {
        press(Qt::Key_Backtab);
        QCOMPARE(focused(), static_cast<QWidget*>(grid));
        QCOMPARE(grid->currentRow(), row);
        QCOMPARE(grid->currentColumn(), 1);
    }
    press(Qt::Key_Backtab);
    QCOMPARE(focused(), chooser);
}

void MainWindowTest::tabSwitchResetsNewTab_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("Car Settings to Pedestrians") << 0 << 1;
    QTest::newRow("Pedestrians to Miscellaneous") << 1 << 2;
    QTest::newRow("Miscellaneous to APO") << 2 << 3;
    QTest::newRow("APO to Car Settings") << 3 << 0;
    QTest::newRow("Pedestrians to Car Settings") << 1 << 0;
}

void MainWindowTest::tabSwitchResetsNewTab()
{
    QFETCH(int, from);
    QFETCH(int, to);

    WorkFolder folder;
    StartWithGame(folder);
    Window window(folder);
    TForm1& form = *window.form;
    QCOMPARE(Shown(window.messages), QStringList{});

    form.PageControl1->setCurrentIndex(from);
    const int item = FirstSectionItem(from);
    QVERIFY(item >= 0);
    Choose(form, from, item);
    QVERIFY(form.ValueList->rowCount() > 1);
    const QString fromText = ChooserOf(form, from)->currentText();

    // The new tab's chooser shows an item before the switch, so its reset can be seen.
    SectionChooser* target = ChooserOf(form, to);
    {
        const QSignalBlocker blocker(target);
        target->setCurrentIndex(FirstSectionItem(to));
    }
    QVERIFY(target->currentText() != QStringLiteral("Choose Setting"));

    form.PageControl1->setCurrentIndex(to);

    QCOMPARE(target->currentIndex(), -1);
    QCOMPARE(target->currentText(), QStringLiteral("Choose Setting"));
    QCOMPARE(form.ValueList->rowCount(), 1);
    QCOMPARE(form.ValueList->QTableWidget::rowCount(), 1);
    QCOMPARE(form.ValueList->key(1), std::string());
    QCOMPARE(form.ValueList->value(1), std::string());
    // The chooser of the tab left behind is not touched by the switch.
    QCOMPARE(ChooserOf(form, from)->currentIndex(), item);
    QCOMPARE(ChooserOf(form, from)->currentText(), fromText);

    // And back: the first tab is reset the same way.
    form.PageControl1->setCurrentIndex(from);
    QCOMPARE(ChooserOf(form, from)->currentIndex(), -1);
    QCOMPARE(ChooserOf(form, from)->currentText(), QStringLiteral("Choose Setting"));
    QCOMPARE(form.ValueList->QTableWidget::rowCount(), 1);
    QCOMPARE(form.ValueList->key(1), std::string());
    QCOMPARE(Shown(window.messages), QStringList{});
}

void MainWindowTest::leavingWritesNothing_data()
{
    using Answer = Messages::Closing;
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("edited"); // the files with unsaved edits, as the question says
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("closes");
    const QString both = "General.txt and Settings.txt", ped = "Settings.txt";
    QTest::newRow("Exit1Click, nothing unsaved") << "handler"
                                                 << "" << Answer::Cancel << true;
    QTest::newRow("File > Exit, Cancel") << "menu" << both << Answer::Cancel << false;
    QTest::newRow("Ctrl+Q, Don't Save") << "keys" << both << Answer::DontSave << true;
    QTest::newRow("closing the window, Save") << "close" << both << Answer::Save << true;
    QTest::newRow("Save, another program's file kept") << "kept" << ped << Answer::Save << false;
    QTest::newRow("session ending, no leave to ask") << "session" << both << Answer::Save << false;
    QTest::newRow("a value still being typed, Cancel") << "typing"
                                                       << "General.txt" << Answer::Cancel << false;
}

void MainWindowTest::leavingWritesNothing()
{
    QFETCH(QString, how);
    QFETCH(QString, edited);
    QFETCH(Messages::Closing, answer);
    QFETCH(bool, closes);

    WorkFolder folder;
    StartWithGame(folder);
    Window window(folder);
    TForm1& form = *window.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    Choose(form, 0, FirstSectionItem(0));
    if (edited == "General.txt and Settings.txt")
        form.ValueListValidate(form.ValueList, 1, 1, form.ValueList->key(1), "12345");
    if (how == QLatin1String("typing")) {
        form.ValueList->setFocus();
        QTest::keyClick(form.ValueList, Qt::Key_F2);
        QTest::keyClicks(QApplication::focusWidget(), "12345");
    } else if (!edited.isEmpty()) {
        form.state().SettingsText.setLine(5, "edited pedestrian line");
    }
    if (how == QLatin1String("kept")) // another program's save, which the Save does not replace
        ReplaceFileLine(folder.settingsPath(), 6, "changed elsewhere");
    const std::map<QString, std::string> before = Snapshot(folder.path());
    window.messages.closing = answer;

    if (how == QLatin1String("handler"))
        form.Exit1Click();
    else if (how == QLatin1String("menu"))
        form.Exit1->trigger();
    else if (how == QLatin1String("keys"))
        QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier);
    else if (how == QLatin1String("session"))
        emit qApp->commitDataRequest(*qApp->findChild<QSessionManager*>());
    else
        form.close();

    QCOMPARE(form.isVisible(), !closes);
    const QString asked = WarningText("Save the changes to " + edited + " before closing?");
    QCOMPARE(Shown(window.messages).value(0), edited.isEmpty() || how == "session" ? "" : asked);
    const bool saved = answer == Messages::Closing::Save && closes;
    QCOMPARE(Snapshot(folder.path()) == before, !saved);
    QCOMPARE(ReadBytes(folder.generalPath()).find("12345") != std::string::npos, saved);
    QVERIFY(closes ||
            form.state()
                .document(how == QLatin1String("typing") ? Tab::CarSettings : Tab::Pedestrians)
                .holdsUnsavedEdits()); // kept on Cancel
}

// After a box the grid opened (the window's own boxes) the keyboard is back on the cell
// that opened it; Escape in the question before closing keeps the window. Ctrl+PgUp/PgDn
// and Ctrl+Tab/Ctrl+Shift+Tab then turn the tabs round wherever the keyboard is.
void MainWindowTest::keyboardStaysWithThePlayer()
{
    WorkFolder folder;
    StartWithGame(folder);
    TForm1 form(TForm1Services{nullptr, nullptr, folder.path(), folder.path("home")});
    form.show();
    Choose(form, 0, FirstSectionItem(0));
    QTimer escape; // answers every box
    connect(&escape, &QTimer::timeout, [] {
        if (QWidget* box = QApplication::activeModalWidget())
            QTest::keyClick(box, Qt::Key_Escape);
    });
    escape.start(20);
    form.ValueList->setCurrentCell(1, 1);
    for (const char* typed : {"1,5", "4321", ""}) {  // refused, kept; then Ctrl+Q
        QVERIFY(QTest::qWaitForWindowActive(&form)); // as the window manager gives it back
        if (*typed)
            form.ValueList->edit(form.ValueList->currentIndex());
        QTest::keyClicks(QApplication::focusWidget(), typed);
        QTest::keySequence(QApplication::focusWidget(),
                           *typed ? Qt::Key_Return : Qt::CTRL | Qt::Key_Q);
        QCoreApplication::processEvents(); // the editor commits; a box comes and goes
        form.activateWindow();
        QTRY_COMPARE(QApplication::focusWidget(), form.ValueList);
        QCOMPARE(form.ValueList->currentIndex(), form.ValueList->model()->index(1, 1));
    }
    form.ValueList->edit(form.ValueList->currentIndex());
    QWidget* const at[] = {QApplication::focusWidget(), form.ComboBox4->lineEdit(), form.Directory,
                           form.ValueList};
    const QKeySequence turns[] = {Qt::CTRL | Qt::Key_PageUp, Qt::CTRL | Qt::Key_Tab,
                                  Qt::CTRL | Qt::Key_PageDown,
                                  Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab};
    QString visited;
    for (int i = 0; i < 4; ++i) {
        at[i]->setFocus();
        QTest::keySequence(at[i], turns[i]);
        visited += QString::number(form.PageControl1->currentIndex());
    }
    QCOMPARE(visited, QStringLiteral("3010"));
}

// A screen reader names every control, and a value cell tells what the status bar adds.
void MainWindowTest::screenReaderNames()
{
    WorkFolder folder;
    StartWithGame(folder);
    Window window(folder);
    TForm1& form = *window.form;
    Choose(form, 0, FirstSectionItem(0));
    form.ValueListValidate(form.ValueList, 1, 1, form.ValueList->key(1), "lots");
    const QModelIndex value = form.ValueList->model()->index(0, 1);
    form.ValueList->edit(value);
    const QString details = QString::fromLatin1(form.ValueList->key(1).c_str());
    const std::pair<QObject*, QString> names[] = {
        {form.ValueList, "Settings of Bending"},
        {form.Directory, "Gorewheel 2 folder"},
        {form.Memo1, "General.txt as Tunedeck holds it"},
        {form.PedMemo, "Settings.txt as Tunedeck holds it"},
        {form.ComboBox3->lineEdit(), "Miscellaneous section"},
        {form.ValueList->indexWidget(value), "Value of " + details},
        {form.ProgressBar1, "Progress"}};
    for (const auto& [control, name] : names)
        QCOMPARE(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name), name);
    for (QWidget* control : form.findChildren<QWidget*>())
        QVERIFY2(
            control->focusPolicy() == Qt::NoFocus ||
                !QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
            control->metaObject()->className());
    QAccessibleInterface* cell =
        QAccessible::queryAccessibleInterface(form.ValueList)->tableInterface()->cellAt(0, 1);
    // The Details text is said with the row already.
    QCOMPARE(cell->text(QAccessible::Description),
             QStringLiteral("Original: 9800   Expected a whole number like 9800   Not saved"));
}

void MainWindowTest::detailsViewToggles_data()
{
    QTest::addColumn<int>("tab");
    QTest::newRow("DetailsCheck") << 0;
    QTest::newRow("DetailsCheck2") << 1;
    QTest::newRow("DetailsCheck3") << 2;
    QTest::newRow("DetailsCheck4") << 3;
}

void MainWindowTest::detailsViewToggles()
{
    QFETCH(int, tab);

    WorkFolder folder;
    StartWithGame(folder);
    Window window(folder);
    TForm1& form = *window.form;

    const auto viewsShown = [&](bool shown) {
        for (int t = 0; t < TabCount; ++t)
            if (ViewOf(form, t)->isHidden() == shown)
                return false;
        return true;
    };
    const auto boxes = [&] {
        QList<bool> checked;
        for (int t = 0; t < TabCount; ++t)
            checked << DetailsBoxOf(form, t)->isChecked();
        return checked;
    };
    const QList<bool> none{false, false, false, false};
    const QList<bool> all{true, true, true, true};
    QList<bool> onlyThis = none;
    onlyThis[tab] = true;

    QVERIFY(viewsShown(false));
    QCOMPARE(boxes(), none);
    QVERIFY(!form.ShowContents1->isChecked());

    // Ticking one box shows all four views; the other boxes stay as they are.
    DetailsBoxOf(form, tab)->click();
    QVERIFY(viewsShown(true));
    QVERIFY(form.ShowContents1->isChecked());
    QCOMPARE(boxes(), onlyThis);

    // The menu item hides them all and unticks every box.
    form.ShowContents1->trigger();
    QVERIFY(viewsShown(false));
    QVERIFY(!form.ShowContents1->isChecked());
    QCOMPARE(boxes(), none);

    // And shows them all again, ticking every box.
    form.ShowContents1->trigger();
    QVERIFY(viewsShown(true));
    QVERIFY(form.ShowContents1->isChecked());
    QCOMPARE(boxes(), all);

    // A fixed-width font with a tab stop every 8 characters: the text after the first TAB
    // of lines whose values differ in length starts at the same place, 8 characters in.
    BufferView* view = ViewOf(form, tab);
    // Each character a game file holds takes one width where any font here has that (the
    // window's proportional font stands in for a desktop's); else the desktop's font stays.
    const auto even = [view](const QString& family, const QFont& font = {}) {
        const QFontMetrics m(family.isEmpty() ? font : QFont(family, view->font().pointSize()));
        const int w = m.horizontalAdvance(' ');
        return m.horizontalAdvance('i') == w && m.horizontalAdvance('W') == w &&
               m.horizontalAdvance('0') == w;
    };
    const QStringList families = QFontDatabase::families();
    const bool anyEven =
        std::any_of(families.begin(), families.end(), [&](auto& f) { return even(f); });
    QCOMPARE(even({}, view->font()), anyEven);
    QCOMPARE(even({}, BufferView::EvenFont(form.font())), anyEven);
    QVERIFY(anyEven || QFontInfo(view->font()).family() ==
                           QFontInfo(QFontDatabase::systemFont(QFontDatabase::FixedFont)).family());
    const auto afterFirstTab = [view](int line, int tabAt) {
        QTextCursor cursor(view->document()->findBlockByNumber(line));
        cursor.setPosition(cursor.position() + tabAt + 1);
        return view->cursorRect(cursor).x() - view->cursorRect(QTextCursor(cursor.block())).x();
    };
    std::map<size_t, int> lineByTabAt; // first TAB's place within 1 to 7 -> a line
    const std::vector<std::string> lines = form.state().document(static_cast<Tab>(tab)).lines();
    for (size_t i = 0; i < lines.size(); ++i) {
        const size_t tabAt = lines[i].find('\t');
        if (tabAt >= 1 && tabAt <= 7)
            lineByTabAt.emplace(tabAt, int(i));
    }
    QVERIFY(lineByTabAt.size() >= 2);
    const auto& [firstTabAt, firstLine] = *lineByTabAt.begin();
    const int eight = anyEven ? qRound(8 * QFontMetricsF(view->font()).horizontalAdvance(' '))
                              : afterFirstTab(firstLine, int(firstTabAt)); // all alike
    for (const auto& [tabAt, line] : lineByTabAt)
        QCOMPARE(afterFirstTab(line, int(tabAt)), eight);

    // Unticking one box hides the views; the other boxes keep their ticks.
    DetailsBoxOf(form, tab)->click();
    QVERIFY(viewsShown(false));
    QVERIFY(!form.ShowContents1->isChecked());
    QList<bool> allButThis = all;
    allButThis[tab] = false;
    QCOMPARE(boxes(), allButThis);

    // A change of state made by the program runs the same handler.
    DetailsBoxOf(form, (tab + 1) % TabCount)->setChecked(false);
    DetailsBoxOf(form, (tab + 1) % TabCount)->setChecked(true);
    QVERIFY(viewsShown(true));
    QVERIFY(form.ShowContents1->isChecked());

    // The menu handler called directly toggles from the mark it finds.
    form.ShowContents1Click();
    QVERIFY(viewsShown(false));
    QVERIFY(!form.ShowContents1->isChecked());
    QCOMPARE(boxes(), none);
    form.ShowContents1Click();
    QVERIFY(viewsShown(true));
    QCOMPARE(boxes(), all);
}

void MainWindowTest::typingChangesOnlyThatBufferLine_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("line");
    QTest::newRow("Memo1") << 0 << 7;
    QTest::newRow("PedMemo") << 1 << 300;
    QTest::newRow("MiscMemo") << 2 << 0;
    QTest::newRow("APOMemo") << 3 << 409;
}

void MainWindowTest::typingChangesOnlyThatBufferLine()
{
    QFETCH(int, tab);
    QFETCH(int, line);

    WorkFolder folder;
    StartWithGame(folder);
    Window window(folder);
    TForm1& form = *window.form;
    form.DetailsCheck->setChecked(true);
    form.PageControl1->setCurrentIndex(tab);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    const BufferSet before(form.state());
    GameDocument& buffer = form.state().document(static_cast<Tab>(tab));
    const std::string original = buffer.line(line);

    BufferView* view = ViewOf(form, tab);
    QVERIFY(view->isVisible());
    MoveToLineEnd(view, line);
    view->setFocus();
    QTest::keyClicks(view, "42");

    QCOMPARE(buffer.line(line), original + "42");
    BufferSet expected = before;
    std::vector<std::string>* changed[TabCount] = {&expected.memo1, &expected.ped, &expected.misc,
                                                   &expected.apo};
    (*changed[tab])[static_cast<size_t>(line)] = original + "42";
    if (tab != 1) // typing in one copy of General.txt types in all three
        for (auto* copy : {&expected.memo1, &expected.misc, &expected.apo})
            (*copy)[static_cast<size_t>(line)] = original + "42";
    const BufferSet after(form.state());
    QVERIFY(after.memo1 == expected.memo1);
    QVERIFY(after.ped == expected.ped);
    QVERIFY(after.misc == expected.misc);
    QVERIFY(after.apo == expected.apo);
}

void MainWindowTest::viewEditsMapToBufferLines_data()
{
    QTest::addColumn<QString>("edit");
    QTest::newRow("Return at the end of a line") << "return at end";
    QTest::newRow("Return inside a line") << "return inside";
    QTest::newRow("Backspace at the start of a line") << "backspace at start";
    QTest::newRow("Delete at the end of a line") << "delete at end";
    QTest::newRow("three whole lines deleted") << "delete lines";
    QTest::newRow("two lines pasted") << "paste";
    QTest::newRow("everything deleted") << "delete all";
    QTest::newRow("typing undone") << "undo";
}

// Edits that add, join, split or remove lines reach the buffer line for line.
void MainWindowTest::viewEditsMapToBufferLines()
{
    QFETCH(QString, edit);

    WorkFolder folder;
    StartWithGame(folder);
    Window window(folder);
    TForm1& form = *window.form;
    form.DetailsCheck->setChecked(true);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    BufferView* view = form.Memo1;
    view->setFocus();

    std::vector<std::string> expected = form.state().GeneralText.lines();
    const std::vector<std::string> others = form.state().GeneralText.lines();
    const auto at = [&expected](int index) { return expected.begin() + index; };
    QTextCursor cursor(view->document());

    if (edit == QLatin1String("return at end")) {
        MoveToLineEnd(view, 5);
        QTest::keyClick(view, Qt::Key_Return);
        expected.insert(at(6), std::string());
    } else if (edit == QLatin1String("return inside")) {
        cursor.setPosition(view->document()->findBlockByNumber(5).position() + 1);
        view->setTextCursor(cursor);
        QTest::keyClick(view, Qt::Key_Return);
        const std::string line = expected[5];
        expected[5] = line.substr(0, 1);
        expected.insert(at(6), line.substr(1));
    } else if (edit == QLatin1String("backspace at start")) {
        cursor.setPosition(view->document()->findBlockByNumber(6).position());
        view->setTextCursor(cursor);
        QTest::keyClick(view, Qt::Key_Backspace);
        expected[5] += expected[6];
        expected.erase(at(6));
    } else if (edit == QLatin1String("delete at end")) {
        MoveToLineEnd(view, 5);
        QTest::keyClick(view, Qt::Key_Delete);
        expected[5] += expected[6];
        expected.erase(at(6));
    } else if (edit == QLatin1String("delete lines")) {
        cursor.setPosition(view->document()->findBlockByNumber(3).position());
        cursor.setPosition(view->document()->findBlockByNumber(6).position(),
                           QTextCursor::KeepAnchor);
        view->setTextCursor(cursor);
        QTest::keyClick(view, Qt::Key_Delete);
        expected.erase(at(3), at(6));
    } else if (edit == QLatin1String("paste")) {
        cursor.setPosition(view->document()->findBlockByNumber(10).position());
        view->setTextCursor(cursor);
        view->insertPlainText(QStringLiteral("pasted one\npasted two\n"));
        expected.insert(at(10), {"pasted one", "pasted two"});
    } else if (edit == QLatin1String("delete all")) {
        view->selectAll();
        QTest::keyClick(view, Qt::Key_Delete);
        expected.clear();
    } else if (edit == QLatin1String("undo")) {
        MoveToLineEnd(view, 8);
        QTest::keyClicks(view, "123");
        QVERIFY(form.state().GeneralText.line(8) != expected[8]);
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
    }

    QVERIFY(form.state().GeneralText.lines() == expected);
    QVERIFY(form.state().GeneralText.lines() == expected); // the copies follow
    QVERIFY(form.state().GeneralText.lines() == expected);
    QCOMPARE(view->document()->blockCount(), std::max<int>(1, int(expected.size())));
}

void MainWindowTest::typingIntoAnEmptyView()
{
    WorkFolder folder;
    Window window(folder); // nothing loaded
    TForm1& form = *window.form;
    form.DetailsCheck->setChecked(true);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.state().GeneralText.empty());

    form.Memo1->setFocus();
    QTest::keyClicks(form.Memo1, "x");
    QCOMPARE(form.state().GeneralText.lines(), std::vector<std::string>{"x"});
    QTest::keyClick(form.Memo1, Qt::Key_Backspace);
    QCOMPARE(form.state().GeneralText.count(), 0);
    QVERIFY(form.state().SettingsText.empty());
}

// What the program does to a buffer shows in its view, line for line.
void MainWindowTest::viewsFollowDocumentChanges()
{
    WorkFolder folder;
    StartWithGame(folder);
    const QString other = folder.path("other game");
    MakeGameFolder(other);
    ReplaceFileLine(QDir(other).filePath("data/General.txt"), 60, "1.5\t\t// other general");
    ReplaceFileLine(QDir(other).filePath("data/peds/Settings.txt"), 70, "2.5\t\t// other settings");
    Window window(folder);
    TForm1& form = *window.form;
    form.DetailsCheck->setChecked(true);

    const auto viewsMatchBuffers = [&form] {
        for (int tab = 0; tab < TabCount; ++tab) {
            const TextBuffer& buffer = form.state().document(static_cast<Tab>(tab));
            QTextDocument* document = ViewOf(form, tab)->document();
            if (document->blockCount() != std::max(1, buffer.count()))
                return false;
            for (int i = 0; i < buffer.count(); ++i)
                if (BufferView::FromViewText(document->findBlockByNumber(i).text()) !=
                    buffer.line(i))
                    return false;
        }
        return true;
    };
    QVERIFY(viewsMatchBuffers());

    // A value committed in the grid.
    Choose(form, 0, FirstSectionItem(0));
    form.ValueListValidate(form.ValueList, 1, 1, form.ValueList->key(1), "31337");
    QVERIFY(form.state()
                .GeneralText.line(RowLines({Tab::CarSettings, FirstSectionItem(0), 1}))
                .find("31337") != std::string::npos);
    QVERIFY(viewsMatchBuffers());

    // A restore from the reference copies.
    form.Button4Click();
    QVERIFY(viewsMatchBuffers());

    // A directory save that reloads every buffer.
    QVERIFY(form.Directory->selectPath(other));
    form.SaveDirClick();
    QCOMPARE(form.state().GeneralText.line(60), std::string("1.5\t\t// other general"));
    QCOMPARE(form.state().SettingsText.line(70), std::string("2.5\t\t// other settings"));
    QVERIFY(viewsMatchBuffers());
    QCOMPARE(Shown(window.messages),
             QStringList{InformationText(QStringLiteral(
                 "Tunedeck now keeps a copy of your General.txt and Settings.txt as they are now. "
                 "Restore puts these back.\nThey take the place of the demo game's copies."))});
}

void MainWindowTest::unusualBytesSurviveTheView_data()
{
    QTest::addColumn<QByteArray>("special");
    QTest::addColumn<bool>("editSameLine");

    const QByteArray loneCr("12\r34\t\t// lone CR");
    const QByteArray nul("5\0006\t\t// NUL", 12);
    const QByteArray noBreakSpace("7\xA0"
                                  "8\t\t// no-break space");
    QByteArray everyByte;
    for (int byte = 0; byte < 256; ++byte)
        if (byte != '\n')
            everyByte += static_cast<char>(byte);

    QTest::newRow("lone CR, another line edited") << loneCr << false;
    QTest::newRow("NUL, another line edited") << nul << false;
    QTest::newRow("0xA0, another line edited") << noBreakSpace << false;
    QTest::newRow("every byte but LF, another line edited") << everyByte << false;
    QTest::newRow("lone CR, same line edited") << loneCr << true;
    QTest::newRow("NUL, same line edited") << nul << true;
    QTest::newRow("0xA0, same line edited") << noBreakSpace << true;
    QTest::newRow("every byte but LF, same line edited") << everyByte << true;
}

void MainWindowTest::unusualBytesSurviveTheView()
{
    QFETCH(QByteArray, special);
    QFETCH(bool, editSameLine);

    constexpr int SpecialLine = 2;
    constexpr int OtherLine = 20;
    WorkFolder folder;
    StartWithGame(folder);
    Window window(folder);
    TForm1& form = *window.form;
    const std::string bytes = special.toStdString();
    QCOMPARE(bytes.size(), size_t(special.size()));
    form.state().GeneralText.setLine(SpecialLine, bytes);
    form.Memo1->refresh();

    form.DetailsCheck->setChecked(true);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Each buffer line is one line of the view.
    QCOMPARE(form.Memo1->document()->blockCount(), 410);

    const std::string other = form.state().GeneralText.line(OtherLine);
    MoveToLineEnd(form.Memo1, editSameLine ? SpecialLine : OtherLine);
    form.Memo1->setFocus();
    QTest::keyClicks(form.Memo1, "9");

    QCOMPARE(form.state().GeneralText.count(), 410);
    QCOMPARE(form.state().GeneralText.line(SpecialLine), editSameLine ? bytes + "9" : bytes);
    QCOMPARE(form.state().GeneralText.line(OtherLine), editSameLine ? other : other + "9");

    // The save writes the line byte for byte.
    form.Button1Click();
    QCOMPARE(Shown(window.messages),
             QStringList{InformationText(QStringLiteral("File updated: ") + folder.generalPath())});
    const std::vector<std::string> saved = FileLines(folder.generalPath());
    QCOMPARE(saved.size(), size_t(410));
    QCOMPARE(saved[SpecialLine], editSameLine ? bytes + "9" : bytes);
}

void MainWindowTest::gameLaunch_data()
{
    QTest::addColumn<bool>("directoryKnown");
    QTest::addColumn<QString>("game"); // what is at game/gwheel2.exe: "file", "folder", ""
    QTest::addColumn<bool>("launched");

    QTest::newRow("no directory known") << false << "file" << false;
    QTest::newRow("directory without gwheel2.exe") << true << "" << false;
    QTest::newRow("gwheel2.exe is a folder") << true << "folder" << false;
    QTest::newRow("gwheel2.exe in the game folder") << true << "file" << true;
    QTest::newRow("the opener fails") << true << "fails" << true;
    QTest::newRow("a Wine prefix, wine missing") << true << "in a prefix" << false;
}

void MainWindowTest::gameLaunch()
{
    QFETCH(bool, directoryKnown);
    QFETCH(QString, game);
    QFETCH(bool, launched);

    const bool inPrefix = game == QLatin1String("in a prefix"); // the work folder is a prefix
#ifdef Q_OS_WIN
    if (inPrefix)
        QSKIP("Wine prefixes are a Linux player's; Windows opens the program itself");
#endif
    WorkFolder folder;
    if (directoryKnown)
        StartWithGame(folder);
    const QString program = folder.path("game/gwheel2.exe");
    if (game == QLatin1String("file") || game == QLatin1String("fails") || inPrefix)
        WriteBytes(program, "MZ");
    else if (game == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(program));
    if (inPrefix) {
        WriteBytes(folder.path("system.reg"), "WINE REGISTRY\n");
        QVERIFY(QDir().mkpath(folder.path("drive_c")));
    }
    const StandInPrograms tools(folder.path("bin"), {QStringLiteral("xdg-open")});
    Window window(folder);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));
    window.messages.shown.clear();
    if (game == QLatin1String("fails"))
        window.launcher.failure = QStringLiteral("xdg-open ended with exit code 3.");

    window->Gorewheel21->trigger();

    if (launched) {
        // A launch that fails says what could not be started, and why.
        QCOMPARE(Shown(window.messages),
                 window.launcher.failure.isEmpty()
                     ? QStringList{}
                     : QStringList{ErrorText(QStringLiteral(
                           "Could not start gwheel2.exe: xdg-open ended with exit code 3."))});
        QCOMPARE(window.launcher.started.size(), size_t(1));
        QCOMPARE(Opened(window.launcher.started[0]), QStringList{program});
        QCOMPARE(window.launcher.started[0].workingFolder, folder.gameDir());
    } else {
        QCOMPARE(Shown(window.messages),
                 QStringList{
                     !inPrefix ? InformationText(directoryKnown ? "gwheel2.exe is not in " +
                                                                      folder.gameDir() + "."
                                                                : "You must save your Gorewheel 2 "
                                                                  "directory to use this feature.")
                               : ErrorText(QStringLiteral(
                                     "Could not start gwheel2.exe: wine was not found; install "
                                     "Wine or open the game from your launcher."))});
        QVERIFY(window.launcher.started.empty());
    }
    // Tunedeck keeps running.
    QVERIFY(window->isVisible());
}

void MainWindowTest::gameLaunchWithUnsavedEdits_data()
{
    QTest::addColumn<QString>("answer"); // to the question; "kept": Save, stopped by a change
    for (const char* answer : {"Save", "Launch without saving", "Cancel", "kept", "Enter"})
        QTest::newRow(answer) << QString(answer);
}

void MainWindowTest::gameLaunchWithUnsavedEdits()
{
    QFETCH(QString, answer);
    WorkFolder folder;
    StartWithGame(folder);
    WriteBytes(folder.path("game/gwheel2.exe"), "MZ");
    const StandInPrograms tools(folder.path("bin"), {QStringLiteral("xdg-open")});
    Window window(folder);
    window->state().SettingsText.setLine(5, "edited pedestrian line");
    if (answer == QLatin1String("kept")) // the Save's question about it is answered No
        ReplaceFileLine(folder.settingsPath(), 6, "changed elsewhere");
    window.questions.answer = answer == QLatin1String("kept") ? QStringLiteral("Save") : answer;
    window->Gorewheel21->trigger();
    QCOMPARE(Shown(window.messages).value(0),
             WarningText("Save the changes to Settings.txt before launching Gorewheel 2?"));
    const bool saves = answer == "Save" || answer == "Enter";
    QCOMPARE(window.launcher.started.size(), size_t(saves || answer.startsWith("L")));
    QCOMPARE(FileLines(folder.settingsPath()).at(5) == "edited pedestrian line", saves);
}

void MainWindowTest::siblingLaunch_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("starts");
    QTest::newRow("GeneralBut") << 0 << true;
    QTest::newRow("LaunchPW") << 1 << true;
    QTest::newRow("MiscPerkwright") << 2 << true;
    QTest::newRow("APOPerkwright") << 3 << true;
    QTest::newRow("APOPerkwright, the opener cannot start") << 3 << false;
}

void MainWindowTest::siblingLaunch()
{
    QFETCH(int, tab);
    QFETCH(bool, starts);

    WorkFolder folder;
    StartWithGame(folder);
    WriteBytes(folder.path("Perkwright.exe"), "MZ");
    const StandInPrograms tools(folder.path("bin"), {QStringLiteral("xdg-open")});
    Window window(folder);
    TForm1& form = *window.form;
    form.PageControl1->setCurrentIndex(tab);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const std::map<QString, std::string> before = Snapshot(folder.path());
    form.state().GeneralText.setLine(3, "unsaved edit");
    form.state().SettingsText.setLine(3, "unsaved edit");

    QPushButton* button = std::array<QPushButton*, TabCount>{
        form.GeneralBut, form.LaunchPW, form.MiscPerkwright, form.APOPerkwright}[tab];
    QVERIFY(button->isVisible());
    if (!starts)
        window.launcher.failure = QStringLiteral("xdg-open ended with exit code 3.");
    window.messages.closing = Messages::Closing::DontSave; // asked before the sibling reads
    QTest::mouseClick(button, Qt::LeftButton);

    QCOMPARE(window.launcher.started.size(), size_t(1));
    QCOMPARE(Opened(window.launcher.started[0]), QStringList{folder.path("Perkwright.exe")});
    QCOMPARE(window.launcher.started[0].workingFolder, folder.path());
    // Tunedeck gives way only to a sibling that has started.
    QCOMPARE(form.isVisible(), !starts);
    QCOMPARE(Shown(window.messages).mid(1), // after the question before closing
             starts ? QStringList{}
                    : QStringList{ErrorText(QStringLiteral(
                          "Could not start Perkwright.exe: xdg-open ended with exit code 3."))});
    QVERIFY(Snapshot(folder.path()) == before);
}

// Perkwright.exe removed while Tunedeck runs: the button says where it was looked for.
void MainWindowTest::siblingGoneSinceTheStart()
{
    WorkFolder folder;
    StartWithGame(folder);
    WriteBytes(folder.path("Perkwright.exe"), "MZ");
    Window window(folder);
    TForm1& form = *window.form;
    form.PageControl1->setCurrentIndex(1);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(QFile::remove(folder.path("Perkwright.exe")));
    QTest::mouseClick(form.LaunchPW, Qt::LeftButton);
    QCOMPARE(Shown(window.messages),
             QStringList{InformationText("Perkwright.exe is not in " + folder.path() + ".")});
    QVERIFY(window.launcher.started.empty());
}

void MainWindowTest::launchCommand_data()
{
    // The game folder below a scratch home "~" ("!" ends a folder made a Wine prefix), the
    // stand-ins on PATH (else steam, wine and xdg-open), TUNEDECK_LAUNCH, whether the sibling
    // editor (in ~/work) starts rather than the game, and the command chosen or the failure.
    QTest::addColumn<QString>("game");
    QTest::addColumn<QString>("tools");
    QTest::addColumn<QString>("own");
    QTest::addColumn<bool>("sibling");
    QTest::addColumn<QString>("expected");
    const QString wine = ".wine!/drive_c/GW2",
                  steam = "st/steamapps/compatdata/2310/pfx!/drive_c/GW2";
#ifdef Q_OS_WIN
    // Windows opens the program itself, wherever it lies; the player's own command comes
    // first there too.
    QTest::newRow("a Wine prefix's layout") << wine << ""
                                            << "" << false << "gwheel2.exe";
    QTest::newRow("Steam prefix, sibling") << steam << ""
                                           << "" << true << "Perkwright.exe";
    QTest::newRow("no prefix") << "GW2"
                               << ""
                               << "" << false << "gwheel2.exe";
    QTest::newRow("own command")
        << wine << "wine-staging"
        << "wine-staging -v \"%f\"" << false
        << "WINEPREFIX=~/.wine wine-staging.bat -v ~\\.wine\\drive_c\\GW2\\gwheel2.exe";
#else
    QTest::newRow("Wine prefix") << wine << ""
                                 << "" << false
                                 << "WINEPREFIX=~/.wine wine ~/.wine/drive_c/GW2/gwheel2.exe";
    QTest::newRow("Wine prefix, no wine")
        << wine << "xdg-open"
        << "" << false << "wine was not found; install Wine or open the game from your launcher.";
    QTest::newRow("Lutris")
        << "Games/gw2!/drive_c/GOG Games/GW2"
        << ""
        << "" << false
        << "WINEPREFIX=~/Games/gw2 wine \"~/Games/gw2/drive_c/GOG Games/GW2/gwheel2.exe\"";
    QTest::newRow("Steam prefix") << steam << ""
                                  << "" << false << "steam -applaunch 2310";
    QTest::newRow("Steam prefix, no steam") << steam << "wine xdg-open"
                                            << "" << false << "xdg-open steam://rungameid/2310";
    QTest::newRow("Steam prefix, sibling")
        << steam << ""
        << "" << true << "WINEPREFIX=~/st/steamapps/compatdata/2310/pfx wine ~/work/Perkwright.exe";
    QTest::newRow("drive_c alone") << "c/drive_c/GW2"
                                   << ""
                                   << "" << false << "xdg-open ~/c/drive_c/GW2/gwheel2.exe";
    QTest::newRow("no prefix") << "GW2"
                               << ""
                               << "" << false << "xdg-open ~/GW2/gwheel2.exe";
    QTest::newRow("own command")
        << wine << "wine-staging"
        << "wine-staging -v \"%f\"" << false
        << "WINEPREFIX=~/.wine wine-staging -v ~/.wine/drive_c/GW2/gwheel2.exe";
#endif
    QTest::newRow("own command missing")
        << "GW2"
        << ""
        << "nosuch %f" << false << "TUNEDECK_LAUNCH names nosuch, which was not found.";
}

void MainWindowTest::launchCommand()
{
    QFETCH(QString, game);
    QFETCH(QString, tools);
    QFETCH(QString, own);
    QFETCH(bool, sibling);
    QFETCH(QString, expected);

    WorkFolder home;
    const QString folder = home.path(QString(game).remove('!'));
    QVERIFY(QDir().mkpath(folder));
    if (game.contains('!'))
        WriteBytes(home.path(game.section('!', 0, 0) + "/system.reg"), "WINE REGISTRY\n");
    StandInPrograms(home.path("bin"), (tools.isEmpty() ? "steam wine xdg-open" : tools).split(' '));
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), home.path("bin"));
    environment.insert(QStringLiteral("TUNEDECK_LAUNCH"), own);
    const QString program =
        sibling ? home.path("work/Perkwright.exe") : Native(folder + "/gwheel2.exe");
    const LaunchChoice choice = ChooseLaunchCommand(
        program, folder, sibling ? LaunchTarget::Helper : LaunchTarget::Game, environment);
    QCOMPARE(choice.failure.isEmpty() ? ShownCommand(choice.command)
                                            .replace(home.path(), "~")
                                            .replace(QDir::fromNativeSeparators(home.path()), "~")
                                      : choice.failure,
             expected);
#ifdef Q_OS_WIN
    if (own.isEmpty()) // the program by its whole path, in its own folder
        QCOMPARE(Opened(choice.command), QStringList{program});
#endif
    QCOMPARE(choice.command.workingFolder, Native(QFileInfo(program).absolutePath()));
}

// The real launcher with a stand-in wine: it starts in the game folder, in the game's prefix,
// given the game's path; a program that ends at once with a failure has not started.
void MainWindowTest::desktopLauncher_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("then");    // what the stand-in does after its record
    QTest::addColumn<QString>("failure"); // the end of the launcher's answer
    QTest::newRow("ends well at once") << "wine"
                                       << "exit 0"
                                       << "";
    QTest::newRow("keeps running") << "wine"
                                   << "exec /bin/sleep 3"
                                   << "";
    QTest::newRow("fails at once") << "wine"
                                   << "exit 1"
                                   << "ended with exit code 1.";
    QTest::newRow("is killed") << "wine"
                               << "kill -9 $$"
                               << "(Killed).";
    QTest::newRow("cannot be run") << "wine"
                                   << "unrunnable"
                                   << "could not be run: No such file or directory.";
    QTest::newRow("xdg-open opens nothing")
        << "xdg-open"
        << "exit 3"
        << "exit code 3. Nothing on this desktop opens that kind of file: install Wine, or "
           "name a command in TUNEDECK_LAUNCH.";
}

void MainWindowTest::desktopLauncher()
{
    QFETCH(QString, tool);
    QFETCH(QString, then);
    QFETCH(QString, failure);
#ifdef Q_OS_WIN
    QSKIP("POSIX shell stand-ins for wine and xdg-open; see systemOpensTheProgram");
#endif

    WorkFolder folder;
    const bool wine = tool == QLatin1String("wine");
    const QString game = folder.path(wine ? "pfx/drive_c/Program Files/GW2" : "game");
    QVERIFY(QDir().mkpath(game));
    WriteBytes(folder.path("pfx/system.reg"), "WINE REGISTRY\n");
    const StandInPrograms tools(folder.path("bin"), {tool}, then.toStdString());
    const bool runnable = then != QLatin1String("unrunnable");
    if (!runnable)
        WriteBytes(folder.path("bin/wine"), "#!/no/such/interpreter\n");
    const LaunchChoice choice = ChooseLaunchCommand(game + "/gwheel2.exe", game, LaunchTarget::Game,
                                                    QProcessEnvironment::systemEnvironment());
    std::optional<QString> answer;
    DesktopLauncher launcher;
    launcher.start(choice.command, [&](const QString& text) { answer = text; });
    QTRY_VERIFY(answer);
    QVERIFY2(failure.isEmpty() ? answer->isEmpty() : answer->endsWith(failure),
             qPrintable(*answer));
    if (runnable)
        QCOMPARE(QString::fromStdString(ReadBytes(folder.path("bin/" + tool + ".log"))),
                 game + "|" + (wine ? folder.path("pfx") : "") + "|" + game + "/gwheel2.exe\n");
}

#ifdef Q_OS_WIN
// On Windows the real launcher has the system open the program itself (a batch file stands
// in for the game), in the program's folder; the player's own command is started as given.
void MainWindowTest::systemOpensTheProgram_data()
{
    QTest::addColumn<QString>("own");      // TUNEDECK_LAUNCH
    QTest::addColumn<bool>("there");       // the game's program is there
    QTest::addColumn<QString>("recorded"); // what the started program wrote, "~" the work folder
    const QString game = "~\\pfx\\drive_c\\GW2";
    QTest::newRow("the program") << "" << true << game + "||";
    QTest::newRow("no such program") << "" << false << "";
    QTest::newRow("own command") << "opener -v %f" << false
                                 << game + "|~/pfx|-v " + game + "\\gwheel2.bat";
}

void MainWindowTest::systemOpensTheProgram()
{
    QFETCH(QString, own);
    QFETCH(bool, there);
    QFETCH(QString, recorded);

    WorkFolder folder;
    const StandInPrograms tools(folder.path("bin"), {QStringLiteral("opener")});
    WriteBytes(folder.path("pfx/system.reg"), "WINE REGISTRY\n");
    const QString game = folder.path("pfx/drive_c/GW2"); // a Wine prefix's layout, no matter
    const QString program = game + "/gwheel2.bat";
    QVERIFY(QDir().mkpath(game));
    if (there)
        QVERIFY(QFile::copy(folder.path("bin/opener.bat"), program));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TUNEDECK_LAUNCH"), own);
    const LaunchChoice choice = ChooseLaunchCommand(program, game, LaunchTarget::Game, environment);
    std::optional<QString> answer;
    DesktopLauncher launcher;
    launcher.start(choice.command, [&](const QString& text) { answer = text; });
    QTRY_VERIFY(answer);
    if (recorded.isEmpty()) {
        QVERIFY2(answer->startsWith(QStringLiteral("gwheel2.bat could not be run: ")),
                 qPrintable(*answer));
        return;
    }
    QCOMPARE(*answer, QString());
    const QString log = there ? game + "/gwheel2.log" : folder.path("bin/opener.log");
    const auto record = [&] {
        return QFile::exists(log) ? QString::fromStdString(ReadBytes(log))
                                        .replace(folder.path(), "~")
                                        .replace(QDir::fromNativeSeparators(folder.path()), "~")
                                  : QString();
    };
    QTRY_COMPARE(record(), recorded + "\r\n");
}
#endif

void MainWindowTest::aboutBox_data()
{
    QTest::addColumn<bool>("fromMenu");
    QTest::newRow("About1Click") << false;
    QTest::newRow("menu item About") << true;
}

void MainWindowTest::aboutBox()
{
    QFETCH(bool, fromMenu);

    WorkFolder folder;
    Window window(folder);
    TForm1& form = *window.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    for (int time = 1; time <= 2; ++time) {
        QWidget* shown = nullptr;
        bool wasModal = false;
        QString title;
        QStringList texts;
        QSize size;
        QString okText;
        bool okDefault = false;
        // Looks at the box once it is up, then presses OK.
        std::function<void()> inspect = [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) {
                QTimer::singleShot(0, inspect);
                return;
            }
            shown = modal;
            wasModal = modal->isModal();
            title = modal->windowTitle();
            size = modal->size();
            for (QLabel* label : modal->findChildren<QLabel*>())
                texts << label->text();
            auto* ok = modal->findChild<QPushButton*>(QStringLiteral("OKButton"));
            if (ok) {
                okText = ok->text();
                okDefault = ok->isDefault();
                ok->click();
            } else {
                modal->close();
            }
        };
        QTimer::singleShot(0, inspect);
        if (fromMenu)
            form.About1->trigger();
        else
            form.About1Click();

        QCOMPARE(shown, static_cast<QWidget*>(form.AboutBox));
        QVERIFY(wasModal);
        QCOMPARE(title, QStringLiteral("About"));
        QCOMPARE(size, QSize(298, 267));
        QVERIFY(texts.contains(QStringLiteral("Tunedeck March 2003")));
        QVERIFY(texts.contains(QStringLiteral("v" TUNEDECK_VERSION)));
        QVERIFY(texts.contains(QStringLiteral("Licence: GPL-3.0-or-later")));
        QVERIFY(texts.contains(QStringLiteral("Suggestions/Comments")));
        QVERIFY(texts.contains(QStringLiteral(
            "No resposibility taken for any damage caused to hardware or software during the use "
            "of this program.")));
        QCOMPARE(okText, QStringLiteral("OK"));
        QVERIFY(okDefault);
        QCOMPARE(form.AboutBox->result(), int(QDialog::Accepted));
        QVERIFY(!form.AboutBox->isVisible());
        QVERIFY(form.isVisible());
    }
    QCOMPARE(
        Shown(window.messages),
        QStringList{WarningText(QStringLiteral(
            "You must save your \"Gorewheel II\" directory for Tunedeck to function correctly."))});

    // Every text fits whole in its place: a word-wrapped label in its height, the others
    // within the panel.
    TAboutBox* box = form.AboutBox;
    for (QLabel* label :
         {box->ProductName, box->Comments, box->Label1, box->Label2, box->Version}) {
        const QFontMetrics metrics(label->font());
        const QRect needed =
            label->wordWrap()
                ? metrics.boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap,
                                       label->text())
                : QRect(0, 0, metrics.horizontalAdvance(label->text()), metrics.height());
        QVERIFY2(needed.height() <= label->height(), qPrintable(label->objectName()));
        QVERIFY2(label->x() + needed.width() <= label->parentWidget()->width() - 2,
                 qPrintable(label->objectName()));
    }
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
