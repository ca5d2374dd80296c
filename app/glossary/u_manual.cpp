#include "u_manual.h"

#include "MainMenu.h"
#include "ShadowPanel.h"
#include "base/colorref.h"
#include "base/cp1252.h"
#include "controls.h"
#include "glossaryfile.h"
#include "pictures.h"

#include <QCloseEvent>
#include <QKeyEvent>

using vellora::colorRef;

TManualForm::TManualForm(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Vellora – Handbuch"));
    setFixedSize(579, 486);

    MainMenu = new ZMainMenu(this);
    MainMenu->setGeometry(0, 0, 579, 20);
    MainMenu->SetCaption(PageTitle(3));
    MainMenu->SetClose(true);
    MainMenu->SetMinimize(false);
    MainMenu->SetMenu(false);
    MainMenu->SetColor(colorRef(vellora::kGrey));
    MainMenu->SetFont(vellora::formFont(16, true));
    MainMenu->SetFontColor(Qt::white);
    MainMenu->SetHighlight(colorRef(vellora::kSilver));
    MainMenu->OnMouseDown = [this](ZMainMenu *, Qt::MouseButton, int x, int y) { MainMenuMouseDown(x, y); };
    MainMenu->OnMouseMove = [this](ZMainMenu *, Qt::MouseButtons, int x, int y) { MainMenuMouseMove(x, y); };
    MainMenu->OnMouseUp = [this](ZMainMenu *, Qt::MouseButton, int, int) { MainMenuMouseUp(); };

    Logo = new TImage(MainMenu);
    Logo->setGeometry(2, 2, 16, 16);
    Logo->SetPicture(vellora::pictures::barLogo());

    Container_Message = new ZShadowPanel(this);
    Container_Message->setGeometry(0, 20, 579, 466);
    Container_Message->SetBackground(colorRef(vellora::kGrey));
    Container_Message->SetColor(colorRef(vellora::kSilver));
    Container_Message->SetMarginLeft(1);
    Container_Message->SetMarginTop(0);
    Container_Message->SetMarginRight(1);
    Container_Message->SetMarginBottom(1);
    Container_Message->SetEnabled(false);

    Manual = new TPlainMemo(Container_Message);
    Manual->setGeometry(40, 40, 497, 401);
    Manual->SetColor(colorRef(vellora::kSilver));
    Manual->SetFontColor(colorRef(4210752));
    Manual->SetFont(vellora::formFont(16));
    Manual->SetText(DesignText());
}

QString TManualForm::DesignText()
{
    static const char *const lines[] = {
        "Herzlich willkommen bei Vellora! ",
        "Diese Lernsoftware vermittelt den Aufbau der Pflanzenzelle – ",
        "anschaulich und leicht verständlich für Schüler, Studenten oder ",
        "andere Interessierte.",
        "Ob zur Aneignung des Wissens, zur Wiederholung oder zur ",
        "Erweiterung deiner Kenntnisse – in den drei Teilen der Software ",
        "kannst du ganz nach Bedarf lernen, nachschlagen und üben. ",
        "Damit der Umstieg von der „greifbaren“ Biologie hin zur ",
        "mikroskopisch kleinen Welt der Zellen und Bakterien nicht so ",
        "zusammenhanglos erscheint, erklärt Vellora dir die ",
        "Grundfunktionen innerhalb der Zelle.",
        "Gehe so vor, wie du dir die Inhalte am besten einprägen kannst: ",
        "Wähle sowohl dein Lerntempo als auch die Reihenfolge der zu ",
        "bearbeitenden Inhalte ganz nach deinem persönlichen Bedarf. ",
        "Die einzelnen Bereiche erklären sich von selbst – du kannst also ",
        "einfach loslegen! ",
        "",
        "Viel Erfolg!",
    };
    QStringList out;
    for (const char *line : lines)
        out << QString::fromUtf8(line);
    return out.join(QStringLiteral("\r\n"));
}

QString TManualForm::PageTitle(int page)
{
    switch (page) {
    case 0:
        return QStringLiteral("Zellmodell");
    case 1:
        return QStringLiteral("Übungen");
    case 2:
        return QStringLiteral("Glossar");
    default:
        return QStringLiteral("Einleitung");
    }
}

void TManualForm::LoadManual()
{
    LoadManualFrom(vellora::manualPagePath(0), vellora::manualPagePath(1), vellora::manualPagePath(2));
}

void TManualForm::LoadManualFrom(const QString &cellPage, const QString &exercisePage,
                                 const QString &glossaryPage)
{
    const QString paths[3] = {cellPage, exercisePage, glossaryPage};
    QString loaded[3];
    for (int i = 0; i < 3; ++i)
        loaded[i] = vellora::fromCp1252(vellora::loadManualPage(paths[i]));
    for (int i = 0; i < 3; ++i)
        pages_[i] = loaded[i];
    page_ = 3;
}

QString TManualForm::PageText(int page) const
{
    if (page >= 0 && page < 3)
        return pages_[page];
    return DesignText();
}

void TManualForm::FormShow()
{
    if (QWidget *main = owner_) {
        main->setEnabled(false);
        move(main->x() + (main->width() - width()) / 2, main->y() + (main->height() - height()) / 2);
    }
    // The welcome page can come again later (F1 on a screen without a page of its own).
    Manual->SetText(PageText(page_));
    MainMenu->SetCaption(PageTitle(page_));
}

void TManualForm::FormClose()
{
    if (QWidget *main = owner_) {
        main->setEnabled(true);
        main->show();
        main->raise();
        main->activateWindow();
    }
}

void TManualForm::MainMenuMouseDown(int x, int y)
{
    dragging_ = true;
    dragStart_ = QPoint(x, y);
}

void TManualForm::MainMenuMouseMove(int x, int y)
{
    if (dragging_)
        move(pos() + QPoint(x, y) - dragStart_);
}

void TManualForm::MainMenuMouseUp()
{
    dragging_ = false;
}

void TManualForm::showEvent(QShowEvent *event)
{
    FormShow();
    QWidget::showEvent(event);
    raise();
    activateWindow();
}

void TManualForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TManualForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}
