#include "dibloader.h"

#include <bytes/littleendian.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdio>

namespace zelle {

namespace {

std::atomic<bool> g_reports{true};

constexpr const char *kUnknownFormat = "Unknown DIB file format.";
constexpr const char *kOutOfMemory = "Out of memory.";
constexpr const char *kConversionError = "Image file conversion error.";

// Largest picture we agree to allocate for a texture: 4096 x 4096 RGB (48 MiB), well above
// what the model uses, so that a damaged header cannot ask for gigabytes.
constexpr uint64_t kMaxPixelBytes = uint64_t(4096) * 4096 * 3;

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

struct Bgr
{
    uint8_t b = 0, g = 0, r = 0;
};

class Bytes
{
  public:
    explicit Bytes(const std::vector<uint8_t> &b) : b_(b) {}
    bool has(uint64_t offset, uint64_t count) const
    {
        return offset <= b_.size() && count <= b_.size() - offset;
    }
    uint8_t u8(size_t o) const { return b_[o]; }
    uint16_t u16(size_t o) const { return le::readU16(b_.data() + o); }
    uint32_t u32(size_t o) const { return le::readU32(b_.data() + o); }
    size_t size() const { return b_.size(); }

  private:
    const std::vector<uint8_t> &b_;
};

uint32_t paletteSizeFromBits(uint32_t bits)
{
    switch (bits) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

// One colour channel given by a bit mask, widened to 8 bits by repeating its bits
// (5 bits: v << 3 | v >> 2), so that full intensity stays 255.
struct Channel
{
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(uint32_t m) : mask(m)
    {
        if (m) {
            shift = std::countr_zero(m);
            bits = 32 - std::countl_zero(m) - shift;
        }
    }
    uint8_t operator()(uint32_t pixel) const
    {
        if (bits == 0)
            return 0;
        const uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return uint8_t(v >> (bits - 8));
        uint32_t r = 0;
        for (int pos = 8 - bits;; pos -= bits) {
            r |= pos >= 0 ? v << pos : v >> -pos;
            if (pos <= 0)
                break;
        }
        return uint8_t(r);
    }
};

struct Header
{
    int64_t width = 0;
    int64_t height = 0; // negative: top-down
    uint32_t bits = 0;
    uint32_t compression = kRgb;
    uint32_t masks[3] = {0, 0, 0};
    std::vector<Bgr> palette;
    size_t bits_offset = 0;
};

// Every row of uncompressed bits must lie in the file; the last one may lack its padding.
bool uncompressedFits(const Header &h, const Bytes &bytes)
{
    const uint64_t rows = uint64_t(h.height < 0 ? -h.height : h.height);
    const uint64_t stride = (uint64_t(h.width) * h.bits + 31) / 32 * 4;
    const uint64_t last_row = (uint64_t(h.width) * h.bits + 7) / 8;
    return bytes.has(h.bits_offset, stride * (rows - 1) + last_row);
}

class Decoder
{
  public:
    Decoder(const Header &h, const Bytes &bytes, Image &out) : h_(h), bytes_(bytes), out_(out) {}

    void set(int64_t x, int64_t file_row, Bgr c)
    {
        if (x < 0 || x >= h_.width || file_row < 0 || file_row >= rows())
            return;
        const int64_t row = h_.height < 0 ? rows() - 1 - file_row : file_row;
        uint8_t *p = &out_.rgb[size_t((row * h_.width + x) * 3)];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
    Bgr colour(uint32_t index) const { return index < h_.palette.size() ? h_.palette[index] : Bgr{}; }
    int64_t rows() const { return h_.height < 0 ? -h_.height : h_.height; }

    bool uncompressed()
    {
        // decodeDib has checked that every row is in the file.
        const uint64_t stride = (uint64_t(h_.width) * h_.bits + 31) / 32 * 4;
        const bool fields = h_.compression == kBitFields;
        const Channel red(fields ? h_.masks[0] : h_.bits == 16 ? 0x7C00u : 0xFF0000u);
        const Channel green(fields ? h_.masks[1] : h_.bits == 16 ? 0x03E0u : 0x00FF00u);
        const Channel blue(fields ? h_.masks[2] : h_.bits == 16 ? 0x001Fu : 0x0000FFu);
        for (int64_t y = 0; y < rows(); ++y) {
            const size_t row = h_.bits_offset + size_t(stride * uint64_t(y));
            for (int64_t x = 0; x < h_.width; ++x) {
                const size_t xs = size_t(x);
                switch (h_.bits) {
                case 1:
                    set(x, y, colour((bytes_.u8(row + xs / 8) >> (7 - xs % 8)) & 1));
                    break;
                case 4:
                    set(x, y, colour((bytes_.u8(row + xs / 2) >> (xs % 2 ? 0 : 4)) & 15));
                    break;
                case 8:
                    set(x, y, colour(bytes_.u8(row + xs)));
                    break;
                case 24: {
                    const size_t p = row + xs * 3;
                    set(x, y, Bgr{bytes_.u8(p), bytes_.u8(p + 1), bytes_.u8(p + 2)});
                    break;
                }
                case 16:
                case 32: {
                    const uint32_t v = h_.bits == 16 ? bytes_.u16(row + xs * 2) : bytes_.u32(row + xs * 4);
                    set(x, y, Bgr{blue(v), green(v), red(v)});
                    break;
                }
                }
            }
        }
        return true;
    }

    // Run-length data: pixels the runs skip stay black. Data that ends early keeps what was
    // decoded up to there.
    bool runLength()
    {
        const bool four = h_.compression == kRle4;
        size_t pos = h_.bits_offset;
        const size_t end = bytes_.size();
        if (pos >= end)
            return false;
        int64_t x = 0, y = 0;
        while (pos + 1 < end && y < rows()) {
            const uint32_t count = bytes_.u8(pos), value = bytes_.u8(pos + 1);
            pos += 2;
            if (count > 0) {
                for (uint32_t i = 0; i < count; ++i, ++x)
                    set(x, y, colour(four ? (i % 2 ? value & 15 : value >> 4) : value));
            } else if (value == 0) {
                x = 0;
                ++y;
            } else if (value == 1) {
                break;
            } else if (value == 2) {
                if (pos + 1 >= end)
                    break;
                x += bytes_.u8(pos);
                y += bytes_.u8(pos + 1);
                pos += 2;
            } else {
                const size_t data = four ? (value + 1) / 2 : value;
                if (!bytes_.has(pos, data))
                    break;
                for (uint32_t i = 0; i < value; ++i, ++x) {
                    const uint32_t b = bytes_.u8(pos + (four ? i / 2 : i));
                    set(x, y, colour(four ? (i % 2 ? b & 15 : b >> 4) : b));
                }
                pos += data + data % 2; // absolute runs end on a 16-bit boundary
            }
        }
        return true;
    }

  private:
    const Header &h_;
    const Bytes &bytes_;
    Image &out_;
};

void setReport(std::string *report, const char *text)
{
    if (report)
        *report = text;
}

} // namespace

void setDibReports(bool on)
{
    g_reports = on;
}

bool dibReports()
{
    return g_reports;
}

bool decodeDib(const std::vector<uint8_t> &data, Image &out, std::string *report)
{
    out = Image{};
    const Bytes bytes(data);
    const bool file_header = bytes.has(0, 2) && data[0] == 'B' && data[1] == 'M';
    const size_t base = file_header ? 14 : 0;
    if (!bytes.has(base, 4)) {
        setReport(report, kUnknownFormat);
        return false;
    }
    const uint32_t header_size = bytes.u32(base);
    if ((header_size != 12 && header_size != 40) || !bytes.has(base, header_size)) {
        setReport(report, kUnknownFormat);
        return false;
    }

    Header h;
    uint64_t colours = 0;
    size_t palette_at = 0;
    size_t entry_size = 4;
    if (header_size == 12) {
        h.width = bytes.u16(base + 4);
        h.height = bytes.u16(base + 6);
        h.bits = bytes.u16(base + 10);
        colours = paletteSizeFromBits(h.bits);
        palette_at = base + 12;
        entry_size = 3;
    } else {
        h.width = int32_t(bytes.u32(base + 4));
        h.height = int32_t(bytes.u32(base + 8));
        h.bits = bytes.u16(base + 14);
        h.compression = bytes.u32(base + 16);
        const uint32_t used = bytes.u32(base + 32);
        colours = used ? used : paletteSizeFromBits(h.bits);
        palette_at = base + 40;
        if (h.compression == kBitFields) {
            if (!bytes.has(palette_at, 12)) {
                setReport(report, kConversionError);
                return false;
            }
            for (int i = 0; i < 3; ++i)
                h.masks[i] = bytes.u32(palette_at + size_t(4 * i));
            palette_at += 12;
        }
    }

    if (h.width <= 0 || h.height == 0 ||
        uint64_t(h.width) * uint64_t(h.height < 0 ? -h.height : h.height) * 3 > kMaxPixelBytes) {
        setReport(report, kOutOfMemory);
        return false;
    }

    const bool valid_format = (h.compression == kRgb && (h.bits == 1 || h.bits == 4 || h.bits == 8 ||
                                                         h.bits == 16 || h.bits == 24 || h.bits == 32)) ||
                              (h.compression == kRle8 && h.bits == 8 && h.height > 0) ||
                              (h.compression == kRle4 && h.bits == 4 && h.height > 0) ||
                              (h.compression == kBitFields && (h.bits == 16 || h.bits == 32));
    if (!valid_format || !bytes.has(palette_at, colours * entry_size)) {
        setReport(report, kConversionError);
        return false;
    }
    if (h.bits <= 8) {
        const uint64_t usable = std::min<uint64_t>(colours, uint64_t(1) << h.bits);
        for (uint64_t i = 0; i < usable; ++i) {
            const size_t e = palette_at + size_t(i) * entry_size;
            h.palette.push_back(Bgr{bytes.u8(e), bytes.u8(e + 1), bytes.u8(e + 2)});
        }
    }
    h.bits_offset = file_header ? bytes.u32(10) : palette_at + size_t(colours) * entry_size;

    // Checked before the pixel buffer is allocated: a few bytes claiming a huge picture must
    // not cost its memory.
    const bool run_length = h.compression == kRle4 || h.compression == kRle8;
    if (!run_length && !uncompressedFits(h, bytes)) {
        setReport(report, kConversionError);
        return false;
    }

    Image image;
    image.width = int32_t(h.width);
    image.height = int32_t(h.height < 0 ? -h.height : h.height);
    image.rgb.assign(size_t(image.width) * size_t(image.height) * 3, 0);
    Decoder decoder(h, bytes, image);
    const bool ok = run_length ? decoder.runLength() : decoder.uncompressed();
    if (!ok) {
        setReport(report, kConversionError);
        return false;
    }
    out = std::move(image);
    return true;
}

bool loadDib(const std::string &path, Image &out)
{
    out = Image{};
    std::vector<uint8_t> bytes;
    if (!readFileBytes(path, bytes) || bytes.empty()) {
        if (dibReports())
            std::fprintf(stderr, "Failed to open DIB file %s.\n", path.c_str());
        return false;
    }
    std::string report;
    if (!decodeDib(bytes, out, &report)) {
        if (dibReports())
            std::fprintf(stderr, "%s\n", report.c_str());
        return false;
    }
    return true;
}

} // namespace zelle
