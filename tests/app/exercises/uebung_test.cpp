#include "u_uebung.h"

#include "Button.h"
#include "CheckBox.h"
#include "Edit.h"
#include "Memo.h"
#include "ProgressBar.h"
#include "ScrollBar.h"
#include "ShadowPanel.h"
#include "controls.h"
#include "profilestore.h"
#include "uebungcontrols.h"

#include "support/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace vellora;

namespace {

const QColor kText(15, 29, 69);
const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

QByteArray id16(const char *id)
{
    QByteArray b(id);
    b = b.leftJustified(16, '-', true);
    return b;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TSLFTest selfCheck(const QByteArray &id, const QByteArray &title, int questions)
{
    TSLFTest t;
    t.Info = {id16(id), title};
    for (int i = 0; i < questions; ++i)
        t.Questions.append(
            {"Frage " + QByteArray::number(i + 1) + "?", "Antwort " + QByteArray::number(i + 1) + "."});
    t.Count = int32_t(t.Questions.size());
    return t;
}

TMPCTest multipleChoice(const QByteArray &id, const QList<TMPCQuestion> &questions)
{
    TMPCTest t;
    t.Info = {id16(id), "Organellen"};
    t.Questions = questions;
    t.Count = int32_t(questions.size());
    return t;
}

TMPCQuestion choice(uint16_t mask, int options)
{
    TMPCQuestion q;
    q.Question = "Welche Organellen haben eine doppelte Membran?";
    q.Answer = mask;
    for (int k = 0; k < options; ++k)
        q.Options.append("Antwort " + QByteArray::number(k));
    q.Count = int32_t(q.Options.size());
    return q;
}

// A left click as the pointer makes it: press and release over the widget.
void click(QWidget *w)
{
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
}

// Cloze with four gaps: Zellkern, Äpfel (cp1252), Zellwand/Wand, Chloroplasten.
TLKTTest cloze()
{
    TLKTTest t;
    t.Info = {id16("LZELLE"), "Die Pflanzenzelle"};
    t.Text =
        "Der #8 steuert die Zelle. Im Herbst fallen #6 vom Baum. Die #8 gibt Halt, die #13 machen Zucker.";
    t.Words = {TWord{1, {"Zellkern"}}, TWord{1, {"\xC4pfel"}}, TWord{2, {"Zellwand", "Wand"}},
               TWord{1, {"Chloroplasten"}}};
    t.Count = 4;
    return t;
}

// The screen on a store in a temporary folder; tests write their test files beside the
// executable, where the program looks for its "tests" folder.
class UebungTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(profiles.isValid());
        ASSERT_TRUE(folder.isValid());
        store = std::make_unique<TProfileStore>(profiles.path());
        store->LoadProfileIndex();
        ASSERT_TRUE(store->EnsureFolder());
        screen = std::make_unique<TUebung>();
        screen->resize(1024, 723);
        screen->SetStore(store.get());
        QObject::connect(screen.get(), &TUebung::messageRequested,
                         [this](const QString &title, const QString &text, QWidget *) {
                             messages.append({title, text});
                         });
        QObject::connect(screen.get(), &TUebung::areaMenuLocked,
                         [this](bool locked) { areaLocks.append(locked); });
        screen->show();
    }

    void TearDown() override { screen.reset(); }

    // A list test of the program: tests/test<n> + the kind's extension.
    void writeListTest(TestKind kind, int n, const QByteArray &bytes)
    {
        folder.write(QString("tests/test%1").arg(n) + testExtension(kind), bytes);
    }

    void signIn()
    {
        ASSERT_TRUE(store->CreateProfile("Anna", "geheim1"));
        ASSERT_TRUE(store->SignIn(store->FindProfile("Anna", "geheim1")));
    }

    qint64 profileSize() const { return QFileInfo(store->Folder() + store->Active().FileName).size(); }

    QString writeTest(const QString &name, const QByteArray &bytes)
    {
        const QString path = own.filePath(name);
        writeBytes(path, bytes);
        return path;
    }

    void tick(std::initializer_list<int> boxes)
    {
        for (int k : boxes)
            screen->Options[k]->SetChecked(true);
    }

    vellora::test::ProgramFolder folder;
    QTemporaryDir profiles;
    QTemporaryDir own;
    std::unique_ptr<TProfileStore> store;
    std::unique_ptr<TUebung> screen;
    QList<QPair<QString, QString>> messages;
    QList<bool> areaLocks;
};

TEST_F(UebungTest, StartingWhileSignedOutOnlyTellsTheLearner)
{
    writeListTest(TestKind::MultipleChoice, 0,
                  serializeMultipleChoiceTest(multipleChoice("MEINS", {choice(3, 4)})));
    screen->ShowTestList(RunKind::MultipleChoice);
    screen->TestClick(0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0].first, "Bitte anmelden!");
    EXPECT_EQ(messages[0].second, "Du musst dich anmelden, bevor du einen Test starten kannst.");
    EXPECT_EQ(screen->ListView(), 2);
    EXPECT_TRUE(screen->Menu->isEnabled());
    EXPECT_TRUE(areaLocks.isEmpty());
    EXPECT_TRUE(screen->Tests[0]->isVisible());
    EXPECT_FALSE(screen->Container_Question->isVisible());
    EXPECT_EQ(screen->Kind(), RunKind::MultipleChoice); // the list's kind, no test
}

TEST_F(UebungTest, SelfCheckRunsEveryQuestionAndStoresTheLearnersMarks)
{
    signIn();
    const qint64 before = profileSize();
    screen->StartTest(writeTest("zelle.slf", serializeSelfCheckTest(selfCheck("SZELLE", "Zellkern", 3))));
    EXPECT_EQ(areaLocks, QList<bool>{true});
    EXPECT_FALSE(screen->Menu->isEnabled());
    EXPECT_EQ(screen->ListView(), 0);
    EXPECT_FALSE(screen->Container_Text->isVisible());

    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(screen->Caption->text(), QString("Zellkern - Frage %1 von 3").arg(i));
        EXPECT_EQ(screen->Question->Text(), QString("Frage %1?").arg(i));
        EXPECT_EQ(screen->Container_Question->height(), 23 * screen->Question->LineCount());
        EXPECT_EQ(screen->Container_Answere->height(), 42); // only "Antwort anzeigen"
        EXPECT_GE(screen->Right->y(), 42);
        EXPECT_GE(screen->Wrong->y(), 42);
        screen->ShowAnswere->OnClick(screen->ShowAnswere);
        EXPECT_EQ(screen->Answere->Text(), QString("Antwort %1.").arg(i));
        EXPECT_EQ(screen->Container_Answere->height(), 22 * screen->Answere->LineCount() + 94);
        EXPECT_EQ(screen->Right->y() + screen->Right->height(), screen->Container_Answere->height());
        if (i == 2)
            screen->Wrong->OnClick(screen->Wrong);
        else if (i == 3) {
            const int32_t earliest = resultTimeNow();
            screen->Right->OnClick(screen->Right);
            // Finished now: the time is the local wall clock's distance from 1970-01-01 01:00.
            ASSERT_EQ(store->Results().size(), 1);
            EXPECT_GE(store->Results()[0].Time, earliest);
            EXPECT_LE(store->Results()[0].Time, resultTimeNow());
        } else
            screen->Right->OnClick(screen->Right);
    }
    EXPECT_EQ(screen->Caption->text(), "Zellkern - Ergebnis");
    EXPECT_EQ(screen->Question->Text(), "Du hast 2 von 3 Fragen richtig beantwortet.");
    EXPECT_EQ(screen->Container_Question->height(), 22 * screen->Question->LineCount());
    EXPECT_FALSE(screen->Container_Answere->isVisible());
    EXPECT_TRUE(screen->Back->isVisible());
    EXPECT_EQ(screen->Back->x(), screen->Container_Test->width() - screen->Back->width() - 30);
    EXPECT_EQ(screen->Back->y(), screen->height() - screen->Back->height() - 20);

    ASSERT_EQ(store->Results().size(), 1);
    EXPECT_EQ(store->Results()[0].TestID, id16("SZELLE"));
    EXPECT_EQ(store->Results()[0].Total, 3);
    EXPECT_EQ(store->Results()[0].Right, 2);
    EXPECT_EQ(profileSize(), before + 28);
    EXPECT_EQ(screen->Bar_SLF->Max(), 100);
    EXPECT_EQ(screen->Bar_SLF->Pos(), 67);
    EXPECT_FALSE(screen->Menu->isEnabled()); // until "Zurück zur Einleitung"

    screen->Back->OnClick(screen->Back);
    EXPECT_EQ(areaLocks, (QList<bool>{true, false}));
    EXPECT_TRUE(screen->Menu->isEnabled());
    EXPECT_EQ(screen->Kind(), RunKind::None);
    EXPECT_EQ(screen->ListView(), 4);
    EXPECT_EQ(screen->Caption->text(), "Einleitung");
    EXPECT_FALSE(screen->Container_Question->isVisible());
    EXPECT_FALSE(screen->Back->isVisible());
    EXPECT_TRUE(screen->Container_Text->isVisible());
    EXPECT_EQ(screen->SLF().Count, 0);
}

TEST_F(UebungTest, WrongCardsComeAgainUntilAllAreMarkedRight)
{
    signIn();
    screen->StartTest(writeTest("karten.slf", serializeSelfCheckTest(selfCheck("SKARTE", "Zellkern", 4))));
    // First pass: right, wrong, wrong, right.
    for (bool right : {true, false, false, true}) {
        EXPECT_FALSE(screen->RepeatWrong->isVisible());
        ZButton *mark = right ? screen->Right : screen->Wrong;
        mark->OnClick(mark);
    }
    ASSERT_TRUE(screen->RepeatWrong->isVisible());
    ASSERT_EQ(store->Results().size(), 1);
    EXPECT_EQ(store->Results()[0].Right, 2);
    const qint64 stored = profileSize();

    click(screen->RepeatWrong);
    EXPECT_TRUE(screen->Repeating());
    EXPECT_FALSE(screen->Back->isVisible());
    screen->Back->OnClick(screen->Back); // no way out in the middle of a round
    EXPECT_TRUE(screen->Repeating());
    // Each round asks what was marked "falsch" in the one before, in order.
    const struct
    {
        QString caption;
        QString question;
        bool right;
    } steps[] = {
        {"Zellkern - Wiederholung, Frage 1 von 2", "Frage 2?", false},
        {"Zellkern - Wiederholung, Frage 2 von 2", "Frage 3?", true},
        {"Zellkern - Wiederholung, Frage 1 von 1", "Frage 2?", false},
        {"Zellkern - Wiederholung, Frage 1 von 1", "Frage 2?", true},
    };
    for (const auto &step : steps) {
        EXPECT_EQ(screen->Caption->text(), step.caption);
        EXPECT_EQ(screen->Question->Text(), step.question);
        EXPECT_TRUE(screen->Container_Answere->isVisible());
        screen->ShowAnswere->OnClick(screen->ShowAnswere);
        EXPECT_EQ(screen->Answere->Text(),
                  QString(step.question).replace("Frage", "Antwort").replace("?", "."));
        EXPECT_GT(screen->Container_Answere->height(), 42);
        ZButton *mark = step.right ? screen->Right : screen->Wrong;
        mark->OnClick(mark);
    }
    EXPECT_FALSE(screen->Repeating());
    EXPECT_EQ(screen->Caption->text(), "Zellkern - Ergebnis");
    EXPECT_EQ(screen->Question->Text(), "Jetzt hast du alle Fragen richtig beantwortet.");
    EXPECT_FALSE(screen->Container_Answere->isVisible());
    EXPECT_FALSE(screen->RepeatWrong->isVisible());
    EXPECT_TRUE(screen->Back->isVisible());
    // The first pass stays what is stored.
    EXPECT_EQ(profileSize(), stored);
    ASSERT_EQ(store->Results().size(), 1);
    EXPECT_EQ(store->Results()[0].Right, 2);
    EXPECT_EQ(store->Results()[0].Total, 4);

    screen->Back->OnClick(screen->Back);
    EXPECT_EQ(screen->Kind(), RunKind::None);
    // A test with every card right offers no repetition.
    screen->StartTest(writeTest("alle.slf", serializeSelfCheckTest(selfCheck("SALLE", "Zellkern", 1))));
    screen->Right->OnClick(screen->Right);
    EXPECT_TRUE(screen->Back->isVisible());
    EXPECT_FALSE(screen->RepeatWrong->isVisible());
}

TEST_F(UebungTest, SelfCheckWithoutQuestionsFinishesAtOnce)
{
    signIn();
    screen->StartTest(writeTest("leer.slf", serializeSelfCheckTest(selfCheck("SLEER", "Leer", 0))));
    EXPECT_EQ(screen->Question->Text(), "Du hast 0 von 0 Fragen richtig beantwortet.");
    ASSERT_EQ(store->Results().size(), 1);
    EXPECT_EQ(store->Results()[0].Total, 0);
    EXPECT_EQ(screen->Bar_SLF->Pos(), 0);
    EXPECT_EQ(screen->Bar_SLF->Max(), 100);
}

TEST_F(UebungTest, OnlyTheExactSetOfOptionsScores)
{
    struct Case
    {
        uint16_t mask;
        int options;
        std::initializer_list<int> ticked;
        bool right;
    };
    const Case cases[] = {
        {3, 4, {0, 1}, true},        {3, 4, {0}, false}, {3, 4, {1, 2}, false}, {3, 4, {0, 1, 2}, false},
        {3, 4, {0, 1, 2, 3}, false}, {0, 3, {}, true},   {0, 3, {2}, false},    {5, 3, {0, 2}, true},
    };
    signIn();
    int n = 0;
    for (const Case &c : cases) {
        const QString path =
            writeTest(QString("t%1.mpc").arg(n++),
                      serializeMultipleChoiceTest(multipleChoice("MMASKE", {choice(c.mask, c.options)})));
        screen->StartTest(path);
        ASSERT_TRUE(screen->Finished->isVisible());
        EXPECT_FALSE(screen->Next->isVisible());
        tick(c.ticked);
        screen->Finished->OnClick(screen->Finished);
        ASSERT_TRUE(screen->FeedbackRunning());
        EXPECT_EQ(screen->Question->FontColor(), c.right ? kGreen : kRed) << "mask " << c.mask;
        // The sign says it too, for those who cannot tell red from green.
        EXPECT_EQ(screen->Question->Text(),
                  (c.right ? QStringLiteral("\u2713 ") : QStringLiteral("\u2717 ")) +
                      "Welche Organellen haben eine doppelte Membran?")
            << "mask " << c.mask;
        screen->FeedbackDone();
        EXPECT_EQ(screen->Question->FontColor(), kText);
        EXPECT_EQ(screen->Caption->text(), "Organellen - Ergebnis");
        ASSERT_FALSE(store->Results().isEmpty());
        EXPECT_EQ(store->Results().last().Right, c.right ? 1 : 0) << "mask " << c.mask;
        EXPECT_EQ(store->Results().last().Total, 1);
        screen->Back->OnClick(screen->Back);
    }
}

TEST_F(UebungTest, MultipleChoiceStepsThroughItsQuestionsWithFeedback)
{
    signIn();
    TMPCQuestion many = choice(1, 18);
    many.Options[3] =
        "Eine Antwort, die so lang ist, dass sie auf der schmalen Fläche in mehrere Zeilen umbrechen muss, "
        "damit man sie ganz lesen kann.";
    screen->StartTest(
        writeTest("zwei.mpc", serializeMultipleChoiceTest(multipleChoice("MZWEI", {many, choice(2, 2)}))));
    EXPECT_EQ(screen->Caption->text(), "Organellen - Frage 1 von 2");
    EXPECT_TRUE(screen->Next->isVisible());
    EXPECT_FALSE(screen->Finished->isVisible());
    // More than 16 options: the first 16 are shown, stacked by their own heights.
    int top = 200;
    for (int k = 0; k < 16; ++k) {
        ASSERT_TRUE(screen->Options[k]->isVisible()) << k;
        if (k != 3) {
            EXPECT_EQ(screen->Options[k]->Caption(), QString("Antwort %1").arg(k));
        }
        EXPECT_EQ(screen->Options[k]->y(), top) << k;
        top += screen->Options[k]->height() + 10;
    }
    EXPECT_TRUE(screen->Options[3]->Caption().startsWith("Eine Antwort, die so lang"));
    EXPECT_GT(screen->Options[3]->height(), 22);

    tick({0});
    screen->Next->OnClick(screen->Next);
    ASSERT_TRUE(screen->FeedbackRunning());
    EXPECT_EQ(screen->Question->FontColor(), kGreen);
    // Meanwhile the screen takes no input: neither a tick nor a second "Weiter".
    click(screen->Options[1]);
    EXPECT_FALSE(screen->Options[1]->Checked());
    screen->Next->OnClick(screen->Next);
    EXPECT_EQ(screen->MPC().Current, 0);

    screen->FeedbackDone();
    EXPECT_EQ(screen->Caption->text(), "Organellen - Frage 2 von 2");
    EXPECT_EQ(screen->Question->FontColor(), kText);
    EXPECT_TRUE(screen->Options[1]->isVisible());
    EXPECT_FALSE(screen->Options[0]->Checked());
    EXPECT_FALSE(screen->Options[2]->isVisible());
    EXPECT_TRUE(screen->Finished->isVisible());
    EXPECT_FALSE(screen->Next->isVisible());
    // Input counts again once the second is over.
    click(screen->Options[0]);
    EXPECT_TRUE(screen->Options[0]->Checked());

    screen->Finished->OnClick(screen->Finished);
    EXPECT_EQ(screen->Question->FontColor(), kRed);
    screen->FeedbackDone();
    EXPECT_EQ(screen->Question->Text(), "Du hast 1 von 2 Fragen richtig beantwortet.");
    for (ZCheckBox *option : screen->Options)
        EXPECT_FALSE(option->isVisible());
    EXPECT_FALSE(screen->Finished->isVisible());
    EXPECT_TRUE(screen->Back->isVisible());
    ASSERT_EQ(store->Results().size(), 1);
    EXPECT_EQ(store->Results()[0].Total, 2);
    EXPECT_EQ(store->Results()[0].Right, 1);
}

TEST_F(UebungTest, SolutionsShowEachQuestionsRightOptionsAndWrongTicks)
{
    signIn();
    screen->StartTest(writeTest(
        "loesung.mpc", serializeMultipleChoiceTest(multipleChoice("MLOES", {choice(3, 4), choice(2, 2)}))));
    // First question: 0 and 1 are right, 0 and 2 ticked; second: 1 right and ticked.
    tick({0, 2});
    screen->Next->OnClick(screen->Next);
    screen->FeedbackDone();
    EXPECT_FALSE(screen->ShowSolutions->isVisible());
    tick({1});
    screen->Finished->OnClick(screen->Finished);
    screen->FeedbackDone();
    ASSERT_TRUE(screen->ShowSolutions->isVisible());
    const qint64 stored = profileSize();
    EXPECT_EQ(screen->SolutionShown(), -1);

    click(screen->ShowSolutions);
    EXPECT_EQ(screen->SolutionShown(), 0);
    EXPECT_FALSE(screen->ShowSolutions->isVisible());
    EXPECT_EQ(screen->Caption->text(), "Organellen - Lösung 1 von 2");
    EXPECT_TRUE(screen->Question->Text().startsWith(QStringLiteral("\u2717 ")));
    EXPECT_EQ(screen->Question->FontColor(), kRed);
    const struct
    {
        QString caption;
        bool checked;
        QColor colour;
    } first[] = {{"\u2713 Antwort 0", true, kGreen},
                 {"\u2713 Antwort 1", false, kGreen},
                 {"\u2717 Antwort 2", true, kRed},
                 {"Antwort 3", false, kText}};
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(screen->Options[k]->isVisible()) << k;
        EXPECT_EQ(screen->Options[k]->Caption(), first[k].caption) << k;
        EXPECT_EQ(screen->Options[k]->Checked(), first[k].checked) << k;
        EXPECT_EQ(screen->Options[k]->FontColor(), first[k].colour) << k;
    }
    // The boxes only show: a click does not tick.
    click(screen->Options[3]);
    EXPECT_FALSE(screen->Options[3]->Checked());
    EXPECT_FALSE(screen->SolutionBack->isVisible());
    ASSERT_TRUE(screen->SolutionNext->isVisible());
    EXPECT_TRUE(screen->Back->isVisible());

    click(screen->SolutionNext);
    EXPECT_EQ(screen->Caption->text(), "Organellen - Lösung 2 von 2");
    EXPECT_TRUE(screen->Question->Text().startsWith(QStringLiteral("\u2713 ")));
    EXPECT_EQ(screen->Options[0]->Caption(), "Antwort 0");
    EXPECT_EQ(screen->Options[0]->FontColor(), kText);
    EXPECT_EQ(screen->Options[1]->Caption(), QStringLiteral("\u2713 Antwort 1"));
    EXPECT_TRUE(screen->Options[1]->Checked());
    EXPECT_FALSE(screen->Options[2]->isVisible());
    EXPECT_FALSE(screen->SolutionNext->isVisible());
    ASSERT_TRUE(screen->SolutionBack->isVisible());

    click(screen->SolutionBack);
    EXPECT_EQ(screen->SolutionShown(), 0);
    EXPECT_EQ(screen->Options[2]->Caption(), QStringLiteral("\u2717 Antwort 2"));

    // Looking changes nothing stored.
    EXPECT_EQ(profileSize(), stored);
    ASSERT_EQ(store->Results().size(), 1);
    EXPECT_EQ(store->Results()[0].Right, 1);

    screen->Back->OnClick(screen->Back);
    EXPECT_EQ(screen->SolutionShown(), -1);
    for (ZButton *b : {screen->ShowSolutions, screen->SolutionNext, screen->SolutionBack})
        EXPECT_FALSE(b->isVisible());
    // The next test's boxes are plain and take clicks again.
    screen->StartTest(
        writeTest("wieder.mpc", serializeMultipleChoiceTest(multipleChoice("MWIEDER", {choice(1, 2)}))));
    EXPECT_EQ(screen->Options[0]->FontColor(), kText);
    click(screen->Options[0]);
    EXPECT_TRUE(screen->Options[0]->Checked());
}

TEST_F(UebungTest, ClozeGradesEachGapAndColoursItsBox)
{
    signIn();
    const qint64 before = profileSize();
    screen->StartTest(writeTest("Zelle.LKT", serializeClozeTest(cloze())));
    EXPECT_EQ(screen->Kind(), RunKind::Cloze);
    EXPECT_EQ(screen->Caption->text(), "Die Pflanzenzelle");
    ASSERT_EQ(screen->GapBoxes().size(), 4);
    EXPECT_TRUE(screen->Text->isVisible());
    EXPECT_TRUE(screen->Finished->isVisible());
    EXPECT_FALSE(screen->Back->isVisible());
    EXPECT_EQ(screen->Container_Text->height(), screen->height() - 90 - 100);
    for (ZEdit *box : screen->GapBoxes()) {
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->height(), 21);
        EXPECT_EQ(box->y() % 22, 0);
    }
    // The first gap sits right after "Der " and is as wide as 16 blanks of the text's font.
    EXPECT_EQ(screen->GapBoxes()[0]->x(), screen->Text->TextWidth("Der "));
    EXPECT_EQ(screen->GapBoxes()[0]->width(), screen->Text->TextWidth(QByteArray(16, ' ')));

    screen->GapBoxes()[0]->SetText("zellkern ");
    screen->GapBoxes()[1]->SetText("äpfel");
    screen->GapBoxes()[2]->SetText("WAND");
    screen->GapBoxes()[3]->SetText("Chloroplast");
    screen->Finished->OnClick(screen->Finished);

    const QColor green(109, 228, 89), red(218, 69, 69);
    EXPECT_EQ(screen->GapBoxes()[0]->Color(), green);
    EXPECT_EQ(screen->GapBoxes()[1]->Color(), green);
    EXPECT_EQ(screen->GapBoxes()[2]->Color(), green);
    EXPECT_EQ(screen->GapBoxes()[3]->Color(), red);
    for (ZEdit *box : screen->GapBoxes())
        EXPECT_TRUE(box->Edit()->isReadOnly());
    // Each box carries its sign; only the wrong one shows its first accepted answer beside it.
    const struct
    {
        QString sign;
        QString solution;
    } marked[] = {{"\u2713", {}}, {"\u2713", {}}, {"\u2713", {}}, {"\u2717", "Chloroplasten"}};
    for (int k = 0; k < 4; ++k) {
        const ZEdit *box = screen->GapBoxes()[k];
        QLabel *mark = screen->GapMark(k);
        ASSERT_NE(mark, nullptr) << k;
        EXPECT_EQ(mark->text(), marked[k].sign) << k;
        EXPECT_TRUE(mark->isVisible()) << k;
        EXPECT_TRUE(box->geometry().contains(mark->geometry())) << k;
        QLabel *solution = screen->GapSolution(k);
        if (marked[k].solution.isEmpty()) {
            EXPECT_EQ(solution, nullptr) << k;
            continue;
        }
        ASSERT_NE(solution, nullptr) << k;
        EXPECT_EQ(solution->text(), marked[k].solution);
        EXPECT_TRUE(solution->isVisible());
        EXPECT_EQ(solution->y(), box->y());
        EXPECT_FALSE(solution->geometry().intersects(box->geometry()));
        EXPECT_LE(solution->geometry().right(), screen->Text->width());
        // The words behind the gap moved on: none starts under the correction.
        for (const vellora::ClozePiece &piece : screen->Text->Layout().Pieces) {
            if (piece.Line * vellora::kClozeLineHeight == box->y() && piece.X > box->x()) {
                EXPECT_GT(piece.X, solution->geometry().right()) << piece.Bytes.toStdString();
            }
        }
    }
    EXPECT_EQ(screen->Caption->text(), "Die Pflanzenzelle");
    EXPECT_FALSE(screen->Finished->isVisible());
    EXPECT_TRUE(screen->Back->isVisible());
    ASSERT_EQ(store->Results().size(), 1);
    EXPECT_EQ(store->Results()[0].Total, 4);
    EXPECT_EQ(store->Results()[0].Right, 3);
    EXPECT_EQ(profileSize(), before + 28);
    EXPECT_EQ(screen->Bar_LKT->Pos(), 75);

    screen->Back->OnClick(screen->Back);
    EXPECT_TRUE(screen->GapBoxes().isEmpty());
    EXPECT_EQ(screen->GapMark(0), nullptr);
    EXPECT_EQ(screen->GapSolution(3), nullptr);
    EXPECT_FALSE(screen->Text->isVisible());
    EXPECT_EQ(screen->Container_Text->height(), screen->height() - 90 - 50);
}

// Cloze whose gaps fall on more than one line: Zellkern, Zellwand, Chloroplasten, Vakuole.
TLKTTest clozeOnLines()
{
    TLKTTest t;
    t.Info = {id16("LTASTATUR"), "Ohne Maus"};
    t.Text = "Im #8 liegt das Erbgut. Die Zelle hat eine feste #8 aus Cellulose. In den #14 entsteht "
             "Zucker, und die #8 speichert Wasser.";
    t.Words = {TWord{1, {"Zellkern"}}, TWord{1, {"Zellwand"}}, TWord{1, {"Chloroplasten"}},
               TWord{1, {"Vakuole"}}};
    t.Count = 4;
    return t;
}

// Typed key by key through the window, as the platform delivers it to the focused control.
void typeInto(QWindow *window, const QString &text)
{
    for (const QChar c : text)
        QTest::keyClick(window, c.toLatin1());
}

QWidget *focused()
{
    return QApplication::focusWidget();
}

// The gap box holding the keyboard focus, or -1.
int focusedGap(const QList<ZEdit *> &gaps)
{
    for (int k = 0; k < gaps.size(); ++k)
        if (gaps[k]->Edit() == focused())
            return k;
    return -1;
}

// A pupil without a mouse: the first gap has the focus, Tab and Shift+Tab walk the gaps in
// reading order and wrap round, typing fills the focused gap, and the focused gap alone wears
// the focus frame. Another control of the window is never reached.
TEST_F(UebungTest, ClozeIsFilledFromTheKeyboardAlone)
{
    signIn();
    QLineEdit elsewhere(screen.get()); // any other control that could take the focus
    elsewhere.setGeometry(300, 5, 80, 20);
    elsewhere.show();
    screen->activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), screen.get());
    QWindow *window = screen->windowHandle();

    screen->StartTest(writeTest("Tastatur.lkt", serializeClozeTest(clozeOnLines())));
    QApplication::processEvents();
    const QList<ZEdit *> gaps = screen->GapBoxes();
    ASSERT_EQ(gaps.size(), 4);
    // Reading order is not left to right alone: a later gap sits on a lower line further left.
    bool lowerAndLeft = false;
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            lowerAndLeft = lowerAndLeft || (gaps[b]->y() > gaps[a]->y() && gaps[b]->x() < gaps[a]->x());
    ASSERT_TRUE(lowerAndLeft) << "fixture";

    const QColor focusFrame(190, 75, 0);
    auto expectFocusOn = [&](int k, const char *step) {
        QApplication::processEvents();
        EXPECT_EQ(focusedGap(gaps), k) << step;
        const QImage shot = screen->Text->grab().toImage();
        for (int j = 0; j < gaps.size(); ++j) {
            EXPECT_EQ(gaps[j]->FocusShown(), j == k) << step << ", gap " << j;
            // The frame's inner ring lies on the box's white face when unfocused.
            const QPoint edge = gaps[j]->geometry().topLeft() + QPoint(1, 10);
            const QColor seen = shot.pixelColor(edge);
            if (j == k)
                EXPECT_EQ(seen, focusFrame) << step << ", gap " << j;
            else
                EXPECT_NE(seen, focusFrame) << step << ", gap " << j;
        }
    };

    expectFocusOn(0, "start");
    const char *typed[] = {"zellkern", "Zellwand", "Mitochondrien", "Vakuole"};
    for (int k = 0; k < 4; ++k) {
        typeInto(window, QString::fromLatin1(typed[k]));
        QTest::keyClick(window, Qt::Key_Tab);
        expectFocusOn((k + 1) % 4, typed[k]);
    }
    QTest::keyClick(window, Qt::Key_Backtab, Qt::ShiftModifier);
    expectFocusOn(3, "back over the start");
    QTest::keyClick(window, Qt::Key_Backtab, Qt::ShiftModifier);
    expectFocusOn(2, "back once more");
    EXPECT_FALSE(elsewhere.hasFocus());
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(gaps[k]->Text(), QString::fromLatin1(typed[k])) << k;

    screen->Finished->OnClick(screen->Finished);
    ASSERT_EQ(store->Results().size(), 1);
    EXPECT_EQ(store->Results()[0].Total, 4);
    EXPECT_EQ(store->Results()[0].Right, 3);

    // With the correction shown the boxes are read-only; the keyboard still walks them.
    expectFocusOn(2, "after Fertig!");
    QTest::keyClick(window, Qt::Key_Tab);
    expectFocusOn(3, "after Fertig!, Tab");
    typeInto(window, QStringLiteral("x"));
    EXPECT_EQ(gaps[3]->Text(), QStringLiteral("Vakuole"));
}

// Tab passes over gap boxes the pupil cannot see or use: one cut off below the panel, one
// disabled, one hidden; Shift+Tab the same way back.
TEST_F(UebungTest, TabPassesOverGapsOutOfReach)
{
    signIn();
    screen->activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), screen.get());
    QWindow *window = screen->windowHandle();

    TLKTTest t = clozeOnLines();
    t.Text = "Im #8 liegt das Erbgut, die #8 gibt Halt, die #14 machen Zucker.";
    for (int i = 0; i < 400; ++i)
        t.Text += " Wasser";
    t.Text += " in der #8 .";
    screen->StartTest(writeTest("Lang.lkt", serializeClozeTest(t)));
    QApplication::processEvents();
    const QList<ZEdit *> gaps = screen->GapBoxes();
    ASSERT_EQ(gaps.size(), 4);
    ASSERT_GT(gaps[3]->y(), screen->Text->height()) << "fixture: the last gap lies below the panel";
    ASSERT_EQ(focusedGap(gaps), 0);

    const struct
    {
        const char *name;
        int disabled, hidden;
        QList<int> forward, backward; // the focus after each Tab, each Shift+Tab, from gap 0
    } cases[] = {
        {"all in reach but the cut-off one", -1, -1, {1, 2, 0}, {2, 1, 0}},
        {"second gap disabled", 1, -1, {2, 0}, {2, 0}},
        {"third gap hidden", -1, 2, {1, 0}, {1, 0}},
    };
    for (const auto &c : cases) {
        for (ZEdit *box : gaps) {
            box->setEnabled(true);
            box->show();
        }
        if (c.disabled >= 0)
            gaps[c.disabled]->setEnabled(false);
        if (c.hidden >= 0)
            gaps[c.hidden]->hide();
        gaps[0]->setFocus();
        for (int k : c.forward) {
            QTest::keyClick(window, Qt::Key_Tab);
            EXPECT_EQ(focusedGap(gaps), k) << c.name << ", Tab";
        }
        gaps[0]->setFocus();
        for (int k : c.backward) {
            QTest::keyClick(window, Qt::Key_Backtab, Qt::ShiftModifier);
            EXPECT_EQ(focusedGap(gaps), k) << c.name << ", Shift+Tab";
        }
    }
}

// Keys reach only gap boxes: on a self-check or multiple-choice test, straight after a cloze
// test that held the focus, no key answers, ticks or goes on, and Tab finds nothing to focus.
TEST_F(UebungTest, OtherTestsTakeNoKeys)
{
    signIn();
    screen->activateWindow();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), screen.get());
    QWindow *window = screen->windowHandle();

    const struct
    {
        const char *name;
        QString file;
        QByteArray bytes;
    } tests[] = {
        {"self-check", "eins.slf", serializeSelfCheckTest(selfCheck("SEINS", "Zellkern", 2))},
        {"multiple choice", "eins.mpc",
         serializeMultipleChoiceTest(multipleChoice("MEINS", {choice(1, 3), choice(2, 2)}))},
    };
    for (const auto &t : tests) {
        screen->StartTest(writeTest("vorher.lkt", serializeClozeTest(clozeOnLines())));
        ASSERT_FALSE(screen->GapBoxes().isEmpty());
        screen->Finished->OnClick(screen->Finished);
        screen->Back->OnClick(screen->Back);
        screen->StartTest(writeTest(t.file, t.bytes));
        QApplication::processEvents();
        const QString caption = screen->Caption->text();
        const int answerHeight = screen->Container_Answere->height();
        const qsizetype stored = store->Results().size();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Tab, Qt::Key_Backtab,
                            Qt::Key_Down, Qt::Key_R, Qt::Key_1}) {
            QTest::keyClick(window, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            QApplication::processEvents();
            EXPECT_EQ(screen->Caption->text(), caption) << t.name << ", key " << key;
            EXPECT_EQ(screen->Container_Answere->height(), answerHeight) << t.name << ", key " << key;
            EXPECT_FALSE(screen->FeedbackRunning()) << t.name << ", key " << key;
            for (ZCheckBox *option : screen->Options)
                EXPECT_FALSE(option->Checked()) << t.name << ", key " << key;
            QWidget *focus = QApplication::focusWidget();
            EXPECT_TRUE(focus == nullptr || !focus->isVisible()) << t.name << ", key " << key;
        }
        EXPECT_EQ(store->Results().size(), stored) << t.name << ": nothing finished by a key";
        // Finished with the mouse, so the next round starts from the introduction.
        if (screen->Kind() == RunKind::SelfCheck) {
            for (int q = 0; q < 2; ++q) {
                screen->ShowAnswere->OnClick(screen->ShowAnswere);
                screen->Right->OnClick(screen->Right);
            }
        } else {
            screen->Next->OnClick(screen->Next);
            screen->FeedbackDone();
            screen->Finished->OnClick(screen->Finished);
            screen->FeedbackDone();
        }
        screen->Back->OnClick(screen->Back);
        ASSERT_EQ(screen->Kind(), RunKind::None) << t.name;
    }
}

TEST_F(UebungTest, ListKeepsFixedSlotsAndShowsEachTestsAverage)
{
    for (int n : {0, 1, 5})
        writeListTest(TestKind::SelfCheck, n,
                      serializeSelfCheckTest(selfCheck("STEST" + QByteArray::number(n),
                                                       "Test Nummer " + QByteArray::number(n), 1)));
    signIn();
    ASSERT_TRUE(store->AddResult({id16("STEST1"), 0, 8, 1}));
    ASSERT_TRUE(store->AddResult({id16("STEST1"), 0, 8, 3}));
    screen->ShowTestList(RunKind::SelfCheck);
    EXPECT_EQ(screen->Caption->text(), "Selbsttests");
    EXPECT_EQ(screen->ListView(), 3);
    EXPECT_FALSE(screen->Container_Text->isVisible());
    for (int n = 0; n < 11; ++n) {
        const bool present = n == 0 || n == 1 || n == 5;
        EXPECT_EQ(screen->Tests[n]->isVisible(), present) << n;
        EXPECT_EQ(screen->Tests[n]->y(), 72 + 56 * n);
    }
    EXPECT_EQ(screen->Tests[5]->Caption(), "Test Nummer 5");
    EXPECT_EQ(screen->Bars[1]->Max(), 100);
    EXPECT_EQ(screen->Bars[1]->Pos(), 25); // (12 + 38) / 2
    EXPECT_EQ(screen->Bars[0]->Max(), 0);

    // Starting from the list: slot 5 is tests/test5.slf.
    screen->Tests[5]->OnClick(screen->Tests[5]);
    EXPECT_EQ(screen->Caption->text(), "Test Nummer 5 - Frage 1 von 1");
    EXPECT_FALSE(screen->Tests[5]->isVisible());
}

TEST_F(UebungTest, SigningInAndOutRebuildsTheListOnScreen)
{
    writeListTest(TestKind::MultipleChoice, 2,
                  serializeMultipleChoiceTest(multipleChoice("MLISTE", {choice(1, 2)})));
    signIn();
    ASSERT_TRUE(store->AddResult({id16("MLISTE"), 0, 4, 3}));
    const int anna = store->Index();
    ASSERT_TRUE(store->SaveAndSignOut());
    screen->ShowTestList(RunKind::MultipleChoice);
    EXPECT_EQ(screen->Bars[2]->Max(), 0);
    EXPECT_EQ(screen->Bar_MPC->Max(), 0);
    ASSERT_TRUE(store->SignIn(anna));
    EXPECT_EQ(screen->Bars[2]->Max(), 100);
    EXPECT_EQ(screen->Bars[2]->Pos(), 75);
    EXPECT_EQ(screen->Bar_MPC->Pos(), 75);
    ASSERT_TRUE(store->SaveAndSignOut());
    EXPECT_EQ(screen->Bars[2]->Max(), 0);
    EXPECT_EQ(screen->Bar_MPC->Max(), 0);

    // On the introduction only the tile bars change.
    screen->IntroductionClick();
    ASSERT_TRUE(store->SignIn(anna));
    EXPECT_EQ(screen->Bar_MPC->Pos(), 75);
    EXPECT_FALSE(screen->Tests[2]->isVisible());
}

TEST_F(UebungTest, OwnTestFollowsTheChosenFileOrRefusesIt)
{
    signIn();
    EXPECT_TRUE(TUebung::OwnTestFilter().startsWith("Alle Testdateien ("));
    QString chosen;
    screen->ChooseOwnTest = [&chosen] { return chosen; };

    struct Case
    {
        QString name;
        QByteArray bytes;
    };
    QByteArray damaged = serializeMultipleChoiceTest(multipleChoice("MKAPUTT", {choice(1, 3)}));
    damaged.chop(5);
    const Case refused[] = {{"notizen.txt", "Der Zellkern"}, {"kaputt.mpc", damaged}, {"fehlt.slf", {}}};
    for (const Case &c : refused) {
        chosen = c.bytes.isEmpty() ? own.filePath(c.name) : writeTest(c.name, c.bytes);
        messages.clear();
        screen->OwnTest->OnClick(screen->OwnTest);
        ASSERT_EQ(messages.size(), 1) << c.name.toStdString();
        EXPECT_EQ(messages[0].first, "Fehler!");
        EXPECT_TRUE(messages[0].second.contains(c.name)) << messages[0].second.toStdString();
        EXPECT_TRUE(screen->Menu->isEnabled());
        EXPECT_EQ(screen->ListView(), 4);
        EXPECT_TRUE(areaLocks.isEmpty());
    }

    chosen.clear(); // cancelled
    screen->OwnTest->OnClick(screen->OwnTest);
    EXPECT_EQ(screen->ListView(), 4);

    chosen = writeTest("Zelle.LKT", serializeClozeTest(cloze()));
    screen->OwnTest->OnClick(screen->OwnTest);
    EXPECT_EQ(screen->Kind(), RunKind::Cloze);
    EXPECT_EQ(areaLocks, QList<bool>{true});
}

TEST_F(UebungTest, LayoutFollowsTheContentPanelsWidth)
{
    screen->resize(255 + 600, 723);
    ASSERT_EQ(screen->Container_Test->width(), 600);
    EXPECT_EQ(screen->Tests[0]->width(), 526);
    EXPECT_EQ(screen->Bars[0]->x(), 304);
    EXPECT_EQ(screen->Caption->width(), 587);
    EXPECT_EQ(screen->Line->width(), 572);
    EXPECT_EQ(screen->Container_Text->geometry(), QRect(66, 90, 466, 723 - 140));
    EXPECT_EQ(screen->ScrollBar->x(), 571);
    EXPECT_EQ(screen->Container_Question->width(), 326);
    EXPECT_EQ(screen->Container_Answere->width(), 207);
    EXPECT_EQ(screen->Right->width(), 103);
    EXPECT_EQ(screen->Options[0]->width(), 342);
}

TEST_F(UebungTest, WheelScrollsTheIntroductionAndTilesOpenTheirLists)
{
    QByteArray text;
    for (int i = 0; i < 120; ++i)
        text += "Die Zelle ist die kleinste Einheit des Lebens. ";
    folder.write("inhalt/uebung.dat", text);
    screen->Initialize();
    screen->ShowScreen();
    EXPECT_EQ(screen->Container_Text->Text(), text);
    ASSERT_TRUE(screen->ScrollBar->isVisible());
    screen->FrameMouseWheel(Qt::NoModifier, -120, {});
    screen->FrameMouseWheel(Qt::NoModifier, -120, {});
    EXPECT_EQ(screen->Container_Text->Position(), 2);
    screen->FrameMouseWheel(Qt::NoModifier, 120, {});
    EXPECT_EQ(screen->Container_Text->Position(), 1);

    // A click on a tile's caption opens that kind's list.
    click(screen->Container_LKT->Caption);
    EXPECT_EQ(screen->ListView(), 1);
    EXPECT_EQ(screen->Caption->text(), "Lückentexte");

    screen->OwnTestMouseEnter();
    EXPECT_TRUE(screen->OwnTest->font().underline());
    screen->OwnTestMouseLeave();
    EXPECT_FALSE(screen->OwnTest->font().underline());
}

} // namespace
