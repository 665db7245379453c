#include "OffscreenTarget.h"

#include <epoxy/gl.h>

#include <vector>

namespace mc {

namespace {

bool MakeFramebuffer(int width, int height, int samples, bool withDepth, GLuint& framebuffer, GLuint& colour,
                     GLuint& depth)
{
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    if (withDepth) {
        glGenRenderbuffers(1, &depth);
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, GL_DEPTH24_STENCIL8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth);
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

}  // namespace

TOffscreenTarget::~TOffscreenTarget() { Free(); }

void TOffscreenTarget::Free()
{
    GLuint fbs[2] = {framebuffer_, resolveFramebuffer_};
    GLuint rbs[3] = {colour_, depth_, resolveColour_};
    if (framebuffer_ || resolveFramebuffer_) glDeleteFramebuffers(2, fbs);
    if (colour_ || depth_ || resolveColour_) glDeleteRenderbuffers(3, rbs);
    framebuffer_ = colour_ = depth_ = resolveFramebuffer_ = resolveColour_ = 0;
}

bool TOffscreenTarget::Create(int width, int height, int samples, std::string* error)
{
    Free();
    GLint maxSize = 0, maxSamples = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxSize);
    glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    if (width <= 0 || height <= 0 || width > maxSize || height > maxSize) {
        if (error) *error = "picture size " + std::to_string(width) + "x" + std::to_string(height) +
                            " is outside 1.." + std::to_string(maxSize);
        return false;
    }
    if (samples > maxSamples) samples = maxSamples;
    if (samples < 2) samples = 0;
    width_ = width;
    height_ = height;
    samples_ = samples;
    GLuint fb = 0, colour = 0, depth = 0;
    bool ok = MakeFramebuffer(width, height, samples, true, fb, colour, depth);
    framebuffer_ = fb, colour_ = colour, depth_ = depth;
    if (ok && samples > 0) {
        GLuint rfb = 0, rcolour = 0, none = 0;
        ok = MakeFramebuffer(width, height, 0, false, rfb, rcolour, none);
        resolveFramebuffer_ = rfb, resolveColour_ = rcolour;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!ok) {
        Free();
        if (error) *error = "the GL context cannot make an off-screen framebuffer";
        return false;
    }
    return true;
}

void TOffscreenTarget::Bind()
{
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    glViewport(0, 0, width_, height_);
}

TPixelImage TOffscreenTarget::Read()
{
    GLuint source = framebuffer_;
    if (samples_ > 0) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
        glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        source = resolveFramebuffer_;
    }
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    std::vector<uint32_t> rows(size_t(width_) * size_t(height_));
    glReadPixels(0, 0, width_, height_, GL_BGRA, GL_UNSIGNED_BYTE, rows.data());
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
    TPixelImage image(width_, height_);
    // GL's rows start at the bottom.
    for (int y = 0; y < height_; ++y) {
        const uint32_t* from = rows.data() + size_t(height_ - 1 - y) * size_t(width_);
        uint32_t* to = image.Row(y);
        for (int x = 0; x < width_; ++x) to[x] = from[x] | 0xFF000000u;
    }
    return image;
}

}  // namespace mc
