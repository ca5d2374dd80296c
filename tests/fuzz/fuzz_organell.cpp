// Organelle files: any bytes give six strings, none longer than the file; written back they read
// the same.
#include "cellfiles.h"
#include "fuzz_util.h"

#include "base/cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const vellora::TOrganell o = vellora::parseOrganell(bytes);
    qsizetype total = 0;
    for (const QByteArray *s : {&o.Heading, &o.Text, &o.Names, &o.MemCount, &o.Size, &o.AnimalCell})
        total += s->size();
    FUZZ_CHECK(total <= bytes.size());
    FUZZ_CHECK(vellora::parseOrganell(vellora::serializeOrganell(o)) == o);
    (void)vellora::fromCp1252(o.Text);
    return 0;
}
