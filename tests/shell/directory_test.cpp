// SPDX-License-Identifier: GPL-3.0-or-later
// The game-directory controls: a click in the folder tree, and the directory save that
// writes Tunedeck.ini and reloads the four buffers from the chosen folder.

#include "support/window_fixture.h"

#include "controls.h"
#include "faults/fault_injection.h"
#include "focus_announcements.h"
#include "folder_tree.h"
#include "game_folder_search.h"
#include "key_value_grid.h"
#include "path_label.h"

#include <QAccessible>
#include <QApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>
#include <iterator>

namespace {

const QString DirToken = QStringLiteral("<dir>");

const QString WrongGeneral =
    PlainText(QStringLiteral("Invalid file, please use an original General.TXT"));
const QString WrongSettings =
    PlainText(QStringLiteral("Invalid file, please use an original \\peds\\Settings.txt"));
const QString InvalidDirectory = ErrorText(QStringLiteral("Invalid Directory: ") + DirToken);

// A saved game file that differs from the demo's copy in the working folder takes its place.
QString DemoCopyTaken(const char* name)
{
    return InformationText(
        QStringLiteral("Tunedeck now keeps a copy of your %1 as it is now. Restore "
                       "puts it back.\nIt takes the place of the demo game's copy.")
            .arg(QLatin1String(name)));
}

// Both files resolve to the same file on disk; Windows' file systems ignore letter case.
bool SameFile(const QString& a, const QString& b)
{
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity fileNameCase = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity fileNameCase = Qt::CaseSensitive;
#endif
    const QFileInfo first(a);
    const QFileInfo second(b);
    return first.exists() && second.exists() &&
           first.canonicalFilePath().compare(second.canonicalFilePath(), fileNameCase) == 0;
}

void SelectAndSave(TForm1& form, const QString& dir)
{
    QVERIFY(form.Directory->selectPath(dir));
    QCOMPARE(form.Directory->selectedPath(), Native(dir));
    form.SaveDirClick();
}

#ifdef Q_OS_WIN
// The places where Windows players keep their games, moved into the work folder while the
// object lives: the program folders to "programs", the system drive to "drive".
struct WindowsPlaces {
    static constexpr const char* names[] = {"ProgramFiles(x86)", "ProgramW6432", "ProgramFiles",
                                            "SystemDrive"};
    QByteArray saved[std::size(names)];
    explicit WindowsPlaces(const WorkFolder& folder)
    {
        for (size_t i = 0; i < std::size(names); ++i) {
            saved[i] = qgetenv(names[i]);
            const QString place = folder.path(i < 3 ? "programs" : "drive");
            qputenv(names[i], QDir::toNativeSeparators(place).toLocal8Bit());
        }
    }
    ~WindowsPlaces()
    {
        for (size_t i = 0; i < std::size(names); ++i)
            qputenv(names[i], saved[i]);
    }
};
#endif

} // namespace

Q_DECLARE_METATYPE(GameFileState)

class DirectoryTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void folderClick_data();
    void folderClick();
    void mouseClicksInTheTree();
    void deepFoldersAndKeyboard();
    void gameFolderFound_data();
    void gameFolderFound();

    void saveWithoutSelection();
    void saveDirectory_data();
    void saveDirectory();
    void saveFolderWithOnlySettingsKeepsLabelSaved();
    void configurationCannotBeWritten_data();
    void configurationCannotBeWritten();
    void saveValidFolderTwice();
    void saveShowsTheSectionAgainLeavesLabelsAndOtherChoosers();
    void letterCaseOfGameFiles_data();
    void letterCaseOfGameFiles();
    void folderNameSurvivesSaveAndStart_data();
    void folderNameSurvivesSaveAndStart();
    void gameLaunchUsesSavedFolder();
    void perkwrightIniStillWinsAfterSave();
    void referenceCopies_data();
    void referenceCopies();
#ifdef TUNEDECK_POSIX_FAULTS
    void referenceCopyThatCannotBeWritten();
#endif
};

void DirectoryTest::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void DirectoryTest::folderClick_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<bool>("valid");

    QTest::newRow("game folder") << "game" << true;
    QTest::newRow("working folder without data") << "" << false;
    QTest::newRow("the data folder itself") << "game/data" << false;
    QTest::newRow("only data/peds/Settings.txt") << "peds only" << false;
    QTest::newRow("data/General.txt is a folder") << "general folder" << false;
    QTest::newRow("General.txt in upper case") << "upper case" << true;
}

void DirectoryTest::folderClick()
{
    QFETCH(QString, layout);
    QFETCH(bool, valid);

    WorkFolder folder;
    const QString target = folder.path(layout);
    if (layout == QLatin1String("peds only")) {
        MakeGameFolder(target, QString());
    } else if (layout == QLatin1String("general folder")) {
        MakeGameFolder(target, QString());
        QVERIFY(QDir().mkpath(QDir(target).filePath("data/General.txt")));
    } else if (layout == QLatin1String("upper case")) {
        MakeGameFolder(target, QStringLiteral("DATA/GENERAL.TXT"), QString());
    }
    Window window(folder);
    TForm1& form = *window.form;
    window.messages.shown.clear();

    // From a valid and from an invalid folder, so the label must change either way.
    for (const QString& before : {folder.gameDir(), folder.path()}) {
        QVERIFY(form.Directory->selectPath(before));
        emit form.Directory->folderClicked();
        QCOMPARE(form.LabelSelected->text(), Native(before));
        QCOMPARE(form.LabelValid->text(), QString(before == folder.gameDir() ? "Yes" : "No"));

        QVERIFY(form.Directory->selectPath(target));
        emit form.Directory->folderClicked();
        QCOMPARE(form.LabelSelected->text(), Native(target));
        QCOMPARE(form.LabelValid->text(), QString(valid ? "Yes" : "No"));
    }
    // A click tells, nothing else: no message, nothing written, nothing loaded.
    QCOMPARE(Shown(window.messages), QStringList{});
    QVERIFY(!QFile::exists(folder.path("Tunedeck.ini")));
    QCOMPARE(form.LabelSaved->text(), QStringLiteral("None"));
    QVERIFY(form.state().GeneralText.empty());
    QVERIFY(form.state().GameDir.isEmpty());
    QVERIFY(form.SaveDir->isEnabled());
}

void DirectoryTest::mouseClicksInTheTree()
{
    WorkFolder folder;
    Window window(folder);
    TForm1& form = *window.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // Selecting from the program says nothing to the labels; the user's click does.
    QVERIFY(form.Directory->selectPath(folder.gameDir()));
    QVERIFY(form.LabelSelected->text() != folder.gameDir());
    QTreeWidgetItem* gameItem = form.Directory->currentItem();
    QVERIFY(gameItem);
    QTest::mouseClick(form.Directory->viewport(), Qt::LeftButton, {},
                      form.Directory->visualItemRect(gameItem).center());
    QCOMPARE(form.LabelSelected->text(), folder.gameDir());
    QCOMPARE(form.LabelValid->text(), QStringLiteral("Yes"));

    // A right click selects the folder under the pointer too.
    QTreeWidgetItem* workItem = gameItem->parent();
    QVERIFY(workItem);
    const QRect workRect = form.Directory->visualItemRect(workItem);
    QVERIFY(workRect.isValid());
    QTest::mouseClick(form.Directory->viewport(), Qt::RightButton, {}, workRect.center());
    QCOMPARE(form.Directory->selectedPath(), folder.path());
    QCOMPARE(form.LabelSelected->text(), folder.path());
    QCOMPARE(form.LabelValid->text(), QStringLiteral("No"));
}

// A folder far down: the tree scrolls sideways to its name, the labels elide its path in
// the middle and give it whole in the status bar; choosing with the keyboard tells the
// labels as a click does.
void DirectoryTest::deepFoldersAndKeyboard()
{
    WorkFolder folder;
    const QString deep =
        folder.path(QStringLiteral("one/two/three/four/five/six/seven/a folder with a long name"));
    QVERIFY(QDir().mkpath(deep));
    MakeGameFolder(deep);
    Window window(folder);
    TForm1& form = *window.form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    FolderTree* tree = form.Directory;
    QStringList said; // to a screen reader: the whole path on entry, then each unfolding
    QObject::connect(form.findChild<Announcements*>(), &Announcements::said, &form,
                     [&said](const QString& text) { said << text; });

    const QString seven = folder.path(QStringLiteral("one/two/three/four/five/six/seven"));
    QVERIFY(tree->selectPath(seven));
    tree->setFocus();
    QTest::qWait(10); // the path follows the focus events
    QTest::keyClick(tree, Qt::Key_Right); // unfolds the folder
    QTest::keyClick(tree, Qt::Key_Down);
    QCOMPARE(said, QStringList({"Selected folder: " + Native(seven), "expanded"}));
    const QString generic = QDir::fromNativeSeparators(deep); // a drive is a level too
    const int level =
        int(generic.split('/', Qt::SkipEmptyParts).size()) + (generic.startsWith('/') ? 1 : 0);
    QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(tree)->focusChild();
    QCOMPARE(cell ? cell->text(QAccessible::Description) : QString(),
             "level " + QString::number(level));
    QCOMPARE(tree->selectedPath(), Native(deep));
    QCOMPARE(form.LabelSelected->text(), Native(deep));
    QCOMPARE(form.LabelValid->text(), QStringLiteral("Yes"));
    QVERIFY(tree->horizontalScrollBar()->maximum() > 0);
    QTreeWidgetItem* item = tree->currentItem();
    const int textEnd = tree->visualItemRect(item).x() + tree->horizontalScrollBar()->value() +
                        tree->iconSize().width() +
                        tree->fontMetrics().horizontalAdvance(item->text(0));
    QVERIFY(textEnd <= tree->columnWidth(0));

    auto* label = qobject_cast<PathLabel*>(form.LabelSelected);
    QVERIFY(label);
    QVERIFY(label->geometry().right() < form.Directories->width());
    const QString shown = label->shownText();
    QVERIFY(shown.contains(QChar(0x2026)));
    QCOMPARE(shown.front(), deep.front());
    QVERIFY(deep.endsWith(shown.right(6)));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), label->mapToGlobal(QPointF(1, 1)));
    QApplication::sendEvent(label, &enter);
    QCOMPARE(form.StatusBar1->currentMessage(), Native(deep));

    // Up to a folder that is no game folder: both labels follow, and Save Directory
    // takes the folder they name.
    QTest::keyClick(tree, Qt::Key_Up);
    QCOMPARE(form.LabelSelected->text(), tree->selectedPath());
    QCOMPARE(form.LabelValid->text(), QStringLiteral("No"));
    window.messages.shown.clear();
    form.SaveDirClick();
    QCOMPARE(Shown(window.messages).value(0),
             ErrorText(QStringLiteral("Invalid Directory: ") + form.LabelSelected->text()));
}

void DirectoryTest::gameFolderFound_data()
{
    QTest::addColumn<QString>("game"); // where the game folder is made; <lib>: a Steam library
    QTest::addColumn<bool>("found");
    QTest::addColumn<bool>("configured"); // Tunedeck.ini names the work folder's game

    const QString none;
    QTest::newRow("home without game places") << none << false << false;
#ifdef Q_OS_WIN
    // The program folders are the work folder's "programs", the system drive its "drive".
    QTest::newRow("program folder, below the publisher's")
        << "programs/Gorewheel Studios/Gorewheel II" << true << false;
    QTest::newRow("Games on the system drive, upper case files")
        << "drive/Games/Gorewheel II" << true << false;
    QTest::newRow("GOG Games on the system drive") << "drive/GOG Games/GW2" << true << false;
    QTest::newRow("too deep in the program folders")
        << "programs/a/b/Gorewheel II" << false << false;
    QTest::newRow("only General.txt") << "programs/Gorewheel II" << false << false;
    QTest::newRow("a game folder is known already") << "programs/Gorewheel II" << false << true;
#else
    QTest::newRow("Wine prefix") << "home/.wine/drive_c/Program Files (x86)/Gorewheel II" << true
                                 << false;
    QTest::newRow("Steam") << "home/.local/share/Steam/steamapps/common/Gorewheel 2" << true
                           << false;
    QTest::newRow("Steam library of libraryfolders.vdf")
        << "<lib>/steamapps/common/Gorewheel 2" << true << false;
    QTest::newRow("Lutris prefix, upper case files")
        << "home/Games/gorewheel-ii/drive_c/GOG Games/GW2" << true << false;
    QTest::newRow("too deep in a prefix")
        << "home/.wine/drive_c/a/b/c/d/Gorewheel II" << false << false;
    QTest::newRow("only General.txt") << "home/.wine/drive_c/Gorewheel II" << false << false;
    QTest::newRow("behind a link in a prefix") << "<link>/Gorewheel II" << false << false;
    QTest::newRow("a game folder is known already")
        << "home/.wine/drive_c/Gorewheel II" << false << true;
#endif
}

// Before a game folder is known, one found in the usual places is selected in the tree
// and named by the labels; nothing is written until Save Directory.
void DirectoryTest::gameFolderFound()
{
    QFETCH(QString, game);
    QFETCH(bool, found);
    QFETCH(bool, configured);

    WorkFolder folder;
    const QString library = folder.path(QStringLiteral("library"));
    const QString gameDir =
        game.isEmpty()
            ? QString()
            : folder.path(QString(game)
                              .replace(QStringLiteral("<lib>"), QStringLiteral("library"))
                              .replace(QStringLiteral("<link>"), QStringLiteral("elsewhere")));
    // A prefix links to the whole file system; the search stays on its side of the link.
    if (game.startsWith(QLatin1String("<link>"))) {
        QVERIFY(QDir().mkpath(folder.path("home/.wine/drive_c")));
        QVERIFY(QFile::link(folder.path("elsewhere"), folder.path("home/.wine/drive_c/z")));
    }
    if (game.startsWith(QLatin1String("<lib>")))
        WriteBytes(folder.path("home/.steam/steam/config/libraryfolders.vdf"),
                   "\"libraryfolders\"\n{\n\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" +
                       library.toStdString() + "\"\n\t}\n}\n");
    if (game.contains(QLatin1String("Games/")))
        MakeGameFolder(gameDir, QStringLiteral("DATA/GENERAL.TXT"),
                       QStringLiteral("DATA/PEDS/SETTINGS.TXT"));
    else if (qstrcmp(QTest::currentDataTag(), "only General.txt") == 0)
        MakeGameFolder(gameDir, QStringLiteral("data/General.txt"), QString());
    else if (!gameDir.isEmpty())
        MakeGameFolder(gameDir);
    if (configured)
        folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());
    const QString ini = folder.path("Tunedeck.ini");
    const std::string iniBefore = configured ? ReadBytes(ini) : std::string();
#ifdef Q_OS_WIN
    const WindowsPlaces places(folder);
#endif

    Window window(folder);
    TForm1& form = *window.form;

    const QString expected = Native(configured ? folder.gameDir() : found ? gameDir : QString());
    QCOMPARE(form.Directory->selectedPath(), expected);
    QCOMPARE(form.LabelSelected->text(), expected);
    QCOMPARE(form.LabelValid->text(), QString(configured || found ? "Yes" : "No"));
    if (configured) {
        QCOMPARE(ReadBytes(ini), iniBefore);
        return;
    }
    // Found, not saved: nothing written, nothing loaded.
    QVERIFY(!QFile::exists(ini));
    QCOMPARE(form.LabelSaved->text(), QStringLiteral("None"));
    QVERIFY(form.state().GeneralText.empty());
    QVERIFY(form.state().GameDir.isEmpty());
    if (!found)
        return;
    // A search whose time was spent before it began finds nothing.
    QCOMPARE(FindGameFolder(folder.path("home"), std::chrono::milliseconds(-1)), QString());
    form.SaveDirClick();
    QCOMPARE(ReadBytes(ini), Native(gameDir).toStdString() + "\r\n");
    QCOMPARE(form.state().GeneralText.count(), 410);
    QCOMPARE(form.state().SettingsText.count(), 965);
}

void DirectoryTest::saveWithoutSelection()
{
    WorkFolder folder;
    Window window(folder);
    TForm1& form = *window.form;
    window.messages.shown.clear();
    form.Directory->clearSelection();
    form.Directory->setCurrentItem(nullptr);
    QCOMPARE(form.Directory->selectedPath(), QString());

    form.SaveDirClick();

    const QString invalid = ErrorText(QStringLiteral("Invalid Directory: "));
    QCOMPARE(Shown(window.messages), (QStringList{invalid, invalid}));
    QVERIFY(!QFile::exists(folder.path("Tunedeck.ini")));
    QVERIFY(form.state().GeneralText.empty());
    QVERIFY(form.state().SettingsText.empty());
    QVERIFY(form.state().GameDir.isEmpty());
    QCOMPARE(form.LabelSaved->text(), QStringLiteral("None"));
}

void DirectoryTest::saveDirectory_data()
{
    QTest::addColumn<GameFileState>("general");
    QTest::addColumn<GameFileState>("settings");
    QTest::addColumn<int>("generalLines");
    QTest::addColumn<int>("settingsLines");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("iniWritten");
    QTest::addColumn<bool>("labelSaved");

    QTest::newRow("both files right") << GameFileState::Right << GameFileState::Right << 410 << 965
                                      << QStringList{} << true << true;
    QTest::newRow("General.txt 409 lines") << GameFileState::TooShort << GameFileState::Right << 0
                                           << 965 << QStringList{WrongGeneral} << true << true;
    QTest::newRow("General.txt 411 lines") << GameFileState::TooLong << GameFileState::Right << 0
                                           << 965 << QStringList{WrongGeneral} << true << true;
    QTest::newRow("Settings.txt 964 lines")
        << GameFileState::Right << GameFileState::TooShort << 410 << 0 << QStringList{WrongSettings}
        << true << true;
    QTest::newRow("Settings.txt 966 lines") << GameFileState::Right << GameFileState::TooLong << 410
                                            << 0 << QStringList{WrongSettings} << true << true;
    QTest::newRow("both files wrong") << GameFileState::TooShort << GameFileState::TooLong << 0 << 0
                                      << QStringList{WrongGeneral, WrongSettings} << true << true;
    QTest::newRow("General.txt missing") << GameFileState::Missing << GameFileState::Right << 0
                                         << 965 << QStringList{InvalidDirectory} << true << false;
    QTest::newRow("General.txt is a folder")
        << GameFileState::Folder << GameFileState::Right << 0 << 965
        << QStringList{InvalidDirectory} << true << false;
    QTest::newRow("Settings.txt missing") << GameFileState::Right << GameFileState::Missing << 410
                                          << 0 << QStringList{InvalidDirectory} << true << true;
    QTest::newRow("Settings.txt is a folder")
        << GameFileState::Right << GameFileState::Folder << 410 << 0
        << QStringList{InvalidDirectory} << true << true;
    QTest::newRow("neither file") << GameFileState::Missing << GameFileState::Missing << 0 << 0
                                  << QStringList{InvalidDirectory, InvalidDirectory} << false
                                  << false;
}

void DirectoryTest::saveDirectory()
{
    QFETCH(GameFileState, general);
    QFETCH(GameFileState, settings);
    QFETCH(int, generalLines);
    QFETCH(int, settingsLines);
    QFETCH(QStringList, messages);
    QFETCH(bool, iniWritten);
    QFETCH(bool, labelSaved);

    WorkFolder folder;
    const QString dir = folder.gameDir();
    Prepare(folder.generalPath(), general, 410);
    Prepare(folder.settingsPath(), settings, 965);
    if (QTest::currentTestFailed())
        return;
    const std::vector<std::string> generalFile = general == GameFileState::Right
                                                     ? FileLines(folder.generalPath())
                                                     : std::vector<std::string>{};
    const std::vector<std::string> settingsFile = settings == GameFileState::Right
                                                      ? FileLines(folder.settingsPath())
                                                      : std::vector<std::string>{};

    // No configuration file yet: every buffer starts empty.
    Window window(folder);
    TForm1& form = *window.form;
    window.messages.shown.clear();
    const QString labelValid = form.LabelValid->text();
    const QString labelSelected = form.LabelSelected->text();

    SelectAndSave(form, dir);

    for (QString& message : messages)
        message.replace(DirToken, Native(dir));
    QCOMPARE(Shown(window.messages), messages);

    const AppState& state = form.state();
    QCOMPARE(state.GeneralText.count(), generalLines);
    QCOMPARE(state.GeneralText.count(), generalLines);
    QCOMPARE(state.GeneralText.count(), generalLines);
    QCOMPARE(state.SettingsText.count(), settingsLines);
    if (generalLines > 0) {
        QVERIFY(BufferLines(state.GeneralText) == generalFile);
        QVERIFY(BufferLines(state.GeneralText) == generalFile);
        QVERIFY(BufferLines(state.GeneralText) == generalFile);
    }
    if (settingsLines > 0)
        QVERIFY(BufferLines(state.SettingsText) == settingsFile);

    if (iniWritten)
        QCOMPARE(ReadBytes(folder.path("Tunedeck.ini")), Native(dir).toStdString() + "\r\n");
    else
        QVERIFY(!QFile::exists(folder.path("Tunedeck.ini")));
    QCOMPARE(state.GameDir, iniWritten ? Native(dir) : QString());
    QCOMPARE(form.LabelSaved->text(), labelSaved ? Native(dir) : QStringLiteral("None"));
    if (general != GameFileState::Missing && general != GameFileState::Folder)
        QVERIFY(SameFile(state.GeneralPath, folder.generalPath()));
    else
        QVERIFY(state.GeneralPath.isEmpty());
    if (iniWritten && settings != GameFileState::Missing && settings != GameFileState::Folder)
        QVERIFY(SameFile(state.SettingsPath, folder.settingsPath()));
    else
        QVERIFY(state.SettingsPath.isEmpty());

    // The save leaves the labels of the tree alone, and the bar at rest.
    QCOMPARE(form.LabelValid->text(), labelValid);
    QCOMPARE(form.LabelSelected->text(), labelSelected);
    QCOMPARE(form.ProgressBar1->value(), 0);
}

void DirectoryTest::saveFolderWithOnlySettingsKeepsLabelSaved()
{
    WorkFolder folder;
    folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());
    const QString pedsOnly = folder.path("peds only");
    MakeGameFolder(pedsOnly, QString());
    const std::string marker = "42\t\t\t\t\t// marker of the other Settings.txt";
    ReplaceFileLine(QDir(pedsOnly).filePath("data/peds/Settings.txt"), 500, marker);

    Window window(folder);
    TForm1& form = *window.form;
    QCOMPARE(Shown(window.messages), QStringList{});
    const std::vector<std::string> memo1 = form.state().GeneralText.lines();
    QCOMPARE(form.LabelSaved->text(), folder.gameDir());

    // Through the button, as the user presses it.
    QVERIFY(form.Directory->selectPath(pedsOnly));
    QTest::mouseClick(form.SaveDir, Qt::LeftButton);

    QCOMPARE(Shown(window.messages),
             (QStringList{ErrorText(QStringLiteral("Invalid Directory: ") + Native(pedsOnly)),
                          DemoCopyTaken("Settings.txt")}));
    QCOMPARE(ReadBytes(folder.path("Tunedeck.ini")), Native(pedsOnly).toStdString() + "\r\n");
    QCOMPARE(form.state().SettingsText.count(), 965);
    QCOMPARE(form.state().SettingsText.line(500), marker);
    QCOMPARE(form.state().GameDir, Native(pedsOnly));
    QVERIFY(SameFile(form.state().SettingsPath, QDir(pedsOnly).filePath("data/peds/Settings.txt")));
    // The first half did not get through: its label, path and buffers are as before.
    QCOMPARE(form.LabelSaved->text(), folder.gameDir());
    QCOMPARE(form.state().GeneralPath, folder.generalPath());
    QVERIFY(form.state().GeneralText.lines() == memo1);
    QVERIFY(form.state().GeneralText.lines() == memo1);
}

void DirectoryTest::configurationCannotBeWritten_data()
{
    QTest::addColumn<bool>("withGeneral");
    QTest::newRow("valid folder") << true;
    QTest::newRow("folder with only Settings.txt") << false;
}

// A folder where Tunedeck.ini should be: the write fails, the handler ends there and
// nothing is reloaded.
void DirectoryTest::configurationCannotBeWritten()
{
    QFETCH(bool, withGeneral);

    WorkFolder folder;
    if (!withGeneral)
        QVERIFY(QFile::remove(folder.generalPath()));
    Window window(folder);
    TForm1& form = *window.form;
    window.messages.shown.clear();
    QVERIFY(QDir().mkpath(folder.path("Tunedeck.ini")));

    SelectAndSave(form, folder.gameDir());

    const QStringList shown = Shown(window.messages);
    QCOMPARE(shown.size(), withGeneral ? 1 : 2);
    if (!withGeneral)
        QCOMPARE(shown.front(),
                 ErrorText(QStringLiteral("Invalid Directory: ") + folder.gameDir()));
    QVERIFY2(shown.back().startsWith(QStringLiteral("report: ")), qPrintable(shown.back()));
    QVERIFY(shown.back().size() > int(qstrlen("report: ")));
    QVERIFY(form.state().GeneralText.empty());
    QVERIFY(form.state().GeneralText.empty());
    QVERIFY(form.state().GeneralText.empty());
    QVERIFY(form.state().SettingsText.empty());
    QVERIFY(form.state().GameDir.isEmpty());
    QVERIFY(form.state().GeneralPath.isEmpty());
    QVERIFY(form.state().SettingsPath.isEmpty());
    QCOMPARE(form.LabelSaved->text(), QStringLiteral("None"));
    QVERIFY(QFileInfo(folder.path("Tunedeck.ini")).isDir());
    QCOMPARE(form.ProgressBar1->value(), 0);
}

void DirectoryTest::saveValidFolderTwice()
{
    WorkFolder folder;
    const QString other = folder.path("other game");
    MakeGameFolder(other);
    const std::string generalMarker = "9.75\t\t\t\t\t// marker of the other General.txt";
    ReplaceFileLine(QDir(other).filePath("data/General.txt"), 60, generalMarker);

    Window window(folder);
    TForm1& form = *window.form;
    window.messages.shown.clear();
    const std::vector<std::string> generalFile = FileLines(folder.generalPath());
    const std::vector<std::string> settingsFile = FileLines(folder.settingsPath());

    for (int time = 1; time <= 2; ++time) {
        SelectAndSave(form, folder.gameDir());
        QCOMPARE(Shown(window.messages), QStringList{});
        QCOMPARE(form.state().GeneralText.count(), 410);
        QCOMPARE(form.state().GeneralText.count(), 410);
        QCOMPARE(form.state().GeneralText.count(), 410);
        QCOMPARE(form.state().SettingsText.count(), 965);
        QVERIFY(form.state().GeneralText.lines() == generalFile);
        QVERIFY(form.state().GeneralText.lines() == generalFile);
        QVERIFY(form.state().SettingsText.lines() == settingsFile);
        QCOMPARE(ReadBytes(folder.path("Tunedeck.ini")), folder.gameDir().toStdString() + "\r\n");
        QCOMPARE(form.state().GameDir, folder.gameDir());
        QVERIFY(SameFile(form.state().GeneralPath, folder.generalPath()));
        QVERIFY(SameFile(form.state().SettingsPath, folder.settingsPath()));
        QCOMPARE(form.LabelSaved->text(), folder.gameDir());
    }

    // Another folder replaces what the buffers held, edits included.
    form.state().GeneralText.setLine(5, "unsaved edit");
    SelectAndSave(form, other);
    QCOMPARE(Shown(window.messages), QStringList{DemoCopyTaken("General.txt")});
    QCOMPARE(form.state().GeneralText.count(), 410);
    QCOMPARE(form.state().GeneralText.line(60), generalMarker);
    QCOMPARE(form.state().GeneralText.line(60), generalMarker);
    QCOMPARE(form.state().GeneralText.line(60), generalMarker);
    QCOMPARE(form.state().GeneralText.line(5), generalFile[5]);
    QCOMPARE(ReadBytes(folder.path("Tunedeck.ini")), Native(other).toStdString() + "\r\n");
    QCOMPARE(form.LabelSaved->text(), Native(other));

    // And the next start uses it.
    Window next(folder);
    QCOMPARE(Shown(next.messages), QStringList{});
    QCOMPARE(next->state().GameDir, Native(other));
    QCOMPARE(next->state().GeneralText.line(60), generalMarker);
}

void DirectoryTest::saveShowsTheSectionAgainLeavesLabelsAndOtherChoosers()
{
    WorkFolder folder;
    folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());
    Window window(folder);
    TForm1& form = *window.form;
    QCOMPARE(Shown(window.messages), QStringList{});

    // A section on show, then its line changes in the folder saved next.
    {
        const QSignalBlocker blocker(form.ComboBox1);
        form.ComboBox1->setCurrentIndex(1);
    }
    form.ComboBox1Change();
    QVERIFY(form.ValueList->rowCount() > 1);
    const std::string shownKey = form.ValueList->key(1);
    const std::string shownValue = form.ValueList->value(1);
    const int line = RowLines({Tab::CarSettings, 1, 1});
    QVERIFY(line > 0);
    ReplaceFileLine(folder.generalPath(), line, "777\t\t\t\t\t// changed on disk");

    for (SectionChooser* chooser : {form.ComboBox2, form.ComboBox3, form.ComboBox4}) {
        const QSignalBlocker blocker(chooser);
        chooser->setCurrentIndex(0);
    }
    QVERIFY(form.Directory->selectPath(folder.path()));
    emit form.Directory->folderClicked();
    QCOMPARE(form.LabelValid->text(), QStringLiteral("No"));
    QVERIFY(form.Directory->selectPath(folder.gameDir()));
    form.SaveDirClick();

    QCOMPARE(Shown(window.messages), QStringList{DemoCopyTaken("General.txt")});
    QCOMPARE(form.state().GeneralText.line(line), std::string("777\t\t\t\t\t// changed on disk"));
    // The grid shows the section again, as the buffers now hold it; so does Restore.
    QCOMPARE(form.ValueList->key(1), shownKey);
    QCOMPARE(form.ValueList->value(1), std::string("777"));
    form.ValueListValidate(form.ValueList, 1, 1, shownKey, shownValue);
    form.Button4Click();
    QCOMPARE(form.ValueList->value(1), std::string("777"));
    QCOMPARE(form.ComboBox1->currentIndex(), 1);
    // The tree's labels tell of the last click, not of the save.
    QCOMPARE(form.LabelSelected->text(), folder.path());
    QCOMPARE(form.LabelValid->text(), QStringLiteral("No"));
    // The chooser of the reloaded Pedestrians buffer loses its selection.
    QCOMPARE(form.ComboBox1->currentIndex(), 1);
    QCOMPARE(form.ComboBox2->currentIndex(), -1);
}

void DirectoryTest::letterCaseOfGameFiles_data()
{
    QTest::addColumn<QString>("general");
    QTest::addColumn<QString>("settings");

    QTest::newRow("DATA/GENERAL.TXT, DATA/PEDS/SETTINGS.TXT") << "DATA/GENERAL.TXT"
                                                              << "DATA/PEDS/SETTINGS.TXT";
    QTest::newRow("data/GENERAL.TXT, data/PEDS/SETTINGS.TXT") << "data/GENERAL.TXT"
                                                              << "data/PEDS/SETTINGS.TXT";
    QTest::newRow("Data/general.txt, Data/Peds/settings.txt") << "Data/general.txt"
                                                              << "Data/Peds/settings.txt";
    QTest::newRow("data/General.TXT, data/peds/settings.txt") << "data/General.TXT"
                                                              << "data/peds/settings.txt";
}

void DirectoryTest::letterCaseOfGameFiles()
{
    QFETCH(QString, general);
    QFETCH(QString, settings);

    WorkFolder folder;
    const QString dir = folder.path("cased game");
    MakeGameFolder(dir, general, settings);
    const QString generalFile = QDir(dir).filePath(general);
    const QString settingsFile = QDir(dir).filePath(settings);

    {
        Window window(folder);
        TForm1& form = *window.form;
        window.messages.shown.clear();

        QVERIFY(form.Directory->selectPath(dir));
        emit form.Directory->folderClicked();
        QCOMPARE(form.LabelValid->text(), QStringLiteral("Yes"));

        form.SaveDirClick();
        QCOMPARE(Shown(window.messages), QStringList{});
        QCOMPARE(form.state().GeneralText.count(), 410);
        QCOMPARE(form.state().GeneralText.count(), 410);
        QCOMPARE(form.state().GeneralText.count(), 410);
        QCOMPARE(form.state().SettingsText.count(), 965);
        QVERIFY(SameFile(form.state().GeneralPath, generalFile));
        QVERIFY(SameFile(form.state().SettingsPath, settingsFile));
        QCOMPARE(form.LabelSaved->text(), Native(dir));

        // Saving writes the file that was read, not a second one beside it.
        form.Button1Click();
        QCOMPARE(Shown(window.messages).size(), 1);
        QVERIFY(SameFile(form.state().GeneralPath, generalFile));
        QCOMPARE(QDir(QFileInfo(generalFile).absolutePath())
                     .entryList(QDir::Files | QDir::NoDotAndDotDot)
                     .size(),
                 1);
    }

    // The next start finds the files from the configuration file the same way.
    Window next(folder);
    QCOMPARE(Shown(next.messages), QStringList{});
    QCOMPARE(next->state().GeneralText.count(), 410);
    QCOMPARE(next->state().SettingsText.count(), 965);
}

void DirectoryTest::folderNameSurvivesSaveAndStart_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks") << "Gore wheel  II";
    QTest::newRow("letters beyond ASCII") << QString::fromUtf8("Spi\xC3\xAB"
                                                               "le \xC3\x9C"
                                                               "ber");
    QTest::newRow("hidden folder") << ".gorewheel";
#ifdef Q_OS_WIN
    // No Windows file name holds a quote, nor ends with a dot.
    QTest::newRow("semicolon, percent") << "a b;c%20d";
#else
    QTest::newRow("quote, semicolon, percent") << "a \"b\";c%20d";
    QTest::newRow("trailing dot") << "game.";
#endif
}

// A folder saved in Tunedeck.ini is the one found again at the next start.
void DirectoryTest::folderNameSurvivesSaveAndStart()
{
    QFETCH(QString, name);

    WorkFolder folder;
    const QString dir = folder.path(name);
    MakeGameFolder(dir);
    {
        Window window(folder);
        window.messages.shown.clear();
        SelectAndSave(*window.form, dir);
        QCOMPARE(Shown(window.messages), QStringList{});
        QCOMPARE(window->LabelSaved->text(), Native(dir));
    }
    Window next(folder);
    QCOMPARE(Shown(next.messages), QStringList{});
    QCOMPARE(next->state().GameDir, Native(dir));
    QCOMPARE(next->LabelSaved->text(), Native(dir));
    QCOMPARE(next->LabelSelected->text(), Native(dir));
    QCOMPARE(next->state().GeneralText.count(), 410);
    QCOMPARE(next->state().SettingsText.count(), 965);
}

void DirectoryTest::gameLaunchUsesSavedFolder()
{
    WorkFolder folder;
    folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());
    WriteBytes(folder.path("game/gwheel2.exe"), "MZ");
    const QString other = folder.path("other game");
    MakeGameFolder(other);
    WriteBytes(QDir(other).filePath("gwheel2.exe"), "MZ");

    Window window(folder);
    TForm1& form = *window.form;
    SelectAndSave(form, other);
    QCOMPARE(Shown(window.messages), QStringList{});

    const StandInPrograms tools(folder.path("bin"), {QStringLiteral("xdg-open")});
    form.Gorewheel21Click();
    QCOMPARE(window.launcher.started.size(), size_t(1));
    QCOMPARE(Opened(window.launcher.started[0]), QStringList{Native(other + "/gwheel2.exe")});
    QCOMPARE(window.launcher.started[0].workingFolder, other);
    QCOMPARE(Shown(window.messages), QStringList{});
}

void DirectoryTest::perkwrightIniStillWinsAfterSave()
{
    WorkFolder folder;
    folder.writeIni("Perkwright.ini", folder.gameDir().toStdString());
    const std::string perkwright = ReadBytes(folder.path("Perkwright.ini"));
    const QString other = folder.path("other game");
    MakeGameFolder(other);

    {
        Window window(folder);
        SelectAndSave(*window.form, other);
        QCOMPARE(Shown(window.messages), QStringList{});
        QCOMPARE(window->state().GameDir, Native(other));
    }
    QCOMPARE(ReadBytes(folder.path("Tunedeck.ini")), Native(other).toStdString() + "\r\n");
    QCOMPARE(ReadBytes(folder.path("Perkwright.ini")), perkwright);

    Window next(folder);
    QCOMPARE(next->state().GameDir, folder.gameDir());
    QCOMPARE(next->LabelSaved->text(), folder.gameDir());
}

void DirectoryTest::referenceCopies_data()
{
    QTest::addColumn<QString>("before"); // the working folder's copies: none, demo or own
    QTest::addColumn<bool>("shortSettings");
    QTest::addColumn<QString>("notice");
    const QString both = "Tunedeck now keeps a copy of your General.txt and Settings.txt as they "
                         "are now. Restore puts these back.";
    QTest::newRow("none") << "none" << false << both;
    QTest::newRow("the demo's") << "demo" << false
                                << both + "\nThey take the place of the demo game's copies.";
    QTest::newRow("the player's") << "own" << false << QString();
    QTest::newRow("none, Settings.txt too short")
        << "none" << true
        << "Tunedeck now keeps a copy of your General.txt as it is now. Restore puts it back.\n"
           "Your Settings.txt does not have 965 lines, so Tunedeck keeps no copy of it.";
}

void DirectoryTest::referenceCopies()
{
    QFETCH(QString, before);
    QFETCH(bool, shortSettings);
    QFETCH(QString, notice);
    WorkFolder folder;
    const QString copies[] = {folder.path("original.general"), folder.path("original.pedsettings")};
    const QString games[] = {folder.generalPath(), folder.settingsPath()};
    const auto bytes = [](const QString& path) {
        return QFile::exists(path) ? ReadBytes(path) : std::string("none");
    };
    for (int i = 0; i < 2; ++i) {
        ReplaceFileLine(games[i], 60, "1.25\t\t// the player's game, not the demo's");
        if (before == "none")
            QVERIFY(QFile::remove(copies[i]));
        else if (before == "own")
            WriteBytes(copies[i], "the player's copy\r\n");
    }
    if (shortSettings)
        ResizeFile(games[1], 964);
    const bool taken = before != "own";
    const std::string expected[] = {bytes(taken ? games[0] : copies[0]),
                                    bytes(taken && !shortSettings ? games[1] : copies[1])};

    Window window(folder);
    for (int time = 1; time <= 2; ++time) { // a copy once there stays
        window.messages.shown.clear();
        SelectAndSave(*window.form, folder.gameDir());
        QCOMPARE(window.messages.texts(FakeMessages::Information),
                 time == 1 && !notice.isEmpty() ? std::vector<QString>{notice}
                                                : std::vector<QString>{});
        QCOMPARE(bytes(copies[0]), expected[0]);
        QCOMPARE(bytes(copies[1]), expected[1]);
        ReplaceFileLine(games[0], 60, "2.5\t\t// changed since");
    }
}

#ifdef TUNEDECK_POSIX_FAULTS
void DirectoryTest::referenceCopyThatCannotBeWritten()
{
    WorkFolder folder;
    const QString copy = folder.path("original.general");
    QVERIFY(QFile::remove(copy) && QFile::remove(folder.path("original.pedsettings")));
    Window window(folder);
    window.messages.shown.clear();
    {
        const InjectedFault fault("rename", ENOSPC, 0, copy); // only this copy fails
        SelectAndSave(*window.form, folder.gameDir());
    }
    QVERIFY(
        Shown(window.messages)
            .join('|')
            .startsWith(
                "error: Tunedeck could not keep a copy of your General.txt.\nCannot write file"));
    QCOMPARE(Shown(window.messages).last(),
             InformationText("Tunedeck now keeps a copy of your Settings.txt as it is now. "
                             "Restore puts it back."));
    QVERIFY(!QFile::exists(copy));
}
#endif

QTEST_MAIN(DirectoryTest)
#include "directory_test.moc"
