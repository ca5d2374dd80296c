// The compiler's glossary sources: any bytes give diagnostics, never a crash; an entry that
// builds fits its record.
#include "fuzz_util.h"
#include "inhalt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vellora::inhalt;
    const QString path = QString::fromStdString(fuzz::scratchFile(data, size, "eintrag.yaml"));
    Diagnostics diag;
    const GlossarySource source = readGlossarySource(path, diag);
    if (!diag.ok())
        return 0;
    const Glossary glossary = buildGlossary({source}, diag);
    if (!diag.ok())
        return 0;
    FUZZ_CHECK(glossary.entries.size() == 1);
    const QByteArray file = vellora::serializeGlossary(glossary.entries);
    FUZZ_CHECK(vellora::parseGlossary(file) == glossary.entries);
    return 0;
}
