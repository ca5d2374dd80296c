// The compiler's organelle sources: any bytes give diagnostics, never a crash; what compiles
// reads back as an organelle file.
#include "fuzz_util.h"
#include "inhalt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vellora::inhalt;
    const QString path = QString::fromStdString(fuzz::scratchFile(data, size, "00-zellkern.yaml"));
    Diagnostics diag;
    const OrganellSource source = readOrganellSource(path, diag);
    if (!diag.ok())
        return 0;
    Glossary glossary;
    const vellora::TOrganell o = compileOrganell(source, glossary, diag);
    if (diag.ok())
        FUZZ_CHECK(vellora::parseOrganell(vellora::serializeOrganell(o)) == o);
    return 0;
}
