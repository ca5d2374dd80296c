#pragma once

// The glossary file "inhalt/glossar.dat": 868-byte records without header, sorted by title
// (a-z folded to A-Z) so that a prefix search finds every matching entry in one run; the record
// number is the entry number that links use. Also the manual pages "inhalt/zelle_m.dat",
// "inhalt/uebung_m.dat" and "inhalt/glossar_m.dat" (plain cp1252 text, CR LF between lines).

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>

namespace vellora {

constexpr int kGlossarRecordSize = 868;
constexpr int kGlossarTitleMax = 50;
constexpr int kGlossarTextPieceMax = 255;
constexpr int kGlossarTextMax = 3 * kGlossarTextPieceMax; // 765
constexpr int kGlossarPictureMax = 8;
constexpr int kGlossarLinkCount = 10;

struct TGlossarEntry
{
    QByteArray Title;               // at most 50 bytes
    QByteArray Text1, Text2, Text3; // at most 255 bytes each, joined without separator
    std::array<int32_t, kGlossarLinkCount> Links{-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
    QByteArray Picture; // stem of inhalt/bilder/<stem>.bmp, at most 8; empty: none

    // Text1 + Text2 + Text3.
    QByteArray Text() const;
    // Splits text into the three pieces (255, 255, rest); std::invalid_argument over 765 bytes.
    void SetText(const QByteArray &text);
    // The filled see-also slots from slot 0 up to the first -1.
    QList<int32_t> SeeAlso() const;

    bool operator==(const TGlossarEntry &) const = default;
};

// Whole records only: a trailing partial record is not read. A length byte larger than its
// field is cut to the field, so no field reads into the next one. Link numbers are kept as
// stored; a caller that follows one checks it against the entry count.
QList<TGlossarEntry> parseGlossary(const QByteArray &bytes);
// Bytes of a field beyond its length are written as zeros. A field over its capacity throws
// std::invalid_argument.
QByteArray serializeGlossary(const QList<TGlossarEntry> &entries);

// Program folder + "inhalt/glossar.dat".
QString glossaryPath();
// Throws std::runtime_error with a German message naming the file when it cannot be read.
QList<TGlossarEntry> LoadGlossary(const QString &path);
QList<TGlossarEntry> LoadGlossary();

// The order the search relies on: titles compared with a-z folded to A-Z, bytes unsigned.
bool glossaryTitleLess(const QByteArray &a, const QByteArray &b);

// Manual pages by page number 0..2: "inhalt/zelle_m.dat", "inhalt/uebung_m.dat",
// "inhalt/glossar_m.dat" beside the program.
constexpr int kManualPageCount = 3;
QString manualPagePath(int page);
// The whole file, byte for byte; throws std::runtime_error naming the file.
QByteArray loadManualPage(const QString &path);

} // namespace vellora
