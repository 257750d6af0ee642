#include "platform/waveout.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace lirena {

namespace {

// The sink pulls from the event loop of the thread it lives in, 20 ms a tick,
// and here that is the window thread. Asked for 200 ms of buffering, the
// server keeps about 120 ms for the stream: the window may be busy for 100 ms
// without a gap. A reset still ends the sound at once, since stopping the
// sink drops the stream with what it holds.
const int kBufferMs = 200;
// How often a playing block is looked after (the sink failed, the end heard).
const int kWatchMs = 10;
// Once everything was handed over, the time the rest takes to be heard plus
// this is allowed for the sink's clock to reach the end; it may stop short.
const int kEndSlackMs = 150;
// Silence played after a block, so that the stream runs on until its end has
// been heard: a stream that ran dry before the end (a stall of the window)
// waits for a full buffer before it plays again, and would hold the end back.
const int kTrailMs = kBufferMs + kEndSlackMs + 100;

QAudioFormat blockFormat()
{
    QAudioFormat format;
    format.setSampleRate(22050);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

// The caller's block, read in place, followed by silence.
class BlockReader : public QIODevice
{
public:
    BlockReader(const char *data, qint64 length, qint64 trail) : mData(data), mLength(length), mTrail(trail)
    {
        // Unbuffered: nothing is read ahead of what the sink asks for.
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }

    qint64 size() const override { return mLength + mTrail; }
    // Whether the sink has taken all of the caller's block.
    bool blockRead() const { return pos() >= mLength; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 from = pos();
        const qint64 size = std::min(maxSize, this->size() - from);
        const qint64 fromBlock = std::clamp<qint64>(mLength - from, 0, size);
        std::copy_n(mData + from, fromBlock, data);
        std::fill_n(data + fromBlock, size - fromBlock, char(0));
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    const char *mData;
    qint64 mLength;
    qint64 mTrail;
};

// Plays each block through a QAudioSink of its own that lives on the window
// thread and pulls straight from the caller's memory.
class SoundWaveOut : public WaveOut
{
public:
    SoundWaveOut();
    ~SoundWaveOut() override;

    bool available() const override { return mAvailable; }
    bool open() override;
    void write(const char *data, qint64 length) override;
    bool reset() override;
    void close() override;

private:
    void watch();
    void giveBack();

    QAudioFormat mFormat;
    bool mAvailable = false;
    // Parent of the sinks and target of the queued calls (`done`, deleting
    // a sink): what is still waiting goes with it.
    QObject mContext;
    QAudioSink *mSink = nullptr;
    std::unique_ptr<BlockReader> mSource;
    QTimer mWatch;
    QElapsedTimer mSinceAllPulled;
    qint64 mBlockUs = 0;
    qint64 mEndDeadlineMs = 0;
    bool mInFlight = false;    // the sink may still read the block
    bool mDonePending = false; // written, and `done` not yet delivered
};

SoundWaveOut::SoundWaveOut() : mFormat(blockFormat())
{
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    mAvailable = !output.isNull() && output.isFormatSupported(mFormat);
    mWatch.setInterval(kWatchMs);
    QObject::connect(&mWatch, &QTimer::timeout, &mContext, [this] { watch(); });
}

SoundWaveOut::~SoundWaveOut()
{
    done = nullptr;
    QCoreApplication::removePostedEvents(&mContext, QEvent::MetaCall);
    if (mSink)
        mSink->stop();
}

bool SoundWaveOut::open()
{
    if (!mAvailable || mSink)
        return false;
    const QAudioDevice output = QMediaDevices::defaultAudioOutput();
    if (output.isNull())
        return false;
    mSink = new QAudioSink(output, mFormat, &mContext);
    mSink->setBufferSize(mFormat.bytesForDuration(kBufferMs * 1000));
    if (mSink->error() != QAudio::NoError) {
        close();
        return false;
    }
    return true;
}

void SoundWaveOut::write(const char *data, qint64 length)
{
    // The server takes whole frames only.
    length = std::max<qint64>(length - length % mFormat.bytesPerFrame(), 0);
    mSource = std::make_unique<BlockReader>(data, length, mFormat.bytesForDuration(kTrailMs * 1000));
    mBlockUs = mFormat.durationForBytes(qint32(length));
    mSinceAllPulled.invalidate();
    mInFlight = true;
    mDonePending = true;
    if (!mSink || length <= 0) {
        giveBack();
        return;
    }
    // A sink that cannot start (the server went away) is seen Stopped on the first watch.
    mSink->start(mSource.get());
    mWatch.start();
}

bool SoundWaveOut::reset()
{
    if (mInFlight)
        giveBack();
    return mDonePending;
}

void SoundWaveOut::close()
{
    mWatch.stop();
    mInFlight = false;
    if (mSink) {
        mSink->stop();
        // Deleted from the event loop: a sink's destructor runs the events
        // that are waiting, which must not happen inside the owner's `done`.
        QAudioSink *sink = std::exchange(mSink, nullptr);
        QMetaObject::invokeMethod(
            &mContext, [sink] { delete sink; }, Qt::QueuedConnection);
    }
    mSource.reset();
}

void SoundWaveOut::watch()
{
    if (mSink->state() == QAudio::StoppedState) {
        giveBack(); // the sink failed
        return;
    }
    if (!mSource->blockRead())
        return;
    // The whole block has been handed over, but the server's buffer is still
    // playing it: the block is given back when its end has been heard.
    const qint64 heardUs = mSink->processedUSecs();
    if (!mSinceAllPulled.isValid()) {
        mSinceAllPulled.start();
        mEndDeadlineMs = std::max<qint64>(mBlockUs - heardUs, 0) / 1000 + kEndSlackMs;
    }
    if (heardUs >= mBlockUs || mSinceAllPulled.elapsed() > mEndDeadlineMs)
        giveBack();
}

void SoundWaveOut::giveBack()
{
    mInFlight = false;
    mWatch.stop();
    // Stopped, the sink reads nothing more: the memory is the caller's again.
    if (mSink)
        mSink->stop();
    QMetaObject::invokeMethod(
        &mContext,
        [this] {
            mDonePending = false;
            if (done)
                done();
        },
        Qt::QueuedConnection);
}

} // namespace

std::unique_ptr<WaveOut> makeSoundWaveOut()
{
    return std::make_unique<SoundWaveOut>();
}

} // namespace lirena
