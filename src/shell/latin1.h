// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>

// Buffer text is bytes; widgets show it as Latin-1, the one conversion that gives every
// byte back unchanged.
inline QString FromLatin1(const std::string& bytes)
{
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string ToLatin1(const QString& text)
{
    return text.toLatin1().toStdString();
}
