#include "dibloader.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <unistd.h>

using namespace zelle;

namespace {

using Bytes = std::vector<uint8_t>;
using Rgb = std::array<uint8_t, 3>;

void put16(Bytes &b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(Bytes &b, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(uint8_t(v >> (8 * i)));
}

struct Dib
{
    bool file_header = true;
    int header_size = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t colours_used = 0;
    std::vector<Rgb> palette; // written as blue, green, red (+ 0 in 4-byte entries)
    std::vector<uint32_t> masks;
    Bytes pixels;

    Bytes bytes() const
    {
        Bytes header;
        if (header_size == 12) {
            put32(header, 12);
            put16(header, uint32_t(width));
            put16(header, uint32_t(height));
            put16(header, 1);
            put16(header, bits);
        } else {
            put32(header, uint32_t(header_size));
            put32(header, uint32_t(width));
            put32(header, uint32_t(height));
            put16(header, 1);
            put16(header, bits);
            put32(header, compression);
            put32(header, 0); // image size: left for the loader to work out
            put32(header, 2835);
            put32(header, 2835);
            put32(header, colours_used);
            put32(header, 0);
            header.resize(size_t(header_size), 0);
        }
        for (uint32_t m : masks)
            put32(header, m);
        for (const Rgb &c : palette) {
            header.insert(header.end(), {c[2], c[1], c[0]});
            if (header_size != 12)
                header.push_back(0);
        }
        Bytes out;
        if (file_header) {
            out = {'B', 'M'};
            put32(out, uint32_t(14 + header.size() + pixels.size()));
            put32(out, 0);
            put32(out, uint32_t(14 + header.size()));
        }
        out.insert(out.end(), header.begin(), header.end());
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
};

Bytes rgbRows(std::initializer_list<Rgb> pixels)
{
    Bytes b;
    for (const Rgb &p : pixels)
        b.insert(b.end(), p.begin(), p.end());
    return b;
}

const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255}, kBlack{0, 0, 0};
const Rgb kGrey{10, 20, 30};

Image decoded(const Bytes &bytes)
{
    Image img;
    std::string report;
    EXPECT_TRUE(decodeDib(bytes, img, &report)) << report;
    return img;
}

std::string failure(const Bytes &bytes)
{
    Image img;
    img.width = 7;
    std::string report;
    EXPECT_FALSE(decodeDib(bytes, img, &report));
    EXPECT_TRUE(img.rgb.empty());
    return report;
}

} // namespace

TEST(ZelleDib, TwentyFourBitRowsComeOutAsTightlyPackedRgbInFileOrder)
{
    // 5 pixels wide: 15 bytes of colour and 1 byte of padding per file row.
    Dib d;
    d.width = 5;
    d.height = 2;
    d.pixels = {0,  0,  255, 0,  255, 0,  255, 0,  0,  255, 255, 255, 0,   0, 0, 0xEE,
                30, 20, 10,  30, 20,  10, 30,  20, 10, 30,  20,  10,  255, 0, 0, 0xEE};
    const Bytes expected = rgbRows({kRed, kGreen, kBlue, kWhite, kBlack, kGrey, kGrey, kGrey, kGrey, kBlue});
    for (bool file_header : {true, false}) {
        d.file_header = file_header;
        const Image img = decoded(d.bytes());
        EXPECT_EQ(img.width, 5);
        EXPECT_EQ(img.height, 2);
        EXPECT_EQ(img.rgb, expected) << "file header " << file_header;
    }
}

TEST(ZelleDib, TopDownBitmapsGiveTheSameBufferAsTheirBottomUpTwin)
{
    Dib up;
    up.width = 2;
    up.height = 2;
    up.pixels = {0, 0, 255, 0, 255, 0, 0, 0, /* bottom */ 255, 0, 0, 255, 255, 255, 0, 0 /* top */};
    Dib down = up;
    down.height = -2;
    down.pixels = {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    const Image a = decoded(up.bytes()), b = decoded(down.bytes());
    EXPECT_EQ(b.height, 2);
    EXPECT_EQ(a.rgb, rgbRows({kRed, kGreen, kBlue, kWhite}));
    EXPECT_EQ(b.rgb, a.rgb);
}

TEST(ZelleDib, PaletteImagesOfEveryDepth)
{
    const std::vector<Rgb> palette4 = {kBlack, kRed, kGreen, kBlue};
    struct Case
    {
        const char *name;
        uint16_t bits;
        uint32_t colours_used;
        std::vector<Rgb> palette;
        int width;
        Bytes pixels; // two rows
        Bytes expected;
    };
    const Case cases[] = {
        // 1 bit, 10 pixels: bits from the most significant end, rows padded to 4 bytes.
        {"1 bit",
         1,
         0,
         {kBlue, kWhite},
         10,
         {0b10110000, 0b01000000, 0, 0, 0b11111111, 0b11000000, 0, 0},
         rgbRows({kWhite, kBlue,  kWhite, kWhite, kBlue,  kBlue,  kBlue,  kBlue,  kBlue,  kWhite,
                  kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite})},
        // 4 bits, 3 pixels: high nibble first; the table holds only the 4 entries it uses.
        {"4 bits",
         4,
         4,
         palette4,
         3,
         {0x12, 0x30, 0, 0, 0x01, 0x20, 0, 0},
         rgbRows({kRed, kGreen, kBlue, kBlack, kRed, kGreen})},
        // 8 bits with 3 colours: an index past the table comes out black.
        {"8 bits",
         8,
         3,
         {kRed, kGreen, kGrey},
         3,
         {2, 1, 0, 0, 0, 7, 2, 0},
         rgbRows({kGrey, kGreen, kRed, kRed, kBlack, kGrey})},
    };
    for (const Case &c : cases) {
        for (bool file_header : {true, false}) {
            Dib d;
            d.file_header = file_header;
            d.width = c.width;
            d.height = 2;
            d.bits = c.bits;
            d.colours_used = c.colours_used;
            d.palette = c.palette;
            if (c.colours_used == 0)
                d.palette.resize(size_t(1) << c.bits, kBlack);
            d.pixels = c.pixels;
            EXPECT_EQ(decoded(d.bytes()).rgb, c.expected) << c.name << ", file header " << file_header;
        }
    }
}

TEST(ZelleDib, CoreHeaderWithThreeByteColourEntries)
{
    Dib d;
    d.header_size = 12;
    d.width = 2;
    d.height = 1;
    d.bits = 8;
    d.palette.assign(256, kBlack);
    d.palette[1] = kGrey;
    d.palette[200] = kBlue;
    d.pixels = {200, 1, 0, 0};
    for (bool file_header : {true, false}) {
        d.file_header = file_header;
        EXPECT_EQ(decoded(d.bytes()).rgb, rgbRows({kBlue, kGrey})) << file_header;
    }
    d.bits = 24;
    d.palette.clear();
    d.pixels = {30, 20, 10, 0, 0, 255, 0, 0};
    EXPECT_EQ(decoded(d.bytes()).rgb, rgbRows({kGrey, kRed}));
}

TEST(ZelleDib, SixteenAndThirtyTwoBitsWithAndWithoutBitFields)
{
    struct Case
    {
        const char *name;
        uint16_t bits;
        uint32_t compression;
        std::vector<uint32_t> masks;
        Bytes pixels; // one row of two pixels
        Bytes expected;
    };
    const Case cases[] = {
        // x1r5g5b5: 5-bit channels widen by repeating their top bits (31 -> 255, 16 -> 132).
        {"16 bits 555", 16, 0, {}, {0x00, 0x7C, 0x10, 0x42}, rgbRows({kRed, {132, 132, 132}})},
        // r5g6b5 by bit fields: green has 6 bits (63 -> 255, 32 -> 130).
        {"16 bits 565",
         16,
         3,
         {0xF800, 0x07E0, 0x001F},
         {0xE0, 0x07, 0x1F, 0x04},
         rgbRows({kGreen, {0, 130, 255}})},
        {"32 bits", 32, 0, {}, {30, 20, 10, 0xFF, 0, 255, 0, 0}, rgbRows({kGrey, kGreen})},
        // Channels in unusual places: red in the low byte, blue in the high byte.
        {"32 bits fields",
         32,
         3,
         {0x000000FF, 0x0000FF00, 0xFF000000},
         {10, 20, 0x55, 30, 255, 0, 0, 0},
         rgbRows({kGrey, kRed})},
    };
    for (const Case &c : cases) {
        for (bool file_header : {true, false}) {
            Dib d;
            d.file_header = file_header;
            d.width = 2;
            d.bits = c.bits;
            d.compression = c.compression;
            d.masks = c.masks;
            d.pixels = c.pixels;
            EXPECT_EQ(decoded(d.bytes()).rgb, c.expected) << c.name << ", file header " << file_header;
        }
    }
}

TEST(ZelleDib, RunLengthEncodedEightAndFourBits)
{
    const std::vector<Rgb> palette = {kBlack, kRed, kGreen, kBlue, kWhite, kGrey};
    // 6 x 3, bottom-up. Row 0: run of 3 x index 1, absolute 3 pixels (2, 3, 4; padded to a
    // 16-bit boundary). Row 1: run 2 x 5, then end of line. Row 2: delta (4, 0) skips 4 pixels
    // (they stay black), run 2 x 3, end of bitmap.
    Dib d8;
    d8.width = 6;
    d8.height = 3;
    d8.bits = 8;
    d8.compression = 1;
    d8.colours_used = 6;
    d8.palette = palette;
    d8.pixels = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 2, 5, 0, 0, 0, 2, 4, 0, 2, 3, 0, 1};
    const Bytes expected = rgbRows({kRed, kRed, kRed, kGreen, kBlue, kWhite, kGrey, kGrey, kBlack, kBlack,
                                    kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlue, kBlue});
    for (bool file_header : {true, false}) {
        d8.file_header = file_header;
        EXPECT_EQ(decoded(d8.bytes()).rgb, expected) << "RLE8, file header " << file_header;
    }

    // The same picture in RLE4: runs alternate the two nibbles; absolute runs pack two
    // pixels a byte and pad to a 16-bit boundary.
    Dib d4 = d8;
    d4.bits = 4;
    d4.compression = 2;
    d4.pixels = {3, 0x11, 0, 3, 0x23, 0x40, 0, 0, 2, 0x55, 0, 0, 0, 2, 4, 0, 2, 0x33, 0, 1};
    for (bool file_header : {true, false}) {
        d4.file_header = file_header;
        EXPECT_EQ(decoded(d4.bytes()).rgb, expected) << "RLE4, file header " << file_header;
    }

    // A run alternates the nibbles of its byte: 5 x 0x12 gives 1 2 1 2 1.
    d4.pixels = {5, 0x12, 0, 1};
    d4.height = 1;
    EXPECT_EQ(decoded(d4.bytes()).rgb, rgbRows({kRed, kGreen, kRed, kGreen, kRed, kBlack}));
}

TEST(ZelleDib, RefusesWhatItCannotDecode)
{
    auto with = [](auto change) {
        Dib d;
        d.width = 2;
        d.height = 2;
        d.pixels = Bytes(16, 0);
        change(d);
        return d.bytes();
    };
    const std::string unknown = "Unknown DIB file format.", memory = "Out of memory.",
                      conversion = "Image file conversion error.";
    struct Case
    {
        const char *name;
        Bytes bytes;
        std::string report;
    };
    const Case cases[] = {
        {"108-byte header", with([](Dib &d) { d.header_size = 108; }), unknown},
        {"124-byte header", with([](Dib &d) { d.header_size = 124; }), unknown},
        {"only a file header", Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 14, 0, 0, 0}, unknown},
        {"header cut short", Bytes{40, 0, 0, 0, 2, 0, 0, 0}, unknown},
        {"width 0", with([](Dib &d) { d.width = 0; }), memory},
        {"height 0", with([](Dib &d) { d.height = 0; }), memory},
        {"absurd size", with([](Dib &d) {
             d.width = 1 << 20;
             d.height = 1 << 20;
         }),
         memory},
        {"2 bits", with([](Dib &d) { d.bits = 2; }), conversion},
        {"last row cut short", with([](Dib &d) { d.pixels.resize(13); }), conversion},
        {"RLE8 on 24 bits", with([](Dib &d) { d.compression = 1; }), conversion},
        {"JPEG compression", with([](Dib &d) { d.compression = 4; }), conversion},
        {"top-down RLE", with([](Dib &d) {
             d.bits = 8;
             d.compression = 1;
             d.height = -2;
             d.palette.assign(256, kBlack);
         }),
         conversion},
        {"palette past the end", with([](Dib &d) {
             d.bits = 8;
             d.colours_used = 100000;
             d.pixels.clear();
         }),
         conversion},
        {"masks past the end", Bytes(with([](Dib &d) {
             d.bits = 16;
             d.compression = 3;
             d.pixels.clear();
         })),
         conversion},
    };
    for (const Case &c : cases)
        EXPECT_EQ(failure(c.bytes), c.report) << c.name;
}

TEST(ZelleDib, LoadReportsOnceOnStandardError)
{
    const auto dir = std::filesystem::temp_directory_path() / ("zelle-dib-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string missing = (dir / "missing.tex").string();
    const std::string empty = (dir / "empty.tex").string();
    const std::string unknown = (dir / "unknown.tex").string();
    const std::string good = (dir / "good.tex").string();
    ASSERT_TRUE(writeFileBytes(empty, {}));
    ASSERT_TRUE(writeFileBytes(unknown, Bytes{124, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}));
    Image red;
    red.width = red.height = 1;
    red.rgb = {255, 0, 0};
    ASSERT_TRUE(writeFileBytes(good, serializeBmp24(red)));

    Image img;
    struct Case
    {
        std::string path;
        bool ok;
        std::string report;
    };
    const Case cases[] = {
        {missing, false, "Failed to open DIB file " + missing + ".\n"},
        {empty, false, "Failed to open DIB file " + empty + ".\n"},
        {unknown, false, "Unknown DIB file format.\n"},
        {good, true, ""},
    };
    for (const Case &c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(loadDib(c.path, img), c.ok) << c.path;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.report) << c.path;
    }
    EXPECT_EQ(img.rgb, red.rgb);

    setDibReports(false);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(loadDib(missing, img));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    setDibReports(true);
    std::filesystem::remove_all(dir);
}

TEST(ZelleDib, EveryByteOfTheLastRowMustBeThereButItsPaddingNeedNot)
{
    // 5 x 2 at 24 bits: rows of 15 bytes padded to 16; the file may end right after pixel 15.
    Dib d;
    d.width = 5;
    d.height = 2;
    d.pixels = Bytes(31, 0);
    d.pixels[16] = 30; // first pixel of the top row, blue 30
    for (bool file_header : {true, false}) {
        d.file_header = file_header;
        const Image img = decoded(d.bytes());
        EXPECT_EQ(img.rgb.size(), 30u);
        EXPECT_EQ(img.rgb[17], 30) << file_header;
        Bytes cut = d.bytes();
        cut.pop_back();
        EXPECT_EQ(failure(cut), "Image file conversion error.") << file_header;
    }
}

TEST(ZelleDib, BitFieldMasksCutOffByTheFileEndAreRefused)
{
    // The pixel offset points into the header, so the pixel check alone would pass: the masks
    // that follow the 40-byte header must themselves lie inside the file.
    Dib d;
    d.width = 1;
    d.height = 1;
    d.bits = 32;
    d.compression = 3;
    d.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    Bytes bytes = d.bytes();
    bytes[10] = 14;
    for (size_t keep : {size_t(14 + 40), size_t(14 + 40 + 4), size_t(14 + 40 + 11)}) {
        const Bytes cut(bytes.begin(), bytes.begin() + long(keep));
        EXPECT_EQ(failure(cut), "Image file conversion error.") << keep;
    }
    EXPECT_EQ(decoded(bytes).rgb.size(), 3u);
}
