// The exported C functions: thin wrappers over the one engine instance. No exception leaves.

#include "zelle.h"

#include "engine.h"

#include <cstdio>
#include <exception>

namespace {

zelle::Engine &engine()
{
    static zelle::Engine instance;
    return instance;
}

template <typename F, typename R> R guarded(F &&f, R fallback)
{
    try {
        return f();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "Zelle: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Zelle: unbekannter Fehler\n");
    }
    return fallback;
}

} // namespace

extern "C" {

void Zelle_Init(uintptr_t window, const char *base_folder)
{
    guarded(
        [&] {
            engine().Init(window, base_folder);
            return 0;
        },
        0);
}

void Zelle_Viewport(bool overview, int32_t x, int32_t y, int32_t width, int32_t height)
{
    guarded(
        [&] {
            engine().Viewport(overview, x, y, width, height);
            return 0;
        },
        0);
}

int32_t Zelle_Render(int32_t x, int32_t y)
{
    return guarded([&] { return engine().Render(x, y); }, int32_t(-1));
}

int32_t Zelle_Action(int32_t code, int32_t a, int32_t b)
{
    return guarded([&] { return engine().Action(code, a, b); }, int32_t(-1));
}

void Zelle_Destroy(void)
{
    guarded(
        [&] {
            engine().Destroy();
            return 0;
        },
        0);
}

// The same entry points under their lower-case names.
ZELLE_API void zelle_init(uintptr_t window, const char *base_folder) __attribute__((alias("Zelle_Init")));
ZELLE_API void zelle_viewport(bool overview, int32_t x, int32_t y, int32_t width, int32_t height)
    __attribute__((alias("Zelle_Viewport")));
ZELLE_API int32_t zelle_render(int32_t x, int32_t y) __attribute__((alias("Zelle_Render")));
ZELLE_API int32_t zelle_action(int32_t code, int32_t a, int32_t b) __attribute__((alias("Zelle_Action")));
ZELLE_API void zelle_destroy(void) __attribute__((alias("Zelle_Destroy")));

} // extern "C"
