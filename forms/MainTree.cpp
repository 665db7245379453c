#include "MainTree.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>

#include "Core/ValueParsing.h"
#include "Main_F.h"
#include "Model/Model.h"
#include "ModelDocument.h"
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

TMainTree::TMainTree(TModelDocument& document, QWidget* parent) : QTreeWidget(parent), document_(document)
{
    setObjectName(QStringLiteral("TreeView_Main"));
    setHeaderHidden(true);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { ClickNode(item); });
    connect(this, &QTreeWidget::itemChanged, this, &TMainTree::OnItemChanged);
    connect(&document_, &TModelDocument::ModelOpened, this, &TMainTree::Rebuild);
    connect(&document_, &TModelDocument::ModelCleared, this, &TMainTree::Rebuild);
}

int TMainTree::NodeKind(const QTreeWidgetItem* node) { return node ? node->data(0, kKindRole).toInt() : NodeNone; }

void TMainTree::Rebuild()
{
    updating_ = true;
    setUpdatesEnabled(false);
    clear();
    if (const TModel* model = document_.Model()) {
        auto* lods = new QTreeWidgetItem(this, QStringList(QStringLiteral("LODs")));
        lods->setData(0, kKindRole, NodeLODs);
        lods->setIcon(0, KindIcon(NodeLODs));
        lods->setFlags(lods->flags() & ~Qt::ItemIsEditable);
        for (const auto& lodPtr : model->LODs) {
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
        auto* general = new QTreeWidgetItem(this, QStringList(QStringLiteral("General Properties")));
        general->setData(0, kKindRole, NodeGeneral);
        general->setIcon(0, KindIcon(NodeGeneral));
        general->setFlags(general->flags() & ~Qt::ItemIsEditable);
        lods->setExpanded(true);
    }
    setUpdatesEnabled(true);
    updating_ = false;
}

void TMainTree::ClickNode(QTreeWidgetItem* node)
{
    const TModel* model = document_.Model();
    if (!node || !model) return;
    for (QTreeWidgetItem* n = node; n; n = n->parent()) {
        if (NodeKind(n) != NodeLOD) continue;
        const TLOD* lod = NodeObject<TLOD>(n);
        for (int i = 0; i < model->LODCount(); ++i)
            if (model->LODs[static_cast<size_t>(i)].get() == lod) document_.SelectLOD(i);
        break;
    }
    switch (NodeKind(node)) {
    case NodeLODs: emit PageRequested(PageLODResolution); break;
    case NodeVertices: emit PageRequested(PageVertices); break;
    case NodePolygons: emit PageRequested(PagePolygons); break;
    case NodeTextures: emit PageRequested(PageTextures); break;
    case NodeProperties: emit PageRequested(PageProperties); break;
    case NodeGeneral: emit PageRequested(PageGeneral); break;
    case NodeProxy: document_.SelectProxy(NodeObject<TProxy>(node)); break;
    case NodeComponent: document_.SelectComponent(NodeObject<TModelComponent>(node)); break;
    default: break;
    }
}

void TMainTree::keyReleaseEvent(QKeyEvent* e)
{
    QTreeWidget::keyReleaseEvent(e);
    // A key released in the tree acts as a click.
    if (!e->isAutoRepeat() && currentItem()) ClickNode(currentItem());
}

void TMainTree::OnItemChanged(QTreeWidgetItem* item, int column)
{
    if (updating_ || column != 0 || NodeKind(item) != NodeLOD) return;
    EndEditLODLabel(item, item->text(0));
}

void TMainTree::EndEditLODLabel(QTreeWidgetItem* node, const QString& text)
{
    if (NodeKind(node) != NodeLOD) return;
    TLOD* lod = NodeObject<TLOD>(node);
    if (!lod || lod->IsSpecial()) return;
    updating_ = true;
    // The label shows the old text unless the new one is a number.
    node->setText(0, node->data(0, kLabelRole).toString());
    float value = 0;
    if (StrToFloatCheck(FromQString(text), value)) {
        if (lod->Resolution != value) document_.SetModified();
        lod->Resolution = value;
        node->setText(0, text);
        node->setData(0, kLabelRole, text);
    }
    updating_ = false;
}

}  // namespace mc
