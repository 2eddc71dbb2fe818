// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls.h"

#include "latin1.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <QStyleOptionProgressBar>
#include <QStylePainter>
#include <algorithm>

ProgressBar::ProgressBar(QWidget* parent) : QProgressBar(parent)
{
    setTextVisible(false);
    setMinimum(0);
    setValue(0);
}

namespace {
constexpr qint64 FrameMilliseconds = 16;
constexpr int ToldSteps = 20;
} // namespace

void ProgressBar::setMaximum(int maximum)
{
    QProgressBar::setValue(position_);
    QProgressBar::setMaximum(maximum);
    position_ = value(); // a position beyond the new maximum starts again, as Qt does it
}

void ProgressBar::stepIt()
{
    // Like a native progress bar, a step past the maximum starts again from the minimum.
    position_ = position_ >= maximum() ? minimum() : position_ + 1;
    if (isVisible())
        drawPosition();
}

void ProgressBar::setPosition(int position)
{
    position_ = position;
    QProgressBar::setValue(position);
}

void ProgressBar::showEvent(QShowEvent* event)
{
    QProgressBar::setValue(position_);
    QProgressBar::showEvent(event);
}

void ProgressBar::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    option.progress = position_;
    painter.drawControl(QStyle::CE_ProgressBar, option);
}

bool ProgressBar::toldStep() const
{
    const int step = std::max(1, (maximum() - minimum()) / ToldSteps);
    return position_ <= minimum() || position_ >= maximum() || (position_ - minimum()) % step == 0;
}

void ProgressBar::drawPosition()
{
    // Each QProgressBar::setValue tells a screen reader; only the told steps change it.
    if (toldStep())
        QProgressBar::setValue(position_);
    // A repaint within a frame of the last one waits for the next paint.
    if (sinceDrawn_.isValid() && sinceDrawn_.elapsed() < FrameMilliseconds) {
        update();
        return;
    }
    repaint();
    sinceDrawn_.start();
}

SectionChooser::SectionChooser(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(this, &QComboBox::activated, this, &SectionChooser::changed);
    connect(lineEdit(), &QLineEdit::textEdited, this, &SectionChooser::textEdited);
}

void SectionChooser::textEdited(const QString& text)
{
    {
        const QSignalBlocker blocker(this);
        const int cursor = lineEdit()->cursorPosition();
        setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        setEditText(text);
        lineEdit()->setCursorPosition(cursor);
    }
    emit changed();
}

void SectionChooser::clearSelection()
{
    // Setting the index, even to the one it has, replaces the text: a chooser without a
    // selection keeps its text only if it is left alone.
    if (currentIndex() == -1)
        return;
    const QSignalBlocker blocker(this);
    setCurrentIndex(-1);
    setEditText(QString());
}

void SectionChooser::setText(const std::string& text)
{
    const QSignalBlocker blocker(this);
    setEditText(FromLatin1(text));
}
