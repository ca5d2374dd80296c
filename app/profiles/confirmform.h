#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class TImage;
class TPlainMemo;
class ZButton;
class ZMainMenu;
class ZShadowPanel;

// A question in the look of the program's message window, answered with "Ja" or "Nein".
// Asked before something that cannot be undone; anything but "Ja" (Nein, the close box,
// Escape, Enter) leaves everything as it was.
class TConfirmForm : public QWidget
{
  public:
    explicit TConfirmForm(QWidget *parent = nullptr);

    ZMainMenu *MainMenu = nullptr;
    TImage *Logo = nullptr;
    ZShadowPanel *Container = nullptr;
    QWidget *Container_Text = nullptr;
    TPlainMemo *Text = nullptr;
    QWidget *Container_Buttons = nullptr;
    ZButton *Yes = nullptr, *No = nullptr;

    // Shows the question; owner stays disabled until it is answered, onYes runs after a "Ja".
    void Ask(const QString &title, const QString &text, QWidget *owner, std::function<void()> onYes);

    void YesClick();
    void NoClick();
    // Wrapped lines x 25 + title bar + button panel.
    int HeightForText() const;

  protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    void layoutChildren();

    QPointer<QWidget> owner_;
    std::function<void()> onYes_;
    bool dragging_ = false;
    QPoint dragStart_;
};
