// Profile files: a negative or oversize name length is refused; an accepted file holds
// (size - 36 - N) / 28 results and writes back to its own leading bytes.
#include "fuzz_util.h"
#include "profilefiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vellora::profiles;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ProfileFile profile;
    if (readProfileFile(bytes, profile) != ProfileFileError::None)
        return 0;
    const qsizetype header = 4 + profile.Name.size() + kDigestLength;
    FUZZ_CHECK(header <= bytes.size());
    FUZZ_CHECK(profile.Results.size() == (bytes.size() - header) / kResultSize);
    const QByteArray written = writeProfileFile(profile);
    FUZZ_CHECK(bytes.startsWith(written));
    ProfileFile again;
    FUZZ_CHECK(readProfileFile(written, again) == ProfileFileError::None);
    FUZZ_CHECK(again.Results == profile.Results && again.Name == profile.Name);
    return 0;
}
