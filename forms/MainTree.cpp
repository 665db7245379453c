// The main window's tree: one branch per LOD with its vertices, polygons,
// textures, proxies, components, animation frames and properties.
#include <QApplication>
#include <QStyle>
#include <QTreeWidget>

#include "Core/ValueParsing.h"
#include "Main_F.h"
#include "Model/Model.h"
#include "QtText.h"

namespace mc {

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kObjectRole = Qt::UserRole + 1;
constexpr int kLabelRole = Qt::UserRole + 2;  // the label before an edit

QIcon LoadKindIcon(int kind)
{
    QStyle* style = QApplication::style();
    switch (kind) {
    case NodeLODs:
    case NodeProxies:
    case NodeComponents:
    case NodeNone: return style->standardIcon(QStyle::SP_DirIcon);
    case NodeLOD: return style->standardIcon(QStyle::SP_DriveHDIcon);
    case NodeGeneral:
    case NodeProperties: return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    case NodeProxy:
    case NodeComponent: return style->standardIcon(QStyle::SP_FileLinkIcon);
    default: return style->standardIcon(QStyle::SP_FileIcon);
    }
}

// Loaded once: a tree of a large model has thousands of nodes.
const QIcon& KindIcon(int kind)
{
    static QIcon icons[NodeGeneral + 1];
    static bool loaded = false;
    if (!loaded) {
        for (int k = 0; k <= NodeGeneral; ++k) icons[k] = LoadKindIcon(k);
        loaded = true;
    }
    return icons[kind >= 0 && kind <= NodeGeneral ? kind : 0];
}

QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& text, int kind, const void* object = nullptr)
{
    auto* node = new QTreeWidgetItem(parent, QStringList(text));
    node->setData(0, kKindRole, kind);
    node->setData(0, kObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(object)));
    node->setIcon(0, KindIcon(kind));
    node->setFlags(node->flags() & ~Qt::ItemIsEditable);
    return node;
}

template <class T>
T* NodeObject(const QTreeWidgetItem* node)
{
    return reinterpret_cast<T*>(node->data(0, kObjectRole).value<quintptr>());
}

}  // namespace

int TMainForm::NodeKind(const QTreeWidgetItem* node) { return node ? node->data(0, kKindRole).toInt() : NodeNone; }

void TMainForm::RebuildTree()
{
    treeUpdating_ = true;
    TreeView_Main->setUpdatesEnabled(false);
    TreeView_Main->clear();
    if (Model) {
        auto* lods = new QTreeWidgetItem(TreeView_Main, QStringList(QStringLiteral("LODs")));
        lods->setData(0, kKindRole, NodeLODs);
        lods->setIcon(0, KindIcon(NodeLODs));
        lods->setFlags(lods->flags() & ~Qt::ItemIsEditable);
        for (const auto& lodPtr : Model->LODs) {
            const TLOD* lod = lodPtr.get();
            QTreeWidgetItem* node = AddNode(lods, ToQString(lod->Name()), NodeLOD, lod);
            node->setData(0, kLabelRole, node->text(0));
            if (!lod->IsSpecial()) node->setFlags(node->flags() | Qt::ItemIsEditable);
            AddNode(node, QStringLiteral("Vertices"), NodeVertices);
            AddNode(node, QStringLiteral("Polygons"), NodePolygons);
            AddNode(node, QStringLiteral("Textures"), NodeTextures);
            QTreeWidgetItem* proxies = AddNode(node, QStringLiteral("Proxy"), NodeProxies);
            for (const auto& proxy : lod->Proxies) {
                QTreeWidgetItem* p = AddNode(proxies, ToQString(proxy->Name), NodeProxy, proxy.get());
                AddNode(p, QStringLiteral("Vertices"), NodeProxyVertices);
                AddNode(p, QStringLiteral("Polygons"), NodeProxyPolygons);
            }
            QTreeWidgetItem* components = AddNode(node, QStringLiteral("Components"), NodeComponents);
            for (const auto& selection : lod->Selections) {
                QTreeWidgetItem* c = AddNode(components, ToQString(selection->Name), NodeComponent, selection.get());
                AddNode(c, QStringLiteral("Vertices"), NodeComponentVertices);
                AddNode(c, QStringLiteral("Polygons"), NodeComponentPolygons);
            }
            QTreeWidgetItem* animation = AddNode(node, QStringLiteral("Animation"), NodeNone);
            for (const auto& frame : lod->Frames) AddNode(animation, ToQString(frame->TimeText()), NodeAnimation);
            AddNode(node, QStringLiteral("Properties"), NodeProperties);
        }
        auto* general = new QTreeWidgetItem(TreeView_Main, QStringList(QStringLiteral("General Properties")));
        general->setData(0, kKindRole, NodeGeneral);
        general->setIcon(0, KindIcon(NodeGeneral));
        general->setFlags(general->flags() & ~Qt::ItemIsEditable);
        lods->setExpanded(true);
    }
    TreeView_Main->setUpdatesEnabled(true);
    treeUpdating_ = false;
}

void TMainForm::ClickNode(QTreeWidgetItem* node)
{
    if (!node || !Model) return;
    for (QTreeWidgetItem* n = node; n; n = n->parent()) {
        if (NodeKind(n) != NodeLOD) continue;
        const TLOD* lod = NodeObject<TLOD>(n);
        for (int i = 0; i < Model->LODCount(); ++i)
            if (Model->LODs[static_cast<size_t>(i)].get() == lod) SelectLOD(i);
        break;
    }
    switch (NodeKind(node)) {
    case NodeLODs: ShowPage(PageLODResolution); break;
    case NodeVertices: ShowPage(PageVertices); break;
    case NodePolygons: ShowPage(PagePolygons); break;
    case NodeTextures: ShowPage(PageTextures); break;
    case NodeProperties: ShowPage(PageProperties); break;
    case NodeGeneral: ShowPage(PageGeneral); break;
    case NodeProxy: SelectProxy(NodeObject<TProxy>(node)); break;
    case NodeComponent: SelectComponent(NodeObject<TModelComponent>(node)); break;
    default: break;
    }
}

void TMainForm::OnTreeItemChanged(QTreeWidgetItem* item, int column)
{
    if (treeUpdating_ || column != 0 || NodeKind(item) != NodeLOD) return;
    EndEditLODLabel(item, item->text(0));
}

void TMainForm::EndEditLODLabel(QTreeWidgetItem* node, const QString& text)
{
    if (NodeKind(node) != NodeLOD) return;
    TLOD* lod = NodeObject<TLOD>(node);
    if (!lod || lod->IsSpecial()) return;
    treeUpdating_ = true;
    // The label shows the old text unless the new one is a number.
    node->setText(0, node->data(0, kLabelRole).toString());
    float value = 0;
    if (StrToFloatCheck(FromQString(text), value)) {
        lod->Resolution = value;
        node->setText(0, text);
        node->setData(0, kLabelRole, text);
    }
    treeUpdating_ = false;
}

}  // namespace mc
