#include "base/cp1252.h"

namespace vellora {

namespace {

// 0x80..0x9F differ from Latin-1; 0 marks the five bytes that cp1252 leaves undefined.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] != 0 && kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

} // namespace

QString fromCp1252(const char *data, qsizetype size)
{
    QString out;
    out.reserve(size);
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        if (b >= 0x80 && b <= 0x9F) {
            const char16_t c = kHigh[b - 0x80];
            // Undefined bytes pass through as the C1 control of the same value, as Windows does.
            out += QChar(c != 0 ? c : char16_t(b));
        } else {
            out += QChar(char16_t(b));
        }
    }
    return out;
}

QString fromCp1252(const QByteArray &bytes)
{
    return fromCp1252(bytes.constData(), bytes.size());
}

QByteArray toCp1252(const QString &text, bool *ok)
{
    QByteArray out;
    out.reserve(text.size());
    bool all = true;
    for (QChar ch : text) {
        int b = byteFor(ch.unicode());
        if (b < 0 && ch.unicode() >= 0x80 && ch.unicode() <= 0x9F)
            b = ch.unicode(); // round trip of the undefined bytes
        if (b < 0) {
            all = false;
            b = '?';
        }
        out += char(b);
    }
    if (ok)
        *ok = all;
    return out;
}

bool representableInCp1252(const QString &text)
{
    bool ok = false;
    toCp1252(text, &ok);
    return ok;
}

} // namespace vellora
