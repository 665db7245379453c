#include "ModelJson.h"

#include "Model/Model.h"

namespace mc::cli {

using json = nlohmann::ordered_json;

namespace {

json Vec(const Vector3& v) { return json::array({v.x, v.y, v.z}); }

const char* FormatName(uint32_t signature)
{
    return signature == kSignatureODOL ? "ODOL" : signature == kSignatureMLOD ? "MLOD" : "unknown";
}

json LodSummary(const TModel& model, int index)
{
    const TLOD& lod = *model.LOD(index);
    json j;
    j["index"] = index;
    j["name"] = lod.Name();
    j["resolution"] = lod.Resolution;
    j["special"] = lod.IsSpecial();
    j["points"] = lod.PointCount();
    j["vertices"] = lod.VertexCount();
    j["faces"] = lod.FaceCount();
    j["textures"] = lod.TextureCount();
    j["selections"] = lod.SelectionCount();
    j["proxies"] = lod.ProxyCount();
    j["properties"] = lod.PropertyNames.size();
    j["frames"] = lod.FrameCount();
    return j;
}

json SelectionJson(const TModelComponent& sel)
{
    json j;
    j["name"] = ToUtf8(sel.Name);
    j["faces"] = sel.Faces;
    j["vertices"] = sel.Vertices;
    if (sel.Odol) {
        json o;
        o["word"] = sel.Odol->Word;
        o["array4"] = sel.Odol->Array4;
        o["byte"] = sel.Odol->Byte;
        o["array6"] = sel.Odol->Array6;
        o["bytes"] = sel.Odol->Bytes;
        j["odol"] = o;
    }
    return j;
}

json ProxyJson(const TProxy& p)
{
    json j;
    j["name"] = ToUtf8(p.Name);
    j["id"] = p.ProxyId;
    j["selectionIndex"] = p.SelectionIndex;
    j["normal"] = Vec(p.ProxyNormal);
    j["longAxis"] = Vec(p.LongAxis);
    j["shortAxis"] = Vec(p.ShortAxis);
    j["position"] = Vec(p.ProxyPosition);
    if (p.HasCorners) j["cornerVertices"] = json::array({p.CornerVertex, p.LongVertex, p.ShortVertex});
    if (p.StoredPlacement) {
        json stored = json::array();
        for (const Vector3& v : *p.StoredPlacement) stored.push_back(Vec(v));
        j["storedPlacement"] = stored;
    }
    return j;
}

json LodDump(const TModel& model, int index)
{
    const TLOD& lod = *model.LOD(index);
    json j = LodSummary(model, index);

    json positions = json::array(), normals = json::array(), uvs = json::array();
    for (const Vector3& v : lod.Positions) positions.push_back(Vec(v));
    for (const Vector3& v : lod.Normals) normals.push_back(Vec(v));
    for (const TUV& uv : lod.UVs) uvs.push_back(json::array({uv.u, uv.v}));
    j["positions"] = std::move(positions);
    j["normals"] = std::move(normals);
    j["uvs"] = std::move(uvs);

    json faces = json::array();
    for (const TFace& f : lod.Faces) {
        json jf;
        jf["flags"] = f.Flags;
        jf["texture"] = f.Texture == kNoTexture ? json(-1) : json(f.Texture);
        jf["vertices"] = std::vector<uint16_t>(f.Vertices.begin(), f.Vertices.begin() + std::min<int>(f.Count, 4));
        faces.push_back(std::move(jf));
    }
    j["faceList"] = std::move(faces);

    json textures = json::array();
    for (const TLODTexture& t : lod.Textures) textures.push_back(ToUtf8(t.Name));
    j["textureNames"] = std::move(textures);

    json selections = json::array();
    for (const auto& s : lod.Selections) selections.push_back(SelectionJson(*s));
    j["selectionList"] = std::move(selections);

    json proxies = json::array();
    for (const auto& p : lod.Proxies) proxies.push_back(ProxyJson(*p));
    j["proxyList"] = std::move(proxies);

    json properties = json::array();
    for (size_t i = 0; i < lod.PropertyNames.size(); ++i)
        properties.push_back({{"name", ToUtf8(lod.PropertyNames[i])},
                              {"value", ToUtf8(i < lod.PropertyValues.size() ? lod.PropertyValues[i] : "")}});
    j["propertyList"] = std::move(properties);

    json frames = json::array();
    for (const auto& f : lod.Frames) {
        json jf;
        jf["time"] = f->Time;
        jf["timeText"] = f->TimeText();
        json pos = json::array();
        for (const Vector3& v : f->Positions) pos.push_back(Vec(v));
        jf["positions"] = std::move(pos);
        frames.push_back(std::move(jf));
    }
    j["frameList"] = std::move(frames);

    j["colorWords"] = json::array({lod.ColorWord1, lod.ColorWord2});
    json lodVectors = json::array();
    for (const Vector3& v : lod.LODVectors) lodVectors.push_back(Vec(v));
    j["lodVectors"] = std::move(lodVectors);
    j["pointToVertex"] = lod.PointToVertex;
    j["vertexToPoint"] = lod.VertexToPoint;
    j["masses"] = lod.Masses;

    if (lod.Odol) {
        json o;
        o["vertexFlags"] = lod.Odol->VertexFlags;
        json sections = json::array();
        for (const TOdolSection& s : lod.Odol->Sections)
            sections.push_back({{"begin", s.Begin},
                                {"end", s.End},
                                {"word", s.Word},
                                {"texture", s.Texture},
                                {"flags", s.Flags}});
        o["sections"] = std::move(sections);
        o["wordAfterColors"] = lod.Odol->WordAfterColors;
        j["odol"] = std::move(o);
    }
    return j;
}

json DerivedJson(const TModel& m)
{
    json j;
    j["aimPoint"] = Vec(m.AimPoint);
    j["rangeA"] = Vec(m.RangeA);
    j["rangeB"] = Vec(m.RangeB);
    j["modelOffset"] = Vec(m.ModelOffset);
    j["geometryCenter"] = Vec(m.GeometryCenter);
    j["massCenter"] = Vec(m.MassCenter);
    j["boundingRadius"] = m.BoundingRadius;
    j["mass"] = m.Mass;
    j["autocenter"] = m.InfoFlags[0] != 0;
    j["extentX"] = m.ExtentX;
    j["extentY"] = m.ExtentY;
    return j;
}

}  // namespace

json ModelInfoJson(const TModel& model)
{
    json j;
    j["file"] = ToUtf8(model.FileName);
    j["format"] = FormatName(model.Signature);
    j["version"] = model.Signature == kSignatureODOL ? 7 : model.Signature == kSignatureMLOD ? 257 : 0;
    json lods = json::array();
    for (int i = 0; i < model.LODCount(); ++i) lods.push_back(LodSummary(model, i));
    j["lods"] = std::move(lods);
    j["derived"] = DerivedJson(model);
    json special = json::object();
    for (int k = 0; k < kSpecialLODKindCount; ++k) {
        const int index = model.SpecialLOD(k);
        special[SpecialKindName(k)] = index < 0 ? json(nullptr) : json(index);
    }
    j["specialLODs"] = std::move(special);
    j["mapIcon"] = {{"code", model.MapIcon}, {"name", MapIconName(model.MapIcon)}};
    j["mapIconColor"] = ColorText(model.MapIconColor);
    j["mapIconSelectedColor"] = ColorText(model.MapIconSelectedColor);
    return j;
}

json ModelDumpJson(const TModel& model)
{
    json j = ModelInfoJson(model);
    json lods = json::array();
    for (int i = 0; i < model.LODCount(); ++i) lods.push_back(LodDump(model, i));
    j["lods"] = std::move(lods);
    j["info"] = {
        {"infoWord", model.InfoWord},
        {"infoWords", model.InfoWords},
        {"infoFlags", model.InfoFlags},
        {"infoTail", model.InfoTail},
        {"infoMatrix", json::array({Vec(model.InfoMatrix[0]), Vec(model.InfoMatrix[1]), Vec(model.InfoMatrix[2])})},
        {"odolInfoFloat", model.OdolInfoFloat},
        {"specialLODTable", model.SpecialLODs},
    };
    return j;
}

}  // namespace mc::cli
