// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>

// The few things of the window that the core reaches. The window implements them;
// tests and the command-line tool put their own in place. The chooser and the grid are
// beside the section procedure that uses them (editing/section_controls.h).

// Modal message boxes with one OK button.
class Messages {
public:
    virtual ~Messages() = default;
    virtual void error(const QString& text) = 0;       // title "Error", error icon
    virtual void warning(const QString& text) = 0;     // title "Warning", warning icon
    virtual void information(const QString& text) = 0; // title "Information", information icon
    virtual void plain(const QString& text) = 0;       // application title, no icon
    virtual void
    report(const QString& text) = 0; // general error report: application title, error icon
    // A question in a warning box with Yes and No, No the default: true for Yes. Where no
    // one can answer, the answer is No.
    virtual bool ask(const QString& text)
    {
        warning(text);
        return false;
    }
    // The answer to the question asked before closing with edits that are not saved.
    enum class Closing { Save, DontSave, Cancel };
    // A question in a warning box with Save, Don't Save and Cancel; Escape cancels. Where
    // no one can answer, nothing is thrown away: the answer is Cancel.
    virtual Closing askBeforeClosing(const QString& text)
    {
        warning(text);
        return Closing::Cancel;
    }
};

// The progress bar that every load and write moves.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void setMaximum(int maximum) = 0;
    virtual void stepIt() = 0;
    virtual void setPosition(int position) = 0;
    virtual int position() const = 0;
};
