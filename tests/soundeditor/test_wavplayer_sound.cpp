// The wave player on the sound server's real output, heard on the test
// environment's null sink. The sound is cut into 10 ms windows, each taken as
// silence, the low tone, the high tone or something else; times are checked
// for gross faults only (150 ms).

#include "soundeditor/twavplayer.h"

#include "fakewaveout.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace lirena;

namespace {

const int kLow = 440, kHigh = 1000;

// ms of a sine tone, 16-bit stereo at 22,050 frames a second, well below the
// level of overwritten memory.
QByteArray tone(int hz, int ms)
{
    const int amplitude = 12000;
    QByteArray block(22050 * ms / 1000 * 4, Qt::Uninitialized);
    auto *samples = reinterpret_cast<qint16 *>(block.data());
    for (qsizetype i = 0; i < block.size() / 4; ++i)
        samples[2 * i] = samples[2 * i + 1] = qint16(amplitude * std::sin(2 * M_PI * hz * i / 22050.0));
    return block;
}

// Fills a block that was given back with loud samples, heard only if it is still read.
void overwrite(QByteArray &block)
{
    block.fill('\x70');
}

// What the null sink plays, recorded from its monitor (44,100 frames a second).
struct Monitor
{
    // False when the recorder does not run.
    bool start()
    {
        QProcess::execute("pactl", {"set-sink-volume", "null", "100%"});
        mRecorder.start("parec", {"-d", "null.monitor", "--raw", "--format=s16le", "--rate=44100",
                                  "--channels=2", "--latency-msec=20"});
        QTest::qWait(300);
        mRecorder.readAllStandardOutput(); // what came before the test
        return mRecorder.state() == QProcess::Running;
    }
    ~Monitor() { mRecorder.kill(), mRecorder.waitForFinished(); }

    // One letter per 10 ms heard since the last call: '.' silence, 'l' the low
    // tone, 'h' the high one, 'L' too loud (overwritten memory, or two blocks
    // at once), '?' anything else (such as a window where a tone starts).
    std::string windows()
    {
        QTest::qWait(400); // what the recorder still holds
        const QByteArray raw = mRecorder.readAllStandardOutput();
        const auto *samples = reinterpret_cast<const qint16 *>(raw.constData());
        std::string heard;
        for (qsizetype start = 0; start + 441 <= raw.size() / 4; start += 441) {
            double power = 0;
            int crossings = 0;
            for (qsizetype i = start; i < start + 441; ++i) {
                power += double(samples[2 * i]) * samples[2 * i];
                crossings += i > start && (samples[2 * i] < 0) != (samples[2 * i - 2] < 0);
            }
            const double rms = std::sqrt(power / 441);
            heard += rms < 1000 ? '.' : rms > 11000 ? 'L' : rms < 7000 ? '?' : crossings < 14 ? 'l' : 'h';
        }
        return heard;
    }

    QProcess mRecorder;
};

qint64 count(const std::string &heard, char c)
{
    return std::count(heard.begin(), heard.end(), c);
}

class WavPlayerSound : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!qEnvironmentVariableIsSet("LIRENA_TEST_PULSE"))
            GTEST_SKIP() << "no sound server (run through test.sh)";
        ASSERT_TRUE(monitor.start());
        ASSERT_TRUE(player.available());
    }

    void waitForEnd()
    {
        QElapsedTimer clock;
        clock.start();
        while (player.playing() && clock.elapsed() < 3000)
            QTest::qWait(5);
        EXPECT_FALSE(player.playing()) << "the block never ended";
    }

    Monitor monitor;
    TWavPlayer player;
    QSignalSpy finished{&player, &TWavPlayer::finished};
};

} // namespace

TEST_F(WavPlayerSound, PlaysABlockToItsEndOnceAndThenAgain)
{
    const QByteArray block = tone(kLow, 600);
    for (int round = 1; round <= 2; ++round) {
        player.Play(block.constData(), block.size());
        QTest::qWait(200);
        player.Play(block.constData(), 0); // nothing: the block goes on
        waitForEnd();
        QTest::qWait(200);
        EXPECT_EQ(finished.count(), round);
        player.Stop(); // nothing playing: nothing happens
        EXPECT_EQ(finished.count(), round);
    }
    // Two whole blocks, apart. The server plays them sample by sample, so
    // their lengths are exact but for the windows at their edges.
    const std::string heard = monitor.windows();
    const auto gap = heard.find(std::string(10, '.'), heard.find('l')); // 100 ms of silence
    ASSERT_NE(gap, std::string::npos) << heard;
    for (const std::string &block : {heard.substr(0, gap), heard.substr(gap)})
        EXPECT_NEAR(count(block, 'l') * 10, 600, 40) << "cut, or more than the block was heard: " << heard;
    EXPECT_EQ(count(heard, 'L'), 0) << heard;
}

TEST_F(WavPlayerSound, PlayEndsTheBlockInFlightBeforeTheNextStarts)
{
    QByteArray low = tone(kLow, 2000);
    const QByteArray high = tone(kHigh, 500);
    player.Play(low.constData(), low.size());
    QTest::qWait(500);
    player.Play(high.constData(), high.size());
    EXPECT_EQ(finished.count(), 1); // the low block, given back
    overwrite(low);
    waitForEnd();
    EXPECT_EQ(finished.count(), 2);
    const std::string heard = monitor.windows();
    EXPECT_LT(heard.rfind('l'), heard.find('h')) << heard;
    EXPECT_NEAR(count(heard, 'l') * 10, 500, 150) << heard;
    EXPECT_NEAR(count(heard, 'h') * 10, 500, 40) << heard; // to its end
    EXPECT_EQ(count(heard, 'L'), 0) << heard;
}

TEST_F(WavPlayerSound, StopReturnsOnceTheBlockIsGivenBack)
{
    QByteArray block = tone(kLow, 2000);
    player.Play(block.constData(), block.size());
    QTest::qWait(500);
    QElapsedTimer clock;
    clock.start();
    player.Stop();
    EXPECT_LT(clock.elapsed(), 150);
    EXPECT_FALSE(player.playing());
    EXPECT_EQ(finished.count(), 1);
    overwrite(block); // the memory is the caller's again
    const std::string heard = monitor.windows();
    EXPECT_NEAR(count(heard, 'l') * 10, 500, 150) << heard;
    EXPECT_EQ(count(heard, 'L'), 0) << heard;
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(WavPlayerSound, APlayerEndsItsBlockWhenItGoes)
{
    QByteArray block = tone(kHigh, 2000);
    auto other = std::make_unique<TWavPlayer>();
    other->Play(block.constData(), block.size());
    QTest::qWait(300);
    other->Play(block.constData(), block.size()); // from the start, on an output of its own
    QTest::qWait(200);
    other.reset();
    overwrite(block);
    const std::string heard = monitor.windows();
    EXPECT_NEAR(count(heard, 'h') * 10, 500, 150) << heard;
    EXPECT_EQ(count(heard, 'L'), 0) << heard;
}

TEST(WavPlayer, ADeviceThatRefusesToStopKeepsItsOneBlock)
{
    auto output = std::make_unique<lirena::testing::FakeWaveOut>();
    output->resets = false;
    auto *fake = output.get();
    TWavPlayer player(std::move(output));
    player.Play("abcd", 4);
    player.Play("efgh", 4);
    EXPECT_EQ(fake->opened, 1);
    EXPECT_EQ(fake->lastBlock(), QByteArray("abcd"));
    fake->resets = true; // lets the player's end stop the block
}
