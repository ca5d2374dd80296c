// The cell screen driving the real libzelle headless (surfaceless EGL) over the built model and
// content: hover, picking, the flight into the detail view and back.

#include "MediaPlayer.h"
#include "Memo.h"
#include "ShadowPanel.h"
#include "Uebersicht.h"
#include "ZellMenu.h"
#include "base/cp1252.h"
#include "base/programfolder.h"
#include "cellfiles.h"
#include "support/programfolder.h"
#include "u_zelle.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

// Renders frames until the screen reaches the state; the flights take about two seconds.
bool renderUntilState(TZelle &zelle, int state)
{
    QDeadlineTimer deadline(60000);
    while (zelle.ViewState() != state) {
        if (deadline.hasExpired())
            return false;
        zelle.RenderStep();
    }
    return true;
}

} // namespace

TEST(CellScreenWithLibrary, HoverPickFlyInAndBack)
{
    // The built model, content and audio, seen through a program folder of the test's own.
    vellora::test::ProgramFolder folder;
    for (const char *sub : {"zelle", "inhalt", "audio"})
        folder.link(QLatin1String(sub), QStringLiteral(VELLORA_DIST_DIR "/") + QLatin1String(sub));
    ASSERT_TRUE(QFile::exists(folder.path("zelle/zelle.obj")));
    ASSERT_TRUE(QFile::exists(folder.path("inhalt/meshes.dat")));
    ASSERT_TRUE(QFile::exists(vellora::audioPath(0)));

    QStringList errors;
    TZelle zelle;
    zelle.ReportError = [&](const QString &m) { errors.append(m); };
    zelle.resize(1024, 748);
    zelle.Initialize();
    zelle.ShowScreen();
    ASSERT_FALSE(zelle.MeshNames().isEmpty());

    // The middle of the whole cell is not empty space.
    const int x = zelle.Zellmodell->width() / 2 + 60;
    const int y = zelle.Zellmodell->height() / 2;
    zelle.ZellmodellMouseMove(x, y);
    zelle.RenderStep();
    zelle.RenderStep();
    ASSERT_TRUE(zelle.Zellmodell->ShowHint());
    const QString hovered = zelle.Zellmodell->Hint();
    bool known = hovered == QStringLiteral("Vesikel");
    for (int i = 0; i < zelle.Parts->Items().Count(); ++i)
        known = known || zelle.Parts->Items()[i].Caption == hovered;
    EXPECT_TRUE(known) << hovered.toStdString();

    // Choose the nucleus from the menu and follow the flight.
    zelle.PartsItemSelect(0);
    EXPECT_EQ(zelle.ViewState(), 1);
    EXPECT_FALSE(zelle.Parts->isEnabled());
    ASSERT_TRUE(renderUntilState(zelle, 4));
    EXPECT_TRUE(zelle.Parts->isEnabled());
    EXPECT_FALSE(zelle.Heading->isHidden());
    EXPECT_FALSE(zelle.Text->isHidden());
    EXPECT_EQ(zelle.Heading->text().toStdString(),
              vellora::fromCp1252(vellora::readOrganellFile(0).Heading).toStdString());
    EXPECT_TRUE(zelle.Player->IsOpen());

    // Back to the whole cell: the content goes when the flight back begins.
    zelle.UebersichtClick();
    ASSERT_TRUE(renderUntilState(zelle, 6));
    EXPECT_TRUE(zelle.Heading->isHidden());
    EXPECT_FALSE(zelle.Player->IsOpen());
    ASSERT_TRUE(renderUntilState(zelle, 0));
    EXPECT_TRUE(zelle.Parts->isEnabled());
    EXPECT_TRUE(zelle.Uebersicht->Selected());

    // A click in the whole cell picks what lies under the pointer and flies there.
    zelle.ZellmodellMouseMove(x, y);
    zelle.ZellmodellClick();
    if (zelle.SelectedOrganelle() != 10) {
        EXPECT_EQ(zelle.ViewState(), 1);
        ASSERT_TRUE(renderUntilState(zelle, 4));
        EXPECT_EQ(zelle.Parts->ItemIndex(), zelle.SelectedOrganelle());
        EXPECT_EQ(
            zelle.Heading->text().toStdString(),
            vellora::fromCp1252(vellora::readOrganellFile(zelle.SelectedOrganelle()).Heading).toStdString());
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}
