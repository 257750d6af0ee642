#pragma once

#include <QString>

#include <memory>

namespace lirena {

// Decodes a recording (MP3 through libmpg123, or PCM WAV) to interleaved
// 16-bit samples, with an exact length and sample-exact seeking. Frames are
// samples per channel.
class AudioDecoder
{
public:
    virtual ~AudioDecoder();

    // Opens a file by its content: RIFF/WAVE as PCM, anything else as MP3.
    // Gives nothing, with error set, when the file holds no decodable sound
    // or the memory to open it is not there; throws nothing.
    static std::unique_ptr<AudioDecoder> open(const QString &path, QString *error = nullptr);

    virtual int sampleRate() const = 0;
    virtual int channels() const = 0;
    // Length in frames, exact (encoder delay and padding of MP3 files left out).
    virtual qint64 totalFrames() const = 0;
    // Moves to a frame; the next read starts there.
    virtual bool seek(qint64 frame) = 0;
    // Reads up to frames frames into out; returns the frames read, 0 at the end.
    virtual qint64 read(qint16 *out, qint64 frames) = 0;

    // Length in ms, truncated.
    qint64 lengthMs() const;
    // The frame at a position in ms.
    qint64 frameAt(qint64 ms) const;

private:
    static std::unique_ptr<AudioDecoder> openFile(const QString &path, QString *error);
};

} // namespace lirena
