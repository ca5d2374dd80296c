// The cell screen inside the main window: its bar preparation, the forwarded organelle
// selection and the switch to the glossary for a text link.

#include "MainMenu.h"
#include "Menu.h"
#include "ZellMenu.h"
#include "cellfiles.h"
#include "support/programfolder.h"
#include "u_glossar.h"
#include "u_main.h"
#include "u_zelle.h"
#include "zellelib.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class NullLibrary : public vellora::ZelleLibrary
{
  public:
    std::vector<int> actions;
    void Init(std::uintptr_t, const QByteArray &) override {}
    void Viewport(bool, int, int, int, int) override {}
    int Render(int, int) override { return -1; }
    int Action(int code, int, int) override
    {
        actions.push_back(code);
        return 0;
    }
};

} // namespace

TEST(CellScreenInMainWindow, ShowPreparesTheBarAndLinksOpenTheGlossary)
{
    vellora::test::ProgramFolder folder;
    folder.write("inhalt/meshes.dat", vellora::serializeMeshNames({"Kernpore"}));

    TMainForm form;
    auto library = std::make_unique<NullLibrary>();
    NullLibrary *lib = library.get();
    form.Zelle->SetLibrary(std::move(library));
    form.Zelle->Initialize();

    form.MenuItemClick(form.MenuItem1);
    EXPECT_FALSE(form.Zelle->isHidden());
    EXPECT_EQ(form.CurrentScreen(), 1);
    ASSERT_NE(form.Info->Items()[0], nullptr);
    EXPECT_TRUE(form.Info->Items()[0]->Visible()); // "Hilfe" only on this screen

    // The menu's selection goes through the main window to the screen.
    lib->actions.clear();
    form.Zelle->Parts->OnItemSelect(form.Zelle->Parts, 3);
    EXPECT_EQ(lib->actions, (std::vector<int>{6, 4}));
    EXPECT_EQ(form.Zelle->SelectedOrganelle(), 3);

    form.Zelle->TextLinkClick(12);
    EXPECT_EQ(form.CurrentScreen(), 3);
    EXPECT_TRUE(form.Zelle->isHidden());
    EXPECT_FALSE(form.Glossar->isHidden());
    EXPECT_TRUE(form.Glossar->BackShown());
    EXPECT_FALSE(form.Info->Items()[0]->Visible());
}
