// zelle_bench [benchmark flags] [--window=WxH] [model folder]
//
// Times one Zelle_Render in the whole-cell view (draw and pick) and one pick (action 9),
// headless at 1024 x 768, or with --window in a real X window of that size (needs $DISPLAY). The model folder
// is either a base folder holding "zelle/" or the "zelle" folder itself; without one, a model of 140
// placements and about 15 000 triangles in the whole-cell view is generated into a temporary folder.

#include "camera.h"
#include "modelfiles.h"

#include <zelle.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include <X11/Xlib.h>

namespace fs = std::filesystem;
using namespace zelle;

namespace {

std::string g_base;
int g_triangles = 0;
int g_width = 1024, g_height = 768;
Display *g_display = nullptr;
Window g_window = 0;

// A mapped top-level window of the wanted size; the library draws into it through EGL.
bool openWindow()
{
    g_display = XOpenDisplay(nullptr);
    if (!g_display)
        return false;
    const int screen = DefaultScreen(g_display);
    g_window = XCreateSimpleWindow(g_display, RootWindow(g_display, screen), 0, 0, unsigned(g_width),
                                   unsigned(g_height), 0, 0, 0);
    XSelectInput(g_display, g_window, StructureNotifyMask);
    XMapWindow(g_display, g_window);
    for (XEvent e;;) {
        XNextEvent(g_display, &e);
        if (e.type == MapNotify)
            break;
    }
    return true;
}

// A sphere of stacks x slices quads, two triangles each.
Mesh sphere(float radius, int stacks, int slices)
{
    const float pi = 3.14159265f;
    Mesh m;
    for (int i = 0; i <= stacks; ++i)
        for (int j = 0; j <= slices; ++j) {
            const float theta = pi * float(i) / float(stacks), phi = 2 * pi * float(j) / float(slices);
            const Vec3 n{std::sin(theta) * std::cos(phi), std::cos(theta), std::sin(theta) * std::sin(phi)};
            m.normals.push_back(n);
            m.vertices.push_back({n.x * radius, n.y * radius, n.z * radius});
            m.texcoords.push_back({float(j) / float(slices), float(i) / float(stacks)});
        }
    auto at = [&](int i, int j) { return i * (slices + 1) + j + 1; };
    for (int i = 0; i < stacks; ++i)
        for (int j = 0; j < slices; ++j) {
            const int a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            m.faces.push_back(Face{{a, b, c}, {a, b, c}, {a, b, c}});
            m.faces.push_back(Face{{a, c, d}, {a, c, d}, {a, c, d}});
        }
    return m;
}

Image texture(int seed)
{
    Image img;
    img.width = img.height = 64;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const bool check = ((x / 8) + (y / 8)) % 2;
            img.rgb.insert(img.rgb.end(),
                           {uint8_t(60 + seed * 7), uint8_t(check ? 200 : 140), uint8_t(90 + seed * 3)});
        }
    return img;
}

bool generate(const fs::path &dir)
{
    fs::create_directories(dir / "zelle");
    auto file = [&](const std::string &name) { return (dir / "zelle" / name).string(); };
    // Overview meshes: 6 x 9 quads = 108 triangles; 140 placements draw 15 120 triangles.
    for (int i = 0; i < kMeshCount; ++i) {
        if (!writeFileBytes(file("mesh" + std::to_string(i) + ".mesh"),
                            serializeMesh(sphere(0.2f + 0.01f * float(i), 6, 9))) ||
            !writeFileBytes(file("tex" + std::to_string(i) + ".tex"), serializeBmp24(texture(i))))
            return false;
    }
    for (int j = 0; j < kObjectCount; ++j) {
        Object o;
        o.id = j;
        o.view_matrix = translation({0, 0, -4});
        o.overview_parts = {Part{j, identityMatrix(), 0}};
        for (int k = 0; k < kMeshCount; ++k)
            o.detail_parts.push_back(
                Part{k, translation({float(k % 5 - 2) * 0.5f, float(k / 5 - 2) * 0.5f, 0}), 0});
        if (!writeFileBytes(file("object" + std::to_string(j) + ".obj"), serializeObject(o)))
            return false;
    }
    std::vector<Placement> table;
    for (int i = 0; i < kPlacementCount; ++i) {
        // A golden-angle spiral through a ball of radius 3.5 around the cell's centre.
        const float t = (float(i) + 0.5f) / float(kPlacementCount);
        const float r = 3.5f * std::cbrt(t), y = 1 - 2 * t, ring = std::sqrt(1 - y * y);
        const float a = 2.39996f * float(i);
        table.push_back(Placement{i, i % kObjectCount,
                                  translation({r * ring * std::cos(a), r * y, r * ring * std::sin(a)}), 0});
    }
    g_triangles = kPlacementCount * 108;
    return writeFileBytes(file("zelle.obj"), serializeSceneTable(table));
}

// The base folder for a given folder: its parent when it is the "zelle" folder itself, or a
// temporary base that links "zelle" to it when it holds the files under another name.
std::string baseFor(const fs::path &given, const fs::path &scratch)
{
    if (fs::exists(given / "zelle" / "zelle.obj"))
        return given.string() + "/";
    if (fs::exists(given / "zelle.obj")) {
        const fs::path abs = fs::absolute(given);
        if (abs.filename() == "zelle")
            return abs.parent_path().string() + "/";
        fs::create_directories(scratch);
        fs::create_directory_symlink(abs, scratch / "zelle");
        return scratch.string() + "/";
    }
    return {};
}

void setUp()
{
    Zelle_Init(uintptr_t(g_window), g_base.c_str());
    Zelle_Viewport(true, 0, 0, g_width, g_height);
    Zelle_Viewport(false, g_width / 4, 0, g_width - g_width / 4, g_height);
    Zelle_Render(g_width / 2, g_height / 2);
}

void BM_RenderWholeCell(benchmark::State &state)
{
    setUp();
    int result = 0;
    for (auto _ : state) {
        result = Zelle_Render(g_width / 2, g_height / 2);
        benchmark::DoNotOptimize(result);
    }
    if (g_triangles)
        state.counters["triangles"] = g_triangles;
    Zelle_Destroy();
}

void BM_PickAction9(benchmark::State &state)
{
    setUp();
    int x = 0;
    for (auto _ : state) {
        // Sweep the window so that both hits and misses are timed.
        const int result = Zelle_Action(9, (x * 37) % g_width, (x * 23) % g_height);
        benchmark::DoNotOptimize(result);
        ++x;
    }
    Zelle_Destroy();
}

BENCHMARK(BM_RenderWholeCell)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();
BENCHMARK(BM_PickAction9)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (argc > 1 && std::string(argv[1]).rfind("--window=", 0) == 0) {
        if (std::sscanf(argv[1] + 9, "%dx%d", &g_width, &g_height) != 2 || g_width < 64 || g_height < 64) {
            std::fprintf(stderr, "--window erwartet BREITExHÖHE, z. B. --window=1920x1080.\n");
            return 2;
        }
        --argc;
        ++argv;
        if (!openWindow()) {
            std::fprintf(stderr, "Kein X-Server erreichbar (DISPLAY ist nicht gesetzt?).\n");
            return 2;
        }
    } else {
        setenv("EGL_PLATFORM", "surfaceless", 0);
    }
    const fs::path scratch = fs::temp_directory_path() / ("zelle-bench-" + std::to_string(::getpid()));
    if (argc > 1) {
        g_base = baseFor(argv[1], scratch / "link");
        if (g_base.empty()) {
            std::fprintf(stderr,
                         "Kein Zellmodell in %s gefunden (erwartet: zelle/zelle.obj oder zelle.obj).\n",
                         argv[1]);
            return 2;
        }
    } else {
        if (!generate(scratch)) {
            std::fprintf(stderr, "Das Testmodell kann nicht nach %s geschrieben werden.\n", scratch.c_str());
            return 2;
        }
        g_base = scratch.string() + "/";
    }
    std::fprintf(stderr, "Modell: %s\n", g_base.c_str());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(scratch, ec);
    return 0;
}
