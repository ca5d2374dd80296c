#include "base/germanorder.h"

#include "base/cp1252.h"

#include <algorithm>

namespace vellora {

namespace {

// Folded form of one cp1252 byte; ß is the one byte that folds to two.
const char *foldByte(unsigned char c, char &single)
{
    if (c >= 'a' && c <= 'z') {
        single = char(c - 'a' + 'A');
        return nullptr;
    }
    switch (c) {
    case 0xDF:
        return "SS"; // ß
    case 0xC0:
    case 0xC1:
    case 0xC2:
    case 0xC3:
    case 0xC4:
    case 0xC5: // À..Å
    case 0xE0:
    case 0xE1:
    case 0xE2:
    case 0xE3:
    case 0xE4:
    case 0xE5: // à..å
        single = 'A';
        return nullptr;
    case 0xC7:
    case 0xE7:
        single = 'C';
        return nullptr; // Ç ç
    case 0xC8:
    case 0xC9:
    case 0xCA:
    case 0xCB:
    case 0xE8:
    case 0xE9:
    case 0xEA:
    case 0xEB:
        single = 'E';
        return nullptr;
    case 0xCC:
    case 0xCD:
    case 0xCE:
    case 0xCF:
    case 0xEC:
    case 0xED:
    case 0xEE:
    case 0xEF:
        single = 'I';
        return nullptr;
    case 0xD1:
    case 0xF1:
        single = 'N';
        return nullptr; // Ñ ñ
    case 0xD2:
    case 0xD3:
    case 0xD4:
    case 0xD5:
    case 0xD6:
    case 0xF2:
    case 0xF3:
    case 0xF4:
    case 0xF5:
    case 0xF6:
        single = 'O';
        return nullptr;
    case 0xD9:
    case 0xDA:
    case 0xDB:
    case 0xDC:
    case 0xF9:
    case 0xFA:
    case 0xFB:
    case 0xFC:
        single = 'U';
        return nullptr;
    case 0xDD:
    case 0xFD:
    case 0xFF:
    case 0x9F:
        single = 'Y';
        return nullptr;
    default:
        single = char(c);
        return nullptr;
    }
}

} // namespace

QByteArray germanFold(const QByteArray &cp1252)
{
    QByteArray out;
    out.reserve(cp1252.size());
    for (char c : cp1252) {
        char single = 0;
        if (const char *two = foldByte(static_cast<unsigned char>(c), single))
            out += two;
        else
            out += single;
    }
    return out;
}

QString germanFold(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QString one = text.mid(i, 1);
        if (!representableInCp1252(one)) {
            out += one;
            continue;
        }
        out += fromCp1252(germanFold(toCp1252(one)));
    }
    return out;
}

namespace {

int byteCompare(const QByteArray &a, const QByteArray &b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace

int germanCompare(const QByteArray &a, const QByteArray &b)
{
    const int folded = byteCompare(germanFold(a), germanFold(b));
    return folded != 0 ? folded : byteCompare(a, b);
}

bool germanStartsWith(const QByteArray &text, const QByteArray &prefix)
{
    return germanFold(text).startsWith(germanFold(prefix));
}

bool germanStartsWith(const QString &text, const QString &prefix)
{
    return germanFold(text).startsWith(germanFold(prefix));
}

} // namespace vellora
