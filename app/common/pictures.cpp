#include "pictures.h"

#include "base/colorref.h"
#include "base/programfolder.h"
#include "controls.h"

#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace vellora::pictures {

namespace {

// A schematic plant cell: wall, membrane, central vacuole, nucleus, chloroplasts, mitochondria.
void drawCell(QPainter &p, const QRectF &r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal u = r.height() / 100.0;
    p.setPen(QPen(QColor(60, 120, 40), 2.5 * u));
    p.setBrush(QColor(170, 215, 120));
    p.drawRoundedRect(r, 14 * u, 14 * u);
    const QRectF inner = r.adjusted(4 * u, 4 * u, -4 * u, -4 * u);
    p.setPen(QPen(QColor(120, 170, 70), 1.2 * u));
    p.setBrush(QColor(214, 236, 170));
    p.drawRoundedRect(inner, 11 * u, 11 * u);
    // central vacuole
    p.setPen(QPen(QColor(110, 150, 190), 1.2 * u));
    p.setBrush(QColor(205, 228, 245));
    p.drawRoundedRect(QRectF(inner.left() + inner.width() * 0.30, inner.top() + inner.height() * 0.16,
                             inner.width() * 0.50, inner.height() * 0.62),
                      18 * u, 18 * u);
    // nucleus with nucleolus
    const QPointF nc(inner.left() + inner.width() * 0.17, inner.top() + inner.height() * 0.55);
    QRadialGradient g(nc, 14 * u);
    g.setColorAt(0, QColor(200, 150, 210));
    g.setColorAt(1, QColor(150, 90, 170));
    p.setPen(QPen(QColor(110, 60, 130), 1.2 * u));
    p.setBrush(g);
    p.drawEllipse(nc, 13 * u, 12 * u);
    p.setBrush(QColor(90, 40, 110));
    p.setPen(Qt::NoPen);
    p.drawEllipse(nc + QPointF(2 * u, -1 * u), 4 * u, 4 * u);
    // chloroplasts with grana
    const QPointF chloro[] = {{0.12, 0.22}, {0.88, 0.25}, {0.90, 0.70},
                              {0.55, 0.88}, {0.20, 0.86}, {0.50, 0.10}};
    for (const QPointF &c : chloro) {
        const QPointF cp(inner.left() + inner.width() * c.x(), inner.top() + inner.height() * c.y());
        p.setPen(QPen(QColor(30, 100, 30), 1 * u));
        p.setBrush(QColor(70, 160, 60));
        p.drawEllipse(cp, 8 * u, 4.5 * u);
        p.setPen(QPen(QColor(25, 80, 25), 0.9 * u));
        for (int k = -1; k <= 1; ++k)
            p.drawLine(cp + QPointF(k * 3 * u, -2 * u), cp + QPointF(k * 3 * u, 2 * u));
    }
    // mitochondria
    const QPointF mito[] = {{0.30, 0.30}, {0.82, 0.48}, {0.35, 0.80}};
    for (const QPointF &m : mito) {
        const QPointF mp(inner.left() + inner.width() * m.x(), inner.top() + inner.height() * m.y());
        p.setPen(QPen(QColor(170, 90, 30), 1 * u));
        p.setBrush(QColor(240, 160, 80));
        p.drawEllipse(mp, 5 * u, 3 * u);
    }
    p.restore();
}

QFont fitted(const QString &text, int maxWidth, int startPixels, bool bold)
{
    for (int px = startPixels; px > 6; --px) {
        const QFont f = formFont(px, bold);
        if (QFontMetrics(f).horizontalAdvance(text) <= maxWidth)
            return f;
    }
    return formFont(6, bold);
}

QPixmap drawnScreen(const QString &title, const QColor &frame, void (*body)(QPainter &, const QRect &))
{
    // The shape of the cell screen's screenshot (1280 x 780), so the three columns line up.
    QPixmap pm(400, 244);
    pm.fill(colorRef(kSilver));
    QPainter p(&pm);
    p.fillRect(0, 0, 400, 14, colorRef(kGrey));
    p.setPen(Qt::white);
    p.setFont(formFont(10, true));
    p.drawText(QRect(0, 0, 400, 14), Qt::AlignCenter, QStringLiteral("Vellora – ") + title);
    p.fillRect(0, 14, 400, 230, frame);
    body(p, QRect(0, 14, 400, 230));
    return pm;
}

} // namespace

QString helpAddressText()
{
    return QStringLiteral("hilfe/index.html");
}

QString helpPagePath()
{
    return contentPath(QStringLiteral("hilfe/index.html"));
}

QPixmap splash()
{
    QPixmap pm(500, 325);
    pm.fill(colorRef(15136247));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    drawCell(p, QRectF(28, 40, 190, 150));

    p.setPen(QColor(60, 110, 40));
    p.setFont(formFont(58, true));
    p.drawText(QRect(230, 48, 250, 70), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vellora"));
    p.setPen(colorRef(4210752));
    p.setFont(formFont(17));
    p.drawText(QRect(234, 118, 260, 24), Qt::AlignLeft, QStringLiteral("Die Pflanzenzelle entdecken"));
    p.setFont(formFont(13));
    p.drawText(QRect(234, 144, 260, 20), Qt::AlignLeft,
               QStringLiteral("Lernprogramm für die Klassen 6 bis 10"));

    p.setPen(QPen(QColor(170, 200, 140), 1));
    p.drawLine(30, 222, 470, 222);

    p.setPen(colorRef(4210752));
    p.setFont(formFont(13));
    p.drawText(QRect(0, 236, 500, 18), Qt::AlignHCenter, QStringLiteral("Das Programm wird gestartet …"));
    p.setFont(formFont(11));
    p.drawText(QRect(0, 260, 500, 16), Qt::AlignHCenter, QStringLiteral("Hilfe und Hinweise zum Programm:"));

    // The address fills the link area (164, 278)-(336, 294); the underline Line sits at y 291.
    const QString address = helpAddressText();
    p.setPen(QColor(40, 70, 150));
    p.setFont(fitted(address, 160, 14, false));
    p.drawText(QRect(164, 276, 172, 15), Qt::AlignHCenter | Qt::AlignBottom, address);

    p.setPen(colorRef(kGrey));
    p.setFont(formFont(10));
    p.drawText(QRect(0, 305, 492, 14), Qt::AlignRight, QStringLiteral("Version 0.1 – Vellora-Team"));
    return pm;
}

QPixmap barLogo()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 100, 30), 1.2));
    p.setBrush(QColor(130, 200, 90));
    p.drawRoundedRect(QRectF(1.5, 2.5, 13, 11), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 230, 245));
    p.drawRoundedRect(QRectF(7, 4.5, 6, 7), 2, 2);
    p.setBrush(QColor(140, 70, 160));
    p.drawEllipse(QPointF(4.8, 8.5), 2.2, 2.2);
    return pm;
}

QPixmap introLogo()
{
    QPixmap pm(640, 121);
    pm.fill(colorRef(kSilver));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawCell(p, QRectF(120, 14, 116, 92));
    p.setPen(QColor(50, 100, 35));
    p.setFont(formFont(54, true));
    p.drawText(QRect(256, 12, 360, 64), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vellora"));
    p.setPen(colorRef(4210752));
    p.setFont(formFont(18));
    p.drawText(QRect(260, 76, 360, 26), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Lernprogramm zur Pflanzenzelle"));
    return pm;
}

QPixmap credits()
{
    QPixmap pm(500, 527);
    pm.fill(colorRef(kSilver));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawCell(p, QRectF(30, 22, 90, 70));
    p.setPen(QColor(50, 100, 35));
    p.setFont(formFont(40, true));
    p.drawText(QRect(140, 20, 340, 48), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vellora"));
    p.setPen(colorRef(4210752));
    p.setFont(formFont(15));
    p.drawText(QRect(142, 66, 340, 22), Qt::AlignLeft,
               QStringLiteral("Lernprogramm zur Pflanzenzelle, Version 0.1"));

    const QColor ink = colorRef(4210752);
    int y = 118;
    auto heading = [&](const QString &t) {
        p.setPen(ink);
        p.setFont(formFont(16, true));
        p.drawText(QRect(30, y, 440, 22), Qt::AlignLeft, t);
        y += 24;
        p.setPen(QPen(colorRef(kGrey), 1));
        p.drawLine(30, y, 470, y);
        y += 8;
    };
    auto row = [&](const QString &name, const QString &licence) {
        p.setPen(ink);
        p.setFont(formFont(14));
        p.drawText(QRect(40, y, 300, 20), Qt::AlignLeft, name);
        p.drawText(QRect(300, y, 170, 20), Qt::AlignRight, licence);
        y += 21;
    };

    heading(QStringLiteral("Autoren"));
    row(QStringLiteral("Texte, Zellmodell, Programm"), QStringLiteral("Vellora-Team"));
    y += 14;
    heading(QStringLiteral("Verwendete freie Software"));
    row(QStringLiteral("Qt (Oberfläche und Audio)"), QStringLiteral("LGPL-3.0"));
    row(QStringLiteral("Mesa (OpenGL)"), QStringLiteral("MIT"));
    row(QStringLiteral("yaml-cpp (Inhaltsquellen)"), QStringLiteral("MIT"));
    row(QStringLiteral("espeak-ng (Sprachausgabe)"), QStringLiteral("GPL-3.0"));
    row(QStringLiteral("LAME (MP3-Kodierung)"), QStringLiteral("LGPL-2.0"));
    row(QStringLiteral("GoogleTest (Programmtests)"), QStringLiteral("BSD-3-Clause"));
    y += 14;
    heading(QStringLiteral("Verwendete freie Schriften"));
    row(QStringLiteral("Open Sans"), QStringLiteral("Apache-2.0 / OFL"));
    row(QStringLiteral("Liberation Fonts"), QStringLiteral("OFL-1.1"));
    y += 18;
    p.setFont(formFont(12));
    p.setPen(colorRef(kGrey));
    p.drawText(QRect(30, y, 440, 60), Qt::AlignHCenter | Qt::TextWordWrap,
               QStringLiteral("Alle Texte, Bilder und das Zellmodell wurden für Vellora selbst erstellt. "
                              "Die Lizenztexte der verwendeten Software liegen ihren Paketen bei."));
    return pm;
}

QPixmap cellScreenshot()
{
    QPixmap shot(QStringLiteral(":/shell/screenshot_zelle.png"));
    if (!shot.isNull())
        return shot;
    return drawnScreen(QStringLiteral("Zellmodell"), colorRef(7200386), [](QPainter &p, const QRect &r) {
        p.fillRect(r.left() + 6, r.top() + 6, 90, r.height() - 12, colorRef(kSilver));
        p.fillRect(r.left() + 102, r.top() + 6, r.width() - 108, r.height() - 12, colorRef(12446671));
        drawCell(p, QRectF(r.left() + 140, r.top() + 40, 220, 190));
    });
}

QPixmap exercisesArea()
{
    return drawnScreen(QStringLiteral("Übungen"), colorRef(9587249), [](QPainter &p, const QRect &r) {
        const QColor ink = colorRef(4210752);
        p.fillRect(r.left() + 8, r.top() + 8, r.width() - 16, 56, colorRef(kSilver));
        p.setPen(ink);
        p.setFont(formFont(13, true));
        p.drawText(QRect(r.left() + 8, r.top() + 12, r.width() - 16, 18), Qt::AlignHCenter,
                   QStringLiteral("Übungen zur Pflanzenzelle"));
        p.setFont(formFont(10));
        p.drawText(QRect(r.left() + 20, r.top() + 34, r.width() - 40, 28),
                   Qt::AlignHCenter | Qt::TextWordWrap,
                   QStringLiteral("Selbstkontrolle, Lückentexte und Multiple-Choice-Fragen"));
        const QString kinds[] = {QStringLiteral("Selbstkontrolle"), QStringLiteral("Multiple Choice"),
                                 QStringLiteral("Lückentext")};
        for (int c = 0; c < 3; ++c) {
            const int x = r.left() + 8 + c * 130;
            p.fillRect(x, r.top() + 72, 124, r.height() - 80, colorRef(kSilver));
            p.setPen(ink);
            p.setFont(formFont(11, true));
            p.drawText(QRect(x, r.top() + 76, 124, 16), Qt::AlignHCenter, kinds[c]);
            p.setFont(formFont(9));
            for (int k = 0; k < 5; ++k) {
                const int y = r.top() + 96 + k * 24;
                p.setPen(ink);
                p.drawText(QRect(x + 6, y, 112, 12), Qt::AlignLeft, QStringLiteral("Test %1").arg(k + 1));
                const int done = (c * 3 + k * 5) % 10;
                p.fillRect(x + 6, y + 13, 112, 8, colorRef(kGrey));
                p.fillRect(x + 7, y + 14, done * 11, 6, QColor(90, 170, 70));
                p.fillRect(x + 7 + done * 11, y + 14, 110 - done * 11, 6, QColor(230, 230, 230));
            }
        }
    });
}

QPixmap glossaryArea()
{
    return drawnScreen(QStringLiteral("Glossar"), colorRef(kMaroon), [](QPainter &p, const QRect &r) {
        const QColor ink = colorRef(4210752);
        p.fillRect(r.left() + 6, r.top() + 6, 110, r.height() - 12, colorRef(kSilver));
        p.fillRect(r.left() + 12, r.top() + 12, 98, 16, Qt::white);
        p.setPen(ink);
        p.setFont(formFont(10));
        p.drawText(QRect(r.left() + 15, r.top() + 12, 95, 16), Qt::AlignVCenter, QStringLiteral("Chlor"));
        p.fillRect(r.left() + 12, r.top() + 34, 98, r.height() - 46, Qt::white);
        const QString terms[] = {QStringLiteral("Chlorophyll"), QStringLiteral("Chloroplast"),
                                 QStringLiteral("Chromatin"),   QStringLiteral("Crista"),
                                 QStringLiteral("Cytoplasma"),  QStringLiteral("Cytoskelett")};
        for (int k = 0; k < 6; ++k) {
            if (k == 1)
                p.fillRect(r.left() + 13, r.top() + 35 + k * 16, 96, 16, colorRef(13092807));
            p.drawText(QRect(r.left() + 16, r.top() + 35 + k * 16, 92, 16), Qt::AlignVCenter, terms[k]);
        }
        const QRect card(r.left() + 124, r.top() + 6, r.width() - 130, r.height() - 60);
        p.fillRect(card, colorRef(kSilver));
        p.setFont(formFont(18));
        p.drawText(QRect(card.left(), card.top() + 8, card.width(), 24), Qt::AlignHCenter,
                   QStringLiteral("Chloroplast"));
        p.drawLine(card.left() + 10, card.top() + 36, card.right() - 10, card.top() + 36);
        drawCell(p, QRectF(card.left() + 12, card.top() + 50, 90, 72));
        for (int k = 0; k < 7; ++k)
            p.fillRect(card.left() + 112, card.top() + 52 + k * 14, card.width() - 126 - (k % 3) * 14, 5,
                       QColor(150, 150, 150));
        const QRect see(r.left() + 124, r.bottom() - 46, r.width() - 130, 40);
        p.fillRect(see, colorRef(kSilver));
        p.setFont(formFont(11));
        p.drawText(see.adjusted(8, 0, 0, 0), Qt::AlignVCenter,
                   QStringLiteral("Siehe auch:  Thylakoid   Stroma   Granum"));
    });
}

} // namespace vellora::pictures
