// Measures the media device where the learner notices it: how long opening a
// long recording takes, how closely the position follows the sound, and how
// soon a seek is heard. Needs the test environment's sound server and lame
// (scripts/bench has both).

#include "platform/audiodecoder.h"
#include "platform/soundmediadevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include "lamemp3.h"
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

// A 60-minute MP3 as LAME makes it, with the Xing/Info tag that gives its
// exact length: a tone (speech costs the same to scan), made once and kept in
// the temporary folder; it gets its name only when complete.
QString longRecording()
{
    return benchx::lameRecording(QStringLiteral("lirena-bench-60min-tagged.mp3"), [](QFile &raw) {
        const int rate = 44100;
        QByteArray second(rate * 4, Qt::Uninitialized);
        auto *samples = reinterpret_cast<qint16 *>(second.data());
        for (int i = 0; i < rate; ++i) {
            samples[2 * i] = qint16(8000 * std::sin(2 * M_PI * 440 * i / rate));
            samples[2 * i + 1] = qint16(8000 * std::sin(2 * M_PI * 660 * i / rate));
        }
        for (int s = 0; s < 3600; ++s) {
            if (raw.write(second) != second.size())
                return false;
        }
        return true;
    });
}

// The same recording without its first frame, the Xing/Info tag: nothing in
// the file tells its exact length.
QString untaggedRecording()
{
    const QString path = QDir::temp().filePath("lirena-bench-60min-untagged.mp3");
    const QString tagged = longRecording();
    if (QFileInfo(path).size() > 0 || tagged.isEmpty())
        return path;
    QFile in(tagged);
    in.open(QIODevice::ReadOnly);
    QByteArray bytes = in.readAll();
    // The tag's frame: MPEG 1 layer III, 144 * bit rate / sample rate bytes, plus padding.
    const auto *h = reinterpret_cast<const uchar *>(bytes.constData());
    const int kbps[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    const int rates[] = {44100, 48000, 32000};
    const int frameBytes = 144000 * kbps[h[2] >> 4] / rates[(h[2] >> 2) & 3] + ((h[2] >> 1) & 1);
    bytes.remove(0, frameBytes);
    QFile out(path + QStringLiteral(".part"));
    out.open(QIODevice::WriteOnly);
    out.write(bytes);
    out.close();
    QFile::rename(path + QStringLiteral(".part"), path);
    return path;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double msSince(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

// The reference for opening: reading the file's bytes, the floor for any
// exact opening that reads the whole file.
double readFileMs(const QString &path)
{
    QElapsedTimer clock;
    clock.start();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    benchmark::DoNotOptimize(file.readAll().size());
    return msSince(clock);
}

// What the window waits for when it opens a 60-minute recording (the device's
// open()), against reading the file in the same iteration; and, for the
// recording without a tag, how long until its length is known (measured in
// the background meanwhile). Arg: 1 with the tag, 0 without.
void BM_OpenSixtyMinuteMp3(benchmark::State &state)
{
    const bool tagged = state.range(0) == 1;
    const QString path = tagged ? longRecording() : untaggedRecording();
    if (!QFileInfo(path).isFile()) {
        state.SkipWithError("the recording cannot be made (is lame installed?)");
        return;
    }
    SoundMediaDevice device;
    std::vector<double> opens, known, reads, ratios;
    qint64 length = 0;
    for (auto _ : state) {
        reads.push_back(readFileMs(path));
        QElapsedTimer clock;
        clock.start();
        device.open(path);
        opens.push_back(msSince(clock));
        while (!device.lengthKnown() && clock.elapsed() < 10000)
            QThread::usleep(100);
        known.push_back(msSince(clock));
        length = device.length();
        state.SetIterationTime(opens.back() / 1000);
        ratios.push_back(opens.back() / reads.back());
        device.close();
        QThread::msleep(400); // the background scans end before the next open
    }
    state.counters["open_ms"] = median(opens);
    state.counters["open_max_ms"] = *std::max_element(opens.begin(), opens.end());
    state.counters["length_known_ms"] = median(known);
    state.counters["read_file_ms"] = median(reads);
    state.counters["open_vs_read"] = median(ratios);
    state.counters["known_vs_read"] = median(known) / median(reads);
    state.counters["length_min"] = double(length) / 60000;
}
BENCHMARK(BM_OpenSixtyMinuteMp3)
    ->Arg(1)
    ->Arg(0)
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// What opening cost when it scanned every frame (it still does for a file
// without the tag, in the background), against reading the file.
void BM_ScanSixtyMinuteMp3(benchmark::State &state)
{
    const QString path = longRecording();
    std::vector<double> scans, reads;
    for (auto _ : state) {
        reads.push_back(readFileMs(path));
        QElapsedTimer clock;
        clock.start();
        auto decoder = AudioDecoder::open(path, nullptr, AudioDecoder::Scan::Always);
        benchmark::DoNotOptimize(decoder->lengthMs());
        scans.push_back(msSince(clock));
        state.SetIterationTime(scans.back() / 1000);
    }
    state.counters["scan_ms"] = median(scans);
    state.counters["read_file_ms"] = median(reads);
    state.counters["scan_vs_read"] = median(scans) / median(reads);
}
BENCHMARK(BM_ScanSixtyMinuteMp3)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

// A seek near the end of the 60-minute recording right after it opened
// (the frames are not indexed yet: the playback thread reads the frame
// headers on the way) and once they are: from SeekMedia + PlayMedia to the
// position moving, and how long those calls held the window's thread.
void BM_FarSeekAfterOpen(benchmark::State &state)
{
    const QString path = longRecording();
    SoundMediaDevice device;
    std::vector<double> fresh, indexed, calls;
    auto seekAndWait = [&](std::vector<double> &into) {
        QElapsedTimer clock;
        clock.start();
        device.setPosition(3500000);
        device.play();
        calls.push_back(msSince(clock));
        while (device.position() == 3500000 && clock.elapsed() < 5000)
            QThread::usleep(200);
        into.push_back(msSince(clock));
        device.stop();
    };
    for (auto _ : state) {
        device.open(path);
        seekAndWait(fresh);
        QThread::msleep(500); // indexed meanwhile
        seekAndWait(indexed);
        state.SetIterationTime(fresh.back() / 1000);
        device.close();
    }
    state.counters["moving_after_open_ms"] = median(fresh);
    state.counters["moving_when_indexed_ms"] = median(indexed);
    state.counters["calls_max_ms"] = *std::max_element(calls.begin(), calls.end());
}
BENCHMARK(BM_FarSeekAfterOpen)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

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
        QThread::msleep(500); // the frames indexed
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
