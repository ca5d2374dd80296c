#pragma once

// The exercise area's content files: the introduction "inhalt/uebung.dat" and the three test
// formats ".slf" (self-check), ".mpc" (multiple choice) and ".lkt" (cloze). All text is cp1252,
// numbers are little-endian, a string is a 32-bit signed byte count and its bytes.
//
// The readers return plain records; the exercise screen builds its widgets (the cloze gap
// boxes) from them. A damaged test file (a negative count or length, one that cannot fit in
// the rest of the file, a file that ends inside a field, a cloze text whose gap markers do not
// match its gap count) is refused with a TestFileError naming the file and the byte offset;
// no reader reads or allocates beyond the file.

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <stdexcept>

namespace vellora {

constexpr int kTestIdSize = 16;
constexpr int kTestsPerKind = 11; // tests/test0 .. tests/test10
constexpr int kMaxShownOptions = 16;

struct TTestInfo
{
    QByteArray ID; // exactly 16 bytes; first byte 'S', 'M' or 'L' names the kind
    QByteArray Title;

    bool operator==(const TTestInfo &) const = default;
};

struct TSLFQuestion
{
    QByteArray Question;
    QByteArray Answer;

    bool operator==(const TSLFQuestion &) const = default;
};

struct TSLFTest
{
    TTestInfo Info;
    int32_t Count = 0;
    int32_t Right = 0;
    QList<TSLFQuestion> Questions;
    int32_t Current = 0;

    bool operator==(const TSLFTest &) const = default;
};

struct TMPCQuestion
{
    QByteArray Question;
    uint16_t Answer = 0; // bit k set: option k is right
    int32_t Count = 0;
    QList<QByteArray> Options;

    bool operator==(const TMPCQuestion &) const = default;
};

struct TMPCTest
{
    TTestInfo Info;
    int32_t Count = 0;
    int32_t Right = 0;
    QList<TMPCQuestion> Questions;
    int32_t Current = 0;

    bool operator==(const TMPCTest &) const = default;
};

struct TWord
{
    int32_t Count = 0;
    QList<QByteArray> Words;

    bool operator==(const TWord &) const = default;
};

struct TLKTTest
{
    TTestInfo Info;
    int32_t Count = 0;  // number of gaps
    QByteArray Text;    // words separated by blanks, gaps written "#" + width digits
    QList<TWord> Words; // accepted answers, one TWord per gap in text order

    bool operator==(const TLKTTest &) const = default;
};

enum class TestKind { Unknown, SelfCheck, MultipleChoice, Cloze };

// Refusal of a damaged or unreadable test file; what() is a German message for the learner.
class TestFileError : public std::runtime_error
{
  public:
    TestFileError(const QString &path, qint64 offset, const QString &message);
    QString path() const { return m_path; }
    qint64 offset() const { return m_offset; } // -1 when the file could not be opened
  private:
    QString m_path;
    qint64 m_offset = -1;
};

// "inhalt/uebung.dat" read whole, byte for byte (std::runtime_error naming the file).
QByteArray LoadIntroduction();
QByteArray LoadIntroduction(const QString &path);

// Program folder + "tests/test" + N + extension, extension ".slf", ".mpc" or ".lkt".
QString testPath(TestKind kind, int number);
QString testExtension(TestKind kind);
// The extension decides, compared with A-Z folded to a-z: "Zelle.LKT" is a cloze test.
TestKind testKindOfPath(const QString &path);

// The 16-byte ID and the title only; the body is not read.
TTestInfo LoadTestHeader(const QString &path);

// Read the whole file; Right and Current are 0.
TSLFTest LoadSelfCheckTest(const QString &path);
TMPCTest LoadMultipleChoiceTest(const QString &path);
TLKTTest LoadClozeTest(const QString &path);

// The same on bytes already read; fileName only names the file in errors.
TTestInfo parseTestHeader(const QByteArray &bytes, const QString &fileName);
TSLFTest parseSelfCheckTest(const QByteArray &bytes, const QString &fileName);
TMPCTest parseMultipleChoiceTest(const QByteArray &bytes, const QString &fileName);
TLKTTest parseClozeTest(const QByteArray &bytes, const QString &fileName);

// Writers. Count fields are written from the lists (Questions.size(), Options.size(),
// Words.size()), so a record whose counts disagree with its lists cannot produce a bad file.
// An ID that is not 16 bytes throws std::invalid_argument.
QByteArray serializeSelfCheckTest(const TSLFTest &test);
QByteArray serializeMultipleChoiceTest(const TMPCTest &test);
QByteArray serializeClozeTest(const TLKTTest &test);

// Gap markers of a cloze text: every '#' starts one, followed by its decimal width digits.
struct ClozeGap
{
    qsizetype offset = 0; // of the '#'
    qsizetype length = 0; // '#' and digits
    int width = 0;        // in characters, counted double when drawn
};
// A '#' without a digit after it gives width -1.
QList<ClozeGap> clozeGaps(const QByteArray &text);

} // namespace vellora
