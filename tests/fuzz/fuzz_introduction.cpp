// The exercise introduction is read whole from its file, byte for byte.
#include "fuzz_util.h"
#include "testfiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string path = fuzz::scratchFile(data, size, "uebung.dat");
    const QByteArray text = vellora::LoadIntroduction(QString::fromStdString(path));
    FUZZ_CHECK(text == QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
