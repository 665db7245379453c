// The main window's tree: one branch per LOD with its vertices, polygons,
// textures, proxies, components, animation frames and properties. A click
// selects the LOD (and proxy or component) in the model document and asks
// for the page that shows the node.
#pragma once

#include <QTreeWidget>

namespace mc {

class TModelDocument;

// Kinds of the tree's nodes (stored as each node's kind and icon).
enum TNodeKind : int {
    NodeNone = 0,
    NodeLODs = 1,
    NodeLOD = 2,
    NodeVertices = 3,
    NodePolygons = 4,
    NodeTextures = 5,
    NodeProxies = 6,
    NodeProxy = 7,
    NodeProxyVertices = 8,
    NodeProxyPolygons = 9,
    NodeComponents = 10,
    NodeComponent = 11,
    NodeComponentVertices = 12,
    NodeComponentPolygons = 13,
    NodeAnimation = 14,
    NodeProperties = 15,
    NodeGeneral = 16,
};

class TMainTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit TMainTree(TModelDocument& document, QWidget* parent = nullptr);

    static int NodeKind(const QTreeWidgetItem* node);
    // The nodes for the document's model; empty without one.
    void Rebuild();
    // The click rules: the node's LOD (or its nearest LOD ancestor) is
    // selected, then the node's kind acts.
    void ClickNode(QTreeWidgetItem* node);
    // Ends the edit of a LOD node's label: a number becomes the LOD's
    // resolution, anything else puts the old label back.
    void EndEditLODLabel(QTreeWidgetItem* node, const QString& text);

signals:
    // The main window's page that shows the clicked node (TMainPage).
    void PageRequested(int page);

protected:
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    void OnItemChanged(QTreeWidgetItem* item, int column);

    TModelDocument& document_;
    bool updating_ = false;
};

}  // namespace mc
