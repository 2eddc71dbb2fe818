// SPDX-License-Identifier: GPL-3.0-or-later
#include "test_support.h"

#include <QProcess>

#include <QDir>
#include <QFile>
#include <stdexcept>

QString SampleDir()
{
    return QStringLiteral(TUNEDECK_SAMPLE_DIR);
}

QString SampleFile(const QString& relativePath)
{
    return QDir(SampleDir()).filePath(relativePath);
}

std::string ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll().toStdString();
}

void WriteBytes(const QString& path, const std::string& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::vector<std::string> NumberedLines(int count)
{
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i) {
        const std::string n = std::to_string(i);
        lines.push_back("L" + n + "a,L" + n + "b,L" + n + "c\t\t// comment " + n);
    }
    return lines;
}

TextBuffer NumberedBuffer(int count)
{
    return TextBuffer(NumberedLines(count));
}

WorkFolder::WorkFolder()
{
    WriteBytes(generalPath(), ReadBytes(SampleFile("game/data/General.txt")));
    WriteBytes(settingsPath(), ReadBytes(SampleFile("game/data/peds/Settings.txt")));
    WriteBytes(path("original.general"), ReadBytes(SampleFile("original.general")));
    WriteBytes(path("original.pedsettings"), ReadBytes(SampleFile("original.pedsettings")));
}

QString WorkFolder::path(const QString& relative) const
{
    // As the system writes paths (backslashes on Windows), as the program shows them.
    return QDir::toNativeSeparators(relative.isEmpty() ? dir_.path() : dir_.filePath(relative));
}

void WorkFolder::writeIni(const QString& name, const std::string& firstLine) const
{
    WriteBytes(path(name), firstLine + "\r\n");
}

ProgramResult Finish(QProcess& process)
{
    ProgramResult result;
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.status = process.exitCode();
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
#ifdef Q_OS_WIN
    // The C runtime writes each "\n" to the console as "\r\n", as Windows programs do.
    for (std::string* text : {&result.out, &result.err})
        for (size_t at = 0; (at = text->find("\r\n", at)) != std::string::npos;)
            text->erase(at, 1);
#endif
    return result;
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

std::string Written(const std::string& values, const std::string& comment)
{
    return values + "\t\t\t\t\t // " + comment;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\r\n";
    return bytes;
}
