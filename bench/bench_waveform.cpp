// Measures the sound editor's waveform view: one paint of a 1920 x 1000 view
// at the smallest, default and largest page (16 KiB, 1 MiB, 2 MiB), against
// filling the view white and a memcpy of the page; and the
// sound search through a 10-minute recording as `lirena-check sounds` runs
// it, against a plain read of the file, and inside the view, where the window
// has to keep answering. The recording is written when the program starts:
// stretches of a speech-like sound between pauses with a little noise.

#include "soundeditor/twaveditor.h"
#include "soundeditor/wavpage.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>

using namespace lirena;

namespace {

const QSize kView(1920, 1000);
const int kMinutes = 10;
QString gRecording; // the 10-minute file, for the whole run

// A device that is never there: the view plays nothing.
class NoWaveOut : public WaveOut
{
public:
    bool available() const override { return false; }
    bool open() override { return false; }
    void write(const char *, qint64) override {}
    bool reset() override { return true; }
    void close() override {}
};

bool writeRecording(const QString &path)
{
    const qint64 frames = qint64(kMinutes) * 60 * 22050;
    QByteArray bytes(frames * 4, '\0');
    quint32 seed = 12345;
    const auto random = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    qint64 f = 0;
    while (f < frames) {
        const qint64 pause = 22050 * (300 + random() % 700) / 1000;
        for (qint64 end = std::min(frames, f + pause); f < end; ++f) {
            const auto v = qint16(int(random() % 7) - 3);
            qToLittleEndian(v, bytes.data() + 4 * f);
            qToLittleEndian(v, bytes.data() + 4 * f + 2);
        }
        const qint64 length = 22050 * (400 + random() % 2100) / 1000;
        const double pitch = 110 + random() % 120;
        for (qint64 i = 0, end = std::min(frames - f, length); i < end; ++i, ++f) {
            const double t = double(i) / 22050;
            const double envelope = std::sin(M_PI * double(i) / double(length));
            const double wave = std::sin(2 * M_PI * pitch * t) + 0.5 * std::sin(2 * M_PI * 3 * pitch * t);
            const auto v = qint16(std::lround(6000 * envelope * wave) + int(random() % 401) - 200);
            qToLittleEndian(v, bytes.data() + 4 * f);
            qToLittleEndian(v, bytes.data() + 4 * f + 2);
        }
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A page in the middle of the recording, as a view kView wide shows it.
void openPage(WavPage &page, qint64 pageBytes)
{
    page.setBufferSize(pageBytes);
    page.setWavFile(gRecording);
    page.setOffSet(page.FileSize() / 2);
    page.setViewWidth(kView.width());
}

void BM_Paint(benchmark::State &state)
{
    WavPage page;
    openPage(page, state.range(0));
    QImage screen(kView, QImage::Format_RGB32);
    for (auto _ : state) {
        const QImage picture = WaveformPicture(page, kView, 1.0);
        QPainter painter(&screen);
        painter.drawImage(QPoint(0, 0), picture);
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(QRect(300, 0, 1, kView.height()), QColor(255, 255, 0));
        painter.fillRect(QRect(900, 0, 1, kView.height()), QColor(255, 255, 0));
        benchmark::DoNotOptimize(screen.constBits());
    }
    state.counters["valuesPerColumn"] = page.SamplesPerPixel();
}
BENCHMARK(BM_Paint)->Arg(16384)->Arg(1048576)->Arg(2097152)->Unit(benchmark::kMillisecond)->MinTime(1);

// Reference: the least a paint of the whole view costs, filling it white.
void BM_FillView(benchmark::State &state)
{
    QImage screen(kView, QImage::Format_RGB32);
    for (auto _ : state) {
        screen.fill(Qt::white);
        benchmark::DoNotOptimize(screen.constBits());
    }
}
BENCHMARK(BM_FillView)->Unit(benchmark::kMillisecond)->MinTime(1);

// Reference: copying the largest page once.
void BM_MemcpyPage(benchmark::State &state)
{
    const QByteArray from(2097152, '\1');
    QByteArray to(from.size(), '\0');
    for (auto _ : state) {
        std::memcpy(to.data(), from.constData(), size_t(from.size()));
        benchmark::DoNotOptimize(to.data());
    }
}
BENCHMARK(BM_MemcpyPage)->Unit(benchmark::kMillisecond)->MinTime(1);

// Find First, then Find Next until nothing more is found, as lirena-check
// sounds does: a 700-pixel view on 1 MiB pages.
void BM_SearchTenMinutes(benchmark::State &state)
{
    int stretches = 0;
    for (auto _ : state) {
        WavPage page;
        page.setWavFile(gRecording);
        page.setViewWidth(700);
        stretches = 0;
        for (auto found = page.FindFirst(); found == WavPage::SearchResult::Found; found = page.FindNext())
            ++stretches;
    }
    state.counters["stretches"] = stretches;
}
BENCHMARK(BM_SearchTenMinutes)->Unit(benchmark::kMillisecond)->MinTime(2);

// Reference: reading the file through in pages of 1 MiB.
void BM_ReadTenMinutes(benchmark::State &state)
{
    QByteArray page(1048576, '\0');
    for (auto _ : state) {
        QFile file(gRecording);
        file.open(QIODevice::ReadOnly);
        while (file.read(page.data(), page.size()) > 0)
            benchmark::DoNotOptimize(page.data());
    }
}
BENCHMARK(BM_ReadTenMinutes)->Unit(benchmark::kMillisecond)->MinTime(2);

// The tool itself, started as a process.
void BM_CheckSoundsProcess(benchmark::State &state)
{
    int lines = 0;
    for (auto _ : state) {
        QProcess p;
        p.start(QStringLiteral(LIRENA_BINARY_DIR "/lirena-check"), {"sounds", gRecording});
        p.waitForFinished(60000);
        lines = int(p.readAllStandardOutput().count('\n'));
    }
    state.counters["stretches"] = lines;
}
BENCHMARK(BM_CheckSoundsProcess)->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();

// The same search in a shown view: how long the window waits at most for its
// turn (a timer asks every 5 ms).
void BM_SearchInView(benchmark::State &state)
{
    TWavEditor view(nullptr, std::make_unique<NoWaveOut>());
    view.resize(1400, 200);
    view.show();
    QApplication::processEvents();
    qint64 longestWait = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestWait = std::max(longestWait, sinceTick.restart()); });
    for (auto _ : state) {
        view.setWavFile(QString());
        view.setWavFile(gRecording);
        QApplication::processEvents();
        ticker.start(5);
        sinceTick.start();
        for (auto found = view.FindFirst(); found == WavPage::SearchResult::Found; found = view.FindNext()) {
        }
        ticker.stop();
    }
    state.counters["longestWaitMs"] = double(longestWait);
}
BENCHMARK(BM_SearchInView)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    gRecording = folder.filePath(QStringLiteral("x.raw"));
    if (!folder.isValid() || !writeRecording(gRecording)) {
        std::fprintf(stderr, "bench_waveform: cannot write the recording in %s\n", qPrintable(folder.path()));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
