// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/app_state.h"

#include <optional>
#include <string>
#include <vector>

// What an edit does to the documents, told by the operation that makes it, so that it can
// be made, taken back and made again without looking at the documents.

// One line of one document as a change leaves it.
struct LineChange {
    TuningFile file;
    int line;
    std::string before;
    std::string after;
};

// One document filled anew (from a reference copy, or from the file another program
// changed): every line it held and holds, and what Tunedeck had last read or written of
// the file before and after, which goes with the lines.
struct DocumentChange {
    TuningFile file;
    std::vector<std::string> before;
    std::vector<std::string> after;
    std::optional<FileStamp> stampBefore;
    std::optional<FileStamp> stampAfter;
};

// The lines and the whole documents one operation changes, in the order it changes them.
struct DocumentEdit {
    std::vector<LineChange> lines;
    std::vector<DocumentChange> documents;

    // Whether anything reads differently: a value committed as it stood changes no text.
    bool changesText() const;
};

// Puts back what the edit replaced, the last change first.
void TakeBack(AppState& state, const DocumentEdit& edit);
// Makes the edit over what it replaces.
void MakeAgain(AppState& state, const DocumentEdit& edit);
