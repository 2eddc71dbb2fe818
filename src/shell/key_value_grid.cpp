#include "key_value_grid.h"

#include "latin1.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

// Commits the editor's text into the cell and tells the grid what changed.
class ValueDelegate : public QStyledItemDelegate {
public:
    explicit ValueDelegate(KeyValueGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

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

KeyValueGrid::KeyValueGrid(QWidget* parent) : QTableWidget(0, 2, parent)
{
    setHorizontalHeaderLabels({QStringLiteral("Details"), QStringLiteral("Value")});
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    setColumnWidth(0, 398);
    setColumnWidth(1, 61);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setItemDelegateForColumn(1, new ValueDelegate(this));
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
    setItem(0, 0, keyItem);
    setItem(0, 1, new QTableWidgetItem(FromLatin1(value)));
    ++dataRows_;
}

std::string KeyValueGrid::key(int row) const
{
    const QTableWidgetItem* cell = row >= 1 && row <= dataRows_ ? item(row - 1, 0) : nullptr;
    return cell ? ToLatin1(cell->text()) : std::string();
}

std::string KeyValueGrid::value(int row) const
{
    const QTableWidgetItem* cell = row >= 1 && row <= dataRows_ ? item(row - 1, 1) : nullptr;
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
    setItem(0, 0, keyItem);
    setItem(0, 1, new QTableWidgetItem);
}
