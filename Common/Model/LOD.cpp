#include "Model/LOD.h"

#include "Core/Strings.h"
#include "Model/Model.h"
#include "Model/ModelTables.h"

namespace mc {

std::string TFrame::TimeText() const { return Format("%.6f", static_cast<double>(Time)); }

TLOD::~TLOD() = default;

std::string TLOD::Name() const { return LODName(Resolution); }
bool TLOD::IsSpecial() const { return IsSpecialResolution(Resolution); }

TModelComponent* TLOD::Selection(int i) const
{
    return i >= 0 && i < SelectionCount() ? Selections[static_cast<size_t>(i)].get() : nullptr;
}

TModelComponent* TLOD::SelectionByName(std::string_view name) const
{
    for (const auto& s : Selections)
        if (SameText(s->Name, name)) return s.get();
    return nullptr;
}

TProxy* TLOD::Proxy(int i) const
{
    return i >= 0 && i < ProxyCount() ? Proxies[static_cast<size_t>(i)].get() : nullptr;
}

TFrame* TLOD::Frame(int i) const
{
    return i >= 0 && i < FrameCount() ? Frames[static_cast<size_t>(i)].get() : nullptr;
}

int TLOD::FindProperty(std::string_view name) const
{
    for (size_t i = 0; i < PropertyNames.size(); ++i)
        if (SameText(PropertyNames[i], name)) return static_cast<int>(i);
    return -1;
}

std::string TLOD::PropertyValue(std::string_view name) const
{
    const int i = FindProperty(name);
    return i >= 0 && static_cast<size_t>(i) < PropertyValues.size() ? PropertyValues[static_cast<size_t>(i)] : "";
}

void TLOD::AddProperty(std::string name, std::string value)
{
    PropertyNames.push_back(std::move(name));
    PropertyValues.push_back(std::move(value));
}

void TLOD::ChangeProperty(const std::string& name, std::string value)
{
    const int i = FindProperty(name);
    if (i < 0 || static_cast<size_t>(i) >= PropertyValues.size()) return;
    PropertyNames[static_cast<size_t>(i)] = name;
    PropertyValues[static_cast<size_t>(i)] = std::move(value);
}

void TLOD::RenameProperty(std::string_view oldName, std::string newName)
{
    const int i = FindProperty(oldName);
    if (i >= 0) PropertyNames[static_cast<size_t>(i)] = std::move(newName);
}

void TLOD::DeleteProperty(std::string_view name)
{
    const int i = FindProperty(name);
    if (i < 0 || static_cast<size_t>(i) >= PropertyValues.size()) return;
    PropertyNames.erase(PropertyNames.begin() + i);
    PropertyValues.erase(PropertyValues.begin() + i);
}

void TLOD::PrepareSelection()
{
    if (SelectionReady) return;
    VertexSelected.assign(Positions.size(), 0);
    FaceSelected.assign(Faces.size(), 0);
    ComponentSelected.assign(Selections.size(), 0);
    SelectionReady = true;
}

bool TLOD::IsVertexSelected(int v) const
{
    return SelectionReady && v >= 0 && static_cast<size_t>(v) < VertexSelected.size() &&
           VertexSelected[static_cast<size_t>(v)];
}

bool TLOD::IsFaceSelected(int f) const
{
    return SelectionReady && f >= 0 && static_cast<size_t>(f) < FaceSelected.size() &&
           FaceSelected[static_cast<size_t>(f)];
}

void TLOD::SelectVertex(int v)
{
    PrepareSelection();
    if (v >= 0 && static_cast<size_t>(v) < VertexSelected.size()) VertexSelected[static_cast<size_t>(v)] = 1;
}

void TLOD::SelectFace(int f)
{
    PrepareSelection();
    if (f < 0 || static_cast<size_t>(f) >= FaceSelected.size()) return;
    FaceSelected[static_cast<size_t>(f)] = 1;
    const TFace& face = Faces[static_cast<size_t>(f)];
    for (int k = 0; k < face.Count && k < 4; ++k) SelectVertex(face.Vertices[static_cast<size_t>(k)]);
}

void TLOD::SelectComponent(int s)
{
    PrepareSelection();
    const TModelComponent* c = Selection(s);
    if (!c) return;
    ComponentSelected[static_cast<size_t>(s)] = 1;
    for (uint16_t v : c->Vertices) SelectVertex(v);
    for (uint16_t f : c->Faces)
        if (f < FaceSelected.size()) FaceSelected[f] = 1;
}

void TLOD::ClearSelection()
{
    PrepareSelection();
    std::fill(VertexSelected.begin(), VertexSelected.end(), 0);
    std::fill(FaceSelected.begin(), FaceSelected.end(), 0);
    std::fill(ComponentSelected.begin(), ComponentSelected.end(), 0);
}

}  // namespace mc
