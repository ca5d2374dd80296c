#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>

class QFileDialog;
class ZMainMenu;
class ZMenu;
class TIntro;
class TZelle;
class TUebung;
class TGlossar;
class TMessageForm;
class TManualForm;
class TInfoForm;
class TProfileStore;
class TProfileForm;
class TConfirmForm;

// One panel of the screen switcher: its screen's colour and name; a click is reported to
// OnClick (the main window's MenuItemClick with the panel as sender).
class TSwitcherItem : public QWidget
{
  public:
    TSwitcherItem(int tag, const QString &caption, int colorRef, QWidget *parent);
    int Tag() const { return tag_; }
    QString Caption() const { return caption_; }

    std::function<void(TSwitcherItem *)> OnClick;

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // Qt turns the second press of a double click into this event: it must not count again.
    void mouseDoubleClickEvent(QMouseEvent *) override {}

  private:
    int tag_;
    QString caption_;
};

// The borderless main window: title and menu bar, screen switcher, the four screens, and the
// program-wide message box. Created once at start and shown only after the manual closes.
// The screens know no window: they ask by signal, and ConnectScreens() answers.
class TMainForm : public QWidget
{
  public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // The windows the main window opens: message, manual and info (created at start-up after
    // the main window, see TProgramWindows).
    void SetWindows(TMessageForm *message, TManualForm *manual, TInfoForm *info);
    TMessageForm *MessageForm() const;
    TManualForm *ManualForm() const;
    TInfoForm *InfoForm() const;

    ZMainMenu *MainMenu = nullptr; // the bar; bar items via its Items()
    QWidget *Logo = nullptr;       // 16 x 16 picture on the bar
    ZMenu *Lernprofil = nullptr, *Info = nullptr;
    QWidget *Menu = nullptr; // the screen switcher
    QWidget *MenuItem0 = nullptr, *MenuItem1 = nullptr, *MenuItem2 = nullptr, *MenuItem3 = nullptr,
            *MenuItem4 = nullptr;
    TIntro *Intro = nullptr;
    TZelle *Zelle = nullptr;
    TUebung *Uebung = nullptr;
    TGlossar *Glossar = nullptr;
    QFileDialog *ExportProfile = nullptr, *ImportProfile = nullptr;

    // Start-up initialisation of every screen and the manual, then the profile folder.
    // Runs once; a second call (the first showing of the window) does nothing.
    void Initialize();
    bool Initialized() const { return initialized_; }

    void MenuItemClick(QWidget *sender); // switches screens; sender = one of MenuItem0..4
    void MainMenuItemClick(ZMenu *sender, int index);
    // Previews every key pressed in this window. Escape folds away what lies open over the
    // screen (bar menu, switcher, the cell screen's help box), one at a time, and goes no
    // further; F1 opens the current screen's help. Other keys go to the visible screen.
    void FormKeyDown(int key);
    void FormMouseWheel(Qt::KeyboardModifiers shift, int delta, const QPoint &globalPos);
    void ZellePartsItemSelect(int index);
    void LogoClick();
    void ShowMessage(const QString &title, const QString &text, QWidget *owner);
    // A glossary link from the cell screen's text: the glossary screen with that entry and
    // its way back.
    void OpenGlossaryEntry(int number);
    // The manual window with one area's page (0 cell, 1 exercises, 2 glossary).
    void ShowManualPage(int page);

    // The learners' profiles (owned) and the dialog that signs them in (a start-up window,
    // handed over by TProgramWindows). The profile menu follows the store's ProfileChanged.
    TProfileStore *Profiles = nullptr;
    TConfirmForm *Confirm = nullptr; // the question before a profile is deleted (owned)
    void SetProfileForm(TProfileForm *form);
    TProfileForm *ProfileForm() const;
    // Captions of the bar item and the first entry, and which entries are enabled, after a
    // sign-in (all six) or a sign-out (switch, export and delete off).
    void RefreshProfileMenu();
    // During a test every profile entry is off; unlocking enables them by the sign-in state.
    void SetProfileMenuLocked(bool locked);

    // What every screen's show operation does to the bar: only "Info" stays, "Lernprofil"
    // comes back for the exercise screen, "Hilfe" exists only on the cell screen.
    void PrepareBar(bool lernprofil, bool hilfe);

    int CurrentScreen() const { return current_; }
    bool SwitcherOpen() const { return switcherOpen_; }

    // Splash to destroy at the first showing.
    void SetSplash(QWidget *splash) { splash_ = splash; }

  protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void ConnectScreens();
    bool CloseTopmost(); // false when nothing was open
    void ShowScreenHelp();
    void ProfileCommand(int index);
    QWidget *switcherItem(int tag) const;
    void FormCreate();
    void FormShow();
    void SetSwitcherHeight(int h);

    int current_ = 0;
    bool switcherOpen_ = false;
    bool initialized_ = false;
    bool shownOnce_ = false;
    QPointer<QWidget> splash_;
    QPointer<TMessageForm> message_;
    QPointer<TManualForm> manual_;
    QPointer<TInfoForm> info_;
    QPointer<TProfileForm> profileForm_;
};

// Where the profile folder lives: $XDG_DATA_HOME (or ~/.local/share) + "/Vellora/Profile/".
QString profileFolder();
