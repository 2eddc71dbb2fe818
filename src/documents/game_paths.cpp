// SPDX-License-Identifier: GPL-3.0-or-later
#include "game_paths.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool IsSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QDir::separator();
}

int LastSeparator(const QString& path)
{
    for (int i = path.size() - 1; i >= 0; --i)
        if (IsSeparator(path[i]))
            return i;
    return -1;
}

// The single entry of `folder` whose name equals `name` without regard to case.
QString CaseInsensitiveMatch(const QString& folder, const QString& name)
{
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot);
    QString match;
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!match.isNull())
            return {};
        match = entry;
    }
    return match;
}

} // namespace

QString GameFilePath(const QString& gameDir, const QString& relative)
{
    const QString separator = QDir::separator();
    QString path = QDir::toNativeSeparators(gameDir);
    for (const QString& component : relative.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        const QString folder = path.isEmpty() ? separator : path;
        QString name = component;
        if (!QFileInfo::exists(path + separator + name)) {
            const QString match = CaseInsensitiveMatch(folder, name);
            if (!match.isEmpty())
                name = match;
        }
        path += separator + name;
    }
    return path;
}

bool FileExists(const QString& path)
{
    // A regular file only: a folder, a named pipe or a device is no game file (opening a
    // pipe would wait for a writer for ever).
    return !path.isEmpty() && QFileInfo(path).isFile();
}

QString DirectoryOf(const QString& path)
{
    const int at = LastSeparator(path);
    return at < 0 ? QString() : path.left(at);
}

QString ExtensionOf(const QString& path)
{
    const QString name = path.mid(LastSeparator(path) + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

QString SiblingPath(const QString& path, const QString& fileName)
{
    return DirectoryOf(path) + QDir::separator() + fileName;
}
