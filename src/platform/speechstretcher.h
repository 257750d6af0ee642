#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

namespace soundtouch {
class SoundTouch;
}

namespace lirena {

// How the output of a stream at one speed maps back to the recording.
struct StretchTiming
{
    double rate = 1.0;   // recording time per output time
    qint64 sequence = 0; // recording frames a copied sequence holds; 0 when nothing is stretched
    qint64 advance = 0;  // output frames each sequence adds

    // The recording frames, counted from the stream's start, whose sound
    // starts to be heard at output frame out. The stretcher copies sequences
    // of the recording at their own speed, one every `advance` output frames
    // and rate * advance recording frames apart, so a sound is first heard
    // early (slower) or late (faster) against the straight line rate * out:
    // by (1 - rate) times how far into its first sequence it lies, on average
    // sequence - min(rate * advance, sequence) / 2. That is where a word
    // starts to be heard, what the marks follow. The stream's first sequence
    // starts at its first frame, so the line starts there at 1:1.
    double recordingFramesAt(qint64 out) const;
};

// Changes the speed of recorded speech without changing its pitch (SoundTouch's
// time-domain overlap-add, set up for speech). Frames are samples per channel;
// samples are interleaved 16-bit. Owned by whoever plays the sound, used from
// one thread.
class SpeechStretcher
{
public:
    SpeechStretcher(int sampleRate, int channels);
    ~SpeechStretcher();

    // Forgets all sound and starts a new stream at a speed: recording time per
    // output time (0.5 plays twice as long).
    void restart(double rate);
    // Hands over recorded sound.
    void put(const qint16 *samples, qint64 frames);
    // The recording ended: what is still inside comes out.
    void finish();
    // Frames ready to be taken.
    qint64 available() const;
    // Takes up to frames ready frames; returns how many.
    qint64 take(qint16 *out, qint64 frames);
    // How this stream's output maps back to the recording.
    StretchTiming timing() const { return {.rate = mRate, .sequence = mSequence, .advance = mAdvance}; }

private:
    std::unique_ptr<soundtouch::SoundTouch> mTouch;
    int mChannels;
    double mRate = 1.0;
    qint64 mSequence = 0;
    qint64 mAdvance = 0;
    std::vector<float> mIn;
    std::vector<float> mOut;
};

} // namespace lirena
