// SPDX-License-Identifier: GPL-3.0-or-later
#include "app_state.h"

#include <QDir>

TextBuffer& AppState::buffer(Tab tab)
{
    switch (tab) {
    case Tab::CarSettings:
        return Memo1;
    case Tab::Pedestrians:
        return PedMemo;
    case Tab::Miscellaneous:
        return MiscMemo;
    case Tab::APO:
        break;
    }
    return APOMemo;
}

const TextBuffer& AppState::buffer(Tab tab) const
{
    return const_cast<AppState*>(this)->buffer(tab);
}

QString AppState::workFile(const QString& name) const
{
    return WorkDir.isEmpty() ? name : QDir(WorkDir).filePath(name);
}

void AppState::clearRowTable()
{
    for (int n = 1; n <= RowTableSize; ++n) {
        RowLines[n] = 0;
        RowKeys[n].clear();
    }
}
