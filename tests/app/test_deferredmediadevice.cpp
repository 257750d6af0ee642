#include "app/deferredmediadevice.h"

#include "../player/scripteddevice.h"

#include <gtest/gtest.h>

using namespace lirena;

TEST(DeferredMediaDevice, IsMadeAtTheFirstOpenWithWhatItWasToldBefore)
{
    int made = 0;
    RateDevice *device = nullptr;
    DeferredMediaDevice deferred([&] {
        ++made;
        auto d = std::make_unique<RateDevice>();
        device = d.get();
        return d;
    });
    bool lengthTold = false;
    deferred.setRate(0.7);
    deferred.setLengthKnownHandler([&] { lengthTold = true; });
    deferred.stop();
    deferred.setPosition(500);
    EXPECT_EQ(deferred.mode(), MediaDevice::Mode::NotReady);
    EXPECT_DOUBLE_EQ(deferred.rate(), 0.7);
    EXPECT_EQ(made, 0);

    ASSERT_TRUE(deferred.open("/kurs/a.mp3"));
    ASSERT_TRUE(deferred.open("/kurs/b.mp3"));
    EXPECT_EQ(made, 1);
    EXPECT_DOUBLE_EQ(device->rate(), 0.7);
    device->measured();
    EXPECT_TRUE(lengthTold);
    deferred.setPosition(1200);
    deferred.play();
    EXPECT_EQ(deferred.position(), 1200);
    EXPECT_EQ(deferred.mode(), MediaDevice::Mode::Playing);
    EXPECT_EQ(device->calls, (QStringList{"open /kurs/a.mp3", "open /kurs/b.mp3", "seek 1200", "play"}));
}
