// SPDX-License-Identifier: GPL-3.0-or-later
#include "watch_texts.h"

#include "documents/game_file_reading.h"
#include "documents/reference_copies.h"

QString NotReadText(TuningFile file, const GameFileRead& read)
{
    const QString name = QLatin1String(GameFileName(file));
    switch (read.outcome) {
    case ReadOutcome::Missing:
        return QStringLiteral("%1 was removed by another program; the tabs keep what they hold.")
            .arg(name);
    case ReadOutcome::ReadError:
        return QStringLiteral("%1 was changed by another program and could not be read: %2")
            .arg(name, read.systemText);
    case ReadOutcome::TooLarge:
    case ReadOutcome::WrongLineCount:
    case ReadOutcome::Loaded:
        break;
    }
    return QStringLiteral("%1 was changed by another program and no longer has its %2 lines; "
                          "it was not read.")
        .arg(name)
        .arg(LineCountOf(file));
}
