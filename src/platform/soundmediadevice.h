#pragma once

#include "platform/mediadevice.h"

#include <QThread>

#include <memory>

namespace lirena {

class AudioDecoder;
class PlaybackEngine;

// The media device on this machine: MP3 (libmpg123) and WAV files decoded and
// played through the sound server by a thread of its own, so a busy window
// thread never starves the sound. The position is what has been heard: the
// seek origin plus the recording time behind the audio output's processed
// time. At a reading speed other than 1.0 the sound is stretched, its pitch
// kept. Without any sound output the device plays on a clock, silently (at
// the speed too), so everything that follows the position still works.
class SoundMediaDevice : public MediaDevice
{
public:
    SoundMediaDevice();
    ~SoundMediaDevice() override;

    bool open(const QString &path, QString *error = nullptr) override;
    void close() override;
    void rewind() override { setPosition(0); }
    qint64 length() const override { return mLength; }
    qint64 position() const override;
    void setPosition(qint64 ms) override;
    Mode mode() const override;
    void play() override;
    void pause() override;
    void stop() override;

    // Whether sound really comes out (false: playing on the clock).
    bool hasSoundOutput() const override;
    // Takes effect at once while playing, from the sound last handed to the
    // output (some tens of ms on), without a jump of the position. Kept
    // within kMinRate..kMaxRate.
    void setRate(double rate) override;
    double rate() const override { return mRate; }
    // Length in ms of a recording, or -1 when it cannot be opened.
    static qint64 probeLength(const QString &path);

    static constexpr double kMinRate = 0.5;
    static constexpr double kMaxRate = 1.5;

private:
    void startAt(qint64 ms);
    void halt();
    // Notices the end of the recording: the device then stands at its length.
    void checkEnd() const;

    QThread mThread;
    PlaybackEngine *mEngine = nullptr;
    std::unique_ptr<AudioDecoder> mDecoder;
    qint64 mLength = 0;
    double mRate = 1.0;
    mutable Mode mMode = Mode::NotReady;
    mutable qint64 mOrigin = 0; // ms where the current play started, or the position when not playing
};

} // namespace lirena
