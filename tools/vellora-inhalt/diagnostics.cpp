// Problems of a run, and the one place text becomes cp1252.

#include "inhalt.h"
#include "yamlutil.h"

#include "base/cp1252.h"

namespace vellora::inhalt {

void Diagnostics::error(const QString &file, int line, const QString &message)
{
    m_messages << (line > 0 ? QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(message)
                            : QStringLiteral("%1: %2").arg(file, message));
}

void Diagnostics::warning(const QString &file, int line, const QString &message)
{
    m_warnings << (line > 0 ? QStringLiteral("%1:%2: Warnung: %3").arg(file).arg(line).arg(message)
                            : QStringLiteral("%1: Warnung: %2").arg(file, message));
}

void Diagnostics::check() const
{
    if (!ok())
        throw CompileError(m_messages);
}

CompileError::CompileError(const QStringList &m)
    : std::runtime_error(toStd(m.join(QLatin1Char('\n')))), messages(m)
{
}

QByteArray toCp1252Checked(const QString &text, const QString &file, int line, const QString &field,
                           Diagnostics &diag)
{
    bool ok = false;
    const QByteArray bytes = toCp1252(text, &ok);
    if (!ok) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (!representableInCp1252(text.mid(i, 1))) {
                diag.error(file, line,
                           QStringLiteral("%1: das Zeichen \u201E%2\u201C (U+%3) gibt es in cp1252 nicht.")
                               .arg(field, text.mid(i, 1))
                               .arg(text[i].unicode(), 4, 16, QLatin1Char('0')));
                break;
            }
        }
    }
    return bytes;
}

} // namespace vellora::inhalt
