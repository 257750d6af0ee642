#include "authoring/speechstretches.h"

#include "platform/audiodecoder.h"

#include <algorithm>
#include <cmath>

namespace lirena {

namespace {

constexpr double kSilenceDb = -100.0;

double toDb(double meanSquare)
{
    return meanSquare > 1e-10 ? 10.0 * std::log10(meanSquare) : kSilenceDb;
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return kSilenceDb;
    const auto at =
        values.begin() + std::ptrdiff_t(std::min(values.size() - 1, std::size_t(share * values.size())));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

} // namespace

SpeechSound SpeechSound::read(const QString &path, QString *error)
{
    std::unique_ptr<AudioDecoder> decoder = AudioDecoder::open(path, error);
    if (!decoder)
        return {};
    SpeechSound sound;
    sound.rate = decoder->sampleRate();
    const int channels = std::max(1, decoder->channels());
    sound.samples.reserve(std::size_t(std::max<qint64>(0, decoder->totalFrames())));
    std::vector<qint16> block(std::size_t(4096 * channels));
    for (;;) {
        const qint64 frames = decoder->read(block.data(), 4096);
        if (frames <= 0)
            break;
        for (qint64 f = 0; f < frames; ++f) {
            int sum = 0;
            for (int c = 0; c < channels; ++c)
                sum += block[std::size_t(f * channels + c)];
            sound.samples.push_back(qint16(sum / channels));
        }
    }
    if (sound.samples.empty() && error && error->isEmpty())
        *error = QStringLiteral("%1: no sound in the file").arg(path);
    return sound;
}

SpeechStretches::SpeechStretches(const SpeechSound &sound)
{
    mLengthMs = sound.lengthMs();
    if (sound.rate <= 0 || sound.samples.empty())
        return;
    const std::size_t perFrame = std::size_t(std::max(1, sound.rate * kFrameMs / 1000));
    const std::size_t frames = (sound.samples.size() + perFrame - 1) / perFrame;
    mEnergy.resize(frames);
    mLevelDb.resize(frames);
    for (std::size_t f = 0; f < frames; ++f) {
        const std::size_t from = f * perFrame, to = std::min(sound.samples.size(), from + perFrame);
        double sum = 0;
        for (std::size_t i = from; i < to; ++i) {
            const double v = sound.samples[i] / 32768.0;
            sum += v * v;
        }
        mEnergy[f] = sum / double(to - from);
        mLevelDb[f] = toDb(mEnergy[f]);
    }

    // The floor is what the quietest twentieth of the recording holds (a page
    // is always read with silence before and after), speech what the loudest
    // twentieth holds; loud is three tenths of the way up, and at least 10 dB
    // over the floor.
    mNoiseFloorDb = percentile(mLevelDb, 0.05);
    mSpeechLevelDb = percentile(mLevelDb, 0.95);
    mThresholdDb = mNoiseFloorDb + std::max(10.0, 0.3 * (mSpeechLevelDb - mNoiseFloorDb));

    std::vector<SpeechStretch> runs;
    for (std::size_t f = 0; f < frames; ++f) {
        if (mLevelDb[f] <= mThresholdDb)
            continue;
        const int start = int(f) * kFrameMs;
        if (!runs.empty() && runs.back().stop == start)
            runs.back().stop = start + kFrameMs;
        else
            runs.push_back({start, start + kFrameMs});
    }
    for (SpeechStretch &run : runs)
        run.stop = std::min(run.stop, mLengthMs);

    std::vector<double> gaps;
    for (std::size_t i = 1; i < runs.size(); ++i) {
        const int gap = runs[i].start - runs[i - 1].stop;
        if (gap >= 4 * kFrameMs)
            gaps.push_back(gap);
    }
    if (!gaps.empty()) {
        const double typical = percentile(gaps, 0.5);
        mMinPauseMs = std::clamp(int(typical / 2), kMinPauseFloorMs, kMinPauseCeilingMs);
    }

    for (const SpeechStretch &run : runs) {
        if (!mStretches.empty() && run.start - mStretches.back().stop < mMinPauseMs)
            mStretches.back().stop = run.stop;
        else
            mStretches.push_back(run);
    }
    std::erase_if(mStretches, [](const SpeechStretch &s) { return s.length() < kShortestStretchMs; });
}

double SpeechStretches::smoothedDb(int frame) const
{
    double sum = 0;
    int n = 0;
    for (int f = frame - 1; f <= frame + 1; ++f) {
        if (f >= 0 && f < int(mEnergy.size())) {
            sum += mEnergy[std::size_t(f)];
            ++n;
        }
    }
    return n ? toDb(sum / n) : kSilenceDb;
}

double SpeechStretches::typicalDb(const SpeechStretch &stretch) const
{
    std::vector<double> levels;
    for (int f = stretch.start / kFrameMs; f < stretch.stop / kFrameMs && f < int(mLevelDb.size()); ++f)
        levels.push_back(mLevelDb[std::size_t(f)]);
    return percentile(std::move(levels), 0.5);
}

SpeechStretches::Split SpeechStretches::quietestSplit(const SpeechStretch &stretch, int from, int to,
                                                      int near) const
{
    const int first = std::max(0, from / kFrameMs);
    const int last = std::min(int(mLevelDb.size()) - 1, to / kFrameMs);
    const int target = near / kFrameMs;
    const double reach = std::max(1, std::max(target - first, last - target));
    int best = std::clamp(target, first, std::max(first, last));
    double bestScore = 1e9;
    for (int f = first; f <= last; ++f) {
        const double score = smoothedDb(f) + 6.0 * std::abs(f - target) / reach;
        if (score < bestScore) {
            bestScore = score;
            best = f;
        }
    }
    Split split;
    split.depthDb = std::max(0.0, typicalDb(stretch) - smoothedDb(best));
    // A quiet run around the split belongs to neither word.
    int quietFrom = best, quietTo = best;
    if (best >= 0 && best < int(mLevelDb.size()) && mLevelDb[std::size_t(best)] <= mThresholdDb) {
        while (quietFrom > first && mLevelDb[std::size_t(quietFrom - 1)] <= mThresholdDb)
            --quietFrom;
        while (quietTo < last && mLevelDb[std::size_t(quietTo + 1)] <= mThresholdDb)
            ++quietTo;
        split.firstStop = quietFrom * kFrameMs;
        split.secondStart = (quietTo + 1) * kFrameMs;
    } else {
        split.firstStop = split.secondStart = best * kFrameMs + kFrameMs / 2;
    }
    split.firstStop = std::clamp(split.firstStop, stretch.start, stretch.stop);
    split.secondStart = std::clamp(split.secondStart, split.firstStop, stretch.stop);
    return split;
}

} // namespace lirena
