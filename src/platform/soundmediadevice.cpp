#include "platform/soundmediadevice.h"

#include "platform/audiodecoder.h"
#include "platform/speechstretcher.h"

#include <QAbstractEventDispatcher>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <vector>

namespace lirena {

namespace {

// About 50 ms of sound waiting in the output: little enough that a seek is
// heard at once, enough that a short stall of the machine is not. (Much
// smaller buffers stall the sound server's stream before it starts.) The
// server keeps a quarter of the latency asked for in its own buffer and the
// rest in the stream's: asking 70 ms leaves 52 ms there, topped up every
// 20 ms, so that some 30 ms are always left.
const int kBufferMs = 70;
// How long an output is kept after it was closed (see halt()): far longer
// than the sound server takes to answer, however busy the machine.
const int kRetiredOutputMs = 3000;
// The output is topped up whenever the playback thread wakes up and finds
// room for this much: the audio output's own timer wakes it every 20 ms, so
// the sound needs no wake-ups of its own (a poll every few ms cost more than
// decoding).
const int kTopUpMs = 5;
// Should nothing wake the thread, a timer does when this much is left.
const int kLowMs = 20;
// While the last sound plays out, how often the end is looked for.
const int kEndPollMs = 10;

qint64 steadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

// What the playback thread last learnt of the sound heard, published for the
// device's owner thread: a sequence lock whose one writer never waits and
// whose one reader never spins (a read torn by a write under way gives the
// last whole report again).
class HeardPosition
{
public:
    struct Report
    {
        quint64 play = 0;      // the play it tells of (the device numbers them)
        qint64 heardUs = 0;    // recording heard since the play's start frame, at atNs
        qint64 atNs = 0;       // steady clock
        double rate = 0;       // recording time per wall time from atNs on
        qint64 limitUs = 0;    // recording handed to the output (on the clock: to the end); never passed
        bool finished = false; // everything to the end has been heard
        bool sound = true;     // false: playing on the clock
    };

    // The playback thread's.
    void publish(const Report &r)
    {
        const quint64 sequence = mSequence.load(std::memory_order_relaxed);
        mSequence.store(sequence + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        mPlay.store(r.play, std::memory_order_relaxed);
        mHeardUs.store(r.heardUs, std::memory_order_relaxed);
        mAtNs.store(r.atNs, std::memory_order_relaxed);
        mRate.store(r.rate, std::memory_order_relaxed);
        mLimitUs.store(r.limitUs, std::memory_order_relaxed);
        mFlags.store((r.finished ? kFinished : 0) | (r.sound ? kSound : 0), std::memory_order_relaxed);
        mSequence.store(sequence + 2, std::memory_order_release);
    }

    // The owner thread's.
    Report read() const
    {
        const quint64 before = mSequence.load(std::memory_order_acquire);
        if (before & 1)
            return mLastRead;
        Report r;
        r.play = mPlay.load(std::memory_order_relaxed);
        r.heardUs = mHeardUs.load(std::memory_order_relaxed);
        r.atNs = mAtNs.load(std::memory_order_relaxed);
        r.rate = mRate.load(std::memory_order_relaxed);
        r.limitUs = mLimitUs.load(std::memory_order_relaxed);
        const int flags = mFlags.load(std::memory_order_relaxed);
        r.finished = flags & kFinished;
        r.sound = flags & kSound;
        std::atomic_thread_fence(std::memory_order_acquire);
        if (mSequence.load(std::memory_order_relaxed) != before)
            return mLastRead;
        mLastRead = r;
        return r;
    }

    // Recording µs heard at wall time nowNs: the report carried on at its
    // rate, never past its limit.
    static qint64 heardAt(const Report &r, qint64 nowNs)
    {
        const double since = double(std::max<qint64>(nowNs - r.atNs, 0)) / 1000;
        return std::min(r.limitUs, r.heardUs + qint64(since * r.rate));
    }

private:
    static constexpr int kFinished = 1;
    static constexpr int kSound = 2;

    std::atomic<quint64> mSequence{0};
    std::atomic<quint64> mPlay{0};
    std::atomic<qint64> mHeardUs{0};
    std::atomic<qint64> mAtNs{0};
    std::atomic<double> mRate{0};
    std::atomic<qint64> mLimitUs{0};
    std::atomic<int> mFlags{0};
    mutable Report mLastRead;
};

// Lives in the device's thread: owns the audio output and keeps it fed, and
// publishes what has been heard. At any speed but 1.0 the sound goes through
// a stretcher on its way out. The output is a chain of spans, one per speed:
// each says which recording frame its first output frame began at, so the
// output heard maps back to the recording whatever the stretcher holds inside.
class PlaybackEngine : public QObject
{
public:
    explicit PlaybackEngine(std::shared_ptr<HeardPosition> heard) : mHeard(std::move(heard))
    {
        // A child, so it moves to the device's thread with the engine.
        mFeeder = new QTimer(this);
        mFeeder->setSingleShot(true);
        mFeeder->setTimerType(Qt::PreciseTimer);
        QObject::connect(mFeeder, &QTimer::timeout, this, [this] { feed(true); });
    }

    void start(std::shared_ptr<AudioDecoder> decoder, qint64 frame, quint64 play)
    {
        halt();
        // Far into a long MP3 not indexed yet, this reads the frame headers on the way.
        decoder->seek(frame);
        mDecoder = std::move(decoder);
        mPlay = play;
        mStartFrame = frame;
        mRemainingUs = usFor(mDecoder->totalFrames() - frame);
        mAtEnd = false;
        mEndSeen = false;
        mClockBaseUs = 0;
        mWritten = 0;
        mLastHeardUs = 0;
        mSpans = {{.output = 0, .recording = frame, .timing = {}}};
        mStretcher.reset(); // made for the recording and speed of the last play
        mClockOnly = !startSink();
        mClockStartNs = steadyNs();
        if (mClockOnly) {
            publish();
            return;
        }
        startStretcher();
        if (!mWatchingWakeUps) {
            QObject::connect(QThread::currentThread()->eventDispatcher(),
                             &QAbstractEventDispatcher::aboutToBlock, this, [this] { feed(false); });
            mWatchingWakeUps = true;
        }
        feed(true);
    }

    void halt()
    {
        mFeeder->stop();
        mOutput = nullptr;
        mDecoder.reset();
        // Every play gets an output of its own: one that was reset is not used
        // again. It is deleted from the event loop, for its destructor runs the
        // events queued meanwhile (the next play), which must not find this
        // engine halfway through; and only kRetiredOutputMs later: Qt's pulse
        // output answers a buffer underrun by asking the server to drain,
        // with itself to be told, and closing does not withdraw the question.
        // An answer on its way when the output is closed would be delivered to
        // a deleted object. Outputs still waiting when the playback thread
        // ends are left as they are, closed, for the same reason.
        if (mSink) {
            mSink->reset();
            QAudioSink *retired = mSink.release();
            QTimer::singleShot(kRetiredOutputMs, retired, &QObject::deleteLater);
        }
    }

    // A new speed takes over from what was last handed to the output; what the
    // output holds (some tens of ms) still plays at the old speed.
    void setRate(double rate)
    {
        if (rate == mRate)
            return;
        if (mClockOnly && mDecoder) {
            mClockBaseUs = clockUs();
            mClockStartNs = steadyNs();
        }
        mRate = rate;
        if (mClockOnly) {
            if (mDecoder)
                publish();
            return;
        }
        if (!mOutput || !mDecoder || mAtEnd)
            return;
        const qint64 frame = std::min(recordingFrameAt(mWritten), mDecoder->totalFrames());
        if (mSpans.back().output == mWritten)
            mSpans.pop_back();
        mSpans.push_back({.output = mWritten, .recording = frame, .timing = {}});
        mDecoder->seek(frame);
        startStretcher();
    }

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
    qint64 clockUs() const
    {
        return mClockBaseUs + qint64(double(steadyNs() - mClockStartNs) / 1000 * mRate);
    }

    // Output frames the sound server has played.
    qint64 outputHeard() const { return mSink->processedUSecs() * mSink->format().sampleRate() / 1000000; }

    // The span an output frame lies in.
    std::vector<Span>::const_iterator spanAt(qint64 output) const
    {
        return std::prev(std::upper_bound(mSpans.begin(), mSpans.end(), output,
                                          [](qint64 o, const Span &s) { return o < s.output; }));
    }

    // The recording frame heard at an output frame.
    qint64 recordingFrameAt(qint64 output) const
    {
        const auto span = spanAt(output);
        return span->recording + qint64(std::llround(span->timing.recordingFramesAt(output - span->output)));
    }

    // Tells the owner's thread what is heard now (heard: the output frames
    // played, when playing through the output); on the clock, how the clock runs.
    void publish(qint64 heard = 0, bool finished = false)
    {
        HeardPosition::Report r{.play = mPlay, .sound = !mClockOnly};
        if (mClockOnly) {
            r.heardUs = mClockBaseUs;
            r.atNs = mClockStartNs;
            r.rate = mRate;
            r.limitUs = mRemainingUs;
        } else {
            r.atNs = steadyNs();
            // Spans already played out are not needed again.
            while (mSpans.size() > 1 && mSpans[1].output <= heard)
                mSpans.erase(mSpans.begin());
            r.heardUs = std::clamp(usFor(recordingFrameAt(heard) - mStartFrame), mLastHeardUs, mRemainingUs);
            mLastHeardUs = r.heardUs;
            r.rate = spanAt(heard)->timing.rate;
            r.limitUs = std::clamp(usFor(recordingFrameAt(mWritten) - mStartFrame), r.heardUs, mRemainingUs);
        }
        if (finished) {
            r.heardUs = r.limitUs = mRemainingUs;
            r.finished = true;
        }
        mHeard->publish(r);
    }

    // Whether everything from the start frame on has been heard, with heard
    // output frames played.
    bool finished(qint64 heard)
    {
        if (mAtEnd && heard >= mWritten)
            return true;
        // (Stretched sound maps to the recording only on average: its output counts.)
        if (!mStretcher && usFor(recordingFrameAt(heard) - mStartFrame) >= mRemainingUs)
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
    bool outputFailed() const
    {
        return mSink->state() == QAudio::StoppedState && mSink->error() != QAudio::NoError;
    }

    bool startSink()
    {
        const QAudioDevice output = QMediaDevices::defaultAudioOutput();
        if (output.isNull())
            return false;
        QAudioFormat format;
        format.setSampleRate(mDecoder->sampleRate());
        format.setChannelCount(mDecoder->channels());
        format.setSampleFormat(QAudioFormat::Int16);
        mSink = std::make_unique<QAudioSink>(output, format);
        mSink->setBufferSize(format.bytesForDuration(kBufferMs * 1000));
        mOutput = mSink->start();
        return mOutput && mSink->error() == QAudio::NoError && mSink->state() != QAudio::StoppedState;
    }

    // Tops the output buffer up with decoded sound, stretched when the speed
    // asks, and tells what is heard; unless due, only when there is room
    // worth filling.
    void feed(bool due)
    {
        if (!mOutput || !mDecoder || mClockOnly)
            return;
        if (outputFailed()) {
            mFeeder->stop();
            mClockBaseUs = mLastHeardUs;
            mClockStartNs = steadyNs();
            mOutput = nullptr;
            mClockOnly = true;
            publish();
            return;
        }
        const qint64 frameBytes = mDecoder->channels() * qint64(sizeof(qint16));
        const qint64 room = mSink->bytesFree() / frameBytes;
        if (!due && !mAtEnd && room * 1000 < kTopUpMs * qint64(mDecoder->sampleRate()))
            return;
        const qint64 written = mAtEnd ? 0 : write(room);
        const qint64 heard = outputHeard();
        const bool done = finished(heard);
        publish(heard, done);
        if (done) {
            halt();
            return;
        }
        if (mAtEnd) {
            mFeeder->start(kEndPollMs);
            return;
        }
        const qint64 leftMs =
            (mSink->bufferSize() / frameBytes - room + written) * 1000 / mDecoder->sampleRate();
        mFeeder->start(int(std::max<qint64>(leftMs - kLowMs, 1)));
    }

    // Hands up to frames output frames to the output; returns how many it took.
    qint64 write(qint64 frames)
    {
        if (frames <= 0)
            return 0;
        const int channels = mDecoder->channels();
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
        if (got <= 0)
            return 0;
        const qint64 taken = mOutput->write(reinterpret_cast<const char *>(mBuffer.data()),
                                            got * channels * qint64(sizeof(qint16))) /
                             (channels * qint64(sizeof(qint16)));
        mWritten += taken;
        return taken;
    }

    // Frames the stretcher is given at a time.
    static constexpr qint64 kStretchBlock = 1024;

    std::shared_ptr<HeardPosition> mHeard;
    std::unique_ptr<QAudioSink> mSink;
    QIODevice *mOutput = nullptr;
    std::shared_ptr<AudioDecoder> mDecoder;      // while playing
    std::unique_ptr<SpeechStretcher> mStretcher; // none at 1.0
    std::vector<Span> mSpans;                    // never empty while playing
    std::vector<qint16> mBuffer;
    QTimer *mFeeder = nullptr;
    QElapsedTimer mEndTimer;
    double mRate = 1.0;
    quint64 mPlay = 0;
    qint64 mStartFrame = 0;
    qint64 mWritten = 0; // output frames handed to the output since start()
    qint64 mRemainingUs = 0;
    qint64 mLastHeardUs = 0;
    qint64 mEndHeard = 0;     // output frames heard when the last was handed over
    qint64 mClockBaseUs = 0;  // recording heard before the clock last changed speed or took over
    qint64 mClockStartNs = 0; // steady clock when the clock last took over or changed speed
    bool mInputDone = false;
    bool mAtEnd = false;
    bool mEndSeen = false;
    bool mClockOnly = true;
    bool mWatchingWakeUps = false;
};

// A background scan of the recording: its length, or its frame index.
struct SoundMediaDevice::ScanJob
{
    std::atomic<bool> done{false};
    std::atomic<bool> cancelled{false}; // the recording was closed
};

namespace {

// Runs f in the engine's thread, without waiting for it.
template <class F> void post(QObject *engine, F &&f)
{
    QMetaObject::invokeMethod(engine, std::forward<F>(f), Qt::QueuedConnection);
}

} // namespace

SoundMediaDevice::SoundMediaDevice()
    : mMailbox(std::make_unique<QObject>()), mHeard(std::make_shared<HeardPosition>())
{
    // The multimedia back end is set up here, on the thread that owns the
    // application, before the playback thread first asks it for an output.
    QMediaDevices::defaultAudioOutput();
    mThread.setObjectName(QStringLiteral("playback"));
    mThread.start();
    mEngine = new PlaybackEngine(mHeard);
    mEngine->moveToThread(&mThread);
    // The engine and its audio output end in the thread they live in.
    QObject::connect(&mThread, &QThread::finished, mEngine, &QObject::deleteLater);
    // A scan holds a recording's frames a fraction of a second; two at once
    // let a new recording start while the last one's finishes.
    mScans.setMaxThreadCount(2);
}

SoundMediaDevice::~SoundMediaDevice()
{
    close();
    mScans.waitForDone();
    mThread.quit();
    mThread.wait();
}

std::shared_ptr<SoundMediaDevice::ScanJob> SoundMediaDevice::startScan(std::function<void()> work,
                                                                       std::function<void()> done)
{
    auto job = std::make_shared<ScanJob>();
    mScans.start([job, work = std::move(work), done = std::move(done), mailbox = mMailbox.get()] {
        if (job->cancelled)
            return;
        work();
        job->done.store(true, std::memory_order_release);
        if (done)
            QMetaObject::invokeMethod(
                mailbox,
                [job, done] {
                    if (!job->cancelled)
                        done();
                },
                Qt::QueuedConnection);
    });
    return job;
}

bool SoundMediaDevice::open(const QString &path, QString *error)
{
    close();
    std::shared_ptr<AudioDecoder> decoder = AudioDecoder::open(path, error, AudioDecoder::Scan::Later);
    if (!decoder)
        return false;
    mDecoder = decoder;
    mOrigin = 0;
    mMode = Mode::Stopped;
    mLengthKnown = decoder->lengthKnown();
    mLength = mLengthKnown ? decoder->lengthMs() : 0;
    if (!mLengthKnown) {
        // Measured by a scan of its own, which also indexes it; nothing else
        // touches the decoder till then.
        mLengthScan = startScan([decoder] { decoder->scan(); },
                                [this] {
                                    settle();
                                    if (mLengthKnownHandler)
                                        mLengthKnownHandler();
                                });
    } else if (!decoder->indexed()) {
        // Another decoder of the file reads the frame headers and hands its
        // index to the playing one in the playback thread.
        PlaybackEngine *engine = mEngine;
        mIndexScan = startScan(
            [decoder, path, engine] {
                std::shared_ptr<AudioDecoder> scanned =
                    AudioDecoder::open(path, nullptr, AudioDecoder::Scan::Always);
                if (scanned)
                    post(engine, [decoder, scanned] { decoder->takeIndex(*scanned); });
            },
            nullptr);
    }
    return true;
}

void SoundMediaDevice::close()
{
    if (!mDecoder)
        return;
    halt();
    for (auto *job : {&mLengthScan, &mIndexScan}) {
        if (*job)
            (*job)->cancelled = true;
        job->reset();
    }
    mDecoder.reset();
    mLength = 0;
    mLengthKnown = true;
    mOrigin = 0;
    mMode = Mode::NotReady;
}

void SoundMediaDevice::adoptLength() const
{
    mLengthKnown = true;
    mLength = mDecoder->lengthMs();
    mOrigin = std::clamp<qint64>(mOrigin, 0, mLength);
    // A play asked for meanwhile starts now.
    if (mMode == Mode::Playing && !mStarted)
        startAt(mOrigin >= mLength ? 0 : mOrigin);
}

void SoundMediaDevice::settle() const
{
    if (!mLengthKnown && mLengthScan && mLengthScan->done.load(std::memory_order_acquire))
        adoptLength();
    if (mMode != Mode::Playing || !mStarted)
        return;
    const HeardPosition::Report r = mHeard->read();
    if (r.play != mPlay)
        return;
    if (r.finished || (!r.sound && HeardPosition::heardAt(r, steadyNs()) >= r.limitUs)) {
        halt();
        mOrigin = mLength;
        mMode = Mode::Stopped;
    }
}

void SoundMediaDevice::startAt(qint64 ms) const
{
    mOrigin = ms;
    mMode = Mode::Playing;
    mStarted = true;
    mLastHeard = 0;
    const quint64 play = ++mPlay;
    const qint64 frame = mDecoder->frameAt(ms);
    post(mEngine,
         [engine = mEngine, decoder = mDecoder, frame, play] { engine->start(decoder, frame, play); });
}

void SoundMediaDevice::halt() const
{
    if (mStarted) {
        ++mPlay; // what the engine still reports of the old play is not heard
        post(mEngine, [engine = mEngine] { engine->halt(); });
    }
    mStarted = false;
}

qint64 SoundMediaDevice::heardMs() const
{
    const HeardPosition::Report r = mHeard->read();
    if (r.play != mPlay)
        return 0; // the engine has not started this play yet
    mLastHeard = std::max(mLastHeard, HeardPosition::heardAt(r, steadyNs()) / 1000);
    return mLastHeard;
}

qint64 SoundMediaDevice::length() const
{
    settle();
    return mLength;
}

bool SoundMediaDevice::lengthKnown() const
{
    settle();
    return mLengthKnown;
}

qint64 SoundMediaDevice::position() const
{
    settle();
    if (mMode != Mode::Playing || !mStarted)
        return mOrigin;
    return std::min(mLength, mOrigin + heardMs());
}

void SoundMediaDevice::setPosition(qint64 ms)
{
    if (!mDecoder)
        return;
    settle();
    halt();
    // Before the length is known, the seek waits unclamped.
    mOrigin = mLengthKnown ? std::clamp<qint64>(ms, 0, mLength) : std::max<qint64>(ms, 0);
    mMode = Mode::Stopped;
}

MediaDevice::Mode SoundMediaDevice::mode() const
{
    settle();
    return mMode;
}

void SoundMediaDevice::play()
{
    if (!mDecoder)
        return;
    settle();
    if (mMode == Mode::Playing)
        return;
    if (!mLengthKnown) {
        mMode = Mode::Playing; // starts when the length is known
        return;
    }
    startAt(mOrigin >= mLength ? 0 : mOrigin);
}

void SoundMediaDevice::pause()
{
    settle();
    if (mMode == Mode::Playing) {
        const qint64 heard = position();
        halt();
        mOrigin = heard;
        mMode = Mode::Paused;
    } else if (mMode == Mode::Paused) {
        if (mLengthKnown)
            startAt(mOrigin);
        else
            mMode = Mode::Playing; // starts when the length is known
    }
}

void SoundMediaDevice::stop()
{
    if (!mDecoder)
        return;
    settle();
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
    post(mEngine, [engine = mEngine, rate] { engine->setRate(rate); });
}

bool SoundMediaDevice::hasSoundOutput() const
{
    settle();
    const HeardPosition::Report r = mHeard->read();
    if (mStarted && r.play == mPlay)
        return r.sound;
    // Not playing yet: the play will find the output the system offers.
    return !QMediaDevices::defaultAudioOutput().isNull();
}

qint64 SoundMediaDevice::probeLength(const QString &path)
{
    const auto decoder = AudioDecoder::open(path);
    return decoder ? decoder->lengthMs() : -1;
}

} // namespace lirena
