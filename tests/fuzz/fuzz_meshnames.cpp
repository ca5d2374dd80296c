// The mesh name list: lines end at CR LF, CR or LF; the names written back read the same.
#include "cellfiles.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<QByteArray> names = vellora::parseMeshNames(bytes);
    for (const QByteArray &name : names)
        FUZZ_CHECK(!name.contains('\r') && !name.contains('\n'));
    FUZZ_CHECK(vellora::parseMeshNames(vellora::serializeMeshNames(names)) == names);
    return 0;
}
