// SPDX-License-Identifier: GPL-3.0-or-later
#include "console.h"

#include <cstdio>

namespace {

constexpr const char* ProgramPrefix = "tunedeck-cli: ";

// A message is one line: every line break inside it (CR LF, a lone CR or LF) becomes a
// single space.
QByteArray OneLine(QByteArray text)
{
    text.replace("\r\n", " ");
    text.replace('\r', ' ');
    text.replace('\n', ' ');
    return text;
}

void WriteLine(std::FILE* stream, const QByteArray& prefix, const QByteArray& text)
{
    const QByteArray line = prefix + OneLine(text) + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stream);
    std::fflush(stream);
}

} // namespace

void PrintOut(const std::string& bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void ConsoleMessages::error(const QString& text)
{
    say(text.toLocal8Bit());
}

void ConsoleMessages::warning(const QString& text)
{
    say(text.toLocal8Bit());
}

void ConsoleMessages::information(const QString& text)
{
    WriteLine(stdout, {}, text.toLocal8Bit());
}

void ConsoleMessages::plain(const QString& text)
{
    say(text.toLocal8Bit());
}

void ConsoleMessages::report(const QString& text)
{
    say(text.toLocal8Bit());
}

bool ConsoleMessages::ask(const QString& text)
{
    error(text + QStringLiteral(" No: nothing was written."));
    return false;
}

void ConsoleMessages::say(const QByteArray& text)
{
    std::fflush(stdout); // keep the order of the two streams when they are one file
    WriteLine(stderr, ProgramPrefix, text);
}
