#include "bilder.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <stdexcept>

namespace vellora::bilder {

namespace {

[[noreturn]] void fail(const QString &file, int line, const QString &message)
{
    throw std::runtime_error(
        QStringLiteral("%1:%2: %3").arg(QFileInfo(file).fileName()).arg(line).arg(message).toStdString());
}

QString text(const YAML::Node &node)
{
    return QString::fromStdString(node.as<std::string>());
}

int lineOf(const YAML::Node &node)
{
    return node.Mark().line + 1;
}

int integer(const YAML::Node &node, const QString &file, const QString &what, int max)
{
    bool ok = false;
    const int v = node.IsScalar() ? text(node).toInt(&ok) : -1;
    if (!ok || v < 0 || v > max)
        fail(file, lineOf(node), QStringLiteral("%1 muss eine Zahl von 0 bis %2 sein.").arg(what).arg(max));
    return v;
}

constexpr int kLastOrganelle = 10;
constexpr int kLastMesh = 24;
constexpr int kStemMax = 8;

} // namespace

QList<PictureSource> readSources(const QString &path)
{
    YAML::Node root;
    try {
        root = YAML::LoadFile(path.toStdString());
    } catch (const YAML::BadFile &) {
        throw std::runtime_error(QStringLiteral("Die Bildquellen \u201E%1\u201C lassen sich nicht lesen.")
                                     .arg(path)
                                     .toStdString());
    } catch (const YAML::Exception &e) {
        fail(path, e.mark.line + 1, QString::fromStdString(e.msg));
    }
    if (!root.IsMap() || !root["pictures"] || !root["pictures"].IsSequence())
        fail(path, 1, QStringLiteral("Erwartet wird eine Liste \u201Epictures:\u201C."));

    static const QRegularExpression stem(QStringLiteral("^[A-Za-z0-9_-]+$"));
    QList<PictureSource> out;
    QSet<QString> seen;
    for (const YAML::Node &item : root["pictures"]) {
        PictureSource src;
        src.line = lineOf(item);
        if (!item.IsMap())
            fail(path, src.line, QStringLiteral("Jedes Bild ist eine Zuordnung mit \u201Efile\u201C."));
        for (const auto &kv : item) {
            const QString key = text(kv.first);
            if (key != QLatin1String("file") && key != QLatin1String("render") &&
                key != QLatin1String("diagram") && key != QLatin1String("labels"))
                fail(path, lineOf(kv.first),
                     QStringLiteral("Unbekannter Schlüssel \u201E%1\u201C.").arg(key));
        }
        if (!item["file"] || !item["file"].IsScalar())
            fail(path, src.line, QStringLiteral("Der Dateiname \u201Efile\u201C fehlt."));
        src.file = text(item["file"]);
        if (src.file.size() > kStemMax || !stem.match(src.file).hasMatch())
            fail(path, lineOf(item["file"]),
                 QStringLiteral("Der Bildname \u201E%1\u201C muss 1 bis %2 Zeichen aus A-Z, a-z, 0-9, "
                                "\u201E-\u201C und \u201E_\u201C haben.")
                     .arg(src.file)
                     .arg(kStemMax));
        if (seen.contains(src.file))
            fail(path, lineOf(item["file"]),
                 QStringLiteral("Das Bild \u201E%1\u201C steht zweimal in der Liste.").arg(src.file));
        seen.insert(src.file);

        const bool render = bool(item["render"]), diagram = bool(item["diagram"]);
        if (render == diagram)
            fail(path, src.line,
                 QStringLiteral("Das Bild \u201E%1\u201C braucht genau eines von \u201Erender\u201C und "
                                "\u201Ediagram\u201C.")
                     .arg(src.file));
        if (render) {
            if (item["labels"])
                fail(path, lineOf(item["labels"]), QStringLiteral("Nur Zeichnungen haben Beschriftungen."));
            const YAML::Node r = item["render"];
            if (r.IsScalar() && text(r) == QLatin1String("whole")) {
                src.kind = PictureSource::Kind::Whole;
            } else if (r.IsMap() && r["part"]) {
                src.kind = PictureSource::Kind::Part;
                src.part = integer(r["part"], path, QStringLiteral("\u201Epart\u201C"), kLastMesh);
                if (!r["detail"])
                    fail(path, lineOf(r),
                         QStringLiteral("Zu \u201Epart\u201C gehört \u201Edetail\u201C, die Ansicht, falls "
                                        "der Teil nicht gefunden wird."));
                src.detail = integer(r["detail"], path, QStringLiteral("\u201Edetail\u201C"), kLastOrganelle);
            } else if (r.IsMap() && r["detail"]) {
                src.kind = PictureSource::Kind::Detail;
                src.detail = integer(r["detail"], path, QStringLiteral("\u201Edetail\u201C"), kLastOrganelle);
            } else {
                fail(path, lineOf(r),
                     QStringLiteral(
                         "\u201Erender\u201C ist \u201Ewhole\u201C, {detail: N} oder {part: M, detail: N}."));
            }
        } else {
            src.kind = PictureSource::Kind::Diagram;
            src.diagram = text(item["diagram"]);
            QStringList keys;
            try {
                keys = diagramLabelKeys(src.diagram);
            } catch (const std::runtime_error &e) {
                fail(path, lineOf(item["diagram"]), QString::fromStdString(e.what()));
            }
            const YAML::Node labels = item["labels"];
            if (!labels || !labels.IsMap())
                fail(path, src.line,
                     QStringLiteral(
                         "Die Zeichnung \u201E%1\u201C braucht ihre Beschriftungen unter \u201Elabels\u201C.")
                         .arg(src.diagram));
            for (const auto &kv : labels) {
                const QString key = text(kv.first);
                if (!keys.contains(key))
                    fail(path, lineOf(kv.first),
                         QStringLiteral(
                             "Die Zeichnung \u201E%1\u201C kennt die Beschriftung \u201E%2\u201C nicht.")
                             .arg(src.diagram, key));
                if (!kv.second.IsScalar() || text(kv.second).trimmed().isEmpty())
                    fail(path, lineOf(kv.second),
                         QStringLiteral("Die Beschriftung \u201E%1\u201C ist leer.").arg(key));
                src.labels.insert(key, text(kv.second));
            }
            for (const QString &key : keys)
                if (!src.labels.contains(key))
                    fail(path, lineOf(labels),
                         QStringLiteral("Der Zeichnung \u201E%1\u201C fehlt die Beschriftung \u201E%2\u201C.")
                             .arg(src.diagram, key));
        }
        out << src;
    }
    return out;
}

QImage cutRendering(const QImage &shot, const QSize &size)
{
    const QImage img = shot.convertToFormat(QImage::Format_RGB32);
    auto isBackground = [](QRgb p) {
        return std::abs(qRed(p) - kModelBackground.red()) <= 3 &&
               std::abs(qGreen(p) - kModelBackground.green()) <= 3 &&
               std::abs(qBlue(p) - kModelBackground.blue()) <= 3;
    };
    int x0 = img.width(), y0 = img.height(), x1 = -1, y1 = -1;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (!isBackground(row[x])) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    }
    QRectF box = x1 < 0 ? QRectF(img.rect()) : QRectF(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
    // Room around the model, then the target's aspect.
    const qreal margin = std::max(box.width(), box.height()) * 0.06 + 4;
    box.adjust(-margin, -margin, margin, margin);
    // A close-up that fills its shot keeps its edges: no frame of background around it.
    box = box.intersected(QRectF(img.rect()));
    const qreal aspect = qreal(size.width()) / size.height();
    if (box.width() / box.height() < aspect)
        box = QRectF(box.center().x() - box.height() * aspect / 2, box.top(), box.height() * aspect,
                     box.height());
    else
        box = QRectF(box.left(), box.center().y() - box.width() / aspect / 2, box.width(),
                     box.width() / aspect);
    // Inside the shot where possible; what still sticks out is filled with the background.
    if (box.width() <= img.width())
        box.moveLeft(std::clamp(box.left(), 0.0, img.width() - box.width()));
    if (box.height() <= img.height())
        box.moveTop(std::clamp(box.top(), 0.0, img.height() - box.height()));
    const QRect r = box.toAlignedRect();
    QImage cut(r.size(), QImage::Format_RGB32);
    cut.fill(kModelBackground);
    {
        QPainter p(&cut);
        p.drawImage(QPoint(0, 0), img, r);
    }
    return cut.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage makePicture(const PictureSource &source, const QString &shotsDir)
{
    auto load = [&](const QString &name) {
        QImage img(shotsDir + QLatin1Char('/') + name);
        if (img.isNull())
            throw std::runtime_error(QStringLiteral("Die Aufnahme \u201E%1\u201C fehlt in %2 (zelle-shot).")
                                         .arg(name, shotsDir)
                                         .toStdString());
        return img;
    };
    switch (source.kind) {
    case PictureSource::Kind::Diagram:
        return drawDiagram(source.diagram, source.labels);
    case PictureSource::Kind::Whole:
        return cutRendering(load(QStringLiteral("whole.png")), QSize(400, 300));
    case PictureSource::Kind::Detail:
        return cutRendering(load(QStringLiteral("detail%1.png").arg(source.detail)), QSize(400, 300));
    case PictureSource::Kind::Part: {
        const QString part = QStringLiteral("part%1.png").arg(source.part);
        if (QFileInfo::exists(shotsDir + QLatin1Char('/') + part))
            return cutRendering(load(part), QSize(320, 320));
        return cutRendering(load(QStringLiteral("detail%1.png").arg(source.detail)), QSize(400, 300));
    }
    }
    return {};
}

bool writeBmp(const QImage &image, const QString &path)
{
    return image.convertToFormat(QImage::Format_RGB888).save(path, "BMP");
}

} // namespace vellora::bilder
