#include "HeadlessGL.h"

#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <cstring>
#include <vector>

namespace mc {

namespace {

bool HasClientExtension(const char* name)
{
    const char* list = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!list) return false;
    const size_t n = std::strlen(name);
    for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n)
        if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

// The displays to try, best first: surfaceless, then each EGL device.
std::vector<EGLDisplay> CandidateDisplays()
{
    std::vector<EGLDisplay> displays;
    if (HasClientExtension("EGL_MESA_platform_surfaceless")) {
        EGLDisplay d = eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (d != EGL_NO_DISPLAY) displays.push_back(d);
    }
    if (HasClientExtension("EGL_EXT_platform_device") && HasClientExtension("EGL_EXT_device_enumeration")) {
        EGLDeviceEXT devices[8];
        EGLint count = 0;
        if (eglQueryDevicesEXT(8, devices, &count))
            for (EGLint i = 0; i < count; ++i) {
                EGLDisplay d = eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
                if (d != EGL_NO_DISPLAY) displays.push_back(d);
            }
    }
    return displays;
}

}  // namespace

THeadlessGLContext::~THeadlessGLContext()
{
    if (!display_) return;
    EGLDisplay display = static_cast<EGLDisplay>(display_);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_) eglDestroyContext(display, static_cast<EGLContext>(context_));
    eglTerminate(display);
}

std::unique_ptr<THeadlessGLContext> THeadlessGLContext::Create(std::string* error)
{
    std::string reason = "no EGL platform that works without a display (surfaceless or device)";
    for (EGLDisplay display : CandidateDisplays()) {
        EGLint major = 0, minor = 0;
        if (!eglInitialize(display, &major, &minor)) {
            reason = "eglInitialize failed";
            continue;
        }
        if (!eglBindAPI(EGL_OPENGL_API)) {
            reason = "the EGL display offers no desktop OpenGL";
            eglTerminate(display);
            continue;
        }
        const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, 0, EGL_NONE};
        EGLConfig config = nullptr;
        EGLint configs = 0;
        if (!eglChooseConfig(display, configAttributes, &config, 1, &configs) || configs < 1) config = nullptr;
        const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                            3,
                                            EGL_CONTEXT_MINOR_VERSION,
                                            3,
                                            EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                            EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                            EGL_NONE};
        EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
        if (context == EGL_NO_CONTEXT) {
            reason = "the EGL display cannot make an OpenGL 3.3 core context";
            eglTerminate(display);
            continue;
        }
        if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
            reason = "the OpenGL context cannot be made current without a surface";
            eglDestroyContext(display, context);
            eglTerminate(display);
            continue;
        }
        std::unique_ptr<THeadlessGLContext> result(new THeadlessGLContext);
        result->display_ = display;
        result->context_ = context;
        return result;
    }
    if (error) *error = "cannot make an OpenGL context: " + reason;
    return nullptr;
}

bool THeadlessGLContext::MakeCurrent()
{
    return eglMakeCurrent(static_cast<EGLDisplay>(display_), EGL_NO_SURFACE, EGL_NO_SURFACE,
                          static_cast<EGLContext>(context_)) == EGL_TRUE;
}

std::string THeadlessGLContext::Description() const
{
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(renderer ? renderer : "?") + ", " + (version ? version : "?");
}

}  // namespace mc
