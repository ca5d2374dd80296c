// "index.usr": every line is kept; a valid one has its three fields, a plain file name, and
// writes back to the same line.
#include "fuzz_util.h"
#include "profilefiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace vellora::profiles;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<IndexLine> lines = readIndex(bytes);
    QList<QByteArray> text;
    for (const IndexLine &l : lines) {
        FUZZ_CHECK(!l.Line.contains('\n'));
        if (l.Valid) {
            FUZZ_CHECK(plainFileName(l.User.FileName));
            FUZZ_CHECK(indexLine(l.User) == l.Line);
        }
        text.append(l.Line);
    }
    const QList<IndexLine> again = readIndex(writeIndex(text));
    FUZZ_CHECK(again.size() == lines.size());
    for (qsizetype i = 0; i < again.size(); ++i)
        FUZZ_CHECK(again[i].Line == lines[i].Line && again[i].Valid == lines[i].Valid);
    return 0;
}
