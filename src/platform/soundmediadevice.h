#pragma once

#include "platform/mediadevice.h"

#include <QThread>
#include <QThreadPool>

#include <functional>
#include <memory>

namespace lirena {

class AudioDecoder;
class PlaybackEngine;
class HeardPosition;

// The media device on this machine: MP3 (libmpg123) and WAV files decoded and
// played through the sound server by a thread of its own, so a busy window
// thread never starves the sound. The position is what has been heard: the
// seek origin plus the recording time behind the audio output's processed
// time, which the playback thread publishes and the owner's thread reads
// without waiting for it. At a reading speed other than 1.0 the sound is
// stretched, its pitch kept. Without any sound output the device plays on a
// clock, silently (at the speed too), so everything that follows the position
// still works. Opening reads only the start of the file: an MP3's frames are
// indexed in the background (for cheap seeks), and one without a header
// giving its length is measured there first.
class SoundMediaDevice : public MediaDevice
{
public:
    SoundMediaDevice();
    ~SoundMediaDevice() override;

    bool open(const QString &path, QString *error = nullptr) override;
    void close() override;
    void rewind() override { setPosition(0); }
    qint64 length() const override;
    bool lengthKnown() const override;
    void setLengthKnownHandler(std::function<void()> handler) override
    {
        mLengthKnownHandler = std::move(handler);
    }
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
    struct ScanJob;

    // Takes a length measured in the background, and notices the end of the
    // recording (the device then stands at its length).
    void settle() const;
    void adoptLength() const;
    void startAt(qint64 ms) const;
    void halt() const;
    // The recording heard since the current play started, in ms.
    qint64 heardMs() const;
    // Runs work in the background; then done, if any, on the owner's thread,
    // unless the job was cancelled meanwhile.
    std::shared_ptr<ScanJob> startScan(std::function<void()> work, std::function<void()> done);

    QThread mThread;
    PlaybackEngine *mEngine = nullptr;
    std::unique_ptr<QObject> mMailbox; // in the owner's thread: what background scans report arrives there
    QThreadPool mScans;
    std::shared_ptr<HeardPosition> mHeard;
    std::shared_ptr<AudioDecoder> mDecoder;
    std::shared_ptr<ScanJob> mLengthScan; // while the length is measured
    std::shared_ptr<ScanJob> mIndexScan;  // while the frames are indexed
    std::function<void()> mLengthKnownHandler;
    double mRate = 1.0;
    mutable qint64 mLength = 0;
    mutable bool mLengthKnown = true;
    mutable Mode mMode = Mode::NotReady;
    mutable qint64 mOrigin = 0;    // ms where the current play started, or the position when not playing
    mutable quint64 mPlay = 0;     // the number of the current play; the engine's reports carry it
    mutable qint64 mLastHeard = 0; // ms, the most heard in the current play: the position never goes back
    mutable bool mStarted =
        false; // whether the current play was handed to the engine (it waits for the length)
};

} // namespace lirena
