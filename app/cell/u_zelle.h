#pragma once

// The cell-model screen: hosts libzelle's drawing in a native child window, drives the library
// from an idle step and shows the chosen organelle's heading, facts, text and spoken text.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include "Zellmodell.h"

#include <functional>
#include <memory>

class QLabel;
class QPlainTextEdit;
class QTimer;
class ZButton;
class ZMainMenu;
class ZMemo;
class ZMenuContainer;
class ZScrollBar;
class ZShadowPanel;
class ZZellMenu;
class ZUebersicht;
class ZMediaButton;
class TMediaPlayer;

namespace vellora {
class ZelleLibrary;
struct TOrganell;
} // namespace vellora

class TZelle : public QWidget
{
    Q_OBJECT
  public:
    explicit TZelle(QWidget *parent = nullptr);
    ~TZelle() override;

    // Replaces the library the screen talks to (before Initialize; tests script it).
    void SetLibrary(std::unique_ptr<vellora::ZelleLibrary> library);

    // Once from the start-up initialisation: Zelle_Init with the model panel's winId (0 under
    // the offscreen platform) and the program folder, then the mesh name list. A second call
    // does nothing (each screen is initialised exactly once).
    void Initialize();
    bool Initialized() const { return initialized_; }
    void ShowScreen();         // asks for its bar, shows itself
    void FormKeyDown(int key); // Qt key code, forwarded by TMainForm
    void FrameMouseWheel(Qt::KeyboardModifiers shift, int delta, const QPoint &globalPos);
    void PartsItemSelect(int index); // organelle menu selection
    void ShowHelp();                 // the Info menu's "Hilfe" entry

    // One frame and the reaction to what the library reports. The screen draws only while
    // something can change: during a view-state animation, for the library's longest fade after
    // the last input or state change, and after an expose or resize; at most one frame per
    // display refresh.
    void RenderStep();
    // Whether frames are being drawn (the frame timer runs).
    bool IdleRunning() const;
    // Something on the model may look different: draw frames for the next fade's length.
    void RequestFrames();
    static constexpr int kFrameIntervalMs = 16; // about one display refresh at 60 Hz
    static constexpr int kLongestFadeMs = 250;  // the library's fades; its flights are view states
    // Milliseconds of a monotonic clock; tests replace it.
    std::function<qint64()> Clock;

    // Handlers of the screen's components.
    void ZellmodellMouseDown(Qt::MouseButtons buttons, int x, int y,
                             Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void ZellmodellMouseUp(Qt::MouseButtons buttons, int x, int y);
    void ZellmodellMouseMove(int x, int y);
    void ZellmodellClick();
    void PartsItemHighlight(int index);
    void UebersichtClick();
    // "In der Zelle zeigen" on an organelle's page: back to the whole cell, where every
    // placement of that organelle is marked until the pointer moves on over the model.
    void ShowInCellClick();
    void TextLinkClick(int index);
    void PlayClick();
    void StopClick();
    void CloseClose();
    void FrameResize();
    void MenuResize();

    // An arrow key turns the model as a drag over this many pixels (a degree each); + and -
    // zoom by one wheel notch.
    static constexpr int kKeyRotateStep = 10;
    static constexpr int kWheelNotch = 120;

    // Screen state.
    int ViewState() const { return viewState_; }
    int DragMode() const { return dragMode_; }
    int SelectedObject() const { return selectedObject_; }
    int SelectedOrganelle() const { return selectedOrganelle_; }
    int MouseX() const { return mouseX_; }
    int MouseY() const { return mouseY_; }
    // Whether the whole cell shows the strong mark of one organelle's placements.
    bool Marked() const { return marked_; }
    const QList<QByteArray> &MeshNames() const { return meshNames_; }
    // The text of the help box, one entry per line.
    static QStringList HelpLines();
    // Whether the window under the global point is the description memo's.
    bool OverText(const QPoint &globalPos) const;

    // Where an exception that ended a handler is reported; the message box titled "Vellora"
    // unless replaced (tests record the message instead).
    std::function<void(const QString &)> ReportError;

    // Components (owned through Qt's parent tree).
    ZMenuContainer *Menu = nullptr;
    ZUebersicht *Uebersicht = nullptr;
    ZZellMenu *Parts = nullptr;
    TZellmodell *Zellmodell = nullptr;
    QLabel *Heading = nullptr;
    ZButton *ShowInCell = nullptr; // on the heading band, above the facts box
    ZShadowPanel *Infos = nullptr;
    QLabel *Names = nullptr;
    QLabel *MemCount = nullptr;
    QLabel *Size = nullptr;
    QLabel *AnimalCell = nullptr;
    ZMemo *Text = nullptr;
    ZScrollBar *ScrollBar = nullptr;
    QWidget *Read = nullptr;
    ZMediaButton *Play = nullptr;
    ZMediaButton *Stop = nullptr;
    TMediaPlayer *Player = nullptr;
    ZShadowPanel *Help = nullptr;
    ZMainMenu *Close = nullptr;
    QPlainTextEdit *HelpMemo = nullptr;
    QLabel *Shadow1 = nullptr;
    QLabel *Shadow2 = nullptr;
    QLabel *Shadow3 = nullptr;
    QLabel *Shadow4 = nullptr;
    QLabel *Shadow5 = nullptr;

  signals:
    void barRequested(bool lernprofil, bool hilfe); // prepare the bar for this screen
    void partsItemSelected(int index);              // organelle menu choice, for the main window
    void glossaryEntryRequested(int number);        // a link in the text

  public:
    void setVisible(bool visible) override;

  protected:
    void resizeEvent(QResizeEvent *event) override;

  private:
    // Building the form.
    void createModelPanel();
    void createContent();
    void createShadows();
    void createMenu();
    void createHelp();
    void layOutAtDesignSize();
    void fillMenu();
    void connectHandlers();

    // The handlers' work; the public handlers run it behind the exception net.
    void renderStep();
    void setDragMode(Qt::MouseButtons buttons, int x, int y);
    void beginLeftDrag(int x, int y);
    void keyRotate(int dx, int dy);
    void keyZoom(int delta);
    bool goToWholeCell();
    void markOrganelle();
    void endMark();
    void zellmodellClick();
    void selectOrganelle(int index);
    void flyToOrganelle();
    void switchInDetail(int index);
    void resendHighlight();
    void setViewports();
    void setMenusEnabled(bool enabled);
    void showContent();
    void fillContent(const vellora::TOrganell &organell);
    void openAudio();
    void hideContent();
    void closePlayer();
    // Runs a handler; an exception ending it is reported and the program goes on.
    void guarded(const std::function<void()> &step);

    bool animating() const;
    void drawFor(qint64 ms);

    std::unique_ptr<vellora::ZelleLibrary> library_;
    QTimer *idle_ = nullptr; // the frame timer
    qint64 drawUntilMs_ = 0; // frames go on until this time of Clock, animations beyond it
    int framesSinceRequest_ = 0;
    static constexpr int kFramesAfterRequest = 2; // at the least, however slow they are
    bool initialized_ = false;
    bool rendering_ = false;
    int menuWidth_ = 200;
    QList<QByteArray> meshNames_;
    int mouseX_ = 0;
    int mouseY_ = 0;
    int dragMode_ = 2;  // ZELLE_ACTION_END_DRAG: no drag
    int viewState_ = 0; // ZELLE_STATE_WHOLE_CELL
    int selectedObject_ = -1;
    int selectedOrganelle_ = -1;
    bool selecting_ = false;
    int queuedSelection_ = -1;
    bool highlightRefused_ = false;
    // "In der Zelle zeigen": the organelle to mark once the flight back has ended (-1 none),
    // and while the mark is on, where the pointer stood when it came.
    int markWhenBack_ = -1;
    bool marked_ = false;
    QPoint markOrigin_;
    // A left press turns into a drag once the pointer has moved far enough; until then it is
    // a click that picks.
    bool leftDown_ = false;
    bool leftDragging_ = false;
    bool leftShift_ = false;
    bool clickSuppressed_ = false;
    QPoint leftPress_;
};
