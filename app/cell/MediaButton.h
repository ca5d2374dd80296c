#pragma once

// The read-aloud buttons: a framed light face with a dark play triangle, pause bars or stop
// square. A click drives the assigned player, then reports itself.

#include <QColor>
#include <QWidget>

#include <functional>

class TMediaPlayer;

enum ZMediaButtonType { mbPlay, mbPause, mbStop };

class ZMediaButton : public QWidget
{
    Q_OBJECT
  public:
    explicit ZMediaButton(QWidget *parent = nullptr);

    ZMediaButtonType ButtonType() const { return type_; }
    void SetButtonType(ZMediaButtonType type);
    TMediaPlayer *MediaPlayer() const { return player_; }
    void SetMediaPlayer(TMediaPlayer *player) { player_ = player; }
    QColor Color() const { return color_; }
    void SetColor(const QColor &color);
    QColor Highlight() const { return highlight_; }
    void SetHighlight(const QColor &color);
    QColor Border() const { return border_; }
    void SetBorder(const QColor &color);
    // The play, pause or stop sign; dark, so that it reads on the light faces.
    QColor SignColor() const { return sign_; }
    void SetSignColor(const QColor &color);
    bool Hovered() const { return hovered_; }

    // As if pressed: without a player nothing happens. The player's error (a closed device)
    // propagates to the caller; OnClick then does not fire. A play button on a computer without
    // sound output starts nothing: it emits soundMissing instead and OnClick does not fire.
    void Click();

    std::function<void(ZMediaButton *)> OnClick;
    // Whether the computer has a sound output; asked at each play click. Tests replace it.
    std::function<bool()> HasSoundOutput = &SystemHasSoundOutput;
    static bool SystemHasSoundOutput();

  signals:
    void soundMissing();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // The second press of a double click arms no second click.
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

  private:
    ZMediaButtonType type_ = mbPlay;
    TMediaPlayer *player_ = nullptr;
    QColor color_;
    QColor highlight_;
    QColor border_;
    QColor sign_;
    bool hovered_ = false;
    bool pressed_ = false;
};
