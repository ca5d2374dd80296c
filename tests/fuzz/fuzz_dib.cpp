// The bitmap decoder of the texture files: any bytes give an image of width x height RGB
// pixels or one of the three reports.
#include "dibloader.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zelle::Image image;
    std::string report;
    if (!zelle::decodeDib(fuzz::bytes(data, size), image, &report)) {
        FUZZ_CHECK(report == "Unknown DIB file format." || report == "Out of memory." ||
                   report == "Image file conversion error.");
        FUZZ_CHECK(image.rgb.empty());
        return 0;
    }
    FUZZ_CHECK(image.width > 0 && image.height > 0);
    FUZZ_CHECK(image.rgb.size() == size_t(image.width) * size_t(image.height) * 3);
    return 0;
}
