#pragma once

// The cell screen's host for libzelle's drawing: a native child window whose winId() the
// library binds its EGL surface to.

#include <QString>
#include <QWidget>

#include <functional>

// The library's render window. Qt must never paint it: the GL surface owns its pixels.
class TZellmodell : public QWidget
{
    Q_OBJECT
  public:
    explicit TZellmodell(QWidget *parent = nullptr);
    QPaintEngine *paintEngine() const override { return nullptr; }

    // The pointer hint: its text, whether it is switched on. Shown at once when it changes,
    // and only while the pointer is on the model itself (not on a control lying over it).
    QString Hint() const { return hint_; }
    void SetHint(const QString &hint);
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool on);
    void SetHintState(const QString &hint, bool on);
    // The hint on screen now; empty when none shows.
    QString ShownHint() const { return shownHint_; }
    bool PointerOnModel() const { return pointerOnModel_; }
    // The modifier keys held at the last button press (Shift turns a left drag into a move).
    Qt::KeyboardModifiers PressModifiers() const { return pressModifiers_; }

    std::function<void(TZellmodell *, Qt::MouseButtons, int, int)> OnMouseDown;
    std::function<void(TZellmodell *, Qt::MouseButtons, int, int)> OnMouseUp;
    std::function<void(TZellmodell *, int, int)> OnMouseMove;
    std::function<void(TZellmodell *)> OnClick;
    // The window was exposed or resized: what the GL surface showed there is gone.
    std::function<void(TZellmodell *)> OnExpose;

  protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void childEvent(QChildEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

  private:
    void updateToolTip();
    void setPointerOnModel(bool on);

    QString hint_;
    bool showHint_ = false;
    QString shownHint_;
    bool pointerOnModel_ = false;
    bool leftPressed_ = false;
    Qt::KeyboardModifiers pressModifiers_;
};
