#pragma once

// A small model written into a temporary folder, and the arithmetic to predict where the
// library draws things: the whole cell is a 14 x 10 grid of small cubes spread over the screen,
// each object's detail view a 5 x 5 grid of parts named by their mesh index.

#include "camera.h"
#include "modelfiles.h"

#include <zelle.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace zt {

using namespace zelle;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
// Detail viewport: the right 768 x 768 square of the window.
constexpr int kDetailX = 256;
constexpr int kDetailWidth = 768;
constexpr float kCube = 0.15f;      // half the side of every cube
constexpr float kOverviewZ = -9.0f; // eye depth of the whole-cell grid
constexpr float kDetailZ = -5.0f;   // eye depth of a detail grid
constexpr float kDetailSpacing = 0.6f;

inline Mesh cubeMesh(float h)
{
    Mesh m;
    for (int i = 0; i < 8; ++i)
        m.vertices.push_back({i & 1 ? h : -h, i & 2 ? h : -h, i & 4 ? h : -h});
    m.texcoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    m.normals = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
    // Each side as two triangles of 1-based vertex indexes.
    const int sides[6][4] = {{1, 3, 7, 5}, {2, 6, 8, 4}, {1, 5, 6, 2},
                             {3, 4, 8, 7}, {1, 2, 4, 3}, {5, 7, 8, 6}};
    for (int s = 0; s < 6; ++s) {
        const int *q = sides[s];
        m.faces.push_back(Face{{q[0], q[1], q[2]}, {1, 2, 3}, {s + 1, s + 1, s + 1}});
        m.faces.push_back(Face{{q[0], q[2], q[3]}, {1, 3, 4}, {s + 1, s + 1, s + 1}});
    }
    return m;
}

inline Image solidImage(int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    Image img;
    img.width = w;
    img.height = h;
    for (int i = 0; i < w * h; ++i)
        img.rgb.insert(img.rgb.end(), {r, g, b});
    return img;
}

// Eye-space position of grid cell i (0..139) in the whole-cell view.
inline Vec overviewEye(int i)
{
    const int col = i % 14, row = i / 14;
    return {-4.4f + float(col) * 0.68f, -3.1f + float(row) * 0.69f, kOverviewZ};
}

// Model-space matrix that puts an object's origin at eye position `eye` under `camera`.
inline Matrix placeAt(const Matrix &camera, const Vec &eye)
{
    const Matrix3 inv = inverse3(camera);
    const Vec local = transform(inv, {eye[0] - camera[12], eye[1] - camera[13], eye[2] - camera[14]});
    return translation(local);
}

inline Vec detailOffset(int k)
{
    return {float(k % 5 - 2) * kDetailSpacing, float(k / 5 - 2) * kDetailSpacing, 0};
}

struct Model
{
    std::vector<Mesh> meshes = std::vector<Mesh>(kMeshCount, cubeMesh(kCube));
    std::vector<Object> objects = std::vector<Object>(kObjectCount);
    std::vector<Placement> placements = std::vector<Placement>(kPlacementCount);

    Model()
    {
        const Matrix camera = initialCamera();
        for (int j = 0; j < kObjectCount; ++j) {
            Object &o = objects[size_t(j)];
            o.id = j;
            o.view_matrix = translation({0, 0, kDetailZ});
            o.overview_parts = {Part{j, identityMatrix(), 0}};
            for (int k = 0; k < kMeshCount; ++k)
                o.detail_parts.push_back(Part{k, translation(detailOffset(k)), 0});
        }
        for (int i = 0; i < kPlacementCount; ++i)
            placements[size_t(i)] = Placement{1000 + i, i % kObjectCount, placeAt(camera, overviewEye(i)), 0};
    }
};

class TempDir
{
  public:
    TempDir()
    {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("zelle-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(path_ / "zelle");
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string base() const { return path_.string() + "/"; }
    std::string file(const std::string &name) const { return (path_ / "zelle" / name).string(); }

  private:
    std::filesystem::path path_;
};

inline void writeModel(const TempDir &dir, const Model &m)
{
    for (int i = 0; i < kMeshCount; ++i) {
        ASSERT_TRUE(writeFileBytes(dir.file("mesh" + std::to_string(i) + ".mesh"),
                                   serializeMesh(m.meshes[size_t(i)])));
        ASSERT_TRUE(writeFileBytes(dir.file("tex" + std::to_string(i) + ".tex"),
                                   serializeBmp24(solidImage(4, 4, uint8_t(40 + 8 * i), 200, 120))));
    }
    for (int j = 0; j < kObjectCount; ++j)
        ASSERT_TRUE(writeFileBytes(dir.file("object" + std::to_string(j) + ".obj"),
                                   serializeObject(m.objects[size_t(j)])));
    ASSERT_TRUE(writeFileBytes(dir.file("zelle.obj"), serializeSceneTable(m.placements)));
}

struct Point
{
    int x = 0, y = 0; // window pixels, origin top left
};

// Where an eye-space point lands in a viewport (GL coordinates), as a top-left window point.
inline Point project(const Vec &eye, float vx, float vy, float vw, float vh)
{
    const double f = 1.0 / std::tan(22.5 * 3.141592653589793 / 180.0);
    const double ndc_x = f / (double(vw) / double(vh)) * eye[0] / -eye[2];
    const double ndc_y = f * eye[1] / -eye[2];
    const double wx = vx + (1 + ndc_x) * vw / 2;
    const double wy = vy + (1 + ndc_y) * vh / 2;
    return {int(std::lround(wx)), int(std::lround(kHeight - wy))};
}

inline Vec origin(const Matrix &m)
{
    return {m[12], m[13], m[14]};
}

inline Point overviewPoint(const Matrix &camera, const Placement &p)
{
    return project(origin(multiply(camera, p.matrix)), 0, 0, kWidth, kHeight);
}

inline Point detailPoint(const Matrix &camera, int k)
{
    return project(origin(multiply(camera, translation(detailOffset(k)))), kDetailX, 0, kDetailWidth,
                   kHeight);
}

// Base fixture: writes the model, initialises the library headless, sets both viewports.
class ZelleTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        adjustModel(model);
        writeModel(dir, model);
        Zelle_Init(0, dir.base().c_str());
        Zelle_Viewport(true, 0, 0, kWidth, kHeight);
        Zelle_Viewport(false, kDetailX, 0, kDetailWidth, kHeight);
    }
    void TearDown() override { Zelle_Destroy(); }
    virtual void adjustModel(Model &) {}

    struct Step
    {
        int code;
        std::chrono::steady_clock::time_point at; // when the frame that reported it began
    };

    // Renders frames until one returns `code`; gives up after 10 s. `each` sees every other result.
    Step renderUntil(int code, const std::function<void(int)> &each = {}, Point mouse = {0, 0})
    {
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
            const auto frame_start = std::chrono::steady_clock::now();
            const int r = Zelle_Render(mouse.x, mouse.y);
            if (const GLenum error = glGetError(); error != GL_NO_ERROR) {
                ADD_FAILURE() << "GL error 0x" << std::hex << error << " in a frame";
                return {r, frame_start};
            }
            if (r == code)
                return {r, frame_start};
            if (r < -1) {
                ADD_FAILURE() << "state code " << r << " while waiting for " << code;
                return {r, frame_start};
            }
            if (each)
                each(r);
        }
        ADD_FAILURE() << "state code " << code << " never came";
        return {0, std::chrono::steady_clock::now()};
    }

    // From the whole cell to the detail view of placement `id`.
    void goToDetail(int id)
    {
        ASSERT_EQ(Zelle_Action(ZELLE_ACTION_GO_TO, id, 0), 0);
        for (int code :
             {ZELLE_STATE_ENTERED(ZELLE_STATE_LEAVING_CELL), ZELLE_STATE_ENTERED(ZELLE_STATE_FLYING_IN),
              ZELLE_STATE_ENTERED(ZELLE_STATE_ENTERING_DETAIL), ZELLE_STATE_ENTERED(ZELLE_STATE_DETAIL)})
            renderUntil(code);
    }
    void backToCell()
    {
        ASSERT_EQ(Zelle_Action(ZELLE_ACTION_BACK, 0, 0), 0);
        for (int code :
             {ZELLE_STATE_ENTERED(ZELLE_STATE_LEAVING_DETAIL), ZELLE_STATE_ENTERED(ZELLE_STATE_FLYING_BACK),
              ZELLE_STATE_ENTERED(ZELLE_STATE_RETURNING), ZELLE_STATE_ENTERED(ZELLE_STATE_WHOLE_CELL)})
            renderUntil(code);
    }

    TempDir dir;
    Model model;
};

} // namespace zt
