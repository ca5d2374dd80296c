#include "shapes.h"

#include "rng.h"

#include <stdexcept>

namespace zellgen {

V3 v3(const YAML::Node &n, V3 fallback)
{
    if (!n)
        return fallback;
    return {n[0].as<double>(), n[1].as<double>(), n[2].as<double>()};
}

UvRect uvRect(const YAML::Node &n)
{
    if (!n)
        return {};
    return {n[0].as<double>(), n[1].as<double>(), n[2].as<double>(), n[3].as<double>()};
}

namespace {

int segs(const YAML::Node &n, int i, int fallback)
{
    return n ? n[i].as<int>() : fallback;
}

Dent parseDent(const YAML::Node &n, const V3 &centre, double cut)
{
    Dent d;
    if (!n)
        return d;
    d.centre = v3(n["centre"]);
    d.radius = n["radius"].as<double>();
    d.origin = v3(n["origin"], V3(centre.x, centre.y, cut));
    return d;
}

using PosFn = std::function<V3(double u, double v)>;
using UvFn = std::function<std::pair<double, double>(double u, double v, const V3 &p)>;
using DirFn = std::function<V3(double u, double v, const V3 &p)>;

// A grid whose normals come from the surface's partial derivatives, oriented like `outward`.
void gridNumeric(Builder &b, int nu, int nv, const PosFn &pos, const UvFn &uv, const DirFn &outward)
{
    const int base = int(b.vertices.size());
    const double e = 1e-4;
    for (int j = 0; j <= nv; ++j)
        for (int i = 0; i <= nu; ++i) {
            const double u = double(i) / nu, v = double(j) / nv;
            Vertex vx;
            vx.p = pos(u, v);
            const double u0 = std::max(0.0, u - e), u1 = std::min(1.0, u + e);
            const double v0 = std::max(0.0, v - e), v1 = std::min(1.0, v + e);
            V3 n = cross(pos(u1, v) - pos(u0, v), pos(u, v1) - pos(u, v0));
            const V3 ref = outward(u, v, vx.p);
            if (length(n) < 1e-14)
                n = ref;
            if (dot(n, ref) < 0)
                n = -n;
            vx.n = normalized(n);
            const auto [s, t] = uv(u, v, vx.p);
            vx.s = s;
            vx.t = t;
            b.add(vx);
        }
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            const int a = base + j * (nu + 1) + i, c = a + nu + 1;
            b.tri(a, a + 1, c + 1);
            b.tri(a, c + 1, c);
        }
}

// Outline of a plane section z = zc through an axis-aligned ellipsoid (kind "ellipsoid") or a
// capsule along x with half length h and radius radii.y (kind "capsule"). t in [0, 1].
std::function<V3(double)> sectionCurve(const std::string &kind, const V3 &radii, double h, double zc)
{
    if (kind == "capsule") {
        const double r = std::sqrt(std::max(1e-9, radii.y * radii.y - zc * zc));
        return [=](double t) {
            const double a = 2 * M_PI * t;
            const double c = std::cos(a);
            const double cx = c >= -1e-9 ? h : -h;
            return V3(cx + r * c, r * std::sin(a), zc);
        };
    }
    const double k = std::sqrt(std::max(1e-9, 1 - (zc / radii.z) * (zc / radii.z)));
    return [=](double t) {
        const double a = 2 * M_PI * t;
        return V3(radii.x * k * std::cos(a), radii.y * k * std::sin(a), zc);
    };
}

void closedSurface(Builder &b, const std::string &kind, const V3 &radii, double h, int nu, int nv,
                   bool outward, const UvRect &rect, double ru, double rv)
{
    if (kind == "capsule")
        capsule(b, h, radii.y, nv, std::max(2, nu / 4), outward, rect, ru, rv);
    else
        ellipsoid(b, V3(), radii, nu, nv, outward, rect, ru, rv);
}

// One crista: a fold of the inner membrane of a tube of radius r (axis x), rising from the
// membrane at y = +r towards the axis and ending free at y = r - reach. Its two faces are the
// same membrane as the inner membrane; between them the fold's lumen opens into the
// intermembrane space. Cut at z = cut, where it shows as a U of membrane around that lumen.
// Built at x = 0; the back half (z < cut) only, so the cut shows the section.
Builder crista(double r, double reach, double thick, double wall, double cut, const UvRect &uv,
               const UvRect &lumenUv)
{
    Builder b;
    const double y0 = r - reach;
    const int nz = 8, nv = 3, ne = 5;
    // z from the back, where the free edge meets the membrane, to the cut.
    const double zBack = -std::sqrt(std::max(1e-9, r * r - y0 * y0));
    const double zCut = std::min(cut, 0.0);
    auto wallY = [&](double z) { return std::sqrt(std::max(0.0, r * r - z * z)) + wall; };
    for (int side = -1; side <= 1; side += 2) {
        gridNumeric(
            b, nz, nv,
            [&](double u, double v) {
                const double z = zBack + (zCut - zBack) * u;
                return V3(side * thick / 2, y0 + (wallY(z) - y0) * v, z);
            },
            [&](double u, double v, const V3 &) { return std::make_pair(uv.s(u), uv.t(v)); },
            [&](double, double, const V3 &) { return V3(side, 0, 0); });
    }
    // The rounded free edge.
    gridNumeric(
        b, nz, ne,
        [&](double u, double v) {
            const double z = zBack + (zCut - zBack) * u, a = M_PI * v;
            return V3(-thick / 2 * std::cos(a), y0 - thick / 2 * std::sin(a), z);
        },
        [&](double u, double v, const V3 &) { return std::make_pair(uv.s(u), uv.t(0.2 * v)); },
        [&](double, double v, const V3 &) { return V3(-std::cos(M_PI * v), -std::sin(M_PI * v), 0); });
    // The section at the cut: two membrane bands and the U at the edge, the lumen between them.
    const double m = std::min(wall * 0.5, thick * 0.3);
    const double yTop = wallY(zCut);
    auto band = [&](const std::function<V3(double)> &o, const std::function<V3(double)> &i) {
        ring(b, 6, o, i, V3(0, 0, 1), uv, 1);
    };
    for (int side = -1; side <= 1; side += 2)
        band([&](double t) { return V3(side * thick / 2, y0 + (yTop - y0) * t, zCut + 1e-4); },
             [&](double t) { return V3(side * (thick / 2 - m), y0 + (yTop - y0) * t, zCut + 1e-4); });
    band(
        [&](double t) {
            const double a = M_PI * t;
            return V3(-thick / 2 * std::cos(a), y0 - thick / 2 * std::sin(a), zCut + 1e-4);
        },
        [&](double t) {
            const double a = M_PI * t;
            return V3(-(thick / 2 - m) * std::cos(a), y0 - (thick / 2 - m) * std::sin(a), zCut + 1e-4);
        });
    Builder l;
    grid(
        l, 1, 4,
        [&](double u, double v, V3 &p, V3 &n) {
            p = V3((u - 0.5) * (thick - 2 * m), y0 + (yTop - y0) * v, zCut + 5e-5);
            n = V3(0, 0, 1);
        },
        lumenUv);
    b.append(l);
    return b;
}

// A body cut open along the plane z = cut (the part z > cut removed): its outermost surface, its
// innermost surface and a band for each membrane along the cut.
Builder halfShell(const YAML::Node &s)
{
    const std::string kind = s["base"].as<std::string>("ellipsoid");
    V3 radii = kind == "capsule"
                   ? V3(s["radius"].as<double>(), s["radius"].as<double>(), s["radius"].as<double>())
                   : v3(s["radii"]);
    const double h = s["half_length"].as<double>(0);
    const double cut = s["cut_z"].as<double>(0);
    const int nu = segs(s["segments"], 0, 16), nv = segs(s["segments"], 1, 16);
    const UvRect outerUv = uvRect(s["outer_uv"]), innerUv = uvRect(s["inner_uv"]),
                 rimUv = uvRect(s["rim_uv"]);
    const double ru = s["repeat"] ? s["repeat"][0].as<double>() : 1,
                 rv = s["repeat"] ? s["repeat"][1].as<double>() : 1;
    std::vector<std::pair<double, double>> membranes;
    for (const auto &m : s["membranes"])
        membranes.push_back({m[0].as<double>(), m[1].as<double>()});
    if (membranes.empty())
        membranes.push_back({0, 0.01});
    auto shrink = [&](double off) { return V3(radii.x - off, radii.y - off, radii.z - off); };

    Builder full;
    if (s["outer"].as<bool>(true))
        closedSurface(full, kind, shrink(membranes.front().first), h, nu, nv, true, outerUv, ru, rv);
    if (s["inner"].as<bool>(true))
        closedSurface(full, kind, shrink(membranes.back().second), h, nu, nv, false, innerUv, ru, rv);
    const int rimSegs = s["rim_segments"].as<int>(nv * 2);
    Builder out;
    if (s["wedge"].as<bool>(false)) {
        // Only the quarter x > 0, z > cut is removed: the rest shows the outside, the gap the inside.
        out = clip(full, V3(1, 0, 0), 0);
        out.append(clip(clip(full, V3(-1, 0, 0), 0), V3(0, 0, 1), cut));
        for (const auto &[o, i] : membranes) {
            Builder front, side;
            ring(front, rimSegs, sectionCurve(kind, shrink(o), h, cut), sectionCurve(kind, shrink(i), h, cut),
                 V3(0, 0, 1), rimUv, s["rim_repeat"].as<double>(1));
            out.append(clip(front, V3(-1, 0, 0), 0));
            const V3 ro = shrink(o), ri = shrink(i);
            ring(
                side, rimSegs,
                [=](double t) { return V3(0, ro.y * std::cos(2 * M_PI * t), ro.z * std::sin(2 * M_PI * t)); },
                [=](double t) { return V3(0, ri.y * std::cos(2 * M_PI * t), ri.z * std::sin(2 * M_PI * t)); },
                V3(1, 0, 0), rimUv, s["rim_repeat"].as<double>(1));
            out.append(clip(side, V3(0, 0, -1), -cut));
        }
    } else {
        out = clip(full, V3(0, 0, 1), cut);
        for (const auto &[o, i] : membranes)
            ring(out, rimSegs, sectionCurve(kind, shrink(o), h, cut), sectionCurve(kind, shrink(i), h, cut),
                 V3(0, 0, 1), rimUv, s["rim_repeat"].as<double>(1));
        if (s["cap_uv"]) { // the inside in section, painted: the texture spans the section's box
            const V3 in = shrink(membranes.back().second);
            const double ax = kind == "capsule" ? h + in.y : in.x, ay = in.y;
            cap(out, rimSegs, V3(0, 0, cut), sectionCurve(kind, in, h, cut), V3(0, 0, 1), uvRect(s["cap_uv"]),
                1.0, V3(0.5 / ax, 0, 0), V3(0, 0.5 / ay, 0));
        }
    }

    if (const auto core = s["core"]) { // peroxisome: a crystal inside
        Builder c;
        box(c, v3(core["half"]), uvRect(core["uv"]));
        out.append(c, pose(v3(core["pos"]), v3(core["rot"])));
    }
    if (const auto cristae = s["cristae"]) { // mitochondrion: folds of the inner membrane
        const int count = cristae["count"].as<int>();
        const double r = radii.y - membranes.back().second;
        // How far a fold reaches into the matrix, as a share of the matrix width.
        const double reach = cristae["reach"].as<double>(0.6) * 2 * r;
        const double thick = cristae["thickness"].as<double>();
        const double wall = membranes.back().second - membranes.back().first;
        const UvRect cu = uvRect(cristae["uv"]), lumen = uvRect(cristae["lumen_uv"]);
        const double span = cristae["span"].as<double>(0.9) * h * 2;
        for (int k = 0; k < count; ++k) {
            const double x = -span / 2 + span * (count == 1 ? 0.5 : double(k) / (count - 1));
            out.append(crista(r, reach, thick, wall, cut, cu, lumen),
                       pose(V3(x, 0, 0), V3(0, 0, k % 2 ? 180 : 0)));
        }
    }
    return out;
}

// Cell wall, plasma membrane and vacuole: superellipsoid shells cut open along z = cut_z.
Builder superShell(const YAML::Node &s)
{
    SuperEllipsoid outer{v3(s["centre"]), v3(s["half"]), s["exponent"].as<double>(4)};
    const double thick = s["thickness"].as<double>(0);
    SuperEllipsoid inner = outer;
    inner.half = outer.half - V3(thick, thick, thick);
    const double cut = s["cut_z"].as<double>();
    const int nu = segs(s["segments"], 0, 24), nv = segs(s["segments"], 1, 24);
    const UvRect outerUv = uvRect(s["outer_uv"]), innerUv = uvRect(s["inner_uv"]),
                 rimUv = uvRect(s["rim_uv"]);
    const Dent dent = parseDent(s["dent"], outer.centre, cut);
    Builder full;
    if (s["outer"].as<bool>(true))
        superSurface(full, outer, nu, nv, true, outerUv, 1, 1, dent, 0);
    if (s["inner"].as<bool>(true))
        superSurface(full, inner, nu, nv, false, innerUv, 1, 1, dent, thick);
    Builder out = clip(full, V3(0, 0, 1), cut);
    const int rimSegs = s["rim_segments"].as<int>(nv * 2);
    auto section = [&](const SuperEllipsoid &e, double grow) {
        return [&e, &dent, cut, grow](double t) {
            V3 p = e.section(cut, t);
            dent.clip(p, grow);
            return p;
        };
    };
    if (thick > 0 && s["rim"].as<bool>(true))
        ring(out, rimSegs, section(outer, 0), section(inner, thick), V3(0, 0, 1), rimUv,
             s["rim_repeat"].as<double>(1));
    if (s["cap"].as<bool>(false)) {
        const V3 c(outer.centre.x, outer.centre.y, cut);
        const double extent = std::max(outer.half.x, outer.half.y);
        // With a membrane of some thickness the cap fills its inner edge, inside the rim band.
        const bool thin = thick <= 0;
        cap(out, rimSegs, c, section(thin ? outer : inner, thin ? 0 : thick), V3(0, 0, 1),
            uvRect(s["cap_uv"]), 0.5 / extent, V3(1, 0, 0), V3(0, 1, 0));
    }
    return out;
}

// Flattened sac (ER cisterna, Golgi cisterna): rounded outline, flat faces, swollen rim, bent.
Builder disc(const YAML::Node &s)
{
    const double rx = s["radii"][0].as<double>(), rz = s["radii"][1].as<double>();
    const double t = s["thickness"].as<double>();
    const double outline = s["outline"].as<double>(2), profile = s["profile"].as<double>(4);
    const double swell = s["rim_swell"].as<double>(0);
    const double kx = s["bend"] ? s["bend"][0].as<double>() : 0,
                 kz = s["bend"] ? s["bend"][1].as<double>() : 0;
    const int nu = segs(s["segments"], 0, 8), nv = segs(s["segments"], 1, 16);
    const UvRect rect = uvRect(s["uv"]);
    const double rep = s["repeat"].as<double>(1);
    Builder b;
    auto local = [=](double u, double v, double &ry) {
        const double phi = M_PI * u, om = 2 * M_PI * v;
        const double rho = spow(std::sin(phi), 2 / profile);
        ry = spow(std::cos(phi), 2 / profile);
        const double y = t * ry * (1 + swell * std::pow(rho, 6));
        const double x = rx * rho * spow(std::cos(om), 2 / outline),
                     z = rz * rho * spow(std::sin(om), 2 / outline);
        return V3(x, y + kx * x * x + kz * z * z, z);
    };
    gridNumeric(
        b, nu * 2, nv,
        [&](double u, double v) {
            double ry;
            return local(u, v, ry);
        },
        [&](double, double, const V3 &p) {
            return std::make_pair(rect.s0 + (0.5 + p.x / (2 * rx)) * rep * (rect.s1 - rect.s0),
                                  rect.t0 + (0.5 + p.z / (2 * rz)) * rep * (rect.t1 - rect.t0));
        },
        [&](double u, double v, const V3 &p) {
            double ry;
            local(u, v, ry);
            return V3(p.x / rx, ry * 4 + 1e-3 * (u < 0.5 ? 1 : -1), p.z / rz);
        });
    return b;
}

// Catmull-Rom refinement of a control polyline.
std::vector<V3> smoothPath(const std::vector<V3> &c, int per)
{
    if (c.size() < 3)
        return c;
    std::vector<V3> out;
    for (size_t i = 0; i + 1 < c.size(); ++i) {
        const V3 p0 = c[i == 0 ? 0 : i - 1], p1 = c[i], p2 = c[i + 1], p3 = c[std::min(c.size() - 1, i + 2)];
        for (int k = 0; k < per; ++k) {
            const double t = double(k) / per, t2 = t * t, t3 = t2 * t;
            out.push_back((p1 * 2 + (p2 - p0) * t + (p0 * 2 - p1 * 5 + p2 * 4 - p3) * t2 +
                           (p1 * 3 - p0 - p2 * 3 + p3) * t3) *
                          0.5);
        }
    }
    out.push_back(c.back());
    return out;
}

Builder tubes(const YAML::Node &s)
{
    Builder b;
    const double radius = s["radius"].as<double>();
    const int sides = s["sides"].as<int>(6);
    const int per = s["smooth"].as<int>(1);
    const UvRect rect = uvRect(s["uv"]);
    const double rep = s["repeat"].as<double>(1);
    for (const auto &path : s["paths"]) {
        std::vector<V3> pts;
        for (const auto &p : path)
            pts.push_back(v3(p));
        const auto sm = per > 1 ? smoothPath(pts, per) : pts;
        double len = 0;
        for (size_t i = 1; i < sm.size(); ++i)
            len += length(sm[i] - sm[i - 1]);
        const double hollow = s["hollow"].as<double>(0);
        tube(b, sm, radius, sides, s["caps"].as<bool>(true) && hollow <= 0, rect, rep * len,
             s["repeat_around"].as<double>(1));
        if (hollow > 0) { // a tube wall: the lumen inside, its ring of subunits at each cut end
            Builder in;
            tube(in, sm, hollow, sides, false, rect, rep * len, s["repeat_around"].as<double>(1));
            for (auto &v : in.vertices)
                v.n = -v.n;
            for (auto &t : in.triangles)
                std::swap(t[1], t[2]);
            b.append(in);
            const UvRect endUv = uvRect(s["end_uv"]);
            for (int end = 0; end < 2; ++end) {
                const V3 c = end == 0 ? sm.front() : sm.back();
                const V3 t = normalized(end == 0 ? sm.front() - sm[1] : sm.back() - sm[sm.size() - 2]);
                const V3 a = normalized(std::abs(t.y) < 0.9 ? cross(t, V3(0, 1, 0)) : cross(t, V3(1, 0, 0)));
                const V3 bb = cross(t, a);
                auto circle = [&](double rad) {
                    return [=](double u) {
                        const double w = 2 * M_PI * u;
                        return c + (a * std::cos(w) + bb * std::sin(w)) * rad;
                    };
                };
                ring(b, sides, circle(radius), circle(hollow), t, endUv, 1);
            }
        }
    }
    return b;
}

// Random smooth strands kept inside a sphere (chromatin) or a box.
Builder strands(const YAML::Node &s)
{
    Builder b;
    Rng rng(s["seed"].as<uint64_t>(1));
    const int count = s["count"].as<int>();
    const int steps = s["steps"].as<int>(20);
    const double step = s["step"].as<double>(0.05);
    const double bound = s["bound_radius"].as<double>();
    const double zmax = s["z_max"].as<double>(1e9);
    const double radius = s["radius"].as<double>();
    const int sides = s["sides"].as<int>(5);
    const UvRect rect = uvRect(s["uv"]);
    for (int i = 0; i < count; ++i) {
        V3 p;
        do {
            p = V3(rng.range(-1, 1), rng.range(-1, 1), rng.range(-1, 1)) * bound;
        } while (length(p) > bound * 0.8 || p.z > zmax);
        V3 dir = normalized(V3(rng.range(-1, 1), rng.range(-1, 1), rng.range(-1, 1)));
        std::vector<V3> pts{p};
        for (int k = 0; k < steps; ++k) {
            dir = normalized(dir + V3(rng.range(-1, 1), rng.range(-1, 1), rng.range(-1, 1)) * 0.9);
            V3 q = p + dir * step;
            if (length(q) > bound || q.z > zmax) { // turn back inwards
                dir = normalized(-p + dir * 0.3);
                q = p + dir * step;
            }
            p = q;
            pts.push_back(p);
        }
        tube(b, smoothPath(pts, 3), radius, sides, true, rect, s["repeat"].as<double>(4), 1);
    }
    return b;
}

Builder helix(const YAML::Node &s)
{
    Builder b;
    const double len = s["length"].as<double>(), hr = s["helix_radius"].as<double>();
    const double sr = s["strand_radius"].as<double>(), pitch = s["pitch"].as<double>();
    const int steps = s["steps"].as<int>(40), sides = s["sides"].as<int>(5);
    const UvRect rect = uvRect(s["uv"]);
    for (int strand = 0; strand < 2; ++strand) {
        std::vector<V3> pts;
        for (int k = 0; k <= steps; ++k) {
            const double x = -len / 2 + len * k / steps;
            const double a = 2 * M_PI * x / pitch + strand * M_PI;
            pts.push_back(V3(x, hr * std::cos(a), hr * std::sin(a)));
        }
        tube(b, pts, sr, sides, true, rect, s["repeat"].as<double>(8), 1);
    }
    return b;
}

Builder stack(const YAML::Node &s)
{
    Builder b;
    const double r = s["radius"].as<double>(), t = s["disc_thickness"].as<double>(),
                 gap = s["gap"].as<double>();
    const int count = s["count"].as<int>(), sides = s["sides"].as<int>(12);
    const UvRect rect = uvRect(s["uv"]);
    const double h = count * t + (count - 1) * gap;
    for (int k = 0; k < count; ++k) {
        const double y0 = -h / 2 + k * (t + gap);
        const double rk = r * (1 + 0.04 * std::sin(k * 2.3));
        cylinder(b, rk, y0, y0 + t, sides, rect);
    }
    return b;
}

Builder planks(const YAML::Node &s)
{
    Builder b;
    const UvRect rect = uvRect(s["uv"]);
    for (const auto &p : s["planks"]) {
        Builder one;
        box(one, v3(p["half"]), rect);
        b.append(one, pose(v3(p["pos"]), v3(p["rot"])));
    }
    return b;
}

Builder blob(const YAML::Node &s)
{
    const V3 radii = v3(s["radii"]);
    const double amp = s["lumps"].as<double>(0);
    const int nu = segs(s["segments"], 0, 8), nv = segs(s["segments"], 1, 12);
    const double cutY = s["flatten_y"].as<double>(1e9); // flattened underside (large subunit)
    const UvRect rect = uvRect(s["uv"]);
    Builder b;
    auto pos = [=](double u, double v) {
        const double eta = -M_PI / 2 + M_PI * u, om = 2 * M_PI * v;
        const V3 d(std::sin(eta), std::cos(eta) * std::cos(om), std::cos(eta) * std::sin(om));
        // Lumps fade out towards the poles, where the grid rows meet in one point.
        const double f =
            1 + amp * std::cos(eta) *
                    (std::sin(3 * eta + 1.1) * std::cos(2 * om) + 0.5 * std::sin(5 * om + 2 * eta));
        V3 p = mul(d, radii) * f;
        if (p.y < -cutY)
            p.y = -cutY + (p.y + cutY) * 0.25;
        return p;
    };
    gridNumeric(
        b, nu, nv, pos, [&](double u, double v, const V3 &) { return std::make_pair(rect.s(u), rect.t(v)); },
        [&](double, double, const V3 &p) { return p; });
    return b;
}

Builder plasmodesma(const YAML::Node &s)
{
    Builder b;
    const double len = s["length"].as<double>(), r = s["radius"].as<double>(),
                 inner = s["desmotubule"].as<double>();
    const int sides = s["sides"].as<int>(12);
    const UvRect lining = uvRect(s["lining_uv"]), core = uvRect(s["core_uv"]);
    // Lining: a flared channel (wider at both ends, where it meets the plasma membranes).
    std::vector<V3> path;
    for (int k = 0; k <= 8; ++k)
        path.push_back(V3(0, -len / 2 + len * k / 8, 0));
    Builder lin;
    grid(
        lin, sides, 8,
        [&](double u, double v, V3 &p, V3 &n) {
            const double a = 2 * M_PI * u, y = -len / 2 + len * v;
            const double flare = 1 + s["flare"].as<double>(0.8) * std::pow(std::abs(2 * v - 1), 6);
            p = V3(r * flare * std::cos(a), y, r * flare * std::sin(a));
            n = V3(-std::cos(a), 0, -std::sin(a)); // seen from inside the channel
        },
        lining, 1, 1);
    b.append(lin);
    tube(b, path, inner, std::max(6, sides / 2), true, core, 4, 1);
    return b;
}

// A plasmodesma as the wall's cut face shows it: a channel through the wall along y, lined with
// plasma membrane that narrows to a neck at both ends, the desmotubule along its middle. Flat
// in the plane z = 0 (facing +z), laid onto the cut face of the wall.
Builder plasmodesmaSection(const YAML::Node &s)
{
    Builder b;
    const double len = s["length"].as<double>(), r = s["radius"].as<double>();
    const double neck = s["neck"].as<double>(0.4), lining = s["lining"].as<double>(0.3);
    const double tubule = s["desmotubule"].as<double>();
    const int n = s["segments"].as<int>(12);
    const UvRect liningUv = uvRect(s["lining_uv"]), lumenUv = uvRect(s["lumen_uv"]),
                 coreUv = uvRect(s["core_uv"]);
    auto radius = [&](double y) { // narrowest where the channel meets the plasma membranes
        const double e = (std::abs(y) - len / 2) / (0.12 * len);
        return r * (1 - neck * std::exp(-e * e));
    };
    // Across the channel: lining, lumen, desmotubule, lumen, lining, as fractions of the radius.
    auto band = [&](std::function<double(double)> x0, std::function<double(double)> x1, const UvRect &uv) {
        grid(
            b, 1, n,
            [&](double u, double v, V3 &p, V3 &nn) {
                const double y = -len / 2 + len * v;
                p = V3(x0(y) + (x1(y) - x0(y)) * u, y, 0);
                nn = V3(0, 0, 1);
            },
            uv);
    };
    for (int side = -1; side <= 1; side += 2) {
        band([&](double y) { return side * radius(y); },
             [&](double y) { return side * radius(y) * (1 - lining); }, liningUv);
        band([&](double y) { return side * radius(y) * (1 - lining); }, [&](double) { return side * tubule; },
             lumenUv);
    }
    band([&](double) { return -tubule; }, [&](double) { return tubule; }, coreUv);
    // Grid winding depends on the band's direction: the library draws both faces alike, and the
    // normals all face the viewer.
    return b;
}

} // namespace

Builder buildShape(const YAML::Node &spec)
{
    const std::string shape = spec["shape"].as<std::string>();
    const YAML::Node &s = spec;
    Builder b;
    if (shape == "super_shell")
        return superShell(s);
    if (shape == "half_shell")
        return halfShell(s);
    if (shape == "ellipsoid") {
        ellipsoid(b, v3(s["centre"]), v3(s["radii"]), segs(s["segments"], 0, 8), segs(s["segments"], 1, 12),
                  true, uvRect(s["uv"]), s["repeat"] ? s["repeat"][0].as<double>() : 1,
                  s["repeat"] ? s["repeat"][1].as<double>() : 1);
        return b;
    }
    if (shape == "capsule") {
        capsule(b, s["half_length"].as<double>(), s["radius"].as<double>(), segs(s["segments"], 1, 8),
                segs(s["segments"], 0, 3), true, uvRect(s["uv"]),
                s["repeat"] ? s["repeat"][0].as<double>() : 1, s["repeat"] ? s["repeat"][1].as<double>() : 1);
        return b;
    }
    if (shape == "disc")
        return disc(s);
    if (shape == "tubes")
        return tubes(s);
    if (shape == "strands")
        return strands(s);
    if (shape == "helix")
        return helix(s);
    if (shape == "stack")
        return stack(s);
    if (shape == "planks")
        return planks(s);
    if (shape == "blob")
        return blob(s);
    if (shape == "torus") {
        torus(b, s["major"].as<double>(), s["minor"].as<double>(), segs(s["segments"], 0, 12),
              segs(s["segments"], 1, 6), uvRect(s["uv"]));
        return b;
    }
    if (shape == "plasmodesma")
        return plasmodesma(s);
    if (shape == "plasmodesma_section")
        return plasmodesmaSection(s);
    throw std::runtime_error("unknown shape: " + shape);
}

} // namespace zellgen
