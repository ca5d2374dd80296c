#include "fuzz_testfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::testFile(data, size, vellora::parseClozeTest, vellora::serializeClozeTest);
    // The gap scan runs on any text the screen may be handed.
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const vellora::ClozeGap &g : vellora::clozeGaps(text))
        FUZZ_CHECK(g.offset >= 0 && g.offset + g.length <= text.size() && text[g.offset] == '#');
    return 0;
}
