// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/interfaces.h"

#include <QByteArray>
#include <string>

// Exit statuses of the tool.
constexpr int ExitSuccess = 0;
constexpr int ExitFailed = 1;  // a check failed, differences were found, an item was unlisted
constexpr int ExitTrouble = 2; // bad usage, or a file that cannot be loaded or written

// Ends a command with an exit status. Whatever the user needs to know has been said.
struct CommandEnd {
    int status;
};

// Writes bytes to standard output exactly as they are.
void PrintOut(const std::string& bytes);

// The message boxes of the window, as lines. A result ("File updated: ...", "File
// copied: ...") is the output of the command and goes to standard output; every other
// message goes to standard error after the program's name. Each message is one line.
class ConsoleMessages : public Messages {
public:
    void error(const QString& text) override;
    void warning(const QString& text) override;
    void information(const QString& text) override;
    void plain(const QString& text) override;
    void report(const QString& text) override;
    // No one answers: the answer is No, told as an error.
    bool ask(const QString& text) override;

    // A message of the tool itself, given as bytes.
    void say(const QByteArray& text);
};

// The progress bar: nothing to show, but the writer reads back its position.
class SilentProgress : public Progress {
public:
    void setMaximum(int) override {}
    void stepIt() override { ++position_; }
    void setPosition(int position) override { position_ = position; }
    int position() const override { return position_; }

private:
    int position_ = 0;
};
