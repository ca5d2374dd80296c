#include "modelfiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <unistd.h>

using namespace zelle;

namespace {

using Bytes = std::vector<uint8_t>;

void put32(Bytes &b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}
void putF(Bytes &b, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    put32(b, v);
}
void putMatrix(Bytes &b, const Matrix &m)
{
    for (float f : m)
        putF(b, f);
}
void set32(Bytes &b, size_t offset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[offset + size_t(i)] = uint8_t(v >> (8 * i));
}

Matrix counting(float start)
{
    Matrix m;
    for (int i = 0; i < 16; ++i)
        m[size_t(i)] = start + float(i);
    return m;
}

// One triangle: 3 vertices, 2 texture coordinates, 1 normal.
Mesh triangle()
{
    Mesh m;
    m.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    m.texcoords = {{0, 0}, {1, 1}};
    m.normals = {{0, 0, 1}};
    m.faces = {Face{{1, 2, 3}, {1, 2, 2}, {1, 1, 1}}};
    return m;
}

Bytes triangleBytes()
{
    Bytes b;
    put32(b, 3);
    put32(b, 2);
    put32(b, 1);
    put32(b, 1);
    for (float f : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, 1.f, 0.f})
        putF(b, f);
    for (float f : {0.f, 0.f, 1.f, 1.f})
        putF(b, f);
    for (float f : {0.f, 0.f, 1.f})
        putF(b, f);
    for (uint32_t i : {1u, 2u, 3u, 1u, 2u, 2u, 1u, 1u, 1u})
        put32(b, i);
    return b;
}

} // namespace

TEST(ZelleMeshFile, WritesTheDocumentedLayoutAndReadsItBack)
{
    const Bytes expected = triangleBytes();
    ASSERT_EQ(expected.size(), 16u + 36 + 16 + 12 + 36);
    EXPECT_EQ(serializeMesh(triangle()), expected);

    Mesh back;
    std::string error;
    ASSERT_TRUE(parseMesh(expected, back, &error)) << error;
    ASSERT_EQ(back.vertices.size(), 3u);
    EXPECT_EQ(back.vertices[1].x, 1.f);
    EXPECT_EQ(back.vertices[2].y, 1.f);
    ASSERT_EQ(back.texcoords.size(), 2u);
    EXPECT_EQ(back.texcoords[1].t, 1.f);
    ASSERT_EQ(back.normals.size(), 1u);
    EXPECT_EQ(back.normals[0].z, 1.f);
    ASSERT_EQ(back.faces.size(), 1u);
    EXPECT_EQ(back.faces[0].vertex, (std::array<int32_t, 3>{1, 2, 3}));
    EXPECT_EQ(back.faces[0].texcoord, (std::array<int32_t, 3>{1, 2, 2}));
    EXPECT_EQ(back.faces[0].normal, (std::array<int32_t, 3>{1, 1, 1}));
}

TEST(ZelleMeshFile, EmptyMeshAndTrailingBytesAreValid)
{
    Bytes empty(16, 0);
    Mesh m;
    EXPECT_TRUE(parseMesh(empty, m, nullptr));
    EXPECT_TRUE(m.faces.empty());
    EXPECT_EQ(serializeMesh(Mesh{}), empty);

    Bytes longer = triangleBytes();
    longer.push_back(0xAB);
    EXPECT_TRUE(parseMesh(longer, m, nullptr));
    EXPECT_EQ(m.faces.size(), 1u);
}

TEST(ZelleMeshFile, DamagedFilesAreRefused)
{
    const size_t faces = 16 + 36 + 16 + 12;
    struct Case
    {
        const char *name;
        size_t offset; // 0xFFFF: truncate to `value` bytes instead
        uint32_t value;
    };
    const Case cases[] = {
        {"short header", 0xFFFF, 10},
        {"short faces", 0xFFFF, uint32_t(faces + 35)},
        {"negative vertex count", 0, 0xFFFFFFFFu},
        {"negative face count", 12, 0x80000000u},
        {"count larger than file", 12, 2},
        {"huge count", 0, 0x7FFFFFFFu},
        {"vertex index 0", faces, 0},
        {"vertex index past end", faces + 8, 4},
        {"negative vertex index", faces + 4, 0xFFFFFFFFu},
        {"texture index past end", faces + 16, 3},
        {"normal index past end", faces + 32, 2},
    };
    for (const Case &c : cases) {
        Bytes b = triangleBytes();
        if (c.offset == 0xFFFF)
            b.resize(c.value);
        else
            set32(b, c.offset, c.value);
        Mesh m = triangle();
        std::string error;
        EXPECT_FALSE(parseMesh(b, m, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_TRUE(m.faces.empty() && m.vertices.empty()) << c.name;
    }
}

TEST(ZelleObjectFile, WritesTheDocumentedLayoutAndReadsItBack)
{
    Object o;
    o.id = 10;
    o.view_matrix = counting(100);
    o.overview_parts = {Part{3, counting(1), 0}, Part{24, counting(2), int32_t(0xDEADBEEF)}};
    o.detail_parts = {Part{0, counting(3), 7}};

    Bytes expected;
    put32(expected, 10);
    putMatrix(expected, counting(100));
    put32(expected, 2);
    put32(expected, 1);
    put32(expected, 3);
    putMatrix(expected, counting(1));
    put32(expected, 0);
    put32(expected, 24);
    putMatrix(expected, counting(2));
    put32(expected, 0xDEADBEEF);
    put32(expected, 0);
    putMatrix(expected, counting(3));
    put32(expected, 7);
    ASSERT_EQ(expected.size(), 76u + 3 * 72);
    EXPECT_EQ(serializeObject(o), expected);

    Object back;
    std::string error;
    ASSERT_TRUE(parseObject(expected, back, &error)) << error;
    EXPECT_EQ(back.id, 10);
    EXPECT_EQ(back.view_matrix, counting(100));
    ASSERT_EQ(back.overview_parts.size(), 2u);
    ASSERT_EQ(back.detail_parts.size(), 1u);
    EXPECT_EQ(back.overview_parts[1].mesh_index, 24);
    EXPECT_EQ(back.overview_parts[1].matrix, counting(2));
    EXPECT_EQ(back.detail_parts[0].matrix, counting(3));
}

TEST(ZelleObjectFile, DamagedFilesAreRefused)
{
    Object o;
    o.overview_parts = {Part{1, identityMatrix(), 0}};
    o.detail_parts = {Part{2, identityMatrix(), 0}};
    const Bytes good = serializeObject(o);
    struct Case
    {
        const char *name;
        size_t offset;
        uint32_t value;
        size_t size;
    };
    const Case cases[] = {
        {"short header", 0, 0, 70},
        {"missing last part", 0, 0, good.size() - 1},
        {"negative overview count", 68, 0xFFFFFFFFu, good.size()},
        {"negative detail count", 72, 0x80000000u, good.size()},
        {"detail count larger than file", 72, 2, good.size()},
        {"huge overview count", 68, 0x7FFFFFFFu, good.size()},
        {"huge detail count", 72, 0x7FFFFFFFu, good.size()},
        {"detail count one part over", 72, 3, good.size() + 72},
        {"mesh index 25", 76, 25, good.size()},
        {"negative mesh index", 76 + 72, 0xFFFFFFFFu, good.size()},
    };
    for (const Case &c : cases) {
        Bytes b = good;
        if (c.offset)
            set32(b, c.offset, c.value);
        b.resize(c.size);
        Object out;
        out.detail_parts.resize(3);
        std::string error;
        EXPECT_FALSE(parseObject(b, out, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_TRUE(out.overview_parts.empty() && out.detail_parts.empty()) << c.name;
    }
}

TEST(ZelleSceneTable, WritesExactly140EntriesOf76Bytes)
{
    std::vector<Placement> table(kPlacementCount);
    for (int i = 0; i < kPlacementCount; ++i)
        table[size_t(i)] = Placement{1000 + i, i % kObjectCount, counting(float(i)), -float(i)};
    const Bytes bytes = serializeSceneTable(table);
    ASSERT_EQ(bytes.size(), size_t(kSceneTableSize));

    Bytes entry;
    put32(entry, 1000 + 37);
    put32(entry, 37 % 11);
    putMatrix(entry, counting(37));
    putF(entry, -37.f);
    EXPECT_EQ(Bytes(bytes.begin() + 37 * 76, bytes.begin() + 38 * 76), entry);

    std::vector<Placement> back;
    std::string error;
    ASSERT_TRUE(parseSceneTable(bytes, back, &error)) << error;
    ASSERT_EQ(back.size(), size_t(kPlacementCount));
    EXPECT_EQ(back[139].id, 1139);
    EXPECT_EQ(back[139].object_index, 139 % 11);
    EXPECT_EQ(back[139].matrix, counting(139));
    EXPECT_EQ(back[139].depth_key, -139.f);

    // Fewer entries are padded with defaults, more are cut off.
    std::vector<Placement> few = {Placement{5, 2, counting(0), 0}};
    const Bytes padded = serializeSceneTable(few);
    ASSERT_EQ(padded.size(), size_t(kSceneTableSize));
    ASSERT_TRUE(parseSceneTable(padded, back, nullptr));
    EXPECT_EQ(back[0].id, 5);
    EXPECT_EQ(back[1].id, 0);
    EXPECT_EQ(back[1].matrix, identityMatrix());
    table.resize(200);
    EXPECT_EQ(serializeSceneTable(table).size(), size_t(kSceneTableSize));
}

TEST(ZelleSceneTable, DamagedTablesAreRefusedAndExtraBytesIgnored)
{
    Bytes bytes = serializeSceneTable({});
    std::vector<Placement> out;
    std::string error;

    EXPECT_FALSE(parseSceneTable(Bytes(bytes.begin(), bytes.end() - 1), out, &error));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(error.empty());

    for (uint32_t bad : {11u, 0xFFFFFFFFu}) {
        Bytes b = bytes;
        set32(b, 139 * 76 + 4, bad);
        EXPECT_FALSE(parseSceneTable(b, out, nullptr)) << bad;
        EXPECT_TRUE(out.empty());
    }

    bytes.push_back(1);
    EXPECT_TRUE(parseSceneTable(bytes, out, nullptr));
    EXPECT_EQ(out.size(), size_t(kPlacementCount));
}

TEST(ZelleBmp24, WritesBottomUpBgrRowsPaddedToFourBytes)
{
    // 5 x 2: each file row is 15 bytes of colour plus 1 byte of padding.
    Image img;
    img.width = 5;
    img.height = 2;
    for (int i = 0; i < 10; ++i) {
        img.rgb.push_back(uint8_t(i * 10 + 1)); // red
        img.rgb.push_back(uint8_t(i * 10 + 2)); // green
        img.rgb.push_back(uint8_t(i * 10 + 3)); // blue
    }
    Bytes expected = {'B', 'M'};
    put32(expected, 54 + 32);
    put32(expected, 0);
    put32(expected, 54);
    put32(expected, 40);
    put32(expected, 5);
    put32(expected, 2);
    expected.insert(expected.end(), {1, 0, 24, 0});
    put32(expected, 0);
    put32(expected, 32);
    put32(expected, 2835);
    put32(expected, 2835);
    put32(expected, 0);
    put32(expected, 0);
    for (int row = 0; row < 2; ++row) {
        for (int x = 0; x < 5; ++x) {
            const int i = row * 5 + x;
            expected.insert(expected.end(), {uint8_t(i * 10 + 3), uint8_t(i * 10 + 2), uint8_t(i * 10 + 1)});
        }
        expected.push_back(0);
    }
    EXPECT_EQ(serializeBmp24(img), expected);
}

TEST(ZelleFileBytes, RoundTripAndMissingFile)
{
    const auto dir = std::filesystem::temp_directory_path() / ("zelle-files-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "blob.bin").string();
    const Bytes data = {0, 1, 2, 255, 0, 13, 10, 26};
    ASSERT_TRUE(writeFileBytes(path, data));
    Bytes back = {9};
    ASSERT_TRUE(readFileBytes(path, back));
    EXPECT_EQ(back, data);

    ASSERT_TRUE(writeFileBytes(path, {}));
    ASSERT_TRUE(readFileBytes(path, back));
    EXPECT_TRUE(back.empty());

    EXPECT_FALSE(readFileBytes((dir / "missing.bin").string(), back));
    EXPECT_FALSE(writeFileBytes((dir / "no" / "such" / "dir.bin").string(), data));
    std::filesystem::remove_all(dir);
}

TEST(ZelleFileBytes, FoldersAndFailingReadsAreRefusedWithoutThrowing)
{
    const auto dir = std::filesystem::temp_directory_path() / ("zelle-folder-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "tex0.tex");
    // /proc/self/mem opens but every read at offset 0 fails.
    for (const std::string &path : {(dir / "tex0.tex").string(), std::string("/proc/self/mem")}) {
        Bytes back = {9};
        bool read = true;
        EXPECT_NO_THROW(read = readFileBytes(path, back)) << path;
        EXPECT_FALSE(read) << path;
        EXPECT_TRUE(back.empty()) << path;
    }
    std::filesystem::remove_all(dir);
}
