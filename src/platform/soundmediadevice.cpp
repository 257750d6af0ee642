#include "platform/soundmediadevice.h"

#include "platform/audiodecoder.h"
#include "platform/speechstretcher.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace lirena {

namespace {

// About 50 ms of sound in the output buffer: little enough that a seek is
// heard at once, enough that a short stall of the machine is not. (Much
// smaller buffers stall the sound server's stream before it starts.)
const int kBufferMs = 50;
// How often the feeder tops the buffer up.
const int kFeedMs = 5;

} // namespace

// Lives in the device's thread: owns the audio output and keeps it fed. At
// any speed but 1.0 the sound goes through a stretcher on its way out. The
// output is a chain of spans, one per speed: each says which recording frame
// its first output frame began at, so the output heard maps back to the
// recording whatever the stretcher holds inside.
class PlaybackEngine : public QObject
{
public:
    PlaybackEngine()
    {
        // A child, so it moves to the device's thread with the engine.
        mFeeder = new QTimer(this);
        mFeeder->setTimerType(Qt::PreciseTimer);
        mFeeder->setInterval(kFeedMs);
        QObject::connect(mFeeder, &QTimer::timeout, this, [this] { feed(); });
    }

    void start(AudioDecoder *decoder, qint64 frame)
    {
        decoder->seek(frame);
        mDecoder = decoder;
        mStartFrame = frame;
        mRemainingUs = usFor(decoder->totalFrames() - frame);
        mAtEnd = false;
        mEndSeen = false;
        mClockBaseUs = 0;
        mWritten = 0;
        mLastHeardUs = 0;
        mSpans = {{.output = 0, .recording = frame, .timing = {}}};
        mStretcher.reset(); // made for the recording and speed of the last play
        mClockOnly = !startSink(decoder);
        mClock.start();
        if (mClockOnly)
            return;
        startStretcher();
        feed();
        mFeeder->start();
    }

    void halt()
    {
        mFeeder->stop();
        // Every play gets an output of its own: one that was reset is not used again.
        if (mSink) {
            mSink->reset();
            mSink.reset();
        }
        mOutput = nullptr;
        mDecoder = nullptr;
    }

    // A new speed takes over from what was last handed to the output; what the
    // output holds (some tens of ms) still plays at the old speed.
    void setRate(double rate)
    {
        if (rate == mRate)
            return;
        if (mClockOnly)
            mClockBaseUs = clockUs();
        mClock.start();
        mRate = rate;
        if (mClockOnly || !mOutput || !mDecoder || mAtEnd)
            return;
        const qint64 frame = std::min(recordingFrameAt(mWritten), mDecoder->totalFrames());
        if (mSpans.back().output == mWritten)
            mSpans.pop_back();
        mSpans.push_back({.output = mWritten, .recording = frame, .timing = {}});
        mDecoder->seek(frame);
        startStretcher();
    }

    // Recording microseconds heard since start(); never less than before.
    qint64 heardUs()
    {
        checkOutput();
        if (!mClockOnly && !mSink)
            return 0;
        const qint64 heard = mClockOnly ? clockUs() : usFor(recordingFrameAt(outputHeard()) - mStartFrame);
        mLastHeardUs = std::clamp(heard, mLastHeardUs, mRemainingUs);
        return mLastHeardUs;
    }

    // Whether everything from the start frame on has been heard.
    bool finished()
    {
        checkOutput();
        if (mClockOnly)
            return clockUs() >= mRemainingUs;
        if (!mSink)
            return true;
        const qint64 heard = outputHeard();
        if (mAtEnd && heard >= mWritten)
            return true;
        // (Stretched sound maps to the recording only on average: its output counts.)
        if (!mStretcher && heardUs() >= mRemainingUs)
            return true;
        // The output may stop counting a little short of the end: once the last
        // sound was handed over, allow it the time it takes to be heard.
        if (mAtEnd && !mEndSeen) {
            mEndSeen = true;
            mEndTimer.start();
            mEndHeard = heard;
        }
        return mEndSeen && mEndTimer.nsecsElapsed() / 1000 > usFor(mWritten - mEndHeard) + 150000;
    }

    bool hasSoundOutput() const { return !mClockOnly; }

private:
    // From output frame `output` on, the sound continues the recording at frame
    // `recording`, at one speed.
    struct Span
    {
        qint64 output = 0;
        qint64 recording = 0;
        StretchTiming timing;
    };

    qint64 usFor(qint64 frames) const { return frames * 1000000 / mDecoder->sampleRate(); }
    // The recording on the clock: wall time at the speed.
    qint64 clockUs() const { return mClockBaseUs + qint64(double(mClock.nsecsElapsed() / 1000) * mRate); }

    // Output frames the sound server has played.
    qint64 outputHeard() const { return mSink->processedUSecs() * mSink->format().sampleRate() / 1000000; }

    // The recording frame heard at an output frame.
    qint64 recordingFrameAt(qint64 output)
    {
        // Spans already played out are not needed again.
        while (mSpans.size() > 1 && mSpans[1].output <= outputHeard())
            mSpans.erase(mSpans.begin());
        auto span = std::prev(std::upper_bound(mSpans.begin(), mSpans.end(), output,
                                               [](qint64 o, const Span &s) { return o < s.output; }));
        return span->recording + qint64(std::llround(span->timing.recordingFramesAt(output - span->output)));
    }

    // The stretcher for the speed now, from the decoder's frame on; none at 1.0.
    void startStretcher()
    {
        mInputDone = false;
        if (mRate == 1.0) {
            mStretcher.reset();
            mSpans.back().timing = {};
            return;
        }
        if (!mStretcher)
            mStretcher = std::make_unique<SpeechStretcher>(mDecoder->sampleRate(), mDecoder->channels());
        mStretcher->restart(mRate);
        mSpans.back().timing = mStretcher->timing();
    }

    // An output that failed while playing (the sound server went away) would
    // stop the position for ever: the rest plays on the clock, silently.
    void checkOutput()
    {
        if (mClockOnly || !mSink || mSink->state() != QAudio::StoppedState ||
            mSink->error() == QAudio::NoError)
            return;
        mClockBaseUs = usFor(recordingFrameAt(outputHeard()) - mStartFrame);
        mFeeder->stop();
        mOutput = nullptr;
        mClockOnly = true;
        mClock.start();
    }

    bool startSink(AudioDecoder *decoder)
    {
        const QAudioDevice output = QMediaDevices::defaultAudioOutput();
        if (output.isNull())
            return false;
        QAudioFormat format;
        format.setSampleRate(decoder->sampleRate());
        format.setChannelCount(decoder->channels());
        format.setSampleFormat(QAudioFormat::Int16);
        mSink = std::make_unique<QAudioSink>(output, format);
        mSink->setBufferSize(format.bytesForDuration(kBufferMs * 1000));
        mOutput = mSink->start();
        return mOutput && mSink->error() == QAudio::NoError && mSink->state() != QAudio::StoppedState;
    }

    // Tops the output buffer up with decoded sound, stretched when the speed asks.
    void feed()
    {
        if (!mOutput || !mDecoder || mAtEnd)
            return;
        const int channels = mDecoder->channels();
        const qint64 frames = mSink->bytesFree() / (channels * qint64(sizeof(qint16)));
        if (frames <= 0)
            return;
        mBuffer.resize(size_t(std::max(frames, kStretchBlock) * channels));
        qint64 got = 0;
        if (mStretcher) {
            while (mStretcher->available() < frames && !mInputDone) {
                const qint64 read = mDecoder->read(mBuffer.data(), kStretchBlock);
                mStretcher->put(mBuffer.data(), read);
                if (read < kStretchBlock) {
                    mStretcher->finish();
                    mInputDone = true;
                }
            }
            got = mStretcher->take(mBuffer.data(), frames);
            mAtEnd = mInputDone && mStretcher->available() == 0;
        } else {
            got = mDecoder->read(mBuffer.data(), frames);
            mAtEnd = got < frames;
        }
        if (got > 0)
            mWritten += mOutput->write(reinterpret_cast<const char *>(mBuffer.data()),
                                       got * channels * qint64(sizeof(qint16))) /
                        (channels * qint64(sizeof(qint16)));
    }

    // Frames the stretcher is given at a time.
    static constexpr qint64 kStretchBlock = 1024;

    std::unique_ptr<QAudioSink> mSink;
    QIODevice *mOutput = nullptr;
    AudioDecoder *mDecoder = nullptr;
    std::unique_ptr<SpeechStretcher> mStretcher; // none at 1.0
    std::vector<Span> mSpans;                    // never empty while playing
    std::vector<qint16> mBuffer;
    QTimer *mFeeder = nullptr;
    QElapsedTimer mClock;
    QElapsedTimer mEndTimer;
    double mRate = 1.0;
    qint64 mStartFrame = 0;
    qint64 mWritten = 0; // output frames handed to the output since start()
    qint64 mRemainingUs = 0;
    qint64 mLastHeardUs = 0;
    qint64 mEndHeard = 0;    // output frames heard when the last was handed over
    qint64 mClockBaseUs = 0; // recording heard before the clock last changed speed or took over
    bool mInputDone = false;
    bool mAtEnd = false;
    bool mEndSeen = false;
    bool mClockOnly = true;
};

namespace {

template <class F> void runIn(QObject *object, F &&f)
{
    QMetaObject::invokeMethod(object, std::forward<F>(f), Qt::BlockingQueuedConnection);
}

} // namespace

SoundMediaDevice::SoundMediaDevice()
{
    // The multimedia back end is set up here, on the thread that owns the
    // application, before the playback thread first asks it for an output.
    QMediaDevices::defaultAudioOutput();
    mThread.setObjectName(QStringLiteral("playback"));
    mThread.start();
    mEngine = new PlaybackEngine;
    mEngine->moveToThread(&mThread);
    // The engine and its audio output end in the thread they live in.
    QObject::connect(&mThread, &QThread::finished, mEngine, &QObject::deleteLater);
}

SoundMediaDevice::~SoundMediaDevice()
{
    close();
    mThread.quit();
    mThread.wait();
}

bool SoundMediaDevice::open(const QString &path, QString *error)
{
    close();
    std::unique_ptr<AudioDecoder> decoder;
    runIn(mEngine, [&] { decoder = AudioDecoder::open(path, error); });
    if (!decoder)
        return false;
    mDecoder = std::move(decoder);
    mLength = mDecoder->lengthMs();
    mOrigin = 0;
    mMode = Mode::Stopped;
    return true;
}

void SoundMediaDevice::close()
{
    if (!mDecoder)
        return;
    halt();
    runIn(mEngine, [this] { mDecoder.reset(); });
    mLength = 0;
    mOrigin = 0;
    mMode = Mode::NotReady;
}

void SoundMediaDevice::startAt(qint64 ms)
{
    mOrigin = ms;
    AudioDecoder *decoder = mDecoder.get();
    const qint64 frame = decoder->frameAt(ms);
    runIn(mEngine, [this, decoder, frame] { mEngine->start(decoder, frame); });
    mMode = Mode::Playing;
}

void SoundMediaDevice::halt()
{
    if (mMode == Mode::Playing)
        runIn(mEngine, [this] { mEngine->halt(); });
}

void SoundMediaDevice::checkEnd() const
{
    if (mMode != Mode::Playing)
        return;
    bool finished = false;
    runIn(mEngine, [&] {
        finished = mEngine->finished();
        if (finished)
            mEngine->halt();
    });
    if (finished) {
        mOrigin = mLength;
        mMode = Mode::Stopped;
    }
}

qint64 SoundMediaDevice::position() const
{
    checkEnd();
    if (mMode != Mode::Playing)
        return mOrigin;
    qint64 heard = 0;
    runIn(mEngine, [&] { heard = mEngine->heardUs(); });
    return std::min(mLength, mOrigin + heard / 1000);
}

void SoundMediaDevice::setPosition(qint64 ms)
{
    if (!mDecoder)
        return;
    halt();
    mOrigin = std::clamp<qint64>(ms, 0, mLength);
    mMode = Mode::Stopped;
}

MediaDevice::Mode SoundMediaDevice::mode() const
{
    checkEnd();
    return mMode;
}

void SoundMediaDevice::play()
{
    if (!mDecoder)
        return;
    checkEnd();
    if (mMode == Mode::Playing)
        return;
    startAt(mOrigin >= mLength ? 0 : mOrigin);
}

void SoundMediaDevice::pause()
{
    checkEnd();
    if (mMode == Mode::Playing) {
        const qint64 heard = position();
        halt();
        mOrigin = heard;
        mMode = Mode::Paused;
    } else if (mMode == Mode::Paused) {
        startAt(mOrigin);
    }
}

void SoundMediaDevice::stop()
{
    if (!mDecoder)
        return;
    if (mMode == Mode::Playing) {
        const qint64 heard = position();
        halt();
        mOrigin = heard;
    }
    mMode = Mode::Stopped;
}

void SoundMediaDevice::setRate(double rate)
{
    // Steps of a tenth add up to 1.0 only nearly: 1.0 means no stretching at all.
    rate = std::isfinite(rate) ? std::clamp(rate, kMinRate, kMaxRate) : 1.0;
    if (std::abs(rate - 1.0) < 1e-6)
        rate = 1.0;
    if (rate == mRate)
        return;
    mRate = rate;
    runIn(mEngine, [this, rate] { mEngine->setRate(rate); });
}

bool SoundMediaDevice::hasSoundOutput() const
{
    bool sound = false;
    runIn(mEngine, [&] { sound = mEngine->hasSoundOutput(); });
    return sound;
}

qint64 SoundMediaDevice::probeLength(const QString &path)
{
    const auto decoder = AudioDecoder::open(path);
    return decoder ? decoder->lengthMs() : -1;
}

} // namespace lirena
