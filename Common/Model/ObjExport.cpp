#include "Model/ObjExport.h"

#include <charconv>
#include <cstdlib>

#include "Core/AppServices.h"
#include "Core/SafeSave.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"
#include "Model/Model.h"

namespace mc {

namespace {

// Lines gathered in memory; numbers always with "." and six decimals,
// whatever the user's locale.
class TObjText {
public:
    TObjText& Text(std::string_view s)
    {
        text_.append(s);
        return *this;
    }
    TObjText& Number(float value)
    {
        char buffer[64];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value), std::chars_format::fixed, 6);
        text_.append(buffer, r.ptr);
        return *this;
    }
    TObjText& Index(uint32_t value)
    {
        char buffer[16];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
        text_.append(buffer, r.ptr);
        return *this;
    }
    TObjText& Line(std::string_view s = {})
    {
        text_.append(s);
        text_.append("\r\n");
        return *this;
    }
    void WriteTo(TStream& s) const { WriteText(s, text_); }

private:
    std::string text_;
};

std::string GroupName(const std::string& name)
{
    std::string group = name;
    for (char& c : group)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) c = '_';
    return group;
}

}  // namespace

std::string ObjLODFileName(const std::string& path, int lodIndex)
{
    // The extension starts at the last dot of the file name part.
    const size_t nameStart = path.find_last_of("\\/:") == std::string::npos ? 0 : path.find_last_of("\\/:") + 1;
    const size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot >= nameStart;
    const std::string base = hasExtension ? path.substr(0, dot) : path;
    const std::string extension = hasExtension ? path.substr(dot) : ".obj";
    return Format("%s.%d%s", base.c_str(), lodIndex, extension.c_str());
}

void WriteObjLOD(const TLOD& lod, TStream& s)
{
    const bool grouped = lod.Model && (lod.Model->SaveFlags & SaveFlags::GroupedVertices);
    const size_t nv = lod.Positions.size();
    const auto positionIndex = [&](uint16_t v) -> uint32_t {
        return grouped && v < lod.VertexToPoint.size() ? lod.VertexToPoint[v] + 1u : v + 1u;
    };
    TObjText out;

    out.Line("g default").Line();

    out.Line("#vertices");
    const auto vertexLine = [&](Vector3 p) { out.Text("v ").Number(p.x).Text(" ").Number(p.z).Text(" ").Number(p.y).Line(); };
    if (grouped) {
        for (uint16_t v : lod.PointToVertex) vertexLine(v < nv ? lod.Positions[v] : Vector3{});
    } else {
        for (const Vector3& p : lod.Positions) vertexLine(p);
    }
    out.Line();

    out.Line("#normals");
    for (const Vector3& n : lod.Normals) out.Text("vn ").Number(-n.x).Text(" ").Number(-n.z).Text(" ").Number(-n.y).Line();
    out.Line();

    out.Line("#uv mapping");
    for (const TUV& uv : lod.UVs) out.Text("vt ").Number(uv.u).Text(" ").Number(uv.v).Line();
    out.Line();

    // Corners in the editable winding: (V0, V2, V1) and (V0, V3, V2, V1).
    const auto faceLine = [&](const TFace& f) {
        out.Text("f");
        const int count = f.Count == 4 ? 4 : 3;
        for (int k = 0; k < count; ++k) {
            const uint16_t v = f.Vertices[static_cast<size_t>(k == 0 ? 0 : count - k)];
            out.Text(" ").Index(positionIndex(v)).Text("/").Index(v + 1u).Text("/").Index(v + 1u);
        }
        out.Line();
    };
    out.Line("#faces");
    for (const TFace& f : lod.Faces) faceLine(f);
    out.Line();

    out.Line("#texture list");
    for (const TLODTexture& t : lod.Textures) out.Text("# \"").Text(t.Name).Line("\"");
    out.Line();

    out.Line("#objects");
    for (size_t k = 0; k < lod.Selections.size(); ++k) {
        const TModelComponent& sel = *lod.Selections[k];
        out.Text("#component ").Index(static_cast<uint32_t>(k + 1)).Text(" \"").Text(sel.Name).Line("\"");
        out.Text("g ").Line(GroupName(sel.Name));
        for (uint16_t f : sel.Faces)
            if (f < lod.Faces.size()) faceLine(lod.Faces[f]);
        for (uint16_t v : sel.Vertices) out.Text("p ").Index(positionIndex(v)).Line();
        out.Line();
    }

    out.Line("#named property list");
    for (size_t i = 0; i < lod.PropertyNames.size(); ++i) {
        const std::string& value = i < lod.PropertyValues.size() ? lod.PropertyValues[i] : std::string();
        out.Text("# \"").Text(lod.PropertyNames[i]).Text("\"=\"").Text(value).Line("\"");
    }
    out.Line();

    out.Line("#end");
    out.WriteTo(s);
}

void WriteObjFile(const TModel& model, int lodIndex, TStream& s)
{
    const TLOD* lod = model.LOD(lodIndex);
    if (!lod) return;
    WriteTextLine(s, "#Exported by " + ProgramTitle());
    WriteTextLine(s, "#Visit " + ProjectSiteAddress() + " for more info.");
    WriteTextLine(s, "#Model: \"" + model.FileName + "\"");
    WriteTextLine(s, Format("#LOD %d (%s)", lodIndex, lod->Name().c_str()));
    WriteNewLine(s);
    WriteObjLOD(*lod, s);
}

namespace {

// Writes each LOD's file; failed(name, reason) for each one not written.
template <class TFailed>
void ExportEachLOD(const TModel& model, const std::string& path, TFailed failed)
{
    for (int i = 0; i < model.LODCount(); ++i) {
        const std::string name = ObjLODFileName(path, i);
        std::string reason;
        bool saved = false;
        try {
            saved = SaveFileSafely(
                name,
                [&](TStream& s) {
                    WriteObjFile(model, i, s);
                    return true;
                },
                &reason);
        } catch (const std::exception& e) {
            reason = e.what();
        }
        if (!saved) failed(name, reason);
    }
}

}  // namespace

bool ExportObj(const TModel& model, const std::string& path, std::string* error)
{
    std::string failures;
    ExportEachLOD(model, path, [&](const std::string& name, const std::string& reason) {
        if (!failures.empty()) failures += "\n";
        failures += Format("Cannot create file \"%s\"", name.c_str());
        if (!reason.empty()) failures += ": " + reason;
    });
    if (error) *error = failures;
    return failures.empty();
}

void RunObjExport(const TModel& model, const std::string& path)
{
    {
        TWaitCursor wait;
        ExportEachLOD(model, path, [](const std::string& name, const std::string&) {
            ShowMessage(TMessageKind::Error, Format("Cannot create file \"%s\"", name.c_str()));
        });
    }
    ShowMessage(TMessageKind::Information, "Export process done");
}

}  // namespace mc
