#include "u_message.h"

#include "Button.h"
#include "MainMenu.h"
#include "ShadowPanel.h"
#include "base/colorref.h"
#include "controls.h"
#include "pictures.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

using vellora::colorRef;
using vellora::formFont;

namespace {
constexpr int kWidth = 450;
constexpr int kBarHeight = 20;
constexpr int kCloseHeight = 37;
constexpr int kLinePitch = 25;
} // namespace

TMessageForm::TMessageForm(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Vellora – Meldung"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colorRef(vellora::kSilver));
    setPalette(pal);
    resize(kWidth, 3 * kLinePitch + kBarHeight + kCloseHeight);

    MainMenu = new ZMainMenu(this);
    MainMenu->setGeometry(0, 0, kWidth, kBarHeight);
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

    Container = new ZShadowPanel(this);
    Container->SetBackground(colorRef(vellora::kGrey));
    Container->SetColor(colorRef(vellora::kSilver));
    Container->SetMarginLeft(1);
    Container->SetMarginRight(1);
    Container->SetMarginBottom(1);

    // Display only: the text can be neither focused nor selected.
    Container_Text = new QWidget(Container);
    Container_Text->setEnabled(false);
    Text = new TPlainMemo(Container_Text);
    Text->SetColor(colorRef(vellora::kSilver));
    Text->SetFontColor(Qt::white);
    Text->SetFont(formFont(16, true));
    Text->SetLineHeight(kLinePitch);

    Container_Close = new QWidget(Container);
    Exit = new ZButton(Container_Close);
    Exit->setGeometry(152, 1, 146, 32);
    Exit->SetCaption(QStringLiteral("Schließen"));
    Exit->SetColor(colorRef(14737632));
    Exit->SetHighlight(Qt::white);
    Exit->SetBorder(colorRef(vellora::kGrey));
    Exit->SetFont(formFont(16));
    Exit->SetFontColor(colorRef(4210752));
    Exit->setCursor(Qt::PointingHandCursor);
    Exit->OnClick = [this](ZButton *) { ExitClick(); };
}

int TMessageForm::HeightForText() const
{
    return Text->LineCount() * kLinePitch + kBarHeight + kCloseHeight;
}

void TMessageForm::resizeEvent(QResizeEvent *)
{
    MainMenu->setGeometry(0, 0, width(), kBarHeight);
    Container->setGeometry(0, kBarHeight, width(), height() - kBarHeight);
    const int textHeight = Container->height() - kCloseHeight;
    Container_Text->setGeometry(10, 0, width() - 20, qMax(0, textHeight));
    Text->setGeometry(0, 0, Container_Text->width(), Container_Text->height());
    Container_Close->setGeometry(0, Container->height() - kCloseHeight, width(), kCloseHeight);
}

void TMessageForm::FormShow()
{
    if (owner_)
        owner_->setEnabled(false);
    const int h = HeightForText();
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1024, 768);
    // Centred again for the new height, so a long message stays on the screen's middle.
    setGeometry(screen.left() + (screen.width() - kWidth) / 2, screen.top() + (screen.height() - h) / 2,
                kWidth, h);
}

void TMessageForm::FormClose()
{
    if (owner_)
        owner_->setEnabled(true);
}

void TMessageForm::FormKeyDown(int key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape)
        close();
}

void TMessageForm::ExitClick()
{
    close();
}

void TMessageForm::MainMenuMouseDown(int x, int y)
{
    dragging_ = true;
    dragStart_ = QPoint(x, y);
}

void TMessageForm::MainMenuMouseMove(int x, int y)
{
    if (dragging_)
        move(pos() + QPoint(x, y) - dragStart_);
}

void TMessageForm::MainMenuMouseUp()
{
    dragging_ = false;
}

void TMessageForm::showEvent(QShowEvent *event)
{
    FormShow();
    QWidget::showEvent(event);
    setFocus();
}

void TMessageForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}

void TMessageForm::keyPressEvent(QKeyEvent *event)
{
    FormKeyDown(event->key());
    QWidget::keyPressEvent(event);
}
