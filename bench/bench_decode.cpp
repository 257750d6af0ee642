// Measures the sound editor's decoding: a 10-minute MP3 (44.1 kHz stereo,
// 128 kbit/s) to raw 16-bit stereo 22,050 Hz PCM through the decoder
// component and libxaudio.so, as the editor drives them, against
// `mpg123 -s -r 22050 --stereo` (and its 2:1 down-sampling, the same method
// as ours) and ffmpeg, in the same run and on one core (the program pins
// itself and so everything it starts). It also counts the progress
// notifications and the longest wait between two of them: the editor's
// progress bar moves on each.
// Needs lame (to make the recording when the program starts), mpg123, ffmpeg.

#include "soundeditor/txaudioplayer.h"

#include "lamemp3.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <sched.h>

using namespace lirena;

namespace {

const int kMinutes = 10;
QString gRecording; // the 10-minute MP3
QString gOutputs;   // the folder every decoder writes into

// Speech-like stretches of a voice with a few harmonics between pauses with
// a little noise, 44.1 kHz stereo, as raw PCM.
QByteArray speechLikePcm()
{
    const qint64 rate = 44100;
    const qint64 frames = kMinutes * 60 * rate;
    QByteArray bytes(frames * 4, '\0');
    quint32 seed = 4321;
    const auto random = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    qint64 f = 0;
    while (f < frames) {
        for (qint64 end = std::min(frames, f + rate * (300 + random() % 700) / 1000); f < end; ++f) {
            const auto v = qint16(int(random() % 7) - 3);
            qToLittleEndian(v, bytes.data() + 4 * f);
            qToLittleEndian(v, bytes.data() + 4 * f + 2);
        }
        const qint64 length = rate * (400 + random() % 2100) / 1000;
        const double pitch = 110 + random() % 120;
        for (qint64 i = 0, end = std::min(frames - f, length); i < end; ++i, ++f) {
            const double t = double(i) / rate;
            const double envelope = std::sin(M_PI * double(i) / double(length));
            const double wave = std::sin(2 * M_PI * pitch * t) + 0.5 * std::sin(2 * M_PI * 3 * pitch * t) +
                                0.25 * std::sin(2 * M_PI * 7 * pitch * t);
            const auto left = qint16(std::lround(6000 * envelope * wave) + int(random() % 401) - 200);
            const auto right = qint16(left * 3 / 4);
            qToLittleEndian(left, bytes.data() + 4 * f);
            qToLittleEndian(right, bytes.data() + 4 * f + 2);
        }
    }
    return bytes;
}

// Ten minutes of the speech-like sound as an MP3, made once.
QString recording()
{
    return benchx::lameRecording(QStringLiteral("lirena-bench-decode-10min.mp3"), [](QFile &raw) {
        const QByteArray bytes = speechLikePcm();
        return raw.write(bytes) == bytes.size();
    });
}

// Decodes the recording as the sound editor does: play once the input is
// open, close input and output at its end, done when the output is closed.
void BM_DecodeComponentAndLibrary(benchmark::State &state)
{
    TXaudioPlayer player;
    QEventLoop loop;
    QElapsedTimer clock;
    qint64 lastProgress = 0, firstProgress = 0, longestGap = 0;
    int positions = 0;
    bool failed = false;
    QObject::connect(&player, &TXaudioPlayer::OnNotifyInputState, [&](int state) {
        if (state == XA_INPUT_STATE_OPEN)
            player.Play();
    });
    QObject::connect(&player, &TXaudioPlayer::OnNotifyInputPosition, [&](quint32, quint32 range) {
        if (range != XA_INPUT_POSITION_RANGE)
            return;
        const qint64 now = clock.nsecsElapsed();
        if (positions++ == 0)
            firstProgress = now;
        else
            longestGap = std::max(longestGap, now - lastProgress);
        lastProgress = now;
    });
    QObject::connect(&player, &TXaudioPlayer::OnNotifyPlayerState, [&](int state) {
        if (state == XA_PLAYER_STATE_EOS) {
            player.InputClose();
            player.OutputClose();
        }
    });
    QObject::connect(&player, &TXaudioPlayer::OnNotifyOutputState, [&](int state) {
        if (state == XA_OUTPUT_STATE_CLOSED)
            loop.quit();
    });
    QObject::connect(&player, &TXaudioPlayer::OnNotifyNack, [&](int, int) {
        failed = true;
        loop.quit();
    });
    const QString output = QDir(gOutputs).filePath(QStringLiteral("x.raw"));
    try {
        player.Init();
    } catch (const EXaudioException &e) {
        state.SkipWithError(qPrintable(e.message()));
        return;
    }
    for (auto _ : state) {
        positions = 0;
        longestGap = 0;
        clock.start();
        lastProgress = 0;
        player.SetOutputName(output);
        player.InputOpen(gRecording);
        loop.exec();
        if (failed) {
            state.SkipWithError("the decoder refused a command");
            return;
        }
    }
    state.counters["positions"] = positions;
    // Opening (the full scan for the exact length) comes before the first position.
    state.counters["firstPositionMs"] = double(firstProgress) / 1e6;
    state.counters["longestGapMs"] = double(longestGap) / 1e6;
    state.counters["outputMB"] = double(QFileInfo(output).size()) / 1e6;
}
BENCHMARK(BM_DecodeComponentAndLibrary)->Unit(benchmark::kMillisecond)->MinTime(5)->UseRealTime();

void runTool(benchmark::State &state, const QString &program, const QStringList &arguments, bool toStdout)
{
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        state.SkipWithError(qPrintable(program + QStringLiteral(" is not installed")));
        return;
    }
    const QString output = QDir(gOutputs).filePath(program + QStringLiteral(".raw"));
    for (auto _ : state) {
        QProcess p;
        if (toStdout)
            p.setStandardOutputFile(output);
        p.start(program, toStdout ? arguments : arguments + QStringList{output});
        if (!p.waitForFinished(600000) || p.exitCode() != 0) {
            state.SkipWithError(qPrintable(program + QStringLiteral(" failed")));
            return;
        }
    }
    state.counters["outputMB"] = double(QFileInfo(output).size()) / 1e6;
}

void BM_Mpg123Resampled(benchmark::State &state)
{
    runTool(state, QStringLiteral("mpg123"), {"-q", "-s", "-r", "22050", "--stereo", gRecording}, true);
}
BENCHMARK(BM_Mpg123Resampled)->Unit(benchmark::kMillisecond)->MinTime(5)->UseRealTime();

// mpg123 with its 2:1 down-sampling, the method our library uses at 44.1 kHz.
void BM_Mpg123TwoToOne(benchmark::State &state)
{
    runTool(state, QStringLiteral("mpg123"), {"-q", "-s", "-2", "--stereo", gRecording}, true);
}
BENCHMARK(BM_Mpg123TwoToOne)->Unit(benchmark::kMillisecond)->MinTime(5)->UseRealTime();

void BM_Ffmpeg(benchmark::State &state)
{
    runTool(state, QStringLiteral("ffmpeg"),
            {"-v", "error", "-nostdin", "-threads", "1", "-i", gRecording, "-f", "s16le", "-ar", "22050",
             "-ac", "2", "-y"},
            false);
}
BENCHMARK(BM_Ffmpeg)->Unit(benchmark::kMillisecond)->MinTime(5)->UseRealTime();

// One core for this program and everything it starts: the first it may use.
void pinToOneCore()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    if (sched_getaffinity(0, sizeof allowed, &allowed) != 0)
        return;
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &allowed)) {
            cpu_set_t one;
            CPU_ZERO(&one);
            CPU_SET(cpu, &one);
            sched_setaffinity(0, sizeof one, &one);
            return;
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    pinToOneCore();
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    gRecording = recording();
    if (gRecording.isEmpty()) {
        std::fprintf(stderr, "bench_decode: cannot make the recording (is lame installed?)\n");
        return 1;
    }
    QTemporaryDir outputs;
    gOutputs = outputs.path();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
