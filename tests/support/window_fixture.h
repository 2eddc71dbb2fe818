// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared helpers of the window tests: the real main window built in a temporary working
// folder, with fakes standing in for the message boxes and the program launcher.

#include "general.h"
#include "launcher.h"
#include "questions.h"
#include "support/fakes.h"
#include "support/test_support.h"

#include "key_value_grid.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct FakeLauncher : Launcher {
    std::vector<LaunchCommand> started;
    QString failure; // when set, nothing starts and this is the reason given
    void start(const LaunchCommand& command,
               std::function<void(const QString& failure)> done) override
    {
        started.push_back(command);
        done(failure);
    }
};

// Answers by a button's text, "Enter" with the default answer, else as Escape: the last; the
// question is shown as a warning.
struct FakeQuestions : Questions {
    FakeMessages& messages;
    QString answer;
    QList<QStringList> buttons;       // of each question asked
    std::function<void()> whileAsked; // what happens while the question is open
    explicit FakeQuestions(FakeMessages& shown) : messages(shown) {}
    int choose(const QString& text, const QStringList& answers, int preferred) override
    {
        messages.warning(text), buttons.push_back(answers);
        if (whileAsked)
            std::exchange(whileAsked, nullptr)();
        if (answer == QLatin1String("Enter"))
            return preferred;
        return int(answers.contains(answer) ? answers.indexOf(answer) : answers.size() - 1);
    }
};

// A path as the system writes it.
inline QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// What a launch opens: the file handed to the desktop's opener (xdg-open, wine); on Windows
// the system opens the program itself.
inline QStringList Opened(const LaunchCommand& command)
{
#ifdef Q_OS_WIN
    return command.arguments.isEmpty() ? QStringList{Native(command.program)} : QStringList{};
#else
    return command.arguments;
#endif
}

// The real window with recording fakes; the window is built last, so its start-up
// sequence reports into the fakes.
struct Window {
    FakeMessages messages;
    FakeQuestions questions{messages};
    FakeLauncher launcher;
    std::unique_ptr<TForm1> form;

    explicit Window(const WorkFolder& folder)
        : form(std::make_unique<TForm1>(
              TForm1Services{&messages, &launcher, folder.path(), folder.path("home"), &questions}))
    {
    }
    TForm1* operator->() const { return form.get(); }
};

// The messages shown, each as "<kind>: <text>", in the order they were shown.
inline QStringList Shown(const FakeMessages& messages)
{
    static const char* const kinds[] = {"error", "warning", "information", "plain", "report"};
    QStringList result;
    for (const auto& [kind, text] : messages.shown)
        result << QString::fromLatin1(kinds[kind]) + QStringLiteral(": ") + text;
    return result;
}

inline QString ErrorText(const QString& text)
{
    return QStringLiteral("error: ") + text;
}
inline QString WarningText(const QString& text)
{
    return QStringLiteral("warning: ") + text;
}
inline QString InformationText(const QString& text)
{
    return QStringLiteral("information: ") + text;
}
inline QString PlainText(const QString& text)
{
    return QStringLiteral("plain: ") + text;
}

// The start-up error for a configuration that names no game folder, in two lines: the break
// comes after the last blank that keeps the first within 60 characters.
const QString CorruptedConfigurationText =
    QStringLiteral("Your Tunedeck.ini was corrupted and has been deleted. You \r\n"
                   "must save your \"Gorewheel 2\" directory again.");
const QString CorruptedConfiguration = ErrorText(CorruptedConfigurationText);

// A game file of the wrong line count, refused at start-up.
const QString InvalidGeneral =
    PlainText(QStringLiteral("Invalid file, please use an original General.txt"));
const QString InvalidSettings =
    PlainText(QStringLiteral("Invalid file, please use an original Settings.txt"));

// The pictures live in a static library; naming the resource keeps them linked in.
inline void InitPictures()
{
    Q_INIT_RESOURCE(tunedeck);
}

// The lines of a file as the program reads them (CR LF or LF ends a line).
// Opens the grid's editor on its current cell with F2, types the text over the value and
// leaves the cell with Enter, which the grid commits from the event loop.
inline void TypeInCurrentCell(KeyValueGrid* grid, const QString& text)
{
    QTest::keyClick(grid, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!grid->isEditing());
}

inline std::vector<std::string> FileLines(const QString& path)
{
    return SplitLines(ReadBytes(path));
}

// Rewrites a game file with `count` lines: its own lines cut short, or lengthened by
// repeating its last line.
inline void ResizeFile(const QString& path, int count)
{
    std::vector<std::string> lines = FileLines(path);
    const std::string last = lines.empty() ? std::string("0") : lines.back();
    lines.resize(static_cast<size_t>(count), last);
    WriteBytes(path, JoinLines(lines));
}

// What a test makes of a game file before the window starts.
enum class GameFileState { Right, Missing, Folder, TooShort, TooLong };

inline void Prepare(const QString& path, GameFileState state, int rightCount)
{
    switch (state) {
    case GameFileState::Right:
        break;
    case GameFileState::Missing:
        QVERIFY(QFile::remove(path));
        break;
    case GameFileState::Folder:
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path));
        break;
    case GameFileState::TooShort:
        ResizeFile(path, rightCount - 1);
        break;
    case GameFileState::TooLong:
        ResizeFile(path, rightCount + 1);
        break;
    }
}

// Copies the demo game files into `dir` under the given relative names.
inline void MakeGameFolder(const QString& dir,
                           const QString& general = QStringLiteral("data/General.txt"),
                           const QString& settings = QStringLiteral("data/peds/Settings.txt"))
{
    if (!general.isEmpty())
        WriteBytes(QDir(dir).filePath(general), ReadBytes(SampleFile("game/data/General.txt")));
    if (!settings.isEmpty())
        WriteBytes(QDir(dir).filePath(settings),
                   ReadBytes(SampleFile("game/data/peds/Settings.txt")));
}

// Replaces one line of a file, keeping the others as they are.
inline void ReplaceFileLine(const QString& path, int index, const std::string& text)
{
    std::vector<std::string> lines = FileLines(path);
    lines.at(static_cast<size_t>(index)) = text;
    WriteBytes(path, JoinLines(lines));
}

inline std::vector<std::string> BufferLines(const TextBuffer& buffer)
{
    return buffer.lines();
}

// Stand-in programs alone on PATH while the object lives, WINEPREFIX and TUNEDECK_LAUNCH unset:
// each writes "<working folder>|<WINEPREFIX>|<arguments>" to <bin>/<name>.log, then runs `then`
// (shell scripts; on Windows batch files, <name>.bat).
struct StandInPrograms {
    const QByteArray path = qgetenv("PATH"), prefix = qgetenv("WINEPREFIX"),
                     own = qgetenv("TUNEDECK_LAUNCH");
    StandInPrograms(const QString& bin, const QStringList& names, const std::string& then = {})
    {
        for (const QString& name : names) {
#ifdef Q_OS_WIN
            WriteBytes(bin + "/" + name + ".bat",
                       "@>\"%~dpn0.log\" echo %CD%^|%WINEPREFIX%^|%*\r\n" + then + "\r\n");
#else
            WriteBytes(bin + "/" + name, "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$PWD\" \"$WINEPREFIX\" "
                                         "\"$*\" >\"$0.log\"\n" +
                                             then + "\n");
            QFile::setPermissions(bin + "/" + name,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#endif
        }
        qputenv("PATH", QFile::encodeName(bin));
        qunsetenv("WINEPREFIX");
        qunsetenv("TUNEDECK_LAUNCH");
    }
    ~StandInPrograms()
    {
        qputenv("PATH", path);
        for (const auto& [name, value] :
             {std::pair("WINEPREFIX", prefix), {"TUNEDECK_LAUNCH", own}})
            if (!value.isEmpty())
                qputenv(name, value);
    }
};
