#pragma once

#include <QColor>

namespace vellora {

// Form colours are 24-bit references with red in the lowest byte (7200386 is RGB 130, 222, 109).
inline QColor colorRef(int ref)
{
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

inline int toColorRef(const QColor &c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

// Named references the forms use.
constexpr int kGrey = 8421504;
constexpr int kSilver = 12632256;
constexpr int kThumbHover = 10526880;
constexpr int kWhite = 16777215;
constexpr int kBlack = 0;
constexpr int kMaroon = 128;

} // namespace vellora
