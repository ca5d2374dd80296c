// Mesh files: a damaged file is refused; an accepted one writes back to bytes that read the same.
#include "fuzz_util.h"
#include "modelfiles.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zelle::Mesh mesh;
    std::string error;
    if (!zelle::parseMesh(fuzz::bytes(data, size), mesh, &error)) {
        FUZZ_CHECK(!error.empty());
        FUZZ_CHECK(mesh.faces.empty() && mesh.vertices.empty());
        return 0;
    }
    const std::vector<uint8_t> written = zelle::serializeMesh(mesh);
    FUZZ_CHECK(written.size() <= size && std::memcmp(written.data(), data, written.size()) == 0);
    zelle::Mesh again;
    FUZZ_CHECK(zelle::parseMesh(written, again, nullptr));
    FUZZ_CHECK(again.faces.size() == mesh.faces.size());
    return 0;
}
