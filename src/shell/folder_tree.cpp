// SPDX-License-Identifier: GPL-3.0-or-later
#include "folder_tree.h"

#include "outcome_voice.h"

#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace {
constexpr int PathRole = Qt::UserRole;
constexpr int FilledRole = Qt::UserRole + 1;

QString PathOf(const QTreeWidgetItem* item)
{
    return item->data(0, PathRole).toString();
}

} // namespace

FolderTree::FolderTree(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setHeaderLabel(QStringLiteral("Folder")); // never shown; what a screen reader calls the column
    setSelectionMode(QAbstractItemView::SingleSelection);
    // The column is as wide as its widest unfolded name, so a deep folder is reached by
    // the horizontal scroll bar instead of being cut to nothing.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(this, &QTreeWidget::itemExpanded, this, &FolderTree::fill);
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { sayFolded(item, true); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { sayFolded(item, false); });
    connect(this, &QTreeWidget::itemClicked, this, [this] { emit folderClicked(); });
    for (const QFileInfo& drive : QDir::drives()) {
        const QString path = QDir::toNativeSeparators(drive.absoluteFilePath());
        QTreeWidgetItem* root = addFolder(nullptr, path, path);
        if (QDir::drives().size() == 1)
            root->setExpanded(true);
    }
}

QTreeWidgetItem* FolderTree::addFolder(QTreeWidgetItem* parent, const QString& name,
                                       const QString& path)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    static const QFileIconProvider icons;
    item->setText(0, name);
    item->setIcon(0, icons.icon(QFileIconProvider::Folder));
    item->setData(0, PathRole, path);
    item->setData(0, FilledRole, false);
    int level = 1;
    for (const QTreeWidgetItem* above = parent; above; above = above->parent())
        ++level;
    item->setData(0, Qt::AccessibleDescriptionRole, QStringLiteral("level %1").arg(level));
    // Whether a folder has subfolders is learnt when it is unfolded, not before: listing
    // every folder of a big tree up front costs more than the tree is worth.
    item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

void FolderTree::fill(QTreeWidgetItem* item)
{
    if (item->data(0, FilledRole).toBool())
        return;
    item->setData(0, FilledRole, true);
    const QString path = PathOf(item);
    const QStringList names = QDir(path).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                                                   QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names)
        addFolder(item, name, QDir::toNativeSeparators(QDir(path).filePath(name)));
    if (names.isEmpty())
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

QString FolderTree::selectedPath() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? QString() : PathOf(selected.first());
}

bool FolderTree::selectPath(const QString& path)
{
    const QString wanted = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QTreeWidgetItem* found = nullptr;
    for (int i = 0; i < topLevelItemCount() && !found; ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        const QString rootPath = QDir::cleanPath(QDir::fromNativeSeparators(PathOf(item)));
        if (!wanted.startsWith(rootPath, Qt::CaseInsensitive))
            continue;
        const QStringList names =
            wanted.mid(rootPath.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        for (const QString& name : names) {
            fill(item);
            QTreeWidgetItem* next = nullptr;
            for (int c = 0; c < item->childCount() && !next; ++c)
                if (item->child(c)->text(0) == name)
                    next = item->child(c);
            if (!next) {
                item = nullptr;
                break;
            }
            item->setExpanded(true);
            item = next;
        }
        found = item;
    }
    if (!found)
        return false;
    setCurrentItem(found);
    found->setSelected(true);
    // A tree not on screen scrolls to its current folder when it is shown; scrolling now
    // would measure every unfolded folder's name, which showing does again.
    if (isVisible())
        scrollToItem(found);
    return true;
}

void FolderTree::sayFolded(QTreeWidgetItem* item, bool expanded)
{
    if (hasFocus() && item == currentItem())
        SayOutcome(this, expanded ? QStringLiteral("expanded") : QStringLiteral("collapsed"));
}

void FolderTree::focusInEvent(QFocusEvent* event)
{
    QTreeWidget::focusInEvent(event);
    // After the folder the focus lands on is said, as the last words.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus() && !selectedPath().isEmpty())
            SayOutcome(this, QStringLiteral("Selected folder: ") + selectedPath());
    });
}

void FolderTree::keyPressEvent(QKeyEvent* event)
{
    // A folder chosen with the keyboard counts as a click on it.
    QTreeWidgetItem* before = currentItem();
    QTreeWidget::keyPressEvent(event);
    if (currentItem() != before && currentItem() && currentItem()->isSelected())
        emit folderClicked();
}

void FolderTree::mousePressEvent(QMouseEvent* event)
{
    // A right click selects the folder under the pointer too.
    if (event->button() == Qt::RightButton) {
        if (QTreeWidgetItem* item = itemAt(event->position().toPoint())) {
            setCurrentItem(item);
            emit folderClicked();
            return;
        }
    }
    QTreeWidget::mousePressEvent(event);
}
