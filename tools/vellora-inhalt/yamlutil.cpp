#include "yamlutil.h"

#include <QFile>
#include <QStringDecoder>

namespace vellora::inhalt {

QString fromStd(const std::string &s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

std::string toStd(const QString &s)
{
    const QByteArray u = s.toUtf8();
    return std::string(u.constData(), size_t(u.size()));
}

int lineOf(const YAML::Node &node)
{
    if (!node.IsDefined())
        return -1;
    const YAML::Mark m = node.Mark();
    return m.is_null() ? -1 : m.line + 1;
}

namespace {

std::optional<QString> readUtf8(const QString &file, Diagnostics &diag)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        diag.error(file, QStringLiteral("Die Datei kann nicht gelesen werden."));
        return std::nullopt;
    }
    const QByteArray bytes = f.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(bytes);
    if (decoder.hasError()) {
        diag.error(file, QStringLiteral("Die Datei ist nicht in UTF-8 geschrieben."));
        return std::nullopt;
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

std::optional<YAML::Node> loadYamlFile(const QString &file, Diagnostics &diag)
{
    const std::optional<QString> text = readUtf8(file, diag);
    if (!text)
        return std::nullopt;
    try {
        return YAML::Load(toStd(*text));
    } catch (const YAML::Exception &e) {
        diag.error(file, e.mark.is_null() ? -1 : e.mark.line + 1,
                   QStringLiteral("YAML-Fehler: %1").arg(fromStd(e.msg)));
        return std::nullopt;
    }
}

std::optional<QString> loadTextFile(const QString &file, Diagnostics &diag)
{
    std::optional<QString> text = readUtf8(file, diag);
    if (text) {
        text->replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text->replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return text;
}

bool checkMap(const YAML::Node &node, std::initializer_list<const char *> allowed, const QString &file,
              const QString &what, Diagnostics &diag)
{
    if (!node.IsMap()) {
        diag.error(file, lineOf(node),
                   QStringLiteral("%1 muss aus Schlüsseln mit Werten bestehen (\u201Eschlüssel: wert\u201C).")
                       .arg(what));
        return false;
    }
    bool ok = true;
    for (const auto &kv : node) {
        const std::string key = kv.first.Scalar();
        bool known = false;
        for (const char *a : allowed)
            known = known || key == a;
        if (!known) {
            QStringList names;
            for (const char *a : allowed)
                names << QString::fromLatin1(a);
            diag.error(file, lineOf(kv.first),
                       QStringLiteral("Unbekannter Schlüssel \u201E%1\u201C in %2 (erlaubt: %3).")
                           .arg(fromStd(key), what, names.join(QStringLiteral(", "))));
            ok = false;
        }
    }
    return ok;
}

std::optional<QString> scalarText(const YAML::Node &map, const char *key, const QString &file,
                                  Diagnostics &diag, bool required)
{
    const YAML::Node node = map[key];
    if (!node.IsDefined() || node.IsNull()) {
        if (required)
            diag.error(file, lineOf(map),
                       QStringLiteral("Der Schlüssel \u201E%1\u201C fehlt.").arg(QString::fromLatin1(key)));
        return std::nullopt;
    }
    if (!node.IsScalar()) {
        diag.error(
            file, lineOf(node),
            QStringLiteral("\u201E%1\u201C muss ein einfacher Text sein.").arg(QString::fromLatin1(key)));
        return std::nullopt;
    }
    return fromStd(node.Scalar());
}

bool isExact(const YAML::Node &node)
{
    return node.IsDefined() && node.Tag() == "!exact";
}

} // namespace vellora::inhalt
