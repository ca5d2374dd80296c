#include "menusection.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include "MainMenu.h"
#include "Menu.h"
#include "MenuContainer.h"
#include "base/colorref.h"

namespace {

using vellora::colorRef;

QFont formFont(int pixels, bool bold = false)
{
    QFont font("Trebuchet MS");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

// The states are reached through the controls' own mouse handling, as a pupil would.
void sendMouse(QWidget *w, QEvent::Type type, QPoint pos)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

ZMenu *makeMenu(QWidget *form, const QStringList &captions)
{
    auto *menu = new ZMenu(form);
    menu->SetColor(colorRef(vellora::kWhite));
    menu->SetHighlight(colorRef(vellora::kSilver));
    menu->SetFont(formFont(13));
    menu->SetFontColor(colorRef(4210752));
    for (const QString &caption : captions)
        menu->Items().Add(caption, true, true);
    return menu;
}

QLabel *note(QWidget *parent, const QString &text, int x, int y)
{
    auto *label = new QLabel(text, parent);
    label->setFont(formFont(12));
    label->move(x, y);
    label->adjustSize();
    return label;
}

QWidget *logo(QWidget *parent)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colorRef(vellora::kWhite));
    painter.setBrush(colorRef(7200386));
    painter.drawEllipse(1, 1, 14, 14);
    painter.end();
    auto *image = new QLabel(parent);
    image->setPixmap(pixmap);
    image->setGeometry(2, 2, 16, 16);
    return image;
}

ZMenuContainer *container(QWidget *form, int x, int y)
{
    auto *box = new ZMenuContainer(form);
    box->SetColor(colorRef(7200386));
    box->SetInterval(10);
    box->SetSpeed(7);
    box->SetMinWidth(75);
    box->SetMaxWidth(200);
    box->setGeometry(x, y, 75, 230);
    const char *captions[] = {"ganze Zelle", "Zellkern", "Chloroplast", "Vakuole"};
    int top = 5;
    for (const char *caption : captions) {
        auto *child = new QLabel(QString::fromUtf8(caption), box);
        child->setFont(formFont(13));
        child->setAutoFillBackground(true);
        QPalette palette = child->palette();
        palette.setColor(QPalette::Window, colorRef(14540253));
        child->setPalette(palette);
        child->setIndent(40);
        child->setGeometry(5, top, 65, 45);
        top += 55;
    }
    return box;
}

} // namespace

QWidget *createMenuGallerySection(QWidget *parent)
{
    auto *form = new QWidget(parent);
    form->setAutoFillBackground(true);
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, colorRef(vellora::kSilver));
    form->setPalette(palette);
    form->setFixedSize(760, 330);

    // The popups are created first so that the bar lies below them in the stacking order;
    // Popup raises them anyway.
    ZMenu *profile = makeMenu(form, {"Lernprofil anmelden", "Lernprofil wechseln", "neues Lernprofil anlegen",
                                     "Lernprofil importieren", "aktives Lernprofil exportieren",
                                     QString::fromUtf8("aktives Lernprofil löschen")});
    for (int disabled : {1, 4, 5})
        profile->Items()[disabled]->SetEnabled(false);
    ZMenu *info = makeMenu(form, {"Hilfe", "Info"});

    auto *bar = new ZMainMenu(form);
    bar->setGeometry(0, 0, 760, 20);
    bar->SetAlign(ZAlign::Top);
    bar->SetCaption("Vellora");
    bar->SetColor(colorRef(vellora::kGrey));
    bar->SetFont(formFont(16, true));
    bar->SetFontColor(colorRef(vellora::kWhite));
    bar->SetHighlight(colorRef(vellora::kSilver));
    bar->SetMenuFont(formFont(13));
    bar->SetMenuFontColor(colorRef(vellora::kWhite));
    bar->SetClose(true);
    bar->SetMinimize(true);
    bar->SetMenu(true);
    bar->Items().Add("Lernprofil", true, true, profile);
    bar->Items().Add("Info", true, true, info);
    bar->LayoutItems();
    // The gallery must survive a click on its close box.
    bar->OnClose = [](ZMainMenu *) {};
    logo(bar);

    // Open the profile popup from the bar and hover its third entry.
    const QPoint entry(bar->Items()[0]->Left() + 20, 10);
    sendMouse(bar, QEvent::MouseMove, entry);
    sendMouse(bar, QEvent::MouseButtonPress, entry);
    sendMouse(bar, QEvent::MouseButtonRelease, entry);
    sendMouse(profile, QEvent::MouseMove, QPoint(10, profile->Items()[2]->Top() + 3));

    // A popup whose hovered entry opens a submenu; the second entry is disabled.
    ZMenu *organelles = makeMenu(form, {"Zellkern", "Ribosom", "Golgi-Apparat", "Chloroplast"});
    organelles->Items()[1]->SetEnabled(false);
    ZMenu *view = makeMenu(form, {"ganze Zelle", "Organell", "Hilfe anzeigen"});
    view->Items()[1]->SetSubMenu(organelles);
    view->move(20, 200);
    view->Popup();
    sendMouse(view, QEvent::MouseMove, QPoint(10, view->Items()[1]->Top() + 3));
    note(form, QString::fromUtf8("Menü mit offenem Untermenü"), 20, 180);

    // The collapsed one sits at the right, so that it has room to slide open under the mouse.
    ZMenuContainer *open = container(form, 345, 60);
    open->Expand();
    while (open->Animating())
        open->Step();
    note(form, "ausgeklappt", 345, 40);
    container(form, 560, 60);
    note(form, "eingeklappt", 560, 40);

    return form;
}
