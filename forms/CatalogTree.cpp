#include "CatalogTree.h"

#include <QDropEvent>

#include "Config/ConfigClass.h"

namespace mc {

TCatalogTree::TCatalogTree(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

TRClass* TCatalogTree::ClassOf(const QTreeWidgetItem* node)
{
    return node ? static_cast<TRClass*>(node->data(0, Qt::UserRole).value<void*>()) : nullptr;
}

void TCatalogTree::Link(QTreeWidgetItem* node, TRClass* nodeClass)
{
    node->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<void*>(nodeClass)));
    nodeClass->TreeNode = node;
}

void TCatalogTree::EndEdit(bool cancel)
{
    if (!IsEditing()) return;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor) return;
    if (!cancel) commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

QTreeWidgetItem* TCatalogTree::DropTarget(const QPoint& at) const { return itemAt(at); }

void TCatalogTree::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->source() == this) event->acceptProposedAction();
    else event->ignore();
}

void TCatalogTree::dragMoveEvent(QDragMoveEvent* event)
{
    QTreeWidget::dragMoveEvent(event);  // scrolling near the edges, the drop indicator
    QTreeWidgetItem* target = DropTarget(event->position().toPoint());
    if (event->source() == this && CanDrop && CanDrop(currentItem(), target)) event->acceptProposedAction();
    else event->ignore();
}

void TCatalogTree::dropEvent(QDropEvent* event)
{
    QTreeWidgetItem* target = DropTarget(event->position().toPoint());
    QTreeWidgetItem* source = currentItem();
    // The window moves the node itself; the view must not.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    if (event->source() == this && CanDrop && Drop && CanDrop(source, target)) Drop(source, target);
}

}  // namespace mc
