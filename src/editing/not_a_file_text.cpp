// SPDX-License-Identifier: GPL-3.0-or-later
#include "not_a_file_text.h"

#include "documents/file_kind.h"

#include <QFileInfo>

std::optional<QString> NotARegularFileText(const QString& path)
{
    QString what;
    switch (KindOfFile(path)) {
    case FileKind::Nothing:
    case FileKind::Regular:
        return std::nullopt;
    case FileKind::Folder:
        what = QStringLiteral("a folder");
        break;
    case FileKind::Fifo:
        what = QStringLiteral("a FIFO (named pipe)");
        break;
    case FileKind::Device:
        what = QStringLiteral("a device");
        break;
    case FileKind::Other:
        what = QStringLiteral("a special file");
        break;
    }
    const QFileInfo file(path);
    if (file.isSymLink())
        what = QStringLiteral("a link to ") + what;
    return QStringLiteral("%1 is no longer a regular file: %2 stands in its place. Nothing was "
                          "written.")
        .arg(file.fileName(), what);
}
