#include "confirmform.h"

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
constexpr int kButtonsHeight = 37;
constexpr int kLinePitch = 25;
} // namespace

TConfirmForm::TConfirmForm(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Vellora – Frage"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colorRef(vellora::kSilver));
    setPalette(pal);
    resize(kWidth, 3 * kLinePitch + kBarHeight + kButtonsHeight);

    MainMenu = new ZMainMenu(this);
    MainMenu->SetColor(colorRef(vellora::kGrey));
    MainMenu->SetFont(formFont(16, true));
    MainMenu->SetFontColor(Qt::white);
    MainMenu->SetHighlight(colorRef(vellora::kSilver));
    MainMenu->SetClose(true);
    MainMenu->SetMinimize(false);
    MainMenu->SetMenu(false);
    MainMenu->OnMouseDown = [this](ZMainMenu *, Qt::MouseButton, int x, int y) {
        dragging_ = true;
        dragStart_ = QPoint(x, y);
    };
    MainMenu->OnMouseMove = [this](ZMainMenu *, Qt::MouseButtons, int x, int y) {
        if (dragging_)
            move(pos() + QPoint(x, y) - dragStart_);
    };
    MainMenu->OnMouseUp = [this](ZMainMenu *, Qt::MouseButton, int, int) { dragging_ = false; };

    Logo = new TImage(MainMenu);
    Logo->setGeometry(2, 2, 16, 16);
    Logo->SetPicture(vellora::pictures::barLogo());

    Container = new ZShadowPanel(this);
    Container->SetBackground(colorRef(vellora::kGrey));
    Container->SetColor(colorRef(vellora::kSilver));
    Container->SetMarginLeft(1);
    Container->SetMarginRight(1);
    Container->SetMarginBottom(1);

    Container_Text = new QWidget(Container);
    Container_Text->setEnabled(false);
    Text = new TPlainMemo(Container_Text);
    Text->SetColor(colorRef(vellora::kSilver));
    Text->SetFontColor(Qt::white);
    Text->SetFont(formFont(16, true));
    Text->SetLineHeight(kLinePitch);

    Container_Buttons = new QWidget(Container);
    auto button = [this](const QString &caption, int left) {
        auto *b = new ZButton(Container_Buttons);
        b->setGeometry(left, 1, 146, 32);
        b->SetCaption(caption);
        b->SetColor(colorRef(14737632));
        b->SetHighlight(Qt::white);
        b->SetBorder(colorRef(vellora::kGrey));
        b->SetFont(formFont(16));
        b->SetFontColor(colorRef(4210752));
        b->setCursor(Qt::PointingHandCursor);
        return b;
    };
    Yes = button(QStringLiteral("Ja"), 71);
    Yes->OnClick = [this](ZButton *) { YesClick(); };
    No = button(QStringLiteral("Nein"), 233);
    No->OnClick = [this](ZButton *) { NoClick(); };
}

int TConfirmForm::HeightForText() const
{
    return Text->LineCount() * kLinePitch + kBarHeight + kButtonsHeight;
}

void TConfirmForm::resizeEvent(QResizeEvent *)
{
    layoutChildren();
}

void TConfirmForm::layoutChildren()
{
    MainMenu->setGeometry(0, 0, width(), kBarHeight);
    Container->setGeometry(0, kBarHeight, width(), height() - kBarHeight);
    const int textHeight = Container->height() - kButtonsHeight;
    Container_Text->setGeometry(10, 0, width() - 20, qMax(0, textHeight));
    Text->setGeometry(0, 0, Container_Text->width(), Container_Text->height());
    Container_Buttons->setGeometry(0, Container->height() - kButtonsHeight, width(), kButtonsHeight);
}

void TConfirmForm::Ask(const QString &title, const QString &text, QWidget *owner, std::function<void()> onYes)
{
    owner_ = owner;
    onYes_ = std::move(onYes);
    MainMenu->SetCaption(title);
    // The text wraps at the memo's width: lay out before counting its lines (a hidden window
    // gets its resize event only when shown).
    resize(kWidth, height());
    layoutChildren();
    Text->SetText(text);
    if (owner_)
        owner_->setEnabled(false);
    const int h = HeightForText();
    const QRect screen = QGuiApplication::primaryScreen()
                             ? QGuiApplication::primaryScreen()->availableGeometry()
                             : QRect(0, 0, 1024, 768);
    setGeometry(screen.left() + (screen.width() - kWidth) / 2, screen.top() + (screen.height() - h) / 2,
                kWidth, h);
    layoutChildren();
    show();
    raise();
    activateWindow();
}

void TConfirmForm::YesClick()
{
    std::function<void()> yes = std::move(onYes_);
    onYes_ = nullptr;
    close();
    if (yes)
        yes();
}

void TConfirmForm::NoClick()
{
    onYes_ = nullptr;
    close();
}

void TConfirmForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    setFocus();
}

void TConfirmForm::closeEvent(QCloseEvent *event)
{
    // Closed any other way than by "Ja": nothing happens.
    onYes_ = nullptr;
    dragging_ = false;
    if (owner_)
        owner_->setEnabled(true);
    event->accept();
}

// Nothing is deleted by a key: Enter and Escape both answer "Nein".
void TConfirmForm::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        NoClick();
        return;
    }
    QWidget::keyPressEvent(event);
}
