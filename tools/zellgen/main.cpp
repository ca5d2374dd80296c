// zellgen: builds the cell model folder from the readable sources in content/model.
//   zellgen --sources DIR --out DIST [--stamp FILE] [--report]
// Writes DIST/zelle/ (meshes, textures, object files, scene table) and DIST/inhalt/meshes.dat.

#include "model.h"

#include "base/cp1252.h"
#include "cellfiles.h"

#include <QString>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

void write(const std::filesystem::path &path, const std::vector<uint8_t> &bytes)
{
    if (!zelle::writeFileBytes(path.string(), bytes))
        throw std::runtime_error("cannot write " + path.string());
}

int usage()
{
    std::cerr << "usage: zellgen --sources DIR --out DIST [--stamp FILE] [--report]\n";
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    std::string sources, out, stamp;
    bool report = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--sources" && i + 1 < argc)
            sources = argv[++i];
        else if (a == "--out" && i + 1 < argc)
            out = argv[++i];
        else if (a == "--stamp" && i + 1 < argc)
            stamp = argv[++i];
        else if (a == "--report")
            report = true;
        else
            return usage();
    }
    if (sources.empty() || out.empty())
        return usage();
    try {
        const zellgen::Model model = zellgen::buildModel(sources);
        const std::filesystem::path zelleDir = std::filesystem::path(out) / "zelle";
        const std::filesystem::path inhaltDir = std::filesystem::path(out) / "inhalt";
        std::filesystem::create_directories(zelleDir);
        std::filesystem::create_directories(inhaltDir);

        std::vector<size_t> triangles;
        QList<QByteArray> names;
        for (const auto &m : model.meshes) {
            const zelle::Mesh mesh = m.geometry.toMesh();
            triangles.push_back(mesh.faces.size());
            write(zelleDir / ("mesh" + std::to_string(m.index) + ".mesh"), zelle::serializeMesh(mesh));
            write(zelleDir / ("tex" + std::to_string(m.index) + ".tex"), zelle::serializeBmp24(m.texture));
            bool ok = false;
            names.push_back(vellora::toCp1252(QString::fromStdString(m.name), &ok));
            if (!ok)
                throw std::runtime_error("mesh name without a cp1252 form: " + m.name);
        }
        for (const auto &o : model.objects)
            write(zelleDir / ("object" + std::to_string(o.index) + ".obj"), zelle::serializeObject(o.object));
        write(zelleDir / "zelle.obj", zelle::serializeSceneTable(model.placements));
        const QByteArray list = vellora::serializeMeshNames(names);
        write(inhaltDir / "meshes.dat", std::vector<uint8_t>(list.begin(), list.end()));

        if (report) {
            size_t whole = 0;
            for (const auto &p : model.placements) {
                const auto &parts = model.objects[p.object_index].object.overview_parts;
                for (size_t k = 0; k < parts.size(); ++k)
                    if (k != 20)
                        whole += triangles[parts[k].mesh_index];
            }
            std::printf("whole cell: %zu triangles in %d placements\n", whole, zelle::kPlacementCount);
            std::printf("vacuole: %.0f %% of the space inside the plasma membrane\n",
                        100 * zellgen::vacuoleShare(model));
            for (const auto &o : model.objects) {
                size_t detail = 0, overview = 0;
                for (const auto &part : o.object.detail_parts)
                    detail += triangles[part.mesh_index];
                for (const auto &part : o.object.overview_parts)
                    overview += triangles[part.mesh_index];
                int n = 0;
                for (const auto &p : model.placements)
                    n += p.object_index == o.index;
                std::printf("object %2d %-14s %3d placements, overview %5zu tris (%zu parts), detail %6zu "
                            "tris (%zu parts)\n",
                            o.index, o.name.c_str(), n, overview, o.object.overview_parts.size(), detail,
                            o.object.detail_parts.size());
            }
            for (const auto &m : model.meshes)
                std::printf("mesh %2d %-22s %6zu tris, texture %dx%d\n", m.index, m.name.c_str(),
                            triangles[m.index], m.texture.width, m.texture.height);
        }
        if (!stamp.empty())
            std::ofstream(stamp) << "zellgen\n";
    } catch (const std::exception &e) {
        std::cerr << "zellgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
