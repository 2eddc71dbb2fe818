// SPDX-License-Identifier: GPL-3.0-or-later
// What the grid tells the status bar: the whole description of the row under the pointer or
// of the current row, and the note features beside the grid add to it.
#include "key_value_grid.h"

#include "latin1.h"

#include <QApplication>
#include <QMouseEvent>
#include <QStatusTipEvent>

namespace {
constexpr int KeyColumn = 0; // the Details column
} // namespace

void KeyValueGrid::setStatusNote(std::function<QString(int row)> note)
{
    statusNote_ = std::move(note);
}

QString KeyValueGrid::statusNote(int tableRow) const
{
    const bool data = tableRow >= 0 && tableRow < dataRows_ && item(tableRow, KeyColumn);
    return statusNote_ && data ? statusNote_(tableRow + 1) : QString();
}

QString KeyValueGrid::statusText(int tableRow) const
{
    const QTableWidgetItem* cell =
        tableRow >= 0 && tableRow < dataRows_ ? item(tableRow, KeyColumn) : nullptr;
    QString text = cell ? cell->text() : QString();
    const QString note = statusNote(tableRow);
    if (!note.isEmpty())
        text += text.isEmpty() ? note : QStringLiteral("   ") + note;
    return text.isEmpty() ? statusTip() : text;
}

void KeyValueGrid::showCurrentRowStatus()
{
    showStatus(currentRow());
}

void KeyValueGrid::showStatus(int tableRow)
{
    // Travels up to the main window, which puts it in its status bar.
    QStatusTipEvent tip(statusText(tableRow));
    QCoreApplication::sendEvent(this, &tip);
}

void KeyValueGrid::mouseMoveEvent(QMouseEvent* event)
{
    QTableWidget::mouseMoveEvent(event);
    const int row = rowAt(event->position().toPoint().y());
    if (row != hoveredRow_) {
        hoveredRow_ = row;
        showStatus(row);
    }
}

bool KeyValueGrid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Leave)
        hoveredRow_ = -1;
    return QTableWidget::viewportEvent(event);
}
