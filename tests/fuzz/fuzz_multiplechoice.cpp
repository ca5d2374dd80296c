#include "fuzz_testfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::testFile(data, size, vellora::parseMultipleChoiceTest, vellora::serializeMultipleChoiceTest);
    return 0;
}
