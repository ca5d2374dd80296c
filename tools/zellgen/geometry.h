#pragma once

#include "vec.h"

#include <functional>
#include <vector>

namespace zelle {
struct Mesh;
}

namespace zellgen {

struct UvRect
{
    double s0 = 0, t0 = 0, s1 = 1, t1 = 1;
    double s(double u) const { return s0 + (s1 - s0) * u; }
    double t(double v) const { return t0 + (t1 - t0) * v; }
};

struct Vertex
{
    V3 p, n;
    double s = 0, t = 0;
};

// Triangle soup with per-corner vertices; toMesh() shares identical corners.
struct Builder
{
    std::vector<Vertex> vertices;
    std::vector<std::array<int, 3>> triangles;

    int add(const Vertex &v)
    {
        vertices.push_back(v);
        return int(vertices.size()) - 1;
    }
    void tri(int a, int b, int c) { triangles.push_back({a, b, c}); }
    void append(const Builder &o, const Frame &f = Frame());
    zelle::Mesh toMesh() const;
};

using SurfaceFn = std::function<void(double u, double v, V3 &p, V3 &n)>;

// A (nu x nv) grid over u, v in [0, 1]; texture coordinates u*repeatU, v*repeatV mapped into rect.
void grid(Builder &b, int nu, int nv, const SurfaceFn &f, const UvRect &rect, double repeatU = 1,
          double repeatV = 1);

// Keeps the part of every triangle with dot(n, p) <= d.
Builder clip(const Builder &in, const V3 &n, double d);

// A band between two closed curves of the same parameter, facing `normal`; v = 0 outer, 1 inner.
void ring(Builder &b, int segments, const std::function<V3(double)> &outer,
          const std::function<V3(double)> &inner, const V3 &normal, const UvRect &rect, double repeatU = 1);
// A fan filling one closed curve around centre.
void cap(Builder &b, int segments, const V3 &centre, const std::function<V3(double)> &curve, const V3 &normal,
         const UvRect &rect, double uvScale, const V3 &uAxis, const V3 &vAxis);

// Superellipsoid |x/a|^e + |y/b|^e + |z/c|^e = 1 with its long axis along x.
struct SuperEllipsoid
{
    V3 centre;
    V3 half{1, 1, 1};
    double exponent = 2;
    double value(const V3 &p) const; // < 1 inside
    V3 point(double eta, double omega) const;
    V3 normal(const V3 &p) const;
    // Cross-section curve in the plane z = zc, parameter t in [0, 1).
    V3 section(double zc, double t) const;
};

// A spherical hollow that an organelle presses into a shell (the nucleus into the vacuole): seen
// from `origin`, whatever lies behind the sphere is cut away, so the dented shell stays
// star-shaped around origin and its cap at the cut remains one fan.
struct Dent
{
    V3 centre, origin;
    double radius = 0;
    bool active() const { return radius > 0; }
    // Moves p back along the ray from origin to where that ray enters the sphere (grown by
    // `grow`); true if p was behind the sphere.
    bool clip(V3 &p, double grow = 0) const;
};

// outward = true: normals point away from the centre.
void superSurface(Builder &b, const SuperEllipsoid &s, int nu, int nv, bool outward, const UvRect &rect,
                  double repeatU, double repeatV, const Dent &dent = {}, double dentGrow = 0);

void ellipsoid(Builder &b, const V3 &centre, const V3 &radii, int nu, int nv, bool outward,
               const UvRect &rect, double repeatU = 1, double repeatV = 1);
// Capsule along x: cylinder of half length h plus two hemispheres of radius r.
void capsule(Builder &b, double h, double r, int around, int capRings, bool outward, const UvRect &rect,
             double repeatU = 1, double repeatV = 1);
// Tube along a polyline with round cross-section; closed ends if caps.
void tube(Builder &b, const std::vector<V3> &path, double radius, int sides, bool caps, const UvRect &rect,
          double repeatAlong = 1, double repeatAround = 1);
void torus(Builder &b, double major, double minor, int nu, int nv, const UvRect &rect);
// Flat disc stack / cylinder along y.
void cylinder(Builder &b, double radius, double y0, double y1, int sides, const UvRect &rect);
void box(Builder &b, const V3 &half, const UvRect &rect);

} // namespace zellgen
