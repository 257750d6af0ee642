#pragma once

#include <QString>

#include <vector>

namespace lirena {

// A chapter's recording as one channel of 16-bit samples at the file's own
// rate, decoded by the player's decoder, so that a sample's time is its time
// on the player's timeline.
struct SpeechSound
{
    int rate = 0;
    std::vector<qint16> samples; // the channels mixed to one

    // Decodes a recording (MP3 or WAV) whole. Gives an empty sound, with
    // error set, when the file holds no decodable sound.
    static SpeechSound read(const QString &path, QString *error = nullptr);
    int lengthMs() const { return rate > 0 ? int(qint64(samples.size()) * 1000 / rate) : 0; }
};

// A stretch of speech: from the start of its first loud frame to the end of
// its last, in ms of the recording.
struct SpeechStretch
{
    int start = 0;
    int stop = 0;
    int length() const { return stop - start; }
    bool operator==(const SpeechStretch &) const = default;
};

// The stretches of speech of a recording, and its loudness in frames of
// kFrameMs, for the drafting of a page. The level that counts as speech and
// the shortest pause that parts two stretches are taken from the recording
// itself: a frame is loud above the noise floor plus a share of the distance
// from the floor to the speech level, and the shortest pause is half the
// typical quiet gap, kept between kMinPauseFloorMs and kMinPauseCeilingMs, so
// a stop consonant inside a word does not part it.
class SpeechStretches
{
public:
    static constexpr int kFrameMs = 10;
    static constexpr int kMinPauseFloorMs = 100;
    static constexpr int kMinPauseCeilingMs = 300;
    // Shorter sounds (a click, a breath) are no stretch.
    static constexpr int kShortestStretchMs = 50;

    explicit SpeechStretches(const SpeechSound &sound);

    const std::vector<SpeechStretch> &stretches() const { return mStretches; }
    // Levels in dB against full scale.
    double noiseFloorDb() const { return mNoiseFloorDb; }
    double speechLevelDb() const { return mSpeechLevelDb; }
    double thresholdDb() const { return mThresholdDb; }
    int minPauseMs() const { return mMinPauseMs; }
    int lengthMs() const { return mLengthMs; }

    // Where a stretch holding two words parts them: the quietest moment
    // between from and to (ms), loudness smoothed over 30 ms; a moment nearer
    // to `near` wins over a deeper one further away by up to 6 dB.
    struct Split
    {
        int firstStop = 0;   // the first word ends here ...
        int secondStart = 0; // ... and the second starts here: the quiet run around the split, if any
        double depthDb = 0;  // how far the split lies below the stretch's typical level
    };
    Split quietestSplit(const SpeechStretch &stretch, int from, int to, int near) const;

private:
    double smoothedDb(int frame) const;
    double typicalDb(const SpeechStretch &stretch) const;

    std::vector<double> mEnergy; // mean square per frame, full scale 1
    std::vector<double> mLevelDb;
    std::vector<SpeechStretch> mStretches;
    double mNoiseFloorDb = 0;
    double mSpeechLevelDb = 0;
    double mThresholdDb = 0;
    int mMinPauseMs = kMinPauseFloorMs;
    int mLengthMs = 0;
};

} // namespace lirena
