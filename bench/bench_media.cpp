// Measures the media device where the learner notices it: how long opening a
// long recording takes, how closely the position follows the sound, and how
// soon a seek is heard. Needs the test environment's sound server
// (scripts/bench starts it).

#include "platform/audiodecoder.h"
#include "platform/soundmediadevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include "sinkmonitor.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

using namespace lirena;

namespace {

const QString kTone = QStringLiteral(LIRENA_TEST_DATA "/cbr-44k-stereo.mp3");

// A 60-minute MP3: the 4-second tone 900 times over.
QString longRecording()
{
    const QString path = QDir::temp().filePath("lirena-bench-60min.mp3");
    if (QFileInfo(path).size() > 0)
        return path;
    QFile in(kTone);
    in.open(QIODevice::ReadOnly);
    const QByteArray tone = in.readAll();
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    for (int i = 0; i < 900; ++i)
        out.write(tone);
    return path;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void BM_OpenSixtyMinuteMp3(benchmark::State &state)
{
    const QString path = longRecording();
    qint64 length = 0;
    for (auto _ : state) {
        auto decoder = AudioDecoder::open(path);
        length = decoder->lengthMs();
        benchmark::DoNotOptimize(length);
    }
    state.counters["length_min"] = double(length) / 60000;
}
BENCHMARK(BM_OpenSixtyMinuteMp3)->Unit(benchmark::kMillisecond)->MinTime(2);

// Reference: only reading the file's bytes, the floor for any exact opening.
void BM_ReadSixtyMinuteMp3Bytes(benchmark::State &state)
{
    const QString path = longRecording();
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll().size());
    }
}
BENCHMARK(BM_ReadSixtyMinuteMp3Bytes)->Unit(benchmark::kMillisecond)->MinTime(2);

// Position against the wall clock over 10 s of steady play, and how long
// after play the position starts to move (the sound is heard).
void BM_PositionError(benchmark::State &state)
{
    SoundMediaDevice device;
    device.open(longRecording());
    std::vector<double> errors;
    qint64 startDelay = -1;
    for (auto _ : state) {
        device.setPosition(60000);
        QElapsedTimer wall;
        wall.start();
        device.play();
        qint64 offset = -1;
        while (wall.elapsed() < 10000) {
            const qint64 heard = device.position() - 60000;
            const qint64 now = wall.elapsed();
            if (heard > 0 && offset < 0)
                offset = startDelay = now - heard; // the start-up delay, not an error of the clock
            else if (offset >= 0)
                errors.push_back(std::abs(double(now - offset - heard)));
            QThread::msleep(20);
        }
        device.stop();
    }
    state.counters["median_error_ms"] = median(errors);
    state.counters["max_error_ms"] = errors.empty() ? 0 : *std::max_element(errors.begin(), errors.end());
    state.counters["start_delay_ms"] = double(startDelay);
    state.counters["sound_output"] = device.hasSoundOutput();
}
BENCHMARK(BM_PositionError)->Iterations(1)->Unit(benchmark::kMillisecond);

// From SeekMedia + PlayMedia to the first audible sample on the sink's monitor.
void BM_SeekToFirstSound(benchmark::State &state)
{
    SoundMediaDevice device;
    device.open(kTone);
    QProcess recorder;
    if (!startSinkMonitor(recorder)) {
        state.SkipWithError("parec does not start");
        return;
    }
    std::vector<double> latencies;
    for (auto _ : state) {
        device.stop();
        recordFor(recorder, 300); // earlier sound runs dry
        QElapsedTimer clock;
        clock.start();
        device.setPosition(1000);
        device.play();
        double heardAt = -1;
        while (heardAt < 0 && clock.elapsed() < 2000) {
            recorder.waitForReadyRead(2);
            const QByteArray chunk = recorder.readAllStandardOutput();
            const qint64 arrived = clock.nsecsElapsed();
            const auto *s = reinterpret_cast<const qint16 *>(chunk.constData());
            const qint64 frames = chunk.size() / 4;
            for (qint64 i = 0; i < frames; ++i) {
                if (std::abs(s[2 * i]) > 1000) {
                    // The sample was recorded this long before its chunk arrived.
                    heardAt = (double(arrived) / 1e6) - double(frames - i) * 1000.0 / 44100;
                    break;
                }
            }
        }
        state.SetIterationTime(std::max(0.0, heardAt) / 1000);
        latencies.push_back(heardAt);
    }
    recorder.kill();
    recorder.waitForFinished();
    state.counters["median_ms"] = median(latencies);
    state.counters["max_ms"] = *std::max_element(latencies.begin(), latencies.end());
}
BENCHMARK(BM_SeekToFirstSound)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
