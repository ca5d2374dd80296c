#include "u_uebung.h"

#include "Button.h"
#include "CheckBox.h"
#include "Edit.h"
#include "Memo.h"
#include "ProgressBar.h"
#include "ScrollBar.h"
#include "ShadowPanel.h"
#include "base/cp1252.h"
#include "base/rounding.h"
#include "controls.h"
#include "profilestore.h"
#include "uebungcontrols.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>

using vellora::RunKind;

namespace {

const QColor kBackground(49, 74, 146);
const QColor kFace(181, 210, 243);
const QColor kTextColour(15, 29, 69);
const QColor kTileFace(102, 155, 233);
const QColor kLight(231, 238, 247);
const QColor kLightHover(238, 245, 255);
const QColor kRightColour(109, 228, 89);
const QColor kWrongColour(218, 69, 69);
const QColor kChoiceRight(0, 128, 0);
const QColor kChoiceWrong(255, 0, 0);
const QColor kGrey(128, 128, 128);
constexpr int kSolutionGap = 3; // between a wrong gap's box and its correction
// Frame of the gap box that has the keyboard focus: burnt orange, at least 3:1 against the
// cloze text's face, the box's white, its usual dark frame and the green of a right gap.
const QColor kFocusFrame(190, 75, 0);

constexpr int kFeedbackMs = 1000;
constexpr int kOptionsTop = 200;

QFont pixelFont(int px)
{
    return vellora::formFont(px);
}

ZButton *makeButton(QWidget *parent, const QString &caption, int width, int height)
{
    auto *b = new ZButton(parent);
    b->SetCaption(caption);
    b->resize(width, height);
    b->SetColor(kLight);
    b->SetHighlight(kLightHover);
    b->SetBorder(kTextColour);
    b->SetFont(pixelFont(19));
    b->SetFontColor(kTextColour);
    return b;
}

void styleBar(ZProgressBar *bar)
{
    bar->SetBorder(kGrey);
    bar->SetColor(kFace);
    bar->SetColorA(kRightColour);
    bar->SetColorB(kWrongColour);
    bar->SetMin(0);
    bar->SetMax(0);
    bar->SetPos(0);
    bar->SetShowHint(true);
}

QString headingOf(const vellora::TTestInfo &info)
{
    return vellora::fromCp1252(info.Title);
}

QString resultSentence(int right, int count)
{
    return QStringLiteral("Du hast %1 von %2 Fragen richtig beantwortet.").arg(right).arg(count);
}

} // namespace

TUebung::TUebung(QWidget *parent) : QWidget(parent)
{
    resize(855, 723);
    buildMenu();
    buildContent();
    feedback_ = new QTimer(this);
    feedback_->setSingleShot(true);
    feedback_->setInterval(kFeedbackMs);
    connect(feedback_, &QTimer::timeout, this, &TUebung::FeedbackDone);
    ChooseOwnTest = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Eigenen Test öffnen"), QString(),
                                            OwnTestFilter());
    };
}

TUebung::~TUebung()
{
    if (feedback_ && feedback_->isActive())
        qApp->removeEventFilter(this);
}

QString TUebung::OwnTestFilter()
{
    // Linux names are case-sensitive; the capital extensions are the same kinds.
    return QStringLiteral("Alle Testdateien (*.slf *.mpc *.lkt *.SLF *.MPC *.LKT);;"
                          "Selbsttests (*.slf *.SLF);;"
                          "Multiple-Choice (*.mpc *.MPC);;"
                          "Lückentexte (*.lkt *.LKT)");
}

void TUebung::buildMenu()
{
    Menu = new ZShadowPanel(this);
    Menu->setGeometry(0, 0, 255, height());
    Menu->SetAlign(ZAlign::Left);
    Menu->SetBackground(kBackground);
    Menu->SetColor(kFace);
    Menu->SetMarginLeft(5);
    Menu->SetMarginTop(5);
    Menu->SetMarginRight(0);
    Menu->SetMarginBottom(2);
    Menu->SetShadowImages(ZShadowPanel::StandardShadowImages());

    Introduction = new ZButton(Menu);
    Introduction->setGeometry(10, 10, 235, 32);
    Introduction->SetCaption(QStringLiteral("Einleitung"));
    Introduction->SetColor(kTileFace);
    Introduction->SetHighlight(kTileFace);
    Introduction->SetBorder(kTileFace);
    Introduction->SetFont(pixelFont(19));
    Introduction->SetFontColor(Qt::white);
    Introduction->SetAlignment(ZButton::TextAlignment::Center);
    Introduction->OnClick = [this](ZButton *) { IntroductionClick(); };

    Container_SLF = new TTile(QStringLiteral("Selbsttest"),
                              {QStringLiteral("Fragen zu den"), QStringLiteral("einzelnen Organellen,"),
                               QStringLiteral("bei denen du deine"), QStringLiteral("Antworten selbst"),
                               QStringLiteral("überprüfen kannst.")},
                              Menu);
    Container_MPC =
        new TTile(QStringLiteral("Multiple-Choice-Test"),
                  {QStringLiteral("Fragen aus allen"), QStringLiteral("inhaltlichen Bereichen "),
                   QStringLiteral("der Software, bei denen"), QStringLiteral("aus möglichen Antworten"),
                   QStringLiteral("ausgewählt werden muss.")},
                  Menu);
    Container_LKT = new TTile(QStringLiteral("Lückentext"),
                              {QStringLiteral("Texte zu allen"), QStringLiteral("Themenbereichen,"),
                               QStringLiteral("die es zu"), QStringLiteral("vervollständigen gilt.")},
                              Menu);
    Container_SLF->move(10, 47);
    Container_MPC->move(10, 252);
    Container_LKT->move(10, 457);
    Container_SLF->OnClick = [this](TTile *) { ShowTestList(RunKind::SelfCheck); };
    Container_MPC->OnClick = [this](TTile *) { ShowTestList(RunKind::MultipleChoice); };
    Container_LKT->OnClick = [this](TTile *) { ShowTestList(RunKind::Cloze); };
    Bar_SLF = Container_SLF->Bar;
    Bar_MPC = Container_MPC->Bar;
    Bar_LKT = Container_LKT->Bar;
    for (ZProgressBar *bar : {Bar_SLF, Bar_MPC, Bar_LKT})
        styleBar(bar);

    OwnTest = new TLabel(QStringLiteral("Eigenen Test öffnen ..."), Menu);
    OwnTest->setFont(pixelFont(13));
    OwnTest->SetFontColor(kTextColour);
    OwnTest->setCursor(Qt::PointingHandCursor);
    OwnTest->move(16, 660);
    OwnTest->adjustSize();
    OwnTest->OnClick = [this](TLabel *) { OwnTestClick(); };
    OwnTest->OnMouseEnter = [this](TLabel *) { OwnTestMouseEnter(); };
    OwnTest->OnMouseLeave = [this](TLabel *) { OwnTestMouseLeave(); };
}

void TUebung::buildContent()
{
    Container_Test = new ZShadowPanel(this);
    Container_Test->setGeometry(255, 0, width() - 255, height());
    Container_Test->SetAlign(ZAlign::Client);
    Container_Test->SetBackground(kBackground);
    Container_Test->SetColor(kFace);
    Container_Test->SetMarginLeft(6);
    Container_Test->SetMarginTop(5);
    Container_Test->SetMarginRight(2);
    Container_Test->SetMarginBottom(2);
    Container_Test->SetShadowImages(ZShadowPanel::StandardShadowImages());

    Caption = new QLabel(Container_Test);
    Caption->setGeometry(6, 15, 300, 37);
    Caption->setAlignment(Qt::AlignCenter);
    Caption->setFont(pixelFont(29));
    QPalette captionPalette = Caption->palette();
    captionPalette.setColor(QPalette::WindowText, kTextColour);
    Caption->setPalette(captionPalette);

    Line = new QWidget(Container_Test);
    Line->setGeometry(13, 56, 300, 1);
    Line->setAutoFillBackground(true);
    QPalette linePalette = Line->palette();
    linePalette.setColor(QPalette::Window, kTextColour);
    Line->setPalette(linePalette);

    Container_Text = new ZMemo(Container_Test);
    Container_Text->setGeometry(66, 90, 300, 300);
    Container_Text->SetFont(pixelFont(16));
    Container_Text->SetFontColor(kTextColour);
    Container_Text->SetLinkFont(pixelFont(16));
    Container_Text->SetLinkFontColor(kTextColour);
    Container_Text->SetColor(kFace);

    Text = new TClozeText(Container_Text);
    Text->SetFont(pixelFont(16));
    Text->SetFontColor(kTextColour);
    Text->SetColor(kFace);
    Text->hide();

    ScrollBar = new ZScrollBar(Container_Test);
    ScrollBar->setGeometry(300, 90, 19, 300);
    ScrollBar->SetMemo(Container_Text);

    for (int n = 0; n < vellora::kTestsPerKind; ++n) {
        ZButton *test = makeButton(Container_Test, QString(), 300, 45);
        test->move(36, 72 + 56 * n);
        test->SetAlignment(ZButton::TextAlignment::LeftJustify);
        test->setProperty("Tag", n);
        test->OnClick = [this, n](ZButton *) { TestClick(n); };
        test->hide();
        auto *bar = new ZProgressBar(test);
        bar->setGeometry(300 - 222, 16, 205, 13);
        styleBar(bar);
        Tests.append(test);
        Bars.append(bar);
    }

    Container_Question = new QWidget(Container_Test);
    Container_Question->setGeometry(136, 120, 300, 23);
    Container_Question->hide();
    Question = new TTextBlock(Container_Question);
    Question->setGeometry(0, 0, 300, 23);
    Question->SetFont(pixelFont(19));
    Question->SetFontColor(kTextColour);
    Question->SetColor(kFace);
    Question->SetLineHeight(23);

    Container_Answere = new QWidget(Container_Test);
    Container_Answere->setGeometry(196, 240, 300, 42);
    Container_Answere->setAutoFillBackground(true);
    QPalette answerPalette = Container_Answere->palette();
    answerPalette.setColor(QPalette::Window, kLight);
    Container_Answere->setPalette(answerPalette);
    Container_Answere->hide();
    ShowAnswere = makeButton(Container_Answere, QStringLiteral("Antwort anzeigen"), 300, 42);
    ShowAnswere->move(0, 0);
    ShowAnswere->OnClick = [this](ZButton *) { ShowAnswereClick(); };
    Answere = new TTextBlock(Container_Answere);
    Answere->setGeometry(10, 47, 280, 22);
    Answere->SetFont(pixelFont(16));
    Answere->SetFontColor(kTextColour);
    Answere->SetColor(kLight);
    Answere->SetLineHeight(22);
    Right = makeButton(Container_Answere, QStringLiteral("richtig"), 150, 42);
    Right->SetColor(kRightColour);
    Right->SetHighlight(kRightColour.lighter(115));
    Right->OnClick = [this](ZButton *) { RightClick(); };
    Wrong = makeButton(Container_Answere, QStringLiteral("falsch"), 150, 42);
    Wrong->SetColor(kWrongColour);
    Wrong->SetHighlight(kWrongColour.lighter(115));
    Wrong->OnClick = [this](ZButton *) { WrongClick(); };

    for (int k = 0; k < vellora::kMaxShownOptions; ++k) {
        auto *option = new ZCheckBox(Container_Test);
        option->setProperty("Tag", k);
        option->move(150, kOptionsTop);
        option->resize(300, 22);
        option->SetFont(pixelFont(16));
        option->SetFontColor(kTextColour);
        option->SetColor(kFace);
        option->SetBox(Qt::white);
        option->SetBorder(kTextColour);
        option->hide();
        option->installEventFilter(this); // the solutions show the boxes without letting them tick
        Options.append(option);
    }

    Finished = makeButton(Container_Test, QStringLiteral("Fertig!"), 150, 42);
    Finished->OnClick = [this](ZButton *) { FinishedClick(); };
    Finished->hide();
    Next = makeButton(Container_Test, QStringLiteral("Weiter"), 150, 42);
    Next->OnClick = [this](ZButton *) { NextClick(); };
    Next->hide();
    Back = makeButton(Container_Test, QStringLiteral("Zurück zur Einleitung"), 240, 42);
    Back->OnClick = [this](ZButton *) { BackClick(); };
    Back->hide();
    RepeatWrong = makeButton(Container_Test, QStringLiteral("Falsche wiederholen"), 220, 42);
    RepeatWrong->OnClick = [this](ZButton *) { RepeatWrongClick(); };
    RepeatWrong->hide();
    ShowSolutions = makeButton(Container_Test, QStringLiteral("Lösungen zeigen"), 200, 42);
    ShowSolutions->OnClick = [this](ZButton *) { ShowSolutionsClick(); };
    ShowSolutions->hide();
    SolutionBack = makeButton(Container_Test, QStringLiteral("Zurück"), 150, 42);
    SolutionBack->OnClick = [this](ZButton *) { SolutionBackClick(); };
    SolutionBack->hide();
    SolutionNext = makeButton(Container_Test, QStringLiteral("Weiter"), 150, 42);
    SolutionNext->OnClick = [this](ZButton *) { SolutionNextClick(); };
    SolutionNext->hide();

    Container_Test->OnResize = [this](ZShadowPanel *) { Container_TestResize(); };
    Container_TestResize();
}

void TUebung::SetStore(TProfileStore *store)
{
    if (store_)
        disconnect(store_, nullptr, this, nullptr);
    store_ = store;
    if (store_)
        connect(store_, &TProfileStore::ProfileChanged, this, &TUebung::ProfileRefresh);
    ProfileRefresh();
}

void TUebung::Initialize()
{
    if (initialized_)
        return;
    introduction_ = vellora::LoadIntroduction();
    initialized_ = true;
}

void TUebung::ShowScreen()
{
    emit barRequested(true, false);
    IntroductionClick();
    show();
    ScrollBar->ResetPosition();
    Container_Text->SetPosition(0);
    Container_Text->show();
    Container_Text->update();
    ScrollBar->show();
    ScrollBar->UpdateRange();
}

void TUebung::FrameMouseWheel(Qt::KeyboardModifiers, int delta, const QPoint &)
{
    if (FeedbackRunning())
        return;
    if (listView_ == 4 && ScrollBar->isVisible())
        ScrollBar->Scroll(delta);
}

void TUebung::IntroductionClick()
{
    listView_ = 4;
    Caption->setText(QStringLiteral("Einleitung"));
    Container_Text->SetText(introduction_);
    ScrollBar->ResetPosition();
    Container_Text->SetPosition(0);
    Container_Text->show();
    Container_Text->update();
    ScrollBar->show();
    ScrollBar->UpdateRange();
    hideTestButtons();
}

void TUebung::hideTestButtons()
{
    for (ZButton *test : Tests)
        test->hide();
}

void TUebung::ShowTestList(RunKind kind)
{
    struct View
    {
        RunKind kind;
        int listView;
        const char *heading;
    };
    static const View views[] = {
        {RunKind::SelfCheck, 3, "Selbsttests"},
        {RunKind::MultipleChoice, 2, "Multiple-Choice-Tests"},
        {RunKind::Cloze, 1, "Lückentexte"},
    };
    const View *view = nullptr;
    for (const View &v : views)
        if (v.kind == kind)
            view = &v;
    if (!view)
        return;
    listView_ = view->listView;
    kind_ = kind;
    Caption->setText(QString::fromUtf8(view->heading));
    Container_Text->hide();
    ScrollBar->hide();
    const vellora::TestKind fileKind = kind == RunKind::SelfCheck        ? vellora::TestKind::SelfCheck
                                       : kind == RunKind::MultipleChoice ? vellora::TestKind::MultipleChoice
                                                                         : vellora::TestKind::Cloze;
    for (int n = 0; n < vellora::kTestsPerKind; ++n) {
        const QString path = vellora::testPath(fileKind, n);
        if (!QFile::exists(path)) {
            Tests[n]->hide();
            continue;
        }
        vellora::TTestInfo info;
        try {
            info = vellora::LoadTestHeader(path);
        } catch (const std::exception &e) {
            // A damaged list file is left out like a missing one; the authors see why here.
            qWarning("%s", e.what());
            Tests[n]->hide();
            continue;
        }
        Tests[n]->SetCaption(vellora::fromCp1252(info.Title));
        Tests[n]->show();
        RefreshBars(n, info.ID);
    }
}

void TUebung::TestClick(int number)
{
    vellora::TestKind fileKind = vellora::TestKind::Unknown;
    switch (kind_) {
    case RunKind::SelfCheck:
        fileKind = vellora::TestKind::SelfCheck;
        break;
    case RunKind::MultipleChoice:
        fileKind = vellora::TestKind::MultipleChoice;
        break;
    case RunKind::Cloze:
        fileKind = vellora::TestKind::Cloze;
        break;
    case RunKind::None:
        return;
    }
    StartTest(vellora::testPath(fileKind, number));
}

void TUebung::OwnTestClick()
{
    if (!ChooseOwnTest)
        return;
    const QString path = ChooseOwnTest();
    if (!path.isEmpty())
        StartTest(path);
}

void TUebung::OwnTestMouseEnter()
{
    QFont f = OwnTest->font();
    f.setUnderline(true);
    OwnTest->setFont(f);
}

void TUebung::OwnTestMouseLeave()
{
    QFont f = OwnTest->font();
    f.setUnderline(false);
    OwnTest->setFont(f);
}

void TUebung::Container_TestResize()
{
    const int w = Container_Test->width() - Container_Test->MarginLeft() - Container_Test->MarginRight();
    Caption->resize(w - 5, Caption->height());
    Line->resize(w - 20, 1);
    const int bottomGap = (kind_ == RunKind::Cloze && listView_ == 0) ? 100 : 50;
    Container_Text->setGeometry(66, 90, w - 126, height() - 90 - bottomGap);
    Text->setGeometry(0, 0, Container_Text->width(), Container_Text->height());
    ScrollBar->setGeometry(Container_Test->width() - 29, ScrollBar->y(), ScrollBar->width(),
                           Container_Test->height() - ScrollBar->y() - 10);
    Container_Question->setGeometry(136, 120, w - 266, Container_Question->height());
    Question->resize(Container_Question->width(), Container_Question->height());
    Container_Answere->resize(w - 385, Container_Answere->height());
    for (ZButton *test : Tests)
        test->resize(w - 66, test->height());
    for (ZProgressBar *bar : Bars)
        bar->move(Tests[0]->width() - 222, bar->y());
    for (ZCheckBox *option : Options)
        option->resize(w - 250, option->height());
    // The answer block's own parts follow its width.
    const int aw = Container_Answere->width();
    ShowAnswere->resize(aw, 42);
    Answere->resize(aw - 20, Answere->height());
    Right->resize(aw / 2, 42);
    Wrong->setGeometry(aw / 2, Wrong->y(), aw - aw / 2, 42);
    if (listView_ == 4)
        ScrollBar->UpdateRange();
}

void TUebung::ProfileRefresh()
{
    RefreshBars(-1);
    if (listView_ >= 1 && listView_ <= 3)
        ShowTestList(listView_ == 3   ? RunKind::SelfCheck
                     : listView_ == 2 ? RunKind::MultipleChoice
                                      : RunKind::Cloze);
}

void TUebung::setBar(ZProgressBar *bar, const vellora::BarSetting &setting)
{
    bar->SetMax(setting.Max);
    bar->SetPos(setting.Pos);
}

void TUebung::RefreshBars(int slot, const QByteArray &id)
{
    static const QList<TTestResult> none;
    const QList<TTestResult> &results = (store_ && store_->SignedIn()) ? store_->Results() : none;
    if (slot == -1) {
        setBar(Bar_LKT, vellora::kindBar(results, 'L'));
        setBar(Bar_MPC, vellora::kindBar(results, 'M'));
        setBar(Bar_SLF, vellora::kindBar(results, 'S'));
    } else if (slot >= 0 && slot < Bars.size()) {
        setBar(Bars[slot], vellora::testBar(results, id));
    }
}

void TUebung::placeBottomRight(ZButton *button)
{
    button->move(Container_Test->width() - button->width() - 30, height() - button->height() - 20);
}

// --- Starting a test -------------------------------------------------------------------------

void TUebung::StartTest(const QString &path)
{
    if (!store_ || !store_->SignedIn()) {
        emit messageRequested(QStringLiteral("Bitte anmelden!"),
                              QStringLiteral("Du musst dich anmelden, bevor du einen Test starten kannst."),
                              this);
        return;
    }
    const RunKind kind = vellora::runKindOf(vellora::testKindOfPath(path));
    if (kind == RunKind::None) {
        emit messageRequested(
            QStringLiteral("Fehler!"),
            QStringLiteral("\u201E%1\u201C ist keine Testdatei. Tests enden auf .slf (Selbsttest), "
                           ".mpc (Multiple-Choice-Test) oder .lkt (Lückentext).")
                .arg(QFileInfo(path).fileName()),
            this);
        return;
    }
    // The file is read whole before anything is locked: a file that cannot be read leaves the
    // screen as it was.
    try {
        switch (kind) {
        case RunKind::SelfCheck:
            slf_ = vellora::LoadSelfCheckTest(path);
            break;
        case RunKind::MultipleChoice:
            mpc_ = vellora::LoadMultipleChoiceTest(path);
            break;
        case RunKind::Cloze:
            lkt_ = vellora::LoadClozeTest(path);
            break;
        case RunKind::None:
            break;
        }
    } catch (const std::exception &e) {
        emit messageRequested(QStringLiteral("Fehler!"), QString::fromStdString(e.what()), this);
        return;
    }

    listView_ = 0;
    Menu->SetEnabled(false);
    emit areaMenuLocked(true);
    emit profileMenuLocked(true);
    hideTestButtons();
    kind_ = kind;
    finished_ = false;
    switch (kind) {
    case RunKind::SelfCheck:
        startSelfCheck();
        break;
    case RunKind::MultipleChoice:
        startMultipleChoice();
        break;
    case RunKind::Cloze:
        startCloze();
        break;
    case RunKind::None:
        break;
    }
}

void TUebung::setQuestionText(const QString &text, int lineHeight)
{
    Question->SetLineHeight(lineHeight);
    Question->SetText(text);
    const int h = lineHeight * Question->LineCount();
    Container_Question->resize(Container_Question->width(), h);
    Question->resize(Container_Question->width(), h);
    Container_Question->show();
}

// --- Self-check ------------------------------------------------------------------------------

void TUebung::startSelfCheck()
{
    Container_Text->hide();
    ScrollBar->hide();
    Question->SetFontColor(kTextColour);
    slf_.Current = 0;
    slf_.Right = 0;
    wrong_.clear();
    repeating_ = false;
    showNextQuestion();
}

void TUebung::showNextQuestion()
{
    if (slf_.Current > slf_.Count)
        return;
    if (slf_.Current == slf_.Count) {
        ++slf_.Current;
        finish();
        return;
    }
    presentSelfCheckQuestion(slf_.Current,
                             headingOf(slf_.Info) +
                                 QStringLiteral(" - Frage %1 von %2").arg(slf_.Current + 1).arg(slf_.Count));
    ++slf_.Current;
}

void TUebung::presentSelfCheckQuestion(int index, const QString &caption)
{
    const vellora::TSLFQuestion &q = slf_.Questions[index];
    setQuestionText(vellora::fromCp1252(q.Question), 23);
    Caption->setText(caption);
    Answere->SetText(vellora::fromCp1252(q.Answer));
    // Only "Antwort anzeigen" shows: the answer and its buttons wait below the block's edge.
    Container_Answere->resize(Container_Answere->width(), 42);
    Right->move(0, 52);
    Wrong->move(Right->width(), 52);
    Container_Answere->show();
}

void TUebung::ShowAnswereClick()
{
    if (kind_ != RunKind::SelfCheck || (finished_ && !repeating_))
        return;
    const int lines = Answere->LineCount();
    const int h = 22 * lines + 94;
    Answere->resize(Answere->width(), 22 * lines);
    Container_Answere->resize(Container_Answere->width(), h);
    Right->move(0, h - 42);
    Wrong->move(Right->width(), h - 42);
}

void TUebung::RightClick()
{
    if (kind_ == RunKind::SelfCheck && repeating_) {
        ++againPos_;
        showRepeatQuestion();
        return;
    }
    if (kind_ != RunKind::SelfCheck || finished_)
        return;
    ++slf_.Right;
    showNextQuestion();
}

void TUebung::WrongClick()
{
    if (kind_ == RunKind::SelfCheck && repeating_) {
        if (againPos_ < again_.size())
            againNext_.append(again_[againPos_]);
        ++againPos_;
        showRepeatQuestion();
        return;
    }
    if (kind_ != RunKind::SelfCheck || finished_)
        return;
    if (slf_.Current >= 1 && slf_.Current <= slf_.Count)
        wrong_.append(slf_.Current - 1);
    showNextQuestion();
}

// --- Multiple choice -------------------------------------------------------------------------

void TUebung::startMultipleChoice()
{
    Container_Text->hide();
    ScrollBar->hide();
    mpc_.Current = 0;
    mpc_.Right = 0;
    ticks_.clear();
    hideSolutions();
    // With no question there is nothing to tick and no button to go on with.
    if (mpc_.Count == 0) {
        finish();
        return;
    }
    showQuestion();
}

void TUebung::showQuestion()
{
    if (mpc_.Current >= mpc_.Count)
        return;
    const vellora::TMPCQuestion &q = mpc_.Questions[mpc_.Current];
    Question->SetFontColor(kTextColour);
    setQuestionText(vellora::fromCp1252(q.Question), 23);
    Caption->setText(headingOf(mpc_.Info) +
                     QStringLiteral(" - Frage %1 von %2").arg(mpc_.Current + 1).arg(mpc_.Count));
    int top = kOptionsTop;
    for (int k = 0; k < vellora::kMaxShownOptions; ++k) {
        ZCheckBox *option = Options[k];
        if (k >= q.Options.size()) {
            option->SetChecked(false);
            option->hide();
            continue;
        }
        option->SetCaption(vellora::fromCp1252(q.Options[k]));
        option->SetChecked(false);
        option->move(option->x(), top);
        option->show();
        top += option->height() + 10;
    }
    if (mpc_.Current + 1 == mpc_.Count) {
        placeBottomRight(Finished);
        Finished->show();
        Next->hide();
    } else {
        placeBottomRight(Next);
        Next->show();
    }
}

void TUebung::checkQuestion(std::function<void()> then)
{
    QList<bool> ticked;
    for (ZCheckBox *option : Options)
        ticked.append(option->Checked());
    const vellora::TMPCQuestion &q = mpc_.Questions[mpc_.Current];
    const bool right = vellora::tickedMask(ticked) == q.Answer;
    ticks_.append(ticked);
    if (right)
        ++mpc_.Right;
    Question->SetFontColor(right ? kChoiceRight : kChoiceWrong);
    // A sign as well as the colour: red and green alone are lost on many boys.
    setQuestionText((right ? QStringLiteral("\u2713 ") : QStringLiteral("\u2717 ")) +
                        vellora::fromCp1252(q.Question),
                    23);
    Question->repaint();
    // The colour shows for a second; the loop keeps running, but the screen takes no input.
    afterFeedback_ = std::move(then);
    qApp->installEventFilter(this);
    feedback_->start();
}

bool TUebung::FeedbackRunning() const
{
    return feedback_->isActive();
}

void TUebung::FeedbackDone()
{
    feedback_->stop();
    qApp->removeEventFilter(this);
    auto then = std::move(afterFeedback_);
    afterFeedback_ = nullptr;
    if (then)
        then();
}

bool TUebung::eventFilter(QObject *watched, QEvent *event)
{
    if (solution_ >= 0 && Options.contains(qobject_cast<ZCheckBox *>(watched))) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            return true;
        default:
            break;
        }
    }
    if (!feedback_->isActive())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
        if (auto *w = qobject_cast<QWidget *>(watched); w && (w == this || isAncestorOf(w)))
            return true;
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TUebung::NextClick()
{
    if (kind_ != RunKind::MultipleChoice || listView_ != 0 || finished_ || FeedbackRunning())
        return;
    if (mpc_.Current >= mpc_.Count)
        return;
    checkQuestion([this] {
        ++mpc_.Current;
        showQuestion();
    });
}

// --- Cloze -----------------------------------------------------------------------------------

void TUebung::startCloze()
{
    for (int k = 0; k < lkt_.Count; ++k) {
        auto *box = new ZEdit(Text);
        box->SetBorder(kTextColour);
        box->SetFontColor(kTextColour);
        box->SetColor(Qt::white);
        box->SetFocusBorder(kFocusFrame);
        box->SetEditTop(1);
        box->SetFont(pixelFont(13)); // 10 points at 96 dpi
        box->resize(40, 21);
        box->hide();
        gaps_.append(box);
    }
    Container_Text->hide();
    ScrollBar->hide();
    Text->show();
    Text->Clear();
    // Geometry of the running cloze: 100 pixels short of the bottom, leaving room for buttons.
    Container_TestResize();
    const vellora::ClozeLayout layout = vellora::layOutCloze(
        lkt_.Text, Text->width(), [this](const QByteArray &w) { return Text->TextWidth(w); });
    Text->SetLayout(layout);
    for (int k = 0; k < gaps_.size() && k < layout.Boxes.size(); ++k) {
        const vellora::ClozeBox &b = layout.Boxes[k];
        gaps_[k]->setGeometry(b.Left, b.Top, b.Width, 21);
    }
    Next->hide();
    Caption->setText(headingOf(lkt_.Info));
    for (ZEdit *box : gaps_)
        box->show();
    placeBottomRight(Back);
    placeBottomRight(Finished);
    Finished->show();
    Container_Text->show();
    // Typing goes straight into the first gap; Tab walks on from there.
    const QList<ZEdit *> reachable = Text->ReachableGaps();
    if (!reachable.isEmpty())
        reachable.first()->setFocus(Qt::OtherFocusReason);
}

// --- Finishing -------------------------------------------------------------------------------

void TUebung::FinishedClick()
{
    if (listView_ != 0 || finished_ || FeedbackRunning())
        return;
    if (kind_ == RunKind::MultipleChoice) {
        if (mpc_.Current >= mpc_.Count)
            return;
        checkQuestion([this] { finish(); });
        return;
    }
    if (kind_ == RunKind::Cloze)
        finish();
}

void TUebung::finish()
{
    if (finished_)
        return;
    finished_ = true;
    switch (kind_) {
    case RunKind::SelfCheck:
        finishSelfCheck();
        break;
    case RunKind::MultipleChoice:
        finishMultipleChoice();
        break;
    case RunKind::Cloze:
        finishCloze();
        break;
    case RunKind::None:
        return;
    }
    storeResult();
}

void TUebung::finishSelfCheck()
{
    setQuestionText(resultSentence(slf_.Right, slf_.Count), 22);
    Caption->setText(headingOf(slf_.Info) + QStringLiteral(" - Ergebnis"));
    Container_Answere->hide();
    placeBottomRight(Back);
    Back->show();
    if (!wrong_.isEmpty()) {
        RepeatWrong->move(Back->x() - RepeatWrong->width() - 10, Back->y());
        RepeatWrong->show();
    }
    result_ = {slf_.Info.ID, vellora::resultTimeNow(), slf_.Count, slf_.Right};
}

void TUebung::finishMultipleChoice()
{
    Caption->setText(headingOf(mpc_.Info) + QStringLiteral(" - Ergebnis"));
    for (ZCheckBox *option : Options)
        option->hide();
    Question->SetFontColor(kTextColour);
    setQuestionText(resultSentence(mpc_.Right, mpc_.Count), 23);
    placeBottomRight(Back);
    Back->show();
    Finished->hide();
    Next->hide();
    if (mpc_.Count > 0) {
        ShowSolutions->move(Back->x() - ShowSolutions->width() - 10, Back->y());
        ShowSolutions->show();
    }
    result_ = {mpc_.Info.ID, vellora::resultTimeNow(), std::max(mpc_.Count, 1), mpc_.Right};
}

void TUebung::finishCloze()
{
    int right = 0;
    QList<bool> ok;
    for (int k = 0; k < gaps_.size(); ++k) {
        ZEdit *box = gaps_[k];
        box->Edit()->setReadOnly(true);
        ok.append(k < lkt_.Words.size() && vellora::clozeGapRight(box->Text(), lkt_.Words[k]));
        box->SetColor(ok[k] ? kRightColour : kWrongColour);
        if (ok[k])
            ++right;
    }
    // A wrong gap's first accepted answer goes beside its box; the text moves on to make room,
    // so the correction never covers the words behind the gap.
    QList<int> room;
    for (int k = 0; k < gaps_.size(); ++k) {
        QLabel *solution = ok[k] ? nullptr : newSolution(k);
        solutions_.append(solution);
        room.append(solution ? solution->width() + kSolutionGap : 0);
    }
    const vellora::ClozeLayout layout = vellora::layOutCloze(
        lkt_.Text, Text->width(), [this](const QByteArray &w) { return Text->TextWidth(w); }, room);
    Text->SetLayout(layout);
    for (int k = 0; k < gaps_.size() && k < layout.Boxes.size(); ++k) {
        const vellora::ClozeBox &b = layout.Boxes[k];
        gaps_[k]->setGeometry(b.Left, b.Top, b.Width, gaps_[k]->height());
    }
    for (int k = 0; k < gaps_.size(); ++k)
        markGap(k, ok[k]);
    Finished->hide();
    Back->show();
    result_ = {lkt_.Info.ID, vellora::resultTimeNow(), std::max(lkt_.Count, 1), right};
}

QLabel *TUebung::newSolution(int k)
{
    if (k >= lkt_.Words.size() || lkt_.Words[k].Words.isEmpty())
        return nullptr;
    auto *solution = new QLabel(vellora::fromCp1252(lkt_.Words[k].Words.first()), Text);
    solution->setFont(pixelFont(13));
    solution->setAutoFillBackground(true);
    QPalette palette = solution->palette();
    palette.setColor(QPalette::Window, kLight);
    palette.setColor(QPalette::WindowText, kTextColour);
    solution->setPalette(palette);
    solution->setFrameShape(QFrame::Box);
    solution->setContentsMargins(3, 0, 3, 0);
    solution->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    solution->setToolTip(QStringLiteral("Richtige Antwort"));
    solution->adjustSize();
    return solution;
}

// The sign sits at the box's right end, the correction (if any) in the room kept behind it.
void TUebung::markGap(int k, bool right)
{
    ZEdit *box = gaps_[k];
    auto *mark = new QLabel(right ? QStringLiteral("\u2713") : QStringLiteral("\u2717"), Text);
    mark->setFont(pixelFont(15));
    QPalette markPalette = mark->palette();
    markPalette.setColor(QPalette::WindowText, kTextColour);
    mark->setPalette(markPalette);
    mark->setAlignment(Qt::AlignCenter);
    mark->setGeometry(box->x() + box->width() - 18, box->y() + 1, 16, box->height() - 2);
    // The typed text keeps clear of the sign and shows from its start.
    box->Edit()->setTextMargins(0, 0, 16, 0);
    box->Edit()->setCursorPosition(0);
    mark->setAttribute(Qt::WA_TransparentForMouseEvents);
    mark->show();
    mark->raise();
    marks_.append(mark);

    if (QLabel *solution = solutions_.value(k)) {
        solution->setGeometry(box->x() + box->width() + kSolutionGap, box->y(), solution->width(),
                              box->height());
        solution->show();
        solution->raise();
    }
}

// --- Repeating the self-check's wrong cards ---------------------------------------------------

void TUebung::RepeatWrongClick()
{
    if (kind_ != RunKind::SelfCheck || !finished_ || repeating_ || wrong_.isEmpty())
        return;
    repeating_ = true;
    again_ = wrong_;
    againNext_.clear();
    againPos_ = 0;
    RepeatWrong->hide();
    Back->hide();
    showRepeatQuestion();
}

void TUebung::showRepeatQuestion()
{
    if (againPos_ >= again_.size()) {
        if (againNext_.isEmpty()) {
            // All marked right: back to the result, which was stored after the first pass.
            repeating_ = false;
            wrong_.clear();
            Container_Answere->hide();
            setQuestionText(QStringLiteral("Jetzt hast du alle Fragen richtig beantwortet."), 22);
            Caption->setText(headingOf(slf_.Info) + QStringLiteral(" - Ergebnis"));
            placeBottomRight(Back);
            Back->show();
            return;
        }
        again_ = againNext_;
        againNext_.clear();
        againPos_ = 0;
    }
    presentSelfCheckQuestion(
        again_[againPos_],
        headingOf(slf_.Info) +
            QStringLiteral(" - Wiederholung, Frage %1 von %2").arg(againPos_ + 1).arg(again_.size()));
}

// --- Solutions of a finished multiple-choice test ----------------------------------------------

void TUebung::ShowSolutionsClick()
{
    if (kind_ != RunKind::MultipleChoice || !finished_ || ticks_.isEmpty())
        return;
    ShowSolutions->hide();
    showSolution(0);
}

void TUebung::SolutionNextClick()
{
    if (solution_ >= 0 && solution_ + 1 < ticks_.size())
        showSolution(solution_ + 1);
}

void TUebung::SolutionBackClick()
{
    if (solution_ > 0)
        showSolution(solution_ - 1);
}

// Only shows: the result stays the one stored, and the boxes take no clicks.
void TUebung::showSolution(int index)
{
    solution_ = index;
    const vellora::TMPCQuestion &q = mpc_.Questions[index];
    const QList<bool> &ticked = ticks_[index];
    const bool right = vellora::tickedMask(ticked) == q.Answer;
    Question->SetFontColor(right ? kChoiceRight : kChoiceWrong);
    setQuestionText((right ? QStringLiteral("\u2713 ") : QStringLiteral("\u2717 ")) +
                        vellora::fromCp1252(q.Question),
                    23);
    Caption->setText(headingOf(mpc_.Info) +
                     QStringLiteral(" - Lösung %1 von %2").arg(index + 1).arg(ticks_.size()));
    int top = kOptionsTop;
    for (int k = 0; k < vellora::kMaxShownOptions; ++k) {
        ZCheckBox *option = Options[k];
        if (k >= q.Options.size()) {
            option->hide();
            continue;
        }
        const bool isRight = (q.Answer >> k) & 1;
        const bool tick = k < ticked.size() && ticked[k];
        QString caption = vellora::fromCp1252(q.Options[k]);
        if (isRight)
            caption.prepend(QStringLiteral("\u2713 "));
        else if (tick)
            caption.prepend(QStringLiteral("\u2717 "));
        option->SetCaption(caption);
        option->SetFontColor(isRight ? kChoiceRight : tick ? kChoiceWrong : kTextColour);
        option->SetChecked(tick);
        if (!option->property("focusBeforeSolution").isValid())
            option->setProperty("focusBeforeSolution", int(option->focusPolicy()));
        option->setFocusPolicy(Qt::NoFocus);
        option->move(option->x(), top);
        option->show();
        top += option->height() + 10;
    }
    SolutionBack->move(Back->x() - 2 * (SolutionNext->width() + 10), Back->y());
    SolutionNext->move(Back->x() - SolutionNext->width() - 10, Back->y());
    SolutionBack->setVisible(index > 0);
    SolutionNext->setVisible(index + 1 < ticks_.size());
}

void TUebung::hideSolutions()
{
    for (ZCheckBox *option : std::as_const(Options)) {
        option->SetFontColor(kTextColour);
        const QVariant focus = option->property("focusBeforeSolution");
        if (focus.isValid()) {
            option->setFocusPolicy(Qt::FocusPolicy(focus.toInt()));
            option->setProperty("focusBeforeSolution", QVariant());
        }
    }
    ShowSolutions->hide();
    SolutionNext->hide();
    SolutionBack->hide();
    solution_ = -1;
}

void TUebung::storeResult()
{
    if (!store_)
        return;
    // The store signs out and in again to write the file; the profile menu is then free again.
    store_->AddResult(result_);
    emit profileMenuLocked(false);
}

// --- Leaving ---------------------------------------------------------------------------------

void TUebung::closeTest()
{
    switch (kind_) {
    case RunKind::SelfCheck:
        Container_Question->hide();
        Container_Answere->hide();
        RepeatWrong->hide();
        repeating_ = false;
        wrong_.clear();
        slf_ = {};
        break;
    case RunKind::MultipleChoice:
        Container_Question->hide();
        hideSolutions();
        ticks_.clear();
        mpc_ = {};
        break;
    case RunKind::Cloze:
        qDeleteAll(gaps_);
        gaps_.clear();
        qDeleteAll(marks_);
        marks_.clear();
        for (QLabel *solution : std::as_const(solutions_))
            delete solution;
        solutions_.clear();
        lkt_ = {};
        Text->Clear();
        Text->hide();
        break;
    case RunKind::None:
        break;
    }
}

void TUebung::BackClick()
{
    if (listView_ != 0 || !finished_ || repeating_ || FeedbackRunning())
        return;
    closeTest();
    kind_ = RunKind::None;
    finished_ = false;
    Container_TestResize();
    emit areaMenuLocked(false);
    Menu->SetEnabled(true);
    Back->hide();
    IntroductionClick();
}

void TUebung::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), kBackground);
}

void TUebung::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    vellora::alignChildren(this);
    Container_TestResize();
}
