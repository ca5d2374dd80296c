#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class TImage;
class TProfileStore;
class ZButton;
class ZEdit;
class ZMainMenu;
class ZShadowPanel;

// The small borderless dialog in which a learner creates a profile, signs in or switches
// profile. Not modal: it disables the main window while it is shown. Problems are told through
// the program's message window (OnMessage), with this dialog as the owner.
class TProfileForm : public QWidget
{
  public:
    enum Mode { Create = 0, SignIn = 1, Switch = 2 };

    explicit TProfileForm(TProfileStore *store, QWidget *parent = nullptr);

    ZMainMenu *MainMenu = nullptr;
    TImage *Logo = nullptr;
    ZShadowPanel *ProfileForm = nullptr;
    QLabel *Label_Name = nullptr, *Label_Password = nullptr;
    ZEdit *Name = nullptr, *Password = nullptr, *Passwordcopy = nullptr;
    ZButton *OK = nullptr, *Cancel = nullptr;

    // The window disabled while the dialog shows, and centred over.
    void SetMainWindow(QWidget *window) { mainWindow_ = window; }

    int Mode() const { return mode_; }
    void SetMode(int mode) { mode_ = mode; }
    // Sets the mode and shows the dialog.
    void ShowMode(int mode);

    void FormShow();
    void FormClose();
    void OKClick();
    void CancelClick();
    void MainMenuMouseDown(int x, int y);
    void MainMenuMouseMove(int x, int y);
    void MainMenuMouseUp();
    bool Dragging() const { return dragging_; }

    // (title, text): the main window shows it in its message window, owned by this dialog.
    std::function<void(const QString &, const QString &)> OnMessage;

  protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Escape where no field has the focus (a button, the bar) cancels as well.
    void keyPressEvent(QKeyEvent *event) override;

  private:
    void message(const QString &text);

    TProfileStore *store_;
    QPointer<QWidget> mainWindow_;
    int mode_ = SignIn;
    bool dragging_ = false;
    QPoint dragStart_;
};
