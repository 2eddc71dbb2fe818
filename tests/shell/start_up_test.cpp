// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up sequence of the main window: which configuration file names the game
// folder, how the two game files are loaded into the four buffers, the directory labels,
// the messages, and the state every control is left in. Also the word wrap of the
// corrupted-configuration message.

#include "support/window_fixture.h"

#include "buffer_view.h"
#include "controls.h"
#include "folder_tree.h"
#include "key_value_grid.h"
#include "text_wrap.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QtTest>

namespace {

const QString NoConfigurationWarning = WarningText(QStringLiteral(
    "You must save your \"Gorewheel II\" directory for Tunedeck to function correctly."));

// Stand-ins for texts that depend on the test's temporary folder.
const QString GameDirToken = QStringLiteral("<game dir>");
const QString TreeToken = QStringLiteral("<tree selection>");

} // namespace

Q_DECLARE_METATYPE(GameFileState)

class StartUpTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void startUpStates_data();
    void startUpStates();

    void configurationFile_data();
    void configurationFile();

    void perkwrightIniIsPreferred_data();
    void perkwrightIniIsPreferred();
    void badPerkwrightIniIsNeverDeleted();
    void deletedTunedeckIniGivesWarningAtNextStart();
    void corruptedConfigurationMessageHasTwoLines();
    void configurationFileThatIsAFolder_data();
    void configurationFileThatIsAFolder();

    void siblingButtons_data();
    void siblingButtons();

    void wrapText_data();
    void wrapText();
};

void StartUpTest::initTestCase()
{
    // Several windows are opened and closed; closing one must not end the test program.
    QApplication::setQuitOnLastWindowClosed(false);
}

void StartUpTest::startUpStates_data()
{
    QTest::addColumn<bool>("hasIni");
    QTest::addColumn<GameFileState>("general");
    QTest::addColumn<GameFileState>("settings");
    QTest::addColumn<int>("generalLines");  // Memo1, MiscMemo and APOMemo
    QTest::addColumn<int>("settingsLines"); // PedMemo
    QTest::addColumn<QString>("labelSaved");
    QTest::addColumn<QString>("labelValid");
    QTest::addColumn<QString>("labelSelected");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("iniKept");
    QTest::addColumn<bool>("generalPathSet");
    QTest::addColumn<bool>("settingsPathSet");

    QTest::newRow("no configuration file")
        << false << GameFileState::Right << GameFileState::Right << 0 << 0 << "None"
        << "No" << TreeToken << QStringList{NoConfigurationWarning} << false << false << false;
    QTest::newRow("both files right")
        << true << GameFileState::Right << GameFileState::Right << 410 << 965 << GameDirToken
        << "Yes" << GameDirToken << QStringList{} << true << true << true;
    QTest::newRow("General.txt missing")
        << true << GameFileState::Missing << GameFileState::Right << 0 << 965 << GameDirToken
        << "Yes" << GameDirToken << QStringList{CorruptedConfiguration} << false << false << true;
    QTest::newRow("General.txt is a folder")
        << true << GameFileState::Folder << GameFileState::Right << 0 << 965 << GameDirToken
        << "Yes" << GameDirToken << QStringList{CorruptedConfiguration} << false << false << true;
    QTest::newRow("Settings.txt missing")
        << true << GameFileState::Right << GameFileState::Missing << 410 << 0 << GameDirToken
        << "Yes" << GameDirToken << QStringList{CorruptedConfiguration} << false << true << false;
    QTest::newRow("Settings.txt is a folder")
        << true << GameFileState::Right << GameFileState::Folder << 410 << 0 << GameDirToken
        << "Yes" << GameDirToken << QStringList{CorruptedConfiguration} << false << true << false;
    QTest::newRow("neither file") << true << GameFileState::Missing << GameFileState::Missing << 0
                                  << 0 << "None"
                                  << "No" << TreeToken
                                  << QStringList{CorruptedConfiguration, CorruptedConfiguration}
                                  << false << false << false;
    // A rejected file ends the sequence: nothing after it runs, LabelSelected included.
    QTest::newRow("General.txt one line short")
        << true << GameFileState::TooShort << GameFileState::Right << 0 << 0 << "None"
        << "No"
        << "None" << QStringList{InvalidGeneral} << true << true << false;
    QTest::newRow("General.txt one line long")
        << true << GameFileState::TooLong << GameFileState::Right << 0 << 0 << "None"
        << "No"
        << "None" << QStringList{InvalidGeneral} << true << true << false;
    QTest::newRow("Settings.txt one line short")
        << true << GameFileState::Right << GameFileState::TooShort << 410 << 0 << GameDirToken
        << "Yes"
        << "None" << QStringList{InvalidSettings} << true << true << true;
    QTest::newRow("Settings.txt one line long")
        << true << GameFileState::Right << GameFileState::TooLong << 410 << 0 << GameDirToken
        << "Yes"
        << "None" << QStringList{InvalidSettings} << true << true << true;
}

void StartUpTest::startUpStates()
{
    QFETCH(bool, hasIni);
    QFETCH(GameFileState, general);
    QFETCH(GameFileState, settings);
    QFETCH(int, generalLines);
    QFETCH(int, settingsLines);
    QFETCH(QString, labelSaved);
    QFETCH(QString, labelValid);
    QFETCH(QString, labelSelected);
    QFETCH(QStringList, messages);
    QFETCH(bool, iniKept);
    QFETCH(bool, generalPathSet);
    QFETCH(bool, settingsPathSet);

    WorkFolder folder;
    QVERIFY(folder.isValid());
    const QString gameDir = folder.gameDir();
    if (hasIni)
        folder.writeIni("Tunedeck.ini", gameDir.toStdString());
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

    Window window(folder);
    AppState& state = window->state();

    QCOMPARE(Shown(window.messages), messages);

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

    const auto resolve = [&](const QString& expected) {
        if (expected == GameDirToken)
            return Native(gameDir);
        if (expected == TreeToken)
            return window->Directory->selectedPath();
        return expected;
    };
    QCOMPARE(window->LabelSaved->text(), resolve(labelSaved));
    QCOMPARE(window->LabelValid->text(), labelValid);
    QCOMPARE(window->LabelSelected->text(), resolve(labelSelected));
    if (labelSelected == GameDirToken) {
        QCOMPARE(window->Directory->selectedPath(), Native(gameDir));
        // Once the window is on screen, the tree shows the selected folder.
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.form.get()));
        const QRect row = window->Directory->visualItemRect(window->Directory->currentItem());
        const QRect view = window->Directory->viewport()->rect();
        QVERIFY(row.top() >= view.top() && row.bottom() <= view.bottom());
    }

    QCOMPARE(QFile::exists(folder.path("Tunedeck.ini")), iniKept);
    QCOMPARE(state.GameDir, hasIni ? Native(gameDir) : QString());
    QCOMPARE(state.GeneralPath, generalPathSet ? folder.generalPath() : QString());
    QCOMPARE(state.SettingsPath, settingsPathSet ? folder.settingsPath() : QString());

    // Whatever happened, the window opens in its initial state.
    QCOMPARE(window->windowTitle(), QStringLiteral("Tunedeck."));
    QCOMPARE(window->PageControl1->currentIndex(), 0);
    QCOMPARE(window->PageControl1->currentWidget(), window->TabSheet1);
    for (SectionChooser* chooser :
         {window->ComboBox1, window->ComboBox2, window->ComboBox3, window->ComboBox4}) {
        QCOMPARE(chooser->currentIndex(), -1);
        QCOMPARE(chooser->currentText(), QStringLiteral("Choose Setting"));
    }
    QCOMPARE(window->ProgressBar1->value(), 0);
    QCOMPARE(window->ValueList->rowCount(), 0); // one blank row shown, standing for nothing
    QCOMPARE(window.launcher.started.size(), size_t(0));
}

void StartUpTest::configurationFile_data()
{
    QTest::addColumn<QByteArray>("contents"); // "<game>" stands for the game folder
    QTest::addColumn<bool>("loads");

    QTest::newRow("one line, CR LF") << QByteArray("<game>\r\n") << true;
    QTest::newRow("one line, LF") << QByteArray("<game>\n") << true;
    QTest::newRow("no line break") << QByteArray("<game>") << true;
    QTest::newRow("only the first line counts") << QByteArray("<game>\r\n/nowhere\r\n") << true;
    QTest::newRow("game folder on the second line")
        << QByteArray("/nowhere\r\n<game>\r\n") << false;
    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("empty first line") << QByteArray("\r\n<game>\r\n") << false;
    QTest::newRow("trailing blank is part of the path") << QByteArray("<game> \r\n") << false;
    QTest::newRow("folder that does not exist") << QByteArray("<game>/gone\r\n") << false;
    QTest::newRow("names a file, not a folder")
        << QByteArray("<game>/data/General.txt\r\n") << false;
    QTest::newRow("names the data folder") << QByteArray("<game>/data\r\n") << false;

    // A binary file of 1 MiB without a line break, NUL and CR bytes included.
    QByteArray binary(1024 * 1024, '\0');
    QRandomGenerator random(20030301);
    for (char& byte : binary) {
        byte = static_cast<char>(random.bounded(256));
        if (byte == '\n')
            byte = '\r';
    }
    QTest::newRow("binary 1 MiB without line break") << binary << false;
}

void StartUpTest::configurationFile()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, loads);

    WorkFolder folder;
    contents.replace("<game>", QFile::encodeName(folder.gameDir()));
    WriteBytes(folder.path("Tunedeck.ini"), contents.toStdString());

    Window window(folder);
    AppState& state = window->state();

    if (loads) {
        QCOMPARE(Shown(window.messages), QStringList{});
        QCOMPARE(state.GameDir, folder.gameDir());
        QCOMPARE(state.GeneralText.count(), 410);
        QCOMPARE(state.GeneralText.count(), 410);
        QCOMPARE(state.GeneralText.count(), 410);
        QCOMPARE(state.SettingsText.count(), 965);
        QCOMPARE(window->LabelSaved->text(), folder.gameDir());
        QCOMPARE(window->LabelValid->text(), QStringLiteral("Yes"));
        QCOMPARE(ReadBytes(folder.path("Tunedeck.ini")), contents.toStdString());
    } else {
        QCOMPARE(Shown(window.messages),
                 (QStringList{CorruptedConfiguration, CorruptedConfiguration}));
        QVERIFY(state.GeneralText.empty());
        QVERIFY(state.GeneralText.empty());
        QVERIFY(state.GeneralText.empty());
        QVERIFY(state.SettingsText.empty());
        QCOMPARE(window->LabelSaved->text(), QStringLiteral("None"));
        QCOMPARE(window->LabelValid->text(), QStringLiteral("No"));
        QVERIFY(!QFile::exists(folder.path("Tunedeck.ini")));
    }
    QCOMPARE(window->windowTitle(), QStringLiteral("Tunedeck."));
}

void StartUpTest::perkwrightIniIsPreferred_data()
{
    QTest::addColumn<bool>("withTunedeckIni");
    QTest::newRow("both configuration files") << true;
    QTest::newRow("Perkwright.ini alone") << false;
}

void StartUpTest::perkwrightIniIsPreferred()
{
    QFETCH(bool, withTunedeckIni);

    WorkFolder folder;
    // A second game folder whose files differ from the first in one line each.
    const QString other = folder.path("other game");
    MakeGameFolder(other);
    const std::string generalMarker = "7.5\t\t\t\t\t// marker of the other General.txt";
    const std::string settingsMarker = "3\t\t\t\t\t// marker of the other Settings.txt";
    ReplaceFileLine(QDir(other).filePath("data/General.txt"), 100, generalMarker);
    ReplaceFileLine(QDir(other).filePath("data/peds/Settings.txt"), 200, settingsMarker);

    if (withTunedeckIni)
        folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());
    folder.writeIni("Perkwright.ini", other.toStdString());
    const std::string perkwrightBytes = ReadBytes(folder.path("Perkwright.ini"));

    Window window(folder);
    AppState& state = window->state();

    QCOMPARE(Shown(window.messages), QStringList{});
    QCOMPARE(state.GameDir, Native(other));
    QCOMPARE(window->LabelSaved->text(), Native(other));
    QCOMPARE(window->LabelSelected->text(), Native(other));
    QCOMPARE(state.GeneralText.line(100), generalMarker);
    QCOMPARE(state.GeneralText.line(100), generalMarker);
    QCOMPARE(state.GeneralText.line(100), generalMarker);
    QCOMPARE(state.SettingsText.line(200), settingsMarker);
    QCOMPARE(ReadBytes(folder.path("Perkwright.ini")), perkwrightBytes);
    if (withTunedeckIni)
        QCOMPARE(ReadBytes(folder.path("Tunedeck.ini")), folder.gameDir().toStdString() + "\r\n");
    else
        QVERIFY(!QFile::exists(folder.path("Tunedeck.ini")));
}

void StartUpTest::badPerkwrightIniIsNeverDeleted()
{
    WorkFolder folder;
    folder.writeIni("Perkwright.ini", folder.path("gone").toStdString());
    folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());
    const std::string perkwrightBytes = ReadBytes(folder.path("Perkwright.ini"));

    for (int start = 1; start <= 2; ++start) {
        Window window(folder);
        QCOMPARE(Shown(window.messages),
                 (QStringList{CorruptedConfiguration, CorruptedConfiguration}));
        QCOMPARE(ReadBytes(folder.path("Perkwright.ini")), perkwrightBytes);
        // The one that is deleted is always Tunedeck.ini, whichever file was read.
        QVERIFY(!QFile::exists(folder.path("Tunedeck.ini")));
        QVERIFY(window->state().GeneralText.empty());
        QVERIFY(window->state().SettingsText.empty());
    }
}

void StartUpTest::deletedTunedeckIniGivesWarningAtNextStart()
{
    WorkFolder folder;
    folder.writeIni("Tunedeck.ini", folder.path("gone").toStdString());
    {
        Window first(folder);
        QCOMPARE(Shown(first.messages),
                 (QStringList{CorruptedConfiguration, CorruptedConfiguration}));
        QVERIFY(!QFile::exists(folder.path("Tunedeck.ini")));
    }
    Window second(folder);
    QCOMPARE(Shown(second.messages), QStringList{NoConfigurationWarning});
    QCOMPARE(second->LabelSaved->text(), QStringLiteral("None"));
    QCOMPARE(second->LabelValid->text(), QStringLiteral("No"));
}

void StartUpTest::corruptedConfigurationMessageHasTwoLines()
{
    WorkFolder folder;
    QVERIFY(QFile::remove(folder.generalPath()));
    folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());

    Window window(folder);
    const std::vector<QString> errors = window.messages.texts(FakeMessages::Error);
    QCOMPARE(errors.size(), size_t(1));
    const QStringList lines = errors.front().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0],
             QStringLiteral("Your Tunedeck.ini was corrupted and has been deleted. You "));
    QCOMPARE(lines[1], QStringLiteral("must save your \"Gorewheel 2\" directory again."));
    QVERIFY(lines[0].size() <= 60);
}

void StartUpTest::configurationFileThatIsAFolder_data()
{
    QTest::addColumn<bool>("tunedeckIniFolder");
    QTest::addColumn<bool>("perkwrightIniFolder");
    QTest::addColumn<bool>("tunedeckIniFile"); // a valid Tunedeck.ini naming the game folder

    QTest::newRow("Tunedeck.ini is a folder") << true << false << false;
    QTest::newRow("Perkwright.ini is a folder") << false << true << false;
    QTest::newRow("Perkwright.ini is a folder beside a valid Tunedeck.ini")
        << false << true << true;
}

// Only a file counts as a configuration file: a folder of that name is no file at all.
void StartUpTest::configurationFileThatIsAFolder()
{
    QFETCH(bool, tunedeckIniFolder);
    QFETCH(bool, perkwrightIniFolder);
    QFETCH(bool, tunedeckIniFile);

    WorkFolder folder;
    if (tunedeckIniFolder)
        QVERIFY(QDir().mkpath(folder.path("Tunedeck.ini")));
    if (perkwrightIniFolder)
        QVERIFY(QDir().mkpath(folder.path("Perkwright.ini")));
    if (tunedeckIniFile)
        folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());

    Window window(folder);
    if (tunedeckIniFile) {
        QCOMPARE(Shown(window.messages), QStringList{});
        QCOMPARE(window->state().GameDir, folder.gameDir());
        QCOMPARE(window->state().GeneralText.count(), 410);
        QCOMPARE(window->LabelValid->text(), QStringLiteral("Yes"));
    } else {
        QCOMPARE(Shown(window.messages), QStringList{NoConfigurationWarning});
        QVERIFY(window->state().GameDir.isEmpty());
        QCOMPARE(window->LabelValid->text(), QStringLiteral("No"));
        QCOMPARE(window->LabelSelected->text(), window->Directory->selectedPath());
    }
    QCOMPARE(QFileInfo(folder.path("Perkwright.ini")).isDir(), perkwrightIniFolder);
}

void StartUpTest::siblingButtons_data()
{
    QTest::addColumn<bool>("siblingPresent");
    QTest::addColumn<bool>("asFolder");
    QTest::newRow("Perkwright.exe absent") << false << false;
    QTest::newRow("Perkwright.exe present") << true << false;
    QTest::newRow("Perkwright.exe is a folder") << false << true;
}

void StartUpTest::siblingButtons()
{
    QFETCH(bool, siblingPresent);
    QFETCH(bool, asFolder);

    WorkFolder folder;
    folder.writeIni("Tunedeck.ini", folder.gameDir().toStdString());
    if (asFolder)
        QVERIFY(QDir().mkpath(folder.path("Perkwright.exe")));
    else if (siblingPresent)
        WriteBytes(folder.path("Perkwright.exe"), "MZ");

    Window window(folder);
    for (QPushButton* button :
         {window->GeneralBut, window->LaunchPW, window->MiscPerkwright, window->APOPerkwright}) {
        QCOMPARE(button->isHidden(), !siblingPresent);
        QCOMPARE(button->text(), QStringLiteral("Perkwright.exe"));
    }
    QCOMPARE(Shown(window.messages), QStringList{});
}

void StartUpTest::wrapText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("wrapped");

    QTest::newRow("shorter than the limit") << "Short text." << 60 << "Short text.";
    QTest::newRow("empty") << "" << 10 << "";
    QTest::newRow("exactly the limit") << "abcd efghi" << 10 << "abcd efghi";
    QTest::newRow("the configuration message")
        << "Your Tunedeck.ini was corrupted and has been deleted. You must save your "
           "\"Gorewheel 2\" directory again."
        << 60
        << "Your Tunedeck.ini was corrupted and has been deleted. You \r\nmust save your "
           "\"Gorewheel 2\" directory again.";
    QTest::newRow("blank stays at the end of the line")
        << "one two three" << 8 << "one two \r\nthree";
    QTest::newRow("several breaks") << "aaa bbb ccc ddd eee" << 8 << "aaa bbb \r\nccc ddd \r\neee";
    QTest::newRow("hyphen") << "well-known words" << 8 << "well-\r\nknown \r\nwords";
    QTest::newRow("tab") << "alpha\tbeta\tgamma" << 12 << "alpha\tbeta\t\r\ngamma";
    QTest::newRow("no place to break") << "abcdefghijkl" << 5 << "abcdefghijkl";
    QTest::newRow("quoted run longer than the limit")
        << "ab \"one two three four\" cd" << 10 << "ab \r\n\"one two three four\" \r\ncd";
    QTest::newRow("blank inside quotes is no break")
        << "say \"a b\" now" << 8 << "say \r\n\"a b\" \r\nnow";
}

void StartUpTest::wrapText()
{
    QFETCH(QString, text);
    QFETCH(int, limit);
    QFETCH(QString, wrapped);
    QCOMPARE(WrapText(text, limit), wrapped);
}

QTEST_MAIN(StartUpTest)
#include "start_up_test.moc"
