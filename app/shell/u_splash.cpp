#include "u_splash.h"

#include "base/colorref.h"
#include "controls.h"
#include "errorbox.h"
#include "pictures.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

using vellora::colorRef;

TSplash::TSplash(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Vellora"));
    setFixedSize(500, 325);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colorRef(15136247));
    setPalette(pal);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->availableGeometry();
        move(r.left() + (r.width() - width()) / 2, r.top() + (r.height() - height()) / 2);
    }

    Splash = new TImage(this);
    Splash->setGeometry(0, 0, 500, 325);
    Splash->SetPicture(vellora::pictures::splash());
    Splash->setMouseTracking(true);
    Splash->OnMouseMove = [this](TImage *, int x, int y) { SplashMouseMove(x, y); };
    Splash->OnMouseDown = [this](TImage *, int x, int y) { SplashMouseDown(x, y); };

    Line = new QWidget(this);
    Line->setGeometry(170, 291, 162, 1);
    Line->setAutoFillBackground(true);
    QPalette linePal = Line->palette();
    linePal.setColor(QPalette::Window, colorRef(vellora::kGrey));
    Line->setPalette(linePal);
    Line->setAttribute(Qt::WA_TransparentForMouseEvents);
    Line->hide();

    OpenUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };

    Timer = new QTimer(this);
    Timer->setInterval(3000);
    QObject::connect(Timer, &QTimer::timeout, this, [this] { TimerTimer(); });
    Timer->start();
}

QUrl TSplash::HelpUrl()
{
    return QUrl::fromLocalFile(vellora::pictures::helpPagePath());
}

void TSplash::TimerTimer()
{
    // Stopped first: a start-up that failed must not be retried every three seconds.
    Timer->stop();
    const bool ok = vellora::guarded([this] {
        if (StartUp)
            StartUp();
    });
    if (!ok) {
        // The screens are not all ready; the program cannot go on without them.
        QCoreApplication::exit(1);
        return;
    }
    if (ShowManual)
        ShowManual();
    Splash->hide();
    Line->hide();
}

void TSplash::SplashMouseMove(int x, int y)
{
    Line->setVisible(LinkArea().contains(x, y));
}

void TSplash::SplashMouseDown(int x, int y)
{
    // Nothing is reported when no browser can open the page.
    if (LinkArea().contains(x, y) && OpenUrl)
        OpenUrl(HelpUrl());
}
