#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

#include "Edit.h"
#include "MainMenu.h"
#include "Menu.h"
#include "confirmform.h"
#include "controls.h"
#include "profilestore.h"
#include "support/programfolder.h"
#include "u_main.h"
#include "u_message.h"
#include "u_profile.h"
#include "u_splash.h"
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

// Draws nothing; the start-up only needs something to initialise.
class QuietLibrary : public vellora::ZelleLibrary
{
  public:
    void Init(std::uintptr_t, const QByteArray &) override {}
    void Viewport(bool, int, int, int, int) override {}
    int Render(int, int) override { return -1; }
    int Action(int, int, int) override { return -1; }
};

// The program's windows over a temporary profile folder, nobody signed in.
class ProfileMenu : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        saved_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", data_.path().toLocal8Bit());
        for (const char *name :
             {"glossar.dat", "uebung.dat", "meshes.dat", "zelle_m.dat", "uebung_m.dat", "glossar_m.dat"})
            program_.write(QStringLiteral("inhalt/") + QLatin1String(name), "Inhalt\r\n");
        windows_ = std::make_unique<TProgramWindows>();
        windows_->Splash()->Timer->stop();
        form().setGeometry(0, 0, 1000, 800);
        form().Zelle->SetLibrary(std::make_unique<QuietLibrary>());
    }
    void TearDown() override
    {
        windows_.reset();
        qputenv("XDG_DATA_HOME", saved_);
    }

    TMainForm &form() { return *windows_->MainForm(); }
    TProfileStore &store() { return *form().Profiles; }
    QString folder() const { return data_.path() + QStringLiteral("/Vellora/Profile/"); }
    QString barCaption() { return form().MainMenu->Items()[0]->Caption(); }
    QString entry(int i) { return form().Lernprofil->Items()[i]->Caption(); }
    QList<bool> enabled()
    {
        QList<bool> out;
        for (int i = 0; i < 6; ++i)
            out << form().Lernprofil->Items()[i]->Enabled();
        return out;
    }
    void click(int i) { form().MainMenuItemClick(form().Lernprofil, i); }

    QTemporaryDir data_;
    vellora::test::ProgramFolder program_;
    QByteArray saved_;
    std::unique_ptr<TProgramWindows> windows_;
};

const QList<bool> kSignedOut{true, false, true, true, false, false};
const QList<bool> kSignedIn{true, true, true, true, true, true};
const QList<bool> kLocked{false, false, false, false, false, false};

} // namespace

TEST_F(ProfileMenu, StartUpLoadsTheIndexAndMakesTheFolder)
{
    EXPECT_FALSE(QDir(folder()).exists());
    form().Initialize();
    EXPECT_TRUE(QDir(folder()).exists());
    EXPECT_EQ(store().Folder(), folder());
    EXPECT_EQ(store().Index(), -1);
    EXPECT_EQ(enabled(), kSignedOut);
    EXPECT_EQ(entry(0), QStringLiteral("Lernprofil anmelden"));
    EXPECT_EQ(windows_->ProfileForm(), form().ProfileForm());
}

TEST_F(ProfileMenu, CaptionsAndEntriesFollowSignInAndOut)
{
    form().Initialize();
    ASSERT_TRUE(store().CreateProfile("Anna", "a"));

    click(0); // signed out: the dialog in sign-in mode
    TProfileForm *dialog = form().ProfileForm();
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Mode(), TProfileForm::SignIn);
    EXPECT_FALSE(form().isEnabled());
    EXPECT_TRUE(dialog->isEnabled());
    dialog->Name->SetText("anna");
    dialog->Password->SetText("a");
    dialog->OKClick();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(form().isEnabled());
    EXPECT_EQ(barCaption(), QStringLiteral("Lernprofil: Anna"));
    EXPECT_EQ(entry(0), QStringLiteral("Anna abmelden"));
    EXPECT_EQ(enabled(), kSignedIn);

    form().SetProfileMenuLocked(true);
    EXPECT_EQ(enabled(), kLocked);
    // The sign-in after a finished test opens the menu again.
    ASSERT_TRUE(store().AddResult({QByteArray("S000000000000001"), 1, 8, 8}));
    EXPECT_EQ(enabled(), kSignedIn);
    form().SetProfileMenuLocked(true);
    form().SetProfileMenuLocked(false);
    EXPECT_EQ(enabled(), kSignedIn);

    click(0); // signed in: sign out
    EXPECT_EQ(store().Index(), -1);
    EXPECT_EQ(barCaption(), QStringLiteral("Lernprofil"));
    EXPECT_EQ(entry(0), QStringLiteral("Lernprofil anmelden"));
    EXPECT_EQ(enabled(), kSignedOut);
    form().SetProfileMenuLocked(true);
    form().SetProfileMenuLocked(false);
    EXPECT_EQ(enabled(), kSignedOut);

    const struct
    {
        int entry;
        int mode;
    } dialogs[] = {{2, TProfileForm::Create}, {1, TProfileForm::Switch}};
    for (const auto &d : dialogs) {
        click(d.entry);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(dialog->Mode(), d.mode);
        dialog->CancelClick();
    }
}

TEST_F(ProfileMenu, DeletingAsksFirst)
{
    form().Initialize();
    ASSERT_TRUE(store().CreateProfile("Anna", "a"));
    ASSERT_TRUE(store().SignIn(0));
    const QByteArray indexBefore = [&] {
        QFile f(folder() + "index.usr");
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    click(5);
    TConfirmForm *confirm = form().Confirm;
    ASSERT_TRUE(confirm->isVisible());
    EXPECT_EQ(confirm->Text->Text(),
              QStringLiteral("Möchtest du das Lernprofil \u201EAnna\u201C wirklich löschen? "
                             "Alle Ergebnisse gehen verloren."));
    EXPECT_EQ(confirm->MainMenu->Caption(), QStringLiteral("Lernprofil löschen"));
    EXPECT_FALSE(form().isEnabled());
    EXPECT_TRUE(confirm->isEnabled()); // answerable while the main window is off
    confirm->NoClick();
    EXPECT_TRUE(form().isEnabled());
    EXPECT_EQ(store().Index(), 0);
    EXPECT_TRUE(QFile::exists(folder() + "anna0.usr"));

    click(5);
    confirm->YesClick();
    EXPECT_EQ(store().Index(), -1);
    EXPECT_FALSE(QFile::exists(folder() + "anna0.usr"));
    EXPECT_TRUE(store().Users().isEmpty());
    EXPECT_EQ(enabled(), kSignedOut);
    EXPECT_NE(indexBefore, QByteArray());
}

TEST_F(ProfileMenu, StoreFailuresAreShownOverTheWindowInUse)
{
    form().Initialize();
    ASSERT_TRUE(store().CreateProfile("Anna", "a"));
    store().SetLockTimeout(0);
    QLockFile other(folder() + "index.lock");
    ASSERT_TRUE(other.tryLock(0));

    // From the dialog: the message belongs to the dialog, which stays open.
    click(2);
    TProfileForm *dialog = form().ProfileForm();
    dialog->Name->SetText("Bert");
    dialog->Password->SetText("b");
    dialog->Passwordcopy->SetText("b");
    dialog->OKClick();
    TMessageForm *message = windows_->MessageForm();
    ASSERT_TRUE(message->isVisible());
    EXPECT_EQ(message->MainMenu->Caption(), QStringLiteral("Fehler!"));
    EXPECT_TRUE(message->Text->Text().contains(QStringLiteral("gesperrt")));
    EXPECT_EQ(message->Owner(), dialog);
    EXPECT_TRUE(dialog->isVisible());
    message->close();
    dialog->CancelClick();
    EXPECT_TRUE(form().isEnabled());

    // Anywhere else: over the main window. Signing in would make Anna's file now.
    EXPECT_FALSE(store().SignIn(0));
    ASSERT_TRUE(message->isVisible());
    EXPECT_EQ(message->Owner(), &form());
    EXPECT_FALSE(form().isEnabled());
    message->close();
    EXPECT_TRUE(form().isEnabled());
    EXPECT_EQ(store().Index(), -1);
}
