#include "Export/GltfExport.h"

#include <tiny_gltf.h>

#include <cmath>
#include <cstring>
#include <map>
#include <sstream>
#include <tuple>

#include "Core/ProjectInfo.h"
#include "Core/SafeSave.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"
#include "Core/TextEncoding.h"
#include "Export/GltfGeometry.h"
#include "Model/Model.h"

namespace mc {

namespace {

constexpr int kArrayBuffer = 34962;
constexpr int kElementArrayBuffer = 34963;

// An 8-bit sRGB channel as the linear factor glTF's colours are given in.
double LinearOfSrgb(uint32_t channel)
{
    const double c = double(channel & 0xFF) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// What the textures of one material are decided by.
struct TMaterialKey {
    std::string Texture;  // lower-case game path
    TGltfAlphaKind Alpha;
    bool ClampU, ClampV;
    auto operator<=>(const TMaterialKey&) const = default;
};

class TGltfBuilder {
public:
    TGltfBuilder(const TModel& model, IGltfTextureSource* textures, TGltfExportResult& result)
        : model_(model), textures_(textures), result_(result)
    {
        doc_.asset.version = "2.0";
        doc_.asset.generator = ProgramTitle();
        doc_.buffers.emplace_back();
        doc_.scenes.emplace_back();
        doc_.scenes[0].name = ToUtf8(model.FileName);
        doc_.defaultScene = 0;
    }

    void AddLOD(int index)
    {
        const TLOD& lod = *model_.LOD(index);
        tinygltf::Node node;
        node.name = lod.Name();
        tinygltf::Value::Object extras;
        extras["lodIndex"] = tinygltf::Value(index);
        extras["resolution"] = tinygltf::Value(double(lod.Resolution));
        extras["resolutionName"] = tinygltf::Value(lod.Name());
        tinygltf::Value::Object properties;
        for (size_t i = 0; i < lod.PropertyNames.size(); ++i)
            properties[ToUtf8(lod.PropertyNames[i])] =
                tinygltf::Value(ToUtf8(i < lod.PropertyValues.size() ? lod.PropertyValues[i] : std::string()));
        extras["properties"] = tinygltf::Value(std::move(properties));
        node.extras = tinygltf::Value(std::move(extras));

        const TGltfLODGeometry geometry = ConvertLODGeometry(lod);
        if (geometry.Triangles > 0) node.mesh = AddMesh(lod, geometry);

        for (int p = 0; p < lod.ProxyCount(); ++p) node.children.push_back(AddProxy(lod, *lod.Proxy(p)));
        doc_.scenes[0].nodes.push_back(int(doc_.nodes.size()));
        doc_.nodes.push_back(std::move(node));
    }

    // Room for the geometry of the LODs to come, so that the buffer is not
    // copied over and over while it grows (pictures may still grow it).
    void ReserveFor(const TLOD& lod)
    {
        reserve_ += size_t(lod.VertexCount()) * 32 + size_t(lod.FaceCount()) * 12 + 256;
        doc_.buffers[0].data.reserve(reserve_);
    }

    std::vector<uint8_t> Write()
    {
        std::ostringstream out;
        tinygltf::TinyGLTF writer;
        writer.WriteGltfSceneToStream(&doc_, out, false, true);
        const std::string bytes = out.str();
        result_.Materials = int(doc_.materials.size());
        result_.Images = int(doc_.images.size());
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    }

private:
    // Appends bytes to the buffer as a view of their own, 4-byte aligned.
    int AddView(const void* data, size_t size, int target)
    {
        std::vector<unsigned char>& buffer = doc_.buffers[0].data;
        buffer.resize((buffer.size() + 3) & ~size_t(3), 0);
        tinygltf::BufferView view;
        view.buffer = 0;
        view.byteOffset = buffer.size();
        view.byteLength = size;
        view.target = target;
        const auto* bytes = static_cast<const unsigned char*>(data);
        buffer.insert(buffer.end(), bytes, bytes + size);
        doc_.bufferViews.push_back(view);
        return int(doc_.bufferViews.size() - 1);
    }

    int AddAccessor(int view, int componentType, size_t count, int type)
    {
        tinygltf::Accessor a;
        a.bufferView = view;
        a.componentType = componentType;
        a.count = count;
        a.type = type;
        doc_.accessors.push_back(a);
        return int(doc_.accessors.size() - 1);
    }

    int AddMesh(const TLOD& lod, const TGltfLODGeometry& g)
    {
        const size_t n = g.Positions.size();
        const int positions = AddAccessor(AddView(g.Positions.data(), n * sizeof(Vector3), kArrayBuffer),
                                          TINYGLTF_COMPONENT_TYPE_FLOAT, n, TINYGLTF_TYPE_VEC3);
        doc_.accessors[size_t(positions)].minValues = {g.Min.x, g.Min.y, g.Min.z};
        doc_.accessors[size_t(positions)].maxValues = {g.Max.x, g.Max.y, g.Max.z};
        const int normals = AddAccessor(AddView(g.Normals.data(), n * sizeof(Vector3), kArrayBuffer),
                                        TINYGLTF_COMPONENT_TYPE_FLOAT, n, TINYGLTF_TYPE_VEC3);
        const int uvs = AddAccessor(AddView(g.UVs.data(), n * sizeof(g.UVs[0]), kArrayBuffer),
                                    TINYGLTF_COMPONENT_TYPE_FLOAT, n, TINYGLTF_TYPE_VEC2);
        result_.Vertices += int(n);
        result_.Triangles += g.Triangles;

        tinygltf::Mesh mesh;
        mesh.name = lod.Name();
        // 16-bit indices while they suffice (65535 is reserved).
        const bool shortIndices = n <= 65535;
        for (const TGltfPrimitive& p : g.Primitives) {
            tinygltf::Primitive primitive;
            primitive.mode = TINYGLTF_MODE_TRIANGLES;
            primitive.attributes["POSITION"] = positions;
            primitive.attributes["NORMAL"] = normals;
            primitive.attributes["TEXCOORD_0"] = uvs;
            int view;
            if (shortIndices) {
                const std::vector<uint16_t> indices(p.Indices.begin(), p.Indices.end());
                view = AddView(indices.data(), indices.size() * 2, kElementArrayBuffer);
            } else {
                view = AddView(p.Indices.data(), p.Indices.size() * 4, kElementArrayBuffer);
            }
            primitive.indices = AddAccessor(
                view, shortIndices ? TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT : TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT,
                p.Indices.size(), TINYGLTF_TYPE_SCALAR);
            // An empty name stands for no texture, as index 0xFFFF does.
            if (p.Texture < lod.Textures.size() && !lod.Textures[p.Texture].Name.empty())
                primitive.material = Material(lod.Textures[p.Texture].Name, p);
            mesh.primitives.push_back(std::move(primitive));
        }
        doc_.meshes.push_back(std::move(mesh));
        return int(doc_.meshes.size() - 1);
    }

    // The material of a texture used with these flags, made on first use.
    int Material(const std::string& name, const TGltfPrimitive& p)
    {
        const TMaterialKey key{LowerCase(name), p.Alpha, p.ClampU, p.ClampV};
        if (auto it = materials_.find(key); it != materials_.end()) return it->second;

        tinygltf::Material m;
        m.name = ToUtf8(name);
        m.alphaMode = p.Alpha == TGltfAlphaKind::Mask ? "MASK" : p.Alpha == TGltfAlphaKind::Blend ? "BLEND" : "OPAQUE";
        // The game's lighting is diffuse only.
        m.pbrMetallicRoughness.metallicFactor = 0;
        m.pbrMetallicRoughness.roughnessFactor = 1;
        const int image = Image(name);
        if (image >= 0) {
            m.pbrMetallicRoughness.baseColorTexture.index = Texture(image, p.ClampU, p.ClampV);
        } else {
            // Mid grey, or the colour the texture's header gives.
            uint32_t argb = 0xFF808080;
            if (textures_)
                if (std::optional<uint32_t> average = textures_->AverageColor(name)) argb = *average;
            // A cut-out without its picture would vanish below the cut-off.
            const double alpha = p.Alpha == TGltfAlphaKind::Blend ? double(argb >> 24) / 255.0 : 1.0;
            m.pbrMetallicRoughness.baseColorFactor = {LinearOfSrgb(argb >> 16), LinearOfSrgb(argb >> 8),
                                                      LinearOfSrgb(argb), alpha};
        }
        tinygltf::Value::Object extras;
        extras["texture"] = tinygltf::Value(ToUtf8(name));
        extras["textureLoaded"] = tinygltf::Value(image >= 0);
        m.extras = tinygltf::Value(std::move(extras));
        doc_.materials.push_back(std::move(m));
        const int index = int(doc_.materials.size() - 1);
        materials_.emplace(key, index);
        return index;
    }

    // The embedded picture of a texture, once per texture; -1 when it has none.
    int Image(const std::string& name)
    {
        const std::string key = LowerCase(name);
        if (auto it = images_.find(key); it != images_.end()) return it->second;
        std::vector<uint8_t> png;
        if (textures_ && !name.empty()) png = textures_->TexturePng(name);
        int index = -1;
        if (png.empty()) {
            result_.MissingTextures.push_back(name);
        } else {
            tinygltf::Image image;
            image.name = ToUtf8(name);
            image.mimeType = "image/png";
            image.bufferView = AddView(png.data(), png.size(), 0);
            doc_.images.push_back(std::move(image));
            index = int(doc_.images.size() - 1);
        }
        images_.emplace(key, index);
        return index;
    }

    int Texture(int image, bool clampU, bool clampV)
    {
        const auto key = std::make_tuple(image, clampU, clampV);
        if (auto it = textureObjects_.find(key); it != textureObjects_.end()) return it->second;
        tinygltf::Texture t;
        t.source = image;
        t.sampler = Sampler(clampU, clampV);
        doc_.textures.push_back(t);
        const int index = int(doc_.textures.size() - 1);
        textureObjects_.emplace(key, index);
        return index;
    }

    int Sampler(bool clampU, bool clampV)
    {
        const auto key = std::make_pair(clampU, clampV);
        if (auto it = samplers_.find(key); it != samplers_.end()) return it->second;
        tinygltf::Sampler s;
        s.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
        s.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
        s.wrapS = clampU ? TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE : TINYGLTF_TEXTURE_WRAP_REPEAT;
        s.wrapT = clampV ? TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE : TINYGLTF_TEXTURE_WRAP_REPEAT;
        doc_.samplers.push_back(s);
        const int index = int(doc_.samplers.size() - 1);
        samplers_.emplace(key, index);
        return index;
    }

    int AddProxy(const TLOD& lod, const TProxy& proxy)
    {
        tinygltf::Node node;
        node.name = ToUtf8(proxy.Name);
        const TGltfPlacement placement = ConvertProxyPlacement(proxy);
        node.translation.assign(placement.Translation.begin(), placement.Translation.end());
        node.rotation.assign(placement.Rotation.begin(), placement.Rotation.end());
        tinygltf::Value::Object extras;
        extras["proxyId"] = tinygltf::Value(int(proxy.ProxyId));
        if (const TModelComponent* selection = lod.Selection(proxy.SelectionIndex))
            extras["selection"] = tinygltf::Value(ToUtf8(selection->Name));
        node.extras = tinygltf::Value(std::move(extras));
        doc_.nodes.push_back(std::move(node));
        return int(doc_.nodes.size() - 1);
    }

    const TModel& model_;
    IGltfTextureSource* textures_;
    TGltfExportResult& result_;
    tinygltf::Model doc_;
    std::map<TMaterialKey, int> materials_;
    std::map<std::string, int> images_;
    std::map<std::tuple<int, bool, bool>, int> textureObjects_;
    std::map<std::pair<bool, bool>, int> samplers_;
    size_t reserve_ = 0;
};

}  // namespace

bool BuildGltf(const TModel& model, const TGltfExportOptions& options, IGltfTextureSource* textures,
               std::vector<uint8_t>& glb, TGltfExportResult* result, std::string* error)
{
    glb.clear();
    TGltfExportResult local;
    TGltfExportResult& r = result ? *result : local;
    r = TGltfExportResult();
    if (model.LODCount() == 0) {
        if (error) *error = "the model has no LODs";
        return false;
    }
    if (!options.AllLODs && !model.LOD(options.LODIndex)) {
        if (error) *error = Format("the model has no LOD %d", options.LODIndex);
        return false;
    }
    TGltfBuilder builder(model, textures, r);
    const int first = options.AllLODs ? 0 : options.LODIndex;
    const int last = options.AllLODs ? model.LODCount() - 1 : options.LODIndex;
    for (int i = first; i <= last; ++i) builder.ReserveFor(*model.LOD(i));
    for (int i = first; i <= last; ++i) builder.AddLOD(i);
    // Texts are made UTF-8 above; whatever else the writer refuses is
    // reported, not raised.
    try {
        glb = builder.Write();
    } catch (const std::exception& e) {
        glb.clear();
        if (error) *error = std::string("the glTF writer failed: ") + e.what();
        return false;
    }
    return true;
}

bool ExportGltf(const TModel& model, const std::string& path, const TGltfExportOptions& options,
                IGltfTextureSource* textures, TGltfExportResult* result, std::string* error)
{
    std::vector<uint8_t> glb;
    if (!BuildGltf(model, options, textures, glb, result, error)) return false;
    try {
        return SaveFileSafely(
            path,
            [&](TStream& s) {
                WriteBuffer(s, glb.data(), glb.size());
                return true;
            },
            error);
    } catch (const EFileError& e) {
        if (error) *error = e.what();
        return false;
    }
}

}  // namespace mc
