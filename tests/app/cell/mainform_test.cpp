// The cell screen inside the main window: its bar preparation, the forwarded organelle
// selection and the switch to the glossary for a text link.

#include "Menu.h"
#include "base/programfolder.h"
#include "cellfiles.h"

#include <QDir>
#include <QFile>
#include "MainMenu.h"
#include "u_glossar.h"
#include "u_main.h"
#include "u_zelle.h"
#include "zellelib.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class NullLibrary : public vellora::ZelleLibrary {
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
    QDir().mkpath(vellora::contentPath("inhalt"));
    QFile names(vellora::contentPath("inhalt/meshes.dat"));
    ASSERT_TRUE(names.open(QIODevice::WriteOnly));
    names.write(vellora::serializeMeshNames({"Kernpore"}));
    names.close();

    TMainForm form;
    ASSERT_EQ(MainForm, &form);
    ASSERT_NE(form.Zelle, nullptr);
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
    form.ZellePartsItemSelect(3);
    EXPECT_EQ(lib->actions, (std::vector<int>{6, 4}));
    EXPECT_EQ(form.Zelle->SelectedOrganelle(), 3);

    form.Zelle->TextLinkClick(12);
    EXPECT_EQ(form.CurrentScreen(), 3);
    EXPECT_TRUE(form.Zelle->isHidden());
    EXPECT_FALSE(form.Glossar->isHidden());
    EXPECT_TRUE(form.Glossar->BackShown());
    EXPECT_FALSE(form.Info->Items()[0]->Visible());
}
