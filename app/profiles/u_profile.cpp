#include "u_profile.h"

#include "Button.h"
#include "Edit.h"
#include "MainMenu.h"
#include "ShadowPanel.h"
#include "base/colorref.h"
#include "controls.h"
#include "pictures.h"
#include "profilefiles.h"
#include "profilestore.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>

using vellora::colorRef;
using vellora::formFont;

namespace {

constexpr int kWidth = 412;
constexpr int kBarHeight = 20;
constexpr int kHeightTwoRows = 88;
constexpr int kHeightThreeRows = 118;
constexpr int kMaxLength = 30;

// Masked fields show '*' rather than the platform's bullet.
class StarPasswordStyle : public QProxyStyle
{
  public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

bool allowed(const QString &text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z')))
            return false;
    }
    return true;
}

} // namespace

TProfileForm::TProfileForm(TProfileStore *store, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), store_(store)
{
    setWindowTitle(QStringLiteral("Lernprofil"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colorRef(vellora::kGrey));
    setPalette(pal);
    resize(kWidth, kHeightTwoRows);

    MainMenu = new ZMainMenu(this);
    MainMenu->SetColor(colorRef(vellora::kGrey));
    MainMenu->SetFont(formFont(16, true));
    MainMenu->SetFontColor(Qt::white);
    MainMenu->SetHighlight(colorRef(vellora::kSilver));
    MainMenu->SetClose(true);
    MainMenu->SetMinimize(false);
    MainMenu->SetMenu(false);
    MainMenu->OnMouseDown = [this](ZMainMenu *, Qt::MouseButton, int x, int y) { MainMenuMouseDown(x, y); };
    MainMenu->OnMouseMove = [this](ZMainMenu *, Qt::MouseButtons, int x, int y) { MainMenuMouseMove(x, y); };
    MainMenu->OnMouseUp = [this](ZMainMenu *, Qt::MouseButton, int, int) { MainMenuMouseUp(); };

    Logo = new TImage(MainMenu);
    Logo->setGeometry(2, 2, 16, 16);
    Logo->SetPicture(vellora::pictures::barLogo());

    ProfileForm = new ZShadowPanel(this);
    ProfileForm->SetBackground(colorRef(vellora::kGrey));
    ProfileForm->SetColor(colorRef(vellora::kSilver));
    ProfileForm->SetMarginLeft(1);
    ProfileForm->SetMarginTop(0);
    ProfileForm->SetMarginRight(1);
    ProfileForm->SetMarginBottom(1);

    auto label = [this](const QString &caption, int top) {
        auto *l = new QLabel(caption, ProfileForm);
        l->setFont(formFont(16));
        QPalette lp = l->palette();
        lp.setColor(QPalette::WindowText, Qt::white);
        l->setPalette(lp);
        l->move(8, top);
        l->adjustSize();
        return l;
    };
    Label_Name = label(QStringLiteral("Name:"), 6);
    Label_Password = label(QStringLiteral("Passwort:"), 38);

    auto *stars = new StarPasswordStyle;
    stars->setParent(this);
    auto edit = [this, stars](int top, bool masked) {
        auto *e = new ZEdit(ProfileForm);
        e->setGeometry(88, top, 209, 25);
        e->SetColor(Qt::white);
        e->SetBorder(colorRef(vellora::kGrey));
        e->SetFont(formFont(16));
        e->Edit()->setMaxLength(kMaxLength);
        if (masked) {
            e->Edit()->setStyle(stars);
            e->Edit()->setEchoMode(QLineEdit::Password);
        }
        e->Edit()->installEventFilter(this);
        return e;
    };
    Name = edit(6, false);
    Password = edit(38, true);
    Passwordcopy = edit(67, true);

    auto button = [this](const QString &caption, int top) {
        auto *b = new ZButton(ProfileForm);
        b->setGeometry(308, top, 97, 25);
        b->SetCaption(caption);
        b->SetColor(colorRef(vellora::kSilver));
        b->SetBorder(colorRef(vellora::kGrey));
        b->SetFont(formFont(16));
        b->SetFontColor(Qt::white);
        b->SetHighlight(colorRef(14737632));
        b->setCursor(Qt::PointingHandCursor);
        return b;
    };
    OK = button(QStringLiteral("OK"), 6);
    OK->OnClick = [this](ZButton *) { OKClick(); };
    Cancel = button(QStringLiteral("Abbrechen"), 38);
    Cancel->OnClick = [this](ZButton *) { CancelClick(); };
}

void TProfileForm::resizeEvent(QResizeEvent *)
{
    MainMenu->setGeometry(0, 0, width(), kBarHeight);
    ProfileForm->setGeometry(0, kBarHeight, width(), qMax(0, height() - kBarHeight));
}

void TProfileForm::ShowMode(int mode)
{
    mode_ = mode;
    if (isVisible())
        FormShow();
    show();
    raise();
    activateWindow();
}

void TProfileForm::FormShow()
{
    if (mainWindow_) {
        mainWindow_->setEnabled(false);
        const QRect m = mainWindow_->geometry();
        move(m.left() + (m.width() - kWidth) / 2, m.top() + (m.height() - kHeightTwoRows) / 2);
    }
    resize(kWidth, kHeightTwoRows);
    Name->SetText(QString());
    Password->SetText(QString());
    Passwordcopy->SetText(QString());
    for (ZEdit *e : {Name, Password, Passwordcopy})
        e->Edit()->setMaxLength(kMaxLength);
    Password->Edit()->setEchoMode(QLineEdit::Password);
    Passwordcopy->Edit()->setEchoMode(QLineEdit::Password);
    // Outside the create mode the third field lies below the dialog; hidden, Tab cannot reach it.
    Passwordcopy->setVisible(mode_ == Create);
    switch (mode_) {
    case Create:
        resize(kWidth, kHeightThreeRows);
        MainMenu->SetCaption(QStringLiteral("Neues Lernprofil anlegen"));
        break;
    case SignIn:
        MainMenu->SetCaption(QStringLiteral("Lernprofil anmelden"));
        break;
    case Switch:
        MainMenu->SetCaption(QStringLiteral("Lernprofil wechseln"));
        break;
    default:
        break;
    }
    Name->Edit()->setFocus();
}

void TProfileForm::FormClose()
{
    dragging_ = false;
    if (mainWindow_)
        mainWindow_->setEnabled(true);
}

void TProfileForm::message(const QString &text)
{
    if (OnMessage)
        OnMessage(QStringLiteral("Fehler!"), text);
}

void TProfileForm::OKClick()
{
    const QString name = Name->Text();
    const QString password = Password->Text();
    const QString missing = QStringLiteral("Bitte gib deinen Namen und dein Passwort ein.");
    if (name.isEmpty())
        return message(missing);
    if (password.isEmpty())
        return message(missing);
    if (!allowed(name))
        return message(QStringLiteral("Der Name, den du eingegeben hast, enthält ungültige Zeichen. Nur die "
                                      "Zeichen 0-9, a-z und A-Z sind erlaubt."));
    if (!allowed(password))
        return message(
            QStringLiteral("Das Passwort, das du eingegeben hast, enthält ungültige Zeichen. Nur die "
                           "Zeichen 0-9, a-z und A-Z sind erlaubt."));
    // Only 0-9, a-z, A-Z are left: the bytes are the same in every code page.
    const QByteArray nameBytes = name.toLatin1();
    const QByteArray passwordBytes = password.toLatin1();
    // Another copy of the program may have changed the profiles since the last look.
    store_->ReloadIndex();

    switch (mode_) {
    case Create: {
        if (store_->NameExists(nameBytes))
            return message(
                QStringLiteral("Das Lernprofil konnte nicht erstellt werden, weil ein Lernprofil mit "
                               "diesem Namen bereits existiert."));
        if (password != Passwordcopy->Text())
            return message(QStringLiteral("Die eingegebenen Passwörter stimmen nicht überein."));
        // A failed write is told by the store; the dialog stays as it is.
        if (!store_->CreateProfile(nameBytes, passwordBytes))
            return;
        mode_ = SignIn;
        if (store_->SignedIn() && !store_->SaveAndSignOut())
            return;
        OKClick();
        return;
    }
    case SignIn:
    case Switch: {
        const int i = store_->FindProfile(nameBytes, passwordBytes);
        if (i < 0)
            return message(
                QStringLiteral("Der Name oder das Passwort sind falsch oder passen nicht zusammen!"));
        if (mode_ == Switch && store_->SignedIn() && !store_->SaveAndSignOut())
            return;
        if (store_->SignIn(i))
            close();
        return;
    }
    default:
        close();
        return;
    }
}

void TProfileForm::CancelClick()
{
    close();
}

void TProfileForm::MainMenuMouseDown(int x, int y)
{
    dragging_ = true;
    dragStart_ = QPoint(x, y);
}

void TProfileForm::MainMenuMouseMove(int x, int y)
{
    if (dragging_)
        move(pos() + QPoint(x, y) - dragStart_);
}

void TProfileForm::MainMenuMouseUp()
{
    dragging_ = false;
}

void TProfileForm::showEvent(QShowEvent *event)
{
    FormShow();
    QWidget::showEvent(event);
}

void TProfileForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

// Enter confirms and Escape cancels from any of the three fields.
bool TProfileForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OKClick();
            return true;
        }
        if (key == Qt::Key_Escape) {
            CancelClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TProfileForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        CancelClick();
        return;
    }
    QWidget::keyPressEvent(event);
}
