#include "MediaPlayer.h"

#include <QAudioDecoder>
#include <QAudioOutput>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMediaPlayer>
#include <QTimer>
#include <QUrl>

namespace {

// How long open may take to find out whether the file decodes; GStreamer answers in a few
// tens of milliseconds, so only a broken pipeline ever reaches this.
constexpr int kOpenTimeoutMs = 10000;

int nextDeviceId = 0;

QString shownName(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString notPlayable(const QString &path)
{
    return QStringLiteral("Die Audiodatei „%1“ kann nicht abgespielt werden: Sie enthält keine "
                          "lesbaren Audiodaten oder ist beschädigt.")
        .arg(shownName(path));
}

// Runs the event loop until done() holds or the bound has passed; user input waits meanwhile.
template <class Done> bool waitFor(Done done)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    bound.start(kOpenTimeoutMs);
    poll.start(5);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return done();
}

} // namespace

EMCIDeviceError::EMCIDeviceError(const QString &message)
    : std::runtime_error(message.toStdString()), message_(message)
{
}

TMediaPlayer::TMediaPlayer(QObject *parent) : QObject(parent) {}

TMediaPlayer::~TMediaPlayer()
{
    release();
}

void TMediaPlayer::release()
{
    if (player_) {
        player_->stop();
        delete player_;
        player_ = nullptr;
    }
    delete output_;
    output_ = nullptr;
}

void TMediaPlayer::Open()
{
    if (IsOpen())
        Close();
    error_ = 0;
    const QString path = fileName_;
    if (path.isEmpty())
        throw EMCIDeviceError(QStringLiteral("Es wurde keine Audiodatei angegeben."));
    const QFileInfo info(path);
    if (!info.exists())
        throw EMCIDeviceError(
            QStringLiteral("Die Audiodatei „%1“ wurde nicht gefunden.").arg(shownName(path)));
    QFile probe(path);
    if (!info.isFile() || !probe.open(QIODevice::ReadOnly))
        throw EMCIDeviceError(
            QStringLiteral("Die Audiodatei „%1“ kann nicht gelesen werden.").arg(shownName(path)));
    probe.close();
    const QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());

    // Decode the start of the file: this needs no sound card, so a missing audio device never
    // hides a broken file, and a broken file is reported now rather than at the first play.
    {
        QAudioDecoder decoder;
        if (!decoder.isSupported())
            throw EMCIDeviceError(
                QStringLiteral("Audiodateien können auf diesem System nicht abgespielt werden."));
        bool decoded = false;
        bool failed = false;
        bool finished = false;
        qint64 decodedUs = 0;
        connect(&decoder, &QAudioDecoder::bufferReady, &decoder, [&] {
            decoded = true;
            decodedUs += decoder.read().duration();
        });
        connect(&decoder, qOverload<QAudioDecoder::Error>(&QAudioDecoder::error), &decoder,
                [&](QAudioDecoder::Error) { failed = true; });
        connect(&decoder, &QAudioDecoder::finished, &decoder, [&] { finished = true; });
        decoder.setSource(url);
        decoder.start();
        // The stream's length is known just after its first buffer; a stream too short to
        // announce it is measured by decoding it whole.
        waitFor([&] { return failed || finished || (decoded && decoder.duration() > 0); });
        const qint64 announced = decoder.duration();
        decoder.stop();
        if (failed || !decoded)
            throw EMCIDeviceError(notPlayable(path));
        length_ = announced > 0 ? announced : decodedUs / 1000;
    }

    auto *output = new QAudioOutput;
    auto *player = new QMediaPlayer;
    player->setAudioOutput(output);
    player->setSource(url);
    const bool loaded = waitFor([&] {
        const auto s = player->mediaStatus();
        return s == QMediaPlayer::InvalidMedia || s == QMediaPlayer::LoadedMedia ||
               s == QMediaPlayer::BufferedMedia;
    });
    if (!loaded || player->mediaStatus() == QMediaPlayer::InvalidMedia) {
        delete player;
        delete output;
        throw EMCIDeviceError(notPlayable(path));
    }
    player_ = player;
    output_ = output;
    connect(player_, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus s) {
        if (s == QMediaPlayer::EndOfMedia) {
            atEnd_ = true;
            mode_ = mpStopped;
        }
    });
    connect(player_, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error e, const QString &) { error_ = int(e); });
    deviceId_ = ++nextDeviceId;
    mode_ = mpStopped;
    atEnd_ = false;
}

void TMediaPlayer::Close()
{
    if (deviceId_ == 0)
        return;
    release();
    deviceId_ = 0;
    mode_ = mpNotReady;
    atEnd_ = false;
    error_ = 0;
}

void TMediaPlayer::requireOpen() const
{
    if (!IsOpen())
        throw EMCIDeviceError(QStringLiteral("Kein MCI-Gerät geöffnet"));
}

void TMediaPlayer::Play()
{
    requireOpen();
    error_ = 0;
    if (autoRewind_ && atEnd_)
        player_->setPosition(0);
    atEnd_ = false;
    player_->play();
    mode_ = mpPlaying;
}

void TMediaPlayer::Pause()
{
    requireOpen();
    error_ = 0;
    if (mode_ == mpPlaying) {
        player_->pause();
        mode_ = mpPaused;
    } else if (mode_ == mpPaused) {
        Resume();
    }
}

void TMediaPlayer::Resume()
{
    requireOpen();
    error_ = 0;
    // Resuming a device that is not paused plays it, as a failed resume falls back to play.
    if (mode_ != mpPaused) {
        Play();
        return;
    }
    player_->play();
    mode_ = mpPlaying;
}

void TMediaPlayer::Rewind()
{
    requireOpen();
    error_ = 0;
    // Seeking ends playback of the medium; the next play starts from the beginning.
    player_->stop();
    player_->setPosition(0);
    atEnd_ = false;
    mode_ = mpStopped;
}

TMPModes TMediaPlayer::Mode() const
{
    requireOpen();
    return mode_;
}

qint64 TMediaPlayer::Position() const
{
    requireOpen();
    return atEnd_ ? Length() : qMin(player_->position(), Length());
}

qint64 TMediaPlayer::Length() const
{
    requireOpen();
    return player_->duration() > 0 ? player_->duration() : length_;
}
