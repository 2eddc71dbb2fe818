// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_wrap.h"

namespace {
bool IsBreakChar(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('-') || c == QLatin1Char('\t');
}
} // namespace

QString WrapText(const QString& text, int maxColumn)
{
    QString result;
    int lineStart = 0;
    int breakAt = -1; // index of the last break character of the current line
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n')) {
            result += text.mid(lineStart, i + 1 - lineStart);
            lineStart = i + 1;
            breakAt = -1;
            continue;
        }
        if (i + 1 - lineStart > maxColumn && breakAt >= lineStart) {
            result += text.mid(lineStart, breakAt + 1 - lineStart) + QLatin1String("\r\n");
            lineStart = breakAt + 1;
            breakAt = -1;
            // A break is never inside quotes, so the new line starts outside them;
            // scan it again from its start.
            quoted = false;
            i = lineStart - 1;
            continue;
        }
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && IsBreakChar(c))
            breakAt = i;
    }
    result += text.mid(lineStart);
    return result;
}
