#pragma once

// The EGL binding: a window surface on the caller's X11 window, or a 1024 x 768 pbuffer on
// Mesa's surfaceless platform when there is no window. Desktop GL, compatibility profile.

#include <cstdint>

namespace zelle {

class GlContext
{
  public:
    GlContext() = default;
    GlContext(const GlContext &) = delete;
    GlContext &operator=(const GlContext &) = delete;
    ~GlContext() { release(); }

    // Creates surface and context and makes them current on this thread; false (and a report
    // on standard error) when any step fails, with everything created so far released.
    bool create(uintptr_t window);
    void swap();
    // Makes the context current again if someone else's is (cheap when it already is).
    void makeCurrent();
    void release();
    bool valid() const { return context_ != nullptr; }

    static constexpr int kOffscreenWidth = 1024;
    static constexpr int kOffscreenHeight = 768;

  private:
    void *x_display_ = nullptr; // Display *
    void *display_ = nullptr;   // EGLDisplay
    void *surface_ = nullptr;   // EGLSurface
    void *context_ = nullptr;   // EGLContext
};

} // namespace zelle
