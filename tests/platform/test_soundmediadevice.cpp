// The real media device on real files, through the test environment's sound
// server (a null sink). Timing checks look for faults only (a position that
// runs ahead of the sound, stalls or jumps by more than 150 ms), so a loaded
// machine does not turn them red; bench/bench_media measures how close the
// position really stays.

#include "platform/audiodecoder.h"
#include "platform/soundmediadevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <ctime>
#include <sys/syscall.h>
#include <unistd.h>

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

TEST(SoundMediaDevice, ALengthMeasuredLaterTakesTheSeekAskedBefore)
{
    // A 4 s tone without an Xing/Info tag 100 times over: 400 s that only a scan can measure.
    QTemporaryDir dir;
    const QString path = dir.filePath("long.mp3");
    {
        QFile in(kData + "untagged-44k-stereo.mp3");
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        const QByteArray tone = in.readAll();
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        for (int i = 0; i < 100; ++i)
            out.write(tone);
    }
    SoundMediaDevice device;
    int told = 0;
    device.setLengthKnownHandler([&] { ++told; });
    QElapsedTimer wall;
    wall.start();
    ASSERT_TRUE(device.open(path));
    EXPECT_LT(wall.elapsed(), 150) << "open() read the whole file";
    EXPECT_FALSE(device.lengthKnown());
    device.setPosition(300000);
    device.play();
    EXPECT_EQ(device.position(), 300000);
    while (told == 0 && wall.elapsed() < 5000) {
        QCoreApplication::processEvents();
        sleepMs(5);
    }
    EXPECT_EQ(told, 1);
    ASSERT_TRUE(device.lengthKnown());
    EXPECT_EQ(device.length(), AudioDecoder::open(path)->lengthMs());
    sleepMs(300);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);
    EXPECT_GE(device.position(), 300000);
    EXPECT_LT(device.position(), 300000 + 1000);
}

namespace {

// The id of this process's thread of that name, or 0.
pid_t threadNamed(const QString &name)
{
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == name.toUtf8())
            return pid_t(task.toInt());
    }
    return 0;
}

} // namespace

// Reading the position never waits for the playback thread: held up for
// 400 ms (a signal makes it sleep), it holds up no reader, and the position
// goes on with the sound the output still holds.
TEST(SoundMediaDevice, PositionIsReadWhileThePlaybackThreadIsHeldUp)
{
    SoundMediaDevice device;
    ASSERT_TRUE(device.open(kData + "cbr-44k-stereo.mp3"));
    device.play();
    sleepMs(300);
    const pid_t playback = threadNamed(QStringLiteral("playback"));
    ASSERT_NE(playback, 0);
    struct sigaction hold = {}, before = {};
    hold.sa_handler = [](int) {
        const timespec pause{0, 400 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    };
    sigaction(SIGUSR1, &hold, &before);
    const qint64 start = device.position();
    ASSERT_EQ(syscall(SYS_tgkill, getpid(), playback, SIGUSR1), 0);
    QElapsedTimer wall;
    wall.start();
    qint64 slowest = 0;
    while (wall.elapsed() < 300) {
        QElapsedTimer read;
        read.start();
        device.position();
        device.mode();
        slowest = std::max(slowest, read.elapsed());
        sleepMs(10);
    }
    EXPECT_LT(slowest, 150);
    EXPECT_GT(device.position(), start);
    sleepMs(200); // the thread sleeps no more
    sigaction(SIGUSR1, &before, nullptr);
    EXPECT_EQ(device.mode(), MediaDevice::Mode::Playing);
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
    // The clock runs at the reading speed too.
    device.setRate(0.5);
    device.setPosition(0);
    clock.restart();
    device.play();
    sleepMs(600);
    EXPECT_NEAR(device.position(), clock.elapsed() / 2, 150);
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

namespace {

// What the null sink played while the device plays a section, recorded from
// its monitor (16-bit stereo, 44.1 kHz).
QByteArray recordPlay(SoundMediaDevice &device, int playMs)
{
    QProcess recorder;
    recorder.start("parec", {"-d", "null.monitor", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                             "--latency-msec=20"});
    if (!recorder.waitForStarted())
        return {};
    QByteArray raw;
    auto record = [&](int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            recorder.waitForReadyRead(10);
            raw += recorder.readAllStandardOutput();
        }
    };
    record(300);
    raw.clear();
    device.play();
    record(playMs);
    recorder.kill();
    recorder.waitForFinished();
    return raw;
}

struct HeardTone
{
    double seconds = 0; // from the first loud sample to the last
    double hertz = 0;   // the strongest frequency between 300 and 600 Hz
};

// The left channel's tone: how long it sounded and its pitch (a DFT peak,
// searched in 0.5 Hz steps over the sounding part).
HeardTone measureTone(const QByteArray &raw)
{
    const auto *samples = reinterpret_cast<const qint16 *>(raw.constData());
    const qint64 frames = raw.size() / 4;
    qint64 first = -1, last = -1;
    for (qint64 i = 0; i < frames; ++i) {
        if (std::abs(samples[2 * i]) > 2000) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    HeardTone tone;
    if (first < 0)
        return tone;
    tone.seconds = double(last - first) / 44100;
    double best = 0;
    for (double f = 300; f <= 600; f += 0.5) {
        double re = 0, im = 0;
        const double step = 2 * M_PI * f / 44100;
        for (qint64 i = first; i <= last; ++i) {
            re += samples[2 * i] * std::cos(step * double(i));
            im += samples[2 * i] * std::sin(step * double(i));
        }
        if (re * re + im * im > best) {
            best = re * re + im * im;
            tone.hertz = f;
        }
    }
    return tone;
}

} // namespace

TEST(SoundMediaDevice, ReadingSpeedKeepsThePitchAndScalesTheDuration)
{
    if (!haveSoundServer())
        GTEST_SKIP() << "no sound server";
    SoundMediaDevice device;
    ASSERT_TRUE(device.open(kData + "cbr-44k-stereo.mp3")); // 440 Hz on the left, to 4000 ms
    for (const double rate : {0.5, 1.5}) {
        device.setRate(rate);
        EXPECT_EQ(device.rate(), rate);
        device.setPosition(2800); // 1.2 s of the recording to play
        const QByteArray raw = recordPlay(device, int(1200 / rate) + 800);
        EXPECT_EQ(device.mode(), MediaDevice::Mode::Stopped);
        const HeardTone tone = measureTone(raw);
        EXPECT_NEAR(tone.hertz, 440, 440 * 0.02) << "at " << rate;
        EXPECT_NEAR(tone.seconds, 1.2 / rate, 0.15) << "at " << rate;
    }
}

TEST(SoundMediaDevice, PositionRunsInRecordingTimeAtTheReadingSpeed)
{
    if (!haveSoundServer())
        GTEST_SKIP() << "no sound server";
    SoundMediaDevice device;
    ASSERT_TRUE(device.open(kData + "cbr-44k-stereo.mp3"));
    device.setRate(0.5);
    QElapsedTimer wall;
    wall.start();
    device.play();
    ASSERT_TRUE(device.hasSoundOutput());
    // Sampled every 20 ms: never back, never a jump, and at the speed of the moment.
    qint64 before = 0, worstStep = 0;
    auto follow = [&](int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            sleepMs(20);
            const qint64 p = device.position();
            EXPECT_GE(p, before);
            worstStep = std::max(worstStep, p - before);
            before = p;
        }
    };
    follow(1000);
    EXPECT_NEAR(device.position(), wall.elapsed() / 2, 150);
    const qint64 changed = device.position();
    wall.restart();
    device.setRate(1.5);
    follow(1000);
    EXPECT_NEAR(device.position() - changed, wall.elapsed() * 3 / 2, 150);
    EXPECT_LT(worstStep, 100);
}
