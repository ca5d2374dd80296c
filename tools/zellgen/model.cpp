#include "model.h"

#include "rng.h"
#include "shapes.h"
#include "textures.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace zellgen {

namespace {

double segmentDistance(const V3 &p, const V3 &a, const V3 &b)
{
    const V3 ab = b - a;
    const double t = std::clamp(dot(p - a, ab) / std::max(dot(ab, ab), 1e-12), 0.0, 1.0);
    return length(p - (a + ab * t));
}

Frame parsePose(const YAML::Node &n)
{
    return pose(v3(n["pos"]), v3(n["rot"]));
}

} // namespace

bool Body::inside(const V3 &p, double margin) const
{
    switch (kind) {
    case Ellipsoid: {
        const V3 q = p - centre;
        const V3 r = radii + V3(margin, margin, margin);
        return (q.x * q.x) / (r.x * r.x) + (q.y * q.y) / (r.y * r.y) + (q.z * q.z) / (r.z * r.z) <= 1;
    }
    case Capsule:
        return segmentDistance(p, a, b) <= radius + margin;
    case Super: {
        SuperEllipsoid s = super;
        s.half = s.half + V3(margin, margin, margin);
        V3 q = p;
        return s.value(p) <= 1 && !dent.clip(q, -margin);
    }
    }
    return false;
}

std::vector<V3> Body::samples() const
{
    std::vector<V3> out;
    const int n = 5;
    if (kind == Ellipsoid) {
        for (int i = 0; i <= n; ++i)
            for (int j = 0; j <= n; ++j)
                for (int k = 0; k <= n; ++k) {
                    const V3 q(2.0 * i / n - 1, 2.0 * j / n - 1, 2.0 * k / n - 1);
                    if (dot(q, q) <= 1)
                        out.push_back(centre + mul(q, radii));
                }
        for (int i = 0; i < 60; ++i)
            out.push_back(centre + mul(fibonacciDir(i, 60), radii));
    } else if (kind == Capsule) {
        for (int s = 0; s <= 8; ++s) {
            const V3 c = lerp(a, b, s / 8.0);
            out.push_back(c);
            for (int i = 0; i < 30; ++i) {
                out.push_back(c + fibonacciDir(i, 30) * radius);
                out.push_back(c + fibonacciDir(i, 30) * (radius * 0.5));
            }
        }
    }
    return out;
}

Body parseBody(const YAML::Node &n)
{
    Body b;
    const std::string shape = n["shape"].as<std::string>();
    if (shape == "ellipsoid") {
        b.kind = Body::Ellipsoid;
        b.centre = v3(n["centre"]);
        b.radii = v3(n["radii"]);
    } else if (shape == "capsule") {
        b.kind = Body::Capsule;
        b.a = v3(n["a"]);
        b.b = v3(n["b"]);
        b.radius = n["radius"].as<double>();
    } else if (shape == "superellipsoid") {
        b.kind = Body::Super;
        b.super = SuperEllipsoid{v3(n["centre"]), v3(n["half"]), n["exponent"].as<double>()};
        b.role = n["role"].as<std::string>();
        if (const auto d = n["dent"]) {
            b.dent.centre = v3(d["centre"]);
            b.dent.radius = d["radius"].as<double>();
            b.dent.origin = v3(d["origin"]);
        }
    } else {
        throw std::runtime_error("unknown body shape: " + shape);
    }
    return b;
}

bool bodiesOverlap(const Body &a, const Frame &fa, const Body &b, const Frame &fb, double margin)
{
    const Frame aToB = fb.inverse() * fa, bToA = fa.inverse() * fb;
    for (const V3 &p : a.samples())
        if (b.inside(aToB.apply(p), margin))
            return true;
    for (const V3 &p : b.samples())
        if (a.inside(bToA.apply(p), margin))
            return true;
    return false;
}

namespace {

struct Context
{
    std::map<std::string, int> meshByKey;
    int mesh(const YAML::Node &n) const
    {
        const auto key = n.as<std::string>();
        const auto it = meshByKey.find(key);
        if (it == meshByKey.end())
            throw std::runtime_error("unknown mesh key: " + key);
        return it->second;
    }
};

// One part entry of an object: a single mesh, a group of meshes, or a pattern of either.
void addParts(const Context &ctx, const YAML::Node &node, const Frame &outer, std::vector<zelle::Part> &parts)
{
    auto emit = [&](const Frame &f) {
        if (node["group"]) {
            for (const auto &sub : node["group"])
                addParts(ctx, sub, f, parts);
        } else {
            zelle::Part p;
            p.mesh_index = ctx.mesh(node["mesh"]);
            p.matrix = f.matrix();
            parts.push_back(p);
        }
    };
    const Frame base = outer * parsePose(node);
    const std::string pattern = node["pattern"].as<std::string>("");
    if (pattern.empty()) {
        emit(base);
    } else if (pattern == "sphere") { // evenly over a sphere, local y along the normal
        const double r = node["radius"].as<double>();
        const int count = node["count"].as<int>();
        const double zmax = node["z_max"].as<double>(1e9), zmin = node["z_min"].as<double>(-1e9);
        for (int i = 0; i < count; ++i) {
            const V3 d = fibonacciDir(i, count);
            const V3 p = d * r;
            if (p.z > zmax || p.z < zmin)
                continue;
            if (node["skip_wedge"] && p.x > 0 && p.z > node["skip_wedge"].as<double>())
                continue; // in the quarter that is cut away
            emit(base * alignY(p, d, V3(1, 0, 0)));
        }
    } else if (pattern == "row") {
        const int count = node["count"].as<int>();
        const V3 step = v3(node["step"]), rotStep = v3(node["rot_step"]);
        for (int i = 0; i < count; ++i)
            emit(base * pose(step * i, rotStep * i));
    } else if (pattern == "circle") { // around the y axis
        const int count = node["count"].as<int>();
        const double r = node["radius"].as<double>(), phase = node["phase"].as<double>(0);
        const double jitter = node["jitter"].as<double>(0);
        Rng rng(node["seed"].as<uint64_t>(1));
        for (int i = 0; i < count; ++i) {
            const double a = (phase + 360.0 * i / count + jitter * rng.range(-1, 1)) * M_PI / 180;
            const double y = node["y_jitter"].as<double>(0) * rng.range(-1, 1);
            emit(base * pose(V3(r * std::cos(a), y, r * std::sin(a)), V3(0, -a * 180 / M_PI, 0)));
        }
    } else if (pattern == "disc_surface") { // on the faces of a bent disc mesh (ribosomes on ER)
        const double rx = node["radii"][0].as<double>(), rz = node["radii"][1].as<double>();
        const double t = node["thickness"].as<double>();
        const double kx = node["bend"] ? node["bend"][0].as<double>() : 0,
                     kz = node["bend"] ? node["bend"][1].as<double>() : 0;
        const int count = node["count"].as<int>();
        const double lift = node["lift"].as<double>(0), fill = node["fill"].as<double>(0.85);
        const double zmax = node["z_max"].as<double>(1e9);
        const std::string side = node["side"].as<std::string>("both");
        Rng rng(node["seed"].as<uint64_t>(1));
        int placed = 0;
        for (int attempt = 0; placed < count && attempt < count * 50; ++attempt) {
            const double x = rng.range(-1, 1) * rx * fill, z = rng.range(-1, 1) * rz * fill;
            if ((x / rx) * (x / rx) + (z / rz) * (z / rz) > fill * fill * 1.2 || z > zmax)
                continue;
            const bool top = side == "top" || (side == "both" && (placed % 2 == 0));
            const double sgn = top ? 1 : -1;
            const V3 n = normalized(V3(-2 * kx * x, 1, -2 * kz * z)) * sgn;
            const V3 p(x, sgn * t + kx * x * x + kz * z * z, z);
            emit(base * alignY(p + n * lift, n, V3(rng.range(-1, 1), 0, rng.range(-1, 1))));
            ++placed;
        }
    } else {
        throw std::runtime_error("unknown part pattern: " + pattern);
    }
}

zelle::Matrix viewMatrix(const YAML::Node &v)
{
    const Frame rot = rotationZ(v["roll"].as<double>(0)) * rotationX(v["tilt"].as<double>(0)) *
                      rotationY(v["yaw"].as<double>(0));
    Frame f = rot;
    f.origin = V3(0, 0, -v["distance"].as<double>()) - rot.rotate(v3(v["target"]));
    return f.matrix();
}

// Frame of the model in which the library's initial camera sees the cell as `view` describes.
Frame cellFrame(const YAML::Node &scene)
{
    const auto cam = scene["camera"];
    V3 r0(cam[0].as<double>(), cam[4].as<double>(), cam[8].as<double>());
    V3 r1(cam[1].as<double>(), cam[5].as<double>(), cam[9].as<double>());
    const V3 t(cam[12].as<double>(), cam[13].as<double>(), cam[14].as<double>());
    // The stored camera is orthonormal to four digits; make it exact so placements stay rigid.
    r0 = normalized(r0);
    r1 = normalized(r1 - r0 * dot(r1, r0));
    const V3 r2 = cross(r0, r1);
    Frame camRot; // rows r0, r1, r2
    camRot.ex = {r0.x, r1.x, r2.x};
    camRot.ey = {r0.y, r1.y, r2.y};
    camRot.ez = {r0.z, r1.z, r2.z};
    const auto v = scene["cell_view"];
    const Frame view = rotationZ(v["roll"].as<double>(0)) * rotationX(v["tilt"].as<double>(0)) *
                       rotationY(v["yaw"].as<double>(0));
    Frame c = camRot.inverse() * view;
    const V3 eyeCentre = V3(0, 0, -v["distance"].as<double>(9)) + v3(v["offset"]);
    c.origin = camRot.inverse().rotate(eyeCentre - t);
    return c;
}

struct Placer
{
    const Model &model;
    std::vector<PlacedBody> &placed;
    const Body *container = nullptr; // membrane inner surface, cell frame
    const Body *excluder = nullptr;  // vacuole, cell frame
    double cutZ = 1e9;               // the cell is open above this plane
    double margin = 0.01;

    bool fits(int objectIndex, const Frame &f, std::string *why = nullptr) const
    {
        const Body &b = model.objects[objectIndex].body;
        if (b.kind == Body::Super)
            return true;
        for (const V3 &s : b.samples()) {
            const V3 p = f.apply(s);
            if (!model.objects[objectIndex].cut && p.z > cutZ - margin) {
                if (why)
                    *why = "above the cut";
                return false;
            }
            if (container && !container->inside(p, -margin)) {
                if (why)
                    *why = "outside the plasma membrane";
                return false;
            }
            if (excluder && excluder->inside(p, margin)) {
                if (why)
                    *why = "inside the vacuole";
                return false;
            }
        }
        for (const PlacedBody &o : placed) {
            const Body &ob = model.objects[o.objectIndex].body;
            if (ob.kind == Body::Super)
                continue;
            if (bodiesOverlap(b, f, ob, o.cell, margin)) {
                if (why)
                    *why = "overlaps another organelle (object " + std::to_string(o.objectIndex) + ")";
                return false;
            }
        }
        return true;
    }
};

V3 surfacePoint(const SuperEllipsoid &s, const V3 &dir)
{
    // Superellipsoids scale homogeneously: f(t q) = t^e f(q).
    const double f = s.value(s.centre + dir);
    return s.centre + dir * std::pow(f, -1.0 / s.exponent);
}

void scatter(const YAML::Node &g, Placer &pl, const Model &model)
{
    const int object = g["object"].as<int>();
    const int count = g["count"].as<int>();
    const std::string region = g["region"].as<std::string>();
    const double lift = g["lift"].as<double>(0), gap = g["gap"].as<double>(0.02);
    const double spin = g["spin"].as<double>(180);
    Rng rng(g["seed"].as<uint64_t>(1));
    auto range = [&](const char *key, double lo, double hi) {
        return g[key] ? std::make_pair(g[key][0].as<double>(), g[key][1].as<double>())
                      : std::make_pair(lo, hi);
    };
    const auto xr = range("x", -1e9, 1e9), yr = range("y", -1e9, 1e9), zr = range("z", -1e9, 1e9);
    const V3 hint = v3(g["hint"], V3(1, 0, 0));
    const SuperEllipsoid &mem = pl.container->super;
    const SuperEllipsoid &vac = pl.excluder->super;
    int done = 0;
    const int attempts = g["attempts"].as<int>(20000);
    for (int a = 0; a < attempts && done < count; ++a) {
        Frame f;
        if (region == "membrane" || region == "tonoplast") {
            const SuperEllipsoid &s = region == "membrane" ? mem : vac;
            const V3 dir(rng.range(-1, 1) * s.half.x, rng.range(-1, 1) * s.half.y,
                         rng.range(-1, 1) * s.half.z);
            const V3 sp = surfacePoint(s, dir);
            V3 n = s.normal(sp);
            if (region == "membrane")
                n = -n;
            if (g["align"].as<std::string>("") == "transverse") {
                // Cortical microtubules: across the cell's long axis, parallel to each other.
                const V3 across = cross(n, V3(1, 0, 0));
                if (length(across) < 0.5)
                    continue; // at the cell's ends there is no "across"
                f = alignY(sp + n * (lift + gap), n, across);
            } else {
                f = alignY(sp + n * (lift + gap), n,
                           hint + V3(rng.range(-0.3, 0.3), rng.range(-0.3, 0.3), rng.range(-0.3, 0.3)));
                f = f * rotationY(rng.range(-spin, spin));
            }
        } else if (region == "section") {
            // In the cut plane, against the plasma membrane or the tonoplast, opened by the cut:
            // local y along the surface's normal, local z towards the viewer.
            const bool onVacuole = g["side"].as<std::string>("membrane") == "tonoplast";
            const SuperEllipsoid &s = onVacuole ? vac : mem;
            V3 sp = s.section(pl.cutZ, rng.uniform());
            V3 n = s.normal(sp);
            if (onVacuole && pl.excluder->dent.clip(sp))
                n = pl.excluder->dent.centre - sp;
            if (!onVacuole)
                n = -n;
            n.z = 0;
            if (length(n) < 1e-6)
                continue;
            n = normalized(n);
            f = alignY(sp + n * (lift + gap), n, cross(n, V3(0, 0, 1)));
            f.origin.z = pl.cutZ;
        } else if (region == "free") {
            const V3 p(rng.range(xr.first, xr.second), rng.range(yr.first, yr.second),
                       rng.range(zr.first, zr.second));
            if (g["orient"].as<std::string>("random") == "fixed")
                f = pose(p, v3(g["rot"]) + V3(0, 0, rng.range(-spin, spin)));
            else
                f = pose(p, V3(rng.range(-180, 180), rng.range(-180, 180), rng.range(-180, 180)));
        } else {
            throw std::runtime_error("unknown placement region: " + region);
        }
        const V3 c = f.origin;
        if (c.x < xr.first || c.x > xr.second || c.y < yr.first || c.y > yr.second || c.z < zr.first ||
            c.z > zr.second)
            continue;
        if (!pl.fits(object, f))
            continue;
        pl.placed.push_back({object, f});
        ++done;
    }
    if (done < count)
        throw std::runtime_error("could place only " + std::to_string(done) + " of " + std::to_string(count) +
                                 " placements of object " + std::to_string(object) + " (" + region + ")");
    (void)model;
}

} // namespace

double vacuoleShare(const Model &model)
{
    const Body *membrane = nullptr, *vacuole = nullptr;
    for (const auto &o : model.objects) {
        if (o.body.role == "container")
            membrane = &o.body;
        if (o.body.role == "excluder")
            vacuole = &o.body;
    }
    if (!membrane || !vacuole)
        return 0;
    const SuperEllipsoid &m = membrane->super;
    long inCell = 0, inVacuole = 0;
    const int n = 60;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            for (int k = 0; k < n; ++k) {
                const V3 p =
                    m.centre +
                    mul(V3((i + 0.5) / n * 2 - 1, (j + 0.5) / n * 2 - 1, (k + 0.5) / n * 2 - 1), m.half);
                if (!membrane->inside(p))
                    continue;
                ++inCell;
                inVacuole += vacuole->inside(p);
            }
    return inCell ? double(inVacuole) / inCell : 0;
}

Model buildModel(const std::string &dir)
{
    Model model;
    const YAML::Node meshes = YAML::LoadFile(dir + "/meshes.yaml");
    const YAML::Node objects = YAML::LoadFile(dir + "/objects.yaml");
    const YAML::Node scene = YAML::LoadFile(dir + "/scene.yaml");

    Context ctx;
    for (const auto &m : meshes["meshes"]) {
        MeshEntry e;
        e.index = m["index"].as<int>();
        e.key = m["key"].as<std::string>();
        e.name = m["name"].as<std::string>();
        if (e.index != int(model.meshes.size()))
            throw std::runtime_error("mesh table out of order at " + e.key);
        e.geometry = buildShape(m["geometry"]);
        e.texture = paintTexture(m["texture"]);
        ctx.meshByKey[e.key] = e.index;
        model.meshes.push_back(std::move(e));
    }
    if (model.meshes.size() != size_t(zelle::kMeshCount))
        throw std::runtime_error("the mesh table must list exactly 25 meshes");

    for (const auto &o : objects["objects"]) {
        ObjectEntry e;
        e.index = o["index"].as<int>();
        if (e.index != int(model.objects.size()))
            throw std::runtime_error("objects out of order");
        e.name = o["name"].as<std::string>();
        e.object.id = o["id"].as<int>();
        e.body = parseBody(o["body"]);
        e.cut = o["cut"].as<bool>(false);
        e.object.view_matrix = viewMatrix(o["view"]);
        for (const auto &p : o["overview"])
            addParts(ctx, p, Frame(), e.object.overview_parts);
        for (const auto &p : o["detail"]) {
            if (p.IsScalar() && p.as<std::string>() == "overview")
                e.object.detail_parts.insert(e.object.detail_parts.end(), e.object.overview_parts.begin(),
                                             e.object.overview_parts.end());
            else
                addParts(ctx, p, Frame(), e.object.detail_parts);
        }
        if (e.object.overview_parts.size() > 20)
            throw std::runtime_error("object " + e.name + " has more than 20 overview parts");
        model.objects.push_back(std::move(e));
    }
    if (model.objects.size() != size_t(zelle::kObjectCount))
        throw std::runtime_error("exactly 11 objects are needed");

    model.cellToModel = cellFrame(scene);

    // Shell bodies in the cell frame: the shells are placed at the cell's origin.
    const Body *container = nullptr, *excluder = nullptr;
    for (const auto &o : model.objects) {
        if (o.body.kind == Body::Super && o.body.role == "container")
            container = &o.body;
        if (o.body.kind == Body::Super && o.body.role == "excluder")
            excluder = &o.body;
    }
    if (!container || !excluder)
        throw std::runtime_error("the plasma membrane and the vacuole need shell bodies");

    std::vector<PlacedBody> placed;
    Placer pl{model, placed, container, excluder};
    pl.cutZ = scene["cut_z"].as<double>(1e9);
    for (const auto &p : scene["placements"]) {
        if (p["group"]) {
            scatter(p["group"], pl, model);
            continue;
        }
        const int object = p["object"].as<int>();
        const Frame f = parsePose(p);
        std::string why;
        if (!pl.fits(object, f, &why))
            throw std::runtime_error("placement of object " + std::to_string(object) + " at " +
                                     std::to_string(f.origin.x) + ", " + std::to_string(f.origin.y) + ", " +
                                     std::to_string(f.origin.z) + ": " + why);
        placed.push_back({object, f});
    }
    if (placed.size() != size_t(zelle::kPlacementCount))
        throw std::runtime_error("the scene has " + std::to_string(placed.size()) +
                                 " placements, 140 are needed");

    // Per object, the placement nearest the eye goes last: action 6 (the menu's flight) finds the
    // last one, so the flight starts from an organelle the pupil can see.
    const Frame view = rotationZ(scene["cell_view"]["roll"].as<double>(0)) *
                       rotationX(scene["cell_view"]["tilt"].as<double>(0)) *
                       rotationY(scene["cell_view"]["yaw"].as<double>(0));
    std::stable_sort(placed.begin(), placed.end(), [&](const PlacedBody &a, const PlacedBody &b) {
        if (a.objectIndex != b.objectIndex)
            return a.objectIndex < b.objectIndex;
        return view.apply(a.cell.origin).z < view.apply(b.cell.origin).z;
    });
    for (size_t i = 0; i < placed.size(); ++i) {
        zelle::Placement e;
        e.id = int32_t(i + 1); // 0 stays free: action 6 answers 0 for "none"
        e.object_index = placed[i].objectIndex;
        e.matrix = (model.cellToModel * placed[i].cell).matrix();
        model.placements.push_back(e);
    }
    model.placedBodies = placed;
    return model;
}

} // namespace zellgen
