// Manual pages are read whole from their file, byte for byte.
#include "fuzz_util.h"
#include "glossaryfile.h"

#include "base/cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string path = fuzz::scratchFile(data, size, "zelle_m.dat");
    const QByteArray page = vellora::loadManualPage(QString::fromStdString(path));
    FUZZ_CHECK(page == QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    FUZZ_CHECK(vellora::fromCp1252(page).size() == page.size());
    return 0;
}
