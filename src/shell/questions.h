// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// A question of the window in a Warning box whose buttons say what each answer does
// ("Launch without saving", "Keep mine"). Tests answer it with a stand-in.
class Questions {
public:
    virtual ~Questions() = default;
    // Asks `text` with one button for each of `answers`, in that order, `preferred` the
    // default; Escape gives the last answer. Returns the index of the answer given.
    virtual int choose(const QString& text, const QStringList& answers, int preferred) = 0;
};
