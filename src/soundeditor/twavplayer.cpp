#include "soundeditor/twavplayer.h"

#include "platform/waveout.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace lirena {

namespace {

std::unique_ptr<WaveOut> soundOutput()
{
    try {
        return makeSoundWaveOut();
    } catch (const std::bad_alloc &) {
        throw EWavPlayMemAlloc();
    }
}

} // namespace

TWavPlayer::TWavPlayer(QObject *owner) : TWavPlayer(soundOutput(), owner) {}

TWavPlayer::TWavPlayer(std::unique_ptr<WaveOut> output, QObject *owner)
    : QObject(owner), mOutput(std::move(output))
{
    mAvailable = mOutput && mOutput->available();
    if (!mAvailable)
        return;
    mOutput->done = [this] {
        mOutput->close();
        mStopping = false;
        mPlaying = false;
        emit finished();
    };
}

TWavPlayer::~TWavPlayer()
{
    if (mAvailable) {
        Stop();
        mOutput->done = nullptr;
    }
}

void TWavPlayer::Play(const char *data, qint64 length)
{
    if (!mAvailable || length <= 0 || !data)
        return;
    Stop();
    // A device that refused to stop still plays the old block: one at a time.
    if (mPlaying)
        return;
    if (!mOutput->open())
        return;
    mPlaying = true;
    mOutput->write(data, length);
}

void TWavPlayer::Stop()
{
    if (!mPlaying)
        return;
    mStopping = true;
    if (!mOutput->reset()) {
        mStopping = false;
        return;
    }
    // The caller may release the memory as soon as this returns: wait for the
    // device to give the block back, letting the window go on meanwhile.
    while (mStopping)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace lirena
