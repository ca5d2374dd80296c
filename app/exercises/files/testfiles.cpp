#include "testfiles.h"

#include "base/asciifold.h"
#include "base/contentfile.h"
#include "base/programfolder.h"

#include <bytes/littleendian.h>

#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace vellora {

namespace {

QByteArray readWhole(const QString &path)
{
    ReadFailure failure;
    QByteArray bytes = readWholeFile(path, failure);
    if (failure != ReadFailure::None)
        throw TestFileError(path, -1, readFailureText(failure));
    return bytes;
}

// Reads fields front to back and refuses anything that does not fit in the bytes that are left.
class Reader
{
  public:
    Reader(const QByteArray &bytes, const QString &fileName) : m_bytes(bytes), m_name(fileName) {}

    qsizetype pos() const { return m_pos; }
    qsizetype left() const { return m_bytes.size() - m_pos; }

    [[noreturn]] void fail(qsizetype offset, const QString &message) const
    {
        throw TestFileError(m_name, offset, message);
    }

    void need(qsizetype n, const char *what)
    {
        if (n > left())
            fail(m_pos, QStringLiteral("Die Datei endet vorzeitig (%1 fehlt).").arg(QString::fromUtf8(what)));
    }

    QByteArray bytes(qsizetype n, const char *what)
    {
        need(n, what);
        QByteArray b = m_bytes.mid(m_pos, n);
        m_pos += n;
        return b;
    }

    uint16_t u16(const char *what)
    {
        need(2, what);
        const uint16_t v = le::readU16(m_bytes.constData() + m_pos);
        m_pos += 2;
        return v;
    }

    int32_t i32(const char *what)
    {
        need(4, what);
        const int32_t v = le::readI32(m_bytes.constData() + m_pos);
        m_pos += 4;
        return v;
    }

    // A count of items that each take at least minItemSize bytes must fit in what is left.
    int32_t count(const char *what, qsizetype minItemSize)
    {
        const qsizetype at = m_pos;
        const int32_t n = i32(what);
        if (n < 0)
            fail(at, QStringLiteral("Ungültige Anzahl %1 (%2).").arg(n).arg(QString::fromUtf8(what)));
        if (qint64(n) * minItemSize > left())
            fail(at, QStringLiteral("Die Anzahl %1 (%2) passt nicht in den Rest der Datei.")
                         .arg(n)
                         .arg(QString::fromUtf8(what)));
        return n;
    }

    QByteArray string(const char *what)
    {
        const qsizetype at = m_pos;
        const int32_t n = i32(what);
        if (n < 0)
            fail(at, QStringLiteral("Ungültige Länge %1 (%2).").arg(n).arg(QString::fromUtf8(what)));
        if (n > left())
            fail(at, QStringLiteral("Die Länge %1 (%2) passt nicht in den Rest der Datei.")
                         .arg(n)
                         .arg(QString::fromUtf8(what)));
        return bytes(n, what);
    }

  private:
    const QByteArray &m_bytes;
    QString m_name;
    qsizetype m_pos = 0;
};

TTestInfo readHeader(Reader &r)
{
    TTestInfo info;
    info.ID = r.bytes(kTestIdSize, "Test-ID");
    info.Title = r.string("Titel");
    return info;
}

void appendHeader(QByteArray &out, const TTestInfo &info)
{
    if (info.ID.size() != kTestIdSize)
        throw std::invalid_argument("test ID must be exactly 16 bytes");
    out += info.ID;
    appendStoredString(out, info.Title);
}

} // namespace

TestFileError::TestFileError(const QString &path, qint64 offset, const QString &message)
    : std::runtime_error((offset >= 0
                              ? QStringLiteral("Die Testdatei \u201E%1\u201C ist beschädigt (Byte %2): %3")
                                    .arg(path)
                                    .arg(offset)
                                    .arg(message)
                              : QStringLiteral("Die Testdatei \u201E%1\u201C: %2").arg(path, message))
                             .toStdString()),
      m_path(path), m_offset(offset)
{
}

QByteArray LoadIntroduction()
{
    return LoadIntroduction(contentPath(QStringLiteral("inhalt/uebung.dat")));
}

QByteArray LoadIntroduction(const QString &path)
{
    return readContentFile(path);
}

QString testExtension(TestKind kind)
{
    switch (kind) {
    case TestKind::SelfCheck:
        return QStringLiteral(".slf");
    case TestKind::MultipleChoice:
        return QStringLiteral(".mpc");
    case TestKind::Cloze:
        return QStringLiteral(".lkt");
    case TestKind::Unknown:
        break;
    }
    return {};
}

QString testPath(TestKind kind, int number)
{
    return contentPath(QStringLiteral("tests/test%1").arg(number) + testExtension(kind));
}

TestKind testKindOfPath(const QString &path)
{
    QString suffix = QFileInfo(path).fileName();
    const qsizetype dot = suffix.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return TestKind::Unknown;
    suffix = asciiUpper(suffix.mid(dot));
    for (TestKind k : {TestKind::SelfCheck, TestKind::MultipleChoice, TestKind::Cloze})
        if (suffix == asciiUpper(testExtension(k)))
            return k;
    return TestKind::Unknown;
}

TTestInfo parseTestHeader(const QByteArray &bytes, const QString &fileName)
{
    Reader r(bytes, fileName);
    return readHeader(r);
}

TSLFTest parseSelfCheckTest(const QByteArray &bytes, const QString &fileName)
{
    Reader r(bytes, fileName);
    TSLFTest t;
    t.Info = readHeader(r);
    t.Count = r.count("Anzahl der Fragen", 8);
    t.Questions.reserve(t.Count);
    for (int32_t i = 0; i < t.Count; ++i) {
        TSLFQuestion q;
        q.Question = r.string("Frage");
        q.Answer = r.string("Antwort");
        t.Questions.append(q);
    }
    return t;
}

TMPCTest parseMultipleChoiceTest(const QByteArray &bytes, const QString &fileName)
{
    Reader r(bytes, fileName);
    TMPCTest t;
    t.Info = readHeader(r);
    t.Count = r.count("Anzahl der Fragen", 10);
    t.Questions.reserve(t.Count);
    for (int32_t i = 0; i < t.Count; ++i) {
        TMPCQuestion q;
        q.Question = r.string("Frage");
        q.Answer = r.u16("Antwortmaske");
        q.Count = r.count("Anzahl der Antworten", 4);
        q.Options.reserve(q.Count);
        for (int32_t k = 0; k < q.Count; ++k)
            q.Options.append(r.string("Antwort"));
        t.Questions.append(q);
    }
    return t;
}

TLKTTest parseClozeTest(const QByteArray &bytes, const QString &fileName)
{
    Reader r(bytes, fileName);
    TLKTTest t;
    t.Info = readHeader(r);
    const qsizetype countAt = r.pos();
    t.Count = r.count("Anzahl der Lücken", 4);
    const qsizetype textAt = r.pos();
    t.Text = r.string("Lückentext");
    // The gaps are laid out from the markers and filled from the answer lists: both must agree.
    const QList<ClozeGap> gaps = clozeGaps(t.Text);
    if (gaps.size() != t.Count)
        r.fail(countAt, QStringLiteral("Der Lückentext hat %1 Lücken, die Datei nennt %2.")
                            .arg(gaps.size())
                            .arg(t.Count));
    for (const ClozeGap &g : gaps)
        if (g.width < 0)
            r.fail(textAt + 4 + g.offset, QStringLiteral("Auf \u201E#\u201C folgt keine Zahl."));
    if (qint64(t.Count) * 4 > r.left())
        r.fail(r.pos(), QStringLiteral("Die Anzahl %1 (Anzahl der Lücken) passt nicht in den Rest der Datei.")
                            .arg(t.Count));
    t.Words.reserve(t.Count);
    for (int32_t i = 0; i < t.Count; ++i) {
        TWord w;
        w.Count = r.count("Anzahl der Lösungen", 4);
        w.Words.reserve(w.Count);
        for (int32_t k = 0; k < w.Count; ++k)
            w.Words.append(r.string("Lösung"));
        t.Words.append(w);
    }
    return t;
}

TTestInfo LoadTestHeader(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly))
        throw TestFileError(path, -1, readFailureText(ReadFailure::Open));
    // The header is all the list needs; reading the ID, the length and at most the title.
    QByteArray head = file.read(kTestIdSize + 4);
    if (head.size() == kTestIdSize + 4) {
        const int32_t len = le::readI32(head.constData() + kTestIdSize);
        if (len > 0 && len <= file.size() - head.size())
            head += file.read(len);
    }
    return parseTestHeader(head, path);
}

TSLFTest LoadSelfCheckTest(const QString &path)
{
    return parseSelfCheckTest(readWhole(path), path);
}

TMPCTest LoadMultipleChoiceTest(const QString &path)
{
    return parseMultipleChoiceTest(readWhole(path), path);
}

TLKTTest LoadClozeTest(const QString &path)
{
    return parseClozeTest(readWhole(path), path);
}

QByteArray serializeSelfCheckTest(const TSLFTest &test)
{
    QByteArray out;
    appendHeader(out, test.Info);
    appendInt32(out, int32_t(test.Questions.size()));
    for (const TSLFQuestion &q : test.Questions) {
        appendStoredString(out, q.Question);
        appendStoredString(out, q.Answer);
    }
    return out;
}

QByteArray serializeMultipleChoiceTest(const TMPCTest &test)
{
    QByteArray out;
    appendHeader(out, test.Info);
    appendInt32(out, int32_t(test.Questions.size()));
    for (const TMPCQuestion &q : test.Questions) {
        appendStoredString(out, q.Question);
        appendUInt16(out, q.Answer);
        appendInt32(out, int32_t(q.Options.size()));
        for (const QByteArray &o : q.Options)
            appendStoredString(out, o);
    }
    return out;
}

QByteArray serializeClozeTest(const TLKTTest &test)
{
    QByteArray out;
    appendHeader(out, test.Info);
    appendInt32(out, int32_t(test.Words.size()));
    appendStoredString(out, test.Text);
    for (const TWord &w : test.Words) {
        appendInt32(out, int32_t(w.Words.size()));
        for (const QByteArray &s : w.Words)
            appendStoredString(out, s);
    }
    return out;
}

QList<ClozeGap> clozeGaps(const QByteArray &text)
{
    QList<ClozeGap> gaps;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '#')
            continue;
        ClozeGap g;
        g.offset = i;
        qsizetype j = i + 1;
        int width = 0;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') {
            width = std::min(width * 10 + (text[j] - '0'), 1000000);
            ++j;
        }
        g.length = j - i;
        g.width = (j == i + 1) ? -1 : width;
        gaps.append(g);
        i = j - 1;
    }
    return gaps;
}

} // namespace vellora
