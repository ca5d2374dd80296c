#pragma once

// The camera toolkit: column-major 4 x 4 products, the rotations glRotatef builds, the 3 x 3
// inverse of the camera's rotation part, and the flight between two camera matrices.
// Pure arithmetic, no GL, so that the flight and the drags can be checked on their own.

#include "modelfiles.h"

#include <array>

namespace zelle {

using Vec = std::array<float, 3>;
using Matrix3 = std::array<float, 9>; // column-major: row r, column c at 3c + r

// The camera of the whole-cell view at start.
Matrix initialCamera();

Matrix multiply(const Matrix &a, const Matrix &b);
// The matrix glRotatef(angle_deg, axis) multiplies by; an axis shorter than 1e-4 gives the identity.
Matrix rotation(float angle_deg, const Vec &axis);
Matrix translation(const Vec &v);
Matrix scaling(const Vec &s);

Vec row(const Matrix &m, int r); // (m[r], m[4 + r], m[8 + r])
Vec transform(const Matrix3 &m, const Vec &v);
Vec cross(const Vec &a, const Vec &b);
float length(const Vec &v);
// Zero vector stays zero, so a degenerate axis never turns into NaN.
Vec normalise(const Vec &v);
// Degrees; 0 when either vector is zero or the cosine falls outside [-1, 1] by rounding.
float angleBetween(const Vec &a, const Vec &b);

// Gauss-Jordan with row swaps on the upper-left 3 x 3 of m. A pivot column with no non-zero
// entry is left alone (a singular matrix gives a finite, meaningless result).
Matrix3 inverse3(const Matrix &m);

struct Flight
{
    Matrix start = identityMatrix();
    Matrix target = identityMatrix();
    Vec axis1{}, axis2{};
    float angle1 = 0, angle2 = 0;
    Vec scale{1, 1, 1};
};

Flight computeFlight(const Matrix &start, const Matrix &target);
Matrix flightAt(const Flight &flight, float p);

// The drags, measured from the start point (last_x, last_y) to (x, y) in window pixels.
Matrix rotateDrag(const Matrix &camera, const Matrix3 &camera_inverse, int dx, int dy);
Matrix moveDrag(const Matrix &camera, const Matrix3 &camera_inverse, int dx, int dy);

} // namespace zelle
