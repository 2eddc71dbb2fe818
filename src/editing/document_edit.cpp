// SPDX-License-Identifier: GPL-3.0-or-later
#include "document_edit.h"

#include <algorithm>

bool DocumentEdit::changesText() const
{
    return std::any_of(lines.begin(), lines.end(),
                       [](const LineChange& change) { return change.before != change.after; }) ||
           std::any_of(documents.begin(), documents.end(), [](const DocumentChange& change) {
               return change.before != change.after || change.stampBefore != change.stampAfter;
           });
}

void TakeBack(AppState& state, const DocumentEdit& edit)
{
    for (auto change = edit.documents.rbegin(); change != edit.documents.rend(); ++change) {
        state.document(change->file).assign(change->before);
        state.document(change->file).setStamp(change->stampBefore);
    }
    for (auto change = edit.lines.rbegin(); change != edit.lines.rend(); ++change)
        state.document(change->file).setLine(change->line, change->before);
}

void MakeAgain(AppState& state, const DocumentEdit& edit)
{
    for (const LineChange& change : edit.lines)
        state.document(change.file).setLine(change.line, change.after);
    for (const DocumentChange& change : edit.documents) {
        state.document(change.file).assign(change.after);
        state.document(change.file).setStamp(change.stampAfter);
    }
}
