#pragma once

// The player that reads the organelle texts aloud. It keeps the contract of a media-control
// device: open checks the file at once, the transport commands act on the open device only,
// and failures raise EMCIDeviceError with a German text.

#include <QObject>
#include <QString>

#include <stdexcept>

class QAudioOutput;
class QMediaPlayer;

class EMCIDeviceError : public std::runtime_error
{
  public:
    explicit EMCIDeviceError(const QString &message);
    QString Message() const { return message_; }

  private:
    QString message_;
};

// Device modes, counted from "not ready" as the device reports them.
enum TMPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };

class TMediaPlayer : public QObject
{
    Q_OBJECT
  public:
    explicit TMediaPlayer(QObject *parent = nullptr);
    ~TMediaPlayer() override;

    QString FileName() const { return fileName_; }
    void SetFileName(const QString &fileName) { fileName_ = fileName; }
    bool AutoRewind() const { return autoRewind_; }
    void SetAutoRewind(bool on) { autoRewind_ = on; }
    // 0 while no device is open.
    int DeviceID() const { return deviceId_; }
    bool IsOpen() const { return deviceId_ != 0; }
    // Outcome of the last command (0: success); failures of play, pause, rewind and close are
    // only stored here, never raised.
    int Error() const { return error_; }

    // Closes an open device first. Raises EMCIDeviceError when the file is missing, unreadable
    // or not decodable audio; the player then stays closed. The audio does not start.
    void Open();
    void Close();
    void Play();
    void Pause(); // toggles: playing -> paused, paused -> playing; otherwise nothing
    void Resume();
    void Rewind(); // back to the start; playback stops
    TMPModes Mode() const;
    qint64 Position() const; // milliseconds
    qint64 Length() const;   // milliseconds

  private:
    void requireOpen() const;
    void release();

    QString fileName_;
    bool autoRewind_ = true;
    int deviceId_ = 0;
    int error_ = 0;
    TMPModes mode_ = mpNotReady;
    bool atEnd_ = false;
    qint64 length_ = 0;
    QMediaPlayer *player_ = nullptr;
    QAudioOutput *output_ = nullptr;
};
