#pragma once

#include <QString>
#include <QWidget>

class ZShadowPanel;
class TImage;
class TLabel;
class TPlainMemo;

// The introduction: the program's logo and three columns (cell model, exercises, glossary)
// with a screenshot, a caption, a short text and a link to the area's manual page. What it
// needs of the window around it, it asks for by signal.
class TIntro : public QWidget
{
    Q_OBJECT
  public:
    explicit TIntro(QWidget *parent = nullptr);

    TImage *Logo = nullptr;
    QWidget *Border_Left = nullptr;
    QWidget *Container_Panels = nullptr;
    ZShadowPanel *Zelle = nullptr, *Uebung = nullptr, *Glossar = nullptr;
    TImage *Screenshot_Zelle = nullptr, *Screenshot_Uebung = nullptr, *Screenshot_Glossar = nullptr;
    TLabel *Caption_Zelle = nullptr, *Caption_Uebung = nullptr, *Caption_Glossar = nullptr;
    TLabel *Link_Zelle = nullptr, *Link_Uebung = nullptr, *Link_Glossar = nullptr;
    QWidget *Container_Zelle = nullptr, *Container_Uebung = nullptr, *Container_Glossar = nullptr;
    TPlainMemo *Text_Zelle = nullptr, *Text_Uebung = nullptr, *Text_Glossar = nullptr;

    static QString ColumnText(int column); // 0 cell model, 1 exercises, 2 glossary

    void Initialize();
    void ShowScreen();
    void FrameResize();
    void ZelleClick();
    void UebungClick();
    void GlossarClick();
    void LinkClick(TLabel *link);
    void LinkMouseEnter(TLabel *link);
    void LinkMouseLeave(TLabel *link);
    void LogoClick();

  signals:
    void barRequested(bool lernprofil, bool hilfe); // prepare the bar for this screen
    void areaRequested(int area);                   // switcher tag: 1 cell, 2 exercises, 3 glossary
    void manualPageRequested(int page);             // 0 cell, 1 exercises, 2 glossary
    void infoRequested();

  protected:
    void resizeEvent(QResizeEvent *event) override;

  private:
    struct Column
    {
        ZShadowPanel *panel;
        TImage *shot;
        TLabel *caption;
        TLabel *link;
        QWidget *container;
        TPlainMemo *text;
    };
    Column column(int i) const;
    void makeColumn(int i, ZShadowPanel *&panel, TImage *&shot, TLabel *&caption, TLabel *&link,
                    QWidget *&container, TPlainMemo *&text);
    void layOutColumn(int i);

    bool initialized_ = false;
};
