// Pictures drawn by the renderer in a GL context without a window.
#include <gtest/gtest.h>

#include <cmath>

#include "Core/Stream.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "ModelRenderer.h"
#include "OffscreenTarget.h"
#include "RenderFixtures.h"
#include "TestSupport.h"
#include "TextureManager.h"
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

TEST_F(RenderPixels, OneDrawCallPerRunAndProxiesPlaced)
{
    auto model = test::ModelWithLODs({1});
    TLOD& lod = *model->LOD(0);
    test::AddQuad(lod, 0, 0xFFFF);
    test::AddQuad(lod, 0, 0xFFFF);
    test::AddQuad(lod, 0x100, 0xFFFF);
    Draw(*model, Unlit());
    EXPECT_EQ(renderer_.DrawCallsLastFrame(), 2);
    EXPECT_EQ(faces_, 3);

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

}  // namespace
}  // namespace mc
