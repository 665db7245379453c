#include "ModelRenderer.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "DrawRules.h"
#include "GLTextureDevice.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "Model/Proxy.h"
#include "TextureManager.h"

namespace mc {

namespace {

const char* const kVertexShader = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUV;
// The face's texture layer in the bound array, alpha reference, alpha test
// (0 or 1) and blending (0 or 1).
layout(location = 3) in vec4 aFace;
// Matrices as the row-vector maths stores them: M * v here is v * M there.
uniform mat4 uWorldViewProjection;
uniform mat4 uWorld;
uniform vec4 uMaterial;        // diffuse and ambient of the material
uniform vec3 uAmbient;         // the ambient render state
uniform bool uLight;
uniform vec3 uLightDirection;  // where light 0 travels
uniform vec3 uLightDiffuse;
uniform vec3 uLightAmbient;
out vec4 vColor;
out vec2 vUV;
flat out vec4 vFace;
void main()
{
    vec4 p = uWorldViewProjection * vec4(aPosition, 1.0);
    // The projection maps depth to 0..w; GL clips at -w..w.
    gl_Position = vec4(p.x, p.y, 2.0 * p.z - p.w, p.w);
    vec3 color = uMaterial.rgb * uAmbient;
    if (uLight) {
        vec3 n = (uWorld * vec4(aNormal, 0.0)).xyz;
        float len = length(n);
        float d = len > 1e-12 ? max(dot(n / len, -uLightDirection), 0.0) : 0.0;
        color += uMaterial.rgb * (uLightAmbient + uLightDiffuse * d);
    }
    vColor = vec4(min(color, vec3(1.0)), uMaterial.a);
    vUV = aUV;
    vFace = aFace;
}
)";

// Blending takes its factor from the second output: a face that blends
// covers what is behind by its alpha, one that does not replaces it (as
// with blending off), so faces of both kinds can share a draw call.
const char* const kFragmentShader = R"(#version 330 core
uniform sampler2DArray uTexture;
in vec4 vColor;
in vec2 vUV;
flat in vec4 vFace;
layout(location = 0, index = 0) out vec4 fragColor;
layout(location = 0, index = 1) out vec4 coverage;
void main()
{
    vec4 c = texture(uTexture, vec3(vUV, vFace.x)) * vColor;
    // The alpha test passes when alpha (0..255) is greater than the reference.
    if (vFace.z > 0.5 && !(c.a * 255.0 > vFace.y + 0.5)) discard;
    fragColor = c;
    coverage = vec4(vFace.w > 0.5 ? c.a : 1.0);
}
)";

GLuint CompileShader(GLenum kind, const char* source, std::string* error)
{
    GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
        if (error) *error = std::string("shader does not compile: ") + log;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

void ColorOf(uint32_t argb, float out[4])
{
    out[0] = float((argb >> 16) & 0xFF) / 255.0f;
    out[1] = float((argb >> 8) & 0xFF) / 255.0f;
    out[2] = float(argb & 0xFF) / 255.0f;
    out[3] = float(argb >> 24) / 255.0f;
}

TMatrix4 ProxyWorld(const TProxy& proxy, const TModel& proxyModel)
{
    TMatrix4 placement = TMatrix4::Identity();
    const Vector3 rows[4] = {proxy.ProxyNormal, proxy.LongAxis, proxy.ShortAxis, proxy.ProxyPosition};
    for (int r = 0; r < 4; ++r) {
        placement.m[r][0] = rows[r].x;
        placement.m[r][1] = rows[r].y;
        placement.m[r][2] = rows[r].z;
    }
    return TMatrix4::Translation(proxyModel.ModelOffset) * placement;
}

// Mesa's software rasteriser allocates and frees large blocks at every change
// of state between draw calls; with the C library's defaults each of them is
// fresh memory from the system, page faults on every frame. Freed blocks are
// kept for reuse instead, process-wide, once a renderer exists.
void KeepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    static const bool done = [] {
        mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
        mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
        mallopt(M_TOP_PAD, 16 * 1024 * 1024);
        return true;
    }();
    (void)done;
#endif
}

// How deep proxies inside proxies are followed: a model that places itself
// must not recurse forever.
constexpr int kMaxProxyDepth = 8;

}  // namespace

struct TModelRenderer::TUniforms {
    GLint WorldViewProjection = -1, World = -1, Material = -1, Ambient = -1, Light = -1, LightDirection = -1,
          LightDiffuse = -1, LightAmbient = -1, Texture = -1;
};

struct TModelRenderer::TLodBuffers {
    const TModel* Model = nullptr;
    int VertexCount = 0, FaceCount = 0;
    GLuint VertexArray = 0, VertexBuffer = 0, IndexBuffer = 0;
    // Each vertex's face state (TFaceStateVertex), written for the places in Places.
    GLuint FaceStateBuffer = 0;
    uint32_t VertexTotal = 0;
    TTexturePlaces Places;
    // The selection display draws over the vertices in the LOD's own order.
    GLuint SelectionArray = 0, SelectionVertices = 0, SelectionBuffer = 0;
    std::vector<TDrawRun> Runs;
    uint32_t IndexCount = 0;
    TTextureManager* Textures = nullptr;
    // One entry per LOD texture: the name and the device texture taken for it.
    std::vector<std::pair<std::string, TDirect3DTexture3*>> DeviceTextures;
};

TModelRenderer::TModelRenderer() = default;

TModelRenderer::~TModelRenderer()
{
    if (!program_) return;
    ReleaseAll();
    glDeleteSamplers(4, samplers_);
    glDeleteProgram(program_);
    device_.reset();
}

bool TModelRenderer::Initialize(std::string* error)
{
    if (program_) return true;
    KeepFreedMemoryForReuse();
    if (epoxy_gl_version() < 33) {
        if (error) *error = "OpenGL 3.3 is needed; the context offers " + std::to_string(epoxy_gl_version() / 10) +
                            "." + std::to_string(epoxy_gl_version() % 10);
        return false;
    }
    GLuint vs = CompileShader(GL_VERTEX_SHADER, kVertexShader, error);
    if (!vs) return false;
    GLuint fs = CompileShader(GL_FRAGMENT_SHADER, kFragmentShader, error);
    if (!fs) {
        glDeleteShader(vs);
        return false;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    glDeleteShader(vs);
    glDeleteShader(fs);
    GLint ok = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048] = {};
        glGetProgramInfoLog(program, sizeof log - 1, nullptr, log);
        if (error) *error = std::string("shaders do not link: ") + log;
        glDeleteProgram(program);
        return false;
    }
    program_ = program;
    uniforms_ = std::make_unique<TUniforms>();
    TUniforms& u = *uniforms_;
    u.WorldViewProjection = glGetUniformLocation(program, "uWorldViewProjection");
    u.World = glGetUniformLocation(program, "uWorld");
    u.Material = glGetUniformLocation(program, "uMaterial");
    u.Ambient = glGetUniformLocation(program, "uAmbient");
    u.Light = glGetUniformLocation(program, "uLight");
    u.LightDirection = glGetUniformLocation(program, "uLightDirection");
    u.LightDiffuse = glGetUniformLocation(program, "uLightDiffuse");
    u.LightAmbient = glGetUniformLocation(program, "uLightAmbient");
    u.Texture = glGetUniformLocation(program, "uTexture");

    // Samplers by addressing: bit 0 U clamps, bit 1 V clamps.
    glGenSamplers(4, samplers_);
    for (int i = 0; i < 4; ++i) {
        glSamplerParameteri(samplers_[i], GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glSamplerParameteri(samplers_[i], GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glSamplerParameteri(samplers_[i], GL_TEXTURE_WRAP_S, (i & 1) ? GL_CLAMP_TO_EDGE : GL_REPEAT);
        glSamplerParameteri(samplers_[i], GL_TEXTURE_WRAP_T, (i & 2) ? GL_CLAMP_TO_EDGE : GL_REPEAT);
    }
    device_ = std::make_unique<TGLTextureDevice>();
    return true;
}

ITextureDevice& TModelRenderer::TextureDevice() { return *device_; }

std::string TModelRenderer::DeviceName() const
{
    const char* name = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return name ? name : "";
}

void TModelRenderer::SetViewport(int x, int y, int width, int height)
{
    if (width > 0 && height > 0) glViewport(x, y, width, height);
}

void TModelRenderer::Clear(uint32_t argb)
{
    float c[4];
    ColorOf(argb, c);
    glClearColor(c[0], c[1], c[2], 1.0f);
    glClearDepth(1.0);
    glClearStencil(0);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

void TModelRenderer::BeginFrame(const TFrameSettings& settings)
{
    frame_ = settings;
    viewProjection_ = settings.View * settings.Projection;
    drawCalls_ = 0;
    const TUniforms& u = *uniforms_;
    glUseProgram(program_);
    glUniform1i(u.Texture, 0);
    glActiveTexture(GL_TEXTURE0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_TRUE);
    glDisable(GL_STENCIL_TEST);
    // Source alpha over the rest, with the alpha the shader's second output gives.
    glBlendFunc(GL_SRC1_ALPHA, GL_ONE_MINUS_SRC1_ALPHA);
    if (settings.Mask || settings.CullMode == 1) {
        glDisable(GL_CULL_FACE);
    } else {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        // Mode 3 culls faces that appear counter-clockwise, so clockwise ones face the viewer.
        glFrontFace(settings.CullMode == 2 ? GL_CCW : GL_CW);
    }
    const bool light = settings.Light && !settings.Mask;
    glUniform1i(u.Light, light ? 1 : 0);
    const float ambient = light ? float(0x10) / 255.0f : 1.0f;
    glUniform3f(u.Ambient, ambient, ambient, ambient);
    const float s = 1.0f / std::sqrt(3.0f);
    glUniform3f(u.LightDirection, -s, -s, s);
    glUniform3f(u.LightDiffuse, 1, 1, 1);
    glUniform3f(u.LightAmbient, 0.4f, 0.4f, 0.4f);
    SetMaterial(0xFFFFFFFF);
    stateKnown_ = false;
    ApplyCallState(TAddress::Wrap, TAddress::Wrap, false);
    device_->SetTexture(0, 0);
}

void TModelRenderer::EndFrame()
{
    glBindVertexArray(0);
    glBindSampler(0, 0);
    device_->Unbind();
    glUseProgram(0);
    glDisable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);  // the default: ours reads a second shader output
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    stateKnown_ = false;
}

void TModelRenderer::SetWorld(const TMatrix4& world)
{
    const TMatrix4 wvp = world * viewProjection_;
    glUniformMatrix4fv(uniforms_->WorldViewProjection, 1, GL_FALSE, &wvp.m[0][0]);
    glUniformMatrix4fv(uniforms_->World, 1, GL_FALSE, &world.m[0][0]);
}

void TModelRenderer::SetMaterial(uint32_t argb)
{
    float c[4];
    ColorOf(argb, c);
    glUniform4f(uniforms_->Material, c[0], c[1], c[2], c[3]);
}

int TModelRenderer::DrawModel(const TModel& model, const TDrawParameters& params)
{
    if (!program_) return 0;
    // A painter between frames may have bound other textures: start clean.
    if (params.TextureCache) params.TextureCache->UnbindTexture(0);
    device_->SetTexture(0, 0);
    int faces = 0;
    struct TStep {
        const TModel* Model;
        TMatrix4 World;
        int Depth;
    };
    // Proxies first, each with its placement, then the LOD itself.
    std::vector<TStep> pending{{&model, params.World, 0}};
    while (!pending.empty()) {
        TStep step = pending.back();
        pending.pop_back();
        const int index = ChooseLOD(*step.Model, params);
        if (index < 0) continue;
        const TLOD& lod = *step.Model->LOD(index);
        if (step.Depth < kMaxProxyDepth)
            for (const auto& proxy : lod.Proxies)
                if (proxy->ShowModel && proxy->ProxyModel)
                    pending.push_back({proxy->ProxyModel.get(), ProxyWorld(*proxy, *proxy->ProxyModel) * step.World,
                                       step.Depth + 1});
        TDrawParameters stepParams = params;
        if (step.Depth > 0) stepParams.SelectedFace = -1;  // the selection belongs to the model itself
        faces += DrawLOD(lod, stepParams, step.World);
    }
    glBindVertexArray(0);
    return faces;
}

void TModelRenderer::MakeVertexArray(const std::vector<TVertex>& vertices, uint32_t& array, uint32_t& buffer)
{
    GLuint a = 0, v = 0;
    glGenVertexArrays(1, &a);
    glBindVertexArray(a);
    glGenBuffers(1, &v);
    glBindBuffer(GL_ARRAY_BUFFER, v);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(vertices.size() * sizeof(TVertex)), vertices.data(), GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(TVertex), reinterpret_cast<void*>(0));
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, sizeof(TVertex), reinterpret_cast<void*>(12));
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(TVertex), reinterpret_cast<void*>(24));
    array = a;
    buffer = v;
}

TModelRenderer::TLodBuffers& TModelRenderer::Buffers(const TLOD& lod, TTextureManager* textures)
{
    std::unique_ptr<TLodBuffers>& slot = lods_[&lod];
    if (slot && (slot->Model != lod.Model || slot->VertexCount != lod.VertexCount() ||
                 slot->FaceCount != lod.FaceCount())) {
        FreeBuffers(*slot, false);
        slot.reset();
    }
    if (!slot) slot = std::make_unique<TLodBuffers>();
    TLodBuffers& b = *slot;
    b.Model = lod.Model;
    b.VertexCount = lod.VertexCount();
    b.FaceCount = lod.FaceCount();

    // Another texture cache: the textures taken from the old one go back first.
    if (b.Textures != textures || b.DeviceTextures.size() != lod.Textures.size()) {
        if (b.Textures && TTextureManager::IsRegistered(b.Textures)) b.Textures->ReleaseList(b.DeviceTextures);
        b.DeviceTextures.clear();
        b.Textures = textures;
        for (const TLODTexture& t : lod.Textures)
            b.DeviceTextures.emplace_back(t.Name, textures ? textures->AcquireTexture(t.Name) : nullptr);
    }

    if (!b.VertexArray && lod.VertexCount() > 0) {
        TLodBatches batches = BuildBatches(lod);
        MakeVertexArray(batches.Vertices, b.VertexArray, b.VertexBuffer);
        glGenBuffers(1, &b.IndexBuffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.IndexBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(batches.Indices.size() * sizeof(uint32_t)),
                     batches.Indices.data(), GL_STATIC_DRAW);
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        b.Runs = std::move(batches.Runs);
        b.IndexCount = uint32_t(batches.Indices.size());
        b.VertexTotal = uint32_t(batches.Vertices.size());
        b.Places = {};
        RefreshFaceStates(b);
    }
    return b;
}

void TModelRenderer::RefreshFaceStates(TLodBuffers& b)
{
    // The textures' places change only when a texture is made again or the
    // LOD takes them from another cache: then the face states are written anew.
    TTexturePlaces& now = placesScratch_;
    now.NoTexture = device_->PlaceOf(0);
    now.ByTexture.clear();
    for (const auto& [name, texture] : b.DeviceTextures)
        now.ByTexture.push_back(device_->PlaceOf(texture ? texture->Surface() : 0));
    if (b.FaceStateBuffer && now == b.Places) return;
    std::swap(b.Places, now);
    const std::vector<TFaceStateVertex> states = BuildFaceStates(b.Runs, b.VertexTotal, b.Places);
    glBindVertexArray(b.VertexArray);
    if (!b.FaceStateBuffer) glGenBuffers(1, &b.FaceStateBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, b.FaceStateBuffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(states.size() * sizeof(TFaceStateVertex)), states.data(),
                 GL_STATIC_DRAW);
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 4, GL_UNSIGNED_BYTE, GL_FALSE, sizeof(TFaceStateVertex), nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void TModelRenderer::DrawInOneState(TLodBuffers& b, int layer)
{
    // Every vertex with the same face state: the layer, no alpha test, no blending.
    glBindVertexArray(b.VertexArray);
    glDisableVertexAttribArray(3);
    glVertexAttrib4f(3, float(layer), 0, 0, 0);
    if (b.IndexCount) {
        glDrawElements(GL_TRIANGLES, GLsizei(b.IndexCount), GL_UNSIGNED_INT, nullptr);
        ++drawCalls_;
    }
    glEnableVertexAttribArray(3);
}

void TModelRenderer::PrepareLOD(const TLOD& lod, TTextureManager* textures) { Buffers(lod, textures); }

void TModelRenderer::BindFaceTexture(TLodBuffers& b, uint16_t texture, TTextureManager* textures)
{
    TDirect3DTexture3* t = texture < b.DeviceTextures.size() ? b.DeviceTextures[texture].second : nullptr;
    if (textures) {
        textures->BindTexture(0, t);
        if (!t || !t->Surface()) device_->SetTexture(0, 0);
    } else {
        device_->SetTexture(0, t ? t->Surface() : 0);
    }
}

void TModelRenderer::ApplyCallState(TAddress u, TAddress v, bool blend)
{
    // Only what differs from the state last set: the software rasteriser
    // revalidates its pipeline for every change.
    const bool all = !stateKnown_;
    if (all || u != state_.U || v != state_.V)
        glBindSampler(0, samplers_[(u == TAddress::Clamp ? 1 : 0) | (v == TAddress::Clamp ? 2 : 0)]);
    if (all || blend != state_.Blend) {
        if (blend)
            glEnable(GL_BLEND);
        else
            glDisable(GL_BLEND);
    }
    state_ = {u, v, blend};
    stateKnown_ = true;
}

int TModelRenderer::DrawLOD(const TLOD& lod, const TDrawParameters& params, const TMatrix4& world)
{
    TTextureManager* textures = frame_.Mask ? nullptr : params.TextureCache;
    TLodBuffers& b = Buffers(lod, textures);
    if (!b.VertexArray) return lod.FaceCount();
    RefreshFaceStates(b);
    SetWorld(world);
    glBindVertexArray(b.VertexArray);
    if (frame_.Mask) {
        SetMaterial(0xFFFFFFFF);
        device_->SetTexture(0, 0);
        ApplyCallState(TAddress::Wrap, TAddress::Wrap, false);
        DrawInOneState(b, device_->PlaceOf(0).Layer);
        return lod.FaceCount();
    }
    if (params.Flags & DrawFlag::Selection) {
        DrawSelection(lod, b, params);
        return lod.FaceCount();
    }
    // Runs whose textures share an array texture and whose addressing is
    // equal draw as one call: each vertex carries its texture layer, alpha
    // test and blending, faces stay in order. Texture and sampler change
    // where a call's array or addressing differs from the call before.
    JoinRuns(b.Runs, params.Flags, b.Places, !frame_.RunByRun, callsScratch_);
    bool first = true;
    uint32_t array = 0;
    for (const TDrawCall& call : callsScratch_) {
        const uint32_t callArray = b.Places.Of(call.Texture).Texture;
        if (first || callArray != array) BindFaceTexture(b, call.Texture, textures);
        ApplyCallState(call.U, call.V, call.Blend);
        first = false;
        array = callArray;
        glDrawRangeElements(GL_TRIANGLES, call.FirstVertex, call.FirstVertex + call.VertexCount - 1,
                            GLsizei(call.IndexCount), GL_UNSIGNED_INT,
                            reinterpret_cast<void*>(uintptr_t(call.FirstIndex) * sizeof(uint32_t)));
        ++drawCalls_;
    }
    return lod.FaceCount();
}

void TModelRenderer::DrawSelection(const TLOD& lod, TLodBuffers& b, const TDrawParameters& params)
{
    // Selected faces filled, the others outlined; no texture.
    std::vector<uint16_t> fill, lines;
    const size_t vertexCount = lod.Positions.size();
    for (size_t f = 0; f < lod.Faces.size(); ++f) {
        const TFace& face = lod.Faces[f];
        if (!FaceDrawn(face.Flags, params.Flags)) continue;
        bool valid = face.Count == 3 || face.Count == 4;
        for (int c = 0; valid && c < face.Count; ++c) valid = face.Vertices[c] < vertexCount;
        if (!valid) continue;
        const auto& v = face.Vertices;
        const bool selected = (f < lod.FaceSelected.size() && lod.FaceSelected[f]) ||
                              int(f) == params.SelectedFace;
        if (selected) {
            fill.insert(fill.end(), {v[0], v[1], v[2]});
            if (face.Count == 4) fill.insert(fill.end(), {v[0], v[2], v[3]});
        } else {
            for (int c = 0; c < face.Count; ++c) lines.insert(lines.end(), {v[c], v[(c + 1) % face.Count]});
        }
    }
    if (!b.SelectionArray) {
        MakeVertexArray(BuildVertices(lod), b.SelectionArray, b.SelectionVertices);
        glGenBuffers(1, &b.SelectionBuffer);
    }
    glBindVertexArray(b.SelectionArray);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, b.SelectionBuffer);
    std::vector<uint16_t> all = fill;
    all.insert(all.end(), lines.begin(), lines.end());
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(all.size() * sizeof(uint16_t)), all.data(), GL_STREAM_DRAW);
    device_->SetTexture(0, 0);
    if (params.TextureCache) params.TextureCache->UnbindTexture(0);
    ApplyCallState(TAddress::Wrap, TAddress::Wrap, false);
    glVertexAttrib4f(3, float(device_->PlaceOf(0).Layer), 0, 0, 0);
    if (!fill.empty()) {
        SetMaterial(frame_.SelectedFaceColor);
        glDrawElements(GL_TRIANGLES, GLsizei(fill.size()), GL_UNSIGNED_SHORT, nullptr);
        ++drawCalls_;
    }
    if (!lines.empty()) {
        SetMaterial(frame_.OutlineColor);
        glDrawElements(GL_LINES, GLsizei(lines.size()), GL_UNSIGNED_SHORT,
                       reinterpret_cast<void*>(fill.size() * sizeof(uint16_t)));
        ++drawCalls_;
    }
    SetMaterial(0xFFFFFFFF);
}

void TModelRenderer::DrawLODAsOneCall(const TLOD& lod, TDirect3DTexture3* texture)
{
    // The buffers as the frames left them: their textures stay taken.
    auto it = lods_.find(&lod);
    TLodBuffers& b = it != lods_.end() && it->second->VertexArray ? *it->second : Buffers(lod, nullptr);
    if (!b.VertexArray) return;
    SetWorld(TMatrix4::Identity());
    const uint32_t surface = texture ? texture->Surface() : 0;
    device_->SetTexture(0, surface);
    ApplyCallState(TAddress::Wrap, TAddress::Wrap, false);
    DrawInOneState(b, device_->PlaceOf(surface).Layer);
    glBindVertexArray(0);
}

void TModelRenderer::Finish() { glFinish(); }

void TModelRenderer::FreeBuffers(TLodBuffers& b, bool keepTextures)
{
    GLuint arrays[2] = {b.VertexArray, b.SelectionArray};
    glDeleteVertexArrays(2, arrays);
    GLuint buffers[5] = {b.VertexBuffer, b.IndexBuffer, b.SelectionVertices, b.SelectionBuffer, b.FaceStateBuffer};
    glDeleteBuffers(5, buffers);
    b.VertexArray = b.VertexBuffer = b.IndexBuffer = b.FaceStateBuffer = 0;
    b.VertexTotal = 0;
    b.Places = {};
    b.SelectionArray = b.SelectionVertices = b.SelectionBuffer = 0;
    b.Runs.clear();
    b.IndexCount = 0;
    if (!keepTextures) {
        if (b.Textures && TTextureManager::IsRegistered(b.Textures)) b.Textures->ReleaseList(b.DeviceTextures);
        b.DeviceTextures.clear();
        b.Textures = nullptr;
    }
}

void TModelRenderer::ReleaseModel(const TModel& model)
{
    for (const auto& lod : model.LODs) {
        auto it = lods_.find(lod.get());
        if (it != lods_.end()) {
            FreeBuffers(*it->second, false);
            lods_.erase(it);
        }
        for (const auto& proxy : lod->Proxies)
            if (proxy->ProxyModel && proxy->ProxyModel.get() != &model) ReleaseModel(*proxy->ProxyModel);
    }
}

void TModelRenderer::ReleaseAll()
{
    for (auto& [lod, buffers] : lods_) FreeBuffers(*buffers, false);
    lods_.clear();
}

void TModelRenderer::ReleaseGeometry()
{
    for (auto& [lod, buffers] : lods_) FreeBuffers(*buffers, true);
}

bool AxisViewTransforms(const std::string& view, Vector3 boxMin, Vector3 boxMax, int width, int height,
                        TMatrix4& viewMatrix, TMatrix4& projection)
{
    // Rows: where world x, y and z go in (screen x, screen y, depth).
    struct TAxes {
        const char* Name;
        float Rows[3][3];
    };
    static const TAxes kViews[] = {
        {"front", {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},  {"back", {{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}}},
        {"left", {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}}},  {"right", {{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}}},
        {"top", {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}},   {"bottom", {{-1, 0, 0}, {0, 0, 1}, {0, 1, 0}}},
    };
    const TAxes* axes = nullptr;
    for (const TAxes& a : kViews)
        if (view == a.Name) axes = &a;
    if (!axes || width <= 0 || height <= 0) return false;

    const Vector3 centre = (boxMin + boxMax) * 0.5f;
    const Vector3 extent = boxMax - boxMin;
    TMatrix4 v = TMatrix4::Identity();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) v.m[r][c] = axes->Rows[r][c];
    const Vector3 moved = v.TransformVector(centre);
    v.SetTranslation({-moved.x, -moved.y, -moved.z});
    const Vector3 size = v.TransformVector(extent);
    const float across = std::fabs(size.x), up = std::fabs(size.y), deep = std::fabs(size.z) * 0.5f + 1.0f;
    float scale = 1.0f;
    if (across > 1e-6f && up > 1e-6f)
        scale = 0.9f * std::min(float(width) / across, float(height) / up);
    else if (across > 1e-6f)
        scale = 0.9f * float(width) / across;
    else if (up > 1e-6f)
        scale = 0.9f * float(height) / up;
    TMatrix4 p = TMatrix4::Identity();
    p.m[0][0] = 2.0f * scale / float(width);
    p.m[1][1] = 2.0f * scale / float(height);
    // Depth -deep..deep to 0..1.
    p.m[2][2] = 0.5f / deep;
    p.m[3][2] = 0.5f;
    viewMatrix = v;
    projection = p;
    return true;
}

}  // namespace mc
