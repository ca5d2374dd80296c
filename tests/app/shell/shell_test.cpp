#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "Edit.h"
#include "MainMenu.h"
#include "MediaButton.h"
#include "MediaPlayer.h"
#include "Menu.h"
#include "ShadowPanel.h"
#include "base/programfolder.h"
#include "confirmform.h"
#include "controls.h"
#include "pictures.h"
#include "profilestore.h"
#include "support/programfolder.h"
#include "u_glossar.h"
#include "u_info.h"
#include "u_intro.h"
#include "u_main.h"
#include "u_manual.h"
#include "u_message.h"
#include "u_profile.h"
#include "u_splash.h"
#include "u_uebung.h"
#include "u_zelle.h"
#include "windows.h"
#include "zellelib.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

// Counts what the screen asks of the library; draws nothing.
class CountingLibrary : public vellora::ZelleLibrary
{
  public:
    CountingLibrary(int *inits, QList<QList<int>> *actions) : inits_(inits), actions_(actions) {}
    void Init(std::uintptr_t, const QByteArray &) override { ++*inits_; }
    void Viewport(bool, int, int, int, int) override {}
    int Render(int, int) override { return -1; }
    int Action(int code, int a, int b) override
    {
        *actions_ << QList<int>{code, a, b};
        return -1;
    }

  private:
    int *inits_;
    QList<QList<int>> *actions_;
};

const char *const kContentFiles[] = {"glossar.dat", "uebung.dat",   "meshes.dat",
                                     "zelle_m.dat", "uebung_m.dat", "glossar_m.dat"};

// The windows of a started program, without the splash's timer, over small content files
// written into a temporary program folder (the first showing of the main window runs the
// start-up).
class Shell : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(data_.isValid());
        ASSERT_TRUE(folder_.isValid());
        saved_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data_.path().toLocal8Bit());
        for (const char *name : kContentFiles)
            writeContent(name, "Inhalt\r\n");

        windows_ = std::make_unique<TProgramWindows>();
        windows_->Splash()->Timer->stop();
        form().setGeometry(0, 0, 1000, 800);
        form().Zelle->SetLibrary(std::make_unique<CountingLibrary>(&inits_, &actions_));
        MessageForm = windows_->MessageForm();
        ManualForm = windows_->ManualForm();
        InfoForm = windows_->InfoForm();
    }
    void TearDown() override
    {
        windows_.reset();
        qputenv("XDG_DATA_HOME", saved_);
    }

    QString contentFile(const char *name) const
    {
        return folder_.path(QStringLiteral("inhalt/") + QLatin1String(name));
    }
    void writeContent(const char *name, const QByteArray &bytes)
    {
        folder_.write(QStringLiteral("inhalt/") + QLatin1String(name), bytes);
    }

    TMainForm &form() { return *windows_->MainForm(); }
    QWidget *item(int k)
    {
        QWidget *items[] = {form().MenuItem0, form().MenuItem1, form().MenuItem2, form().MenuItem3,
                            form().MenuItem4};
        return items[k];
    }
    bool barItemVisible(int i) { return form().MainMenu->Items()[i]->Visible(); }
    bool hilfeVisible() { return form().Info->Items()[0]->Visible(); }

    QTemporaryDir data_;
    vellora::test::ProgramFolder folder_;
    QByteArray saved_;
    int inits_ = 0;
    QList<QList<int>> actions_;
    std::unique_ptr<TProgramWindows> windows_;
    TMessageForm *MessageForm = nullptr;
    TManualForm *ManualForm = nullptr;
    TInfoForm *InfoForm = nullptr;
};

void mouse(QWidget *w, QEvent::Type type, const QPoint &pos)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void pressKey(QWidget *w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

TEST_F(Shell, ClickingTheCurrentScreenTogglesTheSwitcher)
{
    EXPECT_EQ(form().CurrentScreen(), 0);
    EXPECT_EQ(form().Menu->height(), 20);
    form().MenuItemClick(form().MenuItem0);
    EXPECT_TRUE(form().SwitcherOpen());
    EXPECT_EQ(form().Menu->height(), 100);
    form().MenuItemClick(form().MenuItem0);
    EXPECT_FALSE(form().SwitcherOpen());
    EXPECT_EQ(form().Menu->height(), 20);

    // Choosing another screen from the open switcher closes it.
    form().MenuItemClick(form().MenuItem0);
    form().MenuItemClick(form().MenuItem3);
    EXPECT_FALSE(form().SwitcherOpen());
    EXPECT_EQ(form().Menu->height(), 20);
    EXPECT_EQ(form().CurrentScreen(), 3);
}

TEST_F(Shell, DoubleClickOnTheSwitcherCountsOnce)
{
    // Press, release, double click, release: one click, so the switcher ends open.
    QWidget *item = form().MenuItem0;
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(5, 5), QPointF(item->mapToGlobal(QPoint(5, 5))), Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(item, &event);
    }
    EXPECT_TRUE(form().SwitcherOpen());
}

TEST_F(Shell, ChosenScreenMovesToTopOthersFollowByTag)
{
    struct Case
    {
        int chosen;
        int tops[5];
    };
    const Case cases[] = {
        {2, {20, 40, 0, 60, 80}},
        {3, {20, 40, 60, 0, 80}},
        {0, {0, 20, 40, 60, 80}},
        {2, {20, 40, 0, 60, 80}},
    };
    for (const Case &c : cases) {
        form().MenuItemClick(item(c.chosen));
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(item(k)->y(), c.tops[k]) << "chosen " << c.chosen << ", item " << k;
            EXPECT_EQ(item(k)->x(), 1);
        }
    }
}

TEST_F(Shell, OneScreenVisibleAndBarPreparedPerScreen)
{
    struct Case
    {
        int screen;
        bool lernprofil;
        bool hilfe;
    };
    const Case cases[] = {
        {1, false, true}, {2, true, false}, {3, false, false}, {0, false, false}, {2, true, false},
    };
    for (const Case &c : cases) {
        form().MenuItemClick(item(c.screen));
        EXPECT_EQ(form().CurrentScreen(), c.screen);
        EXPECT_EQ(barItemVisible(0), c.lernprofil) << "screen " << c.screen;
        EXPECT_TRUE(barItemVisible(1)) << "Info stays, screen " << c.screen;
        EXPECT_EQ(hilfeVisible(), c.hilfe) << "screen " << c.screen;
        EXPECT_EQ(!form().Intro->isHidden(), c.screen == 0);
        EXPECT_EQ(!form().Uebung->isHidden(), c.screen == 2);
        EXPECT_EQ(!form().Glossar->isHidden(), c.screen == 3);
        EXPECT_EQ(!form().Zelle->isHidden(), c.screen == 1);
    }
}

TEST_F(Shell, SchliessenClosesTheMainWindow)
{
    form().show();
    ASSERT_TRUE(form().isVisible());
    form().MenuItemClick(form().MenuItem4);
    EXPECT_FALSE(form().isVisible());
}

TEST_F(Shell, BarAndMenusAsDesigned)
{
    ZMainMenu *bar = form().MainMenu;
    EXPECT_EQ(bar->Caption(), QStringLiteral("Vellora"));
    EXPECT_EQ(bar->height(), 20);
    EXPECT_TRUE(bar->Close());
    EXPECT_TRUE(bar->Minimize());
    ASSERT_EQ(bar->Items().Count(), 2);
    EXPECT_EQ(bar->Items()[0]->Caption(), QStringLiteral("Lernprofil"));
    EXPECT_EQ(bar->Items()[0]->SubMenu(), form().Lernprofil);
    EXPECT_FALSE(bar->Items()[0]->Visible());
    EXPECT_EQ(bar->Items()[1]->Caption(), QStringLiteral("Info"));
    EXPECT_EQ(bar->Items()[1]->SubMenu(), form().Info);
    EXPECT_TRUE(bar->Items()[1]->Visible());
    EXPECT_EQ(form().Lernprofil->Tag(), 0);
    EXPECT_EQ(form().Info->Tag(), 1);

    struct Entry
    {
        const char *caption;
        bool enabled;
    };
    const Entry profile[] = {
        {"Lernprofil anmelden", true},
        {"Lernprofil wechseln", false},
        {"neues Lernprofil anlegen", true},
        {"Lernprofil importieren", true},
        {"aktives Lernprofil exportieren", false},
        {"aktives Lernprofil löschen", false},
    };
    ASSERT_EQ(form().Lernprofil->Items().Count(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(form().Lernprofil->Items()[i]->Caption(), QString::fromUtf8(profile[i].caption));
        EXPECT_EQ(form().Lernprofil->Items()[i]->Enabled(), profile[i].enabled) << i;
        EXPECT_TRUE(form().Lernprofil->Items()[i]->Visible()) << i;
    }
    ASSERT_EQ(form().Info->Items().Count(), 2);
    EXPECT_EQ(form().Info->Items()[0]->Caption(), QStringLiteral("Hilfe"));
    EXPECT_FALSE(form().Info->Items()[0]->Visible());
    EXPECT_EQ(form().Info->Items()[1]->Caption(), QStringLiteral("Info"));
    EXPECT_TRUE(form().Info->Items()[1]->Visible());

    // The switcher lies over the bar left of the entries; the popups are native windows
    // so that they can stack above the cell screen's GL surface.
    EXPECT_EQ(form().Menu->geometry(), QRect(20, 0, 120, 20));
    EXPECT_TRUE(form().Menu->testAttribute(Qt::WA_NativeWindow));
    EXPECT_TRUE(form().Lernprofil->testAttribute(Qt::WA_NativeWindow));
    EXPECT_TRUE(form().Info->testAttribute(Qt::WA_NativeWindow));
}

TEST_F(Shell, InfoEntryShowsTheInfoWindowAndClosesTheMenus)
{
    form().show();
    ZMainMenu *bar = form().MainMenu;
    const ZItem *entry = bar->Items()[1];
    const QPoint onEntry((entry->Left() + entry->Right()) / 2, 10);
    mouse(bar, QEvent::MouseMove, onEntry);
    mouse(bar, QEvent::MouseButtonPress, onEntry);
    mouse(bar, QEvent::MouseButtonRelease, onEntry);
    ASSERT_TRUE(form().Info->isVisible());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar, &leave);

    // "Info" is the popup's only visible entry while the introduction is shown.
    const QPoint onInfo(10, form().Info->Items()[1]->Top() + 3);
    mouse(form().Info, QEvent::MouseMove, onInfo);
    mouse(form().Info, QEvent::MouseButtonPress, onInfo);
    mouse(form().Info, QEvent::MouseButtonRelease, onInfo);
    EXPECT_TRUE(InfoForm->isVisible());
    EXPECT_EQ(InfoForm->size(), QSize(502, 548));
    EXPECT_FALSE(form().Info->isVisible());
    EXPECT_FALSE(bar->SubMenuOpen());
    InfoForm->close();

    // The profile entries exist but do nothing yet; they still close the menus.
    form().MainMenuItemClick(form().Lernprofil, 0);
    EXPECT_FALSE(bar->SubMenuOpen());
    EXPECT_FALSE(InfoForm->isVisible());
}

TEST_F(Shell, MessageHeightFollowsWrappedLines)
{
    form().ShowMessage(QStringLiteral("Fehler!"), QStringLiteral("eins\r\nzwei\r\ndrei"), &form());
    EXPECT_EQ(MessageForm->Text->LineCount(), 3);
    EXPECT_EQ(MessageForm->height(), 3 * 25 + 20 + 37);
    EXPECT_EQ(MessageForm->height(), 132);
    EXPECT_EQ(MessageForm->width(), 450);
    EXPECT_EQ(MessageForm->MainMenu->Caption(), QStringLiteral("Fehler!"));
    MessageForm->close();

    // A long line wraps inside the window; every word is still shown once.
    const QString words =
        QStringLiteral("Bitte melde Dich zuerst mit Deinem Lernprofil an, damit Deine Ergebnisse "
                       "gespeichert werden können, bevor Du einen Test beginnst.");
    form().ShowMessage(QStringLiteral("Bitte anmelden!"), words, &form());
    const QStringList lines = MessageForm->Text->Lines();
    EXPECT_GE(lines.size(), 2);
    EXPECT_EQ(MessageForm->height(), int(lines.size()) * 25 + 57);
    EXPECT_EQ(lines.join(QString()).simplified().remove(QLatin1Char(' ')),
              QString(words).remove(QLatin1Char(' ')));
    MessageForm->close();
}

TEST_F(Shell, EnterClosesTheMessageAndReenablesTheOwner)
{
    form().show();
    form().ShowMessage(QStringLiteral("Hinweis"), QStringLiteral("Text"), &form());
    EXPECT_TRUE(MessageForm->isVisible());
    EXPECT_FALSE(form().isEnabled());
    pressKey(MessageForm, Qt::Key_A);
    EXPECT_TRUE(MessageForm->isVisible());
    pressKey(MessageForm, Qt::Key_Return);
    EXPECT_FALSE(MessageForm->isVisible());
    EXPECT_TRUE(form().isEnabled());

    form().ShowMessage(QStringLiteral("Hinweis"), QStringLiteral("Text"), &form());
    pressKey(MessageForm, Qt::Key_Enter);
    EXPECT_FALSE(MessageForm->isVisible());
    EXPECT_TRUE(form().isEnabled());
}

// Where a key pressed in the main window arrives first: the focused control, else the window.
QWidget *mainKeyTarget(TMainForm &form)
{
    QWidget *focus = QApplication::focusWidget();
    return focus && focus->window() == &form ? focus : &form;
}

void openBarMenu(TMainForm &form, int entry)
{
    ZMainMenu *bar = form.MainMenu;
    const ZItem *item = bar->Items()[entry];
    const QPoint on((item->Left() + item->Right()) / 2, 10);
    mouse(bar, QEvent::MouseMove, on);
    mouse(bar, QEvent::MouseButtonPress, on);
    mouse(bar, QEvent::MouseButtonRelease, on);
}

// Escape closes whatever window or popup is open, in a dialog as its cancel, and brings the
// main window back to work; any other key leaves it open.
TEST_F(Shell, EscapeClosesTheOpenWindowOrPopupOtherKeysDoNot)
{
    form().Initialize();
    form().show();
    TProfileForm *profile = form().ProfileForm();
    ASSERT_NE(profile, nullptr);
    bool deleted = false;

    struct Case
    {
        const char *name;
        std::function<void()> open;
        std::function<QWidget *()> target; // receives the keys
        std::function<bool()> isOpen;
    };
    const Case cases[] = {
        {"message window",
         [&] { form().ShowMessage(QStringLiteral("Hinweis"), QStringLiteral("Text"), &form()); },
         [&] { return MessageForm; }, [&] { return MessageForm->isVisible(); }},
        {"info window", [&] { form().LogoClick(); }, [&] { return InfoForm; },
         [&] { return InfoForm->isVisible(); }},
        {"manual window", [&] { form().ShowManualPage(0); }, [&] { return ManualForm; },
         [&] { return ManualForm->isVisible(); }},
        {"bar menu", [&] { openBarMenu(form(), 1); }, [&] { return mainKeyTarget(form()); },
         [&] { return form().MainMenu->SubMenuOpen() || form().Info->isVisible(); }},
        {"switcher", [&] { form().MenuItemClick(item(form().CurrentScreen())); },
         [&] { return mainKeyTarget(form()); }, [&] { return form().SwitcherOpen(); }},
        {"cell screen's help box",
         [&] {
             form().MenuItemClick(form().MenuItem1);
             form().Zelle->ShowHelp();
         },
         [&] { return mainKeyTarget(form()); }, [&] { return !form().Zelle->Help->isHidden(); }},
        {"profile dialog, in a field", [&] { profile->ShowMode(TProfileForm::Create); },
         [&] { return profile->Name->Edit(); }, [&] { return profile->isVisible(); }},
        {"profile dialog, outside the fields", [&] { profile->ShowMode(TProfileForm::SignIn); },
         [&] { return profile; }, [&] { return profile->isVisible(); }},
        {"confirm box",
         [&] {
             form().Confirm->Ask(QStringLiteral("Lernprofil löschen"), QStringLiteral("Wirklich?"), &form(),
                                 [&] { deleted = true; });
         },
         [&] { return form().Confirm; }, [&] { return form().Confirm->isVisible(); }},
    };
    for (const Case &c : cases) {
        c.open();
        ASSERT_TRUE(c.isOpen()) << c.name;
        pressKey(c.target(), Qt::Key_A);
        EXPECT_TRUE(c.isOpen()) << c.name << ": closed by another key";
        pressKey(c.target(), Qt::Key_Escape);
        EXPECT_FALSE(c.isOpen()) << c.name << ": still open after Escape";
        EXPECT_TRUE(form().isEnabled()) << c.name;
        EXPECT_TRUE(form().isVisible()) << c.name;
    }
    // Cancel is never "yes": no profile came into being, none was deleted.
    EXPECT_FALSE(deleted);
    EXPECT_FALSE(form().Profiles->SignedIn());
    EXPECT_TRUE(QDir(profileFolder()).entryList({QStringLiteral("*.usr")}, QDir::Files).isEmpty());
}

// One Escape closes one thing, the one lying on top first; with nothing open the key goes on to
// the screen as before.
TEST_F(Shell, EscapeClosesTheTopmostFirstThenReachesTheScreen)
{
    form().Initialize();
    form().show();
    form().MenuItemClick(form().MenuItem1);
    form().Zelle->ShowHelp();
    openBarMenu(form(), 1);
    ASSERT_TRUE(form().Info->isVisible());

    pressKey(mainKeyTarget(form()), Qt::Key_Escape);
    EXPECT_FALSE(form().Info->isVisible());
    EXPECT_FALSE(form().Zelle->Help->isHidden());
    pressKey(mainKeyTarget(form()), Qt::Key_Escape);
    EXPECT_TRUE(form().Zelle->Help->isHidden());
    EXPECT_EQ(form().CurrentScreen(), 1);
    EXPECT_TRUE(form().isVisible()) << "Escape never closes the program";

    // The screen still gets its keys: + zooms the model.
    actions_.clear();
    pressKey(mainKeyTarget(form()), Qt::Key_Escape);
    pressKey(mainKeyTarget(form()), Qt::Key_Plus);
    EXPECT_EQ(actions_, (QList<QList<int>>{{3, 120, 0}}));
}

// F1 opens the help of the screen shown: the cell screen's help box, else the manual at the
// screen's page, or at the welcome page for the introduction (also after an area page).
TEST_F(Shell, F1OpensTheHelpOfTheCurrentScreen)
{
    writeContent("uebung_m.dat", "\xDC"
                                 "bungen Seite");
    writeContent("glossar_m.dat", "Glossar Seite");
    form().Initialize();
    form().show();

    struct Case
    {
        int screen;
        bool helpBox;
        const char *title; // manual title, or none
        QString text;
    };
    const Case cases[] = {
        {1, true, nullptr, QString()},
        {2, false, "Übungen", QStringLiteral("Übungen Seite")},
        {3, false, "Glossar", QStringLiteral("Glossar Seite")},
        {0, false, "Einleitung", vellora::plainLines(TManualForm::DesignText())},
    };
    for (const Case &c : cases) {
        form().MenuItemClick(item(c.screen));
        form().Zelle->CloseClose();
        ASSERT_EQ(form().CurrentScreen(), c.screen);
        pressKey(mainKeyTarget(form()), Qt::Key_F1);
        EXPECT_EQ(!form().Zelle->Help->isHidden(), c.helpBox) << c.screen;
        EXPECT_EQ(ManualForm->isVisible(), c.title != nullptr) << c.screen;
        if (c.title) {
            EXPECT_EQ(ManualForm->MainMenu->Caption(), QString::fromUtf8(c.title)) << c.screen;
            EXPECT_EQ(ManualForm->Manual->Text(), c.text) << c.screen;
            EXPECT_FALSE(form().isEnabled()) << c.screen;
            pressKey(ManualForm, Qt::Key_Escape);
            EXPECT_TRUE(form().isEnabled()) << c.screen;
        }
    }
}

// "Text vorlesen" on a computer without sound output says so in the message window and keeps
// its play face; with sound it plays.
TEST_F(Shell, ReadAloudWithoutSoundOutputSaysSo)
{
    form().Initialize();
    form().show();
    form().MenuItemClick(form().MenuItem1);
    ZMediaButton *play = form().Zelle->Play;
    form().Zelle->Player->SetFileName(QStringLiteral(SHELL_FIXTURE_LONG_MP3));
    form().Zelle->Player->Open();
    const QPoint centre(16, 16);

    for (bool sound : {false, true}) {
        play->HasSoundOutput = [sound] { return sound; };
        mouse(play, QEvent::MouseButtonPress, centre);
        mouse(play, QEvent::MouseButtonRelease, centre);
        EXPECT_EQ(MessageForm->isVisible(), !sound) << sound;
        EXPECT_EQ(form().Zelle->Player->Mode(), sound ? mpPlaying : mpStopped) << sound;
        EXPECT_EQ(play->ButtonType(), sound ? mbPause : mbPlay) << sound;
        if (!sound) {
            EXPECT_EQ(MessageForm->MainMenu->Caption(), QStringLiteral("Vorlesen"));
            EXPECT_TRUE(MessageForm->Text->Text().contains(QStringLiteral("keine Tonausgabe")));
            EXPECT_FALSE(form().isEnabled());
            MessageForm->ExitClick();
            EXPECT_TRUE(form().isEnabled());
        }
    }
}

TEST_F(Shell, MessageOwnedByAnotherWindowEnablesThatOne)
{
    QWidget dialog;
    dialog.show();
    form().ShowMessage(QStringLiteral("Fehler!"), QStringLiteral("Text"), &dialog);
    EXPECT_FALSE(dialog.isEnabled());
    MessageForm->ExitClick();
    EXPECT_TRUE(dialog.isEnabled());
    EXPECT_FALSE(MessageForm->isVisible());
}

TEST_F(Shell, DraggingTheBarMovesByTheMouseMovement)
{
    MessageForm->move(100, 100);
    MessageForm->MainMenuMouseDown(10, 5);
    MessageForm->MainMenuMouseMove(30, 15);
    EXPECT_EQ(MessageForm->pos(), QPoint(120, 110));
    MessageForm->MainMenuMouseUp();
    MessageForm->MainMenuMouseMove(60, 60);
    EXPECT_EQ(MessageForm->pos(), QPoint(120, 110));

    ManualForm->move(50, 40);
    ManualForm->MainMenuMouseDown(100, 10);
    ManualForm->MainMenuMouseMove(90, 12);
    EXPECT_EQ(ManualForm->pos(), QPoint(40, 42));
    ManualForm->MainMenuMouseUp();
    EXPECT_FALSE(ManualForm->Dragging());
}

class ManualFiles : public Shell
{
  protected:
    void SetUp() override
    {
        Shell::SetUp();
        // Started already, so that closing the manual (which shows the main window) keeps
        // the pages loaded here.
        form().Initialize();
        ASSERT_TRUE(dir_.isValid());
        write("zelle_m.dat", "Zellmodell: Drehen mit der rechten Maustaste.\r\nZoomen mit dem Mausrad.");
        write("uebung_m.dat", "\xDC"
                              "bungen f\xFC"
                              "r Dich"); // cp1252 umlauts
        write("glossar_m.dat", "");
    }
    void write(const char *name, const QByteArray &bytes)
    {
        QFile f(dir_.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString path(const char *name) { return dir_.filePath(QString::fromLatin1(name)); }
    void load()
    {
        ManualForm->LoadManualFrom(path("zelle_m.dat"), path("uebung_m.dat"), path("glossar_m.dat"));
    }

    QTemporaryDir dir_;
};

TEST_F(ManualFiles, WelcomePageFirstThenAreaPagesWithTitles)
{
    load();
    EXPECT_EQ(ManualForm->Page(), 3);
    ManualForm->show();
    EXPECT_EQ(ManualForm->MainMenu->Caption(), QStringLiteral("Einleitung"));
    EXPECT_EQ(ManualForm->Manual->Text(), vellora::plainLines(TManualForm::DesignText()));
    EXPECT_EQ(TManualForm::DesignText().split(QStringLiteral("\r\n")).size(), 18);
    EXPECT_TRUE(
        TManualForm::DesignText().startsWith(QStringLiteral("Herzlich willkommen bei Vellora! \r\n")));
    EXPECT_TRUE(TManualForm::DesignText().endsWith(QStringLiteral("loslegen! \r\n\r\nViel Erfolg!")));
    ManualForm->close();

    struct Case
    {
        int page;
        const char *title;
        QString text;
    };
    const Case cases[] = {
        {1, "Übungen", QStringLiteral("Übungen für Dich")},
        {0, "Zellmodell",
         QStringLiteral("Zellmodell: Drehen mit der rechten Maustaste.\nZoomen mit dem Mausrad.")},
        {2, "Glossar", QString()},
    };
    for (const Case &c : cases) {
        ManualForm->SetPage(c.page);
        ManualForm->show();
        EXPECT_EQ(ManualForm->MainMenu->Caption(), QString::fromUtf8(c.title));
        EXPECT_EQ(ManualForm->Manual->Text(), c.text) << c.page;
        ManualForm->close();
    }
}

TEST_F(ManualFiles, ShownManualDisablesAndCentresOnTheMainWindow)
{
    load();
    form().setGeometry(0, 0, 1000, 800);
    ManualForm->SetPage(0);
    ManualForm->show();
    EXPECT_FALSE(form().isEnabled());
    EXPECT_EQ(ManualForm->pos(), QPoint((1000 - 579) / 2, (800 - 486) / 2));
    EXPECT_FALSE(form().isVisible());
    ManualForm->close();
    EXPECT_TRUE(form().isEnabled());
    EXPECT_TRUE(form().isVisible());
}

TEST_F(ManualFiles, MissingPageFileNamesTheFileAndKeepsThePages)
{
    load();
    try {
        ManualForm->LoadManualFrom(path("zelle_m.dat"), path("fehlt.dat"), path("glossar_m.dat"));
        FAIL() << "no error for a missing file";
    } catch (const std::runtime_error &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("fehlt.dat")));
    }
    EXPECT_EQ(ManualForm->PageText(1), QStringLiteral("Übungen für Dich"));
}

TEST_F(Shell, IntroColumnsShareTheWidth)
{
    struct Case
    {
        int frame;
        int side;
    };
    const Case cases[] = {{765, 240}, {1024, 326}, {1280, 412}, {689, 215}};
    for (const Case &c : cases) {
        TIntro &intro = *form().Intro;
        intro.resize(c.frame, 634);
        intro.FrameResize(); // a hidden frame gets its resize event only when shown
        EXPECT_EQ(intro.Zelle->width(), c.side) << c.frame;
        EXPECT_EQ(intro.Glossar->width(), c.side) << c.frame;
        // The exercise column takes the rest between its 5-pixel margins.
        EXPECT_EQ(intro.Uebung->width(), c.frame - 20 - 2 * c.side - 10) << c.frame;
        for (TImage *shot : {intro.Screenshot_Zelle, intro.Screenshot_Uebung, intro.Screenshot_Glossar}) {
            EXPECT_EQ(shot->width(), c.side - 15);
            const QPixmap &pm = shot->Picture();
            EXPECT_NEAR(shot->height(), double(pm.height()) * shot->width() / pm.width(), 0.5);
        }
    }
}

TEST_F(Shell, IntroTextsSitBelowTheirScreenshots)
{
    TIntro &intro = *form().Intro;
    intro.resize(765, 634);
    intro.FrameResize();
    intro.Initialize();
    for (int i = 0; i < 3; ++i) {
        TImage *shot = i == 0   ? intro.Screenshot_Zelle
                       : i == 1 ? intro.Screenshot_Uebung
                                : intro.Screenshot_Glossar;
        TLabel *caption = i == 0   ? intro.Caption_Zelle
                          : i == 1 ? intro.Caption_Uebung
                                   : intro.Caption_Glossar;
        QWidget *box = i == 0   ? intro.Container_Zelle
                       : i == 1 ? intro.Container_Uebung
                                : intro.Container_Glossar;
        TPlainMemo *text = i == 0 ? intro.Text_Zelle : i == 1 ? intro.Text_Uebung : intro.Text_Glossar;
        EXPECT_EQ(caption->y(), shot->height() + 20);
        EXPECT_EQ(caption->width(), shot->width());
        EXPECT_EQ(box->y(), shot->height() + 45);
        EXPECT_EQ(box->width(), shot->width());
        EXPECT_EQ(text->Text(), TIntro::ColumnText(i));
        EXPECT_GT(text->LineCount(), 1);
        EXPECT_EQ(box->height(), text->LineCount() * 22);
        EXPECT_FALSE(box->isEnabled());
    }
}

TEST_F(Shell, IntroLinksOpenTheirManualPage)
{
    TIntro &intro = *form().Intro;
    intro.LinkClick(intro.Link_Glossar);
    EXPECT_TRUE(ManualForm->isVisible());
    EXPECT_EQ(ManualForm->Page(), 2);
    EXPECT_EQ(ManualForm->MainMenu->Caption(), QStringLiteral("Glossar"));
    ManualForm->close();

    intro.LinkMouseEnter(intro.Link_Zelle);
    EXPECT_TRUE(intro.Link_Zelle->font().underline());
    intro.LinkMouseLeave(intro.Link_Zelle);
    EXPECT_FALSE(intro.Link_Zelle->font().underline());

    intro.UebungClick();
    EXPECT_EQ(form().CurrentScreen(), 2);
    intro.GlossarClick();
    EXPECT_EQ(form().CurrentScreen(), 3);
}

// The small windows are dialogs whose transient parent is the main window, so that a window
// manager keeps them above it.
TEST_F(Shell, SmallWindowsAreTransientForTheMainWindow)
{
    QWidget *windows[] = {MessageForm, ManualForm, InfoForm};
    for (QWidget *w : windows) {
        ASSERT_NE(w->windowHandle(), nullptr) << w->windowTitle().toStdString();
        EXPECT_EQ(w->windowHandle()->transientParent(), form().windowHandle())
            << w->windowTitle().toStdString();
        EXPECT_EQ(w->windowType(), Qt::Dialog) << w->windowTitle().toStdString();
        EXPECT_TRUE(w->windowFlags().testFlag(Qt::FramelessWindowHint));
    }
}

// The introduction's logo brings an info window that is already open to the front, as the
// bar's logo does.
TEST_F(Shell, IntroLogoRaisesAnOpenInfoWindow)
{
    form().show();
    form().LogoClick();
    QApplication::processEvents();
    ASSERT_TRUE(InfoForm->isVisible());
    form().activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &form());

    form().Intro->LogoClick();
    QApplication::processEvents();
    EXPECT_TRUE(InfoForm->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), InfoForm);
}

TEST(Splash, UnderlineFollowsTheLinkAreaAndClickOpensTheHelp)
{
    TSplash splash;
    splash.Timer->stop();
    QList<QUrl> opened;
    splash.OpenUrl = [&opened](const QUrl &url) { opened << url; };
    EXPECT_EQ(splash.size(), QSize(500, 325));
    EXPECT_EQ(splash.Line->geometry(), QRect(170, 291, 162, 1));
    EXPECT_TRUE(splash.Line->isHidden());

    struct Case
    {
        int x, y;
        bool inside;
    };
    const Case cases[] = {{164, 278, true},  {335, 293, true},  {250, 285, true},  {336, 285, false},
                          {250, 294, false}, {163, 280, false}, {250, 277, false}, {10, 10, false}};
    for (const Case &c : cases) {
        splash.SplashMouseMove(c.x, c.y);
        EXPECT_EQ(!splash.Line->isHidden(), c.inside) << c.x << "," << c.y;
        const qsizetype before = opened.size();
        splash.SplashMouseDown(c.x, c.y);
        EXPECT_EQ(opened.size(), before + (c.inside ? 1 : 0)) << c.x << "," << c.y;
    }
    ASSERT_FALSE(opened.isEmpty());
    EXPECT_TRUE(opened.first().isLocalFile());
    EXPECT_TRUE(opened.first().toLocalFile().endsWith(QStringLiteral("/hilfe/index.html")));
}

TEST(ProfileFolder, BelowTheUsersDataFolder)
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/tmp/daten");
    EXPECT_EQ(profileFolder(), QStringLiteral("/tmp/daten/Vellora/Profile/"));
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(profileFolder(), QDir::homePath() + QStringLiteral("/.local/share/Vellora/Profile/"));
    qputenv("XDG_DATA_HOME", saved);
}

TEST_F(Shell, StartUpInitialisesEveryScreenOnceThenTheProfileFolder)
{
    writeContent("uebung.dat", "Willkommen im \xDC"
                               "bungsteil.");
    form().Initialize();
    EXPECT_TRUE(form().Initialized());
    EXPECT_EQ(inits_, 1);
    EXPECT_EQ(form().Uebung->IntroductionText(), QByteArray("Willkommen im \xDC"
                                                            "bungsteil."));
    EXPECT_EQ(form().Intro->Text_Zelle->Text(), TIntro::ColumnText(0));
    EXPECT_EQ(ManualForm->PageText(0), QStringLiteral("Inhalt\r\n"));
    EXPECT_TRUE(QDir(data_.path() + QStringLiteral("/Vellora/Profile")).exists());

    // The first showing runs the initialisation again; it must not reach the library twice.
    form().show();
    EXPECT_EQ(inits_, 1);
}

// The wheel belongs to the main window: over any control it goes to the visible screen's
// handler (here the cell screen's zoom) and no further.
TEST_F(Shell, WheelGoesToTheVisibleScreen)
{
    form().Initialize();
    form().show();
    form().MenuItemClick(form().MenuItem1);
    actions_.clear();
    QWidget *target = form().Zelle->Zellmodell;
    const QPoint local(5, target->height() - 5);
    QWheelEvent up(QPointF(local), QPointF(target->mapToGlobal(local)), QPoint(), QPoint(0, 120),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &up);
    ASSERT_FALSE(actions_.isEmpty());
    EXPECT_EQ(actions_.last(), (QList<int>{3, 120, 0}));

    // On the introduction nothing receives it.
    form().MenuItemClick(form().MenuItem0);
    actions_.clear();
    QWheelEvent down(QPointF(10, 10), QPointF(form().Intro->mapToGlobal(QPoint(10, 10))), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form().Intro, &down);
    EXPECT_TRUE(actions_.isEmpty());
}

TEST_F(Shell, AFailedStartUpStepEndsTheInitialisationThere)
{
    QFile::remove(contentFile("uebung.dat"));
    EXPECT_THROW(form().Initialize(), std::runtime_error);
    // Glossary and introduction came before the exercise screen; the cell screen, the manual
    // and the profile folder after it.
    EXPECT_FALSE(form().Intro->Text_Zelle->Text().isEmpty());
    EXPECT_EQ(inits_, 0);
    EXPECT_EQ(ManualForm->Page(), 3);
    EXPECT_TRUE(ManualForm->PageText(0).isEmpty());
    EXPECT_FALSE(QDir(data_.path() + QStringLiteral("/Vellora")).exists());
}

} // namespace
