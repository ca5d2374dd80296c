// The cell screen draws only while something can change: it asks the library for frames during
// an animation and for one fade's length after an input, an expose or a state change, never
// faster than the display refreshes, and not at all while the picture stands still.

#include "MenuContainer.h"
#include "cellfiles.h"
#include "support/programfolder.h"
#include "u_zelle.h"
#include "zelle.h"
#include "zellelib.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QPaintEvent>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

namespace {

// Counts frames; Render answers from a queue, then with nothing under the pointer.
class FrameCounter : public vellora::ZelleLibrary
{
  public:
    int frames = 0;
    std::deque<int> renders;

    void Init(std::uintptr_t, const QByteArray &) override {}
    void Viewport(bool, int, int, int, int) override {}
    int Render(int, int) override
    {
        ++frames;
        if (renders.empty())
            return ZELLE_NONE;
        const int r = renders.front();
        renders.pop_front();
        return r;
    }
    // Placement 100 + n is organelle n; nothing is refused.
    int Action(int code, int a, int) override
    {
        switch (code) {
        case ZELLE_ACTION_PLACEMENT_OF:
            return 100 + a;
        case ZELLE_ACTION_OBJECT_OF:
            return a < 0 ? ZELLE_NONE : a - 100;
        default:
            return 0;
        }
    }
};

class CellFrames : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        folder.write("inhalt/meshes.dat", vellora::serializeMeshNames({"Kernpore"}));
        vellora::TOrganell o;
        o.Heading = "Chloroplast";
        o.Text = "Hier l\xE4uft die Fotosynthese ab.";
        folder.write("inhalt/org4.organell", vellora::serializeOrganell(o));
        QFile mp3(QStringLiteral(CELL_FIXTURE_MP3));
        ASSERT_TRUE(mp3.open(QIODevice::ReadOnly));
        folder.write("audio/voice4.mp3", mp3.readAll());

        auto counter = std::make_unique<FrameCounter>();
        lib = counter.get();
        zelle.SetLibrary(std::move(counter));
        zelle.ReportError = [](const QString &m) { ADD_FAILURE() << m.toStdString(); };
        zelle.resize(1280, 780);
        zelle.Initialize();
    }

    // The screen's clock stands still unless a case moves it.
    void useTestClock()
    {
        now = zelle.Clock();
        zelle.Clock = [this] { return now; };
    }
    // The frame the timer draws after `ms`, with the library reporting r.
    void frameAfter(qint64 ms, int r = ZELLE_NONE)
    {
        now += ms;
        lib->renders.push_back(r);
        zelle.RenderStep();
    }
    void enterState(int s) { frameAfter(TZelle::kFrameIntervalMs, ZELLE_STATE_ENTERED(s)); }
    // The last fade has passed and two frames have shown it: the screen stops asking for frames.
    void settle()
    {
        frameAfter(TZelle::kLongestFadeMs);
        frameAfter(TZelle::kFrameIntervalMs);
        ASSERT_FALSE(zelle.IdleRunning());
    }

    vellora::test::ProgramFolder folder;
    TZelle zelle;
    FrameCounter *lib = nullptr;
    qint64 now = 0;
};

} // namespace

TEST_F(CellFrames, StopsOnceTheLastChangeHasFaded)
{
    useTestClock();
    zelle.ShowScreen();
    ASSERT_TRUE(zelle.IdleRunning());
    for (int i = 0; i < 10; ++i) // the window's first expose and resize
        QCoreApplication::processEvents();
    frameAfter(TZelle::kLongestFadeMs - 1);
    EXPECT_TRUE(zelle.IdleRunning()); // the fade after showing is still running
    frameAfter(1);
    EXPECT_FALSE(zelle.IdleRunning());

    // Events that change nothing on the model draw nothing.
    const int frames = lib->frames;
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(lib->frames, frames);

    // One slow frame after an input is not the last, however long it took: the first frame
    // after a resize may still fill the surface at its old size.
    zelle.ZellmodellMouseMove(5, 5);
    frameAfter(1000);
    EXPECT_TRUE(zelle.IdleRunning());
    frameAfter(TZelle::kFrameIntervalMs);
    EXPECT_FALSE(zelle.IdleRunning());
}

TEST_F(CellFrames, EveryInputExposeAndResizeDrawsAgain)
{
    useTestClock();
    zelle.ShowScreen();
    struct Case
    {
        const char *name;
        std::function<void()> input;
    } cases[] = {
        {"pointer move", [&] { zelle.ZellmodellMouseMove(300, 200); }},
        {"button press", [&] { zelle.ZellmodellMouseDown(Qt::RightButton, 300, 200); }},
        {"button release", [&] { zelle.ZellmodellMouseUp(Qt::NoButton, 310, 200); }},
        {"left click", [&] { zelle.ZellmodellClick(); }},
        {"wheel", [&] { zelle.FrameMouseWheel(Qt::NoModifier, 120, QPoint(-500, -500)); }},
        {"key", [&] { zelle.FormKeyDown(Qt::Key_A); }},
        {"menu hover", [&] { zelle.PartsItemHighlight(3); }},
        {"help closed", [&] { zelle.CloseClose(); }},
        {"resize", [&] { zelle.resize(1200, 700); }},
        {"expose",
         [&] {
             QPaintEvent expose(zelle.Zellmodell->rect());
             QCoreApplication::sendEvent(zelle.Zellmodell, &expose);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        settle();
        c.input();
        EXPECT_TRUE(zelle.IdleRunning());
        const int frames = lib->frames;
        frameAfter(TZelle::kFrameIntervalMs);
        EXPECT_EQ(lib->frames, frames + 1);
        EXPECT_TRUE(zelle.IdleRunning()); // for the rest of the fade
    }
    settle();
}

// A fade or flight draws every frame however long it takes; the detail view, once reached,
// stands still after its fade.
TEST_F(CellFrames, AnimationsDrawUntilTheirEnd)
{
    useTestClock();
    zelle.ShowScreen();
    settle();
    zelle.PartsItemSelect(4);
    ASSERT_EQ(zelle.ViewState(), ZELLE_STATE_LEAVING_CELL);
    for (int s : {ZELLE_STATE_LEAVING_CELL, ZELLE_STATE_FLYING_IN, ZELLE_STATE_ENTERING_DETAIL}) {
        enterState(s);
        frameAfter(2000); // a slow machine: long past any fade, still in this state
        EXPECT_TRUE(zelle.IdleRunning()) << "state " << s;
    }
    enterState(ZELLE_STATE_DETAIL);
    frameAfter(TZelle::kLongestFadeMs - 1);
    EXPECT_TRUE(zelle.IdleRunning());
    frameAfter(1);
    EXPECT_FALSE(zelle.IdleRunning());

    // "ganze Zelle": the library reports the way back on the frames that follow.
    zelle.UebersichtClick();
    EXPECT_TRUE(zelle.IdleRunning());
    for (int s : {ZELLE_STATE_LEAVING_DETAIL, ZELLE_STATE_FLYING_BACK, ZELLE_STATE_RETURNING}) {
        enterState(s);
        frameAfter(2000);
        EXPECT_TRUE(zelle.IdleRunning()) << "state " << s;
    }
    enterState(ZELLE_STATE_WHOLE_CELL);
    settle();
}

// The sliding menu draws at once when the picture stands; while frames run it leaves the next
// one to the timer.
TEST_F(CellFrames, SlidingMenuDrawsAtOnceOnlyWhenNoFramesRun)
{
    useTestClock();
    zelle.ShowScreen();
    settle();
    int frames = lib->frames;
    zelle.MenuResize();
    EXPECT_EQ(lib->frames, frames + 1);
    EXPECT_TRUE(zelle.IdleRunning());
    frames = lib->frames;
    zelle.MenuResize();
    EXPECT_EQ(lib->frames, frames);
}

TEST_F(CellFrames, HiddenScreenDrawsNothing)
{
    useTestClock();
    zelle.ShowScreen();
    zelle.hide();
    EXPECT_FALSE(zelle.IdleRunning());
    zelle.ZellmodellMouseMove(10, 10);
    zelle.FormKeyDown(Qt::Key_Up);
    EXPECT_FALSE(zelle.IdleRunning());
}

// On the real clock and the real timer: during a flight the screen draws, but never more than
// one frame per display refresh. Load only lowers the count, so the bound holds on any machine.
TEST_F(CellFrames, NoMoreThanOneFramePerDisplayRefresh)
{
    zelle.ShowScreen();
    zelle.PartsItemSelect(4); // the library is asked for the fade-out and flight
    ASSERT_TRUE(zelle.IdleRunning());
    const int windowMs = 400;
    const int before = lib->frames;
    QElapsedTimer elapsed;
    elapsed.start();
    while (elapsed.elapsed() < windowMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const int drawn = lib->frames - before;
    // A timer catching up fires at most once early, so a window holds one more frame than its
    // length in refresh intervals, and one partly counted at each end.
    EXPECT_LE(drawn, int(elapsed.elapsed()) / TZelle::kFrameIntervalMs + 2);
    EXPECT_GE(drawn, 1);
}
