// Measures how long a page picture takes to show: an A4 page at 300 dpi
// (2480 x 3508) fitted to a 1920 x 1080 and to a 3840 x 2160 screen, decoded
// from memory as LoadPageImage does it (JpegDecoder::decodeShown: decoded at
// the fitted size's scale and resized bilinearly row by row as it comes),
// against Qt's own reader scaling to the same size (QImageReader::setScaledSize), the two timed in turn in the
// same loop. The page is drawn and encoded when the program starts, like a
// printed page of letters.
//
// Counters: ours_ms and qt_ms (medians of the repetition, wall clock),
// x_faster (qt_ms / ours_ms), the same in CPU time of the process
// (ours_cpu_ms, qt_cpu_ms, x_faster_cpu: steadier when the machine is shared),
// and PSNRs in dB: ours_dB and qt_dB against an area average of the whole
// decoded page down to the shown size; vs_n8_dB, ours against the n/8 route
// (libjpeg at the smallest n/8 with n from 1 to 8, then a scalar bilinear with
// 8-bit steps, kept here for this comparison only); resize_dB, resizeBilinear
// against that scalar bilinear on the same n/8 decode, so vs_n8_dB is what
// the decode scale alone changes.

#include "player/imageops.h"
#include "player/jpegdecoder.h"
#include "player/pagedisplay.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRadialGradient>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include <jpeglib.h>

using namespace lirena;

namespace {

const QSize kA4At300Dpi(2480, 3508);
QByteArray gPage; // the page as JPEG, for the whole run

// An A4 page at 300 dpi: cream paper, a frame, a title and twelve letter
// pairs in large print, as JPEG at quality 80 with 2x2 colour sampling.
QByteArray a4Page()
{
    QImage page(kA4At300Dpi, QImage::Format_RGB32);
    const int dotsPerMetre = 11811; // 300 dpi
    page.setDotsPerMeterX(dotsPerMetre);
    page.setDotsPerMeterY(dotsPerMetre);
    QPainter p(&page);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient paper(page.rect().center(), page.height() * 0.6);
    paper.setColorAt(0, QColor(0xfd, 0xf9, 0xef));
    paper.setColorAt(1, QColor(0xef, 0xe4, 0xc8));
    p.fillRect(page.rect(), paper);
    p.setPen(QPen(QColor(0xb8, 0x9f, 0x74), 7));
    p.drawRect(page.rect().adjusted(62, 62, -62, -62));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(180);
    p.setFont(font);
    p.setPen(QColor(0x7b, 0x2d, 0x12));
    p.drawText(QRect(0, 124, page.width(), 260), Qt::AlignCenter, QStringLiteral("Harfler: A - İ"));
    font.setPixelSize(300);
    p.setFont(font);
    p.setPen(QColor(0x1a, 0x1a, 0x1a));
    const QStringList letters{"A a", "B b", "C c", "Ç ç", "D d", "E e",
                              "F f", "G g", "Ğ ğ", "H h", "I ı", "İ i"};
    const QRect grid(124, 500, page.width() - 248, page.height() - 624);
    for (int i = 0; i < letters.size(); ++i) {
        const QRect cell(grid.left() + (i % 3) * grid.width() / 3, grid.top() + (i / 3) * grid.height() / 4,
                         grid.width() / 3, grid.height() / 4);
        p.drawText(cell, Qt::AlignCenter, letters[i]);
    }
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(80);
    return writer.write(page) ? bytes : QByteArray();
}

QSize fittedSize(QSize full, QSize screen)
{
    const double scale = PageDisplay::fitScaleFor(full.width(), full.height(), screen);
    return {int(std::trunc(scale * full.width())), int(std::trunc(scale * full.height()))};
}

// The page as LoadPageImage shows it.
QImage ourPage(const QByteArray &bytes, QSize screen)
{
    auto targetFor = [&](QSize full) { return fittedSize(full, screen); };
    return JpegDecoder::decodeShown(bytes, targetFor, nullptr, nullptr);
}

QImage qtPage(const QByteArray &bytes, QSize target)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setScaledSize(target);
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// Area average (box filter) of source down to w x h: each output pixel is the
// mean of the input area it covers, partly covered pixels weighed by the part.
QImage areaAverage(const QImage &source, int w, int h)
{
    struct Weight
    {
        int i;
        double w;
    };
    auto weights = [](int dst, int src) {
        auto all = std::vector<std::vector<Weight>>(size_t(dst));
        const double step = double(src) / dst;
        for (int d = 0; d < dst; ++d) {
            const double from = d * step, to = (d + 1) * step;
            for (int i = int(from); i < src && i < to; ++i)
                all[size_t(d)].push_back({i, (std::min(to, i + 1.0) - std::max(from, double(i))) / step});
        }
        return all;
    };
    const auto cols = weights(w, source.width()), rows = weights(h, source.height());
    std::vector<double> across(size_t(w) * source.height() * 3);
    for (int y = 0; y < source.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < w; ++x)
            for (const Weight &c : cols[size_t(x)])
                for (int k = 0; k < 3; ++k)
                    across[(size_t(y) * w + x) * 3 + k] += c.w * (line[c.i] >> (8 * k) & 0xFF);
    }
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            QRgb pixel = 0xFF000000u;
            for (int k = 0; k < 3; ++k) {
                double sum = 0;
                for (const Weight &r : rows[size_t(y)])
                    sum += r.w * across[(size_t(r.i) * w + x) * 3 + k];
                pixel |= QRgb(std::clamp(int(std::lround(sum)), 0, 255)) << (8 * k);
            }
            line[x] = pixel;
        }
    }
    return out;
}

double psnr(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 0;
    double squares = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x)
            for (int k = 0; k < 3; ++k) {
                const int d = int(p[x] >> (8 * k) & 0xFF) - int(q[x] >> (8 * k) & 0xFF);
                squares += d * d;
            }
    }
    const double mean = squares / (3.0 * a.width() * a.height());
    return mean == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mean);
}

// The n/8 route: libjpeg at the smallest n/8 (n from 1 to 8) that covers the
// target, then a scalar bilinear with 8-bit steps.
QImage decodeEighths(const QByteArray &bytes, QSize target)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.constData()),
                 (unsigned long)bytes.size());
    jpeg_read_header(&info, TRUE);
    unsigned int n = 1;
    while (n < 8 && ((info.image_width * n + 7) / 8 < unsigned(target.width()) ||
                     (info.image_height * n + 7) / 8 < unsigned(target.height())))
        ++n;
    info.scale_num = n;
    info.scale_denom = 8;
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    QImage image(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

QImage scalarBilinear(const QImage &source, int w, int h)
{
    struct Tap
    {
        int i0, i1, f;
    };
    auto taps = [](int dst, int src) {
        auto t = std::vector<Tap>(size_t(dst));
        for (int d = 0; d < dst; ++d) {
            const qint64 c = std::max<qint64>(0, (qint64(2 * d + 1) * src * 256) / (2 * dst) - 128);
            const int i0 = int(std::min<qint64>(c >> 8, src - 1));
            t[size_t(d)] = {i0, std::min(i0 + 1, src - 1), int(c & 255)};
        }
        return t;
    };
    const std::vector<Tap> cols = taps(w, source.width()), rows = taps(h, source.height());
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const Tap &r = rows[size_t(y)];
        const auto *a = reinterpret_cast<const QRgb *>(source.constScanLine(r.i0));
        const auto *b = reinterpret_cast<const QRgb *>(source.constScanLine(r.i1));
        auto *o = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const Tap &c = cols[size_t(x)];
            QRgb pixel = 0xFF000000u;
            for (int k = 0; k < 3; ++k) {
                auto at = [k](QRgb p) { return int(p >> (8 * k) & 0xFF); };
                const int top = (at(a[c.i0]) * (256 - c.f) + at(a[c.i1]) * c.f) >> 8;
                const int bottom = (at(b[c.i0]) * (256 - c.f) + at(b[c.i1]) * c.f) >> 8;
                pixel |= QRgb((top * (256 - r.f) + bottom * r.f) >> 8) << (8 * k);
            }
            o[x] = pixel;
        }
    }
    return out;
}

// CPU time of the whole process (every thread), in ms.
double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void BM_PageFittedToScreen(benchmark::State &state)
{
    const QSize screen(int(state.range(0)), int(state.range(1)));
    const QSize target = fittedSize(kA4At300Dpi, screen);
    std::vector<double> ours, qt, oursCpu, qtCpu;
    QImage shown, qtShown;
    bool oursFirst = true;
    for (auto _ : state) {
        auto timed = [](auto &&route, std::vector<double> &wall, std::vector<double> &cpu) {
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = processCpuMs();
            route();
            cpu.push_back(processCpuMs() - cpuStart);
            wall.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        };
        auto runOurs = [&] { timed([&] { shown = ourPage(gPage, screen); }, ours, oursCpu); };
        auto runQt = [&] { timed([&] { qtShown = qtPage(gPage, target); }, qt, qtCpu); };
        // Turn about, so neither route always finds the other's memory warm.
        if (oursFirst) {
            runOurs();
            runQt();
        } else {
            runQt();
            runOurs();
        }
        oursFirst = !oursFirst;
        state.SetIterationTime(ours.back() / 1000);
        benchmark::DoNotOptimize(shown.constBits());
        benchmark::DoNotOptimize(qtShown.constBits());
    }
    const double oursMs = median(ours), qtMs = median(qt);
    state.counters["ours_ms"] = oursMs;
    state.counters["qt_ms"] = qtMs;
    state.counters["x_faster"] = qtMs / oursMs;
    state.counters["ours_cpu_ms"] = median(oursCpu);
    state.counters["qt_cpu_ms"] = median(qtCpu);
    state.counters["x_faster_cpu"] = median(qtCpu) / median(oursCpu);

    const QImage reference =
        areaAverage(JpegDecoder::decodeBytes(gPage, {}, nullptr, nullptr), target.width(), target.height());
    const QImage eighths = decodeEighths(gPage, target);
    const QImage n8 = scalarBilinear(eighths, target.width(), target.height());
    state.counters["ours_dB"] = psnr(shown, reference);
    state.counters["qt_dB"] = psnr(qtShown, reference);
    state.counters["vs_n8_dB"] = psnr(shown, n8);
    state.counters["resize_dB"] = psnr(resizeBilinear(eighths, target.width(), target.height()), n8);
    state.counters["width"] = shown.width();
    state.counters["height"] = shown.height();
}

double smallest(const std::vector<double> &v)
{
    return *std::min_element(v.begin(), v.end());
}

double largest(const std::vector<double> &v)
{
    return *std::max_element(v.begin(), v.end());
}

BENCHMARK(BM_PageFittedToScreen)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Iterations(20)
    ->Repetitions(5)
    ->UseManualTime()
    ->ComputeStatistics("min", smallest)
    ->ComputeStatistics("max", largest)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    gPage = a4Page();
    if (gPage.isEmpty()) {
        fprintf(stderr, "bench_page: cannot encode the A4 page\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
