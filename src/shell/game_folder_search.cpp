// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_folder_search.h"

#include "documents/game_files.h"
#include "documents/game_paths.h"
#include "editing/game_folder.h"
#include "steam_library.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <deque>
#include <utility>
#include <vector>

namespace {

// A place to search: a folder below home ("*" stands for every folder at that level) and
// how many levels below it a game folder may lie.
struct Place {
    const char* pattern;
    int depth;
};

#ifndef Q_OS_WIN
// Wine prefixes: drive_c/Program Files (x86)/<publisher>/<game> is three levels down.
constexpr Place WinePlaces[] = {
    {".wine/drive_c", 4},
    {".local/share/wineprefixes/*/drive_c", 4},
    {".local/share/bottles/bottles/*/drive_c", 4},
    {".var/app/com.usebottles.bottles/data/bottles/bottles/*/drive_c", 4},
    {"Games/Heroic/Prefixes/*/drive_c", 4},
    {"Games/Heroic/Prefixes/default/*/drive_c", 4},
    // Lutris installs each game in a folder of its own here, often with its prefix inside.
    {"Games", 5},
};

// Steam installations; their libraries hold games in steamapps/common/<game>.
constexpr const char* SteamRoots[] = {
    ".steam/steam",
    ".steam/root",
    ".local/share/Steam",
    ".var/app/com.valvesoftware.Steam/.local/share/Steam",
    ".var/app/com.valvesoftware.Steam/data/Steam",
};
#endif

class Search {
public:
    Search(const QString& home, std::chrono::milliseconds budget) : home_(home), budget_(budget)
    {
        clock_.start();
    }

    QString run()
    {
        std::vector<std::pair<QString, int>> roots;
#ifdef Q_OS_WIN
        WindowsRoots(roots);
#else
        for (const char* steam : SteamRoots)
            AddSteamRoot(QDir(home_).filePath(QLatin1String(steam)), roots);
        for (const Place& place : WinePlaces)
            for (const QString& root : expand(QDir(home_).filePath(QLatin1String(place.pattern))))
                roots.emplace_back(root, place.depth);
#endif

        for (const auto& [root, depth] : roots) {
            const QString found = searchBelow(root, depth);
            if (!found.isEmpty() || outOfTime())
                return found;
        }
        return {};
    }

private:
    bool outOfTime() const
    {
        return clock_.elapsed() > budget_.count();
    }

    // The folders a pattern names; "*" matches every subfolder at its level.
    QStringList expand(const QString& pattern) const
    {
        QStringList folders{QString()};
        const QStringList parts = QDir::fromNativeSeparators(pattern).split(QLatin1Char('/'));
        for (int i = 0; i < parts.size(); ++i) {
            QStringList next;
            for (const QString& folder : folders) {
                const QString base = i == 0 ? QString() : folder + QLatin1Char('/');
                if (parts[i] != QLatin1String("*")) {
                    if (i == 0 || QFileInfo(base + parts[i]).isDir())
                        next << base + parts[i];
                    continue;
                }
                for (const QString& name :
                     QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
                    next << base + name;
            }
            folders = next;
            if (folders.isEmpty())
                break;
        }
        return folders;
    }

    // Breadth first, so the shallowest game folder is found first. Links are not
    // followed inside a place (a Wine prefix links to the whole file system).
    QString searchBelow(const QString& root, int depth)
    {
        const QString canonical = QFileInfo(root).canonicalFilePath();
        if (canonical.isEmpty() || searched_.contains(canonical))
            return {};
        searched_.insert(canonical);
        std::deque<std::pair<QString, int>> queue{{canonical, 0}};
        while (!queue.empty() && !outOfTime()) {
            const auto [folder, level] = queue.front();
            queue.pop_front();
            const QStringList names =
                QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                                       QDir::Name | QDir::IgnoreCase);
            for (const QString& name : names) {
                if (name.compare(QLatin1String("data"), Qt::CaseInsensitive) == 0 &&
                    IsGameFolder(folder) && HasGameFile(folder, TuningFile::Settings))
                    return QDir::cleanPath(folder);
            }
            if (level == depth)
                continue;
            for (const QString& name : names)
                if (name.compare(QLatin1String("windows"), Qt::CaseInsensitive) != 0)
                    queue.emplace_back(folder + QLatin1Char('/') + name, level + 1);
        }
        return {};
    }

    // A Steam installation: each of its libraries holds games in steamapps/common/<game>
    // and Proton prefixes in steamapps/compatdata/<id>/pfx.
    void AddSteamRoot(const QString& root, std::vector<std::pair<QString, int>>& roots) const
    {
        if (root.isEmpty() || !QFileInfo(root).isDir())
            return;
        const QStringList libraries = SteamLibraries(root);
        for (const QString& library : libraries)
            roots.emplace_back(library + QStringLiteral("/steamapps/common"), 2);
        for (const QString& library : libraries)
            for (const QString& prefix :
                 expand(library + QStringLiteral("/steamapps/compatdata/*/pfx/drive_c")))
                roots.emplace_back(prefix, 4);
    }

#ifdef Q_OS_WIN
    // Where Windows players keep the game: Steam's libraries (Steam's folder from the
    // registry), GOG's default folders, C:\Games, and the program folders, where a game
    // lies below its publisher's folder.
    void WindowsRoots(std::vector<std::pair<QString, int>>& roots) const
    {
        const std::pair<const char*, const char*> steamKeys[] = {
            {"HKEY_CURRENT_USER\\Software\\Valve\\Steam", "SteamPath"},
            {"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Valve\\Steam", "InstallPath"},
            {"HKEY_LOCAL_MACHINE\\SOFTWARE\\Valve\\Steam", "InstallPath"},
        };
        for (const auto& [key, name] : steamKeys)
            AddSteamRoot(
                QDir::fromNativeSeparators(QSettings(QLatin1String(key), QSettings::NativeFormat)
                                               .value(QLatin1String(name))
                                               .toString()),
                roots);
        const QString drive = qEnvironmentVariable("SystemDrive", QStringLiteral("C:"));
        const QString x86 = qEnvironmentVariable("ProgramFiles(x86)");
        roots.emplace_back(drive + QStringLiteral("/GOG Games"), 1);
        if (!x86.isEmpty())
            roots.emplace_back(x86 + QStringLiteral("/GOG Galaxy/Games"), 1);
        roots.emplace_back(drive + QStringLiteral("/Games"), 2);
        for (const char* variable : {"ProgramFiles(x86)", "ProgramW6432", "ProgramFiles"}) {
            const QString folder = qEnvironmentVariable(variable);
            if (!folder.isEmpty())
                roots.emplace_back(QDir::fromNativeSeparators(folder), 2);
        }
    }
#endif

    QString home_;
    std::chrono::milliseconds budget_;
    QElapsedTimer clock_;
    QSet<QString> searched_;
};

} // namespace

QString FindGameFolder(const QString& home, std::chrono::milliseconds budget)
{
    if (home.isEmpty())
        return {};
    return Search(home, budget).run();
}
