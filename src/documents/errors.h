// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <exception>
#include <functional>

class Messages;

// Ends the user action or start-up sequence in progress without any message.
struct SilentAbort : std::exception {
    const char* what() const noexcept override { return "silent abort"; }
};

// A failure that carries the system's own text, shown by the general error report.
class FileError : public std::exception {
public:
    // `text` as the report shows it; `systemWords` the system's own part of it, when the
    // text names more (the file, the step).
    explicit FileError(QString text, QString systemWords = {})
        : text_(std::move(text)), systemWords_(std::move(systemWords)), bytes_(text_.toLocal8Bit())
    {
    }
    const QString& text() const { return text_; }
    // The system's words alone.
    const QString& systemWords() const { return systemWords_.isEmpty() ? text_ : systemWords_; }
    const char* what() const noexcept override { return bytes_.constData(); }

private:
    QString text_;
    QString systemWords_;
    QByteArray bytes_;
};

// The system's own words for an error code it gave (errno on POSIX systems, GetLastError()
// on Windows), as the player reads them.
QString SystemErrorText(int code);

// The code of the system call that failed last in this thread (errno, GetLastError()); a
// general failure where it names none.
int LastSystemError();

// The system's code for a file too large to be read or written.
int FileTooLargeError();

// Runs one handler: a silent abort ends it quietly, any other error ends it with the
// general error report. Returns false when the handler did not run to its end.
bool RunGuarded(Messages& messages, const std::function<void()>& handler);
