#include "u_intro.h"

#include "ShadowPanel.h"
#include "base/colorref.h"
#include "base/rounding.h"
#include "controls.h"
#include "pictures.h"

using vellora::colorRef;
using vellora::formFont;

namespace {

constexpr int kLogoHeight = 121;
constexpr int kBorderLeft = 20;
constexpr int kShotLeft = 5;
constexpr int kShotTop = 5;
constexpr int kTextPitch = 22;

struct ColumnLook
{
    int color;
    int fontColor;
    const char *caption;
};
const ColumnLook kLooks[3] = {
    {6939007, 4210752, "Zellmodell"},
    {9587249, 16248551, "Übungen"},
    {vellora::kMaroon, vellora::kWhite, "Glossar"},
};

} // namespace

TIntro::TIntro(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colorRef(vellora::kSilver));
    setPalette(pal);
    resize(689, 634);

    Logo = new TImage(this);
    Logo->SetPicture(vellora::pictures::introLogo());
    Logo->OnClick = [this](TImage *) { LogoClick(); };

    Border_Left = new QWidget(this);
    Container_Panels = new QWidget(this);

    makeColumn(0, Zelle, Screenshot_Zelle, Caption_Zelle, Link_Zelle, Container_Zelle, Text_Zelle);
    makeColumn(1, Uebung, Screenshot_Uebung, Caption_Uebung, Link_Uebung, Container_Uebung, Text_Uebung);
    makeColumn(2, Glossar, Screenshot_Glossar, Caption_Glossar, Link_Glossar, Container_Glossar,
               Text_Glossar);
    Screenshot_Zelle->SetPicture(vellora::pictures::cellScreenshot());
    Screenshot_Uebung->SetPicture(vellora::pictures::exercisesArea());
    Screenshot_Glossar->SetPicture(vellora::pictures::glossaryArea());
    FrameResize();
}

void TIntro::makeColumn(int i, ZShadowPanel *&panel, TImage *&shot, TLabel *&caption, TLabel *&link,
                        QWidget *&container, TPlainMemo *&text)
{
    const ColumnLook &look = kLooks[i];
    panel = new ZShadowPanel(Container_Panels);
    panel->SetBackground(colorRef(vellora::kSilver));
    panel->SetColor(colorRef(look.color));
    panel->SetMarginBottom(10);
    panel->SetShadowImages(ZShadowPanel::StandardShadowImages());

    auto click = [this, i] {
        if (i == 0)
            ZelleClick();
        else if (i == 1)
            UebungClick();
        else
            GlossarClick();
    };
    panel->OnClick = [click](ZShadowPanel *) { click(); };

    shot = new TImage(panel);
    shot->SetStretch(true);
    shot->SetBorder(colorRef(4210752));
    shot->setCursor(Qt::PointingHandCursor);
    shot->OnClick = [click](TImage *) { click(); };

    caption = new TLabel(QString::fromUtf8(look.caption), panel);
    caption->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    caption->setFont(formFont(17));
    caption->SetFontColor(colorRef(look.fontColor));
    caption->OnClick = [click](TLabel *) { click(); };

    link = new TLabel(QStringLiteral("weitere Informationen..."), panel);
    link->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    link->setFont(formFont(15));
    link->SetFontColor(colorRef(look.fontColor));
    link->setCursor(Qt::PointingHandCursor);
    link->SetTag(i);
    link->OnClick = [this](TLabel *l) { LinkClick(l); };
    link->OnMouseEnter = [this](TLabel *l) { LinkMouseEnter(l); };
    link->OnMouseLeave = [this](TLabel *l) { LinkMouseLeave(l); };

    // Display only: the text can be neither focused nor edited.
    container = new QWidget(panel);
    container->setEnabled(false);
    text = new TPlainMemo(container);
    text->SetFont(formFont(16));
    text->SetColor(colorRef(look.color));
    text->SetFontColor(colorRef(look.fontColor));
    text->SetLineHeight(kTextPitch);
}

TIntro::Column TIntro::column(int i) const
{
    switch (i) {
    case 0:
        return {Zelle, Screenshot_Zelle, Caption_Zelle, Link_Zelle, Container_Zelle, Text_Zelle};
    case 1:
        return {Uebung, Screenshot_Uebung, Caption_Uebung, Link_Uebung, Container_Uebung, Text_Uebung};
    default:
        return {Glossar, Screenshot_Glossar, Caption_Glossar, Link_Glossar, Container_Glossar, Text_Glossar};
    }
}

QString TIntro::ColumnText(int c)
{
    switch (c) {
    case 0:
        return QStringLiteral(
            "In diesem Abschnitt erfährst du durch ein dreidimensionales, interaktives Zellmodell und "
            "begleitende Erläuterungen alles Wesentliche über die Pflanzenzelle, ihre Bestandteile "
            "und deren Aufgaben.");
    case 1:
        return QStringLiteral(
            "Im Übungsteil hast du die Möglichkeit, zunächst durch Selbstkontrolle dein Wissen zu "
            "prüfen, um es anschließend in Form von Lückentexten und Multiple-Choice-Fragen "
            "bewerten zu lassen.");
    default:
        return QStringLiteral(
            "Das Glossar bietet dir die Möglichkeit, schnell und gezielt Begriffe nachzuschlagen, "
            "deren Bedeutung für das Verständnis der Texte wesentlich ist.");
    }
}

void TIntro::Initialize()
{
    if (initialized_)
        return;
    for (int i = 0; i < 3; ++i)
        column(i).text->SetText(ColumnText(i));
    initialized_ = true;
    for (int i = 0; i < 3; ++i)
        layOutColumn(i);
}

// Caption and text follow the screenshot's size; the text box is as high as its lines.
void TIntro::layOutColumn(int i)
{
    const Column c = column(i);
    const QRect s = c.shot->geometry();
    c.caption->setGeometry(s.left(), s.height() + 20, s.width(), 22);
    c.container->setGeometry(s.left(), s.height() + 45, s.width(), c.container->height());
    c.text->setGeometry(0, 0, s.width(), c.container->height());
    if (initialized_) {
        c.container->resize(s.width(), c.text->LineCount() * kTextPitch);
        c.text->resize(c.container->size());
    }
    const int linkHeight = 22;
    c.link->setGeometry(s.left(), c.panel->height() - c.panel->MarginBottom() - 5 - linkHeight - 8, s.width(),
                        linkHeight);
}

void TIntro::ShowScreen()
{
    emit barRequested(false, false);
    show();
}

void TIntro::resizeEvent(QResizeEvent *)
{
    FrameResize();
}

void TIntro::FrameResize()
{
    const int w = width();
    const int h = height();
    Logo->setGeometry(0, 0, w, kLogoHeight);
    Border_Left->setGeometry(0, kLogoHeight, kBorderLeft, qMax(0, h - kLogoHeight));
    Container_Panels->setGeometry(kBorderLeft, kLogoHeight, qMax(0, w - kBorderLeft),
                                  qMax(0, h - kLogoHeight));

    const int v = vellora::roundHalfEven((w - 45) / 3.0);
    const int cw = Container_Panels->width();
    const int ch = Container_Panels->height();
    Zelle->setGeometry(0, 0, v, ch);
    Glossar->setGeometry(cw - v, 0, v, ch);
    Uebung->setGeometry(v + 5, 0, qMax(0, cw - 2 * v - 10), ch);

    // All three screenshots take the cell column's measures, so the rows line up.
    const int shotWidth = Zelle->width() - 15;
    for (int i = 0; i < 3; ++i) {
        const Column c = column(i);
        const QPixmap &pm = c.shot->Picture();
        const int shotHeight =
            pm.width() > 0 ? vellora::roundHalfEven(double(pm.height()) * shotWidth / pm.width()) : 0;
        c.shot->setGeometry(kShotLeft, kShotTop, qMax(0, shotWidth), qMax(0, shotHeight));
        layOutColumn(i);
    }
}

void TIntro::ZelleClick()
{
    emit areaRequested(1);
}

void TIntro::UebungClick()
{
    emit areaRequested(2);
}

void TIntro::GlossarClick()
{
    emit areaRequested(3);
}

void TIntro::LinkClick(TLabel *link)
{
    emit manualPageRequested(link->Tag());
}

void TIntro::LinkMouseEnter(TLabel *link)
{
    QFont f = link->font();
    f.setUnderline(true);
    link->setFont(f);
}

void TIntro::LinkMouseLeave(TLabel *link)
{
    QFont f = link->font();
    f.setUnderline(false);
    link->setFont(f);
}

void TIntro::LogoClick()
{
    emit infoRequested();
}
