#include "u_info.h"

#include "MainMenu.h"
#include "base/colorref.h"
#include "controls.h"
#include "pictures.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

using vellora::colorRef;

TInfoForm::TInfoForm(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Vellora – Info"));
    setFixedSize(502, 548);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colorRef(vellora::kGrey));
    setPalette(pal);

    MainMenu = new ZMainMenu(this);
    MainMenu->setGeometry(0, 0, 502, 20);
    MainMenu->SetCaption(QStringLiteral("Info"));
    MainMenu->SetColor(colorRef(vellora::kGrey));
    MainMenu->SetFont(vellora::formFont(16, true));
    MainMenu->SetFontColor(Qt::white);
    MainMenu->SetHighlight(colorRef(vellora::kSilver));
    MainMenu->SetClose(true);
    MainMenu->SetMinimize(false);
    MainMenu->SetMenu(false);

    Logo = new TImage(MainMenu);
    Logo->setGeometry(2, 2, 16, 16);
    Logo->SetPicture(vellora::pictures::barLogo());

    Credits = new TImage(this);
    Credits->setGeometry(1, 20, 500, 527);
    Credits->SetPicture(vellora::pictures::credits());
}

void TInfoForm::showEvent(QShowEvent *event)
{
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->availableGeometry();
        move(r.left() + (r.width() - width()) / 2, r.top() + (r.height() - height()) / 2);
    }
    QWidget::showEvent(event);
    raise();
    activateWindow();
}

void TInfoForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
