// The compiler's test sources: any bytes give diagnostics, never a crash; a test that compiles
// without an error is a whole file the program's reader accepts.
#include "fuzz_util.h"
#include "inhalt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vellora;
    using namespace vellora::inhalt;
    const QString path = QString::fromStdString(fuzz::scratchFile(data, size, "test.yaml"));
    Diagnostics diag;
    const CompiledTest test = compileTest(path, TestKind::Unknown, diag);
    if (!diag.ok())
        return 0;
    FUZZ_CHECK(!test.bytes.isEmpty());
    FUZZ_CHECK(test.id.size() == kTestIdSize && test.bytes.startsWith(test.id));
    try {
        switch (test.kind) {
        case TestKind::SelfCheck:
            (void)parseSelfCheckTest(test.bytes, path);
            break;
        case TestKind::MultipleChoice:
            (void)parseMultipleChoiceTest(test.bytes, path);
            break;
        case TestKind::Cloze:
            (void)parseClozeTest(test.bytes, path);
            break;
        case TestKind::Unknown:
            FUZZ_CHECK(!"compiled a test of no kind");
            break;
        }
    } catch (const TestFileError &e) {
        std::fprintf(stderr, "%s\n", e.what());
        FUZZ_CHECK(!"the program refuses what the compiler wrote");
    }
    return 0;
}
