// How much of the next word the learner hears when a section ends: a section
// of a tone is played through the sound server and the sink's monitor is
// recorded; the sound heard is timed from its first to its last loud sample
// and compared with the section's length. Reference in the same run: the
// section watched by the 100 ms tick alone, as before the stop was timed.
// Needs the test environment's sound server (scripts/bench starts it).

#include "../tests/player/pageharness.h"

#include "platform/soundmediadevice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProcess>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "sinkmonitor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace lirena;

namespace {

const QString kTone = QStringLiteral(LIRENA_TEST_DATA "/cbr-44k-stereo.mp3");
const int kStart = 1000;
const int kStop = 1600;

// The player as the window builds it, around the real device.
struct Rig
{
    SoundMediaDevice device;
    PageHarness harness{&device};
    PlaybackControl &playback = harness.playback;
    Exercises &exercises = harness.exercises;

    Rig() { playback.OpenMedia(kTone, false); }
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Plays the section once; returns the ms heard beyond its length, or a
// negative number when no sound was found.
double heardPastTheStop(Rig &player, QProcess &recorder, bool tickOnly)
{
    recordFor(recorder, 300); // earlier sound runs dry
    QByteArray sound;
    if (tickOnly) {
        // Before: only the 100 ms tick looked for the end of the section.
        player.playback.SeekMedia(kStart);
        player.playback.PlayMedia();
        QTimer watch;
        watch.setInterval(100);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (player.playback.position() > kStop) {
                player.playback.PauseMedia();
                watch.stop();
            }
        });
        watch.start();
        QElapsedTimer clock;
        clock.start();
        while (watch.isActive() && clock.elapsed() < 3000) {
            QTest::qWait(2);
            sound += recorder.readAllStandardOutput();
        }
    } else {
        player.exercises.PlaySection(kStart, kStop);
        QElapsedTimer clock;
        clock.start();
        while (player.exercises.ticking() && clock.elapsed() < 3000) {
            QTest::qWait(2);
            sound += recorder.readAllStandardOutput();
        }
    }
    sound += recordFor(recorder, 300); // whatever was still on its way to the sink
    player.playback.StopMedia();
    const auto *s = reinterpret_cast<const qint16 *>(sound.constData());
    const qint64 frames = sound.size() / 4;
    qint64 first = -1, last = -1;
    for (qint64 i = 0; i < frames; ++i) {
        if (std::abs(s[2 * i]) > 1000) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return -1;
    return double(last - first) * 1000.0 / 44100 - (kStop - kStart);
}

void run(benchmark::State &state, bool tickOnly)
{
    Rig player;
    QProcess recorder;
    if (!startSinkMonitor(recorder)) {
        state.SkipWithError("parec does not start");
        return;
    }
    std::vector<double> past;
    for (auto _ : state) {
        const double ms = heardPastTheStop(player, recorder, tickOnly);
        if (ms < -900) {
            state.SkipWithError("no sound reached the sink's monitor");
            break;
        }
        past.push_back(ms);
        state.SetIterationTime(std::max(0.0, ms) / 1000);
    }
    recorder.kill();
    recorder.waitForFinished();
    if (past.empty())
        return;
    state.counters["median_past_stop_ms"] = median(past);
    state.counters["max_past_stop_ms"] = *std::max_element(past.begin(), past.end());
}

void BM_SectionStopTimed(benchmark::State &state) { run(state, false); }
BENCHMARK(BM_SectionStopTimed)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SectionStopTickOnly(benchmark::State &state) { run(state, true); }
BENCHMARK(BM_SectionStopTickOnly)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
}
