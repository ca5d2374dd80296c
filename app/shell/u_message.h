#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

class ZMainMenu;
class ZShadowPanel;
class ZButton;
class TImage;
class TPlainMemo;

// The program-wide message window: a title bar, the text, and "Schließen". Reused for every
// message; its owner stays disabled while it shows.
class TMessageForm : public QWidget
{
  public:
    explicit TMessageForm(QWidget *parent = nullptr);

    ZMainMenu *MainMenu = nullptr;
    TImage *Logo = nullptr;
    ZShadowPanel *Container = nullptr;
    QWidget *Container_Text = nullptr;
    TPlainMemo *Text = nullptr;
    QWidget *Container_Close = nullptr;
    ZButton *Exit = nullptr;

    QWidget *Owner() const { return owner_; }
    void SetOwner(QWidget *owner) { owner_ = owner; }

    // Height for the current text: wrapped lines x 25 + title bar + close panel.
    int HeightForText() const;

    void FormShow();
    void FormClose();
    void FormKeyDown(int key);
    void ExitClick();
    void MainMenuMouseDown(int x, int y);
    void MainMenuMouseMove(int x, int y);
    void MainMenuMouseUp();
    bool Dragging() const { return dragging_; }

  protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    QPointer<QWidget> owner_;
    bool dragging_ = false;
    QPoint dragStart_;
};
