#include "context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <vector>

#ifndef EGL_PLATFORM_SURFACELESS_MESA
#define EGL_PLATFORM_SURFACELESS_MESA 0x31DD
#endif

namespace zelle {

namespace {

void report(const char *what)
{
    std::fprintf(stderr, "Zelle: %s (EGL-Fehler 0x%04X)\n", what, unsigned(eglGetError()));
}

EGLint attrib(EGLDisplay display, EGLConfig config, EGLint name)
{
    EGLint value = 0;
    eglGetConfigAttrib(display, config, name, &value);
    return value;
}

// RGB 8 bits each, no alpha, depth 16; among those the one with the wanted visual, if any.
EGLConfig chooseConfig(EGLDisplay display, EGLint surface_type, EGLint visual_id)
{
    const EGLint wanted[] = {EGL_SURFACE_TYPE,
                             surface_type,
                             EGL_RENDERABLE_TYPE,
                             EGL_OPENGL_BIT,
                             EGL_RED_SIZE,
                             8,
                             EGL_GREEN_SIZE,
                             8,
                             EGL_BLUE_SIZE,
                             8,
                             EGL_DEPTH_SIZE,
                             16,
                             EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, wanted, nullptr, 0, &count) || count <= 0)
        return nullptr;
    std::vector<EGLConfig> configs(static_cast<size_t>(count));
    eglChooseConfig(display, wanted, configs.data(), count, &count);
    configs.resize(size_t(count));

    auto exactRgb = [&](EGLConfig c) {
        return attrib(display, c, EGL_RED_SIZE) == 8 && attrib(display, c, EGL_GREEN_SIZE) == 8 &&
               attrib(display, c, EGL_BLUE_SIZE) == 8;
    };
    auto score = [&](EGLConfig c) {
        int s = 0;
        if (visual_id != 0 && attrib(display, c, EGL_NATIVE_VISUAL_ID) == visual_id)
            s += 8;
        if (attrib(display, c, EGL_ALPHA_SIZE) == 0)
            s += 4;
        if (attrib(display, c, EGL_DEPTH_SIZE) == 16)
            s += 2;
        if (attrib(display, c, EGL_STENCIL_SIZE) == 0)
            s += 1;
        return s;
    };
    EGLConfig best = nullptr;
    int best_score = -1;
    for (EGLConfig c : configs) {
        if (!exactRgb(c))
            continue;
        const int s = score(c);
        if (s > best_score) {
            best = c;
            best_score = s;
        }
    }
    return best ? best : configs.front();
}

} // namespace

bool GlContext::create(uintptr_t window)
{
    release();
    EGLint visual_id = 0;
    EGLDisplay display = EGL_NO_DISPLAY;
    if (window == 0) {
        display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    } else {
        Display *x = XOpenDisplay(nullptr);
        if (!x) {
            std::fprintf(stderr, "Zelle: X-Display kann nicht geöffnet werden\n");
            return false;
        }
        x_display_ = x;
        // Xlib's default handler ends the process on an error: a wrong window id must not.
        XErrorHandler previous = XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
        XWindowAttributes attributes{};
        const Status known = XGetWindowAttributes(x, Window(window), &attributes);
        XSync(x, False);
        XSetErrorHandler(previous);
        if (!known || !attributes.visual) {
            std::fprintf(stderr, "Zelle: X-Fenster 0x%lx nicht gefunden\n",
                         static_cast<unsigned long>(window));
            release();
            return false;
        }
        visual_id = EGLint(XVisualIDFromVisual(attributes.visual));
        display = eglGetPlatformDisplay(EGL_PLATFORM_X11_KHR, x, nullptr);
    }
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        report("EGL-Display nicht verfügbar");
        release();
        return false;
    }
    display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        report("Desktop-OpenGL nicht verfügbar");
        release();
        return false;
    }

    EGLConfig config = chooseConfig(display, window == 0 ? EGL_PBUFFER_BIT : EGL_WINDOW_BIT, visual_id);
    if (!config) {
        report("keine passende EGL-Konfiguration");
        release();
        return false;
    }

    EGLSurface surface = EGL_NO_SURFACE;
    if (window == 0) {
        const EGLint size[] = {EGL_WIDTH, kOffscreenWidth, EGL_HEIGHT, kOffscreenHeight, EGL_NONE};
        surface = eglCreatePbufferSurface(display, config, size);
    } else {
        const EGLAttrib attributes[] = {EGL_RENDER_BUFFER, EGL_BACK_BUFFER, EGL_NONE};
        Window native = Window(window);
        surface = eglCreatePlatformWindowSurface(display, config, &native, attributes);
    }
    if (surface == EGL_NO_SURFACE) {
        report("EGL-Fläche kann nicht angelegt werden");
        release();
        return false;
    }
    surface_ = surface;

    const EGLint context_attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                         EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, context_attributes);
    if (context == EGL_NO_CONTEXT) {
        report("OpenGL-Kontext kann nicht angelegt werden");
        release();
        return false;
    }
    context_ = context;
    if (!eglMakeCurrent(display, surface, surface, context)) {
        report("OpenGL-Kontext kann nicht aktiviert werden");
        release();
        return false;
    }
    eglSwapInterval(display, 1);
    return true;
}

void GlContext::swap()
{
    if (!display_ || !surface_)
        return;
    eglSwapBuffers(display_, surface_);
    // A pbuffer's swap neither shows nor throttles anything: finish the frame here, so that
    // frames cannot pile up in the software rasteriser and the caller can read this one.
    if (x_display_ == nullptr)
        glFinish();
}

void GlContext::makeCurrent()
{
    if (context_ && eglGetCurrentContext() != context_)
        eglMakeCurrent(display_, surface_, surface_, context_);
}

void GlContext::release()
{
    if (display_) {
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (context_)
            eglDestroyContext(display_, context_);
        if (surface_)
            eglDestroySurface(display_, surface_);
        eglTerminate(display_);
    }
    context_ = surface_ = display_ = nullptr;
    if (x_display_) {
        XCloseDisplay(static_cast<Display *>(x_display_));
        x_display_ = nullptr;
    }
}

} // namespace zelle
