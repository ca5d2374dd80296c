#include "MediaButton.h"
#include "MediaPlayer.h"
#include "u_zelle.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

const QString kFixture = QStringLiteral(CELL_FIXTURE_MP3);          // about 0.7 s of speech
const QString kLongFixture = QStringLiteral(CELL_FIXTURE_LONG_MP3); // 60 s: no end before a pause

// Processes events until cond holds; false after the bound (the media pipeline is asynchronous).
bool waitUntil(const std::function<bool()> &cond, int bound_ms = 10000)
{
    QDeadlineTimer deadline(bound_ms);
    while (!cond()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString openError(TMediaPlayer &player)
{
    try {
        player.Open();
    } catch (const EMCIDeviceError &e) {
        return e.Message();
    }
    return QString();
}

} // namespace

TEST(MediaPlayer, OpenReportsEachFailureInGermanAndStaysClosed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString garbage = dir.filePath("kaputt.mp3");
    QByteArray noise;
    for (int i = 0; i < 4000; ++i)
        noise.append(char((i * 7919) % 251));
    writeFile(garbage, noise);
    const QString empty = dir.filePath("leer.mp3");
    writeFile(empty, QByteArray());
    const QString text = dir.filePath("text.mp3");
    writeFile(text, "Das ist keine Audiodatei.\r\n");

    struct Case
    {
        QString file;
        QString expectedStart;
    } cases[] = {
        {QString(), QStringLiteral("Es wurde keine Audiodatei angegeben.")},
        {dir.filePath("fehlt.mp3"), QStringLiteral("Die Audiodatei „")},
        {dir.path(), QStringLiteral("Die Audiodatei „")},
        {garbage, QStringLiteral("Die Audiodatei „")},
        {empty, QStringLiteral("Die Audiodatei „")},
        {text, QStringLiteral("Die Audiodatei „")},
    };
    const QString expectedEnd[] = {
        QString(),
        QStringLiteral("“ wurde nicht gefunden."),
        QStringLiteral("“ kann nicht gelesen werden."),
        QStringLiteral("ist beschädigt."),
        QStringLiteral("ist beschädigt."),
        QStringLiteral("ist beschädigt."),
    };
    int i = 0;
    for (const Case &c : cases) {
        TMediaPlayer player;
        player.SetFileName(c.file);
        const QString message = openError(player);
        EXPECT_TRUE(message.startsWith(c.expectedStart)) << i << ": " << message.toStdString();
        EXPECT_TRUE(message.endsWith(expectedEnd[i].isEmpty() ? c.expectedStart : expectedEnd[i]))
            << i << ": " << message.toStdString();
        if (!c.file.isEmpty()) {
            EXPECT_TRUE(message.contains(QDir::toNativeSeparators(c.file))) << i;
        }
        EXPECT_FALSE(player.IsOpen()) << i;
        EXPECT_EQ(player.DeviceID(), 0) << i;
        ++i;
    }
}

TEST(MediaPlayer, ClosedPlayerRefusesTransportAndQueries)
{
    TMediaPlayer player;
    const std::function<void()> calls[] = {
        [&] { player.Play(); },         [&] { player.Pause(); },      [&] { player.Resume(); },
        [&] { player.Rewind(); },       [&] { (void)player.Mode(); }, [&] { (void)player.Position(); },
        [&] { (void)player.Length(); },
    };
    for (const auto &call : calls) {
        try {
            call();
            ADD_FAILURE() << "no error on a closed player";
        } catch (const EMCIDeviceError &e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Kein MCI-Gerät geöffnet"));
            EXPECT_STREQ(e.what(), "Kein MCI-Gerät geöffnet");
        }
    }
    player.Close(); // closing a closed player is harmless
    EXPECT_FALSE(player.IsOpen());
}

TEST(MediaPlayer, FailedOpenClosesThePreviousDevice)
{
    TMediaPlayer player;
    player.SetFileName(kFixture);
    player.Open();
    ASSERT_TRUE(player.IsOpen());
    const int first = player.DeviceID();
    player.Open(); // reopening closes the old device first
    EXPECT_TRUE(player.IsOpen());
    EXPECT_NE(player.DeviceID(), first);

    player.SetFileName(kFixture + ".fehlt");
    EXPECT_FALSE(openError(player).isEmpty());
    EXPECT_FALSE(player.IsOpen());
}

TEST(MediaPlayer, PlayPauseResumeAndRewind)
{
    TMediaPlayer player;
    player.SetFileName(kLongFixture);
    player.Open();
    EXPECT_EQ(player.Mode(), mpStopped);
    EXPECT_EQ(player.Position(), 0);
    const qint64 length = player.Length();
    EXPECT_NEAR(length, 60000, 500);

    // Pausing a stopped device does nothing.
    player.Pause();
    EXPECT_EQ(player.Mode(), mpStopped);

    // Without a sound card the silent sink plays faster than real time, so the pause follows
    // the play at once: the device's mode changes only when the event loop reports an end.
    player.Play();
    EXPECT_EQ(player.Mode(), mpPlaying);
    player.Pause();
    EXPECT_EQ(player.Mode(), mpPaused);
    const qint64 paused = player.Position();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(player.Mode(), mpPaused);
    EXPECT_LT(player.Position(), length);

    player.Pause(); // toggles back to playing, on from where it paused
    EXPECT_EQ(player.Mode(), mpPlaying);
    ASSERT_TRUE(waitUntil([&] { return player.Position() > paused || player.Mode() == mpStopped; }));

    player.Rewind();
    EXPECT_EQ(player.Mode(), mpStopped);
    EXPECT_EQ(player.Position(), 0);
    player.Close();
    EXPECT_FALSE(player.IsOpen());
}

TEST(MediaPlayer, AtTheEndPauseDoesNothingAndPlayStartsAgain)
{
    TMediaPlayer player;
    player.SetFileName(kFixture);
    player.Open();
    player.Play();
    ASSERT_TRUE(waitUntil([&] { return player.Mode() == mpStopped; }));
    EXPECT_EQ(player.Position(), player.Length());

    player.Pause(); // the device is stopped, not paused
    EXPECT_EQ(player.Mode(), mpStopped);

    player.Play(); // auto rewind: from the start again
    EXPECT_EQ(player.Mode(), mpPlaying);
    EXPECT_LT(player.Position(), player.Length());
    ASSERT_TRUE(waitUntil([&] { return player.Position() > 0 && player.Position() < player.Length(); }));
}

// ----------------------------------------------------------------------------------------------

namespace {

QImage face(ZMediaButtonType type, bool hovered = false)
{
    ZMediaButton button;
    button.resize(33, 33);
    button.SetButtonType(type);
    if (hovered) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(&button, &enter);
    }
    return button.grab().toImage();
}

const QColor kSign(64, 64, 64);
const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);

} // namespace

TEST(MediaButton, FacesAreDrawnFromTheButtonSize)
{
    // 33 x 33: play triangle from x 12 to 20 around y 16; pause bars 11..15 and 17..21;
    // stop square 11..21 over y 11..21.
    const QImage play = face(mbPlay);
    EXPECT_EQ(play.pixelColor(0, 0), kGrey); // frame in Border
    EXPECT_EQ(play.pixelColor(32, 32), kGrey);
    EXPECT_EQ(play.pixelColor(3, 3), kSilver);   // face in Color
    EXPECT_EQ(play.pixelColor(14, 16), kSign);   // inside the triangle
    EXPECT_EQ(play.pixelColor(22, 16), kSilver); // right of its tip
    EXPECT_EQ(play.pixelColor(19, 11), kSilver); // above its slanted edge

    const QImage pause = face(mbPause);
    EXPECT_EQ(pause.pixelColor(12, 16), kSign);
    EXPECT_EQ(pause.pixelColor(16, 16), kSilver); // the gap between the bars
    EXPECT_EQ(pause.pixelColor(17, 16), kSign);
    EXPECT_EQ(pause.pixelColor(21, 16), kSign);
    EXPECT_EQ(pause.pixelColor(22, 16), kSilver); // right edge exclusive
    EXPECT_EQ(pause.pixelColor(12, 22), kSilver); // bottom edge exclusive

    const QImage stop = face(mbStop);
    EXPECT_EQ(stop.pixelColor(16, 16), kSign);
    EXPECT_EQ(stop.pixelColor(11, 11), kSign);
    EXPECT_EQ(stop.pixelColor(21, 21), kSign);
    EXPECT_EQ(stop.pixelColor(22, 16), kSilver);

    const QImage hovered = face(mbStop, true);
    EXPECT_EQ(hovered.pixelColor(3, 3), QColor(0xCC, 0xCC, 0xCC));
}

TEST(MediaButton, ClickDrivesThePlayerThenReports)
{
    ZMediaButton button;
    button.HasSoundOutput = [] { return true; };
    int clicks = 0;
    button.OnClick = [&](ZMediaButton *sender) {
        EXPECT_EQ(sender, &button);
        ++clicks;
    };
    button.Click(); // no player: nothing, not even the event
    EXPECT_EQ(clicks, 0);

    TMediaPlayer player;
    button.SetMediaPlayer(&player);
    EXPECT_THROW(button.Click(), EMCIDeviceError); // closed device: the error ends the click
    EXPECT_EQ(clicks, 0);

    player.SetFileName(kFixture);
    player.Open();
    button.Click();
    EXPECT_EQ(player.Mode(), mpPlaying);
    button.SetButtonType(mbPause);
    button.Click();
    EXPECT_EQ(player.Mode(), mpPaused);
    button.SetButtonType(mbStop);
    button.Click();
    EXPECT_EQ(player.Mode(), mpStopped);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_EQ(clicks, 3);
}

namespace {

// Relative luminance and contrast ratio as the web's accessibility guidelines define them.
double luminance(const QColor &c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QImage grabbed(ZMediaButton *button, bool hovered)
{
    if (hovered) {
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(button, &enter);
    } else {
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
    }
    return button->grab().toImage();
}

} // namespace

// The buttons as the cell screen builds them: every sign, on the plain and the hovered face,
// must stand out from the face by at least 4.5 : 1, read from the painted pixels.
TEST(MediaButton, SignsOnTheCellScreenReadOnTheirFaces)
{
    TZelle zelle;
    struct Case
    {
        ZMediaButton *button;
        ZMediaButtonType type;
        QPoint inSign; // a pixel inside the sign of a 33 x 33 button
    };
    const Case cases[] = {
        {zelle.Play, mbPlay, {14, 16}},
        {zelle.Play, mbPause, {12, 16}},
        {zelle.Stop, mbStop, {16, 16}},
    };
    for (const Case &c : cases) {
        c.button->SetButtonType(c.type);
        ASSERT_EQ(c.button->size(), QSize(33, 33));
        for (bool hovered : {false, true}) {
            const QImage image = grabbed(c.button, hovered);
            const QColor face = image.pixelColor(3, 3);
            const QColor sign = image.pixelColor(c.inSign);
            EXPECT_EQ(face, hovered ? c.button->Highlight() : c.button->Color()) << c.type;
            EXPECT_GE(contrast(sign, face), 4.5)
                << "type " << c.type << (hovered ? " hovered" : "") << ": sign " << sign.name().toStdString()
                << " on " << face.name().toStdString();
        }
    }
    // The faces are signs only: a tip says each button's work in words.
    EXPECT_EQ(zelle.Play->toolTip(), QStringLiteral("Vorlesen starten oder unterbrechen"));
    EXPECT_EQ(zelle.Stop->toolTip(), QStringLiteral("Vorlesen beenden"));
}

// Without a sound output a play click starts nothing and says why; stop and pause still act.
// The check is asked at every click, so a headset plugged in later counts at once.
TEST(MediaButton, PlayWithoutSoundOutputTellsInsteadOfPlaying)
{
    struct Case
    {
        const char *name;
        bool sound;
        ZMediaButtonType type;
        TMPModes before; // mode the player is brought to with sound first
        TMPModes after;
        bool missing; // soundMissing emitted, OnClick not fired
    };
    const Case cases[] = {
        {"play, no sound", false, mbPlay, mpStopped, mpStopped, true},
        {"play, sound", true, mbPlay, mpStopped, mpPlaying, false},
        {"pause, no sound", false, mbPause, mpPlaying, mpPaused, false},
        {"stop, no sound", false, mbStop, mpPlaying, mpStopped, false},
    };
    for (const Case &c : cases) {
        TMediaPlayer player;
        player.SetFileName(kLongFixture);
        player.Open();
        if (c.before == mpPlaying)
            player.Play();
        ASSERT_EQ(player.Mode(), c.before) << c.name;

        ZMediaButton button;
        button.SetMediaPlayer(&player);
        button.SetButtonType(c.type);
        bool sound = true;
        button.HasSoundOutput = [&] { return sound; };
        sound = c.sound;
        int clicks = 0;
        int missing = 0;
        button.OnClick = [&](ZMediaButton *) { ++clicks; };
        QObject::connect(&button, &ZMediaButton::soundMissing, [&] { ++missing; });

        button.Click();
        EXPECT_EQ(player.Mode(), c.after) << c.name;
        EXPECT_EQ(missing, c.missing ? 1 : 0) << c.name;
        EXPECT_EQ(clicks, c.missing ? 0 : 1) << c.name;
        EXPECT_EQ(button.ButtonType(), c.type) << c.name;

        if (c.missing) {
            sound = true; // speakers plugged in: the next click plays
            button.Click();
            EXPECT_EQ(player.Mode(), mpPlaying) << c.name;
            EXPECT_EQ(missing, 1) << c.name;
            EXPECT_EQ(clicks, 1) << c.name;
        }
    }
}
