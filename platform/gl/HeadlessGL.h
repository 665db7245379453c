// An OpenGL 3.3 core context without a window or display server: EGL on
// Mesa's surfaceless platform (or its device platform), drawing only into
// framebuffers of its own.
#pragma once

#include <memory>
#include <string>

namespace mc {

class THeadlessGLContext {
public:
    ~THeadlessGLContext();
    THeadlessGLContext(const THeadlessGLContext&) = delete;
    THeadlessGLContext& operator=(const THeadlessGLContext&) = delete;

    // Creates the context and makes it current on this thread; none, with
    // the reason, when the system has no EGL that can make one.
    static std::unique_ptr<THeadlessGLContext> Create(std::string* error);

    bool MakeCurrent();
    // "OpenGL renderer string, version string".
    std::string Description() const;

private:
    THeadlessGLContext() = default;
    void* display_ = nullptr;
    void* context_ = nullptr;
};

}  // namespace mc
