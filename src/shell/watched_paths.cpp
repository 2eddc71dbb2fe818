// SPDX-License-Identifier: GPL-3.0-or-later
#include "watched_paths.h"

#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

namespace {

// The file the path names now, links followed; empty when there is none.
QString FileNamedBy(const QString& path)
{
#ifdef Q_OS_WIN
    return QFileInfo(path).canonicalFilePath();
#else
    struct stat file {};
    if (::stat(QFile::encodeName(path).constData(), &file) != 0)
        return {};
    return QStringLiteral("%1:%2").arg(file.st_dev).arg(file.st_ino);
#endif
}

} // namespace

void WatchedPaths::follow(const QStringList& wanted)
{
    if (wanted != followed_) {
        const QStringList watched = watcher_.files() + watcher_.directories();
        if (!watched.isEmpty())
            watcher_.removePaths(watched);
        followed_ = wanted;
        watchedFiles_.clear();
    }
    const QStringList watched = watcher_.files() + watcher_.directories();
    QStringList stale;
    QStringList added;
    for (const QString& path : followed_) {
        const QString named = FileNamedBy(path);
        const bool isWatched = watched.contains(path);
        if (isWatched && named == watchedFiles_.value(path))
            continue;
        if (isWatched)
            stale << path;
        if (!named.isEmpty()) {
            added << path;
            watchedFiles_.insert(path, named);
        }
    }
    if (!stale.isEmpty())
        watcher_.removePaths(stale);
    if (!added.isEmpty())
        watcher_.addPaths(added);
}
