#include "diagrams.h"

#include "draw.h"

#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <functional>
#include <stdexcept>
#include <vector>

namespace vellora::bilder {

namespace {

// The label texts of one figure; asking for a key the sources do not give is an error there.
class Texts
{
  public:
    explicit Texts(const Labels &labels) : labels_(labels) {}
    QString operator()(const QString &key) const
    {
        const auto it = labels_.find(key);
        if (it == labels_.end())
            throw std::runtime_error(
                QStringLiteral("Die Beschriftung \u201E%1\u201C fehlt.").arg(key).toStdString());
        return *it;
    }

  private:
    const Labels &labels_;
};

struct Figure
{
    QString name;
    int width, height;
    QStringList keys;
    std::function<void(QPainter &, const Texts &, int, int)> draw;
};

// Colours of the cell parts, close to the model's so that figure and rendering match.
const QColor kWall(150, 120, 60), kWallFill(205, 185, 120);
const QColor kCytoplasm(226, 240, 205);
const QColor kVacuole(190, 215, 240), kVacuoleLine(90, 130, 180);
const QColor kNucleus(170, 140, 200), kNucleusLine(100, 70, 140);
const QColor kChloro(80, 160, 70), kChloroDark(35, 100, 40), kStroma(205, 232, 180);
const QColor kMito(240, 170, 110), kMitoLine(180, 90, 40), kMitoInner(250, 215, 170);
const QColor kWater(70, 130, 210), kWaterFill(215, 232, 250);
const QColor kSugar(230, 140, 40);
const QColor kEnergy(225, 180, 20);

void ellipse(QPainter &p, const QPointF &c, qreal rx, qreal ry, const QColor &fill, const QColor &line,
             qreal width = 2)
{
    p.setPen(line.isValid() ? QPen(line, width) : QPen(Qt::NoPen));
    p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    p.drawEllipse(c, rx, ry);
}

void roundRect(QPainter &p, const QRectF &r, qreal radius, const QColor &fill, const QColor &line,
               qreal width = 2)
{
    p.setPen(line.isValid() ? QPen(line, width) : QPen(Qt::NoPen));
    p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
    p.drawRoundedRect(r, radius, radius);
}

// Phospholipid with its head at `head`, tails pointing `dir` (+1 down, -1 up).
void lipid(QPainter &p, const QPointF &head, int dir, qreal len)
{
    p.setPen(QPen(QColor(200, 150, 40), 1.6));
    p.setBrush(Qt::NoBrush);
    for (const qreal dx : {-3.0, 3.0}) {
        QPainterPath tail(head + QPointF(dx, 0));
        const int waves = 3;
        for (int k = 1; k <= waves; ++k) {
            const qreal y = head.y() + dir * len * k / waves;
            const qreal yMid = head.y() + dir * len * (k - 0.5) / waves;
            tail.quadTo(QPointF(head.x() + dx + ((k % 2) ? 2.5 : -2.5), yMid), QPointF(head.x() + dx, y));
        }
        p.drawPath(tail);
    }
    ellipse(p, head, 7, 7, QColor(70, 140, 200), QColor(30, 80, 140), 1.2);
}

void drawMembran(QPainter &p, const Texts &t, int w, int h)
{
    heading(p, w, t("titel"));
    const qreal x0 = 178, x1 = w - 12;
    const qreal topHeads = 128, bottomHeads = 262, tail = 58;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(232, 243, 252));
    p.drawRect(QRectF(x0 - 12, 44, x1 - x0 + 24, topHeads - 44));
    p.setBrush(QColor(240, 247, 228));
    p.drawRect(QRectF(x0 - 12, bottomHeads, x1 - x0 + 24, h - bottomHeads - 8));
    const qreal proteinLeft = 330, proteinRight = 392;
    for (qreal x = x0; x <= x1; x += 17) {
        if (x > proteinLeft - 8 && x < proteinRight + 8)
            continue;
        lipid(p, QPointF(x, topHeads), 1, tail);
        lipid(p, QPointF(x, bottomHeads), -1, tail);
    }
    // A channel protein through both layers.
    QPainterPath protein;
    protein.addRoundedRect(
        QRectF(proteinLeft, topHeads - 24, proteinRight - proteinLeft, bottomHeads - topHeads + 48), 22, 22);
    p.setPen(QPen(QColor(120, 60, 120), 2));
    p.setBrush(QColor(200, 150, 200));
    p.drawPath(protein);
    p.setBrush(QColor(232, 243, 252));
    p.drawRoundedRect(
        QRectF((proteinLeft + proteinRight) / 2 - 6, topHeads - 10, 12, bottomHeads - topHeads + 20), 5, 5);
    arrow(p, QPointF((proteinLeft + proteinRight) / 2, topHeads - 40),
          QPointF((proteinLeft + proteinRight) / 2, topHeads + 30), kWater, 2.5);

    caption(p, QRectF(x0 - 8, 48, 140, 22), t("aussen"), Qt::AlignLeft | Qt::AlignTop, 14, true);
    caption(p, QRectF(x0 - 8, h - 30, 200, 22), t("innen"), Qt::AlignLeft | Qt::AlignTop, 14, true);
    leader(p, QPointF(x0 + 17, topHeads), QPointF(10, topHeads), t("kopf"), Qt::AlignLeft | Qt::AlignVCenter,
           14);
    leader(p, QPointF(x0 + 34 + 3, (topHeads + bottomHeads) / 2 - 12),
           QPointF(10, (topHeads + bottomHeads) / 2), t("schwanz"), Qt::AlignLeft | Qt::AlignVCenter, 14);
    leader(p, QPointF(x0 + 51, bottomHeads), QPointF(10, bottomHeads), t("kopf"),
           Qt::AlignLeft | Qt::AlignVCenter, 14);
    leader(p, QPointF(proteinRight - 4, bottomHeads + 14), QPointF(w - 10, bottomHeads + 50), t("protein"),
           Qt::AlignRight | Qt::AlignVCenter, 14);
    caption(p, QRectF(8, 300, x0 - 30, 50), t("dicke"), Qt::AlignLeft | Qt::AlignTop, 13);
}

void drawChloroplast(QPainter &p, const Texts &t, int w, int)
{
    heading(p, w, t("titel"));
    const QPointF c(w / 2.0, 182);
    ellipse(p, c, 205, 96, kStroma, kChloroDark, 3);
    ellipse(p, c, 196, 87, QColor(), kChloroDark, 1.6);
    // Lamellae between the grana.
    p.setPen(QPen(kChloro, 3));
    p.drawLine(QPointF(95, 170), QPointF(385, 170));
    p.drawLine(QPointF(120, 196), QPointF(360, 190));
    const qreal grana[][2] = {{120, 176}, {200, 170}, {282, 184}, {362, 174}};
    for (const auto &g : grana)
        for (int k = 0; k < 6; ++k)
            roundRect(p, QRectF(g[0] - 23, g[1] - 27 + k * 9, 46, 7), 3.5, kChloro, kChloroDark, 1.2);
    ellipse(p, QPointF(240, 236), 28, 13, QColor(250, 250, 250), QColor(150, 150, 150), 1.5);
    // DNA ring and ribosomes in the stroma.
    QPainterPath dna;
    for (int i = 0; i <= 40; ++i) {
        const qreal a = i * 2 * M_PI / 40;
        const QPointF q(150 + 16 * std::cos(a) + 2.5 * std::sin(5 * a), 236 + 9 * std::sin(a));
        if (i == 0)
            dna.moveTo(q);
        else
            dna.lineTo(q);
    }
    p.setPen(QPen(QColor(190, 40, 40), 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(dna);
    const qreal ribo[][2] = {{90, 200},  {160, 132}, {245, 136}, {322, 216}, {330, 140},
                             {400, 205}, {300, 240}, {200, 214}, {110, 150}};
    for (const auto &r : ribo)
        ellipse(p, QPointF(r[0], r[1]), 3, 3, QColor(60, 60, 120), QColor(), 0);

    leader(p, QPointF(120, 152), QPointF(30, 58), t("granum"));
    leader(p, QPointF(218, 196), QPointF(150, 58), t("thylakoid"));
    leader(p, QPointF(330, 92), QPointF(w - 10, 58), t("huelle"), Qt::AlignRight | Qt::AlignVCenter);
    leader(p, QPointF(150, 245), QPointF(40, 318), t("dna"));
    leader(p, QPointF(240, 236), QPointF(180, 318), t("staerke"));
    leader(p, QPointF(330, 236), QPointF(330, 318), t("stroma"));
    leader(p, QPointF(400, 205), QPointF(w - 12, 262), t("ribosom"), Qt::AlignRight | Qt::AlignVCenter);
}

void drawMitochondrion(QPainter &p, const Texts &t, int w, int h)
{
    Q_UNUSED(h);
    heading(p, w, t("titel"));
    const QPointF c(w / 2.0, 182);
    roundRect(p, QRectF(c.x() - 205, c.y() - 90, 410, 180), 88, kMito, kMitoLine, 3);
    roundRect(p, QRectF(c.x() - 193, c.y() - 78, 386, 156), 76, kMitoInner, kMitoLine, 2);
    // Cristae: folds of the inner membrane reaching into the matrix from both sides.
    for (int k = 0; k < 7; ++k) {
        const qreal x = c.x() - 150 + k * 50;
        const bool fromTop = k % 2 == 0;
        const qreal len = 88;
        const QRectF r(x - 8, fromTop ? c.y() - 80 : c.y() + 80 - len, 16, len);
        roundRect(p, r, 8, kMito, kMitoLine, 2);
        // Hide the inner membrane where the fold opens into it.
        p.setPen(Qt::NoPen);
        p.setBrush(kMito);
        p.drawRect(QRectF(x - 6, fromTop ? c.y() - 81 : c.y() + 72, 12, 9));
    }
    QPainterPath dna;
    for (int i = 0; i <= 40; ++i) {
        const qreal a = i * 2 * M_PI / 40;
        const QPointF q(c.x() + 25 + 14 * std::cos(a) + 2 * std::sin(5 * a), c.y() + 5 + 8 * std::sin(a));
        if (i == 0)
            dna.moveTo(q);
        else
            dna.lineTo(q);
    }
    p.setPen(QPen(QColor(190, 40, 40), 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(dna);
    const qreal ribo[][2] = {{c.x() - 125, c.y() + 30},
                             {c.x() - 75, c.y() - 30},
                             {c.x() + 80, c.y() + 35},
                             {c.x() + 125, c.y() - 25},
                             {c.x() - 25, c.y() - 10}};
    for (const auto &r : ribo)
        ellipse(p, QPointF(r[0], r[1]), 3, 3, QColor(60, 60, 120), QColor(), 0);

    leader(p, QPointF(c.x() - 120, c.y() - 87), QPointF(20, 58), t("aussen"));
    leader(p, QPointF(c.x() - 40, c.y() - 77), QPointF(180, 58), t("innen"));
    leader(p, QPointF(c.x() + 100, c.y() - 40), QPointF(340, 58), t("crista"));
    leader(p, QPointF(c.x() - 100, c.y() + 10), QPointF(30, 318), t("matrix"));
    leader(p, QPointF(c.x() + 25, c.y() + 13), QPointF(190, 318), t("dna"));
    leader(p, QPointF(c.x() + 80, c.y() + 35), QPointF(330, 318), t("ribosom"));
}

// A little sun with rays.
void sun(QPainter &p, const QPointF &c, qreal r)
{
    p.setPen(QPen(kEnergy, 2.5));
    for (int k = 0; k < 12; ++k) {
        const qreal a = k * M_PI / 6;
        p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * (r + 4),
                   c + QPointF(std::cos(a), std::sin(a)) * (r + 12));
    }
    ellipse(p, c, r, r, QColor(250, 215, 60), kEnergy, 2);
}

void leaf(QPainter &p, const QPointF &c, qreal len)
{
    QPainterPath path(c + QPointF(-len / 2, 0));
    path.quadTo(c + QPointF(0, -len * 0.42), c + QPointF(len / 2, 0));
    path.quadTo(c + QPointF(0, len * 0.42), c + QPointF(-len / 2, 0));
    p.setPen(QPen(kChloroDark, 2));
    p.setBrush(kChloro);
    p.drawPath(path);
    p.setPen(QPen(kChloroDark, 1.5));
    p.drawLine(c + QPointF(-len / 2, 0), c + QPointF(len / 2 - 8, 0));
    for (int k = -2; k <= 2; ++k) {
        const qreal x = c.x() + k * len / 7;
        p.drawLine(QPointF(x, c.y()), QPointF(x + len / 12, c.y() - len / 7));
        p.drawLine(QPointF(x, c.y()), QPointF(x + len / 12, c.y() + len / 7));
    }
}

void mitoSymbol(QPainter &p, const QPointF &c, qreal rx, qreal ry)
{
    roundRect(p, QRectF(c.x() - rx, c.y() - ry, 2 * rx, 2 * ry), ry, kMito, kMitoLine, 2.5);
    roundRect(p, QRectF(c.x() - rx + 8, c.y() - ry + 8, 2 * rx - 16, 2 * ry - 16), ry - 8, kMitoInner,
              kMitoLine, 1.5);
    p.setPen(QPen(kMitoLine, 2));
    for (int k = 0; k < 5; ++k) {
        const qreal x = c.x() - rx + 26 + k * (2 * rx - 52) / 4;
        const bool top = k % 2 == 0;
        p.drawLine(QPointF(x, top ? c.y() - ry + 8 : c.y() + ry - 8),
                   QPointF(x, top ? c.y() + 8 : c.y() - 8));
    }
}

void drawFotosynthese(QPainter &p, const Texts &t, int w, int h)
{
    heading(p, w, t("titel"));
    const QPointF c(235, 185);
    sun(p, QPointF(60, 80), 20);
    leaf(p, c, 170);
    arrow(p, QPointF(82, 98), QPointF(165, 150), kEnergy, 3);
    caption(p, QRectF(100, 84, 120, 20), t("licht"), Qt::AlignLeft | Qt::AlignTop, 15, true);
    arrow(p, QPointF(20, 200), QPointF(140, 195), QColor(120, 120, 120), 3);
    caption(p, QRectF(8, 206, 150, 40), t("kohlendioxid"), Qt::AlignLeft | Qt::AlignTop);
    arrow(p, QPointF(110, 300), QPointF(190, 232), kWater, 3);
    caption(p, QRectF(8, 290, 160, 40), t("wasser"), Qt::AlignLeft | Qt::AlignTop);
    arrow(p, QPointF(320, 162), QPointF(420, 112), QColor(90, 170, 220), 3);
    caption(p, QRectF(330, 70, 145, 40), t("sauerstoff"), Qt::AlignRight | Qt::AlignTop);
    arrow(p, QPointF(320, 210), QPointF(420, 262), kSugar, 3);
    caption(p, QRectF(300, 270, 175, 40), t("zucker"), Qt::AlignRight | Qt::AlignTop);
    caption(p, QRectF(c.x() - 60, c.y() + 44, 180, 20), t("ort"), Qt::AlignHCenter | Qt::AlignTop, 13);
    formulaCentred(p, w / 2.0, h - 14, t("gleichung"), 17);
}

void drawZellatmung(QPainter &p, const Texts &t, int w, int h)
{
    heading(p, w, t("titel"));
    const QPointF c(240, 178);
    mitoSymbol(p, c, 85, 45);
    arrow(p, QPointF(20, 120), QPointF(148, 160), kSugar, 3);
    caption(p, QRectF(8, 80, 160, 40), t("zucker"), Qt::AlignLeft | Qt::AlignTop);
    arrow(p, QPointF(20, 240), QPointF(148, 198), QColor(90, 170, 220), 3);
    caption(p, QRectF(8, 246, 160, 40), t("sauerstoff"), Qt::AlignLeft | Qt::AlignTop);
    arrow(p, QPointF(332, 160), QPointF(455, 120), QColor(120, 120, 120), 3);
    caption(p, QRectF(300, 76, 172, 40), t("kohlendioxid"), Qt::AlignRight | Qt::AlignTop);
    arrow(p, QPointF(332, 198), QPointF(455, 240), kWater, 3);
    caption(p, QRectF(300, 246, 172, 40), t("wasser"), Qt::AlignRight | Qt::AlignTop);
    arrow(p, QPointF(c.x(), c.y() + 50), QPointF(c.x(), c.y() + 110), kEnergy, 5);
    caption(p, QRectF(c.x() - 90, c.y() + 112, 180, 22), t("energie"), Qt::AlignHCenter | Qt::AlignTop, 15,
            true);
    formulaCentred(p, w / 2.0, h - 14, t("gleichung"), 17);
}

void particles(QPainter &p, const QRectF &box, int count, qreal r, const QColor &fill, const QColor &line,
               unsigned seed)
{
    // A fixed little generator: the same picture on every build.
    unsigned s = seed;
    auto next = [&s]() {
        s = s * 1103515245u + 12345u;
        return ((s >> 16) & 0x7FFF) / 32767.0;
    };
    for (int i = 0; i < count; ++i)
        ellipse(p,
                QPointF(box.left() + r + next() * (box.width() - 2 * r),
                        box.top() + r + next() * (box.height() - 2 * r)),
                r, r, fill, line, 1);
}

void drawOsmose(QPainter &p, const Texts &t, int w, int h)
{
    heading(p, w, t("titel"));
    const qreal left = 40, right = w - 40, bottom = 270, mid = w / 2.0;
    const qreal levelLeft = 120, levelRight = 92;
    p.setPen(Qt::NoPen);
    p.setBrush(kWaterFill);
    p.drawRect(QRectF(left, levelLeft, mid - left, bottom - levelLeft));
    p.drawRect(QRectF(mid, levelRight, right - mid, bottom - levelRight));
    p.setPen(QPen(kInk, 2.5));
    p.drawLine(QPointF(left, 70), QPointF(left, bottom));
    p.drawLine(QPointF(left, bottom), QPointF(right, bottom));
    p.drawLine(QPointF(right, bottom), QPointF(right, 70));
    p.setPen(QPen(kWater, 1.5));
    p.drawLine(QPointF(left, levelLeft), QPointF(mid, levelLeft));
    p.drawLine(QPointF(mid, levelRight), QPointF(right, levelRight));
    particles(p, QRectF(left + 4, levelLeft + 4, mid - left - 14, bottom - levelLeft - 8), 46, 3, kWater,
              QColor(), 7);
    particles(p, QRectF(mid + 10, levelRight + 4, right - mid - 14, bottom - levelRight - 8), 30, 3, kWater,
              QColor(), 11);
    particles(p, QRectF(left + 8, levelLeft + 10, mid - left - 24, bottom - levelLeft - 20), 3, 8, kSugar,
              QColor(160, 90, 20), 3);
    particles(p, QRectF(mid + 14, levelRight + 10, right - mid - 24, bottom - levelRight - 20), 11, 8, kSugar,
              QColor(160, 90, 20), 5);
    p.setPen(QPen(QColor(90, 90, 90), 3, Qt::DashLine));
    p.drawLine(QPointF(mid, 76), QPointF(mid, bottom));
    arrow(p, QPointF(mid - 50, 200), QPointF(mid + 50, 200), kWater, 4);
    arrow(p, QPointF(right - 20, levelLeft + 4), QPointF(right - 20, levelRight + 4), kInk, 1.5);
    leader(p, QPointF(mid, 250), QPointF(mid + 20, 292), t("membran"), Qt::AlignLeft | Qt::AlignVCenter, 14);
    ellipse(p, QPointF(50, 292), 3, 3, kWater, QColor(), 0);
    caption(p, QRectF(60, 283, 150, 20), t("wasser"), Qt::AlignLeft | Qt::AlignVCenter, 14);
    ellipse(p, QPointF(50, 315), 7, 7, kSugar, QColor(160, 90, 20), 1);
    caption(p, QRectF(62, 306, 150, 20), t("zucker"), Qt::AlignLeft | Qt::AlignVCenter, 14);
    caption(p, QRectF(20, h - 44, w - 40, 40), t("richtung"), Qt::AlignHCenter | Qt::AlignTop, 14);
}

// A plant cell seen from above: wall, cytoplasm, vacuole; `shrink` pulls the protoplast away
// from the wall (plasmolysis), 0 presses it against the wall.
void plantCellSection(QPainter &p, const QRectF &r, qreal shrink)
{
    roundRect(p, r, 6, kWallFill, kWall, 2);
    const QRectF inner = r.adjusted(7, 7, -7, -7);
    roundRect(p, inner, 4, kPaper, QColor(), 0);
    const QRectF plast = inner.adjusted(shrink, shrink * 1.2, -shrink, -shrink * 1.2);
    roundRect(p, plast, 4 + shrink, kCytoplasm, QColor(90, 140, 60), 1.5);
    const QRectF vac = plast.adjusted(10, 10, -10, -10);
    roundRect(p, vac, 4 + shrink, kVacuole, kVacuoleLine, 1.5);
    ellipse(p, QPointF(plast.left() + 16, plast.top() + 18), shrink > 0 ? 7 : 9, shrink > 0 ? 7 : 9, kNucleus,
            kNucleusLine, 1.2);
    ellipse(p, QPointF(plast.right() - 6, plast.center().y()), 3, 6, kChloro, kChloroDark, 1);
    ellipse(p, QPointF(plast.center().x(), plast.bottom() - 5), 6, 3, kChloro, kChloroDark, 1);
}

void drawPlasmolyse(QPainter &p, const Texts &t, int w, int h)
{
    heading(p, w, t("titel"));
    const QRectF a(30, 70, 120, 170), b(250, 70, 120, 170);
    plantCellSection(p, a, 0);
    plantCellSection(p, b, 24);
    arrow(p, QPointF(165, 120), QPointF(235, 120), kWater, 3);
    caption(p, QRectF(152, 50, 96, 64), t("hin"), Qt::AlignHCenter | Qt::AlignBottom, 13);
    arrow(p, QPointF(235, 190), QPointF(165, 190), kWater, 3);
    caption(p, QRectF(152, 196, 96, 64), t("zurueck"), Qt::AlignHCenter | Qt::AlignTop, 13);
    caption(p, QRectF(a.left() - 25, a.bottom() + 8, a.width() + 50, 64), t("wasser"),
            Qt::AlignHCenter | Qt::AlignTop, 14, true);
    caption(p, QRectF(b.left() - 25, b.bottom() + 8, b.width() + 50, 64), t("salz"),
            Qt::AlignHCenter | Qt::AlignTop, 14, true);
    leader(p, QPointF(b.right() - 3, b.top() + 20), QPointF(b.right() + 14, b.top() + 10), t("wand"),
           Qt::AlignLeft | Qt::AlignVCenter, 14);
    leader(p, QPointF(b.right() - 40, b.top() + 40), QPointF(b.right() + 14, b.top() + 48), t("plasma"),
           Qt::AlignLeft | Qt::AlignVCenter, 14);
    leader(p, QPointF(b.center().x(), b.center().y()), QPointF(b.right() + 14, b.center().y() + 10),
           t("vakuole"), Qt::AlignLeft | Qt::AlignVCenter, 14);
    leader(p, QPointF(b.right() - 16, b.bottom() - 14), QPointF(b.right() + 14, b.bottom() - 20), t("luecke"),
           Qt::AlignLeft | Qt::AlignVCenter, 14);
    Q_UNUSED(h);
}

// One chromosome of two chromatids joined at the centromere, centre c, drawn upright.
void chromosome(QPainter &p, const QPointF &c, qreal len, const QColor &color)
{
    p.setPen(QPen(color, 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-4, -len / 2), c + QPointF(-1, 0));
    p.drawLine(c + QPointF(-1, 0), c + QPointF(-4, len / 2));
    p.drawLine(c + QPointF(4, -len / 2), c + QPointF(1, 0));
    p.drawLine(c + QPointF(1, 0), c + QPointF(4, len / 2));
}

void drawMitose(QPainter &p, const Texts &t, int w, int h)
{
    heading(p, w, t("titel"));
    const QStringList phases = {t("prophase"), t("metaphase"), t("anaphase"), t("telophase"), t("tochter")};
    const qreal cw = 88, ch = 112, top = 60, gap = (w - 5 * cw) / 6.0;
    const QColor chrom1(170, 40, 60), chrom2(40, 70, 170);
    const QColor spindle(120, 160, 120);
    for (int k = 0; k < 5; ++k) {
        const QRectF cell(gap + k * (cw + gap), top, cw, ch);
        const QPointF c = cell.center();
        roundRect(p, cell, 5, kCytoplasm, kWall, 3);
        caption(p, QRectF(cell.left() - gap / 2, cell.bottom() + 6, cw + gap, 20), phases[k],
                Qt::AlignHCenter | Qt::AlignTop, 14, true);
        switch (k) {
        case 0:
            ellipse(p, c, 28, 28, QColor(225, 215, 240), kNucleusLine, 1.2);
            chromosome(p, c + QPointF(-10, -8), 18, chrom1);
            chromosome(p, c + QPointF(9, 6), 16, chrom2);
            chromosome(p, c + QPointF(-4, 14), 14, chrom2);
            chromosome(p, c + QPointF(12, -12), 14, chrom1);
            break;
        case 1: {
            p.setPen(QPen(spindle, 1));
            const QPointF up(c.x(), cell.top() + 10), down(c.x(), cell.bottom() - 10);
            for (int i = -2; i <= 2; ++i) {
                p.drawLine(up, QPointF(c.x() + i * 12, c.y()));
                p.drawLine(down, QPointF(c.x() + i * 12, c.y()));
            }
            for (int i = -1; i <= 1; i += 2) {
                chromosome(p, QPointF(c.x() + i * 6, c.y()) + QPointF(0, 0), 18, i < 0 ? chrom1 : chrom2);
            }
            p.save();
            p.translate(c);
            p.rotate(90);
            for (int i = -2; i <= 2; ++i)
                chromosome(p, QPointF(0, i * 12), 18, (i % 2) ? chrom1 : chrom2);
            p.restore();
            break;
        }
        case 2: {
            p.setPen(QPen(spindle, 1));
            const QPointF up(c.x(), cell.top() + 10), down(c.x(), cell.bottom() - 10);
            for (int i = -2; i <= 2; ++i) {
                p.drawLine(up, QPointF(c.x() + i * 10, c.y() - 24));
                p.drawLine(down, QPointF(c.x() + i * 10, c.y() + 24));
            }
            p.setPen(QPen(chrom1, 3, Qt::SolidLine, Qt::RoundCap));
            for (int i = -2; i <= 2; ++i) {
                p.setPen(QPen((i % 2) ? chrom1 : chrom2, 3, Qt::SolidLine, Qt::RoundCap));
                const qreal x = c.x() + i * 10;
                p.drawLine(QPointF(x - 4, c.y() - 14), QPointF(x, c.y() - 24));
                p.drawLine(QPointF(x + 4, c.y() - 14), QPointF(x, c.y() - 24));
                p.drawLine(QPointF(x - 4, c.y() + 14), QPointF(x, c.y() + 24));
                p.drawLine(QPointF(x + 4, c.y() + 14), QPointF(x, c.y() + 24));
            }
            break;
        }
        case 3:
            ellipse(p, c + QPointF(0, -30), 22, 14, QColor(225, 215, 240), kNucleusLine, 1.2);
            ellipse(p, c + QPointF(0, 30), 22, 14, QColor(225, 215, 240), kNucleusLine, 1.2);
            p.setPen(QPen(kWall, 2, Qt::DashLine));
            p.drawLine(QPointF(cell.left() + 14, c.y()), QPointF(cell.right() - 14, c.y()));
            break;
        default:
            p.setPen(QPen(kWall, 3));
            p.drawLine(QPointF(cell.left(), c.y()), QPointF(cell.right(), c.y()));
            ellipse(p, c + QPointF(0, -28), 16, 13, kNucleus, kNucleusLine, 1.2);
            ellipse(p, c + QPointF(0, 28), 16, 13, kNucleus, kNucleusLine, 1.2);
            break;
        }
    }
    const qreal x1 = gap + (cw + gap) + cw / 2;
    leader(p, QPointF(x1 - 14, top + 30), QPointF(x1 + 30, h - 50), t("spindel"),
           Qt::AlignLeft | Qt::AlignVCenter, 14);
    caption(p, QRectF(8, h - 36, w - 16, 34), t("hinweis"), Qt::AlignHCenter | Qt::AlignVCenter, 13);
}

void drawPflanzeTier(QPainter &p, const Texts &t, int w, int h)
{
    heading(p, w, t("titel"));
    // Plant cell: wall, large vacuole, chloroplasts, nucleus at the side.
    const QRectF plant(24, 76, 196, 200);
    roundRect(p, plant, 8, kWallFill, kWall, 2.5);
    const QRectF pin = plant.adjusted(9, 9, -9, -9);
    roundRect(p, pin, 5, kCytoplasm, QColor(90, 140, 60), 1.5);
    roundRect(p, pin.adjusted(22, 20, -22, -16), 18, kVacuole, kVacuoleLine, 1.5);
    ellipse(p, QPointF(pin.left() + 20, pin.top() + 22), 14, 13, kNucleus, kNucleusLine, 1.5);
    const qreal chl[][2] = {{pin.right() - 10, pin.top() + 40},  {pin.right() - 10, pin.top() + 100},
                            {pin.left() + 60, pin.top() + 10},   {pin.left() + 120, pin.top() + 10},
                            {pin.left() + 80, pin.bottom() - 8}, {pin.left() + 10, pin.top() + 110}};
    for (const auto &q : chl) {
        const bool vertical = q[0] > pin.right() - 20 || q[0] < pin.left() + 20;
        ellipse(p, QPointF(q[0], q[1]), vertical ? 5 : 11, vertical ? 11 : 5, kChloro, kChloroDark, 1.2);
    }
    ellipse(p, QPointF(pin.left() + 140, pin.bottom() - 8), 7, 4, kMito, kMitoLine, 1.2);
    // Animal cell: no wall, no large vacuole, no chloroplasts.
    const QPointF ac(w - 128, 176);
    QPainterPath blob;
    for (int i = 0; i <= 48; ++i) {
        const qreal a = i * 2 * M_PI / 48;
        const qreal r = 92 + 6 * std::sin(3 * a) + 4 * std::cos(5 * a);
        const QPointF q = ac + QPointF(std::cos(a) * r, std::sin(a) * r * 0.9);
        if (i == 0)
            blob.moveTo(q);
        else
            blob.lineTo(q);
    }
    p.setPen(QPen(QColor(90, 140, 60), 2));
    p.setBrush(QColor(246, 232, 222));
    p.drawPath(blob);
    ellipse(p, ac, 24, 22, kNucleus, kNucleusLine, 1.5);
    const qreal mito[][2] = {{ac.x() - 55, ac.y() - 30},
                             {ac.x() + 50, ac.y() + 35},
                             {ac.x() + 45, ac.y() - 45},
                             {ac.x() - 40, ac.y() + 45}};
    for (const auto &q : mito)
        ellipse(p, QPointF(q[0], q[1]), 10, 5, kMito, kMitoLine, 1.2);
    for (const auto &q : {QPointF(ac.x() - 10, ac.y() + 55), QPointF(ac.x() + 62, ac.y() - 5),
                          QPointF(ac.x() - 66, ac.y() + 8)})
        ellipse(p, q, 4, 4, kVacuole, kVacuoleLine, 1);

    caption(p, QRectF(plant.left(), h - 30, plant.width(), 24), t("pflanze"), Qt::AlignHCenter | Qt::AlignTop,
            16, true);
    caption(p, QRectF(ac.x() - 100, h - 30, 200, 24), t("tier"), Qt::AlignHCenter | Qt::AlignTop, 16, true);
    leader(p, QPointF(plant.left() + 3, plant.top() + 60), QPointF(16, 52), t("wand"));
    leader(p, QPointF(pin.left() + 120, pin.top() + 10), QPointF(112, 52), t("chloro"));
    leader(p, QPointF(plant.center().x(), plant.center().y() + 10), QPointF(plant.center().x() - 10, h - 48),
           t("vakuole"), Qt::AlignHCenter | Qt::AlignVCenter);
    leader(p, QPointF(ac.x() + 78, ac.y() - 42), QPointF(w - 12, 52), t("membran"),
           Qt::AlignRight | Qt::AlignVCenter);
    leader(p, QPointF(ac.x() - 10, ac.y() + 5), QPointF(ac.x() - 90, h - 48), t("kern"),
           Qt::AlignHCenter | Qt::AlignVCenter);
    leader(p, QPointF(ac.x() + 50, ac.y() + 35), QPointF(ac.x() + 60, h - 48), t("mito"),
           Qt::AlignHCenter | Qt::AlignVCenter);
    leader(p, QPointF(pin.left() + 20, pin.top() + 22), QPointF(250, 52), t("kern"),
           Qt::AlignLeft | Qt::AlignVCenter);
}

void drawMassstab(QPainter &p, const Texts &t, int w, int h)
{
    heading(p, w, t("titel"));
    const qreal x0 = 40, decade = (w - 80) / 6.0, axis = 188;
    // x of a length in metres on a log axis from 1 mm (left) to 1 nm (right).
    auto xOf = [&](double metres) { return x0 + decade * std::log10(1e-3 / metres); };
    p.setPen(QPen(kInk, 2));
    p.drawLine(QPointF(x0, axis), QPointF(w - 40, axis));
    const QStringList ticks = {t("1mm"), t("100um"), t("10um"), t("1um"), t("100nm"), t("10nm"), t("1nm")};
    for (int k = 0; k <= 6; ++k) {
        const qreal x = x0 + k * decade;
        p.setPen(QPen(kInk, 2));
        p.drawLine(QPointF(x, axis - 6), QPointF(x, axis + 6));
        caption(p, QRectF(x - 34, axis + 8, 68, 18), ticks[k], Qt::AlignHCenter | Qt::AlignTop, 13);
    }
    struct Thing
    {
        const char *key;
        double metres;
        qreal y;
    };
    const Thing things[] = {{"zelle", 50e-6, 58},         {"kern", 10e-6, 84},    {"chloroplast", 5e-6, 110},
                            {"mitochondrium", 1e-6, 136}, {"ribosom", 25e-9, 58}, {"membran", 7e-9, 84}};
    for (const Thing &th : things) {
        const qreal x = xOf(th.metres);
        leader(p, QPointF(x, axis - 2), QPointF(x - 8, th.y), t(QString::fromLatin1(th.key)),
               Qt::AlignRight | Qt::AlignVCenter, 14);
    }
    // What each way of looking still shows.
    struct Range
    {
        const char *key;
        double from, to;
        QColor color;
        qreal y;
    };
    const Range ranges[] = {{"auge", 1e-3, 1e-4, QColor(120, 170, 90), 236},
                            {"lichtmikroskop", 1e-3, 2e-7, QColor(90, 150, 210), 262},
                            {"elektronenmikroskop", 1e-5, 1e-9, QColor(170, 110, 190), 288}};
    for (const Range &r : ranges) {
        const qreal a = xOf(r.from), b = xOf(r.to);
        roundRect(p, QRectF(a, r.y - 9, b - a, 18), 9, r.color, QColor(), 0);
        const QString text = t(QString::fromLatin1(r.key));
        const bool inside = b - a > 150;
        caption(p, inside ? QRectF(a, r.y - 10, b - a, 20) : QRectF(b + 6, r.y - 10, 200, 20), text,
                (inside ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter, 13, inside);
    }
    caption(p, QRectF(10, h - 28, w - 20, 24), t("hinweis"), Qt::AlignHCenter | Qt::AlignTop, 13);
}

void drawDiffusion(QPainter &p, const Texts &t, int w, int h)
{
    heading(p, w, t("titel"));
    const QRectF a(24, 60, 166, 150), b(w - 190, 60, 166, 150);
    for (const QRectF &r : {a, b})
        roundRect(p, r, 4, kWaterFill, kInk, 2);
    particles(p, QRectF(a.left() + 4, a.top() + 4, 50, a.height() - 8), 36, 4.5, QColor(200, 60, 90),
              QColor(), 9);
    particles(p, b.adjusted(4, 4, -4, -4), 36, 4.5, QColor(200, 60, 90), QColor(), 9);
    arrow(p, QPointF(a.right() + 14, a.center().y()), QPointF(b.left() - 14, b.center().y()), kInk, 3);
    caption(p, QRectF(a.right(), a.center().y() - 34, b.left() - a.right(), 30), t("zeit"),
            Qt::AlignHCenter | Qt::AlignBottom, 13);
    caption(p, QRectF(a.left(), a.bottom() + 6, a.width(), 20), t("vorher"), Qt::AlignHCenter | Qt::AlignTop,
            15, true);
    caption(p, QRectF(b.left(), b.bottom() + 6, b.width(), 20), t("nachher"), Qt::AlignHCenter | Qt::AlignTop,
            15, true);
    caption(p, QRectF(16, h - 44, w - 32, 40), t("erklaerung"), Qt::AlignHCenter | Qt::AlignTop, 14);
}

// A guard-cell pair seen from above; `open` widens the slit.
void stoma(QPainter &p, const QPointF &c, bool open)
{
    const qreal gap = open ? 14 : 2;
    for (const int side : {-1, 1}) {
        QPainterPath cell;
        const qreal inner = side * gap;
        const qreal outer = side * (gap + 38);
        cell.moveTo(c + QPointF(0, -66));
        cell.cubicTo(c + QPointF(outer * 1.3, -66), c + QPointF(outer * 1.3, 66), c + QPointF(0, 66));
        cell.cubicTo(c + QPointF(inner * 1.6, 40), c + QPointF(inner * 1.6, -40), c + QPointF(0, -66));
        p.setPen(QPen(kChloroDark, 2));
        p.setBrush(QColor(150, 205, 120));
        p.drawPath(cell);
        for (int k = -2; k <= 2; ++k)
            ellipse(p, c + QPointF(side * (gap + 20 - std::abs(k) * 2), k * 20), 5, 3.5, kChloro, kChloroDark,
                    1);
    }
}

void drawSpaltoeffnung(QPainter &p, const Texts &t, int w, int h)
{
    heading(p, w, t("titel"));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(236, 240, 226));
    p.drawRect(QRectF(16, 46, w - 32, 204));
    const QPointF a(130, 150), b(w - 130, 150);
    stoma(p, a, true);
    stoma(p, b, false);
    caption(p, QRectF(a.x() - 110, 258, 220, 20), t("offen"), Qt::AlignHCenter | Qt::AlignTop, 15, true);
    caption(p, QRectF(b.x() - 110, 258, 220, 20), t("zu"), Qt::AlignHCenter | Qt::AlignTop, 15, true);
    leader(p, QPointF(a.x() + 38, a.y() - 40), QPointF(w / 2.0, 70), t("schliesszelle"),
           Qt::AlignHCenter | Qt::AlignVCenter, 14);
    leader(p, QPointF(a.x(), a.y() + 10), QPointF(w / 2.0, 150), t("spalt"),
           Qt::AlignHCenter | Qt::AlignVCenter, 14);
    leader(p, QPointF(b.x() - 20, b.y() + 20), QPointF(w / 2.0, 225), t("chloroplast"),
           Qt::AlignHCenter | Qt::AlignVCenter, 14);
    caption(p, QRectF(16, h - 24, w - 32, 22), t("hinweis"), Qt::AlignHCenter | Qt::AlignTop, 13);
}

void drawDna(QPainter &p, const Texts &t, int w, int h)
{
    heading(p, w, t("titel"));
    const qreal x0 = 30, x1 = w - 30, cy = 150, amp = 52;
    const int steps = 200;
    const qreal turns = 2.5;
    auto yOf = [&](qreal x, qreal phase) {
        return cy + amp * std::sin((x - x0) / (x1 - x0) * turns * 2 * M_PI + phase);
    };
    const QColor pairs[][2] = {{QColor(220, 80, 80), QColor(80, 110, 220)},
                               {QColor(80, 170, 80), QColor(230, 190, 40)}};
    int n = 0;
    for (qreal x = x0 + 8; x < x1; x += 13, ++n) {
        const qreal ya = yOf(x, 0), yb = yOf(x, M_PI);
        const auto &pair = pairs[(n * 7 / 3) % 2];
        const bool flip = (n * 5 / 2) % 2;
        const qreal ym = (ya + yb) / 2;
        p.setPen(QPen(flip ? pair[1] : pair[0], 4, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(x, ya), QPointF(x, ym));
        p.setPen(QPen(flip ? pair[0] : pair[1], 4, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(x, ym), QPointF(x, yb));
    }
    for (const qreal phase : {0.0, M_PI}) {
        QPainterPath strand;
        for (int i = 0; i <= steps; ++i) {
            const qreal x = x0 + (x1 - x0) * i / steps;
            if (i == 0)
                strand.moveTo(x, yOf(x, phase));
            else
                strand.lineTo(x, yOf(x, phase));
        }
        p.setPen(QPen(QColor(90, 90, 110), 6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(strand);
    }
    const qreal xs = x0 + (x1 - x0) / (turns * 4);
    leader(p, QPointF(xs, yOf(xs, 0)), QPointF(xs + 30, 56), t("strang"));
    const qreal xb = x0 + 8 + 13 * 20;
    leader(p, QPointF(xb, (yOf(xb, 0) + yOf(xb, M_PI)) / 2), QPointF(xb + 20, 262), t("basenpaar"));
    const qreal ly = h - 22;
    qreal lx = 24;
    for (int k = 0; k < 2; ++k) {
        p.setPen(QPen(pairs[k][0], 6, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(lx, ly), QPointF(lx + 14, ly));
        p.setPen(QPen(pairs[k][1], 6, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(lx + 14, ly), QPointF(lx + 28, ly));
        caption(p, QRectF(lx + 34, ly - 10, 160, 20), t(k == 0 ? QStringLiteral("at") : QStringLiteral("gc")),
                Qt::AlignLeft | Qt::AlignVCenter, 14);
        lx += 160;
    }
}

const std::vector<Figure> &figures()
{
    static const std::vector<Figure> all = {
        {QStringLiteral("membran"),
         480,
         360,
         {"titel", "aussen", "innen", "kopf", "schwanz", "protein", "dicke"},
         drawMembran},
        {QStringLiteral("chloroplast"),
         480,
         340,
         {"titel", "granum", "thylakoid", "huelle", "dna", "staerke", "stroma", "ribosom"},
         drawChloroplast},
        {QStringLiteral("mitochondrium"),
         480,
         340,
         {"titel", "aussen", "innen", "crista", "matrix", "dna", "ribosom"},
         drawMitochondrion},
        {QStringLiteral("fotosynthese"),
         480,
         360,
         {"titel", "licht", "kohlendioxid", "wasser", "sauerstoff", "zucker", "ort", "gleichung"},
         drawFotosynthese},
        {QStringLiteral("zellatmung"),
         480,
         360,
         {"titel", "zucker", "sauerstoff", "kohlendioxid", "wasser", "energie", "gleichung"},
         drawZellatmung},
        {QStringLiteral("osmose"),
         480,
         380,
         {"titel", "membran", "wasser", "zucker", "richtung"},
         drawOsmose},
        {QStringLiteral("plasmolyse"),
         480,
         330,
         {"titel", "hin", "zurueck", "wasser", "salz", "wand", "plasma", "vakuole", "luecke"},
         drawPlasmolyse},
        {QStringLiteral("mitose"),
         520,
         280,
         {"titel", "prophase", "metaphase", "anaphase", "telophase", "tochter", "spindel", "hinweis"},
         drawMitose},
        {QStringLiteral("pflanze-tier"),
         480,
         360,
         {"titel", "pflanze", "tier", "wand", "chloro", "vakuole", "membran", "kern", "mito"},
         drawPflanzeTier},
        {QStringLiteral("massstab"),
         480,
         340,
         {"titel", "1mm", "100um", "10um", "1um", "100nm", "10nm", "1nm", "zelle", "kern", "chloroplast",
          "mitochondrium", "ribosom", "membran", "auge", "lichtmikroskop", "elektronenmikroskop", "hinweis"},
         drawMassstab},
        {QStringLiteral("diffusion"),
         480,
         290,
         {"titel", "zeit", "vorher", "nachher", "erklaerung"},
         drawDiffusion},
        {QStringLiteral("spaltoeffnung"),
         480,
         310,
         {"titel", "offen", "zu", "schliesszelle", "spalt", "chloroplast", "hinweis"},
         drawSpaltoeffnung},
        {QStringLiteral("dna"), 480, 310, {"titel", "strang", "basenpaar", "at", "gc"}, drawDna},
    };
    return all;
}

const Figure &figure(const QString &name)
{
    for (const Figure &f : figures())
        if (f.name == name)
            return f;
    throw std::runtime_error(QStringLiteral("Eine Zeichnung \u201E%1\u201C gibt es nicht (bekannt: %2).")
                                 .arg(name, diagramNames().join(QStringLiteral(", ")))
                                 .toStdString());
}

} // namespace

QStringList diagramNames()
{
    QStringList names;
    for (const Figure &f : figures())
        names << f.name;
    return names;
}

QStringList diagramLabelKeys(const QString &name)
{
    return figure(name).keys;
}

QImage drawDiagram(const QString &name, const Labels &labels)
{
    const Figure &f = figure(name);
    // Check every key first, so a missing text is reported before anything is drawn.
    const Texts texts(labels);
    for (const QString &key : f.keys)
        texts(key);
    QImage img = blankFigure(f.width, f.height);
    QPainter p(&img);
    preparePainter(p);
    f.draw(p, texts, f.width, f.height);
    p.end();
    return img;
}

} // namespace vellora::bilder
