// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/game_paths.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace {

// `relative` written with forward slashes, turned into the native form below `root`.
QString Native(const QString& root, const QString& relative)
{
    QString path = QDir::toNativeSeparators(root);
    for (const QString& part : relative.split(QLatin1Char('/')))
        path += QDir::separator() + part;
    return path;
}

struct ResolveCase {
    const char* name;
    std::vector<QString> files; // created below the game folder; a trailing "/" makes a folder
    QString asked;              // as the program spells it, with backslashes
    QString expected;           // below the game folder, with forward slashes
};

// True on a file system that ignores letter case (Windows'): there every spelling of a
// name exists as asked, so the spelling asked is kept.
bool IgnoresLetterCase(const QString& folder)
{
    WriteBytes(folder + "/case probe", "");
    const bool ignores = QFileInfo::exists(folder + "/CASE PROBE");
    QFile::remove(folder + "/case probe");
    return ignores;
}

void PrintTo(const ResolveCase& c, std::ostream* os)
{
    *os << c.name;
}

class GameFilePathResolution : public ::testing::TestWithParam<ResolveCase> {};

TEST_P(GameFilePathResolution, FindsTheFileWhateverItsLetterCase)
{
    const ResolveCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString game = dir.filePath("Game Folder");
    ASSERT_TRUE(QDir().mkpath(game));
    for (const QString& file : c.files) {
        if (file.endsWith(QLatin1Char('/'))) {
            ASSERT_TRUE(QDir().mkpath(game + "/" + file));
        } else {
            WriteBytes(game + "/" + file, "x\r\n");
        }
    }
    const QString expected = IgnoresLetterCase(game)
                                 ? c.asked.mid(1).replace(QLatin1Char('\\'), QLatin1Char('/'))
                                 : c.expected;
    EXPECT_EQ(GameFilePath(game, c.asked).toStdString(), Native(game, expected).toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    GamePaths, GameFilePathResolution,
    ::testing::Values(
        ResolveCase{
            "ExactSpelling", {"data/General.txt"}, "\\data\\General.txt", "data/General.txt"},
        ResolveCase{
            "UpperCaseOnDisk", {"DATA/GENERAL.TXT"}, "\\data\\General.txt", "DATA/GENERAL.TXT"},
        ResolveCase{"UpperCaseOnDiskOtherSpelling",
                    {"DATA/GENERAL.TXT"},
                    "\\data\\General.TXT",
                    "DATA/GENERAL.TXT"},
        ResolveCase{"LowerCaseSpellingFindsFile",
                    {"data/General.txt"},
                    "\\data\\General.TXT",
                    "data/General.txt"},
        ResolveCase{"ExactPreferred",
                    {"data/General.txt", "data/general.txt"},
                    "\\data\\General.txt",
                    "data/General.txt"},
        ResolveCase{"ExactPreferredOtherWay",
                    {"data/General.txt", "data/general.txt"},
                    "\\data\\general.txt",
                    "data/general.txt"},
        ResolveCase{"TwoMatchesNoExactKeepsSpelling",
                    {"data/General.txt", "data/GENERAL.TXT"},
                    "\\data\\general.TXT",
                    "data/general.TXT"},
        ResolveCase{"NothingThereKeepsSpelling", {}, "\\data\\General.txt", "data/General.txt"},
        ResolveCase{"PedsSettings",
                    {"Data/Peds/Settings.txt"},
                    "\\data\\peds\\settings.txt",
                    "Data/Peds/Settings.txt"},
        ResolveCase{"FolderFoundFileMissing",
                    {"DATA/other.txt"},
                    "\\data\\General.txt",
                    "DATA/General.txt"},
        ResolveCase{"AmbiguousFolderKeepsSpelling",
                    {"data/", "DATA/GENERAL.TXT"},
                    "\\Data\\General.txt",
                    "Data/General.txt"},
        ResolveCase{"OnlyPartsOfTheNameDiffer",
                    {"data/General.txt.old", "data/eneral.txt"},
                    "\\data\\GENERAL.TXT",
                    "data/GENERAL.TXT"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GamePaths, DirectoryIsTakenAsItStands)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteBytes(dir.filePath("data/GENERAL.TXT"), "x\r\n");
    const QString sep = QDir::separator();
    const QString name = IgnoresLetterCase(dir.path()) ? "General.txt" : "GENERAL.TXT";
    EXPECT_EQ(GameFilePath(dir.path() + sep, "\\data\\General.txt").toStdString(),
              Native(dir.path() + sep, "data/" + name).toStdString());
}

TEST(GamePaths, FileExistsOnlyForFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    WriteBytes(dir.filePath("file.txt"), "");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("folder.txt")));
    const std::vector<std::pair<QString, bool>> cases = {
        {dir.filePath("file.txt"), true},
        {dir.filePath("folder.txt"), false},
        {dir.filePath("missing.txt"), false},
        {dir.filePath("missing/file.txt"), false},
        {QString(), false},
    };
    for (const auto& [path, exists] : cases) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(FileExists(path), exists);
    }
}

TEST(GamePaths, DirectoryOf)
{
    const QString s = QDir::separator();
    const std::vector<std::pair<QString, QString>> cases = {
        {s + "g" + s + "data" + s + "General.txt", s + "g" + s + "data"},
        {s + "g" + s + "data.v2" + s + "General", s + "g" + s + "data.v2"},
        {s + "g" + s + "data" + s, s + "g" + s + "data"},
        {s + "General.txt", ""},
        {"General.txt", ""},
        {"", ""},
    };
    for (const auto& [path, folder] : cases) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(DirectoryOf(path).toStdString(), folder.toStdString());
    }
}

TEST(GamePaths, ExtensionComesFromTheFileNameOnly)
{
    const QString s = QDir::separator();
    const std::vector<std::pair<QString, QString>> cases = {
        {s + "g" + s + "data" + s + "General.bak", ".bak"},
        {s + "g" + s + "data.bak" + s + "General", ""},
        {s + "g" + s + "data.bak" + s + "General.txt", ".txt"},
        {s + "g" + s + "General.tar.bak", ".bak"},
        {s + "g" + s + "General.bak.txt", ".txt"},
        {s + "g" + s + ".bak", ".bak"},
        {s + "g" + s + "General.", "."},
        {s + "g" + s + "General.BAK", ".BAK"},
        {"General.bak", ".bak"},
        {"General", ""},
        {"", ""},
    };
    for (const auto& [path, extension] : cases) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(ExtensionOf(path).toStdString(), extension.toStdString());
    }
}

TEST(GamePaths, SiblingPathStaysInTheSameFolder)
{
    const QString s = QDir::separator();
    const std::vector<std::tuple<QString, QString, QString>> cases = {
        {s + "g" + s + "data" + s + "General.txt", "General.bak",
         s + "g" + s + "data" + s + "General.bak"},
        {s + "g.v2" + s + "data" + s + "peds" + s + "Settings.txt", "Settings.bak",
         s + "g.v2" + s + "data" + s + "peds" + s + "Settings.bak"},
    };
    for (const auto& [path, name, sibling] : cases) {
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(SiblingPath(path, name).toStdString(), sibling.toStdString());
    }
}

} // namespace
