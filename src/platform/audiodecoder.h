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
    // How much of an MP3 an open reads beyond its first frames. A scan reads
    // every frame header (about as long as reading the file): it measures the
    // length where no header gives it exactly, and indexes the frames so that
    // any seek is cheap. Without the index a seek reads the frame headers from
    // the last frame known to the one sought: exact, but slow far into a long
    // recording. A WAV file needs none of this.
    enum class Scan {
        WhenNeeded, // only when no header gives the exact length: the length is exact on return
        Always,     // always: the length is exact and every seek cheap on return
        Later,      // never: the length may stay unknown until scan()
    };

    virtual ~AudioDecoder();

    // Opens a file by its content: RIFF/WAVE as PCM, anything else as MP3.
    // Gives nothing, with error set, when the file holds no decodable sound
    // or the memory to open it is not there; throws nothing.
    static std::unique_ptr<AudioDecoder> open(const QString &path, QString *error = nullptr,
                                              Scan scan = Scan::WhenNeeded);

    virtual int sampleRate() const = 0;
    virtual int channels() const = 0;
    // Length in frames, exact (encoder delay and padding of MP3 files left
    // out); 0 while the length is not known.
    virtual qint64 totalFrames() const = 0;
    // Moves to a frame; the next read starts there.
    virtual bool seek(qint64 frame) = 0;
    // Reads up to frames frames into out; returns the frames read, 0 at the end.
    virtual qint64 read(qint16 *out, qint64 frames) = 0;

    // Whether totalFrames() is exact; false only for an MP3 opened with
    // Scan::Later whose header does not give its length, until scan().
    virtual bool lengthKnown() const { return true; }
    // Whether every seek is cheap (the frames are indexed).
    virtual bool indexed() const { return true; }
    // Reads every frame header: the length becomes known and every seek cheap.
    // False when the file cannot be read to its end; the length is then what
    // could be read.
    virtual bool scan() { return true; }
    // Takes the frame index of another decoder of the same file that has been
    // scanned, so that seeks here become cheap without a scan of this one's own.
    virtual void takeIndex(const AudioDecoder &scanned) { (void)scanned; }

    // Length in ms, truncated.
    qint64 lengthMs() const;
    // The frame at a position in ms.
    qint64 frameAt(qint64 ms) const;

private:
    static std::unique_ptr<AudioDecoder> openFile(const QString &path, QString *error, Scan scan);
};

} // namespace lirena
