// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "text_buffer.h"

#include <QByteArray>
#include <QObject>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a file held when Tunedeck last read or wrote it.
struct FileStamp {
    qint64 size = -1;
    qint64 modified = 0;            // milliseconds since the epoch
    QByteArray checksum;            // of the bytes
    std::vector<std::string> lines; // as read or written
    bool endsWithLineBreak = false; // the last byte is a line feed

    bool operator==(const FileStamp& other) const
    {
        return size == other.size && modified == other.modified && checksum == other.checksum &&
               lines == other.lines && endsWithLineBreak == other.endsWithLineBreak;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

// One game file as Tunedeck holds it: its lines, and what the file held when Tunedeck last
// read or wrote it (the stamp). Every tab that shows the file shows this one document, and
// every change says which lines it touched, so that what shows them follows.
class GameDocument : public QObject {
    Q_OBJECT
public:
    GameDocument() = default;
    // A copy holds the same lines and stamp, and is followed by nothing; an assignment
    // changes the lines and the stamp as the setters do, telling who follows.
    GameDocument(const GameDocument& other);
    GameDocument& operator=(const GameDocument& other);

    const TextBuffer& text() const { return text_; }
    operator const TextBuffer&() const { return text_; }
    int count() const { return text_.count(); }
    bool empty() const { return text_.empty(); }
    const std::string& line(int index) const { return text_.line(index); }
    const std::vector<std::string>& lines() const { return text_.lines(); }
    std::string lineOrEmpty(int index) const { return text_.lineOrEmpty(index); }
    std::uint64_t revision() const { return text_.revision(); }

    // Replaces a line; an index outside the document changes nothing.
    void setLine(int index, std::string text);
    void assign(std::vector<std::string> lines);
    void clear() { assign({}); }
    // Replaces `removed` lines from `first` on with `added` (a file details view's typing).
    void replaceLines(int first, int removed, std::vector<std::string> added);

    const std::optional<FileStamp>& stamp() const { return stamp_; }
    void setStamp(std::optional<FileStamp> stamp);

    // Whether the lines differ from what the file held when Tunedeck last read or wrote it
    // (the first line aside, which a save replaces); with nothing read, whether any is held.
    bool holdsUnsavedEdits() const;

signals:
    // `removed` lines from `first` on were replaced by `added` lines (equal counts: the
    // lines were changed in place).
    void linesChanged(int first, int removed, int added);
    // What Tunedeck last read or wrote of the file changed.
    void stampChanged();

private:
    TextBuffer text_;
    std::optional<FileStamp> stamp_;
};
