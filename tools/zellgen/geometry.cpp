#include "geometry.h"

#include "modelfiles.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

namespace zellgen {

void Builder::append(const Builder &o, const Frame &f)
{
    const int base = int(vertices.size());
    for (Vertex v : o.vertices) {
        v.p = f.apply(v.p);
        v.n = f.rotate(v.n);
        vertices.push_back(v);
    }
    for (const auto &t : o.triangles)
        triangles.push_back({t[0] + base, t[1] + base, t[2] + base});
}

namespace {

template <typename Key, typename Value>
int32_t intern(std::map<Key, int32_t> &index, std::vector<Value> &values, const Key &key, const Value &value)
{
    auto it = index.find(key);
    if (it != index.end())
        return it->second;
    values.push_back(value);
    const int32_t id = int32_t(values.size()); // 1-based, as stored
    index.emplace(key, id);
    return id;
}

} // namespace

zelle::Mesh Builder::toMesh() const
{
    zelle::Mesh m;
    std::map<std::tuple<float, float, float>, int32_t> pIndex, nIndex;
    std::map<std::pair<float, float>, int32_t> tIndex;
    std::vector<std::array<int32_t, 3>> ids(vertices.size());
    for (size_t i = 0; i < vertices.size(); ++i) {
        const Vertex &v = vertices[i];
        const V3 n = normalized(v.n);
        const zelle::Vec3 p{float(v.p.x), float(v.p.y), float(v.p.z)};
        const zelle::Vec3 nn{float(n.x), float(n.y), float(n.z)};
        const zelle::Vec2 t{float(v.s), float(v.t)};
        ids[i][0] = intern(pIndex, m.vertices, std::make_tuple(p.x, p.y, p.z), p);
        ids[i][1] = intern(tIndex, m.texcoords, std::make_pair(t.s, t.t), t);
        ids[i][2] = intern(nIndex, m.normals, std::make_tuple(nn.x, nn.y, nn.z), nn);
    }
    for (const auto &tri : triangles) {
        zelle::Face f;
        for (int k = 0; k < 3; ++k) {
            f.vertex[k] = ids[tri[k]][0];
            f.texcoord[k] = ids[tri[k]][1];
            f.normal[k] = ids[tri[k]][2];
        }
        m.faces.push_back(f);
    }
    return m;
}

void grid(Builder &b, int nu, int nv, const SurfaceFn &f, const UvRect &rect, double repeatU, double repeatV)
{
    const int base = int(b.vertices.size());
    for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= nu; ++i) {
            const double u = double(i) / nu, v = double(j) / nv;
            Vertex vx;
            f(u, v, vx.p, vx.n);
            vx.n = normalized(vx.n);
            vx.s = rect.s0 + u * repeatU * (rect.s1 - rect.s0);
            vx.t = rect.t0 + v * repeatV * (rect.t1 - rect.t0);
            b.add(vx);
        }
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            const int a = base + j * (nu + 1) + i, c = a + nu + 1;
            b.tri(a, a + 1, c + 1);
            b.tri(a, c + 1, c);
        }
}

namespace {

Vertex mix(const Vertex &a, const Vertex &b, double t)
{
    Vertex r;
    r.p = lerp(a.p, b.p, t);
    r.n = normalized(lerp(a.n, b.n, t));
    r.s = a.s + (b.s - a.s) * t;
    r.t = a.t + (b.t - a.t) * t;
    return r;
}

} // namespace

Builder clip(const Builder &in, const V3 &n, double d)
{
    Builder out;
    std::vector<int> remap(in.vertices.size(), -1);
    for (const auto &t : in.triangles) {
        const Vertex *v[3] = {&in.vertices[t[0]], &in.vertices[t[1]], &in.vertices[t[2]]};
        double dist[3];
        int inside = 0;
        for (int k = 0; k < 3; ++k) {
            dist[k] = dot(n, v[k]->p) - d;
            inside += dist[k] <= 0;
        }
        if (inside == 0)
            continue;
        if (inside == 3) {
            int ids[3];
            for (int k = 0; k < 3; ++k) {
                int &r = remap[t[k]];
                if (r < 0)
                    r = out.add(*v[k]);
                ids[k] = r;
            }
            out.tri(ids[0], ids[1], ids[2]);
            continue;
        }
        std::vector<Vertex> poly;
        for (int k = 0; k < 3; ++k) {
            const int k2 = (k + 1) % 3;
            if (dist[k] <= 0)
                poly.push_back(*v[k]);
            if ((dist[k] <= 0) != (dist[k2] <= 0))
                poly.push_back(mix(*v[k], *v[k2], dist[k] / (dist[k] - dist[k2])));
        }
        const int first = out.add(poly[0]);
        int prev = out.add(poly[1]);
        for (size_t k = 2; k < poly.size(); ++k) {
            const int cur = out.add(poly[k]);
            out.tri(first, prev, cur);
            prev = cur;
        }
    }
    return out;
}

void ring(Builder &b, int segments, const std::function<V3(double)> &outer,
          const std::function<V3(double)> &inner, const V3 &normal, const UvRect &rect, double repeatU)
{
    const int base = int(b.vertices.size());
    for (int i = 0; i <= segments; ++i) {
        const double t = double(i) / segments;
        Vertex o{outer(t), normal, rect.s0 + t * repeatU * (rect.s1 - rect.s0), rect.t(0)};
        Vertex n{inner(t), normal, o.s, rect.t(1)};
        b.add(o);
        b.add(n);
    }
    for (int i = 0; i < segments; ++i) {
        const int a = base + 2 * i;
        b.tri(a, a + 2, a + 3);
        b.tri(a, a + 3, a + 1);
    }
}

void cap(Builder &b, int segments, const V3 &centre, const std::function<V3(double)> &curve, const V3 &normal,
         const UvRect &rect, double uvScale, const V3 &uAxis, const V3 &vAxis)
{
    auto uv = [&](const V3 &p, Vertex &v) {
        const V3 d = p - centre;
        v.s = rect.s(std::clamp(0.5 + dot(d, uAxis) * uvScale, 0.0, 1.0));
        v.t = rect.t(std::clamp(0.5 + dot(d, vAxis) * uvScale, 0.0, 1.0));
    };
    Vertex c{centre, normal, 0, 0};
    uv(centre, c);
    const int ci = b.add(c);
    const int base = int(b.vertices.size());
    for (int i = 0; i <= segments; ++i) {
        Vertex v{curve(double(i) / segments), normal, 0, 0};
        uv(v.p, v);
        b.add(v);
    }
    for (int i = 0; i < segments; ++i)
        b.tri(ci, base + i, base + i + 1);
}

double SuperEllipsoid::value(const V3 &p) const
{
    const V3 q = p - centre;
    return std::pow(std::abs(q.x / half.x), exponent) + std::pow(std::abs(q.y / half.y), exponent) +
           std::pow(std::abs(q.z / half.z), exponent);
}

V3 SuperEllipsoid::point(double eta, double omega) const
{
    const double e = 2.0 / exponent;
    const double r = spow(std::cos(eta), e);
    return centre + V3(half.x * spow(std::sin(eta), e), half.y * r * spow(std::cos(omega), e),
                       half.z * r * spow(std::sin(omega), e));
}

V3 SuperEllipsoid::normal(const V3 &p) const
{
    const V3 q = p - centre;
    const double m = exponent - 1;
    V3 g(spow(q.x / half.x, m) / half.x, spow(q.y / half.y, m) / half.y, spow(q.z / half.z, m) / half.z);
    if (length(g) < 1e-12)
        g = q;
    return normalized(g);
}

V3 SuperEllipsoid::section(double zc, double t) const
{
    const double k =
        std::pow(std::max(1e-9, 1 - std::pow(std::abs((zc - centre.z) / half.z), exponent)), 1.0 / exponent);
    const double e = 2.0 / exponent, a = 2 * M_PI * t;
    return V3(centre.x + half.x * k * spow(std::cos(a), e), centre.y + half.y * k * spow(std::sin(a), e), zc);
}

bool Dent::clip(V3 &p, double grow) const
{
    if (!active())
        return false;
    const double r = radius + grow;
    const V3 d = p - origin, m = origin - centre;
    const double a = dot(d, d), b = 2 * dot(d, m), c = dot(m, m) - r * r;
    const double disc = b * b - 4 * a * c;
    if (a < 1e-18 || disc <= 0)
        return false;
    const double t = (-b - std::sqrt(disc)) / (2 * a);
    if (t < 0 || t >= 1)
        return false;
    p = origin + d * t;
    return true;
}

void superSurface(Builder &b, const SuperEllipsoid &s, int nu, int nv, bool outward, const UvRect &rect,
                  double repeatU, double repeatV, const Dent &dent, double dentGrow)
{
    grid(
        b, nu, nv,
        [&](double u, double v, V3 &p, V3 &n) {
            p = s.point(-M_PI / 2 + M_PI * u, 2 * M_PI * v);
            n = s.normal(p);
            if (dent.clip(p, dentGrow))
                n = normalized(dent.centre - p); // the hollow's wall faces the organelle in it
            if (!outward)
                n = -n;
        },
        rect, repeatU, repeatV);
}

void ellipsoid(Builder &b, const V3 &centre, const V3 &radii, int nu, int nv, bool outward,
               const UvRect &rect, double repeatU, double repeatV)
{
    grid(
        b, nu, nv,
        [&](double u, double v, V3 &p, V3 &n) {
            const double eta = -M_PI / 2 + M_PI * u, om = 2 * M_PI * v;
            const V3 l(radii.x * std::sin(eta), radii.y * std::cos(eta) * std::cos(om),
                       radii.z * std::cos(eta) * std::sin(om));
            p = centre + l;
            n = normalized(
                V3(l.x / (radii.x * radii.x), l.y / (radii.y * radii.y), l.z / (radii.z * radii.z)));
            if (!outward)
                n = -n;
        },
        rect, repeatU, repeatV);
}

void capsule(Builder &b, double h, double r, int around, int capRings, bool outward, const UvRect &rect,
             double repeatU, double repeatV)
{
    // Profile: (x, rho, normal x, normal rho) from the left pole to the right one.
    struct P
    {
        double x, rho, nx, nr;
    };
    std::vector<P> prof;
    for (int i = 0; i <= capRings; ++i) {
        const double phi = -M_PI / 2 + (M_PI / 2) * i / capRings;
        prof.push_back({-h + r * std::sin(phi), r * std::cos(phi), std::sin(phi), std::cos(phi)});
    }
    for (int i = 0; i <= capRings; ++i) {
        const double phi = (M_PI / 2) * i / capRings;
        prof.push_back({h + r * std::sin(phi), r * std::cos(phi), std::sin(phi), std::cos(phi)});
    }
    const double total = 2 * h + 2 * r;
    const int base = int(b.vertices.size());
    for (int j = 0; j <= around; ++j) {
        const double om = 2 * M_PI * j / around;
        for (const P &p : prof) {
            Vertex v;
            v.p = V3(p.x, p.rho * std::cos(om), p.rho * std::sin(om));
            v.n = V3(p.nx, p.nr * std::cos(om), p.nr * std::sin(om));
            if (!outward)
                v.n = -v.n;
            v.s = rect.s0 + (p.x + h + r) / total * repeatU * (rect.s1 - rect.s0);
            v.t = rect.t0 + double(j) / around * repeatV * (rect.t1 - rect.t0);
            b.add(v);
        }
    }
    const int n = int(prof.size());
    for (int j = 0; j < around; ++j)
        for (int i = 0; i + 1 < n; ++i) {
            if (i == capRings)
                continue; // the cylinder, below
            const int a = base + j * n + i, c = a + n;
            b.tri(a, a + 1, c + 1);
            b.tri(a, c + 1, c);
        }
    // The cylinder between the two hemispheres.
    for (int j = 0; j < around; ++j) {
        const int a = base + j * n + capRings, c = a + n;
        b.tri(a, a + 1, c + 1);
        b.tri(a, c + 1, c);
    }
}

void tube(Builder &b, const std::vector<V3> &path, double radius, int sides, bool caps, const UvRect &rect,
          double repeatAlong, double repeatAround)
{
    if (path.size() < 2)
        return;
    std::vector<double> dist(path.size(), 0);
    for (size_t i = 1; i < path.size(); ++i)
        dist[i] = dist[i - 1] + length(path[i] - path[i - 1]);
    const double total = std::max(dist.back(), 1e-9);
    // Parallel-transported frame so that the tube does not twist.
    V3 tangent = normalized(path[1] - path[0]);
    V3 side = std::abs(tangent.y) < 0.9 ? normalized(cross(tangent, V3(0, 1, 0)))
                                        : normalized(cross(tangent, V3(1, 0, 0)));
    const int base = int(b.vertices.size());
    std::vector<std::pair<V3, V3>> frames;
    for (size_t i = 0; i < path.size(); ++i) {
        V3 t = i + 1 < path.size() ? path[i + 1] - path[i] : path[i] - path[i - 1];
        if (i > 0 && i + 1 < path.size())
            t = path[i + 1] - path[i - 1];
        t = normalized(t);
        side = normalized(side - t * dot(side, t));
        const V3 up = cross(t, side);
        frames.push_back({side, up});
        tangent = t;
        for (int k = 0; k <= sides; ++k) {
            const double a = 2 * M_PI * k / sides;
            const V3 n = side * std::cos(a) + up * std::sin(a);
            Vertex v{path[i] + n * radius, n, rect.s0 + dist[i] / total * repeatAlong * (rect.s1 - rect.s0),
                     rect.t0 + double(k) / sides * repeatAround * (rect.t1 - rect.t0)};
            b.add(v);
        }
    }
    for (size_t i = 0; i + 1 < path.size(); ++i)
        for (int k = 0; k < sides; ++k) {
            const int a = base + int(i) * (sides + 1) + k, c = a + sides + 1;
            b.tri(a, c, c + 1);
            b.tri(a, c + 1, a + 1);
        }
    if (caps) {
        for (int end = 0; end < 2; ++end) {
            const size_t i = end == 0 ? 0 : path.size() - 1;
            const V3 t = end == 0 ? normalized(path[0] - path[1]) : normalized(path[i] - path[i - 1]);
            const auto [sd, up] = frames[i];
            Vertex c{path[i], t, rect.s(end), rect.t(0.5)};
            const int ci = b.add(c);
            const int rb = int(b.vertices.size());
            for (int k = 0; k <= sides; ++k) {
                const double a = 2 * M_PI * k / sides;
                Vertex v{path[i] + (sd * std::cos(a) + up * std::sin(a)) * radius, t, rect.s(end),
                         rect.t(0.5 + 0.5 * std::sin(a))};
                b.add(v);
            }
            for (int k = 0; k < sides; ++k)
                b.tri(ci, rb + k, rb + k + 1);
        }
    }
}

void torus(Builder &b, double major, double minor, int nu, int nv, const UvRect &rect)
{
    grid(
        b, nu, nv,
        [&](double u, double v, V3 &p, V3 &n) {
            const double a = 2 * M_PI * u, c = 2 * M_PI * v;
            const V3 dir(std::cos(a), 0, std::sin(a));
            n = dir * std::cos(c) + V3(0, std::sin(c), 0);
            p = dir * major + n * minor;
        },
        rect);
}

void cylinder(Builder &b, double radius, double y0, double y1, int sides, const UvRect &rect)
{
    grid(
        b, sides, 1,
        [&](double u, double v, V3 &p, V3 &n) {
            const double a = 2 * M_PI * u;
            n = V3(std::cos(a), 0, std::sin(a));
            p = n * radius + V3(0, y0 + (y1 - y0) * v, 0);
        },
        rect);
    for (int end = 0; end < 2; ++end) {
        const double y = end == 0 ? y0 : y1;
        const V3 n(0, end == 0 ? -1 : 1, 0);
        cap(
            b, sides, V3(0, y, 0),
            [&](double t) {
                const double a = 2 * M_PI * t;
                return V3(radius * std::cos(a), y, radius * std::sin(a));
            },
            n, rect, 0.5 / radius, V3(1, 0, 0), V3(0, 0, 1));
    }
}

void box(Builder &b, const V3 &h, const UvRect &rect)
{
    for (int axis = 0; axis < 3; ++axis)
        for (int sign = -1; sign <= 1; sign += 2) {
            V3 n(axis == 0 ? sign : 0, axis == 1 ? sign : 0, axis == 2 ? sign : 0);
            V3 u = axis == 0 ? V3(0, 1, 0) : V3(1, 0, 0);
            V3 w = cross(n, u);
            const double hn = axis == 0 ? h.x : axis == 1 ? h.y : h.z;
            const double hu = std::abs(dot(u, h));
            const double hw2 = std::abs(w.x) * h.x + std::abs(w.y) * h.y + std::abs(w.z) * h.z;
            const int base = int(b.vertices.size());
            for (int k = 0; k < 4; ++k) {
                const double su = (k == 1 || k == 2) ? 1 : -1, sw = (k >= 2) ? 1 : -1;
                Vertex v{n * hn + u * (su * hu) + w * (sw * hw2), n, rect.s(0.5 + su * 0.5),
                         rect.t(0.5 + sw * 0.5)};
                b.add(v);
            }
            b.tri(base, base + 1, base + 2);
            b.tri(base, base + 2, base + 3);
        }
}

} // namespace zellgen
