#pragma once

// Reading the generated model folder and projecting model points the way the library does.

#include "modelfiles.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace modeltest {

inline std::string distDir()
{
    return VELLORA_DIST_DIR;
}
inline std::string zelleFile(const std::string &name)
{
    return distDir() + "/zelle/" + name;
}

struct LoadedModel
{
    std::vector<zelle::Mesh> meshes;
    std::vector<zelle::Object> objects;
    std::vector<zelle::Placement> placements;
};

// Every file must exist and parse; failures are reported as test failures by the caller.
inline bool loadModel(LoadedModel &m, std::string *why)
{
    for (int i = 0; i < zelle::kMeshCount; ++i) {
        std::vector<uint8_t> bytes;
        zelle::Mesh mesh;
        std::string err;
        const std::string name = "mesh" + std::to_string(i) + ".mesh";
        if (!zelle::readFileBytes(zelleFile(name), bytes) || !zelle::parseMesh(bytes, mesh, &err)) {
            *why = name + ": " + err;
            return false;
        }
        m.meshes.push_back(std::move(mesh));
    }
    for (int j = 0; j < zelle::kObjectCount; ++j) {
        std::vector<uint8_t> bytes;
        zelle::Object object;
        std::string err;
        const std::string name = "object" + std::to_string(j) + ".obj";
        if (!zelle::readFileBytes(zelleFile(name), bytes) || !zelle::parseObject(bytes, object, &err)) {
            *why = name + ": " + err;
            return false;
        }
        m.objects.push_back(std::move(object));
    }
    std::vector<uint8_t> bytes;
    std::string err;
    if (!zelle::readFileBytes(zelleFile("zelle.obj"), bytes) ||
        !zelle::parseSceneTable(bytes, m.placements, &err)) {
        *why = "zelle.obj: " + err;
        return false;
    }
    return true;
}

using Mat = std::array<float, 16>;

inline Mat multiply(const Mat &a, const Mat &b)
{
    Mat r{};
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row) {
            float s = 0;
            for (int k = 0; k < 4; ++k)
                s += a[4 * k + row] * b[4 * c + k];
            r[4 * c + row] = s;
        }
    return r;
}

struct P3
{
    double x, y, z;
};

inline P3 transform(const Mat &m, const zelle::Vec3 &v)
{
    return {m[0] * v.x + m[4] * v.y + m[8] * v.z + m[12], m[1] * v.x + m[5] * v.y + m[9] * v.z + m[13],
            m[2] * v.x + m[6] * v.y + m[10] * v.z + m[14]};
}

// Window point (origin top left) of an eye-space point under the library's projection:
// 45 degrees vertical field of view, near 0.1, viewport filling the 1024 x 768 surface.
inline bool project(const P3 &eye, double &wx, double &wy)
{
    if (eye.z > -0.1 || eye.z < -100)
        return false;
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0), aspect = 1024.0 / 768.0;
    const double nx = f / aspect * eye.x / -eye.z, ny = f * eye.y / -eye.z;
    wx = (nx + 1) / 2 * 1024;
    wy = 768 - (ny + 1) / 2 * 768;
    return wx >= 0 && wx < 1024 && wy >= 0 && wy < 768;
}

// The library's initial camera, nine units in front of the eye.
inline Mat initialCamera()
{
    return {0.3594f, -0.57f,  0.739f,   0, -0.0735f, -0.8068f, -0.58615f, 0,
            0.9302f, 0.1563f, -0.3319f, 0, -0.21f,   1.18f,    -9.0f,     1};
}

// Window points to try for a part: the centroids of its triangles that face the eye, nearest
// first.
struct Candidate
{
    double depth, x, y;
};

inline void candidates(const zelle::Mesh &mesh, const Mat &modelview, std::vector<Candidate> &out)
{
    for (const auto &f : mesh.faces) {
        P3 p[3];
        for (int k = 0; k < 3; ++k)
            p[k] = transform(modelview, mesh.vertices[f.vertex[k] - 1]);
        const P3 c{(p[0].x + p[1].x + p[2].x) / 3, (p[0].y + p[1].y + p[2].y) / 3,
                   (p[0].z + p[1].z + p[2].z) / 3};
        double wx, wy;
        if (project(c, wx, wy))
            out.push_back({-c.z, wx, wy});
    }
}

} // namespace modeltest
