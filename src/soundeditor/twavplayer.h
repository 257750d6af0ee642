#pragma once

#include <QObject>

#include <memory>
#include <stdexcept>

namespace lirena {

class WaveOut;

// The player could not get the memory it plays from.
class EWavPlayMemAlloc : public std::runtime_error
{
public:
    EWavPlayMemAlloc() : std::runtime_error("Unable to allocate buffers for WavPlayer") {}
};

// Plays one block of 16-bit stereo 22,050 Hz PCM that lies in the caller's
// memory, without copying it, and can stop it. The caller keeps the memory
// untouched until the block is given back: Stop returns only then.
class TWavPlayer : public QObject
{
    Q_OBJECT
public:
    // On the sound server's output. Throws EWavPlayMemAlloc when the output
    // cannot be had for want of memory.
    explicit TWavPlayer(QObject *owner = nullptr);
    // On the given output (tests).
    explicit TWavPlayer(std::unique_ptr<WaveOut> output, QObject *owner = nullptr);
    ~TWavPlayer() override;

    // False when no suitable device was found: every request then does nothing.
    bool available() const { return mAvailable; }
    // A block has been written and not yet given back.
    bool playing() const { return mPlaying; }

    // Plays length bytes at data, after stopping a block in flight. A length
    // of 0 does nothing (a playing block goes on).
    void Play(const char *data, qint64 length);
    // Ends the playing block; returns once the device has given it back,
    // processing window events while it waits.
    void Stop();

signals:
    // The block has been given back (played to its end, or stopped).
    void finished();

private:
    std::unique_ptr<WaveOut> mOutput;
    bool mAvailable = false;
    bool mPlaying = false;
    bool mStopping = false;
};

} // namespace lirena
