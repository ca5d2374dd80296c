#include "modelfiles.h"

#include <bytes/littleendian.h>

#include <bit>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace zelle {

Matrix identityMatrix()
{
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

namespace {

// Sequential little-endian reader that never steps past the end; a failed read sticks.
class Reader
{
  public:
    explicit Reader(const std::vector<uint8_t> &bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    size_t remaining() const { return bytes_.size() - pos_; }

    uint32_t u32()
    {
        if (!ok_ || remaining() < 4) {
            ok_ = false;
            return 0;
        }
        const uint32_t v = le::readU32(bytes_.data() + pos_);
        pos_ += 4;
        return v;
    }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    float f32() { return std::bit_cast<float>(u32()); }
    Matrix matrix()
    {
        Matrix m{};
        for (float &v : m)
            v = f32();
        return m;
    }

  private:
    const std::vector<uint8_t> &bytes_;
    size_t pos_ = 0;
    bool ok_ = true;
};

class Writer
{
  public:
    void u32(uint32_t v)
    {
        bytes.resize(bytes.size() + 4);
        le::writeU32(bytes.data() + bytes.size() - 4, v);
    }
    void u16(uint16_t v)
    {
        bytes.resize(bytes.size() + 2);
        le::writeU16(bytes.data() + bytes.size() - 2, v);
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void f32(float v) { u32(std::bit_cast<uint32_t>(v)); }
    void matrix(const Matrix &m)
    {
        for (float v : m)
            f32(v);
    }

    std::vector<uint8_t> bytes;
};

void setError(std::string *error, const std::string &text)
{
    if (error)
        *error = text;
}

// Checks a count against the bytes that are left, without overflowing.
bool countFits(int32_t count, size_t record_size, size_t remaining)
{
    return count >= 0 && uint64_t(count) * record_size <= remaining;
}

bool readParts(Reader &r, int32_t count, std::vector<Part> &out, std::string *error)
{
    out.clear();
    out.reserve(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        Part part;
        part.mesh_index = r.i32();
        part.matrix = r.matrix();
        part.reserved = r.i32();
        if (part.mesh_index < 0 || part.mesh_index >= kMeshCount) {
            setError(error, "mesh index " + std::to_string(part.mesh_index) + " out of range");
            return false;
        }
        out.push_back(part);
    }
    return r.ok();
}

void writePart(Writer &w, const Part &part)
{
    w.i32(part.mesh_index);
    w.matrix(part.matrix);
    w.i32(part.reserved);
}

} // namespace

bool parseMesh(const std::vector<uint8_t> &bytes, Mesh &out, std::string *error)
{
    out = Mesh{};
    Reader r(bytes);
    const int32_t vertex_count = r.i32();
    const int32_t texture_count = r.i32();
    const int32_t normal_count = r.i32();
    const int32_t face_count = r.i32();
    if (!r.ok()) {
        setError(error, "mesh header is short");
        return false;
    }
    if (vertex_count < 0 || texture_count < 0 || normal_count < 0 || face_count < 0) {
        setError(error, "negative count in mesh header");
        return false;
    }
    const uint64_t needed = uint64_t(vertex_count) * 12 + uint64_t(texture_count) * 8 +
                            uint64_t(normal_count) * 12 + uint64_t(face_count) * 36;
    if (needed > r.remaining()) {
        setError(error, "mesh file is shorter than its counts say");
        return false;
    }

    Mesh mesh;
    mesh.vertices.resize(size_t(vertex_count));
    for (Vec3 &v : mesh.vertices)
        v = {r.f32(), r.f32(), r.f32()};
    mesh.texcoords.resize(size_t(texture_count));
    for (Vec2 &t : mesh.texcoords)
        t = {r.f32(), r.f32()};
    mesh.normals.resize(size_t(normal_count));
    for (Vec3 &n : mesh.normals)
        n = {r.f32(), r.f32(), r.f32()};
    mesh.faces.resize(size_t(face_count));
    for (Face &f : mesh.faces) {
        for (int32_t &i : f.vertex)
            i = r.i32();
        for (int32_t &i : f.texcoord)
            i = r.i32();
        for (int32_t &i : f.normal)
            i = r.i32();
    }
    if (!r.ok()) {
        setError(error, "mesh file is short");
        return false;
    }

    // Indexes are 1-based; 0 and anything past the array are refused.
    auto inRange = [](int32_t index, size_t size) { return index >= 1 && uint64_t(index) <= size; };
    for (size_t i = 0; i < mesh.faces.size(); ++i) {
        const Face &f = mesh.faces[i];
        for (int k = 0; k < 3; ++k) {
            if (!inRange(f.vertex[k], mesh.vertices.size()) ||
                !inRange(f.texcoord[k], mesh.texcoords.size()) ||
                !inRange(f.normal[k], mesh.normals.size())) {
                setError(error, "face " + std::to_string(i) + " has an index out of range");
                return false;
            }
        }
    }
    out = std::move(mesh);
    return true;
}

bool parseObject(const std::vector<uint8_t> &bytes, Object &out, std::string *error)
{
    out = Object{};
    Reader r(bytes);
    Object object;
    object.id = r.i32();
    object.view_matrix = r.matrix();
    const int32_t overview_count = r.i32();
    const int32_t detail_count = r.i32();
    if (!r.ok()) {
        setError(error, "object header is short");
        return false;
    }
    if (overview_count < 0 || detail_count < 0) {
        setError(error, "negative part count in object file");
        return false;
    }
    if (!countFits(overview_count, kPartRecordSize, r.remaining()) ||
        !countFits(detail_count, kPartRecordSize, r.remaining() - size_t(overview_count) * kPartRecordSize)) {
        setError(error, "object file is shorter than its part counts say");
        return false;
    }
    if (!readParts(r, overview_count, object.overview_parts, error) ||
        !readParts(r, detail_count, object.detail_parts, error)) {
        if (error && error->empty())
            *error = "object file is short";
        return false;
    }
    out = std::move(object);
    return true;
}

bool parseSceneTable(const std::vector<uint8_t> &bytes, std::vector<Placement> &out, std::string *error)
{
    out.clear();
    if (bytes.size() < size_t(kSceneTableSize)) {
        setError(error, "scene table has " + std::to_string(bytes.size()) + " bytes, not " +
                            std::to_string(kSceneTableSize));
        return false;
    }
    Reader r(bytes);
    std::vector<Placement> table(kPlacementCount);
    for (int i = 0; i < kPlacementCount; ++i) {
        Placement &p = table[size_t(i)];
        p.id = r.i32();
        p.object_index = r.i32();
        p.matrix = r.matrix();
        p.depth_key = r.f32();
        if (p.object_index < 0 || p.object_index >= kObjectCount) {
            setError(error, "entry " + std::to_string(i) + " has object index " +
                                std::to_string(p.object_index) + " out of range");
            return false;
        }
    }
    out = std::move(table);
    return true;
}

std::vector<uint8_t> serializeMesh(const Mesh &mesh)
{
    Writer w;
    w.i32(int32_t(mesh.vertices.size()));
    w.i32(int32_t(mesh.texcoords.size()));
    w.i32(int32_t(mesh.normals.size()));
    w.i32(int32_t(mesh.faces.size()));
    for (const Vec3 &v : mesh.vertices) {
        w.f32(v.x);
        w.f32(v.y);
        w.f32(v.z);
    }
    for (const Vec2 &t : mesh.texcoords) {
        w.f32(t.s);
        w.f32(t.t);
    }
    for (const Vec3 &n : mesh.normals) {
        w.f32(n.x);
        w.f32(n.y);
        w.f32(n.z);
    }
    for (const Face &f : mesh.faces) {
        for (int32_t i : f.vertex)
            w.i32(i);
        for (int32_t i : f.texcoord)
            w.i32(i);
        for (int32_t i : f.normal)
            w.i32(i);
    }
    return std::move(w.bytes);
}

std::vector<uint8_t> serializeObject(const Object &object)
{
    Writer w;
    w.i32(object.id);
    w.matrix(object.view_matrix);
    w.i32(int32_t(object.overview_parts.size()));
    w.i32(int32_t(object.detail_parts.size()));
    for (const Part &p : object.overview_parts)
        writePart(w, p);
    for (const Part &p : object.detail_parts)
        writePart(w, p);
    return std::move(w.bytes);
}

std::vector<uint8_t> serializeSceneTable(const std::vector<Placement> &placements)
{
    // The table has no header and a fixed size: missing entries are written as defaults,
    // surplus ones are dropped, so the reader always finds exactly 140.
    Writer w;
    for (int i = 0; i < kPlacementCount; ++i) {
        const Placement p = size_t(i) < placements.size() ? placements[size_t(i)] : Placement{};
        w.i32(p.id);
        w.i32(p.object_index);
        w.matrix(p.matrix);
        w.f32(p.depth_key);
    }
    return std::move(w.bytes);
}

std::vector<uint8_t> serializeBmp24(const Image &image)
{
    const int32_t width = image.width > 0 ? image.width : 0;
    const int32_t height = image.height > 0 ? image.height : 0;
    const uint32_t row_bytes = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t image_size = row_bytes * uint32_t(height);
    const uint32_t bits_offset = 14 + 40;

    Writer w;
    w.bytes.reserve(bits_offset + image_size);
    w.bytes.push_back('B');
    w.bytes.push_back('M');
    w.u32(bits_offset + image_size); // file size
    w.u32(0);                        // reserved
    w.u32(bits_offset);
    w.u32(40);
    w.i32(width);
    w.i32(height);
    w.u16(1);  // planes
    w.u16(24); // bit count
    w.u32(0);  // no compression
    w.u32(image_size);
    w.i32(2835); // 72 dpi
    w.i32(2835);
    w.u32(0); // colours used
    w.u32(0); // colours important
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
            const bool have = i + 2 < image.rgb.size();
            w.bytes.push_back(have ? image.rgb[i + 2] : 0);
            w.bytes.push_back(have ? image.rgb[i + 1] : 0);
            w.bytes.push_back(have ? image.rgb[i] : 0);
        }
        for (uint32_t pad = uint32_t(width) * 3; pad < row_bytes; ++pad)
            w.bytes.push_back(0);
    }
    return std::move(w.bytes);
}

bool readFileBytes(const std::string &path, std::vector<uint8_t> &out)
{
    out.clear();
    // A folder opens as a stream, and a failing read throws out of the stream buffer: neither
    // may escape into the library's start.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    try {
        out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception &) {
        out.clear();
        return false;
    }
    return !in.bad();
}

bool writeFileBytes(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    file.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    file.close();
    return !file.fail();
}

} // namespace zelle
