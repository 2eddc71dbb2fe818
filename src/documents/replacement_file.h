#pragma once

#include <QByteArray>
#include <QString>
#include <string>

// A new content for a file, written beside it and put in its place only once every byte
// is on the disk, so that whatever fails, the previous file stays as it was:
//
//   ReplacementFile file(path);          // throws FileError when it cannot be created
//   int error = file.commit(bytes);      // 0, or the system's error number
//
// The file that `path` names is the one replaced: a symbolic link is followed to the real
// file and left in place. The new file keeps the old one's permissions and, where the
// process may set them, its owner and group. The temporary file never outlives the object
// unless it was committed.
class ReplacementFile {
public:
    explicit ReplacementFile(const QString& path);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Writes the bytes, syncs them to the disk, puts the file in place of the target and
    // syncs the folder. Returns 0, or the error number of the first step that failed; on a
    // failure before the rename the target is untouched and the temporary file is gone.
    int commit(const std::string& bytes);

private:
    void discard();

    QString target_;
#ifdef Q_OS_WIN
    class QSaveFile* file_ = nullptr;
#else
    int folder_ = -1;
    QByteArray temporaryName_; // in folder_
    int fd_ = -1;
#endif
};
