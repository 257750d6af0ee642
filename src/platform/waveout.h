#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>

namespace lirena {

// One block of sound played in place from the caller's memory: 16-bit signed
// stereo PCM at 22,050 frames per second. The device is opened for each block
// and closed again after it has given the block back; never more than one
// block is in flight.
class WaveOut
{
public:
    virtual ~WaveOut() = default;

    // Whether a device that plays this format exists (decided once, at creation).
    virtual bool available() const = 0;
    // Opens the device for one block; false when it cannot be opened.
    virtual bool open() = 0;
    // Starts playing length bytes at data. The memory stays the caller's and
    // must stay untouched until the block has been given back.
    virtual void write(const char *data, qint64 length) = 0;
    // Ends the block early: the device gives it back and `done` follows.
    // False when the device refuses (the block then keeps playing).
    virtual bool reset() = 0;
    // Releases the device; called once the block has been given back.
    virtual void close() = 0;

    // Called on the window thread when the device has given the block back,
    // at its end or after a reset.
    std::function<void()> done;
};

// The sound server's output (QAudioSink).
std::unique_ptr<WaveOut> makeSoundWaveOut();

} // namespace lirena
