// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/section_controls.h"

#include <QTableWidget>
#include <functional>

// The two-column key/value grid: a fixed key column ("Details") and values edited in
// place ("Value"). It always displays at least one row: when it holds no data row it
// shows one blank row that stands for nothing. Leaving a value cell whose text changed
// (another cell, Enter, or the focus moving away) emits `validate`; an unchanged text
// emits nothing. The user cannot add or delete rows.
//
// The grid never scrolls sideways: the key column takes what the value column and the
// scroll bar leave, and a description too long for it is elided in the middle, so its
// end (often the skill level) stays visible. The whole description of the row under the
// pointer, or of the row that becomes current, goes to the status bar; a screen reader is
// told that a description is read only. Tab and Shift+Tab move between value cells only and
// leave the grid past the last or the first row.
class KeyValueGrid : public QTableWidget, public Grid {
    Q_OBJECT
public:
    explicit KeyValueGrid(QWidget* parent = nullptr);

    int rowCount() const override;
    void deleteRow(int row) override;
    void insertTop(const std::string& key, const std::string& value) override;

    std::string key(int row) const; // data row, counted from 1
    std::string value(int row) const;
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }
    // Ends an edit in progress, committing its text as leaving the cell would.
    void commitPendingEdit();

    // What the status bar says of a data row after its description (empty: nothing);
    // features beside the grid add to the description here.
    void setStatusNote(std::function<QString(int row)> note);
    // The status bar text of a table row: its whole description and note, or the grid's
    // own hint for a row that describes nothing.
    QString statusText(int tableRow) const;
    // What the status bar says of a table row after its description (empty: nothing).
    QString statusNote(int tableRow) const;
    // Shows the status text of the current row again (after its note changed).
    void showCurrentRowStatus();

signals:
    // Arguments as the window's validate handler takes them: column, data row, key, value.
    void validate(int column, int row, const std::string& keyName, const std::string& keyValue);
    // The editor of a value cell closed, its text committed or dropped.
    void editorClosed();

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    friend class ValueDelegate;
    void committed(int tableRow, const QString& oldText, const QString& newText);
    void showPlaceholderIfEmpty();
    void showStatus(int tableRow);
    bool focusInside() const;

    int dataRows_ = 0;
    int hoveredRow_ = -1;
    std::function<QString(int)> statusNote_;
};
