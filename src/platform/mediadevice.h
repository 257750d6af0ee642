#pragma once

#include <QString>

#include <functional>

namespace lirena {

// The media device the player drives: one recording at a time, positions and
// lengths in ms. Play runs asynchronously; the program polls the position.
class MediaDevice
{
public:
    enum class Mode { NotReady, Stopped, Playing, Paused, Seeking };

    virtual ~MediaDevice() = default;

    // Opens a recording, closing the one before. False, with error set, when it cannot be played.
    virtual bool open(const QString &path, QString *error = nullptr) = 0;
    virtual void close() = 0;
    // Seeks to the start.
    virtual void rewind() = 0;
    // Length of the recording in ms; 0 while it is not known.
    virtual qint64 length() const = 0;
    // Whether the length is known. A recording that does not tell its length
    // opens at once and is measured in the background: till then seeks are
    // not clamped, and playing waits for the length.
    virtual bool lengthKnown() const { return true; }
    // Called on the thread that owns the device when the length of the
    // recording open becomes known after open() returned.
    virtual void setLengthKnownHandler(std::function<void()> handler) { (void)handler; }
    // The position heard now, in ms.
    virtual qint64 position() const = 0;
    // Seeks; the device is then not playing.
    virtual void setPosition(qint64 ms) = 0;
    virtual Mode mode() const = 0;
    // Plays from the position to the end; at the end it starts from the beginning.
    virtual void play() = 0;
    // When playing, pauses; when paused, resumes; otherwise nothing.
    virtual void pause() = 0;
    virtual void stop() = 0;
    // Whether the sound is really heard; false when the device plays on a clock,
    // silently, for want of an audio output.
    virtual bool hasSoundOutput() const { return true; }
    // Reading speed: recording time heard per wall-clock time (1.0 as
    // recorded), pitch kept. Positions and lengths stay in recording time.
    virtual void setRate(double rate) { (void)rate; }
    virtual double rate() const { return 1.0; }
};

} // namespace lirena
