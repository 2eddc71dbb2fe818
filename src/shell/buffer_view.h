// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>
#include <cstdint>

class GameDocument;

// A text view showing one document, a document line to a view line, unwrapped, in a
// font whose characters are one width each, with a tab stop every 8 characters. The user's
// typing goes back into the document, line by line: only the lines an edit touched are
// taken back. A change of the document from elsewhere (the grid, another view of it, an
// undo) changes the view's lines it touched, the cursor staying where it is. Bytes the text
// document would change (a lone CR would break the line, a no-break space would come back as a
// blank, a NUL would be dropped) are shown by a visible stand-in and mapped back.
class BufferView : public QPlainTextEdit {
    Q_OBJECT
public:
    BufferView(GameDocument& document, QWidget* parent = nullptr);

    // Shows the whole document again if it changed since the view last showed it. A hidden
    // view waits until it is shown.
    void refresh();

    static QString ToViewText(const std::string& line);
    static std::string FromViewText(const QString& text);

    void setVisible(bool visible) override;

    // Whether the blank and the letters and digits a game file holds take one width each.
    static bool HasEvenAdvances(const QFont& font);
    // The font itself when it has even advances, else the first installed family at its
    // size that has.
    static QFont EvenFont(const QFont& preferred);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void takeBackEdit(int position, int removed, int added);
    void documentChanged(int first, int removed, int added);
    void takeFixedFont();

    GameDocument& document_;
    std::uint64_t shownRevision_ = ~std::uint64_t(0);
    int shownBlockCount_ = 0;
    bool refreshing_ = false;
};
