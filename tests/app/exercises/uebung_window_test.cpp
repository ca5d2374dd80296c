#include "u_uebung.h"

#include "Button.h"
#include "MainMenu.h"
#include "Menu.h"
#include "controls.h"
#include "profilestore.h"
#include "support/programfolder.h"
#include "u_main.h"
#include "u_message.h"
#include "u_splash.h"
#include "windows.h"

#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

using namespace vellora;

namespace {

// The exercise screen inside the real main window: what a running test locks there.
class UebungWindow : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(data.isValid());
        saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        TSLFTest t;
        t.Info = {"SZELLWAND-000001", "Die Zellwand"};
        t.Questions = {{"Woraus besteht die Zellwand vor allem?", "Aus Cellulose."}};
        t.Count = 1;
        folder.write("tests/test0.slf", serializeSelfCheckTest(t));
        windows = std::make_unique<TProgramWindows>();
        windows->Splash()->Timer->stop();
        form().setGeometry(0, 0, 1024, 768);
        form().Profiles->LoadProfileIndex();
        ASSERT_TRUE(form().Profiles->EnsureFolder());
    }
    void TearDown() override
    {
        windows.reset();
        qputenv("XDG_DATA_HOME", saved);
    }

    TMainForm &form() { return *windows->MainForm(); }
    TUebung &screen() { return *form().Uebung; }
    int enabledProfileEntries()
    {
        int n = 0;
        for (int i = 0; i < form().Lernprofil->Items().Count(); ++i)
            n += form().Lernprofil->Items()[i]->Enabled() ? 1 : 0;
        return n;
    }

    QTemporaryDir data;
    QByteArray saved;
    test::ProgramFolder folder;
    std::unique_ptr<TProgramWindows> windows;
};

TEST_F(UebungWindow, ARunningTestLocksTheSwitcherAndTheProfileMenu)
{
    form().MenuItemClick(form().MenuItem2);
    ASSERT_TRUE(form().isEnabled());
    screen().ShowTestList(RunKind::SelfCheck);
    screen().TestClick(0);
    // Signed out: the message window tells why, and nothing is locked.
    ASSERT_TRUE(windows->MessageForm()->isVisible());
    EXPECT_EQ(windows->MessageForm()->MainMenu->Caption(), "Bitte anmelden!");
    EXPECT_FALSE(screen().isEnabled());
    EXPECT_TRUE(form().Menu->isEnabledTo(&form()));
    windows->MessageForm()->ExitClick();
    // Closed, the message leaves the window and the screen usable.
    EXPECT_TRUE(form().isEnabled());
    EXPECT_TRUE(screen().isEnabled());

    ASSERT_TRUE(form().Profiles->CreateProfile("Ben", "blatt7"));
    ASSERT_TRUE(form().Profiles->SignIn(form().Profiles->FindProfile("Ben", "blatt7")));
    ASSERT_EQ(enabledProfileEntries(), 6);
    screen().TestClick(0);
    ASSERT_EQ(screen().ListView(), 0);
    ASSERT_EQ(screen().Kind(), RunKind::SelfCheck);
    EXPECT_FALSE(form().Menu->isEnabledTo(&form()));
    EXPECT_EQ(enabledProfileEntries(), 0);

    screen().ShowAnswereClick();
    screen().RightClick(); // the last question: the result is stored
    ASSERT_EQ(form().Profiles->Results().size(), 1);
    EXPECT_EQ(enabledProfileEntries(), 6);
    EXPECT_FALSE(form().Menu->isEnabledTo(&form())); // until the learner goes back

    screen().BackClick();
    EXPECT_TRUE(form().Menu->isEnabledTo(&form()));
    form().MenuItemClick(form().MenuItem3);
    EXPECT_EQ(form().CurrentScreen(), 3);
}

} // namespace
