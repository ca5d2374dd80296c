// widget-gallery: shows every painted control in its typical states.
// widget-gallery --screenshot FILE writes a PNG of the window and exits (works offscreen).

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include <cstdio>

#include "Button.h"
#include "CheckBox.h"
#include "Edit.h"
#include "ListBox.h"
#include "Memo.h"
#include "ProgressBar.h"
#include "ScrollBar.h"
#include "ShadowPanel.h"
#include "base/colorref.h"
#include "base/cp1252.h"
#include "base/fonts.h"

#if __has_include("menusection.h")
#include "menusection.h"
#define VELLORA_GALLERY_MENUS 1
#endif

namespace {

using vellora::colorRef;

const QColor kText(15, 29, 69);

QFont formFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Trebuchet MS"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QLabel *heading(QWidget *parent, const QString &text, int x, int y)
{
    auto *label = new QLabel(text, parent);
    label->setFont(formFont(12, true));
    label->move(x, y);
    label->adjustSize();
    return label;
}

void hoverOver(QWidget *w, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), w->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

void memoSection(QWidget *form)
{
    heading(form, QStringLiteral("ZMemo mit Links und ZScrollBar (Position 2)"), 20, 10);
    auto *memo = new ZMemo(form);
    memo->setGeometry(20, 32, 320, 180);
    memo->SetColor(colorRef(vellora::kWhite));
    memo->SetFont(formFont(13));
    memo->SetFontColor(kText);
    memo->SetLinkFont(formFont(13, true));
    memo->SetLinkFontColor(QColor(0, 80, 160));
    memo->SetText(vellora::toCp1252(
        QStringLiteral("Der #5#Zellkern# steuert die Zelle. Er enthält die Erbinformation in Form der "
                       "#6#DNA#, die im #7#Kernplasma# liegt.\r\n\r\n"
                       "Die Kernhülle besteht aus zwei Membranen mit Poren, durch die Stoffe zwischen Kern "
                       "und #8#Cytoplasma# ausgetauscht werden. Siehe auch #12#Zellwand#.\r\n"
                       "Im Kern liegt das Kernkörperchen, in dem die Bausteine der #2#Ribosomen# entstehen. "
                       "Ein sehr langes Wort: Desoxyribonukleinsäuremolekülketten.")));
    memo->OnLinkClick = [](ZMemo *, int number) { std::printf("Link %d\n", number); };

    auto *bar = new ZScrollBar(form);
    bar->setGeometry(342, 32, 19, 180);
    bar->SetMemo(memo);
    bar->UpdateRange();
    bar->Scroll(-1);
    bar->Scroll(-1);
}

void listSection(QWidget *form)
{
    heading(form, QStringLiteral("ZListBox ohne und mit Leiste"), 390, 10);
    const QStringList organelles = {
        QStringLiteral("Zellkern"),      QStringLiteral("ER"),          QStringLiteral("Ribosom"),
        QStringLiteral("Golgi-Apparat"), QStringLiteral("Chloroplast"), QStringLiteral("Mitochondrium"),
        QStringLiteral("Vakuole"),       QStringLiteral("Plasmalemma"), QStringLiteral("Zellwand"),
        QStringLiteral("Peroxisom"),     QStringLiteral("Cytoskelett")};
    auto make = [&](int x, int count) {
        auto *box = new ZListBox(form);
        box->setGeometry(x, 32, 150, 180);
        box->SetColor(colorRef(vellora::kGrey));
        box->SetHighlight(colorRef(vellora::kSilver));
        box->SetFont(formFont(13));
        box->SetFontColor(kText);
        box->SetItemHeight(20);
        box->BeginUpdate();
        for (int i = 0; i < count; ++i)
            box->Items().append(organelles[i]);
        box->EndUpdate();
        box->SetItemIndex(count > 8 ? 4 : 1);
        return box;
    };
    make(390, 5);
    ZListBox *scrolled = make(550, 11);
    scrolled->Scroll(-1);
}

void buttonSection(QWidget *form)
{
    heading(form, QStringLiteral("ZButton (2.: unter der Maus)"), 720, 10);
    struct Sample
    {
        QString caption;
        ZButton::TextAlignment alignment;
        bool hovered;
    };
    const Sample samples[] = {
        {QStringLiteral("Schließen"), ZButton::TextAlignment::Center, false},
        {QStringLiteral("Weiter"), ZButton::TextAlignment::Center, true},
        {QStringLiteral("Links"), ZButton::TextAlignment::LeftJustify, false},
        {QStringLiteral("Rechts"), ZButton::TextAlignment::RightJustify, false},
    };
    int y = 32;
    for (const Sample &s : samples) {
        auto *button = new ZButton(form);
        button->setGeometry(720, y, 146, 32);
        button->SetCaption(s.caption);
        button->SetAlignment(s.alignment);
        button->SetFont(formFont(13));
        button->SetFontColor(kText);
        button->SetColor(colorRef(vellora::kSilver));
        button->SetHighlight(colorRef(vellora::kWhite));
        button->SetBorder(colorRef(vellora::kGrey));
        button->setCursor(Qt::PointingHandCursor);
        if (s.hovered)
            hoverOver(button, QPoint(10, 10));
        y += 38;
    }
}

void editSection(QWidget *form)
{
    heading(form, QStringLiteral("ZEdit"), 900, 10);
    auto *edit = new ZEdit(form);
    edit->setGeometry(900, 32, 209, 25);
    edit->SetBorder(colorRef(vellora::kGrey));
    edit->SetColor(colorRef(vellora::kWhite));
    edit->SetEditTop(4);
    edit->SetFont(formFont(13));
    edit->SetFontColor(kText);
    edit->SetText(QStringLiteral("Mitochondrium"));

    heading(form, QStringLiteral("ZCheckBox, umbrechend"), 900, 80);
    auto *check = new ZCheckBox(form);
    check->setGeometry(900, 102, 200, 22);
    check->SetFont(formFont(13));
    check->SetFontColor(kText);
    check->SetColor(colorRef(15790320));
    check->SetBox(colorRef(vellora::kWhite));
    check->SetBorder(colorRef(vellora::kGrey));
    check->SetSize(15);
    check->SetCaption(
        QStringLiteral("Die Vakuole speichert Wasser und gelöste Stoffe und hält den Zelldruck aufrecht."));
    check->SetChecked(true);
    auto *plain = new ZCheckBox(form);
    plain->setGeometry(900, 102 + check->height() + 6, 200, 22);
    plain->SetFont(formFont(13));
    plain->SetFontColor(kText);
    plain->SetColor(colorRef(15790320));
    plain->SetBox(colorRef(vellora::kWhite));
    plain->SetBorder(colorRef(vellora::kGrey));
    plain->SetCaption(QStringLiteral("Nicht angekreuzt"));
}

void progressSection(QWidget *form)
{
    heading(form, QStringLiteral("ZProgressBar: 0 %, 50 %, Min = Max"), 20, 235);
    struct Sample
    {
        int min, max, pos;
    };
    const Sample samples[] = {{0, 10, 0}, {0, 10, 5}, {0, 0, 0}};
    int y = 257;
    for (const Sample &s : samples) {
        auto *bar = new ZProgressBar(form);
        bar->setGeometry(20, y, 200, 16);
        bar->SetBorder(colorRef(vellora::kGrey));
        bar->SetColor(colorRef(vellora::kSilver));
        bar->SetColorA(colorRef(7200386));
        bar->SetColorB(colorRef(vellora::kWhite));
        bar->SetMin(s.min);
        bar->SetMax(s.max);
        bar->SetPos(s.pos);
        bar->SetShowHint(true);
        auto *hint =
            new QLabel(bar->Hint().isEmpty() ? QStringLiteral("(leerer Hinweis)") : bar->Hint(), form);
        hint->setFont(formFont(12));
        hint->move(230, y);
        hint->adjustSize();
        y += 26;
    }
}

void shadowSection(QWidget *form)
{
    heading(form, QStringLiteral("ZShadowPanel mit Schatten; rechts ohne Bilder, deaktiviert"), 390, 235);
    auto make = [&](int x, bool shadows) {
        auto *panel = new ZShadowPanel(form);
        panel->setGeometry(x, 257, 220, 130);
        panel->SetBackground(colorRef(vellora::kSilver));
        panel->SetColor(colorRef(vellora::kWhite));
        panel->SetMarginLeft(10);
        panel->SetMarginTop(10);
        panel->SetMarginRight(10);
        panel->SetMarginBottom(10);
        if (shadows)
            panel->SetShadowImages(ZShadowPanel::StandardShadowImages());
        auto *caption = new QLabel(QStringLiteral("Karte auf grauem Grund"), panel);
        caption->setFont(formFont(13, true));
        caption->move(22, 20);
        caption->adjustSize();
        auto *button = new ZButton(panel);
        button->setGeometry(22, 60, 120, 28);
        button->SetCaption(QStringLiteral("Starten"));
        button->SetFont(formFont(13));
        button->SetColor(colorRef(vellora::kSilver));
        button->SetBorder(colorRef(vellora::kGrey));
        return panel;
    };
    make(390, true);
    make(630, false)->SetEnabled(false);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    vellora::installFontSubstitutions();
    QCoreApplication::setApplicationName(QStringLiteral("widget-gallery"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Shows the painted controls in their typical states."));
    parser.addHelpOption();
    QCommandLineOption shot(QStringLiteral("screenshot"),
                            QStringLiteral("Write a PNG of the window and exit."), QStringLiteral("FILE"));
    parser.addOption(shot);
    parser.process(app);

    QWidget form;
    form.setWindowTitle(QStringLiteral("Vellora – Steuerelemente"));
    QPalette pal = form.palette();
    pal.setColor(QPalette::Window, colorRef(15790320));
    pal.setColor(QPalette::WindowText, kText);
    form.setPalette(pal);
    form.setAutoFillBackground(true);

    memoSection(&form);
    listSection(&form);
    buttonSection(&form);
    editSection(&form);
    progressSection(&form);
    shadowSection(&form);

    int height = 410;
#ifdef VELLORA_GALLERY_MENUS
    heading(&form, QStringLiteral("Fensterleiste, Menüs und gleitender Container"), 20, 405);
    QWidget *menus = createMenuGallerySection(&form);
    menus->move(20, 427);
    height = 427 + menus->height() + 10;
#endif
    form.resize(1130, height);
    form.show();

    if (parser.isSet(shot)) {
        const QString file = parser.value(shot);
        QApplication::processEvents();
        if (!form.grab().save(file, "PNG")) {
            std::fprintf(stderr, "widget-gallery: cannot write %s\n", qPrintable(file));
            return 1;
        }
        return 0;
    }
    return app.exec();
}
