// SPDX-License-Identifier: GPL-3.0-or-later
#include "key_value_grid.h"

#include "accessibility.h"
#include "focus_announcements.h"
#include "latin1.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStatusTipEvent>
#include <QStyledItemDelegate>

namespace {
constexpr int KeyColumn = 0;
constexpr int ValueColumn = 1;
constexpr int ValueColumnWidth = 61;
} // namespace

// Commits the editor's text into the cell and tells the grid what changed.
class ValueDelegate : public QStyledItemDelegate {
public:
    explicit ValueDelegate(KeyValueGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setAccessibleName(QStringLiteral("Value of ") +
                                  index.siblingAtColumn(KeyColumn).data().toString());
        return editor;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        const QString oldText = index.data(Qt::EditRole).toString();
        const QString newText = static_cast<QLineEdit*>(editor)->text();
        model->setData(index, newText, Qt::EditRole);
        grid_->committed(index.row(), oldText, newText);
    }

private:
    KeyValueGrid* grid_;
};

// A value cell: a screen reader tells with the value what the status bar adds to its row's
// Details text, which it has already said with the row.
class ValueCell : public QTableWidgetItem {
public:
    using QTableWidgetItem::QTableWidgetItem;
    QVariant data(int role) const override
    {
        if (role == Qt::AccessibleDescriptionRole && tableWidget())
            return static_cast<const KeyValueGrid*>(tableWidget())->statusNote(row());
        return QTableWidgetItem::data(role);
    }
};

KeyValueGrid::KeyValueGrid(QWidget* parent) : QTableWidget(0, 2, parent)
{
    setHorizontalHeaderLabels({QStringLiteral("Details"), QStringLiteral("Value")});
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    // The value column keeps its width; the key column has the rest of the view, so
    // nothing lies beyond the right edge and the grid has nowhere to scroll sideways.
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setSectionResizeMode(KeyColumn, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(ValueColumn, QHeaderView::Fixed);
    horizontalHeader()->resizeSection(ValueColumn, ValueColumnWidth);
    horizontalHeader()->setHighlightSections(false);
    setTextElideMode(Qt::ElideMiddle);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setItemDelegateForColumn(ValueColumn, new ValueDelegate(this));
    setMouseTracking(true);
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (focusInside())
            showStatus(row);
    });
    showPlaceholderIfEmpty();
}

int KeyValueGrid::rowCount() const
{
    return dataRows_;
}

void KeyValueGrid::deleteRow(int row)
{
    if (row < 1 || row > dataRows_)
        return;
    removeRow(row - 1);
    --dataRows_;
    showPlaceholderIfEmpty();
}

void KeyValueGrid::insertTop(const std::string& key, const std::string& value)
{
    if (dataRows_ == 0)
        setRowCount(0); // the placeholder goes
    insertRow(0);
    auto* keyItem = new QTableWidgetItem(FromLatin1(key));
    keyItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    keyItem->setData(Qt::AccessibleDescriptionRole, QStringLiteral("read only"));
    setItem(0, KeyColumn, keyItem);
    setItem(0, ValueColumn, new ValueCell(FromLatin1(value)));
    ++dataRows_;
}

std::string KeyValueGrid::key(int row) const
{
    const QTableWidgetItem* cell =
        row >= 1 && row <= dataRows_ ? item(row - 1, KeyColumn) : nullptr;
    return cell ? ToLatin1(cell->text()) : std::string();
}

std::string KeyValueGrid::value(int row) const
{
    const QTableWidgetItem* cell =
        row >= 1 && row <= dataRows_ ? item(row - 1, ValueColumn) : nullptr;
    return cell ? ToLatin1(cell->text()) : std::string();
}

void KeyValueGrid::commitPendingEdit()
{
    if (!isEditing())
        return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void KeyValueGrid::committed(int tableRow, const QString& oldText, const QString& newText)
{
    if (oldText == newText || tableRow >= dataRows_)
        return;
    emit validate(1, tableRow + 1, key(tableRow + 1), ToLatin1(newText));
}

void KeyValueGrid::showPlaceholderIfEmpty()
{
    if (dataRows_ > 0)
        return;
    setRowCount(1);
    auto* keyItem = new QTableWidgetItem;
    keyItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    setItem(0, KeyColumn, keyItem);
    setItem(0, ValueColumn, new QTableWidgetItem);
}

bool KeyValueGrid::focusInside() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

// Tab and Shift+Tab go from value cell to value cell; past the last or the first row
// there is no next cell, and the focus leaves the grid.
QModelIndex KeyValueGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    if (cursorAction != MoveNext && cursorAction != MovePrevious)
        return QTableWidget::moveCursor(cursorAction, modifiers);
    const QModelIndex current = currentIndex();
    int row = current.isValid() ? current.row() : -1;
    if (cursorAction == MoveNext) {
        if (!current.isValid() || current.column() == ValueColumn)
            ++row;
    } else {
        --row;
    }
    if (row < 0 || row >= QTableWidget::rowCount())
        return {};
    return model()->index(row, ValueColumn);
}

void KeyValueGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool forward = hint == QAbstractItemDelegate::EditNextItem;
    const bool leaving = (forward || hint == QAbstractItemDelegate::EditPreviousItem) &&
                         !moveCursor(forward ? MoveNext : MovePrevious, Qt::NoModifier).isValid();
    QTableWidget::closeEditor(editor, leaving ? QAbstractItemDelegate::NoHint : hint);
    if (leaving)
        QAbstractScrollArea::focusNextPrevChild(forward);
    emit editorClosed();
}

void KeyValueGrid::focusInEvent(QFocusEvent* event)
{
    // Coming in by Tab lands on the first value cell, by Shift+Tab on the last.
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
        const int row = event->reason() == Qt::TabFocusReason ? 0 : QTableWidget::rowCount() - 1;
        setCurrentCell(row, ValueColumn);
    }
    QTableWidget::focusInEvent(event);
    showStatus(currentRow());
    // Coming back from its editor or a message box too: the cell, with the value it now
    // holds, is what a screen reader says, not only the grid.
    AnnounceCurrentCell(this);
}

void KeyValueGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        // Not a key that starts an edit: the next value cell, or (ignored) out of the grid.
        const QModelIndex next =
            moveCursor(event->key() == Qt::Key_Tab ? MoveNext : MovePrevious, event->modifiers());
        if (next.isValid())
            setCurrentIndex(next);
        else
            event->ignore();
        return;
    }
    QTableWidget::keyPressEvent(event);
}
