// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/configuration_file.h"
#include "documents/errors.h"
#include "faults/fault_injection.h"
#include "support/test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(ConfigurationFile, ReadsTheFirstLineOnly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("Tunedeck.ini");
    struct Case {
        const char* name;
        std::string bytes;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"CR LF", "C:\\Games\\Gorewheel 2\r\nsecond line\r\n", "C:\\Games\\Gorewheel 2"},
        {"LF only", "/games/gw2\nsecond\n", "/games/gw2"},
        {"no line break", "/games/gw2", "/games/gw2"},
        {"empty file", "", ""},
        {"empty first line", "\r\n/games/gw2\r\n", ""},
        {"lone CR inside kept", "/games/a\rb\r\n", "/games/a\rb"},
        {"CR CR LF keeps one CR", "/games/gw2\r\r\n", "/games/gw2\r"},
        {"spaces kept", "  /games/gw2 \r\n", "  /games/gw2 "},
        // The first 4096 bytes are taken as a line of their own, their last CR dropped.
        {"CR at the cut of a longer line", std::string(4095, 'x') + "\r\r\rxy",
         std::string(4095, 'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(path, c.bytes);
        EXPECT_EQ(ReadConfigurationLine(path).toStdString(), c.line);
    }
}

TEST(ConfigurationFile, LongFileWithoutLineBreakGivesABoundedLine)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("Tunedeck.ini");
    WriteBytes(path, std::string(100 * 1024, 'x'));
    const std::string line = ReadConfigurationLine(path).toStdString();
    EXPECT_LE(line.size(), 4096u);
    EXPECT_FALSE(line.empty());
    EXPECT_EQ(line, std::string(line.size(), 'x'));
}

TEST(ConfigurationFile, MissingFileIsAFileError)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_THROW(ReadConfigurationLine(dir.filePath("Tunedeck.ini")), FileError);
    EXPECT_THROW(ReadConfigurationLine(QString()), FileError);
}

TEST(ConfigurationFile, WritesThePathAndCrLf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("Tunedeck.ini");
    WriteConfigurationFile(path, "/games/Gorewheel 2");
    EXPECT_EQ(ReadBytes(path), "/games/Gorewheel 2\r\n");
    EXPECT_EQ(ReadConfigurationLine(path).toStdString(), "/games/Gorewheel 2");

    WriteBytes(path, "/a/much/longer/older/game/folder\r\nand a second line\r\n");
    WriteConfigurationFile(path, "/g");
    EXPECT_EQ(ReadBytes(path), "/g\r\n");

    WriteConfigurationFile(path, "");
    EXPECT_EQ(ReadBytes(path), "\r\n");
}

TEST(ConfigurationFile, DirectoryNamesRoundTrip)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("Tunedeck.ini");
    for (const QString& gameDir :
         {QStringLiteral("/games/Gorewheel 2"), QStringLiteral("C:\\Games\\GW2"),
          QString::fromUtf8("/spiele/G\u00f6rewheel \u00c9dition"), QStringLiteral("/a/b/")}) {
        SCOPED_TRACE(gameDir.toStdString());
        WriteConfigurationFile(path, gameDir);
        EXPECT_EQ(ReadConfigurationLine(path).toStdString(), gameDir.toStdString());
    }
}

TEST(ConfigurationFile, WriteThatCannotBeMadeIsAFileError)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir().mkpath(dir.filePath("folder.ini")));
    EXPECT_THROW(WriteConfigurationFile(dir.filePath("missing/Tunedeck.ini"), "/g"), FileError);
    EXPECT_THROW(WriteConfigurationFile(dir.filePath("folder.ini"), "/g"), FileError);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("missing")));
    EXPECT_TRUE(QFileInfo(dir.filePath("folder.ini")).isDir());

#ifdef TUNEDECK_POSIX_FAULTS
    // A full disk leaves the previous file whole, and nothing beside it.
    const QString path = dir.filePath("Tunedeck.ini");
    WriteBytes(path, "/the/old/game\r\n");
    for (const char* call : {"write", "fsync", "rename"}) {
        SCOPED_TRACE(call);
        const InjectedFault fault(call, ENOSPC, 3, dir.path());
        EXPECT_THROW(WriteConfigurationFile(path, "/the/new/game"), FileError);
        EXPECT_EQ(ReadBytes(path), "/the/old/game\r\n");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"Tunedeck.ini"});
    }
#endif
}

} // namespace
