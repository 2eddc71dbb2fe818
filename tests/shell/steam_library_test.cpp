// SPDX-License-Identifier: GPL-3.0-or-later
// A Steam game in any library (a Deck's SD card): found, and started with its manifest's id.

#include "game_folder_search.h"
#include "launch_command.h"
#include "steam_library.h"
#include "support/window_fixture.h"

#include <QtTest>

class SteamLibraryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows opens the game itself, and Steam's folder comes from the registry");
#endif
    }
    // "sd": a library libraryfolders.vdf lists beside the main one; "" a FIFO in its place.
    void gameFoundInEveryLibrary()
    {
        const char* const cases[][2] = {
            {"\"l\" { \"1\" { \"path\" \"sd\" } }", "sd/steamapps/common/GW2"},
            {"\"l\" { \"1\" { \"path\" \"sd\" } }", "sd/steamapps/compatdata/9/pfx/drive_c/GW2"},
            {"\"l\" { \"1\" \"sd\" } // older form", "sd/steamapps/compatdata/9/pfx/drive_c/GW2"},
            {"\"l\" { \"1\" { \"path\" \"sd\" }", ""}, // broken
            {"", ""}};
        for (const auto& [vdf, game] : cases) {
            WorkFolder home;
            const QString list = home.path("home/.steam/steam/steamapps/libraryfolders.vdf");
            WriteBytes(list, QString(vdf).replace("sd", home.path("sd")).toStdString());
            if (!*vdf)
                QVERIFY(QFile::remove(list) && QProcess::execute("mkfifo", {list}) == 0);
            MakeGameFolder(home.path(*game ? game : "sd/steamapps/compatdata/9/pfx/drive_c/G"));
            QCOMPARE(FindGameFolder(home.path("home"), std::chrono::seconds(10)),
                     *game ? home.path(game) : QString());
        }
    }
    // The game in the SD card's steamapps/common/Gorewheel 2, and the manifest's installdir
    // ("-": a broken manifest); Perkwright.exe starts where a prefix is named ("pfx": made).
    void launchedThroughSteam()
    {
        const QString sd = "~/sd/steamapps/",
                      opened = "xdg-open \"" + sd + "common/Gorewheel 2/gwheel2.exe\"";
        const QString cases[][4] = {
            {"GOREWHEEL 2", "steam xdg-open", "", "steam -applaunch 23"},
            {"GOREWHEEL 2", "wine", "pfx", "WINEPREFIX=" + sd + "compatdata/23/pfx wine ~/P.exe"},
            {"GOREWHEEL 2", "wine", "-",
             "it needs the game's Proton prefix, " + sd +
                 "compatdata/23/pfx, which Steam makes when the game is first started from Steam."},
            {"Gorewheel 3", "steam xdg-open", "", opened},
            {"-", "steam xdg-open", "", opened}};
        for (const auto& [installdir, tools, prefix, expected] : cases) {
            WorkFolder home;
            const QString game = home.path("sd/steamapps/common/Gorewheel 2");
            QVERIFY(QDir().mkpath(game));
            WriteBytes(home.path("sd/steamapps/appmanifest_23.acf"),
                       "\"AppState\" { \"appid\" \"23\" \"installdir\" \"" +
                           installdir.toStdString() + (installdir == "-" ? "\"" : "\" }"));
            if (prefix == "pfx")
                QVERIFY(QDir().mkpath(home.path("sd/steamapps/compatdata/23/pfx")));
            const StandInPrograms stand(home.path("bin"), tools.split(' '));
            const LaunchChoice choice = ChooseLaunchCommand(
                prefix.isEmpty() ? game + "/gwheel2.exe" : home.path("P.exe"), game,
                prefix.isEmpty() ? LaunchTarget::Game : LaunchTarget::Helper,
                QProcessEnvironment::systemEnvironment());
            QCOMPARE(choice.failure.isEmpty() ? ShownCommand(choice.command) : choice.failure,
                     QString(expected).replace("~", home.path()));
        }
    }
    void keyValuesNestedDeeply()
    {
        const std::vector<VdfValue> deep = ParseVdf(
            QByteArray("a {").repeated(100000) + "k \"v\\\"\"" + QByteArray("}").repeated(100000));
        QCOMPARE(deep.size() == 1 ? deep[0].value + QString::number(deep[0].depth) : "",
                 "v\"100000");
    }
};

QTEST_MAIN(SteamLibraryTest)
#include "steam_library_test.moc"
