#include "camera.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace zelle;

namespace {

void expectNear(const Matrix &a, const Matrix &b, float tolerance, const char *what)
{
    for (size_t i = 0; i < 16; ++i)
        EXPECT_NEAR(a[i], b[i], tolerance) << what << " element " << i;
}

void expectFinite(const Matrix &m, const char *what)
{
    for (size_t i = 0; i < 16; ++i)
        EXPECT_TRUE(std::isfinite(m[i])) << what << " element " << i;
}

Vec rot3(const Matrix &m, const Vec &v) // upper-left 3 x 3 times v
{
    return {m[0] * v[0] + m[4] * v[1] + m[8] * v[2], m[1] * v[0] + m[5] * v[1] + m[9] * v[2],
            m[2] * v[0] + m[6] * v[1] + m[10] * v[2]};
}

} // namespace

TEST(ZelleCamera, InverseUndoesTheRotationPartEvenWithAZeroPivot)
{
    // The first column's top entry is exactly 0, so the first pivot needs a row swap.
    const Matrix m = {0, 2, 1, 0, 3, 1, 0, 0, 1, 0, 4, 0, 7, 8, 9, 1};
    for (const Matrix &a : {m, initialCamera()}) {
        const Matrix3 inv = inverse3(a);
        for (const Vec &v : {Vec{1, 0, 0}, Vec{0, 1, 0}, Vec{0, 0, 1}, Vec{0.5f, -2, 3}}) {
            const Vec back = transform(inv, rot3(a, v));
            for (size_t k = 0; k < 3; ++k)
                EXPECT_NEAR(back[k], v[k], 1e-5f);
        }
    }
    // A singular matrix gives finite numbers, never NaN.
    const Matrix3 singular = inverse3(Matrix{1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
    for (float v : singular)
        EXPECT_TRUE(std::isfinite(v));
}

TEST(ZelleCamera, RotationFollowsTheRightHandRule)
{
    const Matrix r = rotation(90, {0, 0, 2}); // axis length does not matter
    const Vec x = rot3(r, {1, 0, 0});
    EXPECT_NEAR(x[0], 0, 1e-6f);
    EXPECT_NEAR(x[1], 1, 1e-6f);
    EXPECT_EQ(rotation(30, {0, 0, 0}), identityMatrix());
}

TEST(ZelleCamera, DragsTurnAndMoveInScreenDirections)
{
    const Matrix camera = identityMatrix();
    const Matrix3 inv = inverse3(camera);

    // Dragging right turns about the screen's vertical axis: the model's right side moves away.
    const Vec right = rot3(rotateDrag(camera, inv, 90, 0), {1, 0, 0});
    EXPECT_NEAR(right[0], 0, 1e-6f);
    EXPECT_NEAR(right[2], -1, 1e-6f);
    // Dragging down turns about the horizontal axis: the top comes towards the viewer.
    const Vec up = rot3(rotateDrag(camera, inv, 0, 90), {0, 1, 0});
    EXPECT_NEAR(up[1], 0, 1e-6f);
    EXPECT_NEAR(up[2], 1, 1e-6f);
    // 30 right and 40 down: one degree per pixel of distance, 50 degrees.
    const Vec axis = normalise({40, 30, 0});
    const Vec off_axis = normalise(cross(axis, {0, 0, 1}));
    const Vec turned = rot3(rotateDrag(camera, inv, 30, 40), off_axis);
    EXPECT_NEAR(turned[0] * off_axis[0] + turned[1] * off_axis[1] + turned[2] * off_axis[2],
                std::cos(50 * 3.14159265 / 180), 1e-5);
    EXPECT_EQ(rotateDrag(camera, inv, 0, 0), camera);

    // Moves: a hundredth of a unit per pixel, screen y pointing down, also under a turned camera.
    for (const Matrix &cam : {camera, initialCamera()}) {
        const Matrix moved = moveDrag(cam, inverse3(cam), 100, -50);
        EXPECT_NEAR(moved[12] - cam[12], 1.0f, 1e-5f);
        EXPECT_NEAR(moved[13] - cam[13], 0.5f, 1e-5f);
        EXPECT_NEAR(moved[14] - cam[14], 0.0f, 1e-5f);
    }
}

TEST(ZelleCamera, FlightRunsFromStartToTargetWithoutNaN)
{
    const Matrix start = multiply(initialCamera(), translation({1, 2, 3}));
    const Matrix targets[] = {
        translation({0, 0, -5}),
        multiply(translation({0.5f, -1, -4}), multiply(rotation(170, {1, 1, 0}), scaling({2, 2, 2}))),
        multiply(rotation(-60, {0, 1, 0}), scaling({1.5f, 1.5f, 1.5f})),
    };
    for (const Matrix &target : targets) {
        const Flight f = computeFlight(start, target);
        expectNear(flightAt(f, 0), start, 1e-5f, "p = 0");
        expectNear(flightAt(f, 1), target, 2e-3f, "p = 1");
        const Matrix half = flightAt(f, 0.5f);
        expectFinite(half, "p = 0.5");
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(half[size_t(12 + k)], (start[size_t(12 + k)] + target[size_t(12 + k)]) / 2, 1e-5f);
    }
}

TEST(ZelleCamera, DegenerateFlightsRotateByZero)
{
    const Matrix start = translation({0, 0, -9});
    struct Case
    {
        const char *name;
        Matrix target;
    };
    const Case cases[] = {
        {"same matrix", start},
        {"same directions, other place", translation({3, 1, -2})},
        {"opposite viewing direction", rotation(180, {0, 1, 0})},
        {"opposite up direction", rotation(180, {0, 0, 1})},
        {"zero start rows", Matrix{}},
    };
    for (const Case &c : cases) {
        const Flight f = computeFlight(start, c.target);
        EXPECT_TRUE(std::isfinite(f.angle1) && std::isfinite(f.angle2)) << c.name;
        for (float p : {0.0f, 0.3f, 1.0f})
            expectFinite(flightAt(f, p), c.name);
    }
    const Flight same = computeFlight(start, translation({3, 1, -2}));
    EXPECT_EQ(same.angle1, 0);
    EXPECT_EQ(same.angle2, 0);
    EXPECT_EQ(angleBetween({1, 0, 0}, {0, 0, 0}), 0);
    EXPECT_NEAR(angleBetween({1, 0, 0}, {0, 3, 0}), 90, 1e-5f);
}

TEST(ZelleCamera, FlightScalesEachAxisOnItsOwn)
{
    const Matrix start = translation({0, 0, -5});
    const Matrix target = multiply(translation({0, 0, -5}), scaling({2, 3, 4}));
    const Flight f = computeFlight(start, target);
    expectNear(flightAt(f, 1), target, 1e-4f, "p = 1");
    // Halfway each row has grown by half of its own ratio.
    const Matrix half = flightAt(f, 0.5f);
    const float expected[3] = {1.5f, 2.0f, 2.5f};
    for (int r = 0; r < 3; ++r)
        EXPECT_NEAR(length(row(half, r)), expected[r], 1e-4f) << "row " << r;
}

TEST(ZelleCamera, FlightFromAZeroScaleStaysFinite)
{
    // Rows of length 0 in the start: no ratio can be formed, the scale stays 1.
    const Matrix targets[] = {scaling({2, 2, 2}), translation({1, 2, 3}), Matrix{}};
    for (const Matrix &target : targets) {
        const Flight f = computeFlight(Matrix{}, target);
        for (int r = 0; r < 3; ++r)
            EXPECT_EQ(f.scale[size_t(r)], 1.0f);
        for (float p : {0.0f, 0.5f, 1.0f})
            expectFinite(flightAt(f, p), "zero start");
    }
}
