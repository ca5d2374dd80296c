// The glossary inside the main window: a link in the cell screen's text opens its entry with
// "Zurück", which leads back to the cell screen as it was left.

#include "ListBox.h"
#include "Memo.h"
#include "ZellMenu.h"
#include "cellfiles.h"
#include "support/programfolder.h"
#include "u_glossar.h"
#include "u_main.h"
#include "u_zelle.h"
#include "zellelib.h"

#include <QFile>
#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Stands in for the model library: answers the placement for an organelle and reports the
// detail view at once, so the cell screen reaches it without an animation.
class InstantLibrary : public vellora::ZelleLibrary
{
  public:
    int pendingState = -1;
    void Init(std::uintptr_t, const QByteArray &) override {}
    void Viewport(bool, int, int, int, int) override {}
    int Render(int, int) override
    {
        const int s = pendingState;
        pendingState = s >= 0 && s < 4 ? s + 1 : -1;
        return s >= 0 ? -2 - s : -1;
    }
    int Action(int code, int, int) override
    {
        if (code == 4)
            pendingState = 1;
        return code == 6 ? 7 : 0;
    }
};

vellora::TGlossarEntry entry(const char *title)
{
    vellora::TGlossarEntry e;
    e.Title = title;
    e.SetText(QByteArray("Text zu ") + title);
    return e;
}

} // namespace

TEST(GlossaryInMainWindow, TextLinkOpensTheEntryAndBackReturnsToTheCellScreen)
{
    vellora::test::ProgramFolder folder;
    folder.write("inhalt/meshes.dat", vellora::serializeMeshNames({"Kernpore"}));
    folder.write("inhalt/glossar.dat",
                 vellora::serializeGlossary({entry("Chromatin"), entry("Kernh\xFClle"), entry("Zellkern")}));
    vellora::TOrganell nucleus;
    nucleus.Heading = "Zellkern";
    nucleus.Text = "Die #1#Kernh\xFClle# umgibt ihn.";
    folder.write("inhalt/org0.organell", vellora::serializeOrganell(nucleus));
    QFile mp3(QStringLiteral(CELL_FIXTURE_MP3));
    ASSERT_TRUE(mp3.open(QIODevice::ReadOnly));
    folder.write("audio/voice0.mp3", mp3.readAll());

    TMainForm form;
    form.resize(1000, 700);
    auto library = std::make_unique<InstantLibrary>();
    InstantLibrary *lib = library.get();
    form.Zelle->SetLibrary(std::move(library));
    form.Zelle->Initialize();
    form.Glossar->Initialize();

    form.MenuItemClick(form.MenuItem1);
    form.Zelle->PartsItemSelect(0);
    // Run the render steps until the library has reported the detail view.
    for (int i = 0; i < 10 && lib->pendingState >= 0; ++i)
        form.Zelle->RenderStep();
    ASSERT_EQ(form.Zelle->ViewState(), 4);

    form.Zelle->TextLinkClick(1);
    EXPECT_EQ(form.CurrentScreen(), 3);
    EXPECT_EQ(form.Glossar->ShownEntry(), 1);
    EXPECT_EQ(form.Glossar->Caption->text(), QStringLiteral("Kernh\u00FClle"));
    EXPECT_TRUE(form.Glossar->BackShown());
    EXPECT_EQ(form.Glossar->Selection->Items().size(), 3);

    form.Glossar->BackClick();
    EXPECT_EQ(form.CurrentScreen(), 1);
    EXPECT_FALSE(form.Zelle->isHidden());
    EXPECT_TRUE(form.Glossar->isHidden());
    EXPECT_EQ(form.Zelle->ViewState(), 4); // still the detail view
    EXPECT_EQ(form.Zelle->SelectedOrganelle(), 0);
    EXPECT_FALSE(form.Zelle->Text->isHidden());
    EXPECT_EQ(form.Zelle->Text->Text(), nucleus.Text);

    // Chosen from the switcher, the glossary starts over without "Zurück".
    form.MenuItemClick(form.MenuItem3);
    EXPECT_FALSE(form.Glossar->BackShown());
    EXPECT_EQ(form.Glossar->ShownEntry(), 0);
}
