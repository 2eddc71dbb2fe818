// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_kind.h"

#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

FileKind KindOfFile(const QString& path)
{
#ifdef Q_OS_WIN
    const QFileInfo file(path);
    if (!file.exists())
        return FileKind::Nothing;
    return file.isDir() ? FileKind::Folder : file.isFile() ? FileKind::Regular : FileKind::Other;
#else
    // Looked at, never opened: opening a FIFO would wait for a writer.
    struct stat file {};
    if (::stat(QFile::encodeName(path).constData(), &file) != 0)
        return FileKind::Nothing;
    if (S_ISREG(file.st_mode))
        return FileKind::Regular;
    if (S_ISDIR(file.st_mode))
        return FileKind::Folder;
    if (S_ISFIFO(file.st_mode))
        return FileKind::Fifo;
    if (S_ISCHR(file.st_mode) || S_ISBLK(file.st_mode))
        return FileKind::Device;
    return FileKind::Other;
#endif
}
