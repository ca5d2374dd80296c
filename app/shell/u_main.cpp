#include "u_main.h"

#include "MainMenu.h"
#include "MediaButton.h"
#include "Menu.h"
#include "ShadowPanel.h"
#include "base/colorref.h"
#include "base/cp1252.h"
#include "confirmform.h"
#include "controls.h"
#include "pictures.h"
#include "profilestore.h"
#include "u_glossar.h"
#include "u_info.h"
#include "u_intro.h"
#include "u_manual.h"
#include "u_message.h"
#include "u_profile.h"
#include "u_uebung.h"
#include "u_zelle.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

using vellora::colorRef;
using vellora::formFont;

namespace {
constexpr int kBarHeight = 20;
constexpr int kSwitcherClosed = 20;
constexpr int kSwitcherOpen = 100;
constexpr int kWelcomePage = 3; // the manual's introduction, for a screen without a page
} // namespace

TSwitcherItem::TSwitcherItem(int tag, const QString &caption, int color, QWidget *parent)
    : QWidget(parent), tag_(tag), caption_(caption)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colorRef(color));
    // Dark screen colours (exercises, glossary) carry a light caption.
    const QColor face = colorRef(color);
    pal.setColor(QPalette::WindowText, face.lightness() < 100 ? QColor(Qt::white) : QColor(Qt::black));
    setPalette(pal);
    setFont(formFont(13));
    setCursor(Qt::PointingHandCursor);
}

void TSwitcherItem::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, caption_);
}

void TSwitcherItem::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && OnClick)
        OnClick(this);
}

QString profileFolder()
{
    return TProfileStore::DefaultFolder();
}

TMainForm::TMainForm(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Vellora"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colorRef(vellora::kSilver));
    setPalette(pal);

    // Popups first hidden; they become native windows so that they stack above the cell
    // screen's GL window when they open over it.
    Lernprofil = new ZMenu(this);
    Lernprofil->SetTag(0);
    Info = new ZMenu(this);
    Info->SetTag(1);
    for (ZMenu *m : {Lernprofil, Info}) {
        m->SetColor(colorRef(15790320));
        m->SetHighlight(colorRef(vellora::kSilver));
        m->SetFont(formFont(13));
        m->SetFontColor(colorRef(4210752));
        m->setAttribute(Qt::WA_NativeWindow);
        m->OnClick = [this](ZMenu *menu, int index) { MainMenuItemClick(menu, index); };
    }
    Lernprofil->Items().Add(QStringLiteral("Lernprofil anmelden"), true, true);
    Lernprofil->Items().Add(QStringLiteral("Lernprofil wechseln"), true, false);
    Lernprofil->Items().Add(QStringLiteral("neues Lernprofil anlegen"), true, true);
    Lernprofil->Items().Add(QStringLiteral("Lernprofil importieren"), true, true);
    Lernprofil->Items().Add(QStringLiteral("aktives Lernprofil exportieren"), true, false);
    Lernprofil->Items().Add(QStringLiteral("aktives Lernprofil löschen"), true, false);
    Info->Items().Add(QStringLiteral("Hilfe"), false, true);
    Info->Items().Add(QStringLiteral("Info"), true, true);

    MainMenu = new ZMainMenu(this);
    MainMenu->setGeometry(0, 0, 1024, kBarHeight);
    MainMenu->SetCaption(QStringLiteral("Vellora"));
    MainMenu->SetColor(colorRef(vellora::kGrey));
    MainMenu->SetFont(formFont(16, true));
    MainMenu->SetFontColor(Qt::white);
    MainMenu->SetHighlight(colorRef(vellora::kSilver));
    MainMenu->SetMenuFont(formFont(13));
    MainMenu->SetMenuFontColor(Qt::white);
    MainMenu->SetClose(true);
    MainMenu->SetMinimize(true);
    MainMenu->SetMenu(true);
    MainMenu->Items().Add(QStringLiteral("Lernprofil"), false, true, Lernprofil);
    MainMenu->Items().Add(QStringLiteral("Info"), true, true, Info);
    MainMenu->LayoutItems();

    auto *logo = new TImage(MainMenu);
    logo->setGeometry(2, 2, 16, 16);
    logo->SetPicture(vellora::pictures::barLogo());
    logo->setCursor(Qt::PointingHandCursor);
    logo->OnClick = [this](TImage *) { LogoClick(); };
    Logo = logo;

    Intro = new TIntro(this);
    Zelle = new TZelle(this);
    Zelle->hide();
    Uebung = new TUebung(this);
    Uebung->hide();
    Glossar = new TGlossar(this);
    Glossar->hide();

    // The switcher lies over the bar, left of the bar items, above every screen.
    Menu = new QWidget(this);
    Menu->setAttribute(Qt::WA_NativeWindow);
    Menu->setAutoFillBackground(true);
    QPalette menuPal = Menu->palette();
    menuPal.setColor(QPalette::Window, colorRef(4210752));
    Menu->setPalette(menuPal);
    Menu->setGeometry(20, 0, 120, kSwitcherClosed);
    MenuItem0 = new TSwitcherItem(0, QStringLiteral("Übersicht"), vellora::kSilver, Menu);
    MenuItem1 = new TSwitcherItem(1, QStringLiteral("Zellmodell"), 7200386, Menu);
    MenuItem2 = new TSwitcherItem(2, QStringLiteral("Übungen"), 9587249, Menu);
    MenuItem3 = new TSwitcherItem(3, QStringLiteral("Glossar"), vellora::kMaroon, Menu);
    MenuItem4 = new TSwitcherItem(4, QStringLiteral("Schließen"), vellora::kSilver, Menu);
    TSwitcherItem *items[] = {
        static_cast<TSwitcherItem *>(MenuItem0), static_cast<TSwitcherItem *>(MenuItem1),
        static_cast<TSwitcherItem *>(MenuItem2), static_cast<TSwitcherItem *>(MenuItem3),
        static_cast<TSwitcherItem *>(MenuItem4)};
    for (int k = 0; k < 5; ++k) {
        items[k]->setGeometry(1, 20 * k, 118, 19);
        items[k]->OnClick = [this](TSwitcherItem *item) { MenuItemClick(item); };
    }
    Menu->raise();

    ExportProfile = new QFileDialog(this, QString(), QString(), QStringLiteral("Lernprofile (*.usr)"));
    ExportProfile->setAcceptMode(QFileDialog::AcceptSave);
    ImportProfile = new QFileDialog(this, QString(), QString(), QStringLiteral("Lernprofile (*.usr)"));
    ImportProfile->setAcceptMode(QFileDialog::AcceptOpen);
    ImportProfile->setFileMode(QFileDialog::ExistingFile);

    Profiles = new TProfileStore(QString(), this);
    // A window of its own: a child would be switched off with the main window it asks over.
    Confirm = new TConfirmForm;
    connect(Profiles, &TProfileStore::ProfileChanged, this, [this] { RefreshProfileMenu(); });
    // A failure of the store is told over whichever window the learner is working in.
    connect(Profiles, &TProfileStore::Failed, this, [this](const QString &text) {
        QWidget *owner =
            profileForm_ && profileForm_->isVisible() ? static_cast<QWidget *>(profileForm_) : this;
        ShowMessage(QStringLiteral("Fehler!"), text, owner);
    });

    ConnectScreens();
    qApp->installEventFilter(this);
    FormCreate();
}

TMainForm::~TMainForm()
{
    delete Confirm;
    qApp->removeEventFilter(this);
}

// What each screen asks of the window around it.
void TMainForm::ConnectScreens()
{
    connect(Intro, &TIntro::barRequested, this, &TMainForm::PrepareBar);
    connect(Intro, &TIntro::areaRequested, this, [this](int area) { MenuItemClick(switcherItem(area)); });
    connect(Intro, &TIntro::manualPageRequested, this, &TMainForm::ShowManualPage);
    connect(Intro, &TIntro::infoRequested, this, &TMainForm::LogoClick);

    connect(Zelle, &TZelle::barRequested, this, &TMainForm::PrepareBar);
    connect(Zelle, &TZelle::partsItemSelected, this, &TMainForm::ZellePartsItemSelect);
    connect(Zelle, &TZelle::glossaryEntryRequested, this, &TMainForm::OpenGlossaryEntry);
    connect(Zelle->Play, &ZMediaButton::soundMissing, this, [this] {
        ShowMessage(QStringLiteral("Vorlesen"),
                    QStringLiteral("Dieser Computer hat keine Tonausgabe. Schließe Lautsprecher oder "
                                   "Kopfhörer an und versuche es noch einmal."),
                    this);
    });

    connect(Uebung, &TUebung::barRequested, this, &TMainForm::PrepareBar);
    connect(Uebung, &TUebung::messageRequested, this, &TMainForm::ShowMessage);
    // While a test runs, it ends only by being finished: no other screen, no profile change.
    connect(Uebung, &TUebung::areaMenuLocked, this, [this](bool locked) {
        if (locked && switcherOpen_)
            SetSwitcherHeight(kSwitcherClosed);
        Menu->setEnabled(!locked);
    });
    connect(Uebung, &TUebung::profileMenuLocked, this, &TMainForm::SetProfileMenuLocked);
    Uebung->SetStore(Profiles);

    connect(Glossar, &TGlossar::barRequested, this, &TMainForm::PrepareBar);
    connect(Glossar, &TGlossar::areaRequested, this, [this](int area) { MenuItemClick(switcherItem(area)); });
}

QWidget *TMainForm::switcherItem(int tag) const
{
    QWidget *items[] = {MenuItem0, MenuItem1, MenuItem2, MenuItem3, MenuItem4};
    return tag >= 0 && tag < 5 ? items[tag] : nullptr;
}

void TMainForm::SetWindows(TMessageForm *message, TManualForm *manual, TInfoForm *info)
{
    message_ = message;
    manual_ = manual;
    info_ = info;
}

TMessageForm *TMainForm::MessageForm() const
{
    return message_;
}

TManualForm *TMainForm::ManualForm() const
{
    return manual_;
}

TInfoForm *TMainForm::InfoForm() const
{
    return info_;
}

void TMainForm::FormCreate()
{
    QRect area(0, 0, 1024, 768);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    setGeometry(area);
}

void TMainForm::resizeEvent(QResizeEvent *)
{
    MainMenu->setGeometry(0, 0, width(), kBarHeight);
    const QRect client(0, kBarHeight, width(), qMax(0, height() - kBarHeight));
    Intro->setGeometry(client);
    Uebung->setGeometry(client);
    Glossar->setGeometry(client);
    Zelle->setGeometry(client);
}

void TMainForm::Initialize()
{
    // Each screen loads its data and the library is initialised exactly once.
    if (initialized_)
        return;
    initialized_ = true;
    Glossar->Initialize();
    Intro->Initialize();
    Uebung->Initialize();
    Profiles->LoadProfileIndex();
    Zelle->Initialize();
    if (manual_)
        manual_->LoadManual();
    Profiles->EnsureFolder();
    // The cell screen's GL window exists now; the switcher stays above it.
    Menu->raise();
}

void TMainForm::showEvent(QShowEvent *event)
{
    if (!shownOnce_) {
        shownOnce_ = true;
        FormShow();
    }
    QWidget::showEvent(event);
}

void TMainForm::FormShow()
{
    if (splash_) {
        splash_->deleteLater();
        splash_ = nullptr;
    }
    Initialize();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    // Closing the main window ends the program; nothing is saved here.
    QCoreApplication::quit();
}

void TMainForm::SetSwitcherHeight(int h)
{
    Menu->resize(Menu->width(), h);
    switcherOpen_ = h == kSwitcherOpen;
    Menu->raise();
}

void TMainForm::MenuItemClick(QWidget *sender)
{
    auto *item = dynamic_cast<TSwitcherItem *>(sender);
    if (!item)
        return;
    const int k = item->Tag();
    if (k == current_) {
        SetSwitcherHeight(switcherOpen_ ? kSwitcherClosed : kSwitcherOpen);
        return;
    }
    current_ = k;

    // The chosen screen's name on top, so the closed switcher shows it; the rest by tag.
    QWidget *items[] = {MenuItem0, MenuItem1, MenuItem2, MenuItem3, MenuItem4};
    int top = 20;
    for (QWidget *w : items) {
        if (w == sender)
            w->move(1, 0);
        else {
            w->move(1, top);
            top += 20;
        }
    }

    Intro->hide();
    Uebung->hide();
    Glossar->hide();
    Zelle->hide();
    for (int i = 0; i + 1 < MainMenu->Items().Count(); ++i)
        MainMenu->Items()[i]->SetVisible(false);

    switch (k) {
    case 0:
        Intro->ShowScreen();
        break;
    case 1:
        Zelle->ShowScreen();
        break;
    case 2:
        Uebung->ShowScreen();
        break;
    case 3:
        Glossar->ShowGlossary();
        break;
    case 4:
        close();
        break;
    default:
        break;
    }
    SetSwitcherHeight(kSwitcherClosed);
}

void TMainForm::PrepareBar(bool lernprofil, bool hilfe)
{
    ZItems &items = MainMenu->Items();
    for (int i = 0; i + 1 < items.Count(); ++i)
        items[i]->SetVisible(false);
    items[0]->SetVisible(lernprofil);
    Info->Items()[0]->SetVisible(hilfe);
    MainMenu->CloseMenus();
    MainMenu->LayoutItems();
    MainMenu->update();
}

void TMainForm::MainMenuItemClick(ZMenu *sender, int index)
{
    const int m = sender ? sender->Tag() : -1;
    if (m == 1) {
        if (index == 0)
            Zelle->ShowHelp();
        else if (index == 1)
            LogoClick();
    }
    if (m == 0)
        ProfileCommand(index);
    MainMenu->CloseMenus();
}

void TMainForm::ProfileCommand(int index)
{
    switch (index) {
    case 0:
        if (Profiles->Index() == -1) {
            if (profileForm_)
                profileForm_->ShowMode(TProfileForm::SignIn);
        } else {
            Profiles->SaveAndSignOut();
        }
        break;
    case 1:
        if (profileForm_)
            profileForm_->ShowMode(TProfileForm::Switch);
        break;
    case 2:
        if (profileForm_)
            profileForm_->ShowMode(TProfileForm::Create);
        break;
    case 3:
        if (ImportProfile->exec() == QDialog::Accepted && !ImportProfile->selectedFiles().isEmpty())
            Profiles->ImportProfile(ImportProfile->selectedFiles().constFirst());
        break;
    case 4:
        if (Profiles->SignedIn() && ExportProfile->exec() == QDialog::Accepted &&
            !ExportProfile->selectedFiles().isEmpty())
            Profiles->ExportActiveProfile(ExportProfile->selectedFiles().constFirst());
        break;
    case 5:
        // One click would throw away every result of a pupil: ask first.
        if (Profiles->SignedIn())
            Confirm->Ask(
                QStringLiteral("Lernprofil löschen"),
                QStringLiteral("Möchtest du das Lernprofil \u201E%1\u201C wirklich löschen? Alle Ergebnisse "
                               "gehen verloren.")
                    .arg(vellora::fromCp1252(Profiles->Active().Name)),
                this, [this] { Profiles->DeleteActiveProfile(); });
        break;
    default:
        break;
    }
}

void TMainForm::SetProfileForm(TProfileForm *form)
{
    profileForm_ = form;
    if (!form)
        return;
    form->SetMainWindow(this);
    form->OnMessage = [this, form](const QString &title, const QString &text) {
        ShowMessage(title, text, form);
    };
}

TProfileForm *TMainForm::ProfileForm() const
{
    return profileForm_;
}

void TMainForm::RefreshProfileMenu()
{
    ZItems &entries = Lernprofil->Items();
    if (Profiles->SignedIn()) {
        const QString name = vellora::fromCp1252(Profiles->Active().Name);
        MainMenu->Items()[0]->SetCaption(QStringLiteral("Lernprofil: ") + name);
        entries[0]->SetCaption(name + QStringLiteral(" abmelden"));
        for (int i = 0; i < entries.Count(); ++i)
            entries[i]->SetEnabled(true);
    } else {
        MainMenu->Items()[0]->SetCaption(QStringLiteral("Lernprofil"));
        entries[0]->SetCaption(QStringLiteral("Lernprofil anmelden"));
        for (int i : {1, 4, 5})
            entries[i]->SetEnabled(false);
    }
    MainMenu->LayoutItems();
    MainMenu->update();
    Lernprofil->update();
}

void TMainForm::SetProfileMenuLocked(bool locked)
{
    ZItems &entries = Lernprofil->Items();
    const bool signedIn = Profiles->SignedIn();
    for (int i = 0; i < entries.Count(); ++i)
        entries[i]->SetEnabled(!locked && (signedIn || (i != 1 && i != 4 && i != 5)));
    Lernprofil->update();
}

void TMainForm::FormKeyDown(int key)
{
    if (key == Qt::Key_Escape && CloseTopmost())
        return;
    if (key == Qt::Key_F1) {
        ShowScreenHelp();
        return;
    }
    if (!Glossar->isHidden())
        Glossar->FormKeyDown(key);
    if (!Zelle->isHidden())
        Zelle->FormKeyDown(key);
}

bool TMainForm::CloseTopmost()
{
    if (MainMenu->SubMenuOpen()) {
        MainMenu->CloseMenus();
        return true;
    }
    if (switcherOpen_) {
        SetSwitcherHeight(kSwitcherClosed);
        return true;
    }
    if (!Zelle->isHidden() && !Zelle->Help->isHidden()) {
        Zelle->CloseClose();
        return true;
    }
    return false;
}

void TMainForm::ShowScreenHelp()
{
    switch (current_) {
    case 1:
        Zelle->ShowHelp();
        break;
    case 2:
        ShowManualPage(1);
        break;
    case 3:
        ShowManualPage(2);
        break;
    default:
        ShowManualPage(kWelcomePage);
        break;
    }
}

void TMainForm::FormMouseWheel(Qt::KeyboardModifiers shift, int delta, const QPoint &globalPos)
{
    if (!Glossar->isHidden())
        Glossar->FrameMouseWheel(shift, delta, globalPos);
    else if (!Uebung->isHidden())
        Uebung->FrameMouseWheel(shift, delta, globalPos);
    else if (!Zelle->isHidden())
        Zelle->FrameMouseWheel(shift, delta, globalPos);
}

void TMainForm::ZellePartsItemSelect(int index)
{
    Zelle->PartsItemSelect(index);
}

void TMainForm::LogoClick()
{
    if (info_) {
        info_->show();
        info_->raise();
        info_->activateWindow();
    }
}

void TMainForm::OpenGlossaryEntry(int number)
{
    MenuItemClick(MenuItem3);
    Glossar->ShowEntry(number, true);
}

void TMainForm::ShowManualPage(int page)
{
    if (!manual_)
        return;
    manual_->SetPage(page);
    manual_->show();
}

void TMainForm::ShowMessage(const QString &title, const QString &text, QWidget *owner)
{
    TMessageForm *const message = message_;
    if (!message)
        return;
    message->SetOwner(owner);
    message->MainMenu->SetCaption(title);
    message->Text->SetText(text);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect r = screen->availableGeometry();
        message->move(r.left() + (r.width() - message->width()) / 2,
                      r.top() + (r.height() - message->height()) / 2);
    }
    if (message->isVisible())
        message->FormShow(); // already shown: size it for the new text
    message->show();
    message->raise();
    message->activateWindow();
    // Showing it disables its owner, and closing it enables that one again: the main window is
    // disabled only when it is the owner, or it would stay disabled after a screen's message.
}

// Key preview and wheel forwarding for everything inside this window. A key is seen once, at
// its first receiver; it still goes on to the focused control. The wheel belongs to the
// window: the screens decide what it scrolls or zooms.
bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::Wheel)
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this || !isEnabled())
        return false;
    if (event->type() == QEvent::KeyPress) {
        QWidget *first = QApplication::focusWidget();
        if (!first || first->window() != this)
            first = this;
        if (w == first)
            FormKeyDown(static_cast<QKeyEvent *>(event)->key());
        return false;
    }
    auto *wheel = static_cast<QWheelEvent *>(event);
    FormMouseWheel(wheel->modifiers(), wheel->angleDelta().y(), wheel->globalPosition().toPoint());
    return true;
}
