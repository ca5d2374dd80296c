#include "u_zelle.h"

#include "Button.h"
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
#include "controls.h"
#include "errorbox.h"
#include "zelle.h"
#include "zellelib.h"

#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QTimer>

#include <chrono>
#include <utility>

namespace {

constexpr int kScreenColor = 7200386;
constexpr int kModelColor = 12446671;
constexpr int kPartsColor = 14540253;
constexpr int kButtonHighlight = 13421772;

struct OrganelleEntry
{
    const char *caption;
    int color, highlight, select;
};

// The organelle menu in organelle-index order (colour, highlight, selection mark).
constexpr OrganelleEntry kOrganelles[] = {
    {"Zellkern", 9782668, 12614857, 6884436},   {"ER", 13001571, 15831954, 7353653},
    {"Ribosom", 51455, 7860211, 41727},         {"Golgi-Apparat", 5066115, 6908335, 4013413},
    {"Chloroplast", 1372168, 5306725, 2537233}, {"Mitochondrium", 227289, 5812978, 94139},
    {"Vakuole", 13152670, 14799042, 10255458},  {"Plasmalemma", 16496559, 16438223, 16619403},
    {"Zellwand", 1197672, 1008794, 799048},     {"Peroxisom", 14914654, 16690048, 12874311},
    {"Cytoskelett", 2114551, 2114551, 135370},
};

// Trebuchet MS at a pixel size, underlined for the heading.
QFont trebuchet(int px, bool bold = false, bool underline = false)
{
    QFont font = vellora::formFont(px, bold);
    font.setUnderline(underline);
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
template <class W, class Parent> W *nativeChild(Parent *parent)
{
    auto *w = new W(parent);
    w->setAttribute(Qt::WA_NativeWindow);
    return w;
}

} // namespace

// ---------------------------------------------------------------------------------------------

TZelle::TZelle(QWidget *parent) : QWidget(parent), library_(vellora::realZelleLibrary())
{
    ReportError = [](const QString &message) { vellora::showErrorBox(message); };
    Clock = [] {
        using namespace std::chrono;
        return qint64(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    };
    resize(755, 580);
    fillWith(this, vellora::colorRef(kScreenColor));

    createModelPanel();
    createContent();
    createShadows();
    createMenu();
    createHelp();
    layOutAtDesignSize();
    fillMenu();
    connectHandlers();

    Menu->raise();
    Help->raise();
}

void TZelle::createModelPanel()
{
    const QColor modelColor = vellora::colorRef(kModelColor);
    Zellmodell = new TZellmodell(this);
    fillWith(Zellmodell, modelColor);

    Heading = nativeChild<QLabel>(Zellmodell);
    Heading->setFont(trebuchet(29, false, true));
    Heading->setAlignment(Qt::AlignCenter);
    fillWith(Heading, modelColor);
    Heading->hide();

    // Left on the heading band, above the facts box, clear of the centred heading.
    ShowInCell = new ZButton(Heading);
    const QString showCaption = QStringLiteral("In der Zelle zeigen");
    ShowInCell->SetCaption(showCaption);
    ShowInCell->SetFont(trebuchet(15));
    ShowInCell->SetFontColor(QColor(15, 29, 69));
    ShowInCell->SetColor(QColor(255, 255, 255));
    ShowInCell->SetHighlight(vellora::colorRef(kButtonHighlight));
    ShowInCell->SetBorder(vellora::colorRef(vellora::kGrey));
    ShowInCell->setCursor(Qt::PointingHandCursor);
    ShowInCell->setToolTip(
        QStringLiteral("Zeigt in der ganzen Zelle, wo es diesen Zellbestandteil überall gibt"));
    ShowInCell->setGeometry(15, 20, QFontMetrics(trebuchet(15)).horizontalAdvance(showCaption) + 24, 30);

    Infos = nativeChild<ZShadowPanel>(Zellmodell);
    Infos->SetBackground(modelColor);
    Infos->SetColor(QColor(255, 255, 255));
    Infos->SetShadowImages(ZShadowPanel::StandardShadowImages());
    // A caption and its value per row; the values are placeholders until an organelle shows.
    struct Fact
    {
        const char *caption;
        QLabel *TZelle::*value;
        const char *placeholder;
        int top;
    };
    const Fact facts[] = {
        {"weitere Namen:", &TZelle::Names, "keine", 16},
        {"Anzahl der Membranen:", &TZelle::MemCount, "2", 56},
        {"Größe:", &TZelle::Size, "120nm", 104},
        {"in Tierzelle:", &TZelle::AnimalCell, "ja", 152},
    };
    for (const Fact &f : facts) {
        auto *caption = new QLabel(QString::fromUtf8(f.caption), Infos);
        caption->setFont(trebuchet(15, true));
        caption->setGeometry(16, f.top, 204, 20);
        auto *value = new QLabel(QString::fromUtf8(f.placeholder), Infos);
        value->setFont(trebuchet(15));
        value->setGeometry(224, f.top, 50, 20);
        this->*f.value = value;
    }
    Infos->hide();
}

void TZelle::createContent()
{
    const QColor modelColor = vellora::colorRef(kModelColor);
    Text = nativeChild<ZMemo>(Zellmodell);
    Text->SetColor(modelColor);
    Text->SetFont(trebuchet(16));
    Text->SetLinkFont(trebuchet(16, false, true));
    Text->SetLinkFontColor(vellora::colorRef(vellora::kMaroon));
    Text->hide();

    ScrollBar = nativeChild<ZScrollBar>(Zellmodell);
    ScrollBar->SetMemo(Text);
    ScrollBar->hide();

    Player = new TMediaPlayer(this);

    Read = nativeChild<QWidget>(Zellmodell);
    fillWith(Read, modelColor);
    auto *caption = new QLabel(QStringLiteral("Text vorlesen:"), Read);
    caption->setFont(trebuchet(15));
    caption->setGeometry(0, 0, 110, 33);
    caption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Play = new ZMediaButton(Read);
    Play->SetButtonType(mbPlay);
    Play->SetMediaPlayer(Player);
    Stop = new ZMediaButton(Read);
    Stop->SetButtonType(mbStop);
    Stop->SetMediaPlayer(Player);
    // The faces are signs only; the tips say them in words.
    Play->setToolTip(QStringLiteral("Vorlesen starten oder unterbrechen"));
    Stop->setToolTip(QStringLiteral("Vorlesen beenden"));
    Read->hide();
}

void TZelle::createShadows()
{
    const QList<QImage> shadows = ZShadowPanel::StandardShadowImages();
    QLabel **labels[] = {&Shadow1, &Shadow2, &Shadow3, &Shadow4, &Shadow5};
    for (int i = 0; i < 5; ++i) {
        auto *label = new QLabel(this);
        label->setScaledContents(true);
        if (i < shadows.size())
            label->setPixmap(QPixmap::fromImage(shadows[i]));
        *labels[i] = label;
    }
}

void TZelle::createMenu()
{
    const QList<QImage> shadows = ZShadowPanel::StandardShadowImages();
    Menu = nativeChild<ZMenuContainer>(this);
    Menu->SetColor(vellora::colorRef(kScreenColor));
    Menu->SetInterval(10);
    Menu->SetSpeed(7);
    Menu->SetMinWidth(75);
    Menu->SetMaxWidth(200);

    Uebersicht = new ZUebersicht(Menu);
    Uebersicht->SetCaption(QStringLiteral("ganze Zelle"));
    Uebersicht->SetBackground(vellora::colorRef(kScreenColor));
    Uebersicht->SetColor(vellora::colorRef(vellora::kSilver));
    Uebersicht->SetHighlight(vellora::colorRef(13421772));
    Uebersicht->SetSelect(vellora::colorRef(vellora::kGrey));
    Uebersicht->SetShadowImages(shadows);
    Uebersicht->SetFont(trebuchet(19));
    Uebersicht->SetFontColor(QColor(255, 255, 255));
    Uebersicht->SetIcons({QImage(QStringLiteral(":/cell/icons/uebersicht.png"))});
    Uebersicht->SetIconIndex(0);
    Uebersicht->SetSelected(true);

    Parts = new ZZellMenu(Menu);
    Parts->SetCaption(QStringLiteral(" Zellbestandteile"));
    Parts->SetTag(1);
    Parts->SetBackground(vellora::colorRef(kScreenColor));
    Parts->SetColor(vellora::colorRef(kPartsColor));
    Parts->SetShadowImages(shadows);
    Parts->SetHeaderFont(trebuchet(19));
    Parts->SetItemFont(trebuchet(17));
    Parts->SetNumberFont(vellora::formFont(27, false, QStringLiteral("Times New Roman")));
    Parts->SetFontColor(QColor(255, 255, 255));
}

void TZelle::createHelp()
{
    Help = nativeChild<ZShadowPanel>(this);
    Help->SetBackground(vellora::colorRef(kScreenColor));
    Help->SetColor(QColor(255, 255, 255));
    Help->SetShadowImages(ZShadowPanel::StandardShadowImages());
    Close = new ZMainMenu(Help);
    Close->SetCaption(QStringLiteral("Hilfe"));
    Close->SetColor(vellora::colorRef(vellora::kGrey));
    Close->SetFont(trebuchet(13, true));
    Close->SetFontColor(QColor(255, 255, 255));
    Close->SetHighlight(vellora::colorRef(vellora::kSilver));
    Close->SetClose(true);
    HelpMemo = new QPlainTextEdit(Help);
    HelpMemo->setReadOnly(true);
    HelpMemo->setFrameShape(QFrame::NoFrame);
    HelpMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    HelpMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    HelpMemo->setFont(trebuchet(12));
    HelpMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    HelpMemo->setPlainText(HelpLines().join(QLatin1Char('\n')));
}

// Where each component sits at the form's design size (755 x 580); FrameResize and MenuResize
// follow the frame from there.
void TZelle::layOutAtDesignSize()
{
    const struct
    {
        QWidget *widget;
        QRect rect;
    } layout[] = {
        {Zellmodell, {70, 10, 675, 543}},
        {Heading, {0, 0, 675, 70}},
        {Infos, {15, 80, 282, 185}},
        {Text, {382, 80, 291, 343}},
        {ScrollBar, {648, 80, 19, 444}},
        {Read, {288, 483, 205, 33}},
        {Play, {114, 0, 33, 33}},
        {Stop, {151, 0, 33, 33}},
        // Right strip: top end, middle, corner; bottom strip: middle, left end.
        {Shadow1, {745, 15, 5, 5}},
        {Shadow2, {745, 20, 5, 533}},
        {Shadow3, {745, 553, 5, 5}},
        {Shadow4, {210, 553, 535, 5}},
        {Shadow5, {205, 553, 5, 5}},
        {Menu, {0, 0, 200, 580}},
        {Uebersicht, {10, 10, 185, 45}},
        // Tall enough for all eleven entries (the last ends at 40 * 11 + 35 = 475) and the shadow.
        {Parts, {10, 60, 185, 485}},
        {Help, {152, 24, 369, 201}},
        {Close, {0, 0, 364, 20}},
        {HelpMemo, {8, 24, 352, 168}},
    };
    for (const auto &[widget, rect] : layout)
        widget->setGeometry(rect);
}

void TZelle::fillMenu()
{
    QList<QImage> icons;
    for (int i = 0; i < 11; ++i)
        icons.append(QImage(QStringLiteral(":/cell/icons/organ%1.png").arg(i)));
    Parts->SetIcons(icons);
    for (const OrganelleEntry &e : kOrganelles)
        Parts->AddItem(QString::fromUtf8(e.caption), e.color, e.highlight, e.select).FontSize = 13;
}

// The components' events go to the screen's handlers; each handler guards its own work.
void TZelle::connectHandlers()
{
    Zellmodell->OnMouseDown = [this](TZellmodell *m, Qt::MouseButtons b, int x, int y) {
        ZellmodellMouseDown(b, x, y, m->PressModifiers());
    };
    Zellmodell->OnMouseUp = [this](TZellmodell *, Qt::MouseButtons b, int x, int y) {
        ZellmodellMouseUp(b, x, y);
    };
    Zellmodell->OnMouseMove = [this](TZellmodell *, int x, int y) { ZellmodellMouseMove(x, y); };
    Zellmodell->OnClick = [this](TZellmodell *) { ZellmodellClick(); };
    Text->OnLinkClick = [this](ZMemo *, int k) { TextLinkClick(k); };
    Play->OnClick = [this](ZMediaButton *) { PlayClick(); };
    Stop->OnClick = [this](ZMediaButton *) { StopClick(); };
    Uebersicht->OnClick = [this](ZShadowPanel *) { UebersichtClick(); };
    ShowInCell->OnClick = [this](ZButton *) { ShowInCellClick(); };
    // The main window forwards the choice to PartsItemSelect.
    Parts->OnItemSelect = [this](ZZellMenu *, int i) { emit partsItemSelected(i); };
    Parts->OnItemHighlight = [this](ZZellMenu *, int i) { PartsItemHighlight(i); };
    // The container reports every size change; the screen follows its width only (its height
    // follows the frame).
    Menu->OnResize = [this](ZMenuContainer *) {
        if (Menu->width() == menuWidth_)
            return;
        menuWidth_ = Menu->width();
        MenuResize();
    };
    Close->OnClose = [this](ZMainMenu *) { CloseClose(); };
    Zellmodell->OnExpose = [this](TZellmodell *) { RequestFrames(); };

    // Never a 0 ms timer: a still picture must cost nothing, and no faster than the display.
    idle_ = new QTimer(this);
    idle_->setTimerType(Qt::PreciseTimer);
    idle_->setInterval(kFrameIntervalMs);
    connect(idle_, &QTimer::timeout, this, &TZelle::RenderStep);
}

TZelle::~TZelle() = default;

QStringList TZelle::HelpLines()
{
    // A school laptop often has a touchpad only: every mouse way has a left-button or key way.
    return {QStringLiteral("Bedienung des Zellmodells"),
            QString(),
            QStringLiteral("Drehen: rechte oder linke Maustaste gedrückt halten"),
            QStringLiteral("              und bewegen, oder die Pfeiltasten"),
            QStringLiteral("Bewegen: mittlere Maustaste oder Umschalt + linke"),
            QStringLiteral("              Maustaste gedrückt halten und bewegen"),
            QStringLiteral("Zoomen: Mausrad oder die Tasten + und −"),
            QStringLiteral("Auswählen: mit der linken Maustaste klicken"),
            QStringLiteral("Ganze Zelle: Taste Pos1")};
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
    RequestFrames();
    meshNames_ = vellora::loadMeshNames(vellora::contentPath(QStringLiteral("inhalt/meshes.dat")));
}

void TZelle::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    // Frames run only while the screen is shown; its own flag decides, so a frame asked for
    // while the main window is covered or minimised is still drawn.
    if (!idle_)
        return;
    if (visible)
        RequestFrames();
    else
        idle_->stop();
}

bool TZelle::IdleRunning() const
{
    return idle_ && idle_->isActive();
}

void TZelle::RequestFrames()
{
    drawFor(kLongestFadeMs);
}

void TZelle::drawFor(qint64 ms)
{
    drawUntilMs_ = qMax(drawUntilMs_, Clock() + ms);
    framesSinceRequest_ = 0;
    if (idle_ && initialized_ && !isHidden() && !idle_->isActive())
        idle_->start();
}

// The library is fading or flying: every frame differs from the last.
bool TZelle::animating() const
{
    return viewState_ != ZELLE_STATE_WHOLE_CELL && viewState_ != ZELLE_STATE_DETAIL;
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
    // The folded menu's width: unfolded, the menu lies over the model, which stays where it is,
    // so that a click lands on what the pointer was aimed at.
    const int m = Menu->MinWidth();
    const int hh = Heading->height();
    const int ih = Infos->height();
    // y counts upwards from the panel's bottom edge; on a low panel the detail viewport ends at
    // that edge instead of running below it.
    int detailY = h - hh - ih - 10 - h / 2;
    int detailH = h / 2 - 10;
    if (detailY < 0) {
        detailH = qMax(detailH + detailY, 1);
        detailY = 0;
    }
    library_->Viewport(false, m - l + 10, detailY, w / 2 + l - m - 10, detailH);
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
    QScopedValueRollback<bool> rendering(rendering_, true);

    const int r = library_->Render(mouseX_, mouseY_);
    ++framesSinceRequest_;
    if (r <= ZELLE_STATE_ENTERED(ZELLE_STATE_WHOLE_CELL)) {
        // A state entered may still fade in; the content shown over the model changes too.
        RequestFrames();
        const int s = ZELLE_STATE_ENTERED(r); // the formula is its own inverse
        viewState_ = s;
        switch (s) {
        case ZELLE_STATE_WHOLE_CELL:
        case ZELLE_STATE_DETAIL:
            setMenusEnabled(true);
            resendHighlight();
            if (s == ZELLE_STATE_WHOLE_CELL && markWhenBack_ >= 0)
                markOrganelle();
            break;
        case ZELLE_STATE_LEAVING_CELL:
        case ZELLE_STATE_LEAVING_DETAIL:
            setMenusEnabled(false);
            break;
        case ZELLE_STATE_ENTERING_DETAIL:
            showContent();
            break;
        case ZELLE_STATE_FLYING_BACK:
            hideContent();
            break;
        default:
            break;
        }
        return;
    }

    QString hint;
    bool showHint = false;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    if (viewState_ == ZELLE_STATE_WHOLE_CELL) {
        int o = library_->Action(ZELLE_ACTION_OBJECT_OF, r, 0);
        if (o == ZELLE_OBJECT_VESICLES) {
            hint = QStringLiteral("Vesikel");
            showHint = true;
            o = ZELLE_NONE;
        }
        if (o >= Parts->Items().Count())
            o = ZELLE_NONE;
        if (o >= 0) {
            hint = Parts->Items()[o].Caption;
            cursor = Qt::PointingHandCursor;
            showHint = true;
        }
        Parts->SetModelHighlight(o);
    } else if (viewState_ == ZELLE_STATE_DETAIL && r != ZELLE_NONE) {
        // A detail part without a line in the name list shows no hint.
        if (r >= 0 && r < meshNames_.size()) {
            hint = vellora::fromCp1252(meshNames_[r]);
            showHint = true;
        }
    }
    Zellmodell->SetHintState(hint, showHint);
    if (Zellmodell->cursor().shape() != cursor)
        Zellmodell->setCursor(cursor);

    // Nothing moves and the last change has had its fade: the picture stands until the next
    // input, resize or expose. A single slow frame is not the last: the first one after a
    // resize may still fill the surface at its old size.
    if (!animating() && Clock() >= drawUntilMs_ && framesSinceRequest_ >= kFramesAfterRequest)
        idle_->stop();
}

void TZelle::ZellmodellMouseDown(Qt::MouseButtons buttons, int x, int y, Qt::KeyboardModifiers modifiers)
{
    RequestFrames();
    guarded([&] {
        // The click that may follow picks where the button went down.
        mouseX_ = x;
        mouseY_ = y;
        setDragMode(buttons, x, y);
        // A touchpad has no right or middle button: the left one drags too, once it moves.
        if (buttons == Qt::LeftButton && dragMode_ == ZELLE_ACTION_END_DRAG) {
            leftDown_ = true;
            leftDragging_ = false;
            leftShift_ = modifiers.testFlag(Qt::ShiftModifier);
            leftPress_ = QPoint(x, y);
        }
    });
}

void TZelle::ZellmodellMouseUp(Qt::MouseButtons buttons, int x, int y)
{
    RequestFrames();
    guarded([&] {
        const bool leftDrag = leftDragging_;
        if (!(buttons & Qt::LeftButton) && leftDown_) {
            // A press that became a drag is no click: nothing is picked where it ends.
            clickSuppressed_ = leftDragging_;
            leftDown_ = leftDragging_ = false;
        }
        // A left drag ends with the left button; right and middle keep their own meaning.
        setDragMode(leftDrag && (buttons & Qt::LeftButton) ? buttons & ~Qt::LeftButton : buttons, x, y);
    });
}

void TZelle::setDragMode(Qt::MouseButtons buttons, int x, int y)
{
    const int mode = (buttons & Qt::RightButton)    ? ZELLE_ACTION_ROTATE
                     : (buttons & Qt::MiddleButton) ? ZELLE_ACTION_MOVE
                                                    : ZELLE_ACTION_END_DRAG;
    if (mode == dragMode_)
        return;
    dragMode_ = mode;
    if (initialized_)
        library_->Action(mode, x, y);
}

// The hover result comes from the frame drawn for the new position.
void TZelle::ZellmodellMouseMove(int x, int y)
{
    mouseX_ = x;
    mouseY_ = y;
    RequestFrames();
    // The mark stays while the hand only rests on the mouse; moved on, the hover takes over.
    if (marked_ && (QPoint(x, y) - markOrigin_).manhattanLength() >= QApplication::startDragDistance())
        guarded([&] { endMark(); });
    if (leftDown_ && !leftDragging_ &&
        (QPoint(x, y) - leftPress_).manhattanLength() >= QApplication::startDragDistance())
        guarded([&] { beginLeftDrag(x, y); });
}

// Rotates (with Shift: moves) from where the left button went down, as the right (middle)
// button would; the library refuses while it animates, and the press stays a click then.
void TZelle::beginLeftDrag(int, int)
{
    if (!initialized_ || dragMode_ != ZELLE_ACTION_END_DRAG)
        return;
    const int mode = leftShift_ ? ZELLE_ACTION_MOVE : ZELLE_ACTION_ROTATE;
    if (library_->Action(mode, leftPress_.x(), leftPress_.y()) == ZELLE_NONE)
        return;
    leftDragging_ = true;
    dragMode_ = mode;
}

void TZelle::ZellmodellClick()
{
    RequestFrames();
    guarded([&] { zellmodellClick(); });
}

void TZelle::zellmodellClick()
{
    if (std::exchange(clickSuppressed_, false))
        return;
    if (!initialized_ || viewState_ != ZELLE_STATE_WHOLE_CELL)
        return;
    const int id = library_->Action(ZELLE_ACTION_PICK, mouseX_, mouseY_);
    selectedObject_ = id;
    if (id == ZELLE_NONE)
        return;
    const int o = library_->Action(ZELLE_ACTION_OBJECT_OF, id, 0);
    selectedOrganelle_ = o;
    if (o == ZELLE_OBJECT_VESICLES || o < 0 || o >= Parts->Items().Count())
        return;
    flyToOrganelle();
}

void TZelle::PartsItemSelect(int index)
{
    if (!initialized_ || index < 0 || index >= Parts->Items().Count())
        return;
    RequestFrames();
    // Opening the audio waits in an event loop, where another choice can arrive: it waits its
    // turn, and the last one wins, so text, sound and model always belong to one organelle.
    if (selecting_) {
        queuedSelection_ = index;
        return;
    }
    QScopedValueRollback<bool> selecting(selecting_, true);
    for (int next = index; next >= 0; next = std::exchange(queuedSelection_, -1))
        guarded([&] { selectOrganelle(next); });
}

void TZelle::selectOrganelle(int index)
{
    if (viewState_ == ZELLE_STATE_WHOLE_CELL) {
        selectedOrganelle_ = index;
        selectedObject_ = library_->Action(ZELLE_ACTION_PLACEMENT_OF, index, 0);
        flyToOrganelle();
    } else if (viewState_ == ZELLE_STATE_DETAIL) {
        switchInDetail(index);
    }
    // During an animation the menus are disabled and the library takes no action.
}

void TZelle::flyToOrganelle()
{
    // The organelle's page comes next; the help box would lie over its facts.
    CloseClose();
    // A marked kind would stay lit and opaque while the rest fades.
    endMark();
    setMenusEnabled(false);
    viewState_ = ZELLE_STATE_LEAVING_CELL;
    Parts->SetItemIndex(selectedOrganelle_);
    Uebersicht->SetSelected(false);
    library_->Action(ZELLE_ACTION_GO_TO, selectedObject_, 0);
}

// In the detail view the model jumps at once. Text, facts and sound are read first: if any is
// missing the choice is reported and the screen stays as it was, never the new text over the
// old model.
void TZelle::switchInDetail(int index)
{
    const vellora::TOrganell organell = vellora::readOrganellFile(index);
    {
        TMediaPlayer probe;
        probe.SetFileName(vellora::audioPath(index));
        probe.Open();
    }
    const int id = library_->Action(ZELLE_ACTION_PLACEMENT_OF, index, 0);
    if (library_->Action(ZELLE_ACTION_GO_TO, id, 0) == ZELLE_NONE)
        return;
    selectedOrganelle_ = index;
    selectedObject_ = id;
    Parts->SetItemIndex(index);
    Uebersicht->SetSelected(false);
    fillContent(organell);
    openAudio();
}

void TZelle::PartsItemHighlight(int index)
{
    RequestFrames();
    guarded([&] {
        // Refused during an animation; resendHighlight() makes up for it when the flight ends.
        if (!initialized_)
            return;
        if (library_->Action(ZELLE_ACTION_HIGHLIGHT, index, 0) == ZELLE_NONE)
            highlightRefused_ = true;
        else
            marked_ = false; // the menu's highlight has replaced the mark
    });
}

void TZelle::resendHighlight()
{
    if (!highlightRefused_)
        return;
    highlightRefused_ = false;
    library_->Action(ZELLE_ACTION_HIGHLIGHT, Parts->HoverIndex(), 0);
}

void TZelle::UebersichtClick()
{
    RequestFrames();
    guarded([&] { goToWholeCell(); });
}

// Back to the whole cell as it was at start, however it was turned, moved or zoomed: in the
// whole cell at once, from an organelle by the flight back (then true).
bool TZelle::goToWholeCell()
{
    if (!initialized_ || dragMode_ != ZELLE_ACTION_END_DRAG)
        return false;
    // The library takes no action while it animates; the menus stay as they are then.
    if (library_->Action(ZELLE_ACTION_START_VIEW, 0, 0) == ZELLE_NONE || viewState_ == ZELLE_STATE_WHOLE_CELL)
        return false;
    Parts->SetItemIndex(-1);
    Uebersicht->SetSelected(true);
    setMenusEnabled(false);
    return true;
}

void TZelle::ShowInCellClick()
{
    RequestFrames();
    guarded([&] {
        const int organelle = selectedOrganelle_;
        if (viewState_ == ZELLE_STATE_DETAIL && goToWholeCell())
            markWhenBack_ = organelle;
    });
}

// The flight back has ended: every placement of the organelle stands out until the pointer
// moves on from where it is now.
void TZelle::markOrganelle()
{
    const int organelle = std::exchange(markWhenBack_, -1);
    if (library_->Action(ZELLE_ACTION_HIGHLIGHT, organelle, ZELLE_HIGHLIGHT_STRONG) == ZELLE_NONE)
        return;
    marked_ = true;
    markOrigin_ = Zellmodell->mapFromGlobal(QCursor::pos());
}

void TZelle::endMark()
{
    if (!std::exchange(marked_, false))
        return;
    library_->Action(ZELLE_ACTION_HIGHLIGHT, ZELLE_NONE, 0);
}

void TZelle::showContent()
{
    fillContent(vellora::readOrganellFile(selectedOrganelle_));
    openAudio();
    // Unfolded, the menu lies over the fact box's captions; it unfolds again under the pointer.
    Menu->Collapse();
}

void TZelle::fillContent(const vellora::TOrganell &organell)
{
    ScrollBar->ResetPosition();
    Text->SetPosition(0);
    Heading->setText(vellora::fromCp1252(organell.Heading));
    Text->SetText(organell.Text);
    Names->setText(vellora::fromCp1252(organell.Names));
    MemCount->setText(vellora::fromCp1252(organell.MemCount));
    Size->setText(vellora::fromCp1252(organell.Size));
    AnimalCell->setText(vellora::fromCp1252(organell.AnimalCell));
    for (QLabel *value : {Names, MemCount, Size, AnimalCell})
        value->resize(qMax(Infos->width() - value->x() - 10, 10), value->height());
}

// Opens the selected organelle's audio, then shows the content (a missing file leaves it
// hidden: the error reaches the handler's edge first).
void TZelle::openAudio()
{
    closePlayer();
    Player->SetFileName(vellora::audioPath(selectedOrganelle_));
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
        Play->SetButtonType(mbPlay);
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
    RequestFrames();
    guarded([&] {
        // Up and down scroll the organelle's text while it shows, else they tilt the model.
        const bool textShown = !Text->isHidden();
        switch (key) {
        case Qt::Key_Up:
            textShown ? ScrollBar->Scroll(1) : keyRotate(0, -kKeyRotateStep);
            break;
        case Qt::Key_Down:
            textShown ? ScrollBar->Scroll(-1) : keyRotate(0, kKeyRotateStep);
            break;
        case Qt::Key_Left:
            keyRotate(-kKeyRotateStep, 0);
            break;
        case Qt::Key_Right:
            keyRotate(kKeyRotateStep, 0);
            break;
        case Qt::Key_Plus:
        case Qt::Key_ZoomIn:
            keyZoom(kWheelNotch);
            break;
        case Qt::Key_Minus:
        case Qt::Key_ZoomOut:
            keyZoom(-kWheelNotch);
            break;
        case Qt::Key_Home:
            goToWholeCell();
            break;
        case Qt::Key_MediaStop:
            Stop->Click();
            break;
        case Qt::Key_MediaTogglePlayPause:
        case Qt::Key_MediaPlay:
            Play->Click();
            break;
        default:
            break;
        }
    });
}

// One key press turns the model as a short drag would; never while the mouse drags.
void TZelle::keyRotate(int dx, int dy)
{
    if (!initialized_ || dragMode_ != ZELLE_ACTION_END_DRAG)
        return;
    if (library_->Action(ZELLE_ACTION_ROTATE, 0, 0) == ZELLE_NONE)
        return;
    library_->Action(ZELLE_ACTION_END_DRAG, dx, dy);
}

void TZelle::keyZoom(int delta)
{
    if (initialized_)
        library_->Action(ZELLE_ACTION_ZOOM, delta, 0);
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
    RequestFrames();
    guarded([&] {
        if (OverText(globalPos))
            ScrollBar->Scroll(delta);
        else if (initialized_)
            library_->Action(ZELLE_ACTION_ZOOM, delta, 0);
    });
}

void TZelle::ShowHelp()
{
    // On an organelle's page the box goes below the fact box, over the model's lower part, so
    // that no fact, heading or text line hides under it.
    QPoint place(152, 24);
    if (!Infos->isHidden())
        place = Zellmodell->pos() + QPoint(Infos->x(), Infos->y() + Infos->height() + 10);
    Help->move(place);
    Help->show();
    Help->raise();
    RequestFrames();
}

// The model shows again where the help box was.
void TZelle::CloseClose()
{
    Help->hide();
    RequestFrames();
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
    Infos->resize(w / 2 - 15, Infos->height());
    // The read-aloud buttons go just below the detail viewport. On a low screen there is no
    // room for them there: they go to the foot of the text column, which gives up their
    // height and scrolls, so that neither they nor the model leave the screen.
    int textHeight = h - ScrollBar->y() - 10;
    const int readTop = h / 2 + Infos->y() + Infos->height() + 10;
    if (readTop + Read->height() <= h - 10) {
        Read->move(w / 2 - Read->width() - 15, readTop);
    } else {
        textHeight -= Read->height() + 10;
        Read->move(w / 2 + 10, h - 10 - Read->height());
    }
    ScrollBar->setGeometry(w - 29, ScrollBar->y(), ScrollBar->width(), textHeight);
    Text->setGeometry(w / 2 + 10, Text->y(), w / 2 - 44, textHeight);
    RequestFrames();
}

void TZelle::MenuResize()
{
    const int fw = width();
    Shadow4->setGeometry(Menu->width() + 10, Shadow4->y(), fw - Menu->width() - 20, Shadow4->height());
    Shadow5->move(Menu->width() + 5, Shadow5->y());
    // Before the screen is initialised (and shown) the library is not reached.
    if (!initialized_)
        return;
    guarded([&] {
        // The model keeps its viewports: the menu slides over it. Where the menu uncovers it, it
        // is drawn at once; while frames run anyway, the next one is at most an interval away.
        if (!IdleRunning())
            renderStep();
        RequestFrames();
    });
}
