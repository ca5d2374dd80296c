#pragma once

// The model's binary files: meshes, texture bitmaps, object files and the scene table.
// One reader and one writer each; the library reads, the model generator and tests write.
// All values little-endian; matrices are 16 floats, OpenGL column-major (index 4c + r).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zelle {

constexpr int kMeshCount = 25;
constexpr int kObjectCount = 11;
constexpr int kPlacementCount = 140;
constexpr int kPartRecordSize = 72;
constexpr int kPlacementSize = 76;
constexpr int kSceneTableSize = kPlacementCount * kPlacementSize; // 10640

using Matrix = std::array<float, 16>;
Matrix identityMatrix();

struct Vec3
{
    float x = 0, y = 0, z = 0;
};
struct Vec2
{
    float s = 0, t = 0;
};

// Indexes are 1-based, as stored: vertex, texture coordinate, normal per corner.
struct Face
{
    std::array<int32_t, 3> vertex{};
    std::array<int32_t, 3> texcoord{};
    std::array<int32_t, 3> normal{};
};

struct Mesh
{
    std::vector<Vec3> vertices;
    std::vector<Vec2> texcoords;
    std::vector<Vec3> normals;
    std::vector<Face> faces;
};

struct Part
{
    int32_t mesh_index = 0;
    Matrix matrix = identityMatrix();
    int32_t reserved = 0;
};

struct Object
{
    int32_t id = 0;
    Matrix view_matrix = identityMatrix();
    std::vector<Part> overview_parts;
    std::vector<Part> detail_parts;
};

struct Placement
{
    int32_t id = 0;
    int32_t object_index = 0;
    Matrix matrix = identityMatrix();
    float depth_key = 0;
};

// Plain 8-bit RGB, rows tightly packed, bottom row first (OpenGL's texture origin).
struct Image
{
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
};

// Readers never read or index outside the data: a damaged file yields false and a short
// reason in *error (the caller reports it and skips the file). Index ranges inside a mesh
// (faces against its arrays) and mesh/object indexes against the fixed counts are checked.
bool parseMesh(const std::vector<uint8_t> &bytes, Mesh &out, std::string *error);
bool parseObject(const std::vector<uint8_t> &bytes, Object &out, std::string *error);
bool parseSceneTable(const std::vector<uint8_t> &bytes, std::vector<Placement> &out, std::string *error);

std::vector<uint8_t> serializeMesh(const Mesh &mesh);
std::vector<uint8_t> serializeObject(const Object &object);
std::vector<uint8_t> serializeSceneTable(const std::vector<Placement> &placements); // exactly 140

// A 24-bit bottom-up BMP with its 14-byte file header (what the generator writes as .tex).
std::vector<uint8_t> serializeBmp24(const Image &image);

bool readFileBytes(const std::string &path, std::vector<uint8_t> &out);
bool writeFileBytes(const std::string &path, const std::vector<uint8_t> &bytes);

} // namespace zelle
