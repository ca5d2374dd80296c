// The glossary as the build makes it: the compiled file and the pictures in the program folder.
#include "u_glossar.h"

#include "Edit.h"
#include "ListBox.h"
#include "base/cp1252.h"
#include "base/germanorder.h"

#include <QFileInfo>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

namespace {

const QString kDist = QStringLiteral(VELLORA_DIST_DIR);

QList<vellora::TGlossarEntry> builtGlossary()
{
    return vellora::LoadGlossary(kDist + QStringLiteral("/inhalt/glossar.dat"));
}

} // namespace

TEST(BuiltGlossary, EveryPictureNamedIsABitmapAndMostTermsHaveOne)
{
    const auto entries = builtGlossary();
    ASSERT_FALSE(entries.isEmpty());
    int withPicture = 0;
    for (const auto &e : entries) {
        if (e.Picture.isEmpty())
            continue;
        ++withPicture;
        const QString path = kDist + QStringLiteral("/inhalt/bilder/") + vellora::fromCp1252(e.Picture) +
                             QStringLiteral(".bmp");
        const QImage img(path, "BMP");
        EXPECT_FALSE(img.isNull()) << qPrintable(vellora::fromCp1252(e.Title)) << ": " << qPrintable(path);
        // Wide enough for the card and not taller than about square.
        EXPECT_GE(img.width(), 300) << qPrintable(path);
        EXPECT_LE(img.height(), img.width()) << qPrintable(path);
    }
    EXPECT_GE(withPicture, 30);
}

TEST(BuiltGlossary, UmlautSearchFindsItsTermInTheRealList)
{
    TGlossar g;
    g.SetEntries(builtGlossary());
    g.resize(1000, 700);
    g.ShowGlossary();
    for (const char *text : {"stä", "sta", "STÄRKE"}) {
        g.Search->SetText(QString::fromUtf8(text));
        ASSERT_GE(g.First(), 0) << text;
        EXPECT_TRUE(g.Selection->Items().contains(QStringLiteral("Stärke"))) << text;
    }
    // Every title is in the list the empty search shows, in German order.
    g.Search->SetText(QString());
    const QStringList rows = g.Selection->Items();
    EXPECT_EQ(rows.size(), g.Entries().size());
    for (int i = 1; i < rows.size(); ++i)
        EXPECT_LE(vellora::germanCompare(vellora::toCp1252(rows[i - 1]), vellora::toCp1252(rows[i])), 0)
            << qPrintable(rows[i]);
}
