#include "MainGridModels.h"

#include <QColor>
#include <cstdio>

#include "Model/Model.h"
#include "QtText.h"

namespace mc {

namespace {

QString Fixed3(float value)
{
    char text[48];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(value));
    return QString::fromLatin1(text);
}

}  // namespace

TLODGridModel::TLODGridModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers))
{
}

void TLODGridModel::SetLOD(const TLOD* lod)
{
    beginResetModel();
    lod_ = lod;
    endResetModel();
}

void TLODGridModel::Refresh()
{
    beginResetModel();
    endResetModel();
}

int TLODGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    return std::max(1, lod_ ? ItemCount() : 0);
}

int TLODGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

void TLODGridModel::RefreshMarks()
{
    const int rows = rowCount();
    if (rows > 0) emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1), {Qt::BackgroundRole});
}

QVariant TLODGridModel::data(const QModelIndex& index, int role) const
{
    if (!lod_ || !index.isValid()) return {};
    const int row = index.row();
    if (row >= ItemCount()) return {};
    if (role == Qt::BackgroundRole) return ItemMarked(row) ? QVariant(QColor(196, 240, 196)) : QVariant();
    if (role != Qt::DisplayRole) return {};
    if (index.column() == 0) return QString::number(row);
    return Cell(row, index.column());
}

QVariant TLODGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return section < headers_.size() ? headers_[section] : QVariant();
    return {};
}

TVerticesGridModel::TVerticesGridModel(QObject* parent)
    : TLODGridModel({QString(), QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")}, parent)
{
}

int TVerticesGridModel::ItemCount() const { return lod_ ? lod_->VertexCount() : 0; }

bool TVerticesGridModel::ItemMarked(int item) const { return lod_->IsVertexSelected(item); }

QString TVerticesGridModel::Cell(int item, int column) const
{
    const Vector3& p = lod_->Positions[static_cast<size_t>(item)];
    switch (column) {
    case 1: return Fixed3(p.x);
    case 2: return Fixed3(p.y);
    case 3: return Fixed3(p.z);
    default: return {};
    }
}

TPolygonsGridModel::TPolygonsGridModel(QObject* parent)
    : TLODGridModel({QString(), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                     QStringLiteral("flags"), QStringLiteral("texture")},
                    parent)
{
}

int TPolygonsGridModel::ItemCount() const { return lod_ ? lod_->FaceCount() : 0; }

bool TPolygonsGridModel::ItemMarked(int item) const { return lod_->IsFaceSelected(item); }

QString TPolygonsGridModel::Cell(int item, int column) const
{
    const TFace& face = lod_->Faces[static_cast<size_t>(item)];
    if (column >= 1 && column <= 4) {
        const int k = column - 1;
        if (k >= face.Count) return {};
        return QString::number(face.Vertices[static_cast<size_t>(k)]);
    }
    if (column == 5) {
        char text[16];
        std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(face.Flags));
        return QString::fromLatin1(text);
    }
    if (column == 6) {
        if (face.Texture == kNoTexture || face.Texture >= lod_->Textures.size()) return {};
        return ToQString(lod_->Textures[face.Texture].Name);
    }
    return {};
}

TTexturesGridModel::TTexturesGridModel(QObject* parent)
    : TLODGridModel({QString(), QStringLiteral("name"), QStringLiteral("flags"), QStringLiteral("ext.flags")}, parent)
{
}

int TTexturesGridModel::ItemCount() const { return lod_ ? lod_->TextureCount() : 0; }

QString TTexturesGridModel::Cell(int item, int column) const
{
    return column == 1 ? ToQString(lod_->Textures[static_cast<size_t>(item)].Name) : QString();
}

TPropertiesGridModel::TPropertiesGridModel(QObject* parent)
    : TLODGridModel({QString(), QStringLiteral("name"), QStringLiteral("value")}, parent)
{
}

int TPropertiesGridModel::ItemCount() const
{
    return lod_ ? static_cast<int>(std::min(lod_->PropertyNames.size(), lod_->PropertyValues.size())) : 0;
}

QString TPropertiesGridModel::Cell(int item, int column) const
{
    const auto i = static_cast<size_t>(item);
    if (column == 1) return ToQString(lod_->PropertyNames[i]);
    if (column == 2) return ToQString(lod_->PropertyValues[i]);
    return {};
}

QString LODEntryText(const TModel& model, int index)
{
    const TLOD* lod = model.LOD(index);
    if (!lod) return {};
    return QStringLiteral("%1 (%2)").arg(ToQString(lod->Name())).arg(index);
}

int AssignedSpecialLOD(const TModel& model, int slot)
{
    if (slot < 0 || slot >= TGeneralGridModel::kLastSpecialSlot) return -1;
    return model.SpecialLOD(slot);
}

TGeneralGridModel::TGeneralGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void TGeneralGridModel::SetModel(const TModel* model)
{
    beginResetModel();
    model_ = model;
    endResetModel();
}

void TGeneralGridModel::Refresh()
{
    beginResetModel();
    endResetModel();
}

QString TGeneralGridModel::Cell(int gridRow, int column) const
{
    if (!model_ || gridRow < 1 || gridRow > kRows || column < 0 || column > 2) return {};
    const TModel& m = *model_;
    switch (gridRow) {
    case 1:
        return column == 0 ? QStringLiteral("Mass") : column == 1 ? QStringLiteral("kg") : Fixed3(m.Mass);
    case 2:
    case 3: {
        if (column == 0) return gridRow == 2 ? QStringLiteral("Map Icon Color") : QStringLiteral("Map Icon Selected Color");
        if (column == 1) return QStringLiteral("color");
        return QString::fromStdString(ColorText(gridRow == 2 ? m.MapIconColor : m.MapIconSelectedColor));
    }
    case 4:
        return column == 0 ? QStringLiteral("Map Icon") : column == 1 ? QStringLiteral("icon") : ToQString(MapIconName(m.MapIcon));
    default: {
        const int slot = gridRow - kFirstSpecialRow;
        if (column == 0) return ToQString(SpecialKindName(slot));
        if (column == 1) return QStringLiteral("lod");
        const int index = AssignedSpecialLOD(m, slot);
        return index >= 0 ? LODEntryText(m, index) : QString();
    }
    }
}

int TGeneralGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid()) return 0;
    return model_ ? kRows : 1;
}

int TGeneralGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QVariant TGeneralGridModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !model_ || !index.isValid()) return {};
    return Cell(index.row() + 1, index.column());
}

QVariant TGeneralGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    static const char* const kHeaders[3] = {"name", "type", "value"};
    return section >= 0 && section < 3 ? QString::fromLatin1(kHeaders[section]) : QVariant();
}

}  // namespace mc
