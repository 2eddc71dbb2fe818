// SPDX-License-Identifier: GPL-3.0-or-later
#include "buffer_view.h"

#include "documents/game_document.h"

#include <QFontDatabase>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// Stand-ins in the private use area, one for each byte that would not survive the view.
constexpr char16_t StandInBase = 0xE000;
constexpr int TabStopCharacters = 8;

bool NeedsStandIn(unsigned char byte)
{
    return byte == 0x00 || byte == '\r' || byte == 0xA0;
}

} // namespace

BufferView::BufferView(GameDocument& shown, QWidget* parent)
    : QPlainTextEdit(parent), document_(shown)
{
    connect(&shown, &GameDocument::linesChanged, this, &BufferView::documentChanged);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(document(), &QTextDocument::contentsChange, this, &BufferView::takeBackEdit);
    refresh();
}

QString BufferView::ToViewText(const std::string& line)
{
    QString text;
    text.reserve(static_cast<qsizetype>(line.size()));
    for (unsigned char byte : line)
        text += NeedsStandIn(byte) ? QChar(char16_t(StandInBase + byte)) : QChar(char16_t(byte));
    return text;
}

std::string BufferView::FromViewText(const QString& text)
{
    std::string line;
    line.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        const char16_t code = c.unicode();
        if (code >= StandInBase && code <= StandInBase + 0xFF &&
            NeedsStandIn(static_cast<unsigned char>(code - StandInBase)))
            line += static_cast<char>(code - StandInBase);
        else if (code == QChar::Nbsp)
            line += '\xA0';
        else
            line += code <= 0xFF ? static_cast<char>(code) : '?';
    }
    return line;
}

void BufferView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        setTabStopDistance(TabStopCharacters *
                           QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')));
    QPlainTextEdit::changeEvent(event);
}

void BufferView::takeFixedFont()
{
    // Game files line up their comments with TABs, as a text editor shows them. The font
    // is taken when the view is first made visible: most views never are, and loading a
    // font costs more than building the view.
    if (testAttribute(Qt::WA_SetFont))
        return;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::TypeWriter);
    // The size of the window's own font, so the views neither outgrow nor undercut it.
    if (window() != this && window()->font().pointSizeF() > 0)
        fixed.setPointSizeF(window()->font().pointSizeF());
    setFont(EvenFont(fixed));
}

bool BufferView::HasEvenAdvances(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int blank = metrics.horizontalAdvance(QLatin1Char(' '));
    for (const char c : {'i', 'W', '0'})
        if (metrics.horizontalAdvance(QLatin1Char(c)) != blank)
            return false;
    return true;
}

QFont BufferView::EvenFont(const QFont& preferred)
{
    // A desktop's fixed font is not always fixed: fontconfig may give a proportional one
    // for "monospace", or a family that says it is not fixed while it is. What counts is
    // the width of each character; the first family found that gives each the same wins.
    if (HasEvenAdvances(preferred))
        return preferred;
    QFont candidate = preferred;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Latin)) {
        candidate.setFamilies({family});
        if (HasEvenAdvances(candidate))
            return candidate;
    }
    return preferred; // none here has: the desktop's choice stays
}

void BufferView::setVisible(bool visible)
{
    if (visible)
        takeFixedFont();
    QPlainTextEdit::setVisible(visible);
    if (visible)
        refresh(); // what changed while it was hidden
}

void BufferView::showEvent(QShowEvent* event)
{
    takeFixedFont();
    refresh();
    QPlainTextEdit::showEvent(event);
}

void BufferView::refresh()
{
    if (shownRevision_ == document_.revision() || isHidden())
        return;
    QStringList lines;
    lines.reserve(document_.count());
    for (const std::string& line : document_.lines())
        lines << ToViewText(line);
    refreshing_ = true;
    setPlainText(lines.join(QLatin1Char('\n')));
    refreshing_ = false;
    shownRevision_ = document_.revision();
    shownBlockCount_ = document()->blockCount();
}

void BufferView::documentChanged(int first, int removed, int added)
{
    if (refreshing_)
        return; // the view's own typing
    if (isHidden() || removed != added) {
        refresh(); // a hidden view, or lines that moved: shown whole when seen
        return;
    }
    // Lines changed in place: only their blocks change, the cursor stays. As when the
    // whole text is set, the view's own undo does not reach back over the change.
    refreshing_ = true;
    document()->setUndoRedoEnabled(false);
    QTextCursor cursor(document()->findBlockByNumber(first));
    for (int line = first; line < first + added && cursor.block().isValid(); ++line) {
        cursor.movePosition(QTextCursor::StartOfBlock);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(ToViewText(document_.line(line)));
        cursor.movePosition(QTextCursor::NextBlock);
    }
    document()->setUndoRedoEnabled(true);
    refreshing_ = false;
    shownRevision_ = document_.revision();
}

void BufferView::takeBackEdit(int position, int /*removed*/, int added)
{
    if (refreshing_)
        return;
    QTextDocument* doc = document();
    const int blockCount = doc->blockCount();
    const int first = doc->findBlock(position).blockNumber();
    QTextBlock lastBlock = doc->findBlock(position + added);
    const int last = lastBlock.isValid() ? lastBlock.blockNumber() : blockCount - 1;
    const int oldLast = last - (blockCount - shownBlockCount_);

    std::vector<std::string> lines;
    for (QTextBlock block = doc->findBlockByNumber(first); block.isValid(); block = block.next()) {
        lines.push_back(FromViewText(block.text()));
        if (block.blockNumber() == last)
            break;
    }
    if (document_.empty() && blockCount == 1 && lines == std::vector<std::string>{""}) {
        shownBlockCount_ = blockCount; // an empty view is an empty buffer
        return;
    }
    // The document's change comes back to this view as done already.
    refreshing_ = true;
    if (blockCount == 1 && doc->isEmpty())
        document_.clear();
    else
        document_.replaceLines(first, oldLast - first + 1, std::move(lines));
    refreshing_ = false;
    shownRevision_ = document_.revision();
    shownBlockCount_ = blockCount;
}
