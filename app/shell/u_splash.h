#pragma once

#include <QRect>
#include <QUrl>
#include <QWidget>

#include <functional>

class QTimer;
class TImage;

// The start window: the splash picture with the program's help address; its timer runs the
// start-up once and hands over to the manual's welcome page.
class TSplash : public QWidget
{
  public:
    explicit TSplash(QWidget *parent = nullptr);

    TImage *Splash = nullptr;
    QWidget *Line = nullptr; // underline of the address while the pointer is on it
    QTimer *Timer = nullptr;

    // (164, 278)-(336, 294), right and bottom exclusive.
    static QRect LinkArea() { return QRect(164, 278, 336 - 164, 294 - 278); }

    void TimerTimer();
    void SplashMouseMove(int x, int y);
    void SplashMouseDown(int x, int y);

    // Opens the address; QDesktopServices by default (tests replace it).
    std::function<void(const QUrl &)> OpenUrl;
    static QUrl HelpUrl();

    // What the timer hands over to: the program's start-up (may throw; the program then ends)
    // and the manual's welcome page.
    std::function<void()> StartUp;
    std::function<void()> ShowManual;
};
