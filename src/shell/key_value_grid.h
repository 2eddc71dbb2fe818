#pragma once

#include "documents/interfaces.h"

#include <QTableWidget>

// The two-column key/value grid: a fixed key column ("Details") and values edited in
// place ("Value"). It always displays at least one row: when it holds no data row it
// shows one blank row that stands for nothing. Leaving a value cell whose text changed
// (another cell, Enter, or the focus moving away) emits `validate`; an unchanged text
// emits nothing. The user cannot add or delete rows.
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

signals:
    // Arguments as the window's validate handler takes them: column, data row, key, value.
    void validate(int column, int row, const std::string& keyName, const std::string& keyValue);

private:
    friend class ValueDelegate;
    void committed(int tableRow, const QString& oldText, const QString& newText);
    void showPlaceholderIfEmpty();

    int dataRows_ = 0;
};
