// The generated model folder read back through the engine's readers, and the organelle bodies
// of the model sources checked against the generated scene table.

#include "model_helpers.h"

#include "cellfiles.h"
#include "dibloader.h"

#include <QByteArray>
#include <QString>

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace modeltest;

namespace {

LoadedModel &model()
{
    static LoadedModel m;
    static bool loaded = false;
    static std::string why;
    if (!loaded) {
        loaded = true;
        if (!loadModel(m, &why))
            ADD_FAILURE() << why;
    }
    return m;
}

// Upper-left 3 x 3 orthonormal and right-handed: the library does not renormalise normals, so a
// scaled matrix would light the surface wrongly.
void expectRigid(const zelle::Matrix &m, const std::string &what)
{
    for (int a = 0; a < 3; ++a)
        for (int b = 0; b < 3; ++b) {
            double d = 0;
            for (int k = 0; k < 3; ++k)
                d += double(m[4 * a + k]) * m[4 * b + k];
            EXPECT_NEAR(d, a == b ? 1.0 : 0.0, 2e-3) << what << " column " << a << "." << b;
        }
    const double det = m[0] * (m[5] * m[10] - m[9] * m[6]) - m[4] * (m[1] * m[10] - m[9] * m[2]) +
                       m[8] * (m[1] * m[6] - m[5] * m[2]);
    EXPECT_NEAR(det, 1.0, 3e-3) << what;
    EXPECT_EQ(m[3], 0.f);
    EXPECT_EQ(m[7], 0.f);
    EXPECT_EQ(m[11], 0.f);
    EXPECT_EQ(m[15], 1.f);
}

TEST(ModelFiles, MeshesAndTexturesAreCompleteAndInRange)
{
    const LoadedModel &m = model();
    ASSERT_EQ(m.meshes.size(), size_t(zelle::kMeshCount));
    for (int i = 0; i < zelle::kMeshCount; ++i) {
        const zelle::Mesh &mesh = m.meshes[i];
        EXPECT_GT(mesh.faces.size(), 0u) << "mesh " << i;
        const int nv = int(mesh.vertices.size()), nt = int(mesh.texcoords.size()),
                  nn = int(mesh.normals.size());
        for (const auto &f : mesh.faces)
            for (int k = 0; k < 3; ++k) {
                ASSERT_TRUE(f.vertex[k] >= 1 && f.vertex[k] <= nv) << "mesh " << i;
                ASSERT_TRUE(f.texcoord[k] >= 1 && f.texcoord[k] <= nt) << "mesh " << i;
                ASSERT_TRUE(f.normal[k] >= 1 && f.normal[k] <= nn) << "mesh " << i;
            }
        for (const auto &n : mesh.normals)
            ASSERT_NEAR(std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z), 1.0, 1e-3) << "mesh " << i;

        zelle::Image img;
        zelle::setDibReports(false);
        ASSERT_TRUE(zelle::loadDib(zelleFile("tex" + std::to_string(i) + ".tex"), img)) << "tex" << i;
        EXPECT_TRUE(img.width >= 8 && (img.width & (img.width - 1)) == 0)
            << "tex" << i << " width " << img.width;
        EXPECT_TRUE(img.height >= 8 && (img.height & (img.height - 1)) == 0)
            << "tex" << i << " height " << img.height;
        // Texture detail: not one flat colour.
        std::set<uint32_t> colours;
        for (size_t p = 0; p + 2 < img.rgb.size(); p += 3)
            colours.insert(uint32_t(img.rgb[p]) << 16 | uint32_t(img.rgb[p + 1]) << 8 | img.rgb[p + 2]);
        EXPECT_GT(colours.size(), 1u) << "tex" << i;
    }
}

TEST(ModelFiles, ObjectsHaveTheirIdsPartsAndDetailViews)
{
    const LoadedModel &m = model();
    ASSERT_EQ(m.objects.size(), size_t(zelle::kObjectCount));
    for (int j = 0; j < zelle::kObjectCount; ++j) {
        const zelle::Object &o = m.objects[j];
        // Highlighting uses the organelle index as object id; 10 would hide the cytoskeleton's
        // detail view, so that object has 11.
        EXPECT_EQ(o.id, j < 10 ? j : 11) << "object " << j;
        EXPECT_GT(o.overview_parts.size(), 0u) << "object " << j;
        EXPECT_LE(o.overview_parts.size(), 20u) << "object " << j << ": a 21st overview part is never drawn";
        EXPECT_GT(o.detail_parts.size(), 0u) << "object " << j;
        expectRigid(o.view_matrix, "view matrix of object " + std::to_string(j));
        for (const auto *parts : {&o.overview_parts, &o.detail_parts})
            for (const auto &p : *parts) {
                ASSERT_TRUE(p.mesh_index >= 0 && p.mesh_index < zelle::kMeshCount) << "object " << j;
                expectRigid(p.matrix, "part of object " + std::to_string(j));
            }
    }
}

TEST(ModelFiles, SceneTableHas140PlacementsOfEveryKind)
{
    const LoadedModel &m = model();
    ASSERT_EQ(m.placements.size(), size_t(zelle::kPlacementCount));
    std::set<int> ids;
    std::map<int, int> perKind;
    for (const auto &p : m.placements) {
        EXPECT_GE(p.id, 0);
        EXPECT_TRUE(ids.insert(p.id).second) << "placement id " << p.id << " twice";
        ASSERT_TRUE(p.object_index >= 0 && p.object_index < zelle::kObjectCount);
        ++perKind[p.object_index];
        expectRigid(p.matrix, "placement " + std::to_string(p.id));
    }
    for (int k = 0; k < zelle::kObjectCount; ++k)
        EXPECT_GT(perKind[k], 0) << "no placement of object " << k;
    // Wall, plasma membrane and vacuole exist once per cell.
    EXPECT_EQ(perKind[6], 1);
    EXPECT_EQ(perKind[7], 1);
    EXPECT_EQ(perKind[8], 1);
}

TEST(ModelFiles, MeshNameListNamesEveryMeshInCp1252)
{
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(zelle::readFileBytes(distDir() + "/inhalt/meshes.dat", bytes));
    const QByteArray raw(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\n') {
            ASSERT_TRUE(i > 0 && raw[i - 1] == '\r') << "line end without CR at byte " << i;
        }
    }
    const QList<QByteArray> names = vellora::parseMeshNames(raw);
    ASSERT_EQ(names.size(), zelle::kMeshCount);
    for (const auto &n : names)
        EXPECT_FALSE(n.isEmpty());
    // The hints of the detail views use the terms of the teaching material, in cp1252.
    for (const char *term : {"Kernh\xfclle", "Kernpore", "Nucleolus", "Thylakoid", "Granum", "St\xe4rkekorn",
                             "Crista", "Mikrotubulus", "Aktinfilament", "Plasmodesmos", "Tonoplast"})
        EXPECT_TRUE(names.contains(QByteArray(term))) << term;
    // Line k is the name of mesh k, as the mesh table lists it.
    const YAML::Node table = YAML::LoadFile(std::string(MODEL_SOURCES_DIR) + "/meshes.yaml");
    for (const auto &entry : table["meshes"]) {
        const int index = entry["index"].as<int>();
        ASSERT_TRUE(index >= 0 && index < names.size());
        EXPECT_EQ(QString::fromLatin1(names[index]), QString::fromStdString(entry["name"].as<std::string>()));
    }
}

// --- Organelle bodies -----------------------------------------------------------------------

struct Body
{
    std::string shape, role;
    P3 centre{0, 0, 0}, radii{0, 0, 0}, half{0, 0, 0}, a{0, 0, 0}, b{0, 0, 0};
    double radius = 0, exponent = 2;
    // A shell's hollow: what lies behind this sphere, seen from dentOrigin, is outside the shell.
    P3 dentCentre{0, 0, 0}, dentOrigin{0, 0, 0};
    double dentRadius = 0;

    bool behindDent(const P3 &p) const
    {
        if (dentRadius <= 0)
            return false;
        // Closest approach of the segment origin -> p to the sphere's centre.
        const P3 d{p.x - dentOrigin.x, p.y - dentOrigin.y, p.z - dentOrigin.z};
        const P3 m{dentCentre.x - dentOrigin.x, dentCentre.y - dentOrigin.y, dentCentre.z - dentOrigin.z};
        const double len2 = d.x * d.x + d.y * d.y + d.z * d.z;
        const double t = std::clamp((m.x * d.x + m.y * d.y + m.z * d.z) / std::max(len2, 1e-12), 0.0, 1.0);
        const P3 q{dentOrigin.x + d.x * t - dentCentre.x, dentOrigin.y + d.y * t - dentCentre.y,
                   dentOrigin.z + d.z * t - dentCentre.z};
        return q.x * q.x + q.y * q.y + q.z * q.z < dentRadius * dentRadius;
    }

    bool inside(const P3 &p) const
    {
        if (shape == "ellipsoid") {
            const double x = (p.x - centre.x) / radii.x, y = (p.y - centre.y) / radii.y,
                         z = (p.z - centre.z) / radii.z;
            return x * x + y * y + z * z <= 1;
        }
        if (shape == "capsule") {
            const P3 ab{b.x - a.x, b.y - a.y, b.z - a.z}, ap{p.x - a.x, p.y - a.y, p.z - a.z};
            const double len2 = ab.x * ab.x + ab.y * ab.y + ab.z * ab.z;
            const double t = std::clamp((ap.x * ab.x + ap.y * ab.y + ap.z * ab.z) / len2, 0.0, 1.0);
            const P3 d{ap.x - ab.x * t, ap.y - ab.y * t, ap.z - ab.z * t};
            return d.x * d.x + d.y * d.y + d.z * d.z <= radius * radius;
        }
        return std::pow(std::abs((p.x - centre.x) / half.x), exponent) +
                       std::pow(std::abs((p.y - centre.y) / half.y), exponent) +
                       std::pow(std::abs((p.z - centre.z) / half.z), exponent) <=
                   1 &&
               !behindDent(p);
    }

    // Points filling the body and covering its surface.
    std::vector<P3> samples() const
    {
        std::vector<P3> out;
        std::vector<P3> dirs;
        const int nd = 150;
        for (int i = 0; i < nd; ++i) {
            const double y = 1 - 2 * (i + 0.5) / nd, r = std::sqrt(1 - y * y),
                         ang = i * M_PI * (3 - std::sqrt(5.0));
            dirs.push_back({r * std::cos(ang), y, r * std::sin(ang)});
        }
        if (shape == "ellipsoid") {
            for (double s : {1.0, 0.6})
                for (const P3 &d : dirs)
                    out.push_back({centre.x + d.x * radii.x * s, centre.y + d.y * radii.y * s,
                                   centre.z + d.z * radii.z * s});
            out.push_back(centre);
        } else if (shape == "capsule") {
            for (int k = 0; k <= 12; ++k) {
                const double t = k / 12.0;
                const P3 c{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
                out.push_back(c);
                for (const P3 &d : dirs)
                    out.push_back({c.x + d.x * radius, c.y + d.y * radius, c.z + d.z * radius});
            }
        }
        return out;
    }
};

P3 v3(const YAML::Node &n)
{
    return {n[0].as<double>(), n[1].as<double>(), n[2].as<double>()};
}

Body parseBody(const YAML::Node &n)
{
    Body b;
    b.shape = n["shape"].as<std::string>();
    if (b.shape == "ellipsoid") {
        b.centre = v3(n["centre"]);
        b.radii = v3(n["radii"]);
    } else if (b.shape == "capsule") {
        b.a = v3(n["a"]);
        b.b = v3(n["b"]);
        b.radius = n["radius"].as<double>();
    } else {
        b.centre = v3(n["centre"]);
        b.half = v3(n["half"]);
        b.exponent = n["exponent"].as<double>();
        b.role = n["role"].as<std::string>();
        if (const auto d = n["dent"]) {
            b.dentCentre = v3(d["centre"]);
            b.dentOrigin = v3(d["origin"]);
            b.dentRadius = d["radius"].as<double>();
        }
    }
    return b;
}

P3 apply(const zelle::Matrix &m, const P3 &p)
{
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

// Inverse of a rigid matrix applied to p.
P3 applyInverse(const zelle::Matrix &m, const P3 &p)
{
    const P3 d{p.x - m[12], p.y - m[13], p.z - m[14]};
    return {m[0] * d.x + m[1] * d.y + m[2] * d.z, m[4] * d.x + m[5] * d.y + m[6] * d.z,
            m[8] * d.x + m[9] * d.y + m[10] * d.z};
}

bool overlap(const Body &a, const zelle::Matrix &ma, const Body &b, const zelle::Matrix &mb)
{
    for (const P3 &s : a.samples())
        if (b.inside(applyInverse(mb, apply(ma, s))))
            return true;
    for (const P3 &s : b.samples())
        if (a.inside(applyInverse(ma, apply(mb, s))))
            return true;
    return false;
}

TEST(ModelBodies, OverlapCheckSeesBodiesThatTouch)
{
    Body e;
    e.shape = "ellipsoid";
    e.radii = {0.3, 0.1, 0.2};
    Body c;
    c.shape = "capsule";
    c.a = {-0.1, 0, 0};
    c.b = {0.1, 0, 0};
    c.radius = 0.05;
    auto at = [](double x, double y, double z) {
        zelle::Matrix m = zelle::identityMatrix();
        m[12] = float(x);
        m[13] = float(y);
        m[14] = float(z);
        return m;
    };
    struct Case
    {
        double y;
        bool overlaps;
    } cases[] = {{0.0, true}, {0.14, true}, {0.16, false}, {1.0, false}};
    for (const auto &cs : cases)
        EXPECT_EQ(overlap(e, at(0, 0, 0), c, at(0.05, cs.y, 0)), cs.overlaps) << "capsule at y = " << cs.y;
}

TEST(ModelBodies, NoOrganelleEntersAnotherOrLeavesTheCytoplasm)
{
    const LoadedModel &m = model();
    ASSERT_EQ(m.placements.size(), size_t(zelle::kPlacementCount));
    const YAML::Node objects = YAML::LoadFile(std::string(MODEL_SOURCES_DIR) + "/objects.yaml");
    std::vector<Body> bodies;
    for (const auto &o : objects["objects"])
        bodies.push_back(parseBody(o["body"]));
    ASSERT_EQ(bodies.size(), size_t(zelle::kObjectCount));

    const zelle::Placement *membrane = nullptr, *vacuole = nullptr;
    for (const auto &p : m.placements) {
        if (bodies[p.object_index].role == "container")
            membrane = &p;
        if (bodies[p.object_index].role == "excluder")
            vacuole = &p;
    }
    ASSERT_TRUE(membrane && vacuole);

    std::vector<const zelle::Placement *> organelles;
    for (const auto &p : m.placements)
        if (bodies[p.object_index].shape != "superellipsoid")
            organelles.push_back(&p);
    ASSERT_GT(organelles.size(), 100u);

    for (const auto *p : organelles) {
        const Body &b = bodies[p->object_index];
        for (const P3 &s : b.samples()) {
            const P3 world = apply(p->matrix, s);
            ASSERT_TRUE(bodies[membrane->object_index].inside(applyInverse(membrane->matrix, world)))
                << "placement " << p->id << " (object " << p->object_index
                << ") reaches through the plasma membrane";
            ASSERT_FALSE(bodies[vacuole->object_index].inside(applyInverse(vacuole->matrix, world)))
                << "placement " << p->id << " (object " << p->object_index << ") reaches into the vacuole";
        }
    }
    for (size_t i = 0; i < organelles.size(); ++i)
        for (size_t k = i + 1; k < organelles.size(); ++k) {
            const auto *a = organelles[i], *b = organelles[k];
            EXPECT_FALSE(overlap(bodies[a->object_index], a->matrix, bodies[b->object_index], b->matrix))
                << "placements " << a->id << " (object " << a->object_index << ") and " << b->id
                << " (object " << b->object_index << ") intersect";
        }
}

// The cell is cut open along a plane: what the cut opens lies in it with its own cut face (local
// z = 0, open towards +z) in that plane, so the section shows its inside; everything else lies
// wholly below it, so nothing hovers over the cut face or the vacuole.
TEST(ModelBodies, OnlyWhatTheCutOpensReachesTheCutPlane)
{
    const LoadedModel &m = model();
    ASSERT_EQ(m.placements.size(), size_t(zelle::kPlacementCount));
    const YAML::Node objects = YAML::LoadFile(std::string(MODEL_SOURCES_DIR) + "/objects.yaml");
    const YAML::Node scene = YAML::LoadFile(std::string(MODEL_SOURCES_DIR) + "/scene.yaml");
    const double cut = scene["cut_z"].as<double>();
    std::vector<Body> bodies;
    std::vector<bool> opened;
    for (const auto &o : objects["objects"]) {
        bodies.push_back(parseBody(o["body"]));
        opened.push_back(o["cut"].as<bool>(false));
    }
    ASSERT_EQ(bodies.size(), size_t(zelle::kObjectCount));
    // The cell frame is the frame of the shells (placed at the cell's origin).
    const zelle::Placement *membrane = nullptr;
    for (const auto &p : m.placements)
        if (bodies[p.object_index].role == "container")
            membrane = &p;
    ASSERT_TRUE(membrane);
    int inTheCut = 0;
    for (const auto &p : m.placements) {
        const Body &b = bodies[p.object_index];
        if (b.shape == "superellipsoid")
            continue;
        if (opened[p.object_index]) {
            const P3 o = applyInverse(membrane->matrix, apply(p.matrix, {0, 0, 0}));
            const P3 z = applyInverse(membrane->matrix, apply(p.matrix, {0, 0, 1}));
            EXPECT_NEAR(o.z, cut, 1e-3)
                << "placement " << p.id << " (object " << p.object_index << ") is not in the cut";
            EXPECT_NEAR(z.z - o.z, 1.0, 1e-3) << "placement " << p.id << " (object " << p.object_index
                                              << ") does not open towards the viewer";
            ++inTheCut;
            continue;
        }
        for (const P3 &s : b.samples()) {
            const P3 c = applyInverse(membrane->matrix, apply(p.matrix, s));
            ASSERT_LE(c.z, cut) << "placement " << p.id << " (object " << p.object_index
                                << ") reaches above the cut";
        }
    }
    // The section shows the nucleus and, along the wall, the organelles that it opens.
    EXPECT_GT(inTheCut, 30);
}

// --- The generator --------------------------------------------------------------------------

int runZellgen(const fs::path &sources, const fs::path &out, std::string *errors)
{
    const fs::path log = out.string() + ".log";
    const std::string cmd = std::string("\"") + ZELLGEN_EXE + "\" --sources \"" + sources.string() +
                            "\" --out \"" + out.string() + "\" 2> \"" + log.string() + "\"";
    const int rc = std::system(cmd.c_str());
    std::ifstream in(log);
    errors->assign(std::istreambuf_iterator<char>(in), {});
    return rc;
}

std::map<std::string, std::vector<uint8_t>> folderBytes(const fs::path &dir)
{
    std::map<std::string, std::vector<uint8_t>> out;
    for (const auto &e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) {
            std::vector<uint8_t> bytes;
            zelle::readFileBytes(e.path().string(), bytes);
            out[fs::relative(e.path(), dir).string()] = std::move(bytes);
        }
    return out;
}

fs::path scratch(const std::string &name)
{
    const fs::path p =
        fs::temp_directory_path() / ("vellora-model-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(p);
    fs::create_directories(p);
    return p;
}

TEST(ModelGenerator, SameSourcesGiveTheSameBytes)
{
    const fs::path a = scratch("a"), b = scratch("b");
    std::string err;
    ASSERT_EQ(runZellgen(MODEL_SOURCES_DIR, a, &err), 0) << err;
    ASSERT_EQ(runZellgen(MODEL_SOURCES_DIR, b, &err), 0) << err;
    const auto fa = folderBytes(a), fb = folderBytes(b);
    EXPECT_EQ(fa.size(), size_t(25 + 25 + 11 + 1 + 1)); // meshes, textures, objects, scene, names
    EXPECT_TRUE(fa == fb);
    fs::remove_all(a);
    fs::remove_all(b);
}

TEST(ModelGenerator, RefusesSourcesThatBreakTheModel)
{
    // Each case edits one source file; the generator must fail with a reason and write no model.
    struct Case
    {
        const char *file, *from, *to, *reason;
    } cases[] = {
        {"scene.yaml", "  - {object: 8, pos: [0, 0, 0]}\n", "", "placements, 140 are needed"},
        {"objects.yaml", "{mesh: microtubule}", "{mesh: no_such_mesh}", "unknown mesh key"},
        {"meshes.yaml", "size: [256, 256]", "size: [256, 200]", "powers of two"},
    };
    for (const auto &c : cases) {
        const fs::path src = scratch("src"), out = scratch("out");
        for (const auto &e : fs::directory_iterator(MODEL_SOURCES_DIR))
            fs::copy_file(e.path(), src / e.path().filename());
        std::ifstream in(src / c.file);
        std::string text((std::istreambuf_iterator<char>(in)), {});
        in.close();
        const size_t at = text.find(c.from);
        ASSERT_NE(at, std::string::npos) << c.from;
        text.replace(at, std::strlen(c.from), c.to);
        std::ofstream(src / c.file) << text;

        std::string err;
        EXPECT_NE(runZellgen(src, out, &err), 0) << c.file;
        EXPECT_NE(err.find(c.reason), std::string::npos) << c.file << ": " << err;
        EXPECT_FALSE(fs::exists(out / "zelle" / "zelle.obj")) << c.file;
        fs::remove_all(src);
        fs::remove_all(out);
    }
}

} // namespace
