#pragma once

// The exercise screen: the left-hand panel with the introduction, the three test kinds and
// their bars and the own-test link; the content panel with the introduction, the test lists
// with their bars, and a running test of one of the three kinds.

#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

#include "profilefiles.h"
#include "testfiles.h"
#include "testrun.h"

class QLabel;
class QTimer;
class TLabel;
class TProfileStore;
class TTextBlock;
class TTile;
class TClozeText;
class ZButton;
class ZCheckBox;
class ZEdit;
class ZMemo;
class ZProgressBar;
class ZScrollBar;
class ZShadowPanel;

class TUebung : public QWidget
{
    Q_OBJECT

  public:
    explicit TUebung(QWidget *parent = nullptr);
    ~TUebung() override;

    // The profiles whose results are stored and shown; the screen follows its ProfileChanged.
    void SetStore(TProfileStore *store);
    TProfileStore *Store() const { return store_; }

    void Initialize(); // loads "inhalt/uebung.dat" (once)
    void ShowScreen(); // show operation: bar prepared for this screen, introduction shown
    void FrameMouseWheel(Qt::KeyboardModifiers shift, int delta, const QPoint &globalPos);

    // Views of the content panel.
    void IntroductionClick();
    void ShowTestList(vellora::RunKind kind);
    void TestClick(int number);
    void OwnTestClick();
    void OwnTestMouseEnter();
    void OwnTestMouseLeave();
    void Container_TestResize();
    // After every sign-in and sign-out: the tile bars, and a list on screen is built again.
    void ProfileRefresh();
    // slot -1: the three tile bars; 0..10: the list bar of that slot for the test with that ID.
    void RefreshBars(int slot, const QByteArray &id = {});

    // The tests.
    void StartTest(const QString &path);
    void NextClick();
    void ShowAnswereClick();
    void RightClick();
    void WrongClick();
    void FinishedClick();
    void BackClick();
    // After a finished multiple-choice test: each question again with its right options and
    // the learner's wrong ticks marked; -1 while no solution is shown.
    void ShowSolutionsClick();
    void SolutionNextClick();
    void SolutionBackClick();
    int SolutionShown() const { return solution_; }
    // After a finished self-check: the cards marked "falsch" again, round after round, until
    // all are marked right; the stored result stays the first pass.
    void RepeatWrongClick();
    bool Repeating() const { return repeating_; }

    // The own-test dialog; tests put a chooser of their own in its place. Returns the chosen
    // path, or an empty string when the learner cancels.
    std::function<QString()> ChooseOwnTest;
    // The dialog's filter, its first entry offering all three kinds.
    static QString OwnTestFilter();

    // Screen state.
    QByteArray IntroductionText() const { return introduction_; }
    int ListView() const { return listView_; }
    vellora::RunKind Kind() const { return kind_; }
    const vellora::TSLFTest &SLF() const { return slf_; }
    const vellora::TMPCTest &MPC() const { return mpc_; }
    const vellora::TLKTTest &LKT() const { return lkt_; }
    const QList<ZEdit *> &GapBoxes() const { return gaps_; }
    // After a finished cloze: gap k's sign (✓ or ✗) and, for a wrong gap, its first accepted
    // answer beside the box; nullptr where there is none.
    QLabel *GapMark(int k) const { return k >= 0 && k < marks_.size() ? marks_[k] : nullptr; }
    QLabel *GapSolution(int k) const { return k >= 0 && k < solutions_.size() ? solutions_[k] : nullptr; }
    // The last result handed to the store.
    const TTestResult &Result() const { return result_; }
    // The multiple-choice feedback: the question's colour shows for a second, input is ignored.
    bool FeedbackRunning() const;
    // Ends the feedback at once (what its timer does after a second).
    void FeedbackDone();

    // Components (owned through Qt's parent tree).
    ZShadowPanel *Menu = nullptr;
    ZButton *Introduction = nullptr;
    TTile *Container_SLF = nullptr, *Container_MPC = nullptr, *Container_LKT = nullptr;
    ZProgressBar *Bar_SLF = nullptr, *Bar_MPC = nullptr, *Bar_LKT = nullptr;
    TLabel *OwnTest = nullptr;
    ZShadowPanel *Container_Test = nullptr;
    QLabel *Caption = nullptr;
    QWidget *Line = nullptr;
    QList<ZButton *> Tests;     // Test0 .. Test10
    QList<ZProgressBar *> Bars; // Bar0 .. Bar10
    ZButton *Finished = nullptr, *Next = nullptr, *Back = nullptr;
    ZButton *RepeatWrong = nullptr;
    ZButton *ShowSolutions = nullptr, *SolutionNext = nullptr, *SolutionBack = nullptr;
    QList<ZCheckBox *> Options; // Option0 .. Option15
    QWidget *Container_Question = nullptr;
    TTextBlock *Question = nullptr;
    QWidget *Container_Answere = nullptr;
    ZButton *ShowAnswere = nullptr;
    TTextBlock *Answere = nullptr;
    ZButton *Right = nullptr, *Wrong = nullptr;
    ZMemo *Container_Text = nullptr;
    TClozeText *Text = nullptr;
    ZScrollBar *ScrollBar = nullptr;

  signals:
    void barRequested(bool lernprofil, bool hilfe);
    void messageRequested(const QString &title, const QString &text, QWidget *owner);
    // While a test runs the area switcher and the profile menu are locked.
    void areaMenuLocked(bool locked);
    void profileMenuLocked(bool locked);

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void buildMenu();
    void buildContent();
    void placeBottomRight(ZButton *button);
    void hideTestButtons();
    void setBar(ZProgressBar *bar, const vellora::BarSetting &setting);

    void startSelfCheck();
    void showNextQuestion();
    void startMultipleChoice();
    void showQuestion();
    void checkQuestion(std::function<void()> then);
    void startCloze();
    void finish();
    void finishSelfCheck();
    void finishMultipleChoice();
    void finishCloze();
    void markGap(int k, bool right);
    QLabel *newSolution(int k);
    void presentSelfCheckQuestion(int index, const QString &caption);
    void showRepeatQuestion();
    void showSolution(int index);
    void hideSolutions();
    void storeResult();
    void closeTest();
    void setQuestionText(const QString &text, int lineHeight);

    TProfileStore *store_ = nullptr;
    QByteArray introduction_;
    bool initialized_ = false;
    int listView_ = 4;
    vellora::RunKind kind_ = vellora::RunKind::None;
    vellora::TSLFTest slf_;
    vellora::TMPCTest mpc_;
    vellora::TLKTTest lkt_;
    QList<ZEdit *> gaps_;
    QList<QList<bool>> ticks_; // the learner's ticks, one list per answered question
    int solution_ = -1;
    QList<int> wrong_; // self-check questions marked "falsch" in the first pass
    bool repeating_ = false;
    QList<int> again_;     // this round of the repetition
    QList<int> againNext_; // marked "falsch" again, for the next round
    int againPos_ = 0;
    QList<QLabel *> marks_;     // one per gap once the cloze is finished
    QList<QLabel *> solutions_; // one per gap, nullptr for a right one
    TTestResult result_;
    bool finished_ = false; // the result is shown
    QTimer *feedback_ = nullptr;
    std::function<void()> afterFeedback_;
};
