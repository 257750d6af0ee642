#include "app/deferredmediadevice.h"

namespace lirena {

DeferredMediaDevice::DeferredMediaDevice(std::function<std::unique_ptr<MediaDevice>()> make)
    : mMake(std::move(make))
{
}

DeferredMediaDevice::~DeferredMediaDevice() = default;

bool DeferredMediaDevice::open(const QString &path, QString *error)
{
    if (!mDevice) {
        mDevice = mMake();
        mDevice->setRate(mRate);
        if (mLengthKnown)
            mDevice->setLengthKnownHandler(mLengthKnown);
    }
    return mDevice->open(path, error);
}

void DeferredMediaDevice::close()
{
    if (mDevice)
        mDevice->close();
}

void DeferredMediaDevice::rewind()
{
    if (mDevice)
        mDevice->rewind();
}

qint64 DeferredMediaDevice::length() const
{
    return mDevice ? mDevice->length() : 0;
}

bool DeferredMediaDevice::lengthKnown() const
{
    return mDevice ? mDevice->lengthKnown() : true;
}

void DeferredMediaDevice::setLengthKnownHandler(std::function<void()> handler)
{
    mLengthKnown = handler;
    if (mDevice)
        mDevice->setLengthKnownHandler(std::move(handler));
}

qint64 DeferredMediaDevice::position() const
{
    return mDevice ? mDevice->position() : 0;
}

void DeferredMediaDevice::setPosition(qint64 ms)
{
    if (mDevice)
        mDevice->setPosition(ms);
}

MediaDevice::Mode DeferredMediaDevice::mode() const
{
    return mDevice ? mDevice->mode() : Mode::NotReady;
}

void DeferredMediaDevice::play()
{
    if (mDevice)
        mDevice->play();
}

void DeferredMediaDevice::pause()
{
    if (mDevice)
        mDevice->pause();
}

void DeferredMediaDevice::stop()
{
    if (mDevice)
        mDevice->stop();
}

bool DeferredMediaDevice::hasSoundOutput() const
{
    return mDevice ? mDevice->hasSoundOutput() : true;
}

void DeferredMediaDevice::setRate(double rate)
{
    mRate = rate;
    if (mDevice)
        mDevice->setRate(rate);
}

double DeferredMediaDevice::rate() const
{
    return mDevice ? mDevice->rate() : mRate;
}

} // namespace lirena
