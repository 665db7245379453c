// p3d render: a picture of one LOD drawn by the preview's renderer in a GL
// context without a window (thumbnails, silhouettes, tests).
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "Archive/PbList.h"
#include "Camera/Camera.h"
#include "CliCommon.h"
#include "Commands.h"
#include "Core/Stream.h"
#include "GLTextureDevice.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "ModelRenderer.h"
#include "OffscreenTarget.h"
#include "PreviewCamera.h"
#include "Game/GameData.h"
#include "TextureManager.h"
#include "gl/HeadlessGL.h"
#include "image/PngWriter.h"
#include "jpeg/TurboJpegDecoder.h"

namespace mc::cli {

namespace {

constexpr int kMaxPictureSide = 8192;

// Where the camera sends its transforms: kept for the frame.
class TCaptureSurface : public ICameraSurface {
public:
    TCaptureSurface(int w, int h) : width_(w), height_(h) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    void SetViewport(const TViewport&) override {}
    void SetProjection(const TMatrix4& projection) override { Projection = projection; }
    void SetView(const TMatrix4& view) override { View = view; }
    TMatrix4 Projection = TMatrix4::Identity(), View = TMatrix4::Identity();

private:
    int width_, height_;
};

void ParseSize(const std::string& text, int& width, int& height)
{
    int w = 0, h = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 || w > kMaxPictureSide ||
        h > kMaxPictureSide)
        throw EUsage("give the picture size as WxH, each side 1.." + std::to_string(kMaxPictureSide));
    width = w;
    height = h;
}

int ParseLOD(const std::string& text)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || value < 0 || value > 1000000) throw EUsage("give the LOD as an index from 0");
    return int(value);
}

// The preview's Reset View: the camera settings of the preview window, then
// the model's framing sphere filling the field of view.
void PreviewCamera(const TModel& model, int width, int height, TMatrix4& view, TMatrix4& projection)
{
    TCaptureSurface surface(width, height);
    TCamera camera(&surface, {0, 0, -10});
    ApplyPreviewCameraSettings(camera);
    FrameModel(camera, &model);
    camera.Apply();
    view = surface.View;
    projection = surface.Projection;
}

void LODBox(const TLOD& lod, Vector3& lo, Vector3& hi)
{
    if (lod.Positions.empty()) {
        lo = hi = Vector3{};
        return;
    }
    lo = hi = lod.Positions[0];
    for (const Vector3& p : lod.Positions) {
        lo = {std::fmin(lo.x, p.x), std::fmin(lo.y, p.y), std::fmin(lo.z, p.z)};
        hi = {std::fmax(hi.x, p.x), std::fmax(hi.y, p.y), std::fmax(hi.z, p.z)};
    }
}

int RunRender(const TArgs& args)
{
    int width = 512, height = 512;
    if (args.Options.count("--size")) ParseSize(args.Option("--size"), width, height);
    const int lodIndex = args.Options.count("--lod") ? ParseLOD(args.Option("--lod")) : 0;
    const std::string viewName = args.Option("--view", "3d");
    static const char* const kViews[] = {"3d", "front", "back", "left", "right", "top", "bottom"};
    bool known = false;
    for (const char* v : kViews) known = known || viewName == v;
    if (!known) throw EUsage("unknown view \"" + viewName + "\" (give front, back, left, right, top, bottom or 3d)");
    const bool mask = args.Has("--mask");

    const std::unique_ptr<TGameData> game = GameDataFromArgs(args);
    if (!game) return ExitRefused;
    const bool withArchives = game->PbList.Count() > 0;
    if (withArchives) InstallTurboJpegDecoder();
    auto model = LoadModelOrReport(args.Positional[0], game.get());
    if (!model) return ExitRefused;
    if (lodIndex >= model->LODCount()) {
        std::fprintf(stderr, "\"%s\" has no LOD %d (LODs: %d)\n", args.Positional[0].c_str(), lodIndex,
                     model->LODCount());
        return ExitRefused;
    }

    std::string error;
    auto context = THeadlessGLContext::Create(&error);
    if (!context) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return ExitRefused;
    }
    int result = ExitOk;
    {
        TModelRenderer renderer;
        TOffscreenTarget target;
        if (!renderer.Initialize(&error) || !target.Create(width, height, mask ? 0 : 4, &error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return ExitRefused;
        }
        std::unique_ptr<TTextureManager> textures;
        if (withArchives && !mask)
            textures = std::make_unique<TTextureManager>(
                renderer.TextureDevice(),
                [&game](const std::string& name) -> std::unique_ptr<TStream> { return game->PbList.Extract(name); });

        TFrameSettings frame;
        frame.Light = !args.Has("--no-light");
        frame.Mask = mask;
        if (viewName == "3d") {
            PreviewCamera(*model, width, height, frame.View, frame.Projection);
        } else {
            Vector3 lo, hi;
            LODBox(*model->LOD(lodIndex), lo, hi);
            AxisViewTransforms(viewName, lo, hi, width, height, frame.View, frame.Projection);
        }
        target.Bind();
        renderer.Clear(mask ? 0xFF000000 : 0xFF0080C0);
        renderer.BeginFrame(frame);
        TDrawParameters params;
        params.Flags = DrawFlag::GivenLOD;
        params.LODIndex = lodIndex;
        params.TextureCache = textures.get();
        renderer.DrawModel(*model, params);
        renderer.EndFrame();
        const TPixelImage picture = target.Read();
        renderer.ReleaseAll();
        textures.reset();
        if (!SavePng(args.Positional[1], picture, mask ? TPngChannels::Grey : TPngChannels::Rgb, &error)) {
            std::fprintf(stderr, "Cannot write \"%s\": %s\n", args.Positional[1].c_str(), error.c_str());
            result = ExitRefused;
        }
    }
    return result;
}

std::vector<TCommand> RenderCommands()
{
    return {
        {"p3d", "render",
         "MODEL OUT.png [--lod N] [--size WxH] [--view front|back|left|right|top|bottom|3d] [--mask] [--no-light] "
         "[--archives DIR]",
         "draw one LOD as the preview does (default LOD 0, 512x512, view 3d), textured from the archives of DIR; "
         "--mask draws the silhouette white on black; needs no display",
         TArgSpec{{"--mask", "--no-light"}, {"--lod", "--size", "--view", "--archives"}, 2, 2}, RunRender},
    };
}

const TCommandRegistrar registrar(RenderCommands);

}  // namespace

}  // namespace mc::cli
