// Section play on the real media device through the sound server: the sound
// stops at the section's end, not a tick or more past it. The bound is for
// faults only (150 ms); bench/bench_sectionstop measures what is heard.

#include "pageharness.h"

#include "platform/soundmediadevice.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace lirena;

TEST(SectionStop, TheRealDeviceStopsAtTheSectionsEnd)
{
    if (!qEnvironmentVariableIsSet("LIRENA_TEST_PULSE"))
        GTEST_SKIP() << "no sound server (run through test.sh)";
    SoundMediaDevice device;
    PageHarness h(&device);
    h.playback.OpenMedia(QStringLiteral(LIRENA_TEST_DATA "/data/cbr-44k-stereo.mp3"), false);
    ASSERT_TRUE(h.playback.isOpen());
    for (const auto &[start, stop] : {std::pair{500, 1500}, std::pair{3000, 4000}}) { // the second ends with the recording
        h.exercises.PlaySection(start, stop);
        QElapsedTimer clock;
        clock.start();
        while (h.exercises.ticking() && clock.elapsed() < 5000)
            QTest::qWait(5);
        EXPECT_FALSE(h.exercises.ticking()) << "the section " << start << ".." << stop << " never ended";
        EXPECT_FALSE(h.playback.isPlaying());
        const qint64 heard = h.playback.position();
        EXPECT_GE(heard, std::min<qint64>(stop, device.length()));
        EXPECT_LT(heard, stop + 150) << "heard up to " << heard << " ms";
    }
}
