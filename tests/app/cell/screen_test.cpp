// The cell screen against a scripted library: what it sends for each input and how it reacts
// to each reported view state and hover result.

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
#include "base/programfolder.h"
#include "cellfiles.h"
#include "support/programfolder.h"
#include "u_zelle.h"
#include "zelle.h"
#include "zellelib.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <map>
#include <vector>

using vellora::ZelleLibrary;

namespace {

struct Call
{
    Call(char f, int a_ = 0, int b_ = 0, int c_ = 0, int d_ = 0, int e_ = 0)
        : fn(f), a(a_), b(b_), c(c_), d(d_), e(e_)
    {
    }
    char fn; // 'I' init, 'V' viewport, 'R' render, 'A' action
    int a, b, c, d, e;
    QByteArray folder;
    bool operator==(const Call &o) const
    {
        return fn == o.fn && a == o.a && b == o.b && c == o.c && d == o.d && e == o.e;
    }
};

std::ostream &operator<<(std::ostream &os, const Call &c)
{
    return os << c.fn << '(' << c.a << ',' << c.b << ',' << c.c << ',' << c.d << ',' << c.e << ')';
}

Call A(int code, int a, int b)
{
    return {'A', code, a, b};
}
Call V(bool overview, int x, int y, int w, int h)
{
    return {'V', overview ? 1 : 0, x, y, w, h};
}

// Records every call; Render answers from a queue (then `hover`), Action from a table.
class FakeLibrary : public ZelleLibrary
{
  public:
    std::vector<Call> calls;
    std::deque<int> renders;
    int hover = -1;
    std::function<int(int, int, int)> action = [](int, int, int) { return 0; };

    void Init(std::uintptr_t window, const QByteArray &folder) override
    {
        Call c{'I', int(window)};
        c.folder = folder;
        calls.push_back(c);
    }
    void Viewport(bool overview, int x, int y, int w, int h) override
    {
        calls.push_back(V(overview, x, y, w, h));
    }
    int Render(int x, int y) override
    {
        calls.push_back({'R', x, y});
        if (renders.empty())
            return hover;
        const int r = renders.front();
        renders.pop_front();
        return r;
    }
    int Action(int code, int a, int b) override
    {
        calls.push_back(A(code, a, b));
        return action(code, a, b);
    }

    std::vector<Call> of(char fn) const
    {
        std::vector<Call> out;
        for (const Call &c : calls)
            if (c.fn == fn)
                out.push_back(c);
        return out;
    }
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

QByteArray longText()
{
    QByteArray text;
    for (int i = 0; i < 60; ++i)
        text += "Der #5#Zellkern# steuert die Zelle und bewahrt die Erbinformation. ";
    return text;
}

// The case's program folder holds content for organelles 2, 4, 5 and 8 (8 without audio);
// organelle 7 has no file at all.
void writeContent()
{
    const QString folder = vellora::programFolder();
    writeFile(folder + "inhalt/meshes.dat",
              vellora::serializeMeshNames({"Kernh\xFClle", "Kernpore", "Nucleolus"}));
    auto organell = [](const char *heading, const QByteArray &text) {
        vellora::TOrganell o;
        o.Heading = heading;
        o.Text = text;
        o.Names = "keine";
        o.MemCount = "0";
        o.Size = "25 nm";
        o.AnimalCell = "ja";
        return vellora::serializeOrganell(o);
    };
    writeFile(vellora::organellPath(2), organell("Ribosom", "Ribosomen bauen Proteine."));
    writeFile(vellora::organellPath(4), organell("Chloroplast", "Hier l\xE4uft die Fotosynthese ab."));
    writeFile(vellora::organellPath(5), organell("Mitochondrium", longText()));
    writeFile(vellora::organellPath(8), organell("Zellwand", "Sie gibt der Zelle Halt."));
    QFile fixture(QStringLiteral(CELL_FIXTURE_MP3));
    ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
    const QByteArray mp3 = fixture.readAll();
    for (int n : {2, 4, 5})
        writeFile(vellora::audioPath(n), mp3);
    QFile::remove(vellora::organellPath(7));
    QFile::remove(vellora::audioPath(8));
}

class CellScreen : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        writeContent();
        auto fake = std::make_unique<FakeLibrary>();
        lib = fake.get();
        // Placement 100 + n is organelle n; 200 is a vesicle.
        lib->action = [](int code, int a, int) {
            switch (code) {
            case ZELLE_ACTION_PLACEMENT_OF:
                return 100 + a;
            case ZELLE_ACTION_OBJECT_OF:
                return a < 0 ? ZELLE_NONE : a == 200 ? ZELLE_OBJECT_VESICLES : a - 100;
            default:
                return 0;
            }
        };
        zelle.SetLibrary(std::move(fake));
        zelle.ReportError = [this](const QString &m) { errors.append(m); };
        // Playback runs on a silent sink here; a computer without sound is its own case.
        zelle.Play->HasSoundOutput = [] { return true; };
        zelle.resize(1280, 780);
        zelle.Initialize();
        lib->calls.clear();
    }

    // One idle step reporting r.
    void report(int r)
    {
        lib->renders.push_back(r);
        zelle.RenderStep();
    }
    void enterState(int s) { report(ZELLE_STATE_ENTERED(s)); }

    bool contentShown() const
    {
        return !zelle.Text->isHidden() && !zelle.Heading->isHidden() && !zelle.Infos->isHidden() &&
               !zelle.Read->isHidden();
    }
    bool contentHidden() const
    {
        return zelle.Text->isHidden() && zelle.Heading->isHidden() && zelle.Infos->isHidden() &&
               zelle.Read->isHidden() && zelle.ScrollBar->isHidden();
    }
    bool menusEnabled() const { return zelle.Parts->isEnabled() && zelle.Uebersicht->isEnabled(); }
    bool menusDisabled() const { return !zelle.Parts->isEnabled() && !zelle.Uebersicht->isEnabled(); }

    // Menu selection of organelle n from the whole cell through to the detail view.
    void visit(int n)
    {
        zelle.ShowScreen();
        zelle.PartsItemSelect(n);
        for (int s : {ZELLE_STATE_LEAVING_CELL, ZELLE_STATE_FLYING_IN, ZELLE_STATE_ENTERING_DETAIL,
                      ZELLE_STATE_DETAIL})
            enterState(s);
    }

    vellora::test::ProgramFolder folder; // before the screen: it reads from here
    TZelle zelle;
    FakeLibrary *lib = nullptr;
    QStringList errors;
};

} // namespace

TEST_F(CellScreen, InitialisesOnceHeadlessWithTheProgramFolder)
{
    // SetUp initialised; a second call reaches nothing.
    zelle.Initialize();
    EXPECT_TRUE(lib->of('I').empty());

    TZelle fresh;
    auto fake = std::make_unique<FakeLibrary>();
    FakeLibrary *freshLib = fake.get();
    fresh.SetLibrary(std::move(fake));
    fresh.Initialize();
    fresh.Initialize();
    ASSERT_EQ(freshLib->of('I').size(), 1u);
    const Call init = freshLib->of('I')[0];
    EXPECT_EQ(init.a, 0); // offscreen: no window, the library draws into its own surface
    EXPECT_EQ(init.folder, QFile::encodeName(vellora::programFolder()));
    EXPECT_TRUE(init.folder.endsWith('/'));
    EXPECT_EQ(fresh.MeshNames(), (QList<QByteArray>{"Kernh\xFClle", "Kernpore", "Nucleolus"}));
}

TEST_F(CellScreen, IdleStepRunsOnlyWhileTheScreenIsShown)
{
    EXPECT_FALSE(zelle.IdleRunning());
    zelle.RenderStep(); // hidden: the library is not asked for a frame
    EXPECT_TRUE(lib->of('R').empty());

    zelle.ShowScreen();
    EXPECT_TRUE(zelle.IdleRunning());
    QDeadlineTimer deadline(5000);
    while (lib->of('R').size() < 3 && !deadline.hasExpired())
        QCoreApplication::processEvents();
    EXPECT_GE(lib->of('R').size(), 3u); // the 0 ms timer keeps drawing

    zelle.hide();
    EXPECT_FALSE(zelle.IdleRunning());
    const size_t frames = lib->of('R').size();
    QCoreApplication::processEvents();
    EXPECT_EQ(lib->of('R').size(), frames);
}

TEST_F(CellScreen, RenderPassesTheLastMousePosition)
{
    zelle.ShowScreen();
    zelle.ZellmodellMouseMove(321, 123);
    zelle.RenderStep();
    EXPECT_EQ(lib->of('R').back(), (Call{'R', 321, 123}));
}

TEST_F(CellScreen, ViewportsFollowTheLayoutNotTheSlidingMenu)
{
    // Frame 1280 x 780: panel 1200 x 760 at left 70; the folded menu 75 wide; heading 70,
    // facts 185.
    zelle.ShowScreen();
    EXPECT_EQ(zelle.DragMode(), 2);
    const std::vector<Call> viewports{V(false, 15, 115, 585, 370), V(true, 5, 0, 1195, 760)};
    EXPECT_EQ(lib->of('V'), viewports);
    const QRect panel = zelle.Zellmodell->geometry();

    // The menu unfolds over the model and folds again: the model stays where the pointer aims,
    // only the shadow below the panel follows the menu. Frames are running since the screen
    // showed, so the next one comes from the frame timer, not at once.
    for (int width : {200, 130, 75}) {
        lib->calls.clear();
        zelle.Menu->resize(width, zelle.Menu->height());
        EXPECT_TRUE(lib->calls.empty()) << width;
        EXPECT_EQ(zelle.Zellmodell->geometry(), panel) << width;
        EXPECT_TRUE(zelle.IdleRunning());
        EXPECT_EQ(zelle.Shadow4->geometry(), QRect(width + 10, 770, 1260 - width, 5)) << width;
        EXPECT_EQ(zelle.Shadow5->pos(), QPoint(width + 5, 770)) << width;
    }
    // Shown again with the menu unfolded: the same viewports.
    lib->calls.clear();
    zelle.Menu->resize(200, zelle.Menu->height());
    zelle.ShowScreen();
    EXPECT_EQ(lib->of('V'), viewports);
}

TEST_F(CellScreen, MenuResizeBeforeInitialisationDoesNotReachTheLibrary)
{
    TZelle fresh;
    auto fake = std::make_unique<FakeLibrary>();
    FakeLibrary *freshLib = fake.get();
    fresh.SetLibrary(std::move(fake));
    fresh.Menu->resize(100, fresh.Menu->height());
    EXPECT_TRUE(freshLib->calls.empty());
}

TEST_F(CellScreen, FrameResizePlacesPanelShadowsAndContent)
{
    struct Case
    {
        QSize frame;
        QRect panel, shadow2, text, scrollBar;
        QPoint shadow1, shadow3, read;
        int infosWidth;
    } cases[] = {
        {{1280, 780},
         {70, 10, 1200, 760},
         {1270, 20, 5, 750},
         {610, 80, 556, 670},
         {1171, 80, 19, 670},
         {1270, 15},
         {1270, 770},
         {380, 655},
         585},
        {{1019, 700},
         {70, 10, 939, 680},
         {1009, 20, 5, 670},
         {479, 80, 425, 590},
         {910, 80, 19, 590},
         {1009, 15},
         {1009, 690},
         {249, 615},
         454},
        // A 1024 x 600 screen: the read-aloud panel goes to the foot of the text column.
        {{1024, 580},
         {70, 10, 944, 560},
         {1014, 20, 5, 550},
         {482, 80, 428, 427},
         {915, 80, 19, 427},
         {1014, 15},
         {1014, 570},
         {482, 517},
         457},
    };
    zelle.show(); // a hidden widget gets its resize event only when shown
    for (const Case &c : cases) {
        zelle.resize(c.frame);
        EXPECT_EQ(zelle.Zellmodell->geometry(), c.panel);
        EXPECT_EQ(zelle.Shadow1->pos(), c.shadow1);
        EXPECT_EQ(zelle.Shadow2->geometry(), c.shadow2);
        EXPECT_EQ(zelle.Shadow3->pos(), c.shadow3);
        EXPECT_EQ(zelle.Shadow4->geometry(), QRect(210, c.frame.height() - 10, c.frame.width() - 220, 5));
        EXPECT_EQ(zelle.Shadow5->pos(), QPoint(205, c.frame.height() - 10));
        EXPECT_EQ(zelle.Text->geometry(), c.text);
        EXPECT_EQ(zelle.ScrollBar->geometry(), c.scrollBar);
        EXPECT_EQ(zelle.Infos->width(), c.infosWidth);
        EXPECT_EQ(zelle.Read->pos(), c.read);
        EXPECT_EQ(zelle.Heading->width(), c.panel.width());
        EXPECT_EQ(zelle.Menu->height(), c.frame.height());
    }
}

TEST_F(CellScreen, ReportedStatesSwitchMenusAndContent)
{
    // Menus per state: enabled at 0 and 4, disabled at 1 and 5, untouched otherwise.
    struct Case
    {
        int state;
        int enabled; // 1 on, 0 off, -1 unchanged
    } cases[] = {{0, 1}, {1, 0}, {2, -1}, {4, 1}, {5, 0}, {7, -1}};
    for (const Case &c : cases) {
        for (bool before : {false, true}) {
            zelle.Parts->setEnabled(before);
            zelle.Uebersicht->setEnabled(before);
            zelle.ShowScreen();
            enterState(c.state);
            EXPECT_EQ(zelle.ViewState(), c.state);
            const bool expected = c.enabled == -1 ? before : c.enabled == 1;
            EXPECT_EQ(zelle.Parts->isEnabled(), expected) << c.state;
            EXPECT_EQ(zelle.Uebersicht->isEnabled(), expected) << c.state;
        }
    }
}

TEST_F(CellScreen, VisitAndReturnFollowTheStateCycle)
{
    zelle.ShowScreen();
    EXPECT_TRUE(contentHidden());
    zelle.PartsItemSelect(2);
    EXPECT_EQ(lib->of('A'),
              (std::vector<Call>{A(ZELLE_ACTION_PLACEMENT_OF, 2, 0), A(ZELLE_ACTION_GO_TO, 102, 0)}));
    EXPECT_EQ(zelle.ViewState(), 1);
    EXPECT_TRUE(menusDisabled());
    EXPECT_EQ(zelle.Parts->ItemIndex(), 2);
    EXPECT_FALSE(zelle.Uebersicht->Selected());
    EXPECT_EQ(zelle.SelectedObject(), 102);

    enterState(ZELLE_STATE_LEAVING_CELL);
    enterState(ZELLE_STATE_FLYING_IN);
    EXPECT_TRUE(contentHidden());
    enterState(ZELLE_STATE_ENTERING_DETAIL);
    EXPECT_TRUE(contentShown());
    EXPECT_TRUE(menusDisabled());
    EXPECT_EQ(zelle.Heading->text(), QStringLiteral("Ribosom"));
    EXPECT_EQ(zelle.Text->Text(), QByteArray("Ribosomen bauen Proteine."));
    EXPECT_EQ(zelle.Names->text(), QStringLiteral("keine"));
    EXPECT_EQ(zelle.MemCount->text(), QStringLiteral("0"));
    EXPECT_EQ(zelle.Size->text(), QStringLiteral("25 nm"));
    EXPECT_EQ(zelle.AnimalCell->text(), QStringLiteral("ja"));
    EXPECT_TRUE(zelle.Player->IsOpen());
    EXPECT_EQ(zelle.Player->FileName(), vellora::audioPath(2));
    EXPECT_EQ(zelle.Player->Mode(), mpStopped); // opened, not started
    EXPECT_TRUE(zelle.ScrollBar->isHidden());   // a short text needs no bar
    enterState(ZELLE_STATE_DETAIL);
    EXPECT_TRUE(menusEnabled());

    zelle.Play->Click();
    EXPECT_EQ(zelle.Play->ButtonType(), mbPause);
    lib->calls.clear();
    zelle.UebersichtClick();
    EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_START_VIEW, 0, 0)}));
    EXPECT_EQ(zelle.Parts->ItemIndex(), -1);
    EXPECT_TRUE(zelle.Uebersicht->Selected());
    EXPECT_TRUE(menusDisabled());
    // The content stays until the flight back begins.
    enterState(ZELLE_STATE_LEAVING_DETAIL);
    EXPECT_TRUE(contentShown());
    EXPECT_EQ(zelle.Player->Mode(), mpPlaying);
    enterState(ZELLE_STATE_FLYING_BACK);
    EXPECT_TRUE(contentHidden());
    EXPECT_FALSE(zelle.Player->IsOpen());
    EXPECT_EQ(zelle.Play->ButtonType(), mbPlay);
    enterState(ZELLE_STATE_RETURNING);
    enterState(ZELLE_STATE_WHOLE_CELL);
    EXPECT_TRUE(menusEnabled());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(CellScreen, SecondOrganelleInTheDetailViewReplacesContentAtOnce)
{
    visit(2);
    zelle.Play->Click();
    ASSERT_EQ(zelle.Player->Mode(), mpPlaying);
    lib->calls.clear();

    zelle.PartsItemSelect(4);
    EXPECT_EQ(zelle.ViewState(), 4);
    EXPECT_EQ(lib->of('A'),
              (std::vector<Call>{A(ZELLE_ACTION_PLACEMENT_OF, 4, 0), A(ZELLE_ACTION_GO_TO, 104, 0)}));
    EXPECT_EQ(zelle.Heading->text(), QStringLiteral("Chloroplast"));
    EXPECT_EQ(zelle.Text->Text(), QByteArray("Hier l\xE4uft die Fotosynthese ab."));
    EXPECT_EQ(zelle.Player->FileName(), vellora::audioPath(4));
    EXPECT_EQ(zelle.Player->Mode(), mpStopped);
    EXPECT_EQ(zelle.Play->ButtonType(), mbPlay);
    EXPECT_TRUE(contentShown());
    EXPECT_EQ(zelle.Parts->ItemIndex(), 4);
}

TEST_F(CellScreen, HoverHints)
{
    struct Case
    {
        int state;
        int r;
        QString hint; // empty: hint off
        bool hand;
        int highlight;
        bool asksObject;
    } cases[] = {
        {0, 103, QStringLiteral("Golgi-Apparat"), true, 3, true},
        {0, 200, QStringLiteral("Vesikel"), false, -1, true},
        {0, 110, QStringLiteral("Vesikel"), false, -1, true}, // object 10 stands for vesicles
        {0, 100, QStringLiteral("Zellkern"), true, 0, true},
        {0, -1, QString(), false, -1, true},
        {4, 0, QStringLiteral("Kernhülle"), false, -1, false},
        {4, 2, QStringLiteral("Nucleolus"), false, -1, false},
        {4, 3, QString(), false, -1, false}, // no line in the name list
        {4, 99, QString(), false, -1, false},
        {4, -1, QString(), false, -1, false},
        {2, 105, QString(), false, -1, false}, // no hover during a flight
    };
    zelle.ShowScreen();
    for (const Case &c : cases) {
        // Leave a hint and a highlight behind that the step must clear.
        zelle.Zellmodell->SetHintState(QStringLiteral("alt"), true);
        zelle.Parts->SetModelHighlight(c.state == 0 ? 7 : -1);
        enterState(c.state);
        lib->calls.clear();
        report(c.r);
        EXPECT_EQ(zelle.Zellmodell->ShowHint(), !c.hint.isEmpty()) << c.r;
        if (!c.hint.isEmpty()) {
            EXPECT_EQ(zelle.Zellmodell->Hint(), c.hint) << c.r;
        }
        EXPECT_EQ(zelle.Zellmodell->cursor().shape(), c.hand ? Qt::PointingHandCursor : Qt::ArrowCursor)
            << c.r;
        EXPECT_EQ(zelle.Parts->ModelHighlight(), c.highlight) << c.r;
        EXPECT_EQ(!lib->of('A').empty(), c.asksObject) << c.r;
        if (c.asksObject) {
            EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_OBJECT_OF, c.r, 0)}));
        }
    }
}

TEST_F(CellScreen, StateReportIsNotHoverProcessed)
{
    zelle.ShowScreen();
    zelle.Zellmodell->SetHintState(QStringLiteral("Zellkern"), true);
    enterState(ZELLE_STATE_WHOLE_CELL);
    EXPECT_TRUE(lib->of('A').empty());
    EXPECT_EQ(zelle.Zellmodell->Hint(), QStringLiteral("Zellkern"));
}

TEST_F(CellScreen, DragModesFromTheButtonState)
{
    zelle.ShowScreen();
    using B = Qt::MouseButtons;
    struct Step
    {
        bool down;
        B buttons;
        std::vector<Call> sent;
    } steps[] = {
        {true, Qt::LeftButton, {}},                                // left never drags
        {false, Qt::NoButton, {}},                                 // still mode 2
        {true, Qt::RightButton, {A(ZELLE_ACTION_ROTATE, 10, 20)}}, // begin rotating
        {true, B(Qt::RightButton | Qt::MiddleButton), {}},         // right wins: still rotating
        {false, Qt::MiddleButton, {A(ZELLE_ACTION_MOVE, 10, 20)}}, // right released, middle held: moving
        {false, Qt::NoButton, {A(ZELLE_ACTION_END_DRAG, 10, 20)}}, // end drag
        {true, Qt::MiddleButton, {A(ZELLE_ACTION_MOVE, 10, 20)}},
        {true, B(Qt::MiddleButton | Qt::RightButton), {A(ZELLE_ACTION_ROTATE, 10, 20)}},
        {false, B(Qt::LeftButton), {A(ZELLE_ACTION_END_DRAG, 10, 20)}},
    };
    int i = 0;
    for (const Step &s : steps) {
        lib->calls.clear();
        if (s.down)
            zelle.ZellmodellMouseDown(s.buttons, 10, 20);
        else
            zelle.ZellmodellMouseUp(s.buttons, 10, 20);
        EXPECT_EQ(lib->of('A'), s.sent) << "step " << i;
        ++i;
    }
}

TEST_F(CellScreen, MouseEventsOnThePanelReachTheScreen)
{
    zelle.ShowScreen();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(40, 50), QPointF(40, 50), QPointF(40, 50),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(zelle.Zellmodell, &press);
    EXPECT_EQ(zelle.DragMode(), 0);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(60, 70), QPointF(60, 70), QPointF(60, 70),
                        Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(zelle.Zellmodell, &release);
    EXPECT_EQ(lib->of('A'),
              (std::vector<Call>{A(ZELLE_ACTION_ROTATE, 40, 50), A(ZELLE_ACTION_END_DRAG, 60, 70)}));

    // A left click picks at the pointer.
    lib->calls.clear();
    lib->action = [](int code, int, int) { return code == 9 ? -1 : 0; };
    QMouseEvent move(QEvent::MouseMove, QPointF(77, 88), QPointF(77, 88), QPointF(77, 88), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(zelle.Zellmodell, &move);
    EXPECT_EQ(zelle.MouseX(), 77);
    EXPECT_EQ(zelle.MouseY(), 88);
    QMouseEvent leftDown(QEvent::MouseButtonPress, QPointF(77, 88), QPointF(77, 88), QPointF(77, 88),
                         Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent leftUp(QEvent::MouseButtonRelease, QPointF(77, 88), QPointF(77, 88), QPointF(77, 88),
                       Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(zelle.Zellmodell, &leftDown);
    QCoreApplication::sendEvent(zelle.Zellmodell, &leftUp);
    EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_PICK, 77, 88)}));
}

TEST_F(CellScreen, ClickPicksOnlyInTheWholeCell)
{
    zelle.ShowScreen();
    zelle.ZellmodellMouseMove(100, 200);
    struct Case
    {
        int picked;
        std::vector<Call> sent;
        int stateAfter;
    } cases[] = {
        {-1, {A(ZELLE_ACTION_PICK, 100, 200)}, 0},                                     // nothing hit
        {200, {A(ZELLE_ACTION_PICK, 100, 200), A(ZELLE_ACTION_OBJECT_OF, 200, 0)}, 0}, // a vesicle: no flight
        {105,
         {A(ZELLE_ACTION_PICK, 100, 200), A(ZELLE_ACTION_OBJECT_OF, 105, 0), A(ZELLE_ACTION_GO_TO, 105, 0)},
         1}, // Mitochondrium
    };
    for (const Case &c : cases) {
        lib->calls.clear();
        const int picked = c.picked;
        auto mapping = lib->action;
        lib->action = [picked, mapping](int code, int a, int b) {
            return code == 9 ? picked : mapping(code, a, b);
        };
        zelle.ZellmodellClick();
        lib->action = mapping;
        EXPECT_EQ(lib->of('A'), c.sent) << c.picked;
        EXPECT_EQ(zelle.ViewState(), c.stateAfter) << c.picked;
        EXPECT_EQ(zelle.SelectedObject(), c.picked);
    }
    EXPECT_EQ(zelle.SelectedOrganelle(), 5);
    EXPECT_EQ(zelle.Parts->ItemIndex(), 5);
    EXPECT_TRUE(menusDisabled());

    // During the flight and in the detail view a click does nothing.
    for (int s : {ZELLE_STATE_FLYING_IN, ZELLE_STATE_DETAIL}) {
        enterState(s);
        lib->calls.clear();
        zelle.ZellmodellClick();
        EXPECT_TRUE(lib->of('A').empty()) << s;
    }
}

// However the pupil turned, moved or zoomed the cell, "ganze Zelle" brings back its start view.
TEST_F(CellScreen, OverviewClickInTheWholeCellOnlyRestoresTheStartView)
{
    zelle.ShowScreen();
    zelle.UebersichtClick();
    EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_START_VIEW, 0, 0)}));
    EXPECT_TRUE(zelle.Uebersicht->Selected());
    EXPECT_TRUE(menusEnabled());
}

TEST_F(CellScreen, MenuHoverHighlightsInTheModel)
{
    zelle.ShowScreen();
    auto move = [&](int x, int y) {
        QMouseEvent e(QEvent::MouseMove, QPointF(x, y), QPointF(x, y), QPointF(x, y), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(zelle.Parts, &e);
    };
    move(20, 3 * 40 + 10); // entry 2
    move(20, 3 * 40 + 37); // gap below it
    EXPECT_EQ(lib->of('A'),
              (std::vector<Call>{A(ZELLE_ACTION_HIGHLIGHT, 2, 0), A(ZELLE_ACTION_HIGHLIGHT, -1, 0)}));
}

TEST_F(CellScreen, MissingOrganelleFileIsReportedAndTheScreenGoesOn)
{
    zelle.ShowScreen();
    zelle.PartsItemSelect(7);
    enterState(ZELLE_STATE_LEAVING_CELL);
    enterState(ZELLE_STATE_FLYING_IN);
    enterState(ZELLE_STATE_ENTERING_DETAIL);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("org7.organell"))) << errors[0].toStdString();
    EXPECT_TRUE(contentHidden());
    enterState(ZELLE_STATE_DETAIL);
    EXPECT_TRUE(menusEnabled());
    zelle.PartsItemSelect(2); // another organelle from the detail view works
    EXPECT_TRUE(contentShown());
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(CellScreen, MissingAudioIsReportedAndTheContentStaysHidden)
{
    visit(8);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("voice8.mp3"))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("nicht gefunden")));
    EXPECT_EQ(zelle.Heading->text(), QStringLiteral("Zellwand")); // filled in before the audio
    EXPECT_TRUE(contentHidden());
    EXPECT_FALSE(zelle.Player->IsOpen());
    // Leaving again hides nothing new and reports nothing: no device was open.
    zelle.UebersichtClick();
    enterState(ZELLE_STATE_LEAVING_DETAIL);
    enterState(ZELLE_STATE_FLYING_BACK);
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(CellScreen, KeysScrollTheTextAndDriveTheButtons)
{
    visit(5);
    ASSERT_FALSE(zelle.ScrollBar->isHidden()); // the long text needs the bar
    zelle.FormKeyDown(Qt::Key_Down);
    zelle.FormKeyDown(Qt::Key_Down);
    EXPECT_EQ(zelle.Text->Position(), 2);
    zelle.FormKeyDown(Qt::Key_Up);
    EXPECT_EQ(zelle.Text->Position(), 1);

    zelle.FormKeyDown(Qt::Key_MediaPlay);
    EXPECT_EQ(zelle.Player->Mode(), mpPlaying);
    EXPECT_EQ(zelle.Play->ButtonType(), mbPause);
    zelle.FormKeyDown(Qt::Key_MediaTogglePlayPause);
    EXPECT_EQ(zelle.Player->Mode(), mpPaused);
    EXPECT_EQ(zelle.Play->ButtonType(), mbPlay);
    zelle.FormKeyDown(Qt::Key_MediaTogglePlayPause);
    EXPECT_EQ(zelle.Player->Mode(), mpPlaying);
    EXPECT_EQ(zelle.Play->ButtonType(), mbPause);
    zelle.FormKeyDown(Qt::Key_MediaStop);
    EXPECT_EQ(zelle.Player->Mode(), mpStopped);
    EXPECT_EQ(zelle.Player->Position(), 0);
    EXPECT_EQ(zelle.Play->ButtonType(), mbPlay);

    // A new organelle starts its text at the top again.
    zelle.PartsItemSelect(5);
    EXPECT_EQ(zelle.Text->Position(), 0);
    EXPECT_EQ(zelle.ScrollBar->BarPosition(), 0);
}

TEST_F(CellScreen, WheelOverTheTextScrollsElseZooms)
{
    visit(5);
    zelle.show();
    QCoreApplication::processEvents();
    const QPoint overText = zelle.Text->mapToGlobal(zelle.Text->rect().center());
    const QPoint overModel = zelle.Zellmodell->mapToGlobal(QPoint(300, 600));
    ASSERT_TRUE(zelle.OverText(overText));
    ASSERT_FALSE(zelle.OverText(overModel));

    lib->calls.clear();
    zelle.FrameMouseWheel(Qt::NoModifier, -360, overText); // one row, whatever the delta
    EXPECT_EQ(zelle.Text->Position(), 1);
    zelle.FrameMouseWheel(Qt::NoModifier, 120, overText);
    EXPECT_EQ(zelle.Text->Position(), 0);
    EXPECT_TRUE(lib->of('A').empty());

    zelle.FrameMouseWheel(Qt::NoModifier, -240, overModel);
    EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_ZOOM, -240, 0)}));
    EXPECT_EQ(zelle.Text->Position(), 0);
}

TEST_F(CellScreen, HelpBox)
{
    EXPECT_FALSE(zelle.Help->isHidden()); // shown when the screen first appears
    // Each way of driving the model is named, the touchpad's and the keyboard's too.
    const QString help = zelle.HelpMemo->toPlainText();
    EXPECT_TRUE(help.startsWith(QStringLiteral("Bedienung des Zellmodells\n"))) << help.toStdString();
    for (const char *way :
         {"rechte oder linke Maustaste", "Pfeiltasten", "mittlere Maustaste oder Umschalt + linke",
          "Mausrad oder die Tasten + und −", "mit der linken Maustaste klicken", "Pos1"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(way))) << way;
    // It fits its box: no line is cut off at the right or the bottom.
    const QFontMetrics metrics(zelle.HelpMemo->font());
    for (const QString &line : TZelle::HelpLines())
        EXPECT_LE(metrics.horizontalAdvance(line), zelle.HelpMemo->width() - 8) << line.toStdString();
    EXPECT_LE(TZelle::HelpLines().size() * metrics.lineSpacing(), zelle.HelpMemo->height() - 8);
    EXPECT_TRUE(zelle.HelpMemo->isReadOnly());
    ASSERT_TRUE(zelle.Close->Close());
    zelle.Close->OnClose(zelle.Close);
    EXPECT_TRUE(zelle.Help->isHidden());
    zelle.ShowHelp();
    EXPECT_FALSE(zelle.Help->isHidden());
}

TEST_F(CellScreen, MenusShowTheIconsRenderedFromTheModel)
{
    const QImage overview(QStringLiteral(":/cell/icons/uebersicht.png"));
    EXPECT_EQ(overview.size(), QSize(38, 38));
    ASSERT_EQ(zelle.Parts->Icons().size(), 11);
    for (int i = 0; i < 11; ++i) {
        const QImage icon(QStringLiteral(":/cell/icons/organ%1.png").arg(i));
        EXPECT_EQ(icon.size(), QSize(33, 33)) << i;
        EXPECT_EQ(zelle.Parts->Icons()[i].convertToFormat(QImage::Format_RGB32),
                  icon.convertToFormat(QImage::Format_RGB32))
            << i;
    }
    EXPECT_EQ(zelle.Uebersicht->Icons().value(0).convertToFormat(QImage::Format_RGB32),
              overview.convertToFormat(QImage::Format_RGB32));
}

TEST_F(CellScreen, MediaKeysWithoutContentReportTheClosedDevice)
{
    zelle.ShowScreen();
    zelle.FormKeyDown(Qt::Key_MediaPlay);
    zelle.FormKeyDown(Qt::Key_MediaStop);
    EXPECT_EQ(errors, (QStringList{QStringLiteral("Kein MCI-Gerät geöffnet"),
                                   QStringLiteral("Kein MCI-Gerät geöffnet")}));
    EXPECT_EQ(zelle.Play->ButtonType(), mbPlay); // a failed action flips no face
    zelle.FormKeyDown(Qt::Key_Up);               // scrolling a hidden text is harmless
    EXPECT_EQ(errors.size(), 2);
}

// The library refuses a highlight while it animates; the one the menu shows when the flight
// ends is sent again, so no organelle stays lit after the pointer has left the menu.
TEST_F(CellScreen, HighlightRefusedDuringAFlightIsSentAgainWhenItEnds)
{
    bool animating = false;
    lib->action = [&animating, base = lib->action](int code, int a, int b) {
        return animating ? ZELLE_NONE : base(code, a, b);
    };
    zelle.ShowScreen();
    auto send = [&](QEvent::Type type, int y) {
        QMouseEvent e(type, QPointF(20, y), QPointF(20, y), QPointF(20, y), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(zelle.Parts, &e);
    };
    send(QEvent::MouseMove, 3 * 40 + 10); // entry 2 lit in the model
    zelle.PartsItemSelect(2);
    animating = true;
    enterState(ZELLE_STATE_LEAVING_CELL);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(zelle.Parts, &leave); // "none", refused
    lib->calls.clear();
    enterState(ZELLE_STATE_FLYING_IN);
    enterState(ZELLE_STATE_ENTERING_DETAIL);
    EXPECT_TRUE(lib->of('A').empty()) << "nothing sent while the library refuses";
    animating = false;
    enterState(ZELLE_STATE_DETAIL);
    EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_HIGHLIGHT, -1, 0)}));

    // Accepted highlights are not repeated.
    lib->calls.clear();
    zelle.UebersichtClick();
    for (int s :
         {ZELLE_STATE_LEAVING_DETAIL, ZELLE_STATE_FLYING_BACK, ZELLE_STATE_RETURNING, ZELLE_STATE_WHOLE_CELL})
        enterState(s);
    EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_START_VIEW, 0, 0)}));
}

// A choice in the detail view whose text or sound is missing is reported and changes nothing:
// the heading, the sound and the model still belong to the organelle shown before.
TEST_F(CellScreen, DetailChoiceWithMissingContentLeavesTheScreenAsItWas)
{
    struct Case
    {
        int organelle;
        const char *file;
    } cases[] = {{7, "org7.organell"}, {8, "voice8.mp3"}};
    for (const Case &c : cases) {
        visit(4);
        errors.clear();
        lib->calls.clear();
        zelle.PartsItemSelect(c.organelle);
        ASSERT_EQ(errors.size(), 1) << c.organelle;
        EXPECT_TRUE(errors[0].contains(QLatin1String(c.file))) << errors[0].toStdString();
        for (const Call &call : lib->of('A'))
            EXPECT_NE(call.a, ZELLE_ACTION_GO_TO) << "the model moved for " << c.organelle;
        EXPECT_EQ(zelle.Heading->text(), QStringLiteral("Chloroplast")) << c.organelle;
        EXPECT_EQ(zelle.Names->text(), QStringLiteral("keine"));
        EXPECT_EQ(zelle.SelectedOrganelle(), 4);
        EXPECT_EQ(zelle.Parts->ItemIndex(), 4);
        EXPECT_TRUE(zelle.Player->IsOpen());
        EXPECT_EQ(zelle.Player->FileName(), vellora::audioPath(4));
        EXPECT_TRUE(contentShown());
        zelle.UebersichtClick();
        for (int s : {ZELLE_STATE_LEAVING_DETAIL, ZELLE_STATE_FLYING_BACK, ZELLE_STATE_RETURNING,
                      ZELLE_STATE_WHOLE_CELL})
            enterState(s);
    }
}

// Choices that arrive while a switch waits for its sound to open run after it, in order; the
// screen ends with the last one, its text, sound and model together.
TEST_F(CellScreen, ChoicesDuringASwitchEndWithTheLastOne)
{
    visit(2);
    lib->calls.clear();
    QTimer::singleShot(0, &zelle, [this] {
        zelle.PartsItemSelect(5);
        zelle.PartsItemSelect(4);
    });
    zelle.PartsItemSelect(5);
    ASSERT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    std::vector<Call> jumps;
    for (const Call &call : lib->of('A'))
        if (call.a == ZELLE_ACTION_GO_TO)
            jumps.push_back(call);
    ASSERT_FALSE(jumps.empty());
    EXPECT_EQ(jumps.back(), A(ZELLE_ACTION_GO_TO, 104, 0));
    EXPECT_EQ(zelle.Heading->text(), QStringLiteral("Chloroplast"));
    EXPECT_EQ(zelle.SelectedOrganelle(), 4);
    EXPECT_EQ(zelle.Parts->ItemIndex(), 4);
    EXPECT_EQ(zelle.Player->FileName(), vellora::audioPath(4));
    EXPECT_TRUE(zelle.Player->IsOpen());
}

// The hint names the part under the pointer: it goes when the pointer moves onto a control
// lying over the model, stays away while the pointer is there, and never shows as that
// control's tool tip.
TEST_F(CellScreen, HintShowsOnlyWhileThePointerIsOnTheModel)
{
    zelle.show();
    zelle.ShowScreen();
    visit(4);
    TZellmodell *model = zelle.Zellmodell;
    auto moveOnModel = [&] {
        QMouseEvent e(QEvent::MouseMove, QPointF(5, 300), model->mapToGlobal(QPointF(5, 300)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(model, &e);
    };
    moveOnModel();
    report(1);
    EXPECT_EQ(model->ShownHint(), QStringLiteral("Kernpore"));

    // Onto the text: the hint goes and the next frames do not bring it back.
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(zelle.Text, &enter);
    EXPECT_TRUE(model->ShownHint().isEmpty());
    report(2);
    report(1);
    EXPECT_TRUE(model->ShownHint().isEmpty());
    EXPECT_TRUE(model->ShowHint()) << "the library still reports the part";
    // A help request on the text reaches the model panel: it must have no tool tip to show.
    EXPECT_TRUE(model->toolTip().isEmpty());

    // Back on the model it shows again; leaving the model hides it.
    moveOnModel();
    EXPECT_EQ(model->ShownHint(), QStringLiteral("Kernpore"));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(model, &leave);
    EXPECT_TRUE(model->ShownHint().isEmpty());
}

// A touchpad: the left button drags once the pointer has moved, with Shift it moves the model;
// a press that does not move is still the click that picks.
TEST_F(CellScreen, LeftDragTurnsShiftLeftDragMovesAndAClickStillPicks)
{
    zelle.ShowScreen();
    lib->action = [base = lib->action](int code, int a, int b) {
        return code == ZELLE_ACTION_PICK ? -1 : base(code, a, b);
    };
    const int far = QApplication::startDragDistance() + 20;
    struct Case
    {
        const char *name;
        Qt::KeyboardModifiers modifiers;
        int moveBy;
        std::vector<Call> sent;
    } cases[] = {
        {"click", Qt::NoModifier, 0, {A(ZELLE_ACTION_PICK, 100, 100)}},
        {"jitter", Qt::NoModifier, 1, {A(ZELLE_ACTION_PICK, 101, 100)}},
        {"drag",
         Qt::NoModifier,
         far,
         {A(ZELLE_ACTION_ROTATE, 100, 100), A(ZELLE_ACTION_END_DRAG, 100 + far, 100)}},
        {"shift drag",
         Qt::ShiftModifier,
         far,
         {A(ZELLE_ACTION_MOVE, 100, 100), A(ZELLE_ACTION_END_DRAG, 100 + far, 100)}},
    };
    auto send = [&](QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons held,
                    Qt::KeyboardModifiers m) {
        const QPointF p(x, 100);
        QMouseEvent e(type, p, p, p, button, held, m);
        QCoreApplication::sendEvent(zelle.Zellmodell, &e);
    };
    for (const Case &c : cases) {
        lib->calls.clear();
        send(QEvent::MouseMove, 100, Qt::NoButton, Qt::NoButton, c.modifiers);
        send(QEvent::MouseButtonPress, 100, Qt::LeftButton, Qt::LeftButton, c.modifiers);
        send(QEvent::MouseMove, 100 + c.moveBy, Qt::NoButton, Qt::LeftButton, c.modifiers);
        send(QEvent::MouseButtonRelease, 100 + c.moveBy, Qt::LeftButton, Qt::NoButton, c.modifiers);
        EXPECT_EQ(lib->of('A'), c.sent) << c.name;
        EXPECT_EQ(zelle.DragMode(), ZELLE_ACTION_END_DRAG) << c.name;
    }

    // While the library animates it refuses the drag: the press stays a click (which picks
    // nothing in a flight).
    enterState(ZELLE_STATE_LEAVING_CELL);
    lib->action = [](int, int, int) { return ZELLE_NONE; };
    lib->calls.clear();
    send(QEvent::MouseButtonPress, 100, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    send(QEvent::MouseMove, 100 + far, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    send(QEvent::MouseButtonRelease, 100 + far, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_ROTATE, 100, 100)}));
    EXPECT_EQ(zelle.DragMode(), ZELLE_ACTION_END_DRAG);
}

// Without a mouse: arrows turn the model by a short drag, + and - zoom by a wheel notch,
// Pos1 goes back to the whole cell. A key never disturbs a drag the mouse is making.
TEST_F(CellScreen, KeysTurnAndZoomTheModelAndPos1GoesBackToTheWholeCell)
{
    zelle.ShowScreen();
    const int step = TZelle::kKeyRotateStep;
    ASSERT_GT(step, 0);
    struct Case
    {
        int key;
        std::vector<Call> sent;
    } cases[] = {
        {Qt::Key_Left, {A(ZELLE_ACTION_ROTATE, 0, 0), A(ZELLE_ACTION_END_DRAG, -step, 0)}},
        {Qt::Key_Right, {A(ZELLE_ACTION_ROTATE, 0, 0), A(ZELLE_ACTION_END_DRAG, step, 0)}},
        {Qt::Key_Up, {A(ZELLE_ACTION_ROTATE, 0, 0), A(ZELLE_ACTION_END_DRAG, 0, -step)}},
        {Qt::Key_Down, {A(ZELLE_ACTION_ROTATE, 0, 0), A(ZELLE_ACTION_END_DRAG, 0, step)}},
        {Qt::Key_Plus, {A(ZELLE_ACTION_ZOOM, 120, 0)}},
        {Qt::Key_Minus, {A(ZELLE_ACTION_ZOOM, -120, 0)}},
        {Qt::Key_Home, {A(ZELLE_ACTION_START_VIEW, 0, 0)}}, // the start view at once
        {Qt::Key_A, {}},
    };
    for (const Case &c : cases) {
        lib->calls.clear();
        zelle.FormKeyDown(c.key);
        EXPECT_EQ(lib->of('A'), c.sent) << "key " << c.key;
        EXPECT_TRUE(menusEnabled()) << "key " << c.key;
        EXPECT_TRUE(zelle.Uebersicht->Selected()) << "key " << c.key;
    }

    // A right drag is on: the keys leave it alone.
    zelle.ZellmodellMouseDown(Qt::RightButton, 5, 6);
    lib->calls.clear();
    zelle.FormKeyDown(Qt::Key_Left);
    zelle.FormKeyDown(Qt::Key_Home);
    EXPECT_TRUE(lib->of('A').empty());
    zelle.ZellmodellMouseUp(Qt::NoButton, 5, 6);

    // The library refuses during a flight: no half drag is left behind.
    lib->action = [](int, int, int) { return ZELLE_NONE; };
    lib->calls.clear();
    zelle.FormKeyDown(Qt::Key_Right);
    EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_ROTATE, 0, 0)}));
}

TEST_F(CellScreen, Pos1InTheDetailViewFliesBackToTheStartViewAsGanzeZelleDoes)
{
    visit(5);
    ASSERT_EQ(zelle.Parts->ItemIndex(), 5);
    lib->calls.clear();
    zelle.FormKeyDown(Qt::Key_Home);
    EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_START_VIEW, 0, 0)}));
    EXPECT_EQ(zelle.Parts->ItemIndex(), -1);
    EXPECT_TRUE(zelle.Uebersicht->Selected());
    EXPECT_TRUE(menusDisabled());

    // Pressed again during the flight back, it is refused and changes nothing.
    enterState(ZELLE_STATE_LEAVING_DETAIL);
    lib->action = [](int, int, int) { return ZELLE_NONE; };
    lib->calls.clear();
    zelle.FormKeyDown(Qt::Key_Home);
    EXPECT_TRUE(menusDisabled());
    EXPECT_TRUE(zelle.Uebersicht->Selected());
}

// The organelle's page stays readable: the help box goes when the flight begins and, asked
// for again there, lies clear of the heading, the facts and the text; the menu folds away.
TEST_F(CellScreen, HelpBoxAndMenuLeaveTheOrganellesPageReadable)
{
    QCursor::setPos(zelle.mapToGlobal(QPoint(900, 700))); // the pointer on the model, off the menu
    zelle.ShowScreen();
    ASSERT_FALSE(zelle.Help->isHidden());
    const QRect designPlace = zelle.Help->geometry();
    zelle.PartsItemSelect(2);
    EXPECT_TRUE(zelle.Help->isHidden()) << "the flight begins with the help box gone";

    for (int s : {ZELLE_STATE_LEAVING_CELL, ZELLE_STATE_FLYING_IN, ZELLE_STATE_ENTERING_DETAIL})
        enterState(s);
    EXPECT_TRUE(zelle.Menu->Animating() || zelle.Menu->width() == 75);
    QDeadlineTimer deadline(5000);
    while (zelle.Menu->Animating() && !deadline.hasExpired())
        QCoreApplication::processEvents();
    EXPECT_EQ(zelle.Menu->width(), 75) << "the menu starts folded on the page";
    enterState(ZELLE_STATE_DETAIL);

    zelle.ShowHelp();
    ASSERT_FALSE(zelle.Help->isHidden());
    const QRect help = zelle.Help->geometry();
    for (QWidget *w : {static_cast<QWidget *>(zelle.Heading), static_cast<QWidget *>(zelle.Infos),
                       static_cast<QWidget *>(zelle.Text)}) {
        const QRect r(w->mapTo(&zelle, QPoint(0, 0)), w->size());
        EXPECT_FALSE(help.intersects(r)) << w->metaObject()->className();
    }
    EXPECT_TRUE(zelle.rect().contains(help));

    // Back in the whole cell the box shows at its own place again.
    zelle.UebersichtClick();
    for (int s :
         {ZELLE_STATE_LEAVING_DETAIL, ZELLE_STATE_FLYING_BACK, ZELLE_STATE_RETURNING, ZELLE_STATE_WHOLE_CELL})
        enterState(s);
    zelle.ShowHelp();
    EXPECT_EQ(zelle.Help->geometry(), designPlace);
}

namespace {

// Relative luminance and contrast ratio of the accessibility guidelines (WCAG 2).
double wcagLuminance(const QColor &c)
{
    auto channel = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double wcagContrast(const QColor &a, const QColor &b)
{
    const double la = wcagLuminance(a), lb = wcagLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The caption's ink in a label: of the painted pixels, the one that stands out most from the
// label colour.
double captionContrast(const QImage &image, const QRect &label, const QColor &fill)
{
    double best = 1;
    for (int y = label.top(); y <= label.bottom(); ++y)
        for (int x = label.left(); x <= label.right(); ++x)
            best = std::max(best, wcagContrast(image.pixelColor(x, y), fill));
    return best;
}

} // namespace

// Every organelle caption reads at a contrast of at least 4.5 : 1 on its label, plain, lit and
// chosen: measured on the painted menu, so a caption in the wrong colour shows at once.
TEST_F(CellScreen, OrganelleCaptionsReadOnEveryLabelColour)
{
    ZZellMenu *menu = zelle.Parts;
    ASSERT_EQ(menu->Items().Count(), 11);
    for (int i = 0; i < menu->Items().Count(); ++i) {
        const auto &item = menu->Items()[i];
        struct State
        {
            const char *name;
            int highlight, selected;
            QColor fill;
            int left, right;
        } states[] = {
            {"plain", -1, -1, item.Color, item.X1(), item.X3()},
            {"lit", i, -1, item.Highlight, item.X1(), item.X3()},
            {"chosen", -1, i, item.Color, item.X2(), item.X4()},
        };
        for (const State &s : states) {
            menu->SetModelHighlight(s.highlight);
            menu->SetItemIndex(s.selected);
            const QImage image = menu->grab().toImage();
            const QRect label(QPoint(s.left + 2, item.Top() + 2), QPoint(s.right - 3, item.Bottom() - 3));
            ASSERT_EQ(image.pixelColor(label.topLeft()), s.fill)
                << item.Caption.toStdString() << " " << s.name;
            EXPECT_GE(captionContrast(image, label, s.fill), 4.5)
                << item.Caption.toStdString() << " " << s.name;
        }
    }
}

// On every screen size the read-aloud buttons, the text column and the detail viewport lie
// inside the model panel and clear of one another; on a low screen the text gives up room.
TEST_F(CellScreen, LowScreensKeepTheReadButtonsAndTheModelInView)
{
    zelle.show();
    for (const QSize frame :
         {QSize(1280, 780), QSize(1024, 748), QSize(1024, 580), QSize(800, 580), QSize(1024, 520)}) {
        SCOPED_TRACE(testing::Message() << frame.width() << " x " << frame.height());
        zelle.resize(frame);
        lib->calls.clear();
        zelle.ShowScreen();
        const QRect panel = zelle.Zellmodell->rect();
        auto inPanel = [&](QWidget *w) { return QRect(w->mapTo(zelle.Zellmodell, QPoint(0, 0)), w->size()); };
        const QRect play = inPanel(zelle.Play), stop = inPanel(zelle.Stop);
        const QRect read = inPanel(zelle.Read), text = inPanel(zelle.Text), bar = inPanel(zelle.ScrollBar);
        for (const QRect &r : {play, stop, read, text, bar})
            EXPECT_TRUE(panel.contains(r)) << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
        EXPECT_FALSE(read.intersects(text));
        EXPECT_EQ(bar.height(), text.height());

        // The detail viewport, from the library's bottom-up coordinates.
        const std::vector<Call> viewports = lib->of('V');
        ASSERT_EQ(viewports.size(), 2u);
        const Call detail = viewports[0];
        ASSERT_EQ(detail.a, 0);
        const QRect model(detail.b, panel.height() - detail.c - detail.e, detail.d, detail.e);
        EXPECT_TRUE(panel.contains(model)) << model.y() << " " << model.height();
        EXPECT_GE(model.height(), 200);
        EXPECT_GE(model.top(), inPanel(zelle.Infos).bottom());
        EXPECT_FALSE(model.intersects(read));
        EXPECT_FALSE(model.intersects(text));
    }
}

namespace {

void clickOn(QWidget *w)
{
    const QPointF p(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

} // namespace

// "In der Zelle zeigen" on an organelle's page: back to the whole cell as "ganze Zelle" goes,
// and once the flight has ended every placement of the organelle is marked, until the pointer
// moves on over the model.
TEST_F(CellScreen, ShowInCellFliesBackAndMarksTheOrganelleUntilThePointerMovesOn)
{
    zelle.ShowScreen();
    QCursor::setPos(zelle.Zellmodell->mapToGlobal(QPoint(300, 200)));
    EXPECT_FALSE(zelle.ShowInCell->isVisible()) << "no page in the whole cell";
    visit(4);
    ASSERT_TRUE(zelle.ShowInCell->isVisible());
    EXPECT_EQ(zelle.ShowInCell->Caption(), QStringLiteral("In der Zelle zeigen"));
    EXPECT_FALSE(zelle.ShowInCell->toolTip().isEmpty());
    EXPECT_EQ(zelle.ShowInCell->cursor().shape(), Qt::PointingHandCursor);

    lib->calls.clear();
    clickOn(zelle.ShowInCell);
    EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_START_VIEW, 0, 0)}));
    EXPECT_EQ(zelle.Parts->ItemIndex(), -1);
    EXPECT_TRUE(zelle.Uebersicht->Selected());
    EXPECT_TRUE(menusDisabled());
    for (int s : {ZELLE_STATE_LEAVING_DETAIL, ZELLE_STATE_FLYING_BACK, ZELLE_STATE_RETURNING})
        enterState(s);
    EXPECT_EQ(lib->of('A').size(), 1u) << "nothing more during the flight back";
    EXPECT_FALSE(zelle.Marked());
    enterState(ZELLE_STATE_WHOLE_CELL);
    EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_START_VIEW, 0, 0),
                                               A(ZELLE_ACTION_HIGHLIGHT, 4, ZELLE_HIGHLIGHT_STRONG)}));
    EXPECT_TRUE(zelle.Marked());

    // Frames and a hand resting on the mouse leave the mark; moving on ends it, once.
    report(105);
    lib->calls.clear();
    zelle.ZellmodellMouseMove(301, 201);
    report(105);
    EXPECT_TRUE(zelle.Marked());
    for (const Call &c : lib->of('A'))
        EXPECT_NE(c.a, ZELLE_ACTION_HIGHLIGHT);
    zelle.ZellmodellMouseMove(330, 200);
    zelle.ZellmodellMouseMove(360, 200);
    EXPECT_EQ(lib->of('A'), (std::vector<Call>{A(ZELLE_ACTION_OBJECT_OF, 105, 0),
                                               A(ZELLE_ACTION_HIGHLIGHT, ZELLE_NONE, 0)}));
    EXPECT_FALSE(zelle.Marked());
}

// The mark also ends when the menu lights another organelle or another one is chosen, and it
// comes only after "In der Zelle zeigen", not after "ganze Zelle" or a refused click.
TEST_F(CellScreen, WhatEndsTheMarkAndWhatMakesNone)
{
    zelle.ShowScreen();
    QCursor::setPos(zelle.Zellmodell->mapToGlobal(QPoint(300, 200)));
    zelle.ZellmodellMouseMove(300, 200);
    auto markFromPage = [&](int n) {
        visit(n);
        clickOn(zelle.ShowInCell);
        for (int s : {ZELLE_STATE_LEAVING_DETAIL, ZELLE_STATE_FLYING_BACK, ZELLE_STATE_RETURNING,
                      ZELLE_STATE_WHOLE_CELL})
            enterState(s);
        ASSERT_TRUE(zelle.Marked());
    };
    struct Case
    {
        const char *name;
        std::function<void()> act;
        std::vector<Call> sent;
    } cases[] = {
        {"menu lights an organelle", [&] { zelle.PartsItemHighlight(2); }, {A(ZELLE_ACTION_HIGHLIGHT, 2, 0)}},
        {"organelle chosen from the menu",
         [&] { zelle.PartsItemSelect(5); },
         {A(ZELLE_ACTION_PLACEMENT_OF, 5, 0), A(ZELLE_ACTION_HIGHLIGHT, ZELLE_NONE, 0),
          A(ZELLE_ACTION_GO_TO, 105, 0)}},
        {"organelle clicked in the model",
         [&] {
             lib->action = [base = lib->action](int code, int a, int b) {
                 return code == ZELLE_ACTION_PICK ? 102 : base(code, a, b);
             };
             zelle.ZellmodellClick();
         },
         {A(ZELLE_ACTION_PICK, 300, 200), A(ZELLE_ACTION_OBJECT_OF, 102, 0),
          A(ZELLE_ACTION_HIGHLIGHT, ZELLE_NONE, 0), A(ZELLE_ACTION_GO_TO, 102, 0)}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        markFromPage(4);
        lib->calls.clear();
        c.act();
        EXPECT_EQ(lib->of('A'), c.sent);
        EXPECT_FALSE(zelle.Marked());
        // Moving on afterwards sends no second end.
        lib->calls.clear();
        zelle.ZellmodellMouseMove(500, 400);
        EXPECT_TRUE(lib->of('A').empty());
        zelle.ZellmodellMouseMove(300, 200);
        if (zelle.ViewState() != ZELLE_STATE_WHOLE_CELL) {
            for (int s : {ZELLE_STATE_LEAVING_CELL, ZELLE_STATE_FLYING_IN, ZELLE_STATE_ENTERING_DETAIL,
                          ZELLE_STATE_DETAIL})
                enterState(s);
            zelle.UebersichtClick();
            for (int s : {ZELLE_STATE_LEAVING_DETAIL, ZELLE_STATE_FLYING_BACK, ZELLE_STATE_RETURNING,
                          ZELLE_STATE_WHOLE_CELL})
                enterState(s);
        }
    }

    // "ganze Zelle" marks nothing; nor does the button once the flight back has begun (the
    // page still shows, the library refuses).
    auto strongMarks = [&] {
        int n = 0;
        for (const Call &c : lib->of('A'))
            n += c.a == ZELLE_ACTION_HIGHLIGHT && c.c == ZELLE_HIGHLIGHT_STRONG;
        return n;
    };
    visit(4);
    lib->calls.clear();
    zelle.UebersichtClick();
    enterState(ZELLE_STATE_LEAVING_DETAIL);
    const auto base = lib->action;
    lib->action = [](int, int, int) { return ZELLE_NONE; };
    clickOn(zelle.ShowInCell);
    lib->action = base;
    for (int s : {ZELLE_STATE_FLYING_BACK, ZELLE_STATE_RETURNING, ZELLE_STATE_WHOLE_CELL})
        enterState(s);
    EXPECT_EQ(strongMarks(), 0);
    EXPECT_FALSE(zelle.Marked());
}
