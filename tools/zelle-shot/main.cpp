// zelle-shot: renders a model folder headless through the public Zelle API and writes PNGs.
//   zelle-shot --model DIR/ --out DIR [--icons DIR] [--quick] [--fade] [--parts] [--only N,N,...]
// Writes whole.png (the whole cell from the initial camera) and detail0.png .. detail10.png
// (each organelle's detail view, reached through the menu's path: ZELLE_ACTION_PLACEMENT_OF,
// then ZELLE_ACTION_GO_TO).
// --icons also writes the menu icons organ0.png .. organ10.png (33 x 33) and uebersicht.png
// (38 x 38) on the menu's light grey.
// --quick flies only to the first detail view and jumps from there to the others
// (ZELLE_ACTION_GO_TO in the detail view), which gives the same pictures in a fraction of the time.
// --fade also writes fadeN.png, a frame from the middle of the cross-fade into the detail view.
// --parts also writes partM.png for every mesh M seen in a detail view: a square cut from the
// detail view where M shows most, found by picking over a grid (close-ups for the glossary).

#include "zelle.h"

#include <GL/gl.h>

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPoint>
#include <QRect>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
// Off the surface: nothing is picked, so no placement is drawn with the hover grey.
constexpr int kMouseX = -10;
constexpr int kMouseY = -10;

QImage grabFrame()
{
    QImage img(kWidth, kHeight, QImage::Format_RGBA8888);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, img.bits());
    QImage rgb = img.mirrored(false, true).convertToFormat(QImage::Format_RGB32);
    return rgb;
}

// Renders until the library reports view state `state` (ZELLE_STATE_ENTERED), then a few frames
// more so that the picture has settled; false if it never comes.
bool renderUntil(int state, int extraFrames = 3)
{
    for (int i = 0; i < 20000; ++i)
        if (Zelle_Render(kMouseX, kMouseY) == ZELLE_STATE_ENTERED(state)) {
            for (int k = 0; k < extraFrames; ++k)
                Zelle_Render(kMouseX, kMouseY);
            return true;
        }
    return false;
}

// The cleared background of the library (its clear colour) becomes the menu's grey; the picture
// is cropped to what is drawn, made square and scaled down smoothly.
QImage icon(const QImage &frame, int side)
{
    const QRgb clear = qRgb(207, 235, 189);
    auto isBackground = [&](QRgb p) {
        return std::abs(qRed(p) - qRed(clear)) <= 2 && std::abs(qGreen(p) - qGreen(clear)) <= 2 &&
               std::abs(qBlue(p) - qBlue(clear)) <= 2;
    };
    int x0 = frame.width(), y0 = frame.height(), x1 = -1, y1 = -1;
    QImage img = frame.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QRgb &p = reinterpret_cast<QRgb *>(img.scanLine(y))[x];
            if (isBackground(p)) {
                p = qRgb(221, 221, 221);
            } else {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
        }
    if (x1 < 0)
        return img.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const int cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    int half = std::max(x1 - x0, y1 - y0) / 2 + 8;
    half = std::min(half, std::min(img.width(), img.height()) / 2);
    QImage square(2 * half, 2 * half, QImage::Format_RGB32);
    square.fill(qRgb(221, 221, 221));
    for (int y = 0; y < square.height(); ++y)
        for (int x = 0; x < square.width(); ++x) {
            const int sx = cx - half + x, sy = cy - half + y;
            if (sx >= 0 && sy >= 0 && sx < img.width() && sy < img.height())
                reinterpret_cast<QRgb *>(square.scanLine(y))[x] = img.pixel(sx, sy);
        }
    return square.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// Where one mesh shows in one detail view: its hits on the pick grid.
struct PartHits
{
    std::vector<QPoint> points;
};

constexpr int kPickStep = 8;

// Picks the detail view on a grid (action 9 answers the mesh index there).
std::map<int, PartHits> pickParts()
{
    std::map<int, PartHits> parts;
    for (int y = kPickStep / 2; y < kHeight; y += kPickStep)
        for (int x = kPickStep / 2; x < kWidth; x += kPickStep) {
            const int mesh = Zelle_Action(ZELLE_ACTION_PICK, x, y);
            if (mesh >= 0)
                parts[mesh].points.push_back(QPoint(x, y));
        }
    Zelle_Action(ZELLE_ACTION_PICK, kMouseX, kMouseY);
    return parts;
}

// A square about as large as the part (with room around it), placed where most of its hits
// fall: a mesh repeated all over the object (pores, ribosomes) gives a close-up of one patch.
QRect partSquare(const PartHits &hits)
{
    const int n = static_cast<int>(hits.points.size());
    const int side = std::clamp(static_cast<int>(1.6 * std::sqrt(double(n)) * kPickStep), 192, kHeight);
    QRect best;
    int bestCount = -1;
    for (const QPoint &c : hits.points) {
        QRect r(c.x() - side / 2, c.y() - side / 2, side, side);
        r.moveLeft(std::clamp(r.left(), 0, kWidth - side));
        r.moveTop(std::clamp(r.top(), 0, kHeight - side));
        int count = 0;
        for (const QPoint &p : hits.points)
            count += r.contains(p) ? 1 : 0;
        if (count > bestCount) {
            bestCount = count;
            best = r;
        }
    }
    return best;
}

bool save(const QImage &img, const QString &path)
{
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "zelle-shot: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    std::string model, out, icons;
    bool quick = false, fade = false, parts = false;
    std::map<int, std::pair<int, QImage>> partShots; // mesh -> (hits, picture)
    std::vector<int> only;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--model" && i + 1 < argc)
            model = argv[++i];
        else if (a == "--out" && i + 1 < argc)
            out = argv[++i];
        else if (a == "--icons" && i + 1 < argc)
            icons = argv[++i];
        else if (a == "--quick")
            quick = true;
        else if (a == "--fade")
            fade = true;
        else if (a == "--parts")
            parts = true;
        else if (a == "--only" && i + 1 < argc) {
            for (const QString &n : QString(argv[++i]).split(','))
                only.push_back(n.toInt());
        } else {
            std::fprintf(stderr, "usage: zelle-shot --model DIR/ --out DIR [--icons DIR] [--quick] [--fade] "
                                 "[--parts] [--only N,...]\n");
            return 2;
        }
    }
    if (model.empty() || out.empty()) {
        std::fprintf(stderr, "usage: zelle-shot --model DIR/ --out DIR [--icons DIR] [--quick] [--fade] "
                             "[--parts] [--only N,...]\n");
        return 2;
    }
    if (model.back() != '/')
        model += '/';
    QDir().mkpath(QString::fromStdString(out));
    if (!icons.empty())
        QDir().mkpath(QString::fromStdString(icons));
    const QString outDir = QString::fromStdString(out) + "/";
    const QString iconDir = QString::fromStdString(icons) + "/";

    Zelle_Init(0, model.c_str());
    Zelle_Viewport(true, 0, 0, kWidth, kHeight);
    Zelle_Viewport(false, 0, 0, kWidth, kHeight);
    for (int k = 0; k < 3; ++k)
        Zelle_Render(kMouseX, kMouseY);
    const QImage whole = grabFrame();
    bool ok = save(whole, outDir + "whole.png");
    if (!icons.empty())
        ok = save(icon(whole, 38), iconDir + "uebersicht.png") && ok;

    if (only.empty())
        for (int object = 0; object < 11; ++object)
            only.push_back(object);
    bool inDetail = false;
    for (const int object : only) {
        const int placement = Zelle_Action(ZELLE_ACTION_PLACEMENT_OF, object, 0);
        Zelle_Action(ZELLE_ACTION_GO_TO, placement, 0);
        if (inDetail) {
            for (int k = 0; k < 3; ++k)
                Zelle_Render(kMouseX, kMouseY);
        } else if (fade && renderUntil(ZELLE_STATE_ENTERING_DETAIL, 0)) {
            // Half of the 250 ms cross-fade: keep drawing until 125 ms have passed.
            const auto start = std::chrono::steady_clock::now();
            while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(125))
                Zelle_Render(kMouseX, kMouseY);
            ok = save(grabFrame(), outDir + QString("fade%1.png").arg(object)) && ok;
        }
        if (!inDetail && !renderUntil(ZELLE_STATE_DETAIL)) {
            std::fprintf(stderr, "zelle-shot: the detail view of object %d was never reached\n", object);
            return 1;
        }
        const QImage detail = grabFrame();
        ok = save(detail, outDir + QString("detail%1.png").arg(object)) && ok;
        if (!icons.empty())
            ok = save(icon(detail, 33), iconDir + QString("organ%1.png").arg(object)) && ok;
        if (parts)
            for (const auto &[mesh, hits] : pickParts()) {
                const int n = static_cast<int>(hits.points.size());
                if (n > partShots[mesh].first)
                    partShots[mesh] = {n, detail.copy(partSquare(hits))};
            }
        if (quick) {
            inDetail = true;
            continue;
        }
        Zelle_Action(ZELLE_ACTION_BACK, 0, 0);
        if (!renderUntil(ZELLE_STATE_WHOLE_CELL)) {
            std::fprintf(stderr, "zelle-shot: the way back from object %d never ended\n", object);
            return 1;
        }
    }
    for (const auto &[mesh, shot] : partShots)
        ok = save(shot.second, outDir + QString("part%1.png").arg(mesh)) && ok;
    return ok ? 0 : 1;
}
