// Draws models with OpenGL 3.3 core: one shader pair that lights, textures,
// alpha-tests and blends as the preview's fixed-function state asks, vertex
// and index buffers built once per LOD. Faces are drawn in order, one draw
// call per run of faces whose textures share an array texture and whose
// texture addressing is equal; each vertex carries the rest of its face's
// state (texture layer, alpha test, blending). Needs a current GL context for every call
// after construction (always the same context); owns no window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Core/Matrix4.h"
#include "Core/Vector3.h"
#include "DrawBatches.h"
#include "DrawParameters.h"
#include "DrawRules.h"

namespace mc {

class ITextureDevice;
class TDirect3DTexture3;
class TGLTextureDevice;
class TLOD;
class TModel;

// The light and state of a frame.
struct TFrameSettings {
    TMatrix4 View = TMatrix4::Identity();
    TMatrix4 Projection = TMatrix4::Identity();
    int CullMode = 3;    // 1 none, 2 clockwise faces culled, 3 counter-clockwise faces culled
    bool Light = true;   // light 0 on (ambient 0x101010) or off (ambient white)
    bool Mask = false;   // every face white, unlit, untextured, not culled, blended or alpha-tested
    uint32_t SelectedFaceColor = 0xFFFF4040;  // ARGB of the selection display's filled faces
    uint32_t OutlineColor = 0xFFC0C0C0;       // and of the other faces' outlines
    // One draw call per run of faces with equal texture and flags, the state
    // set between them, instead of joining runs that share an array texture
    // and addressing: the picture must be the same either way.
    bool RunByRun = false;
};

class TModelRenderer {
public:
    TModelRenderer();
    ~TModelRenderer();
    TModelRenderer(const TModelRenderer&) = delete;
    TModelRenderer& operator=(const TModelRenderer&) = delete;

    // Compiles the shaders; false with the reason when the context cannot.
    bool Initialize(std::string* error);
    bool Initialized() const { return program_ != 0; }

    // The device the texture managers of this context use.
    ITextureDevice& TextureDevice();

    // The GL renderer's name (GL_RENDERER).
    std::string DeviceName() const;
    void SetViewport(int x, int y, int width, int height);

    // Clears colour (ARGB), depth (1) and stencil of the bound framebuffer.
    void Clear(uint32_t argb);
    void BeginFrame(const TFrameSettings& settings);
    // Draws the model (and its shown proxies' models, recursively) and
    // returns the faces submitted: the chosen LOD's face count plus the
    // proxies'. Nothing without a LOD.
    int DrawModel(const TModel& model, const TDrawParameters& params);
    // Leaves the context as Qt's painter expects it: no program, array,
    // sampler or texture of ours bound; blending, depth test and culling off.
    void EndFrame();

    // Drops the buffers and device textures of every LOD of the model and of
    // its proxies' models. Call before a model is changed or freed.
    void ReleaseModel(const TModel& model);
    // Drops every LOD's buffers and device textures.
    void ReleaseAll();
    // Drops the vertex buffers only (positions or normals changed); textures stay.
    void ReleaseGeometry();

    // Builds the LOD's buffers and takes its textures when it has none yet.
    void PrepareLOD(const TLOD& lod, TTextureManager* textures);
    // The LOD's whole index list as one draw call with one texture and no
    // state changes between faces: the measure of an ideal frame.
    void DrawLODAsOneCall(const TLOD& lod, TDirect3DTexture3* texture);

    // Waits until the GL has drawn everything asked so far.
    void Finish();

    int DrawCallsLastFrame() const { return drawCalls_; }
    int BufferedLODCount() const { return int(lods_.size()); }

private:
    struct TLodBuffers;
    struct TUniforms;

    TLodBuffers& Buffers(const TLOD& lod, TTextureManager* textures);
    int DrawLOD(const TLOD& lod, const TDrawParameters& params, const TMatrix4& world);
    void DrawSelection(const TLOD& lod, TLodBuffers& buffers, const TDrawParameters& params);
    void SetWorld(const TMatrix4& world);
    void SetMaterial(uint32_t argb);
    void ApplyCallState(TAddress u, TAddress v, bool blend);
    void BindFaceTexture(TLodBuffers& buffers, uint16_t texture, TTextureManager* textures);
    void RefreshFaceStates(TLodBuffers& buffers);
    void DrawInOneState(TLodBuffers& buffers, int layer);
    void FreeBuffers(TLodBuffers& buffers, bool keepTextures);
    static void MakeVertexArray(const std::vector<TVertex>& vertices, uint32_t& array, uint32_t& buffer);

    std::unique_ptr<TGLTextureDevice> device_;
    std::unique_ptr<TUniforms> uniforms_;
    uint32_t program_ = 0;
    uint32_t samplers_[4] = {};
    std::unordered_map<const TLOD*, std::unique_ptr<TLodBuffers>> lods_;
    TFrameSettings frame_;
    TMatrix4 viewProjection_ = TMatrix4::Identity();
    int drawCalls_ = 0;
    // Reused each frame, so that drawing allocates nothing.
    TTexturePlaces placesScratch_;
    std::vector<TDrawCall> callsScratch_;
    // The call state last applied; unknown after anything else set it.
    struct TCallState {
        TAddress U = TAddress::Wrap, V = TAddress::Wrap;
        bool Blend = false;
    } state_;
    bool stateKnown_ = false;
};

// The view and projection of an orthographic picture along one of the six
// axis views ("front", "back", "left", "right", "top", "bottom"): screen axes
// as the model view's kinds 1 to 6, the centre of the box min..max at the
// image centre, scale 0.9 x min(width / extent across, height / extent up).
// False for an unknown view name.
bool AxisViewTransforms(const std::string& view, Vector3 boxMin, Vector3 boxMax, int width, int height,
                        TMatrix4& viewMatrix, TMatrix4& projection);

}  // namespace mc
