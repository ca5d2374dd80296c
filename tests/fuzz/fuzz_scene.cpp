// The scene table: exactly 140 entries with object indexes 0..10, or refused.
#include "fuzz_util.h"
#include "modelfiles.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::vector<zelle::Placement> table;
    std::string error;
    if (!zelle::parseSceneTable(fuzz::bytes(data, size), table, &error)) {
        FUZZ_CHECK(!error.empty() && table.empty());
        return 0;
    }
    FUZZ_CHECK(table.size() == size_t(zelle::kPlacementCount));
    for (const zelle::Placement &p : table)
        FUZZ_CHECK(p.object_index >= 0 && p.object_index < zelle::kObjectCount);
    const std::vector<uint8_t> written = zelle::serializeSceneTable(table);
    FUZZ_CHECK(written.size() == size_t(zelle::kSceneTableSize) &&
               std::memcmp(written.data(), data, written.size()) == 0);
    return 0;
}
