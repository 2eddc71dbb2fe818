// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class QFileSystemWatcher;

// Keeps a watcher on the files and folders wanted, each on the file its path names now. The
// system watches the file that a path named when it was added (a link followed then), so a
// path that names another file since (replaced by a rename, a link made, removed or led
// elsewhere) is watched anew; else the changes of the new file would never be seen.
class WatchedPaths {
public:
    explicit WatchedPaths(QFileSystemWatcher& watcher) : watcher_(watcher) {}

    // Watches the paths that exist among `wanted`, and only those.
    void follow(const QStringList& wanted);

private:
    QFileSystemWatcher& watcher_;
    QStringList followed_;
    QHash<QString, QString> watchedFiles_; // by path: the file it named when it was added
};
