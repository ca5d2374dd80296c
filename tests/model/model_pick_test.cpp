// The generated model in the library, headless: every organelle kind can be picked in the
// whole cell from the initial camera, and every mesh of every detail view in that view; in the
// whole cell every kind shows the colour of its button in the organelle menu.

#include "model_helpers.h"

#include "zelle.h"

#include <GL/gl.h>

#include <algorithm>
#include <map>
#include <set>

using namespace modeltest;

namespace {

// The organelle menu's label colours as the cell screen sets them (24-bit BGR), by organelle index.
constexpr int kMenuColours[zelle::kObjectCount] = {9782668,  13001571, 51455,   5066115,  1372168, 227289,
                                                   13152670, 16496559, 1197672, 14914654, 2114551};

struct Rgb
{
    int r, g, b;
};

Rgb fromBgr(int bgr)
{
    return {bgr & 255, (bgr >> 8) & 255, (bgr >> 16) & 255};
}

// Hue in degrees and chroma (max - min) of a colour; lighting scales all three channels alike, so
// it changes brightness and chroma but keeps the hue.
double hue(const Rgb &c, int *chroma = nullptr)
{
    const int mx = std::max({c.r, c.g, c.b}), mn = std::min({c.r, c.g, c.b}), d = mx - mn;
    if (chroma)
        *chroma = d;
    if (d == 0)
        return 0;
    double h;
    if (mx == c.r)
        h = 60.0 * std::fmod(double(c.g - c.b) / d + 6, 6);
    else if (mx == c.g)
        h = 60.0 * (double(c.b - c.r) / d + 2);
    else
        h = 60.0 * (double(c.r - c.g) / d + 4);
    return h;
}

double hueDistance(double a, double b)
{
    const double d = std::fmod(std::abs(a - b), 360.0);
    return std::min(d, 360 - d);
}

class ModelPick : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        std::string why;
        loaded = loadModel(model, &why);
        loadError = why;
        const std::string base = distDir() + "/";
        Zelle_Init(0, base.c_str());
        Zelle_Viewport(true, 0, 0, 1024, 768);
        Zelle_Viewport(false, 0, 0, 1024, 768);
    }

    void SetUp() override { ASSERT_TRUE(loaded) << loadError; }

    // The first candidate point at which the library's pick answers `expected`.
    static bool pickable(std::vector<Candidate> points, int expected, size_t tries, Candidate *hit)
    {
        std::sort(points.begin(), points.end(),
                  [](const Candidate &a, const Candidate &b) { return a.depth < b.depth; });
        for (size_t i = 0; i < points.size() && i < tries; ++i) {
            if (Zelle_Action(9, int(points[i].x), int(points[i].y)) == expected) {
                *hit = points[i];
                return true;
            }
        }
        return false;
    }

    static bool renderUntil(int state)
    {
        for (int i = 0; i < 100000; ++i)
            if (Zelle_Render(-10, -10) == -2 - state)
                return true;
        return false;
    }

    static inline LoadedModel model;
    static inline bool loaded = false;
    static inline std::string loadError;
};

TEST_F(ModelPick, EveryOrganelleKindIsPickableInTheWholeCell)
{
    Zelle_Render(-10, -10);
    const Mat camera = initialCamera();
    std::set<int> found;
    // From the end of the table: the menu flies from the last placement of a kind (action 6).
    for (auto it = model.placements.rbegin(); it != model.placements.rend(); ++it) {
        if (found.count(it->object_index))
            continue;
        const Mat placed = multiply(camera, it->matrix);
        const auto &parts = model.objects[it->object_index].overview_parts;
        std::vector<Candidate> points;
        for (size_t k = 0; k < parts.size() && k < 20; ++k)
            candidates(model.meshes[parts[k].mesh_index], multiply(placed, parts[k].matrix), points);
        Candidate hit{};
        if (pickable(points, it->id, 40, &hit))
            found.insert(it->object_index);
    }
    for (int kind = 0; kind < zelle::kObjectCount; ++kind)
        EXPECT_TRUE(found.count(kind))
            << "no placement of object " << kind << " can be picked from the initial camera";
}

TEST_F(ModelPick, EveryKindShowsItsMenuColourInTheWholeCell)
{
    // The hue helper itself, on the menu's own colours.
    EXPECT_NEAR(hue(fromBgr(kMenuColours[4])), 123.0, 1.0); // chloroplast green
    EXPECT_NEAR(hue(fromBgr(kMenuColours[1])), 240.0, 1.0); // ER blue
    EXPECT_NEAR(hueDistance(355, 5), 10.0, 1e-9);

    Zelle_Render(-10, -10);
    std::vector<uint8_t> frame(1024 * 768 * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1024, 768, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
    auto pixel = [&](int x, int y) { // window point, origin top left
        const uint8_t *p = &frame[(size_t(767 - y) * 1024 + x) * 4];
        return Rgb{p[0], p[1], p[2]};
    };

    std::map<int, int> kindOfId;
    for (const auto &p : model.placements)
        kindOfId[p.id] = p.object_index;
    const Mat camera = initialCamera();
    // Pixels where the pick names a placement of the kind, from points spread over its parts.
    std::map<int, std::vector<double>> hues;
    for (const auto &pl : model.placements) {
        const Mat placed = multiply(camera, pl.matrix);
        const auto &parts = model.objects[pl.object_index].overview_parts;
        std::vector<Candidate> points;
        for (size_t k = 0; k < parts.size() && k < 20; ++k)
            candidates(model.meshes[parts[k].mesh_index], multiply(placed, parts[k].matrix), points);
        const size_t step = std::max<size_t>(1, points.size() / 16);
        for (size_t i = 0; i < points.size(); i += step) {
            const int x = int(points[i].x), y = int(points[i].y);
            const int id = Zelle_Action(9, x, y);
            if (!kindOfId.count(id) || kindOfId[id] != pl.object_index)
                continue;
            int chroma = 0;
            const double h = hue(pixel(x, y), &chroma);
            if (chroma >= 8) // near-grey pixels (highlights, deep shade) carry no hue
                hues[pl.object_index].push_back(h);
        }
    }
    for (int kind = 0; kind < zelle::kObjectCount; ++kind) {
        std::vector<double> d;
        const double want = hue(fromBgr(kMenuColours[kind]));
        for (double h : hues[kind])
            d.push_back(hueDistance(h, want));
        ASSERT_GE(d.size(), 5u) << "too few coloured pixels of object " << kind;
        std::sort(d.begin(), d.end());
        const double median = d[d.size() / 2];
        EXPECT_LE(median, 15.0) << "object " << kind << ": the picked pixels' hue is " << median
                                << " degrees away from its menu colour (" << want << " degrees), in "
                                << d.size() << " pixels";
    }
}

TEST_F(ModelPick, EveryMeshOfEveryDetailViewIsPickableThere)
{
    ASSERT_EQ(Zelle_Action(4, Zelle_Action(6, 0, 0), 0), 0);
    ASSERT_TRUE(renderUntil(4)) << "the detail view was never reached";
    for (int object = 0; object < zelle::kObjectCount; ++object) {
        // In the detail view, action 4 jumps straight to another object's view.
        ASSERT_EQ(Zelle_Action(4, Zelle_Action(6, object, 0), 0), 0);
        Zelle_Render(-10, -10);
        const zelle::Object &o = model.objects[object];
        std::map<int, std::vector<Candidate>> perMesh;
        for (const auto &p : o.detail_parts)
            candidates(model.meshes[p.mesh_index], multiply(o.view_matrix, p.matrix), perMesh[p.mesh_index]);
        for (auto &[mesh, points] : perMesh) {
            Candidate hit{};
            EXPECT_TRUE(pickable(points, mesh, 150, &hit))
                << "mesh " << mesh << " of the detail view of object " << object << " cannot be picked";
        }
    }
    EXPECT_EQ(Zelle_Action(5, 0, 0), 0);
    EXPECT_TRUE(renderUntil(0));
}

} // namespace
