// The library through its C API, headless (window 0), on the small model of zelle_fixture.h.

#include "zelle_fixture.h"

#include <GL/gl.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <map>
#include <set>

using namespace zt;
using namespace std::chrono_literals;

namespace {

struct Pixel
{
    int r = 0, g = 0, b = 0;
    int sum() const { return r + g + b; }
    bool background() const
    {
        return std::abs(r - 207) <= 2 && std::abs(g - 235) <= 2 && std::abs(b - 189) <= 2;
    }
};

// Reads the frame Zelle_Render just drew, at a top-left window point.
Pixel pixelAt(Point p)
{
    unsigned char rgba[4] = {0, 0, 0, 0};
    glReadPixels(p.x, kHeight - p.y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}

double distance(Point a, Point b)
{
    return std::hypot(double(a.x - b.x), double(a.y - b.y));
}

// Points of the placements, and those far enough from every other one to be picked unambiguously.
std::map<int, Point> isolatedPoints(const std::vector<Placement> &table, const Matrix &camera, double gap)
{
    std::map<int, Point> all, isolated;
    for (const Placement &p : table)
        all[p.id] = overviewPoint(camera, p);
    for (const auto &[id, pt] : all) {
        bool alone = gap <= 0 || (pt.x > 20 && pt.x < kWidth - 20 && pt.y > 20 && pt.y < kHeight - 20);
        for (const auto &[other, opt] : all)
            if (other != id && distance(pt, opt) < gap)
                alone = false;
        if (alone)
            isolated[id] = pt;
    }
    return isolated;
}

Matrix withEyeOffset(const Matrix &m, const Vec &d)
{
    Matrix out = m;
    for (int k = 0; k < 3; ++k)
        out[size_t(12 + k)] += d[size_t(k)];
    return out;
}

} // namespace

TEST(ZelleExports, ExactlyTheTenEntryPoints)
{
    FILE *nm = popen("nm -D --defined-only " ZELLE_LIBRARY " 2>&1", "r");
    ASSERT_NE(nm, nullptr);
    std::set<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof line, nm)) {
        char address[64], type[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", address, type, name) == 3)
            names.insert(name);
    }
    ASSERT_EQ(pclose(nm), 0);
    const std::set<std::string> expected = {
        "Zelle_Init", "Zelle_Viewport", "Zelle_Render", "Zelle_Action", "Zelle_Destroy",
        "zelle_init", "zelle_viewport", "zelle_render", "zelle_action", "zelle_destroy"};
    EXPECT_EQ(names, expected);

    // The lower-case names are the same functions, not copies.
    void *self = dlopen(ZELLE_LIBRARY, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(self, nullptr);
    for (const char *name : {"init", "viewport", "render", "action", "destroy"}) {
        std::string upper = std::string("Zelle_") + name;
        upper[6] = char(std::toupper(upper[6]));
        EXPECT_EQ(dlsym(self, upper.c_str()), dlsym(self, (std::string("zelle_") + name).c_str())) << name;
        EXPECT_NE(dlsym(self, upper.c_str()), nullptr) << upper;
    }
    dlclose(self);
}

// ---------------------------------------------------------------------------------------------

TEST_F(ZelleTest, PicksEveryPlacementInTheWholeCell)
{
    const Matrix camera = initialCamera();
    for (const Placement &p : model.placements) {
        const Point pt = overviewPoint(camera, p);
        ASSERT_EQ(Zelle_Action(ZELLE_ACTION_PICK, pt.x, pt.y), p.id) << "placement " << p.id;
    }
    // Render picks at the mouse and returns the same id.
    const Point p37 = overviewPoint(camera, model.placements[37]);
    EXPECT_EQ(Zelle_Render(p37.x, p37.y), 1037);
    // Between two cubes and in a corner nothing is hit.
    const Point a = overviewPoint(camera, model.placements[0]),
                b = overviewPoint(camera, model.placements[1]);
    EXPECT_EQ(Zelle_Render((a.x + b.x) / 2, (a.y + b.y) / 2), ZELLE_NONE);
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PICK, 2, 2), ZELLE_NONE);
}

TEST_F(ZelleTest, FrameIsReadableAndShowsHoverAndHighlight)
{
    const Matrix camera = initialCamera();
    // Placements 3 and 14 both show object 3.
    const Point p3 = overviewPoint(camera, model.placements[3]);
    const Point p14 = overviewPoint(camera, model.placements[14]);
    const Point between = {(p3.x + overviewPoint(camera, model.placements[4]).x) / 2, p3.y};

    Zelle_Render(2, 2);
    EXPECT_TRUE(pixelAt({2, 2}).background());
    EXPECT_TRUE(pixelAt(between).background());
    const Pixel plain3 = pixelAt(p3), plain14 = pixelAt(p14);
    EXPECT_FALSE(plain3.background());

    EXPECT_EQ(Zelle_Render(p3.x, p3.y), 1003);
    EXPECT_GT(pixelAt(p3).sum(), plain3.sum() + 20) << "hovered placement is drawn brighter";
    EXPECT_EQ(pixelAt(p14).sum(), plain14.sum());

    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_HIGHLIGHT, 3, 0), 0);
    Zelle_Render(2, 2);
    EXPECT_GT(pixelAt(p14).sum(), plain14.sum() + 20) << "every placement of the highlighted object";
    EXPECT_GT(pixelAt(p3).sum(), plain3.sum() + 20);
    const Pixel other = pixelAt(overviewPoint(camera, model.placements[5]));
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_HIGHLIGHT, -1, 0), 0);
    Zelle_Render(2, 2);
    EXPECT_EQ(pixelAt(p14).sum(), plain14.sum());
    EXPECT_EQ(pixelAt(overviewPoint(camera, model.placements[5])).sum(), other.sum());

    // A viewport of height 0 keeps the projection: the picture stays where it was.
    Zelle_Viewport(true, 0, 0, kWidth, 0);
    Zelle_Render(2, 2);
    EXPECT_EQ(pixelAt(p14).sum(), plain14.sum());
    EXPECT_TRUE(pixelAt(between).background());
}

TEST_F(ZelleTest, ActionResultsInTheWholeCellAndTheDetailView)
{
    struct Case
    {
        int code, a, b, result;
    };
    // Results that do not depend on the view state (0 or 4).
    const Case common[] = {
        {11, 1, 2, 0},
        {-1, 1, 2, 0},
        {1000, 1, 2, 0},
        {INT_MIN, 0, 0, 0}, // unknown codes
        {ZELLE_ACTION_GO_TO, ZELLE_NONE, 0, ZELLE_NONE},
        {ZELLE_ACTION_PLACEMENT_OF, -1, 0, ZELLE_NONE},
        {ZELLE_ACTION_PLACEMENT_OF, 3, 0, 1135},
        {ZELLE_ACTION_PLACEMENT_OF, 10, 0, 1131},
        {ZELLE_ACTION_PLACEMENT_OF, 11, 0, 0},
        {ZELLE_ACTION_OBJECT_OF, -1, 0, ZELLE_NONE},
        {ZELLE_ACTION_OBJECT_OF, 1005, 0, 5},
        {ZELLE_ACTION_OBJECT_OF, 1139, 0, 139 % 11},
        {ZELLE_ACTION_OBJECT_OF, 5, 0, 0},
        {ZELLE_ACTION_HIGHLIGHT, 4, 0, 0},
        {ZELLE_ACTION_HIGHLIGHT, 4, ZELLE_HIGHLIGHT_STRONG, 0},
        {ZELLE_ACTION_HIGHLIGHT, ZELLE_NONE, 0, 0},
        {ZELLE_ACTION_ZOOM, 0, 0, 0},
        {ZELLE_ACTION_ROTATE, 10, 10, 0},
        {ZELLE_ACTION_END_DRAG, 10, 10, 0},
        {ZELLE_ACTION_MOVE, 10, 10, 0},
        {ZELLE_ACTION_END_DRAG, 10, 10, 0},
    };
    for (const Case &c : common)
        EXPECT_EQ(Zelle_Action(c.code, c.a, c.b), c.result) << "whole cell, code " << c.code << " a " << c.a;
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_BACK, 0, 0), ZELLE_NONE) << "back to the cell while in it";

    // An id that no entry has: ignored, no fade starts.
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_GO_TO, 99999, 0), 0);
    EXPECT_EQ(Zelle_Render(2, 2), ZELLE_NONE);

    goToDetail(1003);
    // The fade has re-sorted the table (action 6 after a sort has its own test); everything
    // else answers as in the whole cell.
    for (const Case &c : common)
        if (c.code != ZELLE_ACTION_PLACEMENT_OF) {
            EXPECT_EQ(Zelle_Action(c.code, c.a, c.b), c.result)
                << "detail view, code " << c.code << " a " << c.a;
        }
    // Action 4 in the detail view jumps without animation.
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_GO_TO, 1007, 0), 0);
    EXPECT_EQ(Zelle_Render(2, 2), ZELLE_NONE);
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_GO_TO, 99999, 0), 0);
    EXPECT_EQ(Zelle_Render(2, 2), ZELLE_NONE);
}

TEST_F(ZelleTest, ViewStateCycleWithMinimumDurationsAndFrozenHover)
{
    const Point p30 = overviewPoint(initialCamera(), model.placements[30]);
    ASSERT_EQ(Zelle_Render(p30.x, p30.y), 1030);

    // During an animation every action answers -1, even unknown codes.
    auto actionsRefused = [](int) {
        for (int code : {ZELLE_ACTION_ROTATE, ZELLE_ACTION_MOVE, ZELLE_ACTION_END_DRAG, ZELLE_ACTION_ZOOM,
                         ZELLE_ACTION_GO_TO, ZELLE_ACTION_BACK, ZELLE_ACTION_PLACEMENT_OF,
                         ZELLE_ACTION_OBJECT_OF, ZELLE_ACTION_HIGHLIGHT, ZELLE_ACTION_PICK, 10, -1, 1000})
            ASSERT_EQ(Zelle_Action(code, 1003, 1), ZELLE_NONE) << "code " << code;
    };
    // No pick during animations: the hover id stays that of the last pick, wherever the mouse is.
    auto hoverFrozen = [&](int r) {
        EXPECT_EQ(r, 1030);
        actionsRefused(r);
    };

    // The library's clock counts whole milliseconds, so a phase may look up to 1 ms short.
    const auto fade = 249ms, flight = 1499ms;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_GO_TO, 1030, 0), 0);
    EXPECT_EQ(Zelle_Render(p30.x, p30.y), ZELLE_STATE_ENTERED(ZELLE_STATE_LEAVING_CELL));
    const Step s2 = renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_FLYING_IN), hoverFrozen);
    const Step s3 = renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_ENTERING_DETAIL), hoverFrozen);
    const Step s4 = renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_DETAIL), hoverFrozen);
    EXPECT_GE(s2.at - start, fade);
    EXPECT_GE(s3.at - s2.at, flight);
    EXPECT_GE(s4.at - s3.at, fade);

    // Detail view: picking again; nothing at the corner.
    EXPECT_EQ(Zelle_Render(2, 2), ZELLE_NONE);
    const Point part7 = detailPoint(translation({0, 0, kDetailZ}), 7);
    EXPECT_EQ(Zelle_Render(part7.x, part7.y), 7);

    auto detailFrozen = [&](int r) {
        EXPECT_EQ(r, 7);
        actionsRefused(r);
    };
    const auto back = std::chrono::steady_clock::now();
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_BACK, 0, 0), 0);
    EXPECT_EQ(Zelle_Render(part7.x, part7.y), ZELLE_STATE_ENTERED(ZELLE_STATE_LEAVING_DETAIL));
    const Step s6 = renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_FLYING_BACK), detailFrozen, {2, 2});
    const Step s7 = renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_RETURNING), detailFrozen, {2, 2});
    const Step s0 = renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_WHOLE_CELL), detailFrozen, {2, 2});
    EXPECT_GE(s6.at - back, fade);
    EXPECT_GE(s7.at - s6.at, flight);
    EXPECT_GE(s0.at - s7.at, fade);

    // Back in the whole cell with the camera as it was left: picking works at the old points.
    EXPECT_EQ(Zelle_Render(p30.x, p30.y), 1030);
    for (int i : {0, 13, 77, 139}) {
        const Point p = overviewPoint(initialCamera(), model.placements[size_t(i)]);
        EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PICK, p.x, p.y), model.placements[size_t(i)].id);
    }
}

TEST_F(ZelleTest, PicksDetailPartsByMeshIndexInTheDetailViewport)
{
    goToDetail(1002);
    const Matrix view = translation({0, 0, kDetailZ});
    for (int k = 0; k < kMeshCount; ++k) {
        const Point p = detailPoint(view, k);
        ASSERT_EQ(Zelle_Render(p.x, p.y), k) << "part " << k;
    }
    // Left of the detail viewport nothing is drawn.
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PICK, 100, kHeight / 2), ZELLE_NONE);
    Zelle_Render(2, 2);
    EXPECT_TRUE(pixelAt({100, kHeight / 2}).background());
    EXPECT_FALSE(pixelAt(detailPoint(view, 12)).background());
}

class ZelleJumpTest : public ZelleTest
{
    void adjustModel(Model &m) override
    {
        m.objects[7].view_matrix = translation({kDetailSpacing, 0, kDetailZ});
    }
};

TEST_F(ZelleJumpTest, ActionFourInTheDetailViewJumpsToTheObjectsViewMatrix)
{
    goToDetail(1002);
    const Point centre = detailPoint(translation({0, 0, kDetailZ}), 12);
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PICK, centre.x, centre.y), 12);
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_GO_TO, 1007, 0), 0);
    // One column to the right: part 11 now stands where 12 stood.
    EXPECT_EQ(Zelle_Render(centre.x, centre.y), 11);
    const Point moved = detailPoint(translation({kDetailSpacing, 0, kDetailZ}), 12);
    EXPECT_EQ(Zelle_Render(moved.x, moved.y), 12);
}

class ZelleOverflowTest : public ZelleTest
{
    // Object 3: 256 detail parts on top of each other, object 4: 257.
    void adjustModel(Model &m) override
    {
        for (int j : {3, 4}) {
            m.objects[size_t(j)].detail_parts.clear();
            for (int k = 0; k < 253 + j; ++k)
                m.objects[size_t(j)].detail_parts.push_back(Part{(k + 5) % kMeshCount, identityMatrix(), 0});
        }
    }
};

TEST_F(ZelleOverflowTest, MoreThan256HitsUnderThePointGiveMinusOne)
{
    goToDetail(1003);
    const Point centre = detailPoint(translation({0, 0, kDetailZ}), 12);
    // All at the same depth: the first record wins.
    EXPECT_EQ(Zelle_Render(centre.x, centre.y), 5);
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_GO_TO, 1004, 0), 0);
    EXPECT_EQ(Zelle_Render(centre.x, centre.y), ZELLE_NONE);
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PICK, centre.x, centre.y), ZELLE_NONE);
}

TEST_F(ZelleTest, ZoomMovesTheModelAlongTheViewAxis)
{
    // Ten notches in: the model comes 3 units closer; picking follows the re-predicted points.
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(Zelle_Action(ZELLE_ACTION_ZOOM, 120, 0), 0);
    const Matrix zoomed = withEyeOffset(initialCamera(), {0, 0, 3.0f});
    const auto before = isolatedPoints(model.placements, initialCamera(), 0);
    const auto points = isolatedPoints(model.placements, zoomed, 60);
    ASSERT_GT(points.size(), 10u);
    int moved = 0;
    for (const auto &[id, p] : points) {
        EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PICK, p.x, p.y), id);
        moved += distance(p, before.at(id)) > 30;
    }
    EXPECT_GT(moved, 5);
    for (int i = 0; i < 10; ++i)
        Zelle_Action(ZELLE_ACTION_ZOOM, -120, 0);
    for (int i : {0, 70, 139}) {
        const Point p = overviewPoint(initialCamera(), model.placements[size_t(i)]);
        EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PICK, p.x, p.y), model.placements[size_t(i)].id);
    }
}

// Zooming in the detail view stops before the organelle overfills its viewport or passes the
// eye, and before it shrinks away; within the limits a notch moves it as in the whole cell.
TEST_F(ZelleTest, DetailZoomStopsAtTheOrganellesLimits)
{
    goToDetail(1003);
    const struct Case
    {
        int notches;
        float z; // the eye depth the grid ends at
    } cases[] = {
        {3, kDetailZ + 0.9f},    // within the limits
        {100, kDetailZ * 0.8f},  // 30 units in: would be behind the eye
        {-200, kDetailZ * 2.0f}, // 60 units out: would be a dot
    };
    for (const Case &c : cases) {
        ASSERT_EQ(Zelle_Action(ZELLE_ACTION_GO_TO, 1003, 0), 0); // back to the organelle's own view
        for (int i = 0; i < std::abs(c.notches); ++i)
            ASSERT_EQ(Zelle_Action(ZELLE_ACTION_ZOOM, c.notches > 0 ? 120 : -120, 0), 0);
        const Matrix view = translation({0, 0, c.z});
        for (int k : {6, 12, 18}) {
            const Point p = detailPoint(view, k);
            EXPECT_EQ(Zelle_Render(p.x, p.y), k) << c.notches << " notches, part " << k;
        }
    }
}

// However the whole cell was turned, the start view comes back: at once in the whole cell,
// by the flight back from an organelle (where a plain "back" returns to the turned cell).
TEST_F(ZelleTest, StartViewComesBackFromATurnedCellAndFromTheDetailView)
{
    const auto start = isolatedPoints(model.placements, initialCamera(), 60);
    ASSERT_GT(start.size(), 10u);
    auto turn = [] {
        ASSERT_EQ(Zelle_Action(ZELLE_ACTION_ROTATE, 500, 400), 0);
        ASSERT_EQ(Zelle_Action(ZELLE_ACTION_ZOOM, -240, 0), 0);
        ASSERT_EQ(Zelle_Action(ZELLE_ACTION_END_DRAG, 530, 440), 0);
    };
    auto picksAtStart = [&] {
        int right = 0;
        for (const auto &[id, p] : start)
            right += Zelle_Action(ZELLE_ACTION_PICK, p.x, p.y) == id;
        return right;
    };
    const int all = int(start.size());

    turn();
    ASSERT_LT(picksAtStart(), all / 2) << "the turn must move the cell";
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_START_VIEW, 0, 0), 0);
    EXPECT_EQ(Zelle_Render(2, 2), ZELLE_NONE) << "no animation in the whole cell";
    EXPECT_EQ(picksAtStart(), all);

    turn();
    goToDetail(1003);
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_ZOOM, 120, 0), 0);
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_START_VIEW, 0, 0), 0);
    for (int code :
         {ZELLE_STATE_ENTERED(ZELLE_STATE_LEAVING_DETAIL), ZELLE_STATE_ENTERED(ZELLE_STATE_FLYING_BACK),
          ZELLE_STATE_ENTERED(ZELLE_STATE_RETURNING), ZELLE_STATE_ENTERED(ZELLE_STATE_WHOLE_CELL)})
        renderUntil(code);
    EXPECT_EQ(picksAtStart(), all);
}

TEST_F(ZelleTest, RotatingDragPreviewsThenCommits)
{
    // 30 right and 40 down: 50 degrees about the camera's inverse times (40, 30, 0).
    const Matrix camera = initialCamera();
    const Matrix turned = rotateDrag(camera, inverse3(camera), 30, 40);
    const auto points = isolatedPoints(model.placements, turned, 60);
    const auto before = isolatedPoints(model.placements, camera, 0);
    ASSERT_GT(points.size(), 10u);

    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_ROTATE, 500, 400), 0);
    // The preview shows the whole rotation so far: the cubes stand at their new places.
    Zelle_Render(530, 440);
    int moved = 0;
    for (const auto &[id, p] : points) {
        EXPECT_FALSE(pixelAt(p).background()) << "placement " << id;
        moved += distance(p, before.at(id)) > 25;
    }
    EXPECT_GE(moved, 5);
    // Committing keeps it; a frame with the mouse elsewhere changes nothing any more.
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_END_DRAG, 530, 440), 0);
    Zelle_Render(2, 2);
    for (const auto &[id, p] : points)
        EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PICK, p.x, p.y), id) << "placement " << id;
}

TEST_F(ZelleTest, MovingDragShiftsTheModelInScreenUnits)
{
    // 100 pixels right and 50 up: one unit right and half a unit up in eye space.
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_MOVE, 300, 300), 0);
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_END_DRAG, 400, 250), 0);
    const Matrix moved = withEyeOffset(initialCamera(), {1.0f, 0.5f, 0});
    const auto points = isolatedPoints(model.placements, moved, 50);
    ASSERT_GT(points.size(), 50u);
    for (const auto &[id, p] : points)
        ASSERT_EQ(Zelle_Action(ZELLE_ACTION_PICK, p.x, p.y), id) << "placement " << id;
    const Point p0 = overviewPoint(initialCamera(), model.placements[0]);
    EXPECT_NE(Zelle_Action(ZELLE_ACTION_PICK, p0.x, p0.y), 1000);
}

class ZelleSortTest : public ZelleTest
{
    // Eleven placements of object 3 at different distances from the eye; the rest of the
    // cell far off to the side behind the eye, where nothing is drawn.
    void adjustModel(Model &m) override
    {
        const Matrix camera = initialCamera();
        for (int i = 0; i < kPlacementCount; ++i) {
            Placement &p = m.placements[size_t(i)];
            if (i % 11 == 3)
                p.matrix = placeAt(
                    camera, {-2.0f + 0.3f * float(i / 11), 0.2f * float(i % 7), -4.0f - float((i * 7) % 13)});
            else
                p.matrix = placeAt(camera, {float(i), 0, 20.0f + float(i)});
        }
    }
};

TEST_F(ZelleSortTest, ActionSixFollowsTheFarthestFirstSort)
{
    // Before any fade: the last entry in file order.
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PLACEMENT_OF, 3, 0), 1135);
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_OBJECT_OF, 1135, 0), 3);

    // Predict the sorted order: squared eye distance, largest first, equal keys stable.
    std::vector<Placement> sorted = model.placements;
    const Matrix camera = initialCamera();
    std::stable_sort(sorted.begin(), sorted.end(), [&](const Placement &a, const Placement &b) {
        auto key = [&](const Placement &p) {
            const Vec e = origin(multiply(camera, p.matrix));
            return e[0] * e[0] + e[1] * e[1] + e[2] * e[2];
        };
        return key(a) > key(b);
    });
    int expected = 0;
    for (const Placement &p : sorted)
        if (p.object_index == 3)
            expected = p.id;
    ASSERT_NE(expected, 1135) << "the fixture must reorder";

    goToDetail(1014);
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PLACEMENT_OF, 3, 0), expected);
    for (const Placement &p : model.placements)
        ASSERT_EQ(Zelle_Action(ZELLE_ACTION_OBJECT_OF, p.id, 0), p.object_index);
    backToCell();
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PLACEMENT_OF, 3, 0), expected);
}

class ZelleTieTest : public ZelleTest
{
    void adjustModel(Model &m) override { m.placements[1].matrix = m.placements[0].matrix; }
};

TEST_F(ZelleTieTest, EqualDepthsGiveTheEarlierEntry)
{
    const Point p = overviewPoint(initialCamera(), model.placements[0]);
    EXPECT_EQ(Zelle_Render(p.x, p.y), 1000);
    // After a fade, entries at the same distance keep their order.
    goToDetail(1050);
    backToCell();
    EXPECT_EQ(Zelle_Render(p.x, p.y), 1000);
}

// One sort and no more: the first frame of the fade draws in the freshly sorted order, and of
// two cubes in one place the one drawn first covers the other (the depth test lets only nearer
// fragments through). Object 1 is highlighted, so it would show lit if it came first.
TEST_F(ZelleTieTest, OneSortKeepsEqualDistancesInTableOrder)
{
    const Point p = overviewPoint(initialCamera(), model.placements[0]);
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_HIGHLIGHT, 1, 0), 0);
    Zelle_Render(2, 2);
    const Pixel unsorted = pixelAt(p);
    ASSERT_FALSE(unsorted.background());

    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_GO_TO, 1050, 0), 0);
    ASSERT_EQ(Zelle_Render(2, 2), ZELLE_STATE_ENTERED(ZELLE_STATE_LEAVING_CELL));
    // The fade has only just begun: the same cube, barely lighter for the background.
    EXPECT_LE(std::abs(pixelAt(p).sum() - unsorted.sum()), 12)
        << "placement 1001 moved in front of 1000 at the same distance";
}

// Placement ids that are object indexes too: placement i has id 139 - i, so the last eleven
// placements have the ids 0..10, and every such id names the object of other placements.
class ZelleSmallIdsTest : public ZelleTest
{
  protected:
    void adjustModel(Model &m) override
    {
        for (int i = 0; i < kPlacementCount; ++i)
            m.placements[size_t(i)].id = kPlacementCount - 1 - i;
    }
    Point at(int i) const { return overviewPoint(initialCamera(), model.placements[size_t(i)]); }
};

TEST_F(ZelleSmallIdsTest, OnlyThePlacementUnderThePointerIsLit)
{
    // Placement 134: id 5, object 2. Placements 5 and 16 show object 5, 2 and 13 object 2.
    const int hovered = 134;
    const int others[] = {5, 16, 2, 13};
    Zelle_Render(2, 2);
    const int plainHovered = pixelAt(at(hovered)).sum();
    std::map<int, int> plain;
    for (int i : others)
        plain[i] = pixelAt(at(i)).sum();

    ASSERT_EQ(Zelle_Render(at(hovered).x, at(hovered).y), 5);
    EXPECT_GT(pixelAt(at(hovered)).sum(), plainHovered + 20);
    for (int i : others)
        EXPECT_EQ(pixelAt(at(i)).sum(), plain[i]) << "placement " << i << " is not under the pointer";
}

// The flights draw the chosen placement in place: lit when it was under the pointer as the
// flight began, plain when the pointer was on another placement.
TEST_F(ZelleSmallIdsTest, TheFlightDrawsTheChosenPlacementLitOnlyIfItWasUnderThePointer)
{
    // Placement 5 has id 134 and shows object 5; placement 134 has the id 5.
    const int chosenId = 134;
    const Point centre = project({0, 0, kDetailZ}, kDetailX, 0, kDetailWidth, kHeight);
    // The centre of the last frame of the flight in, with the pointer at `mouse` as it began.
    auto flightEnd = [&](Point mouse) {
        Zelle_Render(mouse.x, mouse.y);
        EXPECT_EQ(Zelle_Action(ZELLE_ACTION_GO_TO, chosenId, 0), 0);
        renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_LEAVING_CELL), {}, mouse);
        renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_FLYING_IN));
        int last = 0;
        renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_ENTERING_DETAIL),
                    [&](int) { last = pixelAt(centre).sum(); });
        renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_DETAIL));
        backToCell();
        return last;
    };
    const int lit = flightEnd(at(5));
    const int plain = flightEnd(at(134));
    EXPECT_GT(plain, 0) << "the flight drew nothing at the centre";
    EXPECT_GT(lit, plain + 20);
}

// Back in the whole cell the camera's rotation is the one the cell was left with: a drag right
// after the way back turns and moves the cell about the screen's axes, as before the visit.
TEST_F(ZelleTest, DragsRightAfterTheWayBackFollowTheScreenAxes)
{
    struct Case
    {
        const char *name;
        int code, dx, dy;
    } cases[] = {
        {"rotating", ZELLE_ACTION_ROTATE, 30, 40},
        {"moving", ZELLE_ACTION_MOVE, 100, -50},
    };
    Matrix camera = initialCamera();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        goToDetail(1003);
        backToCell();
        ASSERT_EQ(Zelle_Action(c.code, 500, 400), 0);
        ASSERT_EQ(Zelle_Action(ZELLE_ACTION_END_DRAG, 500 + c.dx, 400 + c.dy), 0);
        const Matrix3 inv = inverse3(camera);
        camera = c.code == ZELLE_ACTION_ROTATE ? rotateDrag(camera, inv, c.dx, c.dy)
                                               : moveDrag(camera, inv, c.dx, c.dy);
        const auto points = isolatedPoints(model.placements, camera, 60);
        ASSERT_GT(points.size(), 10u);
        for (const auto &[id, p] : points)
            ASSERT_EQ(Zelle_Action(ZELLE_ACTION_PICK, p.x, p.y), id) << "placement " << id;
    }
}

namespace {

// How far a pixel stands out from the background colour.
int fromBackground(const Pixel &p)
{
    return std::abs(p.r - 207) + std::abs(p.g - 235) + std::abs(p.b - 189);
}

} // namespace

// The strong mark: every placement of the object lit and opaque, all others faint; a plain
// highlight or none leaves the others as they were. Picking is not affected.
TEST_F(ZelleTest, StrongMarkSetsTheObjectsPlacementsApartFromTheRest)
{
    const Matrix camera = initialCamera();
    auto at = [&](int i) { return overviewPoint(camera, model.placements[size_t(i)]); };
    const int marked[] = {3, 14, 25}; // object 3
    const int others[] = {4, 5, 15, 48};
    Zelle_Render(2, 2);
    std::map<int, Pixel> plain;
    for (int i : marked)
        plain[i] = pixelAt(at(i));
    for (int i : others)
        plain[i] = pixelAt(at(i));

    struct Case
    {
        const char *name;
        int a, b;
        bool lit, faint;
    } cases[] = {
        {"strong mark", 3, ZELLE_HIGHLIGHT_STRONG, true, true},
        {"plain highlight", 3, 0, true, false},
        {"strong mark of nothing", ZELLE_NONE, ZELLE_HIGHLIGHT_STRONG, false, false},
        {"strong mark again", 3, ZELLE_HIGHLIGHT_STRONG, true, true},
        {"none", ZELLE_NONE, 0, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Zelle_Action(ZELLE_ACTION_HIGHLIGHT, c.a, c.b), 0);
        Zelle_Render(2, 2);
        for (int i : marked) {
            if (c.lit) {
                EXPECT_GT(pixelAt(at(i)).sum(), plain[i].sum() + 20) << "placement " << i;
            } else {
                EXPECT_EQ(pixelAt(at(i)).sum(), plain[i].sum()) << "placement " << i;
            }
        }
        for (int i : others) {
            if (c.faint) {
                EXPECT_LT(fromBackground(pixelAt(at(i))), fromBackground(plain[i]) / 2) << "placement " << i;
            } else {
                EXPECT_EQ(pixelAt(at(i)).sum(), plain[i].sum()) << "placement " << i;
            }
        }
    }

    // Under the mark the faint placements are picked as ever.
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_HIGHLIGHT, 3, ZELLE_HIGHLIGHT_STRONG), 0);
    for (int i : others)
        EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PICK, at(i).x, at(i).y), model.placements[size_t(i)].id);

    // Leaving the whole cell ends the mark; the plain highlight it came with stays.
    goToDetail(1050);
    backToCell();
    Zelle_Render(2, 2);
    for (int i : others)
        EXPECT_EQ(pixelAt(at(i)).sum(), plain[i].sum()) << "placement " << i << " after the visit";
    EXPECT_GT(pixelAt(at(14)).sum(), plain[14].sum() + 20);
}

class ZelleHiddenPartsTest : public ZelleTest
{
    // Object 0 shows only its 21st overview part (the others are far beyond the far plane)
    // and has no detail parts.
    void adjustModel(Model &m) override
    {
        Object &o = m.objects[0];
        o.overview_parts.assign(20, Part{0, translation({1000, 1000, 1000}), 0});
        o.overview_parts.push_back(Part{0, identityMatrix(), 0});
        o.detail_parts.clear();
    }
};

TEST_F(ZelleHiddenPartsTest, PartTwentyOnlyInTheCrossFadesAndVesiclesOnlyInTheCell)
{
    const Matrix camera = initialCamera();
    const Point object0 = overviewPoint(camera, model.placements[11]); // 11 % 11 == 0
    const Point vesicle = overviewPoint(camera, model.placements[10]); // object 10, id 10
    const Point other = overviewPoint(camera, model.placements[12]);

    EXPECT_EQ(Zelle_Render(object0.x, object0.y), ZELLE_NONE);
    EXPECT_TRUE(pixelAt(object0).background());
    EXPECT_FALSE(pixelAt(vesicle).background());

    // The first frame of the fade: the vesicles are gone at once, the others still show.
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_GO_TO, 1011, 0), 0);
    EXPECT_EQ(Zelle_Render(2, 2), ZELLE_STATE_ENTERED(ZELLE_STATE_LEAVING_CELL));
    EXPECT_TRUE(pixelAt(vesicle).background());
    EXPECT_FALSE(pixelAt(other).background());

    // Entering the detail view the outside (part 20) covers the empty detail, then it fades.
    renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_FLYING_IN));
    renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_ENTERING_DETAIL), {}, {2, 2});
    const Point centre = project({0, 0, kDetailZ}, kDetailX, 0, kDetailWidth, kHeight);
    EXPECT_FALSE(pixelAt(centre).background());
    renderUntil(ZELLE_STATE_ENTERED(ZELLE_STATE_DETAIL));
    EXPECT_TRUE(pixelAt(centre).background());
    EXPECT_EQ(Zelle_Render(centre.x, centre.y), ZELLE_NONE);
}

TEST_F(ZelleTest, SecondInitStartsAfresh)
{
    for (int i = 0; i < 5; ++i)
        Zelle_Action(ZELLE_ACTION_ZOOM, 120, 0);
    Zelle_Action(ZELLE_ACTION_HIGHLIGHT, 3, 0);
    goToDetail(1020);
    ASSERT_EQ(Zelle_Action(ZELLE_ACTION_BACK, 0, 0), 0); // a pending state must not survive either

    Zelle_Init(0, dir.base().c_str());
    Zelle_Viewport(true, 0, 0, kWidth, kHeight);
    Zelle_Viewport(false, kDetailX, 0, kDetailWidth, kHeight);
    const Point p = overviewPoint(initialCamera(), model.placements[20]);
    EXPECT_EQ(Zelle_Render(p.x, p.y), 1020);
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PLACEMENT_OF, 3, 0), 1135);
    EXPECT_EQ(Zelle_Action(ZELLE_ACTION_BACK, 0, 0), ZELLE_NONE);
}

// ---------------------------------------------------------------------------------------------
// Damaged model files: each one skipped and reported once, the rest of the model works.

TEST_F(ZelleTest, DamagedFilesAreSkippedAndReportedOnce)
{
    auto bytesOf = [](const std::string &path) {
        std::vector<uint8_t> b;
        readFileBytes(path, b);
        return b;
    };
    struct Case
    {
        const char *name;
        std::string file;
        std::function<void(std::vector<uint8_t> &)> damage; // empty: delete the file
        int object; // object whose placements can no longer be picked, -1 none
        bool table_lost;
        const char *report = nullptr; // the whole report when it does not name the file
    };
    const Case cases[] = {
        {"missing mesh", "mesh5.mesh", {}, 5, false},
        {"face index past the vertices", "mesh6.mesh", [](auto &b) { b[16 + 8 * 12 + 4 * 8 + 6 * 12] = 9; },
         6, false},
        {"huge face count", "mesh1.mesh", [](auto &b) { b[15] = 0x7F; }, 1, false},
        {"object cut short", "object7.obj", [](auto &b) { b.resize(b.size() - 1); }, 7, false},
        {"mesh index 25", "object8.obj", [](auto &b) { b[76] = 25; }, 8, false},
        {"negative part count", "object2.obj", [](auto &b) { b[71] = 0xFF; }, 2, false},
        {"missing texture", "tex9.tex", {}, -1, false},
        {"broken texture", "tex4.tex", [](auto &b) { b[14] = 108; }, -1, false, "Unknown DIB file format.\n"},
        {"scene table cut short", "zelle.obj", [](auto &b) { b.resize(b.size() - 1); }, -1, true},
        {"object index 11", "zelle.obj", [](auto &b) { b[76 * 5 + 4] = 11; }, -1, true},
        {"missing scene table", "zelle.obj", {}, -1, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeModel(dir, model);
        const std::string path = dir.file(c.file);
        if (c.damage) {
            auto b = bytesOf(path);
            c.damage(b);
            ASSERT_TRUE(writeFileBytes(path, b));
        } else {
            std::filesystem::remove(path);
        }
        testing::internal::CaptureStderr();
        Zelle_Init(0, dir.base().c_str());
        const std::string err = testing::internal::GetCapturedStderr();
        size_t reports = 0;
        for (size_t at = err.find(path); at != std::string::npos; at = err.find(path, at + 1))
            ++reports;
        if (c.report)
            EXPECT_EQ(err, c.report);
        else
            EXPECT_EQ(reports, 1u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;

        Zelle_Viewport(true, 0, 0, kWidth, kHeight);
        Zelle_Viewport(false, kDetailX, 0, kDetailWidth, kHeight);
        testing::internal::CaptureStderr();
        for (const Placement &p : model.placements) {
            const Point pt = overviewPoint(initialCamera(), p);
            const int expected = c.table_lost || p.object_index == c.object ? -1 : p.id;
            ASSERT_EQ(Zelle_Action(ZELLE_ACTION_PICK, pt.x, pt.y), expected) << "placement " << p.id;
        }
        for (int frame = 0; frame < 3; ++frame)
            Zelle_Render(2, 2);
        if (c.table_lost) {
            EXPECT_EQ(Zelle_Action(ZELLE_ACTION_GO_TO, 1000, 0), 0);
            EXPECT_EQ(Zelle_Render(2, 2), ZELLE_NONE);
            EXPECT_EQ(Zelle_Action(ZELLE_ACTION_PLACEMENT_OF, 0, 0), 0);
            EXPECT_EQ(Zelle_Action(ZELLE_ACTION_OBJECT_OF, 1000, 0), 0);
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "reported again while drawing";
    }
}
