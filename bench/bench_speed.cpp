// The reading speed: the process's CPU time while the media device plays the
// sample course's speech for 10 s of wall time at 1.0x (nothing is stretched),
// 0.5x and 1.5x, in one run so the figures compare; and at each speed how far
// the position is from the sound heard where a beep starts (the null sink's
// monitor against the position, both on the wall clock). Needs the test
// environment's sound server (scripts/bench starts it).

#include "platform/soundmediadevice.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include "sinkmonitor.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace lirena;

namespace {

const QString kSpeech = QStringLiteral(LIRENA_SAMPLE_COURSE "/help00.mp3");
const int kPlayMs = 10000;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double cpuAtNormalSpeed = 0; // per cent of one core, from the 1.0x run

void BM_PlaybackCpu(benchmark::State &state)
{
    const double rate = double(state.range(0)) / 10;
    SoundMediaDevice device;
    if (!device.open(kSpeech)) {
        state.SkipWithError("the sample course's recording does not open");
        return;
    }
    device.setRate(rate);
    double cpu = 0;
    qint64 heard = 0; // recording ms played
    for (auto _ : state) {
        QElapsedTimer wall;
        const double before = cpuSeconds();
        wall.start();
        device.play();
        qint64 last = device.position();
        // The position asked for as the window's tick asks; the recording starts over at its end.
        while (wall.elapsed() < kPlayMs) {
            QThread::msleep(100);
            const qint64 p = device.position();
            heard += p >= last ? p - last : p + device.length() - last;
            last = p;
            if (device.mode() != MediaDevice::Mode::Playing)
                device.play();
        }
        device.stop();
        cpu = (cpuSeconds() - before) / (double(wall.elapsed()) / 1000) * 100;
        state.SetIterationTime(double(wall.elapsed()) / 1000);
    }
    if (rate == 1.0)
        cpuAtNormalSpeed = cpu;
    state.counters["cpu_percent"] = cpu;
    state.counters["vs_1x"] = cpuAtNormalSpeed > 0 ? cpu / cpuAtNormalSpeed : 0;
    state.counters["speed_heard"] = double(heard) / kPlayMs;
    state.counters["sound_output"] = device.hasSoundOutput();
}
// 1.0x first: the others are compared with it.
BENCHMARK(BM_PlaybackCpu)->Arg(10)->Arg(5)->Arg(15)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// 16-bit mono at 44.1 kHz: a 30 ms beep of 1 kHz every second from 1234 ms on, 8 s in all.
QString beepsRecording()
{
    const int rate = 44100, frames = rate * 8;
    std::vector<qint16> samples(frames);
    for (int start = 1234; start < 8000 - 100; start += 1000)
        for (int i = 0; i < rate * 30 / 1000; ++i)
            samples[start * rate / 1000 + i] = qint16(16000 * std::sin(2 * M_PI * 1000 * i / rate));
    const QString path = QDir::temp().filePath("lirena-bench-beeps.wav");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    auto u32 = [&](quint32 v) { file.write(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](quint16 v) { file.write(reinterpret_cast<const char *>(&v), 2); };
    const quint32 bytes = quint32(frames * 2);
    file.write("RIFF");
    u32(36 + bytes);
    file.write("WAVEfmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    file.write("data");
    u32(bytes);
    file.write(reinterpret_cast<const char *>(samples.data()), bytes);
    return path;
}

// Wall ms from a beep's first sound on the sink's monitor to the position
// reaching the beep's start (positive: the position comes later), at each speed.
void BM_PositionAtBeepOnsets(benchmark::State &state)
{
    const double rate = double(state.range(0)) / 10;
    SoundMediaDevice device;
    if (!device.open(beepsRecording())) {
        state.SkipWithError("the beeps do not open");
        return;
    }
    device.setRate(rate);
    QProcess recorder;
    if (!startSinkMonitor(recorder)) {
        state.SkipWithError("parec does not start");
        return;
    }
    recordFor(recorder, 300);
    std::vector<double> offsets;
    for (auto _ : state) {
        std::vector<std::pair<double, qint64>> arrivals; // wall ms, monitor frames so far
        std::vector<std::pair<double, qint64>> positions;
        QByteArray sound;
        QElapsedTimer wall;
        wall.start();
        device.play();
        while (device.mode() == MediaDevice::Mode::Playing) {
            recorder.waitForReadyRead(1);
            const QByteArray more = recorder.readAllStandardOutput();
            const double now = double(wall.nsecsElapsed()) / 1e6;
            if (!more.isEmpty()) {
                sound += more;
                arrivals.push_back({now, sound.size() / 4});
            }
            positions.push_back({now, device.position()});
        }
        // Each beep's first loud frame, the wall time its block arrived, and
        // when the position first reached the beep's start.
        const auto *samples = reinterpret_cast<const qint16 *>(sound.constData());
        const qint64 frames = sound.size() / 4;
        int beep = 0;
        for (qint64 i = 0; i < frames; ++i) {
            if (std::abs(samples[2 * i]) < 3000)
                continue;
            const qint64 start = 1234 + beep * 1000;
            const auto heard =
                std::find_if(arrivals.begin(), arrivals.end(), [&](const auto &a) { return a.second > i; });
            const auto reached = std::find_if(positions.begin(), positions.end(),
                                              [&](const auto &p) { return p.second >= start; });
            if (heard != arrivals.end() && reached != positions.end())
                offsets.push_back(reached->first - heard->first);
            ++beep;
            i += qint64(44100 * 0.5 / rate); // past this beep, before the next
        }
    }
    recorder.kill();
    recorder.waitForFinished();
    std::sort(offsets.begin(), offsets.end());
    state.counters["beeps"] = double(offsets.size());
    state.counters["median_ms"] = offsets.empty() ? 0 : offsets[offsets.size() / 2];
    state.counters["min_ms"] = offsets.empty() ? 0 : offsets.front();
    state.counters["max_ms"] = offsets.empty() ? 0 : offsets.back();
}
BENCHMARK(BM_PositionAtBeepOnsets)->Arg(10)->Arg(5)->Arg(15)->Iterations(2)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
