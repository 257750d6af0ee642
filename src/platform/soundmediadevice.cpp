#include "platform/soundmediadevice.h"

#include "platform/audiodecoder.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

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

// Lives in the device's thread: owns the audio output and keeps it fed.
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
        mRemainingUs = (decoder->totalFrames() - frame) * 1000000 / decoder->sampleRate();
        mAtEnd = false;
        mEndSeen = false;
        mClockBaseUs = 0;
        mClockOnly = !startSink(decoder);
        mClock.start();
        if (!mClockOnly) {
            feed();
            mFeeder->start();
        }
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

    // Microseconds heard since start().
    qint64 heardUs()
    {
        checkOutput();
        if (!mClockOnly && !mSink)
            return 0;
        const qint64 heard = mClockOnly ? clockUs() : mSink->processedUSecs();
        return std::min(heard, mRemainingUs);
    }

    // Whether everything from the start frame on has been heard.
    bool finished()
    {
        checkOutput();
        if (mClockOnly)
            return clockUs() >= mRemainingUs;
        if (!mSink)
            return true;
        const qint64 heard = mSink->processedUSecs();
        if (heard >= mRemainingUs)
            return true;
        // The output may stop counting a little short of the end: once the last
        // sound was handed over, allow it the time it takes to be heard.
        if (mAtEnd && !mEndSeen) {
            mEndSeen = true;
            mEndTimer.start();
            mEndHeardUs = heard;
        }
        return mEndSeen && mEndTimer.nsecsElapsed() / 1000 > (mRemainingUs - mEndHeardUs) + 150000;
    }

    bool hasSoundOutput() const { return !mClockOnly; }

private:
    qint64 clockUs() const { return mClockBaseUs + mClock.nsecsElapsed() / 1000; }

    // An output that failed while playing (the sound server went away) would
    // stop the position for ever: the rest plays on the clock, silently.
    void checkOutput()
    {
        if (mClockOnly || !mSink || mSink->state() != QAudio::StoppedState || mSink->error() == QAudio::NoError)
            return;
        mClockBaseUs = mSink->processedUSecs();
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

    // Tops the output buffer up with decoded sound.
    void feed()
    {
        if (!mOutput || !mDecoder || mAtEnd)
            return;
        const int channels = mDecoder->channels();
        const qint64 frames = mSink->bytesFree() / (channels * qint64(sizeof(qint16)));
        if (frames <= 0)
            return;
        mBuffer.resize(size_t(frames * channels));
        const qint64 got = mDecoder->read(mBuffer.data(), frames);
        if (got < frames)
            mAtEnd = true;
        if (got > 0)
            mOutput->write(reinterpret_cast<const char *>(mBuffer.data()), got * channels * qint64(sizeof(qint16)));
    }

    std::unique_ptr<QAudioSink> mSink;
    QIODevice *mOutput = nullptr;
    AudioDecoder *mDecoder = nullptr;
    std::vector<qint16> mBuffer;
    QTimer *mFeeder = nullptr;
    QElapsedTimer mClock;
    QElapsedTimer mEndTimer;
    qint64 mRemainingUs = 0;
    qint64 mEndHeardUs = 0;
    qint64 mClockBaseUs = 0; // heard before the clock took over
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
