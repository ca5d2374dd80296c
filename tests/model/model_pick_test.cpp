// The generated model in the library, headless: every organelle kind can be picked in the
// whole cell from the initial camera, and every mesh of every detail view in that view.

#include "model_helpers.h"

#include "zelle.h"

#include <algorithm>
#include <map>
#include <set>

using namespace modeltest;

namespace {

class ModelPick : public ::testing::Test {
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
        std::sort(points.begin(), points.end(), [](const Candidate &a, const Candidate &b) { return a.depth < b.depth; });
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
        EXPECT_TRUE(found.count(kind)) << "no placement of object " << kind << " can be picked from the initial camera";
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
