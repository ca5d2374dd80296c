#pragma once

#include <algorithm>
#include <array>
#include <cmath>

namespace zellgen {

struct V3
{
    double x = 0, y = 0, z = 0;
    V3() = default;
    V3(double ax, double ay, double az) : x(ax), y(ay), z(az) {}
    V3 operator+(const V3 &o) const { return {x + o.x, y + o.y, z + o.z}; }
    V3 operator-(const V3 &o) const { return {x - o.x, y - o.y, z - o.z}; }
    V3 operator*(double s) const { return {x * s, y * s, z * s}; }
    V3 operator-() const { return {-x, -y, -z}; }
    double operator[](int i) const { return i == 0 ? x : i == 1 ? y : z; }
};

inline double dot(const V3 &a, const V3 &b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline V3 cross(const V3 &a, const V3 &b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double length(const V3 &a)
{
    return std::sqrt(dot(a, a));
}
inline V3 normalized(const V3 &a)
{
    const double l = length(a);
    return l > 1e-12 ? a * (1.0 / l) : V3(0, 0, 1);
}
inline V3 mul(const V3 &a, const V3 &b)
{
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}
inline V3 lerp(const V3 &a, const V3 &b, double t)
{
    return a + (b - a) * t;
}

// Rigid transform: rotation columns plus translation (no scaling, so fixed-function lighting
// keeps unit normals).
struct Frame
{
    V3 ex{1, 0, 0}, ey{0, 1, 0}, ez{0, 0, 1};
    V3 origin;

    V3 apply(const V3 &p) const { return origin + ex * p.x + ey * p.y + ez * p.z; }
    V3 rotate(const V3 &v) const { return ex * v.x + ey * v.y + ez * v.z; }
    V3 inverseApply(const V3 &p) const
    {
        const V3 d = p - origin;
        return {dot(d, ex), dot(d, ey), dot(d, ez)};
    }
    Frame operator*(const Frame &o) const
    {
        Frame r;
        r.ex = rotate(o.ex);
        r.ey = rotate(o.ey);
        r.ez = rotate(o.ez);
        r.origin = apply(o.origin);
        return r;
    }
    Frame inverse() const
    {
        Frame r;
        r.ex = {ex.x, ey.x, ez.x};
        r.ey = {ex.y, ey.y, ez.y};
        r.ez = {ex.z, ey.z, ez.z};
        r.origin = -(r.rotate(origin));
        return r;
    }
    std::array<float, 16> matrix() const
    {
        return {float(ex.x),     float(ex.y),     float(ex.z),     0.f,
                float(ey.x),     float(ey.y),     float(ey.z),     0.f,
                float(ez.x),     float(ez.y),     float(ez.z),     0.f,
                float(origin.x), float(origin.y), float(origin.z), 1.f};
    }
};

inline Frame rotationX(double deg)
{
    const double a = deg * M_PI / 180, c = std::cos(a), s = std::sin(a);
    Frame f;
    f.ey = {0, c, s};
    f.ez = {0, -s, c};
    return f;
}
inline Frame rotationY(double deg)
{
    const double a = deg * M_PI / 180, c = std::cos(a), s = std::sin(a);
    Frame f;
    f.ex = {c, 0, -s};
    f.ez = {s, 0, c};
    return f;
}
inline Frame rotationZ(double deg)
{
    const double a = deg * M_PI / 180, c = std::cos(a), s = std::sin(a);
    Frame f;
    f.ex = {c, s, 0};
    f.ey = {-s, c, 0};
    return f;
}
inline Frame translation(const V3 &t)
{
    Frame f;
    f.origin = t;
    return f;
}
// Rotation about x, then y, then z (degrees), then the move.
inline Frame pose(const V3 &pos, const V3 &rotDeg)
{
    Frame f = rotationZ(rotDeg.z) * rotationY(rotDeg.y) * rotationX(rotDeg.x);
    f.origin = pos;
    return f;
}
// A frame whose local y axis points along up, with local x as close to hint as possible.
inline Frame alignY(const V3 &pos, const V3 &up, const V3 &hint)
{
    Frame f;
    f.ey = normalized(up);
    V3 x = hint - f.ey * dot(hint, f.ey);
    if (length(x) < 1e-6)
        x = std::abs(f.ey.x) < 0.9 ? V3(1, 0, 0) : V3(0, 0, 1);
    f.ex = normalized(x - f.ey * dot(x, f.ey));
    f.ez = cross(f.ex, f.ey);
    f.origin = pos;
    return f;
}

// Direction i of n spread evenly over the unit sphere (golden-angle spiral).
inline V3 fibonacciDir(int i, int n)
{
    const double y = 1 - 2 * (i + 0.5) / n;
    const double r = std::sqrt(std::max(0.0, 1 - y * y));
    const double a = i * M_PI * (3 - std::sqrt(5.0));
    return {r * std::cos(a), y, r * std::sin(a)};
}

// Signed power used by superellipsoids.
inline double spow(double v, double e)
{
    return v < 0 ? -std::pow(-v, e) : std::pow(v, e);
}

} // namespace zellgen
