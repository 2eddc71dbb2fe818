// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTreeWidget>

// A tree of folders only, from the top of the file system down ("/" here, the drives
// on Windows), filled lazily as folders are unfolded, scrolling sideways to names that
// do not fit. It gives the path of the selected
// folder, selects a folder by path (unfolding the tree down to it) and reports clicks.
// A screen reader hears each folder's level with its name, a folder unfolded or folded by
// key, and the selected folder's whole path when the tree takes the focus.
class FolderTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    // The selected folder's path, or an empty text when none is selected.
    QString selectedPath() const;
    // Selects the folder; returns false (selecting nothing new) when it is not in the tree.
    bool selectPath(const QString& path);

signals:
    // A click (either button) that has selected a folder, or a folder selected with the
    // keyboard.
    void folderClicked();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QTreeWidgetItem* addFolder(QTreeWidgetItem* parent, const QString& name, const QString& path);
    void fill(QTreeWidgetItem* item);
    // Says a folder unfolded or folded while the tree has the focus.
    void sayFolded(QTreeWidgetItem* item, bool expanded);
};
