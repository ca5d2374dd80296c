#pragma once

// Little-endian integers as every binary file of the program and the library stores them.
// Standard C++ only, header-only: the library (which uses no Qt) and the program share it.

#include <cstdint>

namespace le {

inline uint16_t readU16(const unsigned char *p)
{
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t readU32(const unsigned char *p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline int32_t readI32(const unsigned char *p)
{
    return static_cast<int32_t>(readU32(p));
}

// The same on char buffers (QByteArray::constData()).
inline uint16_t readU16(const char *p)
{
    return readU16(reinterpret_cast<const unsigned char *>(p));
}
inline uint32_t readU32(const char *p)
{
    return readU32(reinterpret_cast<const unsigned char *>(p));
}
inline int32_t readI32(const char *p)
{
    return readI32(reinterpret_cast<const unsigned char *>(p));
}

inline void writeU16(unsigned char *p, uint16_t v)
{
    p[0] = static_cast<unsigned char>(v & 0xFF);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline void writeU32(unsigned char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
}

inline void writeI32(unsigned char *p, int32_t v)
{
    writeU32(p, static_cast<uint32_t>(v));
}

inline void writeU16(char *p, uint16_t v)
{
    writeU16(reinterpret_cast<unsigned char *>(p), v);
}
inline void writeI32(char *p, int32_t v)
{
    writeI32(reinterpret_cast<unsigned char *>(p), v);
}

} // namespace le
