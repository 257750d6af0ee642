// The real media device on real files, through the test environment's sound
// server (a null sink). Timing checks look for faults only (a position that
// runs ahead of the sound, stalls or jumps by more than 150 ms), so a loaded
// machine does not turn them red; bench/bench_media measures how close the
// position really stays.

#include "platform/soundmediadevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>

using namespace lirena;

namespace {

const QString kData = QStringLiteral(LIRENA_TEST_DATA "/data/");

bool haveSoundServer()
{
    return qEnvironmentVariableIsSet("LIRENA_TEST_PULSE");
}

void sleepMs(int ms)
{
    QThread::msleep(ms);
}

} // namespace

TEST(SoundMediaDevice, OpensAndReportsExactLengths)
{
    SoundMediaDevice device;
    EXPECT_EQ(device.mode(), MediaDevice::Mode::NotReady);
    ASSERT_TRUE(device.open(kData + "cbr-44k-stereo.mp3"));
    EXPECT_EQ(device.length(), 4000);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Stopped);
    ASSERT_TRUE(device.open(kData + "vbr-22k-mono-id3.mp3"));
    EXPECT_EQ(device.length(), 5246);
    ASSERT_TRUE(device.open(kData + "pcm-44k-stereo.wav"));
    EXPECT_EQ(device.length(), 2500);
    EXPECT_EQ(SoundMediaDevice::probeLength(kData + "pcm-22k-mono.wav"), 2000);
    EXPECT_EQ(SoundMediaDevice::probeLength(kData + "random.mp3"), -1);
}

TEST(SoundMediaDevice, UndecodableFilesFailToOpenAndCloseTheOldOne)
{
    SoundMediaDevice device;
    ASSERT_TRUE(device.open(kData + "cbr-44k-stereo.mp3"));
    QString error;
    EXPECT_FALSE(device.open(kData + "random.mp3", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(device.mode(), MediaDevice::Mode::NotReady);
    EXPECT_FALSE(device.open(kData + "empty.mp3"));
    EXPECT_FALSE(device.open(kData + "missing.mp3"));
    device.play(); // nothing open: nothing happens
    EXPECT_EQ(device.position(), 0);
}

TEST(SoundMediaDevice, SeeksAreClampedAndLeaveTheDeviceStopped)
{
    SoundMediaDevice device;
    ASSERT_TRUE(device.open(kData + "cbr-44k-stereo.mp3"));
    device.setPosition(1234);
    EXPECT_EQ(device.position(), 1234);
    device.setPosition(-5);
    EXPECT_EQ(device.position(), 0);
    device.setPosition(99999);
    EXPECT_EQ(device.position(), 4000);
    device.play();
    sleepMs(100);
    device.setPosition(2000);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Stopped);
    sleepMs(100);
    EXPECT_EQ(device.position(), 2000);
}

TEST(SoundMediaDevice, PositionFollowsTheWallClock)
{
    if (!haveSoundServer())
        GTEST_SKIP() << "no sound server";
    SoundMediaDevice device;
    ASSERT_TRUE(device.open(kData + "cbr-44k-stereo.mp3"));
    device.setPosition(500);
    QElapsedTimer wall;
    wall.start(); // before play: nothing can be heard earlier
    device.play();
    ASSERT_TRUE(device.hasSoundOutput());
    qint64 worst = 0;
    qint64 first = -1;
    while (wall.elapsed() < 3000) {
        const qint64 position = device.position() - 500;
        const qint64 elapsed = wall.elapsed();
        if (position > 0 && first < 0)
            first = elapsed - position; // how late the sound started
        if (first >= 0)
            worst = std::max(worst, std::abs(elapsed - first - position));
        sleepMs(20);
    }
    ASSERT_GE(first, 0) << "the position ran ahead of the sound, or never moved";
    EXPECT_LT(first, 500) << "sound started late";
    EXPECT_LT(worst, 150) << "position strays from the wall clock";
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);
}

TEST(SoundMediaDevice, PauseHoldsThePositionAndResumeGoesOn)
{
    SoundMediaDevice device;
    ASSERT_TRUE(device.open(kData + "cbr-44k-stereo.mp3"));
    device.play();
    sleepMs(400);
    device.pause();
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Paused);
    const qint64 held = device.position();
    EXPECT_GT(held, 150);
    sleepMs(300);
    EXPECT_EQ(device.position(), held);
    device.pause();
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);
    sleepMs(500);
    EXPECT_GT(device.position(), held + 200);
    device.stop();
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Stopped);
    const qint64 stopped = device.position();
    device.pause(); // neither playing nor paused: nothing
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Stopped);
    EXPECT_EQ(device.position(), stopped);
}

TEST(SoundMediaDevice, PlaysToTheEndAndStartsOverFromThere)
{
    SoundMediaDevice device;
    ASSERT_TRUE(device.open(kData + "pcm-22k-mono.wav"));
    device.setPosition(1700);
    device.play();
    QElapsedTimer wall;
    wall.start();
    while (device.mode() == MediaDevice::Mode::Playing && wall.elapsed() < 3000)
        sleepMs(10);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Stopped);
    EXPECT_EQ(device.position(), 2000);
    EXPECT_LT(wall.elapsed(), 900);
    device.play();
    sleepMs(200);
    EXPECT_LT(device.position(), 400);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);
}

TEST(SoundMediaDevice, WithoutSoundOutputItPlaysOnTheClock)
{
    // A server that does not exist: no output device at all.
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PULSE_SERVER", "unix:/nonexistent/socket");
    env.insert("LIRENA_DEVICE_CHILD", "1");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=SoundMediaDeviceChild.PlaysSilentlyOnTheClock"});
    ASSERT_TRUE(child.waitForFinished(15000));
    const QByteArray out = child.readAllStandardOutput();
    EXPECT_EQ(child.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("[  PASSED  ] 1 test")) << out.toStdString();
}

// Runs in a child process without a sound server (see above).
TEST(SoundMediaDeviceChild, PlaysSilentlyOnTheClock)
{
    if (!qEnvironmentVariableIsSet("LIRENA_DEVICE_CHILD"))
        GTEST_SKIP() << "runs in a child process";
    SoundMediaDevice device;
    ASSERT_TRUE(device.open(kData + "pcm-22k-mono.wav"));
    QElapsedTimer clock;
    clock.start();
    device.play();
    EXPECT_FALSE(device.hasSoundOutput());
    sleepMs(500);
    const qint64 position = device.position();
    EXPECT_LE(position, clock.elapsed() + 150);
    EXPECT_GE(position, clock.elapsed() - 150);
    QElapsedTimer wall;
    wall.start();
    while (device.mode() == MediaDevice::Mode::Playing && wall.elapsed() < 3000)
        sleepMs(10);
    EXPECT_EQ(device.position(), 2000);
}

TEST(SoundMediaDevice, SoundReallyComesOutAfterASeek)
{
    if (!haveSoundServer())
        GTEST_SKIP() << "no sound server";
    // Record everything the null sink plays.
    QProcess recorder;
    recorder.start("parec", {"-d", "null.monitor", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                             "--latency-msec=20"});
    ASSERT_TRUE(recorder.waitForStarted());
    QByteArray raw;
    // Keeps reading: a full pipe would hold the recorder up.
    auto record = [&](int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            recorder.waitForReadyRead(10);
            raw += recorder.readAllStandardOutput();
        }
    };
    record(300);
    raw.clear(); // silence before the play

    SoundMediaDevice device;
    ASSERT_TRUE(device.open(kData + "cbr-44k-stereo.mp3"));
    device.setPosition(2500);
    device.play();
    record(600);
    device.stop();
    record(1000); // what the recorder has not handed over yet, on a busy machine

    recorder.kill();
    recorder.waitForFinished();

    if (qEnvironmentVariableIsSet("LIRENA_DUMP_CAPTURE")) {
        QFile dump(qEnvironmentVariable("LIRENA_DUMP_CAPTURE"));
        dump.open(QIODevice::WriteOnly);
        dump.write(raw);
    }
    const auto *samples = reinterpret_cast<const qint16 *>(raw.constData());
    const qint64 frames = raw.size() / 4;
    qint64 loud = 0, crossings = 0;
    for (qint64 i = 1; i < frames; ++i) {
        const qint16 left = samples[2 * i], before = samples[2 * i - 2];
        if (std::abs(left) > 2000)
            ++loud;
        if ((before < 0) != (left < 0) && std::abs(left - before) > 200)
            ++crossings;
    }
    const double loudSeconds = double(loud) / 44100;
    // The 440 Hz tone of the left channel, heard for about the 600 ms it played.
    EXPECT_GT(loudSeconds, 0.3);
    EXPECT_LT(loudSeconds, 0.8);
    const double seconds = double(frames) / 44100;
    EXPECT_NEAR(crossings / (2 * 440.0), loudSeconds, 0.1) << "recorded " << seconds << " s, loud " << loudSeconds;
}
