// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/text_buffer.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <string>
#include <vector>

// The demo game folder and reference copies shipped with the program.
QString SampleDir();
QString SampleFile(const QString& relativePath);

std::string ReadBytes(const QString& path);
// The lines with CR LF after every line, the last one included: a file as a save writes it.
std::string JoinLines(const std::vector<std::string>& lines);
void WriteBytes(const QString& path, const std::string& bytes);

// What a folder holds, hidden and special files too, by name.
QStringList Entries(const QString& folder);

// A line as a save writes it: values, five TABs, " // " and the comment.
std::string Written(const std::string& values, const std::string& comment);

// `count` distinct lines "L<i>a,L<i>b,L<i>c<TAB>// comment <i>", so a test that
// reads the wrong line or field sees the wrong text.
std::vector<std::string> NumberedLines(int count);
TextBuffer NumberedBuffer(int count);

// A temporary folder laid out as a working folder: game/data/General.txt,
// game/data/peds/Settings.txt, original.general and original.pedsettings, copied from
// the demo files, and optionally a Tunedeck.ini naming the game folder. Its paths are
// written with the system's separators.
class WorkFolder {
public:
    WorkFolder();
    QString path(const QString& relative = {}) const;
    QString gameDir() const { return path("game"); }
    QString generalPath() const { return path("game/data/General.txt"); }
    QString settingsPath() const { return path("game/data/peds/Settings.txt"); }
    void writeIni(const QString& name, const std::string& firstLine) const;
    bool isValid() const { return dir_.isValid(); }

private:
    QTemporaryDir dir_;
};

class QProcess;

// What a program the test started ended with; status -1 when it did not end normally.
struct ProgramResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Waits for the started program to end and takes what it printed.
ProgramResult Finish(QProcess& process);
