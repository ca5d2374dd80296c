#include "bilder.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace vellora::bilder;

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return path;
}

// Labels for every key of a figure, each its own key.
QByteArray labelsYaml(const QString &diagram)
{
    QByteArray y;
    for (const QString &k : diagramLabelKeys(diagram))
        y += "      \"" + k.toUtf8() + "\": \"Text " + k.toUtf8() + "\"\n";
    return y;
}

int countInk(const QImage &img)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) != QColor(252, 252, 247) ? 1 : 0;
    return n;
}

} // namespace

TEST(PictureSources, ReadsEachKind)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, "bilder.yaml",
                                   "pictures:\n"
                                   "  - {file: zelle, render: whole}\n"
                                   "  - {file: kern, render: {detail: 0}}\n"
                                   "  - {file: pore_1, render: {part: 1, detail: 10}}\n"
                                   "  - file: Diff-U\n"
                                   "    diagram: diffusion\n"
                                   "    labels:\n" +
                                       labelsYaml("diffusion"));
    const QList<PictureSource> s = readSources(path);
    ASSERT_EQ(s.size(), 4);
    EXPECT_EQ(s[0].kind, PictureSource::Kind::Whole);
    EXPECT_EQ(s[1].kind, PictureSource::Kind::Detail);
    EXPECT_EQ(s[1].detail, 0);
    EXPECT_EQ(s[2].kind, PictureSource::Kind::Part);
    EXPECT_EQ(s[2].part, 1);
    EXPECT_EQ(s[2].detail, 10);
    EXPECT_EQ(s[3].kind, PictureSource::Kind::Diagram);
    EXPECT_EQ(s[3].file, "Diff-U");
    EXPECT_EQ(s[3].labels.value("vorher"), "Text vorher");
    EXPECT_EQ(s[3].line, 5);
}

TEST(PictureSources, RefusesFaultsWithFileAndLine)
{
    struct Case
    {
        const char *yaml;
        const char *message; // part of the German message
        int line;
    };
    const Case cases[] = {
        {"pictures:\n  - {file: zellkerns, render: whole}\n", "1 bis 8 Zeichen", 2},
        {"pictures:\n  - {file: kern.bmp, render: whole}\n", "1 bis 8 Zeichen", 2},
        {"pictures:\n  - {file: \"\", render: whole}\n", "1 bis 8 Zeichen", 2},
        {"pictures:\n  - {file: a, render: whole}\n  - {file: a, render: {detail: 1}}\n", "zweimal", 3},
        {"pictures:\n  - {file: a}\n", "genau eines", 2},
        {"pictures:\n  - {file: a, render: whole, diagram: dna}\n", "genau eines", 2},
        {"pictures:\n  - {file: a, render: {detail: 11}}\n", "0 bis 10", 2},
        {"pictures:\n  - {file: a, render: {part: 25, detail: 1}}\n", "0 bis 24", 2},
        {"pictures:\n  - {file: a, render: {part: 3}}\n", "detail", 2},
        {"pictures:\n  - {file: a, render: top}\n", "whole", 2},
        {"pictures:\n  - {file: a, render: whole, labels: {x: y}}\n", "Nur Zeichnungen", 2},
        {"pictures:\n  - {file: a, diagram: tabelle, labels: {x: y}}\n", "tabelle", 2},
        {"pictures:\n  - {file: a, diagram: dna}\n", "labels", 2},
        {"pictures:\n  - {file: a, diagram: dna, labels: {titel: T, strang: S, basenpaar: B, at: A}}\n", "gc",
         2},
        {"pictures:\n  - {file: a, diagram: dna, labels: {titel: T, strang: S, basenpaar: B, at: A, gc: G, "
         "farbe: F}}\n",
         "farbe", 2},
        {"pictures:\n  - {file: a, diagram: dna, labels: {titel: \" \", strang: S, basenpaar: B, at: A, gc: "
         "G}}\n",
         "leer", 2},
        {"pictures:\n  - {file: a, render: whole, size: 3}\n", "size", 2},
        {"bilder: []\n", "pictures", 1},
    };
    for (const Case &c : cases) {
        QTemporaryDir dir;
        const QString path = writeFile(dir, "bilder.yaml", c.yaml);
        try {
            readSources(path);
            ADD_FAILURE() << "accepted: " << c.yaml;
        } catch (const std::runtime_error &e) {
            const QString msg = QString::fromUtf8(e.what());
            EXPECT_TRUE(msg.contains(QString::fromUtf8(c.message))) << qPrintable(msg);
            EXPECT_TRUE(msg.startsWith(QStringLiteral("bilder.yaml:%1:").arg(c.line))) << qPrintable(msg);
        }
    }
}

TEST(PictureSources, TheProgramsListReadsAndEveryFigureDraws)
{
    const QList<PictureSource> s = readSources(QStringLiteral(VELLORA_PICTURE_SOURCES));
    int figures = 0;
    for (const PictureSource &src : s)
        if (src.kind == PictureSource::Kind::Diagram) {
            const QImage img = drawDiagram(src.diagram, src.labels);
            EXPECT_GT(countInk(img), img.width() * img.height() / 20) << qPrintable(src.file);
            ++figures;
        }
    EXPECT_EQ(figures, diagramNames().size()) << "every figure is used once";
}

TEST(Diagrams, EveryFigureNeedsAllItsLabels)
{
    for (const QString &name : diagramNames()) {
        Labels labels;
        for (const QString &k : diagramLabelKeys(name))
            labels.insert(k, "Wort");
        EXPECT_NO_THROW(drawDiagram(name, labels)) << qPrintable(name);
        labels.remove(diagramLabelKeys(name).last());
        EXPECT_THROW(drawDiagram(name, labels), std::runtime_error) << qPrintable(name);
    }
    EXPECT_THROW(drawDiagram("tabelle", {}), std::runtime_error);
}

TEST(Diagrams, LabelTextsAppearInThePicture)
{
    // The same figure with an empty-looking and a long label differs only by its text.
    Labels a, b;
    for (const QString &k : diagramLabelKeys("diffusion")) {
        a.insert(k, "i");
        b.insert(k, "i");
    }
    b["vorher"] = "am Anfang ganz links";
    EXPECT_NE(drawDiagram("diffusion", a), drawDiagram("diffusion", b));
}

TEST(Renderings, CutToTheModelAtTheTargetAspect)
{
    QImage shot(400, 200, QImage::Format_RGB32);
    shot.fill(kModelBackground);
    // A 40 x 40 red block near the right edge.
    for (int y = 120; y < 160; ++y)
        for (int x = 340; x < 380; ++x)
            shot.setPixelColor(x, y, Qt::red);
    const QImage cut = cutRendering(shot, QSize(80, 60));
    ASSERT_EQ(cut.size(), QSize(80, 60));
    // The block (with 6 % + 4 px room each side) fills the height and sits in the middle.
    const QColor mid = cut.pixelColor(40, 30);
    EXPECT_GT(mid.red(), 200);
    EXPECT_LT(mid.green(), 60);
    // Left and right of it only background: the box was widened, not the block stretched.
    EXPECT_EQ(cut.pixelColor(2, 30), kModelBackground);
    EXPECT_EQ(cut.pixelColor(77, 30), kModelBackground);
    // The red covers about 40 / 52 of the height.
    int redRows = 0;
    for (int y = 0; y < 60; ++y)
        redRows += cut.pixelColor(40, y).red() > 200 && cut.pixelColor(40, y).green() < 60 ? 1 : 0;
    EXPECT_NEAR(redRows, 60 * 40 / 52, 2);
}

TEST(Renderings, NothingDrawnIsOnlyScaled)
{
    QImage shot(100, 100, QImage::Format_RGB32);
    shot.fill(kModelBackground);
    const QImage cut = cutRendering(shot, QSize(30, 20));
    EXPECT_EQ(cut.size(), QSize(30, 20));
    EXPECT_EQ(cut.pixelColor(15, 10), kModelBackground);
}

TEST(Renderings, CloseUpFallsBackToItsDetailView)
{
    QTemporaryDir dir;
    QImage shot(64, 48, QImage::Format_RGB32);
    shot.fill(Qt::blue);
    ASSERT_TRUE(shot.save(dir.filePath("detail3.png")));
    PictureSource part;
    part.kind = PictureSource::Kind::Part;
    part.part = 8;
    part.detail = 3;
    EXPECT_EQ(makePicture(part, dir.path()).size(), QSize(400, 300)) << "no part8.png: the detail view";
    ASSERT_TRUE(shot.save(dir.filePath("part8.png")));
    EXPECT_EQ(makePicture(part, dir.path()).size(), QSize(320, 320));
    part.detail = 4;
    part.part = 9;
    EXPECT_THROW(makePicture(part, dir.path()), std::runtime_error);
}

TEST(Renderings, WrittenAs24BitBmp)
{
    QTemporaryDir dir;
    QImage img(7, 3, QImage::Format_RGB32);
    img.fill(QColor(10, 20, 30));
    const QString path = dir.filePath("x.bmp");
    ASSERT_TRUE(writeBmp(img, path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray b = f.readAll();
    ASSERT_GT(b.size(), 30);
    EXPECT_EQ(b.left(2), "BM");
    EXPECT_EQ(uchar(b[28]), 24); // bits per pixel
    const QImage back(path);
    EXPECT_EQ(back.size(), QSize(7, 3));
    EXPECT_EQ(back.pixelColor(6, 2), QColor(10, 20, 30));
    EXPECT_FALSE(writeBmp(img, dir.filePath("kein/ordner/x.bmp")));
}

TEST(Renderings, ACloseUpFillingItsShotGetsNoFrame)
{
    QImage shot(100, 100, QImage::Format_RGB32);
    shot.fill(Qt::darkGreen);
    const QImage cut = cutRendering(shot, QSize(50, 50));
    EXPECT_EQ(cut.pixelColor(0, 0), QColor(Qt::darkGreen));
    EXPECT_EQ(cut.pixelColor(49, 25), QColor(Qt::darkGreen));
}
