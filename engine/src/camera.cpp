#include "camera.h"

#include <cmath>
#include <utility>

namespace zelle {

namespace {
constexpr double kPi = 3.141592653589793;

float squaredDistance(const Vec &a, const Vec &b)
{
    const float x = a[0] - b[0], y = a[1] - b[1], z = a[2] - b[2];
    return x * x + y * y + z * z;
}
} // namespace

Matrix initialCamera()
{
    return {0.3594f, -0.57f,  0.739f,   0, -0.0735f, -0.8068f, -0.58615f, 0,
            0.9302f, 0.1563f, -0.3319f, 0, -0.21f,   1.18f,    -9.0f,     1};
}

Matrix multiply(const Matrix &a, const Matrix &b)
{
    Matrix m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            float sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a[size_t(4 * k + r)] * b[size_t(4 * c + k)];
            m[size_t(4 * c + r)] = sum;
        }
    return m;
}

Matrix rotation(float angle_deg, const Vec &axis)
{
    Matrix m = identityMatrix();
    const float mag = length(axis);
    if (!(mag > 1.0e-4f))
        return m;
    const float x = axis[0] / mag, y = axis[1] / mag, z = axis[2] / mag;
    const double rad = double(angle_deg) * kPi / 180.0;
    const float s = float(std::sin(rad)), c = float(std::cos(rad)), one_c = 1.0f - c;
    m[0] = x * x * one_c + c;
    m[1] = y * x * one_c + z * s;
    m[2] = x * z * one_c - y * s;
    m[4] = x * y * one_c - z * s;
    m[5] = y * y * one_c + c;
    m[6] = y * z * one_c + x * s;
    m[8] = x * z * one_c + y * s;
    m[9] = y * z * one_c - x * s;
    m[10] = z * z * one_c + c;
    return m;
}

Matrix translation(const Vec &v)
{
    Matrix m = identityMatrix();
    m[12] = v[0];
    m[13] = v[1];
    m[14] = v[2];
    return m;
}

Matrix scaling(const Vec &s)
{
    Matrix m = identityMatrix();
    m[0] = s[0];
    m[5] = s[1];
    m[10] = s[2];
    return m;
}

Vec row(const Matrix &m, int r)
{
    return {m[size_t(r)], m[size_t(4 + r)], m[size_t(8 + r)]};
}

Vec transform(const Matrix3 &m, const Vec &v)
{
    Vec w{};
    for (int r = 0; r < 3; ++r)
        w[size_t(r)] = m[size_t(r)] * v[0] + m[size_t(3 + r)] * v[1] + m[size_t(6 + r)] * v[2];
    return w;
}

Vec cross(const Vec &a, const Vec &b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float length(const Vec &v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

Vec normalise(const Vec &v)
{
    const float len = length(v);
    if (!(len > 0) || !std::isfinite(len))
        return {0, 0, 0};
    return {v[0] / len, v[1] / len, v[2] / len};
}

float angleBetween(const Vec &a, const Vec &b)
{
    const double denom = double(length(a)) * double(length(b));
    const double cosine = double(a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) / denom;
    if (!(denom > 0) || !(cosine >= -1.0 && cosine <= 1.0))
        return 0;
    return float(std::acos(cosine) * 180.0 / kPi);
}

Matrix3 inverse3(const Matrix &m)
{
    // a[r][c], i[r][c] as rows for the row operations.
    float a[3][3], inv[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            a[r][c] = m[size_t(4 * c + r)];
            inv[r][c] = r == c ? 1.0f : 0.0f;
        }
    for (int k = 0; k < 3; ++k) {
        int pivot = k;
        while (pivot < 3 && a[pivot][k] == 0.0f)
            ++pivot;
        if (pivot == 3)
            continue;
        if (pivot != k)
            for (int c = 0; c < 3; ++c) {
                std::swap(a[k][c], a[pivot][c]);
                std::swap(inv[k][c], inv[pivot][c]);
            }
        const float d = a[k][k];
        for (int c = 0; c < 3; ++c) {
            a[k][c] /= d;
            inv[k][c] /= d;
        }
        for (int s = k + 1; s < 3; ++s) {
            const float f = a[s][k];
            for (int c = 0; c < 3; ++c) {
                a[s][c] -= f * a[k][c];
                inv[s][c] -= f * inv[k][c];
            }
        }
    }
    for (int k = 2; k >= 0; --k)
        for (int s = 2; s >= k + 1; --s) {
            const float f = a[k][s];
            for (int c = 0; c < 3; ++c) {
                a[k][c] -= f * a[s][c];
                inv[k][c] -= f * inv[s][c];
            }
        }
    Matrix3 out{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            out[size_t(3 * c + r)] = inv[r][c];
    return out;
}

Flight computeFlight(const Matrix &start, const Matrix &target)
{
    Flight f;
    f.start = start;
    f.target = target;

    Vec src = row(start, 2), dst = row(target, 2);
    float theta = angleBetween(src, dst);
    f.axis1 = normalise(cross(src, dst));
    if (length(f.axis1) == 0)
        theta = 0;
    {
        const float dp = squaredDistance(row(multiply(start, rotation(theta, f.axis1)), 2), dst);
        const float dm = squaredDistance(row(multiply(start, rotation(-theta, f.axis1)), 2), dst);
        f.angle1 = dp < dm ? theta : -theta;
    }

    const Matrix m1 = multiply(start, rotation(f.angle1, f.axis1));
    src = row(m1, 1);
    dst = row(target, 1);
    theta = angleBetween(src, dst);
    f.axis2 = row(m1, 2);
    {
        const float dp = squaredDistance(row(multiply(m1, rotation(theta, f.axis2)), 1), dst);
        const float dm = squaredDistance(row(multiply(m1, rotation(-theta, f.axis2)), 1), dst);
        f.angle2 = dp < dm ? theta : -theta;
    }

    for (int r = 0; r < 3; ++r) {
        const float from = length(row(start, r));
        const float ratio = length(row(target, r)) / from;
        f.scale[size_t(r)] = from > 0 && std::isfinite(ratio) ? ratio : 1.0f;
    }
    return f;
}

Matrix flightAt(const Flight &f, float p)
{
    Matrix m = multiply(multiply(f.start, rotation(p * f.angle1, f.axis1)), rotation(p * f.angle2, f.axis2));
    for (int k = 0; k < 3; ++k)
        m[size_t(12 + k)] =
            f.start[size_t(12 + k)] + p * (f.target[size_t(12 + k)] - f.start[size_t(12 + k)]);
    return multiply(m,
                    scaling({1 + p * (f.scale[0] - 1), 1 + p * (f.scale[1] - 1), 1 + p * (f.scale[2] - 1)}));
}

Matrix rotateDrag(const Matrix &camera, const Matrix3 &camera_inverse, int dx, int dy)
{
    const Vec w = transform(camera_inverse, {float(dy), float(dx), 0});
    const float angle = std::sqrt(float(dx) * float(dx) + float(dy) * float(dy)) * 1.0f;
    return multiply(camera, rotation(angle, w));
}

Matrix moveDrag(const Matrix &camera, const Matrix3 &camera_inverse, int dx, int dy)
{
    const Vec w = transform(camera_inverse, {float(dx) * 0.01f, float(dy) * -0.01f, 0});
    return multiply(camera, translation(w));
}

} // namespace zelle
