#include "platform/speechstretcher.h"

#include <soundtouch/SoundTouch.h>

#include <algorithm>
#include <cmath>

namespace lirena {

namespace {

// SoundTouch's settings for speech: sequences about as long as a syllable's
// steady part, a seek window that finds the next pitch period, a short cross-fade.
const int kSequenceMs = 40;
const int kSeekWindowMs = 15;
const int kOverlapMs = 8;

} // namespace

SpeechStretcher::SpeechStretcher(int sampleRate, int channels)
    : mTouch(std::make_unique<soundtouch::SoundTouch>()), mChannels(channels),
      mSequence(qint64(sampleRate) * kSequenceMs / 1000)
{
    mTouch->setSampleRate(uint(sampleRate));
    mTouch->setChannels(uint(channels));
    mTouch->setSetting(SETTING_USE_QUICKSEEK, 0);
    mTouch->setSetting(SETTING_SEQUENCE_MS, kSequenceMs);
    mTouch->setSetting(SETTING_SEEKWINDOW_MS, kSeekWindowMs);
    mTouch->setSetting(SETTING_OVERLAP_MS, kOverlapMs);
    restart(1.0);
}

SpeechStretcher::~SpeechStretcher() = default;

void SpeechStretcher::restart(double rate)
{
    mTouch->clear();
    mTouch->setTempo(rate);
    mRate = rate;
    mAdvance = mTouch->getSetting(SETTING_NOMINAL_OUTPUT_SEQUENCE);
}

void SpeechStretcher::put(const qint16 *samples, qint64 frames)
{
    mIn.resize(size_t(frames * mChannels));
    std::transform(samples, samples + mIn.size(), mIn.begin(), [](qint16 s) { return s * (1.0f / 32768); });
    mTouch->putSamples(mIn.data(), uint(frames));
}

void SpeechStretcher::finish()
{
    mTouch->flush();
}

qint64 SpeechStretcher::available() const
{
    return mTouch->numSamples();
}

qint64 SpeechStretcher::take(qint16 *out, qint64 frames)
{
    mOut.resize(size_t(frames * mChannels));
    const qint64 got = mTouch->receiveSamples(mOut.data(), uint(frames));
    std::transform(mOut.begin(), mOut.begin() + got * mChannels, out, [](float s) {
        return qint16(std::lround(std::clamp(s * 32768.0f, -32768.0f, 32767.0f)));
    });
    return got;
}

double StretchTiming::recordingFramesAt(qint64 out) const
{
    const double into = double(sequence) - std::min(rate * double(advance), double(sequence)) / 2;
    return double(out) * rate + (1.0 - rate) * std::min(double(out), into);
}

} // namespace lirena
