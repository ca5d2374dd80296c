#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

#include "Edit.h"
#include "MainMenu.h"
#include "confirmform.h"
#include "controls.h"
#include "profilefiles.h"
#include "profilestore.h"
#include "u_profile.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

const QString kMissing = QStringLiteral("Bitte gib deinen Namen und dein Passwort ein.");
const QString kBadName =
    QStringLiteral("Der Name, den du eingegeben hast, enthält ungültige Zeichen. Nur die Zeichen "
                   "0-9, a-z und A-Z sind erlaubt.");
const QString kBadPassword =
    QStringLiteral("Das Passwort, das du eingegeben hast, enthält ungültige Zeichen. Nur die "
                   "Zeichen 0-9, a-z und A-Z sind erlaubt.");
const QString kExists =
    QStringLiteral("Das Lernprofil konnte nicht erstellt werden, weil ein Lernprofil mit diesem "
                   "Namen bereits existiert.");
const QString kMismatch = QStringLiteral("Die eingegebenen Passwörter stimmen nicht überein.");
const QString kWrong = QStringLiteral("Der Name oder das Passwort sind falsch oder passen nicht zusammen!");

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class ProfileFormTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        store = std::make_unique<TProfileStore>(tmp.path());
        store->LoadProfileIndex();
        ASSERT_TRUE(store->EnsureFolder());
        ASSERT_TRUE(store->CreateProfile("Anna", "Geheim1"));
        mainWindow = std::make_unique<QWidget>();
        mainWindow->setGeometry(0, 0, 1000, 700);
        mainWindow->show();
        form = std::make_unique<TProfileForm>(store.get());
        form->SetMainWindow(mainWindow.get());
        form->OnMessage = [this](const QString &title, const QString &text) {
            titles << title;
            messages << text;
        };
    }
    void TearDown() override
    {
        form.reset();
        mainWindow.reset();
    }

    void fill(const QString &name, const QString &password, const QString &copy = QString())
    {
        form->Name->SetText(name);
        form->Password->SetText(password);
        form->Passwordcopy->SetText(copy);
    }
    QString index() const { return tmp.path() + QStringLiteral("/index.usr"); }

    QTemporaryDir tmp;
    std::unique_ptr<TProfileStore> store;
    std::unique_ptr<QWidget> mainWindow;
    std::unique_ptr<TProfileForm> form;
    QStringList titles, messages;
};

} // namespace

TEST_F(ProfileFormTest, ModesTitlesHeightsAndFields)
{
    const struct
    {
        int mode;
        const char *title;
        int height;
        bool third;
    } modes[] = {
        {TProfileForm::Create, "Neues Lernprofil anlegen", 118, true},
        {TProfileForm::SignIn, "Lernprofil anmelden", 88, false},
        {TProfileForm::Switch, "Lernprofil wechseln", 88, false},
    };
    for (const auto &m : modes) {
        form->Name->SetText("alt");
        form->ShowMode(m.mode);
        EXPECT_FALSE(mainWindow->isEnabled()) << m.title;
        EXPECT_EQ(form->MainMenu->Caption(), QString::fromUtf8(m.title));
        EXPECT_EQ(form->size(), QSize(412, m.height)) << m.title;
        EXPECT_EQ(form->Passwordcopy->isVisible(), m.third) << m.title;
        // Centred over the main window at the two-row height.
        const QRect main = mainWindow->geometry();
        EXPECT_EQ(form->pos(), main.topLeft() + QPoint((main.width() - 412) / 2, (main.height() - 88) / 2))
            << m.title;
        EXPECT_TRUE(form->Name->Text().isEmpty());
        for (ZEdit *e : {form->Name, form->Password, form->Passwordcopy})
            EXPECT_EQ(e->Edit()->maxLength(), 30);
        EXPECT_EQ(form->Name->Edit()->echoMode(), QLineEdit::Normal);
        EXPECT_EQ(form->Password->Edit()->echoMode(), QLineEdit::Password);
        EXPECT_EQ(form->Passwordcopy->Edit()->echoMode(), QLineEdit::Password);
        EXPECT_EQ(form->Password->Edit()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter), '*');
        form->CancelClick();
        EXPECT_FALSE(form->isVisible());
        EXPECT_TRUE(mainWindow->isEnabled());
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(ProfileFormTest, ChecksRunInOrderAndKeepTheDialog)
{
    const QByteArray indexBefore = readAll(index());
    const struct
    {
        int mode;
        const char *name, *password, *copy;
        QString message;
    } cases[] = {
        {TProfileForm::SignIn, "", "", "", kMissing},
        {TProfileForm::SignIn, "", "Geheim1", "", kMissing},
        {TProfileForm::SignIn, "Anna", "", "", kMissing},
        {TProfileForm::SignIn, "An na", "Geheim1!", "", kBadName}, // the name is checked first
        {TProfileForm::SignIn, "J\xc3\xbcrgen", "Geheim1", "", kBadName},
        {TProfileForm::SignIn, "Anna", "Geheim1!", "", kBadPassword},
        {TProfileForm::SignIn, "Anna", "GEHEIM1", "", kWrong},
        {TProfileForm::SignIn, "Bert", "Geheim1", "", kWrong},
        {TProfileForm::Switch, "Anna", "geheim1", "", kWrong},
        {TProfileForm::Create, "", "", "", kMissing},
        {TProfileForm::Create, "Bert", "a b", "a b", kBadPassword},
        {TProfileForm::Create, "anna", "x", "y", kExists}, // before the passwords are compared
        {TProfileForm::Create, "Bert", "abc", "abC", kMismatch},
        {TProfileForm::Create, "Bert", "abc", "", kMismatch},
    };
    for (const auto &c : cases) {
        form->ShowMode(c.mode);
        fill(QString::fromUtf8(c.name), c.password, c.copy);
        messages.clear();
        titles.clear();
        form->OKClick();
        ASSERT_EQ(messages.size(), 1) << c.name << "/" << c.password;
        EXPECT_EQ(messages[0], c.message) << c.name << "/" << c.password;
        EXPECT_EQ(titles[0], QStringLiteral("Fehler!"));
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->Mode(), c.mode);
        EXPECT_EQ(form->Name->Text(), QString::fromUtf8(c.name)); // as typed
        EXPECT_EQ(form->Password->Text(), QString(c.password));
        EXPECT_FALSE(store->SignedIn());
        EXPECT_EQ(readAll(index()), indexBefore);
        form->CancelClick();
    }
}

TEST_F(ProfileFormTest, SignInFoldsTheNameAndCloses)
{
    form->ShowMode(TProfileForm::SignIn);
    fill("ANNA", "Geheim1");
    form->OKClick();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(store->Index(), 0);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(mainWindow->isEnabled());
}

TEST_F(ProfileFormTest, CreatingWhileSignedInSavesTheOtherAndSignsInTheNew)
{
    ASSERT_TRUE(store->SignIn(0));
    ASSERT_TRUE(store->AddResult({QByteArray("S000000000000001"), 10, 8, 6}));
    // Anna's file goes missing: her sign-out before the new profile writes it again.
    ASSERT_TRUE(QFile::remove(tmp.path() + "/anna0.usr"));
    form->ShowMode(TProfileForm::Create);
    fill("Bert", "Passwort2", "Passwort2");
    form->OKClick();
    EXPECT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(mainWindow->isEnabled());
    ASSERT_EQ(store->Index(), 1);
    EXPECT_EQ(store->Active().Name, QByteArray("Bert"));
    EXPECT_TRUE(store->Results().isEmpty());
    EXPECT_EQ(readAll(tmp.path() + "/anna0.usr").size(), 36 + 4 + 28); // with her result
    EXPECT_EQ(readAll(tmp.path() + "/bert0.usr").size(), 36 + 4);
    EXPECT_EQ(store->FindProfile("bert", "Passwort2"), 1);
}

TEST_F(ProfileFormTest, SwitchingChangesProfileOnlyWithTheRightPassword)
{
    ASSERT_TRUE(store->CreateProfile("Bert", "b"));
    ASSERT_TRUE(store->SignIn(0));
    form->ShowMode(TProfileForm::Switch);
    fill("Bert", "B");
    form->OKClick();
    EXPECT_EQ(messages, QStringList{kWrong});
    EXPECT_EQ(store->Index(), 0); // Anna still signed in
    fill("bert", "b");
    form->OKClick();
    EXPECT_EQ(store->Index(), 1);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ProfileFormTest, EnterConfirmsAndEscapeCancels)
{
    form->ShowMode(TProfileForm::SignIn);
    fill("Anna", "falsch");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form->Password->Edit(), &enter);
    EXPECT_EQ(messages, QStringList{kWrong});
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form->Name->Edit(), &escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(mainWindow->isEnabled());
    EXPECT_FALSE(store->SignedIn());

    form->ShowMode(TProfileForm::SignIn);
    fill("Anna", "Geheim1");
    QApplication::sendEvent(form->Name->Edit(), &enter);
    EXPECT_EQ(store->Index(), 0);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ProfileFormTest, DraggingByTheTitleBar)
{
    form->ShowMode(TProfileForm::SignIn);
    const QPoint start = form->pos();
    form->MainMenuMouseDown(50, 10);
    form->MainMenuMouseMove(80, 30);
    EXPECT_EQ(form->pos(), start + QPoint(30, 20));
    form->MainMenuMouseUp();
    form->MainMenuMouseMove(100, 100);
    EXPECT_EQ(form->pos(), start + QPoint(30, 20));
}

TEST(ConfirmForm, OnlyJaRunsTheAction)
{
    QWidget owner;
    owner.show();
    TConfirmForm confirm;
    const QString text =
        QStringLiteral("Möchtest du das Lernprofil \u201EAnna\u201C wirklich löschen? Alle Ergebnisse "
                       "gehen verloren.");
    int yes = 0;
    auto ask = [&] { confirm.Ask(QStringLiteral("Lernprofil löschen"), text, &owner, [&yes] { ++yes; }); };

    ask();
    EXPECT_TRUE(confirm.isVisible());
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_EQ(confirm.Text->Text(), text);
    EXPECT_GE(confirm.Text->LineCount(), 2); // wrapped at the window's width
    EXPECT_EQ(confirm.height(), confirm.Text->LineCount() * 25 + 20 + 37);
    confirm.NoClick();
    EXPECT_EQ(yes, 0);
    EXPECT_TRUE(owner.isEnabled());

    for (int key : {Qt::Key_Escape, Qt::Key_Return}) {
        ask();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&confirm, &press);
        EXPECT_FALSE(confirm.isVisible());
        EXPECT_EQ(yes, 0);
    }
    ask();
    confirm.close(); // the title bar's close box
    EXPECT_EQ(yes, 0);
    EXPECT_TRUE(owner.isEnabled());

    ask();
    confirm.YesClick();
    EXPECT_EQ(yes, 1);
    EXPECT_FALSE(confirm.isVisible());
    EXPECT_TRUE(owner.isEnabled());
}

// Pictures of the dialog in each mode and of a question, for looking at; written when
// VELLORA_SHOTS names a folder.
TEST_F(ProfileFormTest, Pictures)
{
    const QString shots = qEnvironmentVariable("VELLORA_SHOTS");
    const char *names[] = {"profil-anlegen", "profil-anmelden", "profil-wechseln"};
    for (int mode = 0; mode < 3; ++mode) {
        form->ShowMode(mode);
        fill("Anna", "Geheim1", mode == 0 ? "Geheim1" : "");
        const QImage image = form->grab().toImage();
        EXPECT_EQ(image.size(), form->size());
        // Title bar grey, the face silver below it.
        EXPECT_EQ(image.pixelColor(200, 3), QColor(128, 128, 128)) << mode;
        EXPECT_EQ(image.pixelColor(4, 60), QColor(192, 192, 192)) << mode;
        if (!shots.isEmpty())
            image.save(shots + "/" + names[mode] + ".png");
        form->CancelClick();
    }
}
