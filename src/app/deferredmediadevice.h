#pragma once

#include "platform/mediadevice.h"

#include <functional>
#include <memory>

namespace lirena {

// The window's media device, made when the first recording is opened: making
// it sets up the sound system and reaches the sound server, which the first
// page on screen need not wait for. Until then it is a device with nothing
// open; the reading speed and the length handler it is given are handed on.
class DeferredMediaDevice : public MediaDevice
{
public:
    explicit DeferredMediaDevice(std::function<std::unique_ptr<MediaDevice>()> make);
    ~DeferredMediaDevice() override;

    bool open(const QString &path, QString *error = nullptr) override;
    void close() override;
    void rewind() override;
    qint64 length() const override;
    bool lengthKnown() const override;
    void setLengthKnownHandler(std::function<void()> handler) override;
    qint64 position() const override;
    void setPosition(qint64 ms) override;
    Mode mode() const override;
    void play() override;
    void pause() override;
    void stop() override;
    bool hasSoundOutput() const override;
    void setRate(double rate) override;
    double rate() const override;

    // Whether the device has been made.
    bool made() const { return bool(mDevice); }

private:
    std::function<std::unique_ptr<MediaDevice>()> mMake;
    std::unique_ptr<MediaDevice> mDevice;
    std::function<void()> mLengthKnown;
    double mRate = 1.0;
};

} // namespace lirena
