// glTF export: files written and read back with tinygltf. The demo crate is
// closed, so its faces must look outwards in glTF's right-handed frame and
// enclose a positive volume; every real model exports with the counts of
// its LODs.
#include <gtest/gtest.h>

#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "DemoModel.h"
#include "Export/GltfExport.h"
#include "Export/GltfGeometry.h"
#include "Export/GltfTextureSource.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "TestSupport.h"
#include "Core/Stream.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureRgba.h"
#include "image/PngWriter.h"

using namespace mc;

namespace {

// Textures that are a 4 x 2 picture each (a transparent corner), or missing.
class TFakeTextures : public IGltfTextureSource {
public:
    std::vector<uint8_t> TexturePng(const std::string& name) override
    {
        ++Loads;
        if (Missing) return {};
        TRgbaImage image(4, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) image.SetPixel(x, y, {uint8_t(60 * x), uint8_t(100 * y), 7, 255});
        image.SetPixel(0, 0, {0, 0, 0, 0});
        std::vector<uint8_t> png;
        EXPECT_TRUE(EncodePng(image, true, png));
        return png;
    }
    std::optional<uint32_t> AverageColor(const std::string&) override { return Average; }

    bool Missing = false;
    std::optional<uint32_t> Average;
    int Loads = 0;
};

tinygltf::Model ReadBack(const std::vector<uint8_t>& glb)
{
    tinygltf::TinyGLTF reader;
    tinygltf::Model doc;
    std::string error, warning;
    EXPECT_TRUE(reader.LoadBinaryFromMemory(&doc, &error, &warning, glb.data(), unsigned(glb.size())))
        << error << warning;
    EXPECT_TRUE(warning.empty()) << warning;
    return doc;
}

template <class T>
std::vector<T> AccessorValues(const tinygltf::Model& doc, int index)
{
    const tinygltf::Accessor& a = doc.accessors.at(size_t(index));
    const tinygltf::BufferView& v = doc.bufferViews.at(size_t(a.bufferView));
    const std::vector<unsigned char>& data = doc.buffers.at(size_t(v.buffer)).data;
    const size_t components = a.type == TINYGLTF_TYPE_SCALAR ? 1 : a.type == TINYGLTF_TYPE_VEC2 ? 2 : 3;
    std::vector<T> out(a.count * components);
    EXPECT_LE(v.byteOffset + a.byteOffset + out.size() * sizeof(T), data.size());
    std::memcpy(out.data(), data.data() + v.byteOffset + a.byteOffset, out.size() * sizeof(T));
    return out;
}

std::vector<uint32_t> Indices(const tinygltf::Model& doc, const tinygltf::Primitive& p)
{
    const int type = doc.accessors.at(size_t(p.indices)).componentType;
    if (type == TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) return AccessorValues<uint32_t>(doc, p.indices);
    const std::vector<uint16_t> shorts = AccessorValues<uint16_t>(doc, p.indices);
    return std::vector<uint32_t>(shorts.begin(), shorts.end());
}

Vector3 At(const std::vector<float>& xyz, uint32_t i) { return {xyz[3 * i], xyz[3 * i + 1], xyz[3 * i + 2]}; }

// Rotates v by the unit quaternion q = (x, y, z, w).
Vector3 Rotate(const std::vector<double>& q, Vector3 v)
{
    const Vector3 u{float(q[0]), float(q[1]), float(q[2])};
    const float w = float(q[3]);
    return u * (2 * Dot(u, v)) + v * (w * w - Dot(u, u)) + Cross(u, v) * (2 * w);
}

void ExpectNear(Vector3 a, Vector3 b, float tolerance = 1e-5f)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(GltfExport, ClosedCrateLooksOutwardsWithItsTexture)
{
    auto crate = demo::MakeCrateModel();
    TFakeTextures textures;
    std::vector<uint8_t> glb;
    TGltfExportResult result;
    ASSERT_TRUE(BuildGltf(*crate, {}, &textures, glb, &result));
    EXPECT_TRUE(result.MissingTextures.empty());
    EXPECT_EQ(result.Vertices, 24);
    EXPECT_EQ(result.Triangles, 12);
    ASSERT_EQ(std::string(glb.begin(), glb.begin() + 4), "glTF");

    const tinygltf::Model doc = ReadBack(glb);
    EXPECT_EQ(doc.asset.version, "2.0");
    ASSERT_EQ(doc.scenes.size(), 1u);
    ASSERT_EQ(doc.scenes[0].nodes.size(), 1u);
    const tinygltf::Node& node = doc.nodes.at(size_t(doc.scenes[0].nodes[0]));
    EXPECT_EQ(node.name, "1.000");
    EXPECT_EQ(node.extras.Get("resolutionName").Get<std::string>(), "1.000");
    EXPECT_EQ(node.extras.Get("properties").Get("class").Get<std::string>(), "thing");
    EXPECT_EQ(node.extras.Get("properties").Get("map").Get<std::string>(), "building");

    // One material for the one texture, its picture embedded and readable.
    ASSERT_EQ(doc.materials.size(), 1u);
    const tinygltf::Material& m = doc.materials[0];
    EXPECT_EQ(m.name, "data\\crate_co.paa");
    EXPECT_EQ(m.alphaMode, "OPAQUE");
    ASSERT_GE(m.pbrMetallicRoughness.baseColorTexture.index, 0);
    const tinygltf::Texture& t = doc.textures.at(size_t(m.pbrMetallicRoughness.baseColorTexture.index));
    const tinygltf::Image& image = doc.images.at(size_t(t.source));
    EXPECT_EQ(image.mimeType, "image/png");
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.height, 2);
    ASSERT_EQ(image.image.size(), 4u * 2 * 4);
    EXPECT_EQ(image.image[3], 0);  // the transparent corner
    EXPECT_EQ(image.image[4 * 2], 120);
    // The crate's faces clamp both ways (flags 0xC000).
    const tinygltf::Sampler& s = doc.samplers.at(size_t(t.sampler));
    EXPECT_EQ(s.wrapS, TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE);
    EXPECT_EQ(s.wrapT, TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE);

    // Geometry: outward faces and normals, positive volume.
    const tinygltf::Mesh& mesh = doc.meshes.at(size_t(node.mesh));
    ASSERT_EQ(mesh.primitives.size(), 1u);
    const tinygltf::Primitive& p = mesh.primitives[0];
    EXPECT_EQ(p.mode, TINYGLTF_MODE_TRIANGLES);
    const std::vector<float> positions = AccessorValues<float>(doc, p.attributes.at("POSITION"));
    const std::vector<float> normals = AccessorValues<float>(doc, p.attributes.at("NORMAL"));
    EXPECT_EQ(AccessorValues<float>(doc, p.attributes.at("TEXCOORD_0")).size(), 48u);
    const std::vector<uint32_t> indices = Indices(doc, p);
    ASSERT_EQ(positions.size(), 72u);
    ASSERT_EQ(indices.size(), 36u);
    const Vector3 centre{0, 0.5f, 0};
    double volume = 0;
    for (size_t k = 0; k < indices.size(); k += 3) {
        const Vector3 a = At(positions, indices[k]), b = At(positions, indices[k + 1]), c = At(positions, indices[k + 2]);
        const Vector3 facing = Cross(b - a, c - a);  // counter-clockwise front in glTF
        const Vector3 outward = (a + b + c) / 3 - centre;
        EXPECT_GT(Dot(facing, outward), 0) << k / 3;
        for (uint32_t v : {indices[k], indices[k + 1], indices[k + 2]}) {
            EXPECT_NEAR(Length(At(normals, v)), 1, 1e-5);
            EXPECT_GT(Dot(At(normals, v), facing), 0) << k / 3;
        }
        volume += double(Dot(a, Cross(b, c))) / 6;
    }
    EXPECT_NEAR(volume, 1.0, 1e-5);

    // The model's +X (right) is glTF's -X.
    const auto& minimum = doc.accessors.at(size_t(p.attributes.at("POSITION"))).minValues;
    EXPECT_EQ(minimum, (std::vector<double>{-0.5, 0, -0.5}));
}

TEST(GltfExport, AllLODsWithProxiesAndMissingTextures)
{
    auto crate = demo::MakeCrateModel();
    TFakeTextures textures;
    textures.Missing = true;
    textures.Average = 0x80FF8000;
    std::vector<uint8_t> glb;
    TGltfExportResult result;
    TGltfExportOptions options;
    options.AllLODs = true;
    ASSERT_TRUE(BuildGltf(*crate, options, &textures, glb, &result));
    EXPECT_EQ(result.MissingTextures, std::vector<std::string>{"data\\crate_co.paa"});
    EXPECT_EQ(result.Triangles, 12 + 12);  // the memory LOD's only face places its proxy

    const tinygltf::Model doc = ReadBack(glb);
    ASSERT_EQ(doc.scenes[0].nodes.size(), 3u);
    std::vector<std::string> names;
    for (int n : doc.scenes[0].nodes) names.push_back(doc.nodes.at(size_t(n)).name);
    EXPECT_EQ(names, (std::vector<std::string>{"1.000", "Geometry", "Memory"}));

    // A texture without its picture: its average colour, no texture.
    ASSERT_EQ(doc.materials.size(), 1u);
    const auto& pbr = doc.materials[0].pbrMetallicRoughness;
    EXPECT_EQ(pbr.baseColorTexture.index, -1);
    ASSERT_EQ(pbr.baseColorFactor.size(), 4u);
    EXPECT_DOUBLE_EQ(pbr.baseColorFactor[0], 1.0);
    EXPECT_NEAR(pbr.baseColorFactor[1], 0.2158605, 1e-6);  // sRGB 128
    EXPECT_DOUBLE_EQ(pbr.baseColorFactor[2], 0.0);
    EXPECT_TRUE(doc.images.empty());

    // The untextured geometry LOD has no material and outward normals.
    const tinygltf::Node& geometry = doc.nodes.at(size_t(doc.scenes[0].nodes[1]));
    const tinygltf::Primitive& p = doc.meshes.at(size_t(geometry.mesh)).primitives.at(0);
    EXPECT_EQ(p.material, -1);
    const std::vector<float> positions = AccessorValues<float>(doc, p.attributes.at("POSITION"));
    const std::vector<float> normals = AccessorValues<float>(doc, p.attributes.at("NORMAL"));
    for (uint32_t v = 0; v < 8; ++v) EXPECT_GT(Dot(At(normals, v), At(positions, v) - Vector3{0, 0.5f, 0}), 0);

    // The memory LOD: no mesh, its proxy as an empty child node placed at
    // the corner of its triangle, axes turned into glTF's frame.
    const tinygltf::Node& memory = doc.nodes.at(size_t(doc.scenes[0].nodes[2]));
    EXPECT_EQ(memory.mesh, -1);
    ASSERT_EQ(memory.children.size(), 1u);
    const tinygltf::Node& proxy = doc.nodes.at(size_t(memory.children[0]));
    EXPECT_EQ(proxy.name, "flag");
    EXPECT_EQ(proxy.mesh, -1);
    EXPECT_EQ(proxy.extras.Get("selection").Get<std::string>(), "proxy:flag.1");
    EXPECT_EQ(proxy.extras.Get("proxyId").Get<int>(), 1);
    ASSERT_EQ(proxy.translation.size(), 3u);
    ExpectNear({float(proxy.translation[0]), float(proxy.translation[1]), float(proxy.translation[2])}, {0, 1, 0});
    // Its own x, y, z go to the model's normal (0, 1, 0), long axis
    // (0, 0, 1) and short axis (1, 0, 0); in glTF x is mirrored on both sides.
    ASSERT_EQ(proxy.rotation.size(), 4u);
    ExpectNear(Rotate(proxy.rotation, {1, 0, 0}), {0, -1, 0});
    ExpectNear(Rotate(proxy.rotation, {0, 1, 0}), {0, 0, 1});
    ExpectNear(Rotate(proxy.rotation, {0, 0, 1}), {-1, 0, 0});
}

TEST(GltfExport, PrimitivesByTextureAndTransparencyInFaceOrder)
{
    TModel model;
    TLOD& lod = *model.AddLOD();
    lod.Textures = {{"a.paa"}, {"b.paa"}};
    for (int i = 0; i < 4; ++i) {
        lod.Positions.push_back({float(i), 0, float(i % 2)});
        lod.Normals.push_back({0, -1, 0});
        lod.UVs.push_back({});
    }
    auto face = [&](uint16_t texture, uint32_t flags) {
        TFace f;
        f.Texture = texture;
        f.Flags = flags;
        f.Vertices = {0, 1, 2, 0};
        lod.Faces.push_back(f);
    };
    face(1, 0x200);
    face(0, 0);
    face(1, 0x200);
    face(1, 0x100);
    face(0, 0x30000000);  // a proxy's triangle: left out
    face(0, 0x8000);

    const TGltfLODGeometry g = ConvertLODGeometry(lod);
    ASSERT_EQ(g.Primitives.size(), 4u);
    EXPECT_EQ(g.Triangles, 5);
    EXPECT_EQ(g.Primitives[0].Texture, 1);
    EXPECT_EQ(g.Primitives[0].Alpha, TGltfAlphaKind::Mask);
    EXPECT_EQ(g.Primitives[0].Indices.size(), 6u);
    EXPECT_EQ(g.Primitives[1].Texture, 0);
    EXPECT_EQ(g.Primitives[2].Alpha, TGltfAlphaKind::Blend);
    EXPECT_TRUE(g.Primitives[3].ClampU);
    EXPECT_FALSE(g.Primitives[3].ClampV);
    // Held corners (0, 1, 2) become (0, 2, 1).
    EXPECT_EQ(g.Primitives[1].Indices, (std::vector<uint32_t>{0, 2, 1}));

    TFakeTextures textures;
    std::vector<uint8_t> glb;
    ASSERT_TRUE(BuildGltf(model, {}, &textures, glb));
    const tinygltf::Model doc = ReadBack(glb);
    std::vector<std::string> modes;
    for (const tinygltf::Material& m : doc.materials) modes.push_back(m.name + " " + m.alphaMode);
    EXPECT_EQ(modes, (std::vector<std::string>{"b.paa MASK", "a.paa OPAQUE", "b.paa BLEND", "a.paa OPAQUE"}));
    // Each picture once, shared by its materials.
    EXPECT_EQ(doc.images.size(), 2u);
    EXPECT_EQ(textures.Loads, 2);

    // Out of range, and a model without LODs, say so.
    std::string error;
    TGltfExportOptions options;
    options.LODIndex = 1;
    EXPECT_FALSE(BuildGltf(model, options, &textures, glb, nullptr, &error));
    EXPECT_EQ(error, "the model has no LOD 1");
    TModel empty;
    EXPECT_FALSE(BuildGltf(empty, {}, &textures, glb, nullptr, &error));
}

TEST(GltfExport, CodePageTextsBecomeUtf8)
{
    // Names from the game's files are 8-bit text; glTF takes UTF-8 only.
    auto crate = demo::MakeCrateModel();
    TLOD& lod = *crate->LOD(0);
    lod.Textures[0].Name = "data\\\x9Aipka.paa";
    lod.AddProperty("n\xE1zev", "\xE8" "erven\xE1");
    lod.AddProperty("bad", "\xE0\x80\x80\xED\xA0\x80");  // overlong form, surrogate
    TFakeTextures textures;
    textures.Missing = true;
    std::vector<uint8_t> glb;
    ASSERT_TRUE(BuildGltf(*crate, {}, &textures, glb));
    const tinygltf::Model doc = ReadBack(glb);
    EXPECT_EQ(doc.materials.at(0).name, "data\\\u0161ipka.paa");
    const tinygltf::Value& properties = doc.nodes.at(0).extras.Get("properties");
    EXPECT_EQ(properties.Get("n\u00E1zev").Get<std::string>(), "\u00E8" "erven\u00E1");
    EXPECT_EQ(properties.Get("bad").Get<std::string>(), "\u00E0\u20AC\u20AC\u00ED\u00A0\u20AC");
}

TEST(GltfExport, TextureSourceDecodesExactlyOnce)
{
    int loads = 0;
    TLoadedTextureSource source(
        [&](const std::string& name, uint32_t) -> std::unique_ptr<TTexture> {
            ++loads;
            return nullptr;
        },
        [](const TRgbaImage& image, bool withAlpha, std::vector<uint8_t>& png) {
            return EncodePng(image, withAlpha, png);
        });
    EXPECT_TRUE(source.TexturePng("data\\x.paa").empty());
    EXPECT_TRUE(source.TexturePng("DATA\\X.PAA").empty());
    EXPECT_EQ(loads, 1);
    EXPECT_FALSE(source.AverageColor("data\\x.paa"));
}

// Real textures of each stored type, embedded in a crate that names them:
// the PNG read back holds exactly the stored pixels (opaque ones as RGB).
TEST(GltfExport, RealTexturesEmbedExactly)
{
    const auto dir = test::RealDataDir();
    if (dir.empty() || !std::filesystem::exists(dir / "paa" / "ofp_captain.paa")) GTEST_SKIP() << "no real textures";
    const std::vector<std::string> names = {"paa\\ofp_captain.paa", "paa\\tzk210_C130.paa", "paa\\tzk210_Ka50.paa",
                                            "paa\\a3_argba5.paa", "pac\\tzk210_METAL7.pac"};
    auto load = [&](const std::string& name, uint32_t options) -> std::unique_ptr<TTexture> {
        std::string path = name;
        std::replace(path.begin(), path.end(), '\\', '/');
        const std::vector<uint8_t> bytes = test::ReadFileBytes(dir / path);
        auto t = std::make_unique<TTexture>();
        TMemoryReader in(bytes.data(), bytes.size());
        return t->Load(in, options) ? std::move(t) : nullptr;
    };
    TLoadedTextureSource textures(load, [](const TRgbaImage& image, bool withAlpha, std::vector<uint8_t>& png) {
        return EncodePng(image, withAlpha, png);
    });

    auto crate = demo::MakeCrateModel();
    TLOD& lod = *crate->LOD(0);
    lod.Textures.clear();
    for (size_t i = 0; i < names.size(); ++i) {
        lod.Textures.push_back({names[i]});
        lod.Faces[i].Texture = uint16_t(i);
    }
    std::vector<uint8_t> glb;
    TGltfExportResult result;
    ASSERT_TRUE(BuildGltf(*crate, {}, &textures, glb, &result));
    EXPECT_TRUE(result.MissingTextures.empty());
    const tinygltf::Model doc = ReadBack(glb);
    ASSERT_EQ(doc.materials.size(), names.size());
    ASSERT_EQ(doc.images.size(), names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const tinygltf::Material& m = doc.materials[i];
        EXPECT_EQ(m.name, names[i]);
        const tinygltf::Image& image = doc.images.at(size_t(doc.textures.at(size_t(m.pbrMetallicRoughness.baseColorTexture.index)).source));
        auto t = load(names[i], TextureLoad::AsStored);
        ASSERT_TRUE(t);
        TRgbaImage exact;
        ASSERT_TRUE(DecodeLevelToRgba(*t, *t->Level(0), exact));
        ASSERT_EQ(image.width, exact.Width());
        ASSERT_EQ(image.height, exact.Height());
        // tinygltf hands the picture over as RGBA whatever the PNG held.
        ASSERT_EQ(image.component, 4);
        ASSERT_EQ(image.image.size(), size_t(exact.Width()) * size_t(exact.Height()) * 4);
        EXPECT_TRUE(std::equal(image.image.begin(), image.image.end(), exact.Bytes())) << names[i];
    }
}

TEST(GltfExport, EveryRealModelExportsEachLOD)
{
    const auto files = test::RealFiles("p3d", ".p3d");
    if (files.empty()) GTEST_SKIP() << "no real models here";
    int exported = 0;
    for (const auto& path : files) {
        test::TRecordingServices services;
        auto model = LoadModelFromFile(path.string());
        if (!model) continue;  // refused forms are tested with the readers
        SCOPED_TRACE(path.filename().string());
        std::vector<uint8_t> glb;
        TGltfExportOptions options;
        options.AllLODs = true;
        TGltfExportResult result;
        ASSERT_TRUE(BuildGltf(*model, options, nullptr, glb, &result));
        const tinygltf::Model doc = ReadBack(glb);
        ASSERT_EQ(doc.scenes[0].nodes.size(), size_t(model->LODCount()));
        for (int i = 0; i < model->LODCount(); ++i) {
            const TLOD& lod = *model->LOD(i);
            const tinygltf::Node& node = doc.nodes.at(size_t(doc.scenes[0].nodes[size_t(i)]));
            EXPECT_EQ(node.name, lod.Name());
            EXPECT_EQ(node.children.size(), size_t(lod.ProxyCount()));
            int triangles = 0;
            for (const TFace& f : lod.Faces)
                if (!(f.Flags & FaceFlags::Proxy)) triangles += f.Count == 4 ? 2 : 1;
            if (triangles == 0) {
                EXPECT_EQ(node.mesh, -1);
                continue;
            }
            int read = 0;
            for (const tinygltf::Primitive& p : doc.meshes.at(size_t(node.mesh)).primitives) {
                EXPECT_EQ(doc.accessors.at(size_t(p.attributes.at("POSITION"))).count, size_t(lod.VertexCount()));
                const std::vector<uint32_t> indices = Indices(doc, p);
                for (uint32_t v : indices) ASSERT_LT(v, uint32_t(lod.VertexCount()));
                read += int(indices.size() / 3);
            }
            EXPECT_EQ(read, triangles) << i;
        }
        ++exported;
    }
    EXPECT_GE(exported, 8);
}

}  // namespace
