#pragma once

// The three test kinds share the handling: a damaged file is refused with a TestFileError that
// names the file and an offset inside it; an accepted one writes back to its own leading bytes.
#include "fuzz_util.h"
#include "testfiles.h"

namespace fuzz {

template <typename Parse, typename Write>
void testFile(const uint8_t *data, size_t size, Parse parse, Write write)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString name = QStringLiteral("kaputt.test");
    try {
        (void)vellora::parseTestHeader(bytes, name);
    } catch (const vellora::TestFileError &e) {
        FUZZ_CHECK(e.path() == name && e.offset() >= 0 && e.offset() <= bytes.size());
    }
    try {
        const auto test = parse(bytes, name);
        FUZZ_CHECK(test.Count >= 0);
        const QByteArray written = write(test);
        FUZZ_CHECK(bytes.startsWith(written));
        FUZZ_CHECK(parse(written, name) == test);
    } catch (const vellora::TestFileError &e) {
        FUZZ_CHECK(e.path() == name && e.offset() >= 0 && e.offset() <= bytes.size());
        FUZZ_CHECK(QString::fromUtf8(e.what()).contains(name));
    }
}

} // namespace fuzz
