// Object files: part counts that do not fit the file, and mesh indexes out of range, are refused.
#include "fuzz_util.h"
#include "modelfiles.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zelle::Object object;
    std::string error;
    if (!zelle::parseObject(fuzz::bytes(data, size), object, &error)) {
        FUZZ_CHECK(!error.empty());
        FUZZ_CHECK(object.overview_parts.empty() && object.detail_parts.empty());
        return 0;
    }
    for (const auto *parts : {&object.overview_parts, &object.detail_parts})
        for (const zelle::Part &p : *parts)
            FUZZ_CHECK(p.mesh_index >= 0 && p.mesh_index < zelle::kMeshCount);
    const std::vector<uint8_t> written = zelle::serializeObject(object);
    FUZZ_CHECK(written.size() <= size && std::memcmp(written.data(), data, written.size()) == 0);
    return 0;
}
