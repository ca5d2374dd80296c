// The glossary file: whole records only, every field inside its capacity; written back the
// entries read the same.
#include "fuzz_util.h"
#include "glossaryfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<vellora::TGlossarEntry> entries = vellora::parseGlossary(bytes);
    FUZZ_CHECK(entries.size() == bytes.size() / vellora::kGlossarRecordSize);
    for (const vellora::TGlossarEntry &e : entries) {
        FUZZ_CHECK(e.Title.size() <= vellora::kGlossarTitleMax);
        FUZZ_CHECK(e.Text().size() <= vellora::kGlossarTextMax);
        FUZZ_CHECK(e.Picture.size() <= vellora::kGlossarPictureMax);
        FUZZ_CHECK(e.SeeAlso().size() <= vellora::kGlossarLinkCount);
    }
    FUZZ_CHECK(vellora::parseGlossary(vellora::serializeGlossary(entries)) == entries);
    return 0;
}
