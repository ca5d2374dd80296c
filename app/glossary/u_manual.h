#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

class ZMainMenu;
class ZShadowPanel;
class TImage;
class TPlainMemo;

// The manual: one page of instructions at a time (the welcome page at start, or an area's
// page from the introduction's links). Its owner, the main window, is disabled while it shows
// and shown again when it closes.
class TManualForm : public QWidget
{
  public:
    explicit TManualForm(QWidget *parent = nullptr);

    ZMainMenu *MainMenu = nullptr;
    TImage *Logo = nullptr;
    ZShadowPanel *Container_Message = nullptr;
    TPlainMemo *Manual = nullptr;

    // The 18 lines of the welcome page, CR LF between them.
    static QString DesignText();
    // Title shown with page 0..2 ("Zellmodell", "Übungen", "Glossar"), 3 "Einleitung".
    static QString PageTitle(int page);

    // Reads the three area pages from the program's content folder (std::runtime_error with
    // the file's name when one cannot be read) and selects the welcome page.
    void LoadManual();
    // The same from given files (tests).
    void LoadManualFrom(const QString &cellPage, const QString &exercisePage, const QString &glossaryPage);

    QWidget *Owner() const { return owner_; }
    void SetOwner(QWidget *owner) { owner_ = owner; }

    int Page() const { return page_; }
    void SetPage(int page) { page_ = page; }
    QString PageText(int page) const;

    void FormShow();
    void FormClose();
    void MainMenuMouseDown(int x, int y);
    void MainMenuMouseMove(int x, int y);
    void MainMenuMouseUp();
    bool Dragging() const { return dragging_; }

  protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override; // Escape closes

  private:
    QPointer<QWidget> owner_;
    QString pages_[3];
    int page_ = 3;
    bool dragging_ = false;
    QPoint dragStart_;
};
