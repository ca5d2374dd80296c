#include "u_zelle.h"

#include "MainMenu.h"
#include "MediaButton.h"
#include "MediaPlayer.h"
#include "Memo.h"
#include "MenuContainer.h"
#include "ScrollBar.h"
#include "ShadowPanel.h"
#include "Uebersicht.h"
#include "ZellMenu.h"
#include "base/colorref.h"
#include "base/cp1252.h"
#include "base/programfolder.h"
#include "cellfiles.h"
#include "errorbox.h"
#include "zellelib.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QTimer>
#include <QToolTip>

namespace {

constexpr int kScreenColor = 7200386;
constexpr int kModelColor = 12446671;
constexpr int kPartsColor = 14540253;

struct OrganelleEntry {
    const char *caption;
    int color, highlight, select;
};

// The organelle menu in organelle-index order (colour, highlight, selection mark).
constexpr OrganelleEntry kOrganelles[] = {
    {"Zellkern", 9782668, 12614857, 6884436},
    {"ER", 13001571, 15831954, 7353653},
    {"Ribosom", 51455, 7860211, 41727},
    {"Golgi-Apparat", 5066115, 6908335, 4013413},
    {"Chloroplast", 1372168, 5306725, 2537233},
    {"Mitochondrium", 227289, 5812978, 94139},
    {"Vakuole", 13152670, 14799042, 10255458},
    {"Plasmalemma", 16496559, 16438223, 16619403},
    {"Zellwand", 1197672, 1008794, 799048},
    {"Peroxisom", 14914654, 16690048, 12874311},
    {"Cytoskelett", 2114551, 2114551, 135370},
};

QFont pixelFont(const QString &family, int px, bool underline = false, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(px);
    font.setUnderline(underline);
    font.setBold(bold);
    return font;
}

void fillWith(QWidget *w, const QColor &color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, color);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

// Controls that lie over the GL panel get a window of their own, so X11 clips the GL drawing
// around them; Qt cannot paint a plain widget over a foreign surface.
void makeNative(QWidget *w)
{
    w->setAttribute(Qt::WA_NativeWindow);
}

QImage iconOrPlaceholder(const QString &resource, int size)
{
    QImage image(resource);
    if (!image.isNull())
        return image;
    // Until the icons are rendered from the model: a neutral grey square with a frame.
    image = QImage(size, size, QImage::Format_RGB32);
    image.fill(QColor(200, 200, 200));
    for (int i = 0; i < size; ++i) {
        image.setPixelColor(i, 0, QColor(150, 150, 150));
        image.setPixelColor(i, size - 1, QColor(150, 150, 150));
        image.setPixelColor(0, i, QColor(150, 150, 150));
        image.setPixelColor(size - 1, i, QColor(150, 150, 150));
    }
    return image;
}

} // namespace

// ---------------------------------------------------------------------------------------------

TZelle::TZelle(QWidget *parent) : QWidget(parent), library_(vellora::realZelleLibrary())
{
    ReportError = [](const QString &message) { vellora::showErrorBox(message); };
    resize(755, 580);
    fillWith(this, vellora::colorRef(kScreenColor));

    Zellmodell = new TZellmodell(this);
    Zellmodell->setGeometry(70, 10, 675, 543);
    fillWith(Zellmodell, vellora::colorRef(kModelColor));
    Zellmodell->OnMouseDown = [this](TZellmodell *, Qt::MouseButtons b, int x, int y) {
        guarded([&] { ZellmodellMouseDown(b, x, y); });
    };
    Zellmodell->OnMouseUp = [this](TZellmodell *, Qt::MouseButtons b, int x, int y) {
        guarded([&] { ZellmodellMouseUp(b, x, y); });
    };
    Zellmodell->OnMouseMove = [this](TZellmodell *, int x, int y) { ZellmodellMouseMove(x, y); };
    Zellmodell->OnClick = [this](TZellmodell *) { guarded([&] { ZellmodellClick(); }); };

    const QColor modelColor = vellora::colorRef(kModelColor);

    Heading = new QLabel(Zellmodell);
    makeNative(Heading);
    Heading->setGeometry(0, 0, Zellmodell->width(), 70);
    Heading->setFont(pixelFont(QStringLiteral("Trebuchet MS"), 29, true));
    Heading->setAlignment(Qt::AlignCenter);
    fillWith(Heading, modelColor);
    Heading->hide();

    Infos = new ZShadowPanel(Zellmodell);
    makeNative(Infos);
    Infos->setGeometry(15, 80, 282, 185);
    Infos->SetBackground(modelColor);
    Infos->SetColor(QColor(255, 255, 255));
    Infos->SetShadowImages(ZShadowPanel::StandardShadowImages());
    {
        const char *captions[] = {"weitere Namen:", "Anzahl der Membranen:", "Größe:", "in Tierzelle:"};
        const int tops[] = {16, 56, 104, 152};
        QLabel **values[] = {&Names, &MemCount, &Size, &AnimalCell};
        const QFont captionFont = pixelFont(QStringLiteral("Trebuchet MS"), 15, false, true);
        const QFont valueFont = pixelFont(QStringLiteral("Trebuchet MS"), 15);
        for (int i = 0; i < 4; ++i) {
            auto *caption = new QLabel(QString::fromUtf8(captions[i]), Infos);
            caption->setFont(captionFont);
            caption->setGeometry(16, tops[i], 204, 20);
            auto *value = new QLabel(Infos);
            value->setFont(valueFont);
            value->setGeometry(224, tops[i], 50, 20);
            *values[i] = value;
        }
        const QString placeholders[] = {QStringLiteral("keine"), QStringLiteral("2"),
                                        QStringLiteral("120nm"), QStringLiteral("ja")};
        Names->setText(placeholders[0]);
        MemCount->setText(placeholders[1]);
        Size->setText(placeholders[2]);
        AnimalCell->setText(placeholders[3]);
    }
    Infos->hide();

    Text = new ZMemo(Zellmodell);
    makeNative(Text);
    Text->setGeometry(382, 80, 291, 343);
    Text->SetColor(modelColor);
    Text->SetFont(pixelFont(QStringLiteral("Trebuchet MS"), 16));
    Text->SetLinkFont(pixelFont(QStringLiteral("Trebuchet MS"), 16, true));
    Text->SetLinkFontColor(vellora::colorRef(vellora::kMaroon));
    Text->OnLinkClick = [this](ZMemo *, int k) { guarded([&] { TextLinkClick(k); }); };
    Text->hide();

    ScrollBar = new ZScrollBar(Zellmodell);
    makeNative(ScrollBar);
    ScrollBar->setGeometry(648, 80, 19, 444);
    ScrollBar->SetMemo(Text);
    ScrollBar->hide();

    Player = new TMediaPlayer(this);

    Read = new QWidget(Zellmodell);
    makeNative(Read);
    Read->setGeometry(288, 483, 205, 33);
    fillWith(Read, modelColor);
    {
        auto *caption = new QLabel(QStringLiteral("Text vorlesen:"), Read);
        caption->setFont(pixelFont(QStringLiteral("Trebuchet MS"), 15));
        caption->setGeometry(0, 0, 110, 33);
        caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    Play = new ZMediaButton(Read);
    Play->setGeometry(114, 0, 33, 33);
    Play->SetButtonType(mbPlay);
    Play->SetMediaPlayer(Player);
    Play->OnClick = [this](ZMediaButton *) { PlayClick(); };
    Stop = new ZMediaButton(Read);
    Stop->setGeometry(151, 0, 33, 33);
    Stop->SetButtonType(mbStop);
    Stop->SetMediaPlayer(Player);
    Stop->OnClick = [this](ZMediaButton *) { StopClick(); };
    Read->hide();

    const QList<QImage> shadows = ZShadowPanel::StandardShadowImages();
    QLabel **shadowLabels[] = {&Shadow1, &Shadow2, &Shadow3, &Shadow4, &Shadow5};
    for (int i = 0; i < 5; ++i) {
        auto *label = new QLabel(this);
        label->setScaledContents(true);
        if (i < shadows.size())
            label->setPixmap(QPixmap::fromImage(shadows[i]));
        *shadowLabels[i] = label;
    }
    // Right strip: top end, middle, corner; bottom strip: middle, left end.
    Shadow1->setGeometry(745, 15, 5, 5);
    Shadow2->setGeometry(745, 20, 5, 533);
    Shadow3->setGeometry(745, 553, 5, 5);
    Shadow4->setGeometry(210, 553, 535, 5);
    Shadow5->setGeometry(205, 553, 5, 5);

    Menu = new ZMenuContainer(this);
    makeNative(Menu);
    Menu->setGeometry(0, 0, 200, height());
    Menu->SetColor(vellora::colorRef(kScreenColor));
    Menu->SetInterval(10);
    Menu->SetSpeed(7);
    Menu->SetMinWidth(75);
    Menu->SetMaxWidth(200);

    Uebersicht = new ZUebersicht(Menu);
    Uebersicht->setGeometry(10, 10, 185, 45);
    Uebersicht->SetCaption(QStringLiteral("ganze Zelle"));
    Uebersicht->SetBackground(vellora::colorRef(kScreenColor));
    Uebersicht->SetColor(vellora::colorRef(vellora::kSilver));
    Uebersicht->SetHighlight(vellora::colorRef(13421772));
    Uebersicht->SetSelect(vellora::colorRef(vellora::kGrey));
    Uebersicht->SetShadowImages(shadows);
    Uebersicht->SetFont(pixelFont(QStringLiteral("Trebuchet MS"), 19));
    Uebersicht->SetFontColor(QColor(255, 255, 255));
    Uebersicht->SetIcons({iconOrPlaceholder(QStringLiteral(":/cell/icons/uebersicht.png"), 38)});
    Uebersicht->SetIconIndex(0);
    Uebersicht->SetSelected(true);
    Uebersicht->OnClick = [this](ZShadowPanel *) { guarded([&] { UebersichtClick(); }); };

    Parts = new ZZellMenu(Menu);
    // Tall enough for all eleven entries (the last ends at 40 * 11 + 35 = 475) and the shadow.
    Parts->setGeometry(10, 60, 185, 485);
    Parts->SetCaption(QStringLiteral(" Zellbestandteile"));
    Parts->SetTag(1);
    Parts->SetBackground(vellora::colorRef(kScreenColor));
    Parts->SetColor(vellora::colorRef(kPartsColor));
    Parts->SetShadowImages(shadows);
    Parts->SetHeaderFont(pixelFont(QStringLiteral("Trebuchet MS"), 19));
    Parts->SetItemFont(pixelFont(QStringLiteral("Trebuchet MS"), 17));
    Parts->SetNumberFont(pixelFont(QStringLiteral("Times New Roman"), 27));
    Parts->SetFontColor(QColor(255, 255, 255));
    {
        QList<QImage> icons;
        for (int i = 0; i < 11; ++i)
            icons.append(iconOrPlaceholder(QStringLiteral(":/cell/icons/organ%1.png").arg(i), 33));
        Parts->SetIcons(icons);
    }
    for (const OrganelleEntry &e : kOrganelles)
        Parts->AddItem(QString::fromUtf8(e.caption), e.color, e.highlight, e.select).FontSize = 13;
    Parts->OnItemSelect = [this](ZZellMenu *, int i) {
        guarded([&] { emit partsItemSelected(i); });
    };
    Parts->OnItemHighlight = [this](ZZellMenu *, int i) { guarded([&] { PartsItemHighlight(i); }); };
    // The container reports every size change; the screen follows its width only (its height
    // follows the frame).
    Menu->OnResize = [this](ZMenuContainer *) {
        if (Menu->width() == menuWidth_)
            return;
        menuWidth_ = Menu->width();
        guarded([&] { MenuResize(); });
    };

    Help = new ZShadowPanel(this);
    makeNative(Help);
    Help->setGeometry(152, 24, 369, 187);
    Help->SetBackground(vellora::colorRef(kScreenColor));
    Help->SetColor(QColor(255, 255, 255));
    Help->SetShadowImages(shadows);
    Close = new ZMainMenu(Help);
    Close->setGeometry(0, 0, 364, 20);
    Close->SetCaption(QStringLiteral("Hilfe"));
    Close->SetColor(vellora::colorRef(vellora::kGrey));
    Close->SetFont(pixelFont(QStringLiteral("Trebuchet MS"), 13, false, true));
    Close->SetFontColor(QColor(255, 255, 255));
    Close->SetHighlight(vellora::colorRef(vellora::kSilver));
    Close->SetClose(true);
    Close->OnClose = [this](ZMainMenu *) { CloseClose(); };
    HelpMemo = new QPlainTextEdit(Help);
    HelpMemo->setGeometry(8, 24, 352, 154);
    HelpMemo->setReadOnly(true);
    HelpMemo->setFrameShape(QFrame::NoFrame);
    HelpMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    HelpMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    HelpMemo->setFont(pixelFont(QStringLiteral("Trebuchet MS"), 12));
    HelpMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    HelpMemo->setPlainText(HelpLines().join(QLatin1Char('\n')));

    Menu->raise();
    Help->raise();

    idle_ = new QTimer(this);
    idle_->setInterval(0);
    connect(idle_, &QTimer::timeout, this, [this] { guarded([&] { RenderStep(); }); });
}

TZelle::~TZelle() = default;

QStringList TZelle::HelpLines()
{
    return {QStringLiteral("Bedienung des Zellmodells"),
            QString(),
            QStringLiteral("Drehen: rechte Maustaste gedrückt halten und bewegen"),
            QString(),
            QStringLiteral("Zoomen: Mausrad"),
            QString(),
            QStringLiteral("Bewegen: mittlere Maustaste gedrückt halten und bewegen"),
            QString(),
            QStringLiteral("Auswählen: mit der linken Maustaste klicken")};
}

void TZelle::SetLibrary(std::unique_ptr<vellora::ZelleLibrary> library)
{
    library_ = std::move(library);
}

void TZelle::guarded(const std::function<void()> &step)
{
    try {
        step();
    } catch (...) {
        const QString message = vellora::currentExceptionText();
        if (ReportError)
            ReportError(message);
    }
}

void TZelle::Initialize()
{
    if (initialized_)
        return;
    Parts->setAttribute(Qt::WA_OpaquePaintEvent);
    const QString platform = QGuiApplication::platformName();
    const bool headless = platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
    const std::uintptr_t window = headless ? 0 : static_cast<std::uintptr_t>(Zellmodell->winId());
    library_->Init(window, QFile::encodeName(vellora::programFolder()));
    initialized_ = true;
    if (!isHidden())
        idle_->start();
    meshNames_ = vellora::loadMeshNames(vellora::contentPath(QStringLiteral("inhalt/meshes.dat")));
}

void TZelle::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    // The idle step runs only while the screen is shown; its own flag decides, so drawing goes
    // on while the main window is covered or minimised.
    if (!idle_)
        return;
    if (visible && initialized_)
        idle_->start();
    else
        idle_->stop();
}

bool TZelle::IdleRunning() const
{
    return idle_ && idle_->isActive();
}

void TZelle::ShowScreen()
{
    emit barRequested(false, true);
    Menu->Expand();
    show();
    setViewports();
    dragMode_ = 2;
}

void TZelle::setViewports()
{
    if (!initialized_)
        return;
    const int w = Zellmodell->width();
    const int h = Zellmodell->height();
    const int l = Zellmodell->x();
    const int m = Menu->width();
    const int hh = Heading->height();
    const int ih = Infos->height();
    // y counts upwards from the panel's bottom edge.
    library_->Viewport(false, m - l + 10, h - hh - ih - 10 - h / 2, w / 2 + l - m - 10, h / 2 - 10);
    library_->Viewport(true, m - l, 0, w + l - m, h);
}

void TZelle::setMenusEnabled(bool enabled)
{
    Parts->setEnabled(enabled);
    Uebersicht->setEnabled(enabled);
}

void TZelle::RenderStep()
{
    guarded([&] { renderStep(); });
}

void TZelle::renderStep()
{
    if (!initialized_ || isHidden()) {
        if (idle_)
            idle_->stop();
        return;
    }
    // A message box shown from inside a step spins the event loop; no frame nests in a frame.
    if (rendering_)
        return;
    rendering_ = true;
    struct Done {
        bool &flag;
        ~Done() { flag = false; }
    } done{rendering_};

    const int r = library_->Render(mouseX_, mouseY_);
    if (r <= -2) {
        const int s = -(r + 2);
        viewState_ = s;
        switch (s) {
        case 0:
        case 4: setMenusEnabled(true); break;
        case 1:
        case 5: setMenusEnabled(false); break;
        case 3: showContent(); break;
        case 6: hideContent(); break;
        default: break;
        }
        return;
    }

    QString hint;
    bool showHint = false;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    if (viewState_ == 0) {
        int o = library_->Action(7, r, 0);
        if (o == 10) {
            hint = QStringLiteral("Vesikel");
            showHint = true;
            o = -1;
        }
        if (o >= Parts->Items().Count())
            o = -1;
        if (o >= 0) {
            hint = Parts->Items()[o].Caption;
            cursor = Qt::PointingHandCursor;
            showHint = true;
        }
        Parts->SetModelHighlight(o);
    } else if (viewState_ == 4 && r != -1) {
        // A detail part without a line in the name list shows no hint.
        if (r >= 0 && r < meshNames_.size()) {
            hint = vellora::fromCp1252(meshNames_[r]);
            showHint = true;
        }
    }
    Zellmodell->SetHintState(hint, showHint);
    if (Zellmodell->cursor().shape() != cursor)
        Zellmodell->setCursor(cursor);
}

void TZelle::ZellmodellMouseDown(Qt::MouseButtons buttons, int x, int y)
{
    // The click that may follow picks where the button went down.
    mouseX_ = x;
    mouseY_ = y;
    ZellmodellMouseUp(buttons, x, y);
}

void TZelle::ZellmodellMouseUp(Qt::MouseButtons buttons, int x, int y)
{
    const int mode = (buttons & Qt::RightButton) ? 0 : (buttons & Qt::MiddleButton) ? 1 : 2;
    if (mode == dragMode_)
        return;
    dragMode_ = mode;
    if (initialized_)
        library_->Action(mode, x, y);
}

void TZelle::ZellmodellMouseMove(int x, int y)
{
    mouseX_ = x;
    mouseY_ = y;
}

void TZelle::ZellmodellClick()
{
    guarded([&] { zellmodellClick(); });
}

void TZelle::zellmodellClick()
{
    if (!initialized_ || viewState_ != 0)
        return;
    const int id = library_->Action(9, mouseX_, mouseY_);
    selectedObject_ = id;
    if (id == -1)
        return;
    const int o = library_->Action(7, id, 0);
    selectedOrganelle_ = o;
    if (o == 10 || o < 0 || o >= Parts->Items().Count())
        return;
    goToOrganelle();
}

void TZelle::PartsItemSelect(int index)
{
    guarded([&] { partsItemSelect(index); });
}

void TZelle::partsItemSelect(int index)
{
    if (!initialized_ || index < 0 || index >= Parts->Items().Count())
        return;
    Uebersicht->SetSelected(false);
    selectedOrganelle_ = index;
    selectedObject_ = library_->Action(6, index, 0);
    goToOrganelle();
}

void TZelle::goToOrganelle()
{
    if (viewState_ != 0) {
        showContent();
    } else {
        setMenusEnabled(false);
        viewState_ = 1;
    }
    Parts->SetItemIndex(selectedOrganelle_);
    Uebersicht->SetSelected(false);
    library_->Action(4, selectedObject_, 0);
}

void TZelle::PartsItemHighlight(int index)
{
    if (initialized_)
        library_->Action(8, index, 0);
}

void TZelle::UebersichtClick()
{
    if (!initialized_ || viewState_ == 0)
        return;
    Parts->SetItemIndex(-1);
    Uebersicht->SetSelected(true);
    library_->Action(5, 0, 0);
    setMenusEnabled(false);
}

void TZelle::showContent()
{
    const int n = selectedOrganelle_;
    ScrollBar->ResetPosition();
    Text->SetPosition(0);

    const vellora::TOrganell organell = vellora::readOrganellFile(n);
    Heading->setText(vellora::fromCp1252(organell.Heading));
    Text->SetText(organell.Text);
    Names->setText(vellora::fromCp1252(organell.Names));
    MemCount->setText(vellora::fromCp1252(organell.MemCount));
    Size->setText(vellora::fromCp1252(organell.Size));
    AnimalCell->setText(vellora::fromCp1252(organell.AnimalCell));
    for (QLabel *value : {Names, MemCount, Size, AnimalCell})
        value->resize(qMax(Infos->width() - value->x() - 10, 10), value->height());

    closePlayer();
    Player->SetFileName(vellora::audioPath(n));
    Player->Open();

    Text->show();
    Text->update();
    ScrollBar->show();
    ScrollBar->UpdateRange();
    Read->show();
    Heading->show();
    Infos->show();
}

void TZelle::closePlayer()
{
    // A device that never opened (its file was missing) has nothing to stop; the play face
    // goes back to play all the same.
    if (Player->IsOpen()) {
        Stop->Click();
        Player->Close();
    } else {
        StopClick();
    }
}

void TZelle::hideContent()
{
    Text->hide();
    Read->hide();
    Heading->hide();
    Infos->hide();
    ScrollBar->hide();
    closePlayer();
}

void TZelle::TextLinkClick(int index)
{
    emit glossaryEntryRequested(index);
}

void TZelle::PlayClick()
{
    Play->SetButtonType(Play->ButtonType() == mbPlay ? mbPause : mbPlay);
    Play->repaint();
}

void TZelle::StopClick()
{
    Play->SetButtonType(mbPlay);
}

void TZelle::FormKeyDown(int key)
{
    guarded([&] { formKeyDown(key); });
}

void TZelle::formKeyDown(int key)
{
    switch (key) {
    case Qt::Key_Up: ScrollBar->Scroll(1); break;
    case Qt::Key_Down: ScrollBar->Scroll(-1); break;
    case Qt::Key_MediaStop: Stop->Click(); break;
    case Qt::Key_MediaTogglePlayPause:
    case Qt::Key_MediaPlay: Play->Click(); break;
    default: break;
    }
}

bool TZelle::OverText(const QPoint &globalPos) const
{
    if (Text->isHidden())
        return false;
    QWidget *w = QApplication::widgetAt(globalPos);
    if (w)
        return w == Text || Text->isAncestorOf(w);
    // Without a window system answering, the geometry decides.
    return Text->isVisible() && Text->rect().contains(Text->mapFromGlobal(globalPos));
}

void TZelle::FrameMouseWheel(Qt::KeyboardModifiers, int delta, const QPoint &globalPos)
{
    if (OverText(globalPos))
        ScrollBar->Scroll(delta);
    else if (initialized_)
        library_->Action(3, delta, 0);
}

void TZelle::ShowHelp()
{
    Help->show();
    Help->raise();
}

void TZelle::CloseClose()
{
    Help->hide();
}

void TZelle::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FrameResize();
}

void TZelle::FrameResize()
{
    const int fw = width();
    const int fh = height();
    Menu->resize(Menu->width(), fh);
    Zellmodell->resize(fw - Zellmodell->x() - 10, fh - Zellmodell->y() - 10);
    const int w = Zellmodell->width();
    const int h = Zellmodell->height();
    const int top = Zellmodell->y();

    Shadow1->move(fw - 10, Shadow1->y());
    Shadow2->setGeometry(fw - 10, Shadow2->y(), Shadow2->width(), fh - top - 20);
    Shadow3->move(fw - 10, fh - top);
    Shadow4->setGeometry(Menu->width() + 10, fh - top, fw - Menu->width() - 20, Shadow4->height());
    Shadow5->move(Menu->width() + 5, fh - top);

    Heading->resize(w, Heading->height());
    ScrollBar->setGeometry(w - 29, ScrollBar->y(), ScrollBar->width(), h - ScrollBar->y() - 10);
    Text->setGeometry(w / 2 + 10, Text->y(), w / 2 - 44, h - ScrollBar->y() - 10);
    Infos->resize(w / 2 - 15, Infos->height());
    Read->move(w / 2 - Read->width() - 15, h / 2 + Infos->y() + Infos->height() + 10);
}

void TZelle::MenuResize()
{
    const int fw = width();
    Shadow4->setGeometry(Menu->width() + 10, Shadow4->y(), fw - Menu->width() - 20, Shadow4->height());
    Shadow5->move(Menu->width() + 5, Shadow5->y());
    // Before the screen is initialised (and shown) the library is not reached; showing sets the
    // viewports again.
    if (!initialized_)
        return;
    setViewports();
    RenderStep();
}
