// Pictures drawn by the renderer in a GL context without a window.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>

#include "Core/Stream.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/ModelTypes.h"
#include "Texture/DeviceCaps.h"
#include "ModelRenderer.h"
#include "OffscreenTarget.h"
#include "RenderFixtures.h"
#include "TestSupport.h"
#include "TextureManager.h"
#include "GLTextureDevice.h"
#include "DemoTexture.h"
#include "gl/HeadlessGL.h"

namespace mc {
namespace {

constexpr uint32_t kBackground = 0xFF0080C0;

class RenderPixels : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::string error;
        context_ = THeadlessGLContext::Create(&error).release();
        if (!context_) reason_ = error;
    }
    static void TearDownTestSuite()
    {
        delete context_;
        context_ = nullptr;
    }
    void SetUp() override
    {
        if (!context_) GTEST_SKIP() << reason_;
        std::string error;
        ASSERT_TRUE(renderer_.Initialize(&error)) << error;
        ASSERT_TRUE(target_.Create(64, 64, 0, &error)) << error;
    }
    void TearDown() override
    {
        if (context_) {
            renderer_.ReleaseAll();
            textures_.reset();
        }
    }

    // The front view of the LOD's box at 64 x 64, drawn once.
    TPixelImage Draw(const TModel& model, TFrameSettings frame, uint32_t drawFlags = DrawFlag::GivenLOD,
                     Vector3 lo = {-1, -1, -1}, Vector3 hi = {1, 1, 1})
    {
        EXPECT_TRUE(AxisViewTransforms("front", lo, hi, 64, 64, frame.View, frame.Projection));
        target_.Bind();
        renderer_.Clear(frame.Mask ? 0xFF000000 : kBackground);
        renderer_.BeginFrame(frame);
        TDrawParameters params;
        params.Flags = drawFlags;
        params.TextureCache = textures_.get();
        faces_ = renderer_.DrawModel(model, params);
        renderer_.EndFrame();
        return target_.Read();
    }

    // A texture cache whose every name is the given file.
    void UseTexture(std::vector<uint8_t> bytes)
    {
        textures_ = std::make_unique<TTextureManager>(
            renderer_.TextureDevice(),
            [bytes](const std::string&) -> std::unique_ptr<TStream> { return std::make_unique<TMemoryStream>(bytes); });
    }

    static TFrameSettings Unlit()
    {
        TFrameSettings f;
        f.Light = false;
        f.CullMode = 1;
        return f;
    }

    static THeadlessGLContext* context_;
    static std::string reason_;
    TModelRenderer renderer_;
    TOffscreenTarget target_;
    std::unique_ptr<TTextureManager> textures_;
    int faces_ = 0;
};

THeadlessGLContext* RenderPixels::context_ = nullptr;
std::string RenderPixels::reason_;

int Red(uint32_t p) { return int((p >> 16) & 0xFF); }
int Green(uint32_t p) { return int((p >> 8) & 0xFF); }
int Blue(uint32_t p) { return int(p & 0xFF); }

TEST_F(RenderPixels, CubeMaskCoversItsSquare)
{
    auto model = test::ModelWithLODs({1});
    test::AddCube(*model->LOD(0));
    TFrameSettings frame;
    frame.Mask = true;
    const TPixelImage picture = Draw(*model, frame);
    int white = 0, other = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint32_t p = picture.Pixel(x, y) & 0xFFFFFF;
            if (p == 0xFFFFFF)
                ++white;
            else if (p != 0)
                ++other;
        }
    // Side 2 at 0.9 x 64 / 2 pixels a unit: a square of 57.6 pixels.
    EXPECT_NEAR(std::sqrt(double(white)), 57.6, 1.5);
    EXPECT_EQ(other, 0);  // no light, no smoothing
    EXPECT_EQ(faces_, 12);
}

TEST_F(RenderPixels, TexturedQuadShowsItsTextureColour)
{
    test::TRecordingServices services;
    UseTexture(test::SolidPaa(0xFFFF0000));
    auto model = test::ModelWithLODs({1});
    test::AddQuad(*model->LOD(0), 0, 0);
    model->LOD(0)->Textures.push_back({"data\\red.paa"});
    uint32_t p = Draw(*model, Unlit()).Pixel(32, 32);
    EXPECT_EQ(Red(p), 255);
    EXPECT_EQ(Green(p), 0);
    EXPECT_EQ(Blue(p), 0);
    EXPECT_EQ(textures_->Count(), 1);

    // Lit, with normals turned away from light 0 (it comes from (1, 1, -1)):
    // the light's ambient 0.4 plus the global 0x10; turned towards it, the
    // diffuse term saturates the colour.
    TFrameSettings lit = Unlit();
    lit.Light = true;
    for (Vector3& n : model->LOD(0)->Normals) n = {0, 0, 1};
    renderer_.ReleaseAll();
    p = Draw(*model, lit).Pixel(32, 32);
    EXPECT_NEAR(Red(p), 255 * (16.0 / 255 + 0.4), 2);
    EXPECT_EQ(Green(p), 0);
    for (Vector3& n : model->LOD(0)->Normals) n = {0.6f, 0.6f, -0.53f};
    renderer_.ReleaseAll();
    EXPECT_EQ(Red(Draw(*model, lit).Pixel(32, 32)), 255);
}

TEST_F(RenderPixels, FaceWithoutTextureIsWhiteAndFilteredFacesVanish)
{
    auto model = test::ModelWithLODs({1});
    test::AddQuad(*model->LOD(0), 0x10000, 0xFFFF);  // shining
    EXPECT_EQ(Draw(*model, Unlit()).Pixel(32, 32), kBackground);
    EXPECT_EQ(Draw(*model, Unlit(), DrawFlag::GivenLOD | DrawFlag::Shining).Pixel(32, 32), 0xFFFFFFFF);
    EXPECT_EQ(faces_, 1);
}

TEST_F(RenderPixels, AlphaTestAndBlendingFollowTheTwoTransparencyFlags)
{
    test::TRecordingServices services;
    // Alpha 0x88 (136): under the alpha test's 0xC0, over blending's 1.
    UseTexture(test::SolidPaa(0x88FFFFFF));
    auto model = test::ModelWithLODs({1});
    TLOD& lod = *model->LOD(0);
    lod.Textures.push_back({"data\\glass.paa"});
    test::AddQuad(lod, 0, 0);

    // No transparency flag: drawn opaque.
    EXPECT_EQ(Draw(*model, Unlit()).Pixel(32, 32), 0xFFFFFFFF);
    // 0x200 (ARGB1555/DXT1 transparency): alpha test at 0xC0 drops the pixels.
    lod.Faces[0].Flags = 0x200;
    renderer_.ReleaseAll();
    EXPECT_EQ(Draw(*model, Unlit()).Pixel(32, 32), kBackground);
    // 0x100 (other transparency): blended over the background.
    lod.Faces[0].Flags = 0x100;
    renderer_.ReleaseAll();
    const uint32_t p = Draw(*model, Unlit()).Pixel(32, 32);
    const double a = 136.0 / 255.0;
    EXPECT_NEAR(Red(p), 255 * a + 0x00 * (1 - a), 2);
    EXPECT_NEAR(Green(p), 255 * a + 0x80 * (1 - a), 2);
    EXPECT_NEAR(Blue(p), 255 * a + 0xC0 * (1 - a), 2);
}

TEST_F(RenderPixels, ClampOrWrapPerFaceFlag)
{
    test::TRecordingServices services;
    UseTexture(test::TwoColourPaa(0xFFFF0000, 0xFF00FF00));
    auto model = test::ModelWithLODs({1});
    TLOD& lod = *model->LOD(0);
    lod.Textures.push_back({"data\\halves.paa"});
    // U runs 0..2 across the quad: wrapped, the third quarter is red again;
    // clamped, everything right of the middle is the right edge's green.
    test::AddQuad(lod, 0, 0, 2, 1);
    const int x = 32 + 29 / 4;  // in the third quarter of the quad (x from 3 to 61)
    EXPECT_EQ(Red(Draw(*model, Unlit()).Pixel(x, 32)), 255);
    lod.Faces[0].Flags = 0x4000;  // clamps V only: U still wraps
    renderer_.ReleaseAll();
    EXPECT_EQ(Red(Draw(*model, Unlit()).Pixel(x, 32)), 255);
    lod.Faces[0].Flags = 0x8000;
    renderer_.ReleaseAll();
    const uint32_t p = Draw(*model, Unlit()).Pixel(x, 32);
    EXPECT_EQ(Red(p), 0);
    EXPECT_EQ(Green(p), 255);
}

TEST_F(RenderPixels, RunsShareDrawCallsAndProxiesArePlaced)
{
    auto model = test::ModelWithLODs({1});
    TLOD& lod = *model->LOD(0);
    test::AddQuad(lod, 0, 0xFFFF);
    test::AddQuad(lod, 0, 0xFFFF);
    test::AddQuad(lod, 0x100, 0xFFFF);  // blending is the vertices' business: the same call
    test::AddQuad(lod, 0x8000, 0xFFFF);  // U clamps: another sampler, another call
    Draw(*model, Unlit());
    EXPECT_EQ(renderer_.DrawCallsLastFrame(), 2);
    EXPECT_EQ(faces_, 4);
    TFrameSettings byRun = Unlit();
    byRun.RunByRun = true;
    Draw(*model, byRun);
    EXPECT_EQ(renderer_.DrawCallsLastFrame(), 3);

    // A proxy moved 10 units to the right lands outside the picture; at the
    // origin it covers the centre.
    auto host = test::ModelWithLODs({1});
    auto proxy = std::make_unique<TProxy>(host->LOD(0));
    proxy->ShowModel = true;
    proxy->ProxyModel = test::ModelWithLODs({1});
    test::AddQuad(*proxy->ProxyModel->LOD(0), 0, 0xFFFF);
    proxy->SetPlacement({Vector3{1, 0, 0}, Vector3{0, 1, 0}, Vector3{0, 0, 1}, Vector3{0, 0, 0}});
    TProxy* p = proxy.get();
    host->LOD(0)->Proxies.push_back(std::move(proxy));
    EXPECT_EQ(Draw(*host, Unlit()).Pixel(32, 32), 0xFFFFFFFF);
    EXPECT_EQ(faces_, 1);
    p->ProxyPosition = {10, 0, 0};
    EXPECT_EQ(Draw(*host, Unlit()).Pixel(32, 32), kBackground);
    p->ShowModel = false;
    EXPECT_EQ(Draw(*host, Unlit()).Pixel(32, 32), kBackground);
    EXPECT_EQ(faces_, 0);
}

// A picture of four shapes by name, with colour and alpha across it.
std::vector<uint8_t> MixedShapePaa(const std::string& name)
{
    static const int sizes[4][2] = {{8, 8}, {16, 16}, {16, 8}, {32, 32}};
    const size_t h = std::hash<std::string>{}(name);
    const auto* size = sizes[h % 4];
    const uint32_t tint = uint32_t(h >> 8) & 0xFF;
    return demo::EncodePaaArgb4444(size[0], size[1], [tint](int x, int y, int w, int hh) {
        return uint32_t(255 * x / w) << 24 | tint << 16 | uint32_t(255 * y / hh) << 8 | 0x40u;
    });
}

// Whether two pictures have the same colours, with the first differing pixel.
::testing::AssertionResult SamePicture(const TPixelImage& a, const TPixelImage& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height()) return ::testing::AssertionFailure() << "sizes differ";
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if ((a.Pixel(x, y) & 0xFFFFFF) != (b.Pixel(x, y) & 0xFFFFFF))
                return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << "): " << std::hex << a.Pixel(x, y)
                                                     << " against " << b.Pixel(x, y);
    return ::testing::AssertionSuccess();
}

TEST_F(RenderPixels, JoinedCallsDrawWhatRunByRunDraws)
{
    // Overlapping and coplanar faces (the later wins a tie), opaque, blended
    // and alpha-tested, clamped and wrapped with UVs beyond the edge, on
    // textures of several shapes with alpha across them.
    test::TRecordingServices services;
    textures_ = std::make_unique<TTextureManager>(
        renderer_.TextureDevice(),
        [](const std::string& name) -> std::unique_ptr<TStream> { return std::make_unique<TMemoryStream>(MixedShapePaa(name)); });
    auto model = test::ModelWithLODs({1});
    TLOD& lod = *model->LOD(0);
    for (int t = 0; t < 6; ++t) lod.Textures.push_back({"data\\t" + std::to_string(t) + ".paa"});
    const uint32_t flags[] = {0xC000, 0x100, 0x200, 0, 0x8000 | 0x100, 0x4000 | 0x200, 0xC000 | 0x100};
    int n = 0;
    for (int row = 0; row < 6; ++row)
        for (int col = 0; col < 6; ++col, ++n) {
            const float x = -1.0f + 0.3f * float(col), y = -1.0f + 0.3f * float(row);
            const float z = (n % 3 == 0) ? 0.0f : 0.1f * float(n % 5) - 0.2f;
            const uint16_t texture = n % 7 == 6 ? 0xFFFF : uint16_t(n % 6);
            test::AddQuadAt(lod, x, y, x + 0.6f, y + 0.6f, z, flags[n % 7], texture, n % 2 ? 1.0f : 2.5f, n % 3 ? 1.0f : -1.5f);
        }
    for (const bool cull : {false, true}) {
        TFrameSettings joined = Unlit();
        joined.CullMode = cull ? 3 : 1;
        TFrameSettings byRun = joined;
        byRun.RunByRun = true;
        const TPixelImage a = Draw(*model, joined);
        const int joinedCalls = renderer_.DrawCallsLastFrame();
        const TPixelImage b = Draw(*model, byRun);
        EXPECT_TRUE(SamePicture(a, b));
        EXPECT_LT(joinedCalls, renderer_.DrawCallsLastFrame());
    }
    TFrameSettings lit = Unlit();
    lit.Light = true;
    TFrameSettings litByRun = lit;
    litByRun.RunByRun = true;
    EXPECT_TRUE(SamePicture(Draw(*model, lit), Draw(*model, litByRun)));
}

TEST_F(RenderPixels, RealModelsDrawTheSameJoinedAsRunByRun)
{
    const std::filesystem::path folder = test::RealDataDir() / "p3d";
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) GTEST_SKIP() << "no real models";
    test::TRecordingServices services;
    textures_ = std::make_unique<TTextureManager>(
        renderer_.TextureDevice(),
        [](const std::string& name) -> std::unique_ptr<TStream> { return std::make_unique<TMemoryStream>(MixedShapePaa(name)); });
    int models = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::unique_ptr<TModel> model;
        try {
            model = LoadModelFromFile(entry.path().string());
        } catch (const std::exception&) {
            continue;  // the refused ones are others' business
        }
        if (!model || model->LODCount() == 0 || model->Signature != kSignatureODOL) continue;
        const TLOD& lod = *model->LOD(0);
        if (lod.Positions.empty()) continue;
        Vector3 lo = lod.Positions[0], hi = lo;
        for (const Vector3& p : lod.Positions) {
            lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
            hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
        }
        TFrameSettings joined;
        joined.Light = true;
        TFrameSettings byRun = joined;
        byRun.RunByRun = true;
        for (const char* view : {"front", "left", "top"}) {
            SCOPED_TRACE(entry.path().filename().string() + " " + view);
            ASSERT_TRUE(AxisViewTransforms(view, lo, hi, 64, 64, joined.View, joined.Projection));
            byRun.View = joined.View;
            byRun.Projection = joined.Projection;
            const auto draw = [&](const TFrameSettings& frame) {
                target_.Bind();
                renderer_.Clear(kBackground);
                renderer_.BeginFrame(frame);
                TDrawParameters params;
                params.Flags = DrawFlag::GivenLOD | DrawFlag::Optional | DrawFlag::Shining;
                params.TextureCache = textures_.get();
                renderer_.DrawModel(*model, params);
                renderer_.EndFrame();
                return target_.Read();
            };
            const TPixelImage a = draw(joined);
            const int joinedCalls = renderer_.DrawCallsLastFrame();
            EXPECT_TRUE(SamePicture(a, draw(byRun)));
            EXPECT_LE(joinedCalls, renderer_.DrawCallsLastFrame());
        }
        renderer_.ReleaseModel(*model);
        ++models;
    }
    EXPECT_GT(models, 0);
}

TEST_F(RenderPixels, TextureArraysGrowKeepTheirLayersAndGoWhenEmpty)
{
    // Ten textures of one shape, each its own colour: the array grows from
    // four layers to eight to sixteen on the way, and every face still shows
    // its own texture.
    test::TRecordingServices services;
    const uint32_t colours[10] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF,
                                  0xFFFF00FF, 0xFF880000, 0xFF008800, 0xFF000088, 0xFF888888};
    textures_ = std::make_unique<TTextureManager>(
        renderer_.TextureDevice(), [&colours](const std::string& name) -> std::unique_ptr<TStream> {
            return std::make_unique<TMemoryStream>(test::SolidPaa(colours[name[1] - '0']));
        });
    const auto& device = static_cast<TGLTextureDevice&>(renderer_.TextureDevice());
    auto model = test::ModelWithLODs({1});
    TLOD& lod = *model->LOD(0);
    for (int t = 0; t < 10; ++t) {
        lod.Textures.push_back({"t" + std::to_string(t) + ".paa"});
        const float x = -1.0f + 0.2f * float(t);
        test::AddQuadAt(lod, x, -1, x + 0.2f, 1, 0, 0, uint16_t(t));
    }
    const auto expectColours = [&](const TPixelImage& picture) {
        for (int t = 0; t < 10; ++t) {
            const uint32_t p = picture.Pixel(int(6.08 + 5.76 * t), 32) & 0xFFFFFF;  // strip t's middle
            // ARGB4444 keeps four bits a channel: 0x88 reads 0x88.
            EXPECT_EQ(p, colours[t] & 0xFFFFFF) << "texture " << t;
        }
    };
    expectColours(Draw(*model, Unlit()));
    EXPECT_EQ(renderer_.DrawCallsLastFrame(), 1);
    ASSERT_EQ(device.Arrays().ArrayCount(), 1);
    const uint32_t array = device.PlaceOf(textures_->Texture(0)->Surface()).Texture;
    EXPECT_EQ(device.Arrays().Capacity(array), 16);

    // Released, the layers are free for others; the last one takes the array.
    renderer_.ReleaseAll();
    EXPECT_EQ(textures_->Count(), 0);
    EXPECT_EQ(device.Arrays().ArrayCount(), 0);
    expectColours(Draw(*model, Unlit()));
}

TEST_F(RenderPixels, BlockCompressedTexturesShareAnArrayAndKeepTheirColours)
{
    const std::filesystem::path file = test::RealDataDir() / "paa" / "ofp_captain.paa";
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) GTEST_SKIP() << "no DXT1 texture";
    const auto& device = static_cast<TGLTextureDevice&>(renderer_.TextureDevice());
    if (!(device.Capabilities() & DeviceCap::DXT1)) GTEST_SKIP() << "no DXT1 on this device";
    test::TRecordingServices services;
    const std::vector<uint8_t> bytes = test::ReadFileBytes(file);
    UseTexture(bytes);
    // One face first, then five more faces under other names of the same
    // file: the array grows, compressed levels copied, and the pictures match.
    auto model = test::ModelWithLODs({1});
    TLOD& lod = *model->LOD(0);
    lod.Textures.push_back({"c0.paa"});
    test::AddQuad(lod, 0, 0);
    const TPixelImage one = Draw(*model, Unlit());
    const TLayerShape* shape = device.Arrays().ShapeOf(textures_->Texture(0)->Surface());
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->Layout, TPixelLayout::Dxt1);
    renderer_.ReleaseAll();
    for (int t = 1; t < 6; ++t) {
        lod.Textures.push_back({"c" + std::to_string(t) + ".paa"});
        lod.Faces.push_back(lod.Faces[0]);
        lod.Faces.back().Texture = uint16_t(t);
    }
    EXPECT_TRUE(SamePicture(one, Draw(*model, Unlit())));  // the last face, texture 5, covers the others
    EXPECT_EQ(device.Arrays().ArrayCount(), 1);
    EXPECT_EQ(renderer_.DrawCallsLastFrame(), 1);
    // The first texture's layer was copied when the array grew: alone, it
    // shows the same picture.
    for (size_t f = 1; f < lod.Faces.size(); ++f) lod.Faces[f].Flags = FaceFlags::Shining;
    renderer_.ReleaseGeometry();
    EXPECT_TRUE(SamePicture(one, Draw(*model, Unlit())));
}

}  // namespace
}  // namespace mc
