#pragma once

#include <QWidget>

class ZMainMenu;
class TImage;

// The info window: title bar and the credits picture.
class TInfoForm : public QWidget
{
  public:
    explicit TInfoForm(QWidget *parent = nullptr);

    ZMainMenu *MainMenu = nullptr;
    TImage *Logo = nullptr;
    TImage *Credits = nullptr;

  protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override; // Escape closes
};
