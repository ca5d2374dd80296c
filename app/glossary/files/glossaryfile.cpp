#include "glossaryfile.h"

#include "base/asciifold.h"
#include "base/contentfile.h"
#include "base/programfolder.h"

#include <bytes/littleendian.h>

#include <cstring>
#include <stdexcept>

namespace vellora {

namespace {

constexpr int kTitleAt = 0;
constexpr int kText1At = 51;
constexpr int kText2At = 307;
constexpr int kText3At = 563;
constexpr int kLinksAt = 819;
constexpr int kPictureAt = 859;

// A short string: one length byte, then capacity bytes of which the first length count.
QByteArray shortString(const char *field, int capacity)
{
    const int length = std::min<int>(static_cast<unsigned char>(field[0]), capacity);
    return QByteArray(field + 1, length);
}

void putShortString(char *field, int capacity, const QByteArray &s, const char *name)
{
    if (s.size() > capacity)
        throw std::invalid_argument(std::string("glossary field too long: ") + name);
    field[0] = char(s.size());
    std::memcpy(field + 1, s.constData(), size_t(s.size()));
}

} // namespace

QByteArray TGlossarEntry::Text() const
{
    return Text1 + Text2 + Text3;
}

void TGlossarEntry::SetText(const QByteArray &text)
{
    if (text.size() > kGlossarTextMax)
        throw std::invalid_argument("glossary text over 765 bytes");
    Text1 = text.left(kGlossarTextPieceMax);
    Text2 = text.mid(kGlossarTextPieceMax, kGlossarTextPieceMax);
    Text3 = text.mid(2 * kGlossarTextPieceMax);
}

QList<int32_t> TGlossarEntry::SeeAlso() const
{
    QList<int32_t> out;
    for (int32_t link : Links) {
        if (link == -1)
            break;
        out.append(link);
    }
    return out;
}

QList<TGlossarEntry> parseGlossary(const QByteArray &bytes)
{
    const qsizetype count = bytes.size() / kGlossarRecordSize;
    QList<TGlossarEntry> entries;
    entries.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const char *rec = bytes.constData() + i * kGlossarRecordSize;
        TGlossarEntry e;
        e.Title = shortString(rec + kTitleAt, kGlossarTitleMax);
        e.Text1 = shortString(rec + kText1At, kGlossarTextPieceMax);
        e.Text2 = shortString(rec + kText2At, kGlossarTextPieceMax);
        e.Text3 = shortString(rec + kText3At, kGlossarTextPieceMax);
        for (int k = 0; k < kGlossarLinkCount; ++k)
            e.Links[k] = le::readI32(rec + kLinksAt + 4 * k);
        e.Picture = shortString(rec + kPictureAt, kGlossarPictureMax);
        entries.append(e);
    }
    return entries;
}

QByteArray serializeGlossary(const QList<TGlossarEntry> &entries)
{
    QByteArray out(entries.size() * kGlossarRecordSize, '\0');
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const TGlossarEntry &e = entries[i];
        char *rec = out.data() + i * kGlossarRecordSize;
        putShortString(rec + kTitleAt, kGlossarTitleMax, e.Title, "Title");
        putShortString(rec + kText1At, kGlossarTextPieceMax, e.Text1, "Text1");
        putShortString(rec + kText2At, kGlossarTextPieceMax, e.Text2, "Text2");
        putShortString(rec + kText3At, kGlossarTextPieceMax, e.Text3, "Text3");
        for (int k = 0; k < kGlossarLinkCount; ++k)
            le::writeI32(rec + kLinksAt + 4 * k, e.Links[k]);
        putShortString(rec + kPictureAt, kGlossarPictureMax, e.Picture, "Picture");
    }
    return out;
}

QString glossaryPath()
{
    return contentPath(QStringLiteral("inhalt/glossar.dat"));
}

QList<TGlossarEntry> LoadGlossary(const QString &path)
{
    return parseGlossary(readContentFile(path));
}

QList<TGlossarEntry> LoadGlossary()
{
    return LoadGlossary(glossaryPath());
}

bool glossaryTitleLess(const QByteArray &a, const QByteArray &b)
{
    return asciiCompareNoCase(a, b) < 0;
}

QString manualPagePath(int page)
{
    static const char *const names[kManualPageCount] = {"inhalt/zelle_m.dat", "inhalt/uebung_m.dat",
                                                        "inhalt/glossar_m.dat"};
    if (page < 0 || page >= kManualPageCount)
        throw std::out_of_range("manual page number");
    return contentPath(QString::fromLatin1(names[page]));
}

QByteArray loadManualPage(const QString &path)
{
    return readContentFile(path);
}

} // namespace vellora
