// A tree of the model catalog: nodes linked to their config classes, moves
// by drag and drop decided by the window, and an in-place edit that the
// window can end.
#pragma once

#include <QTreeWidget>
#include <functional>

namespace mc {

class TRClass;

class TCatalogTree : public QTreeWidget {
public:
    explicit TCatalogTree(QWidget* parent = nullptr);

    // The class a node stands for, and the node of a new class.
    static TRClass* ClassOf(const QTreeWidgetItem* node);
    static void Link(QTreeWidgetItem* node, TRClass* nodeClass);

    // Whether source may be dropped onto target, and the drop itself.
    std::function<bool(QTreeWidgetItem* source, QTreeWidgetItem* target)> CanDrop;
    std::function<void(QTreeWidgetItem* source, QTreeWidgetItem* target)> Drop;

    bool IsEditing() const { return state() == QAbstractItemView::EditingState; }
    // Ends the caption edit, keeping the typed text unless cancelled.
    void EndEdit(bool cancel);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QTreeWidgetItem* DropTarget(const QPoint& at) const;
};

}  // namespace mc
