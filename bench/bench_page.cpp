// Measures how long showing a page takes: LoadPageImage of an A4 page at
// 300 dpi (2480 x 3508) fitted to a 1920 x 1080 screen, against
// Qt's own reader and smooth scaling to the same size, in the same run. The
// page is drawn and written as a JPEG when the program starts, like a printed
// page of letters.

#include "lesson/chapter.h"
#include "player/pagedisplay.h"
#include "player/pageview.h"
#include "player/rotatedlabel.h"

#include <QApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRadialGradient>
#include <QScrollArea>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>

using namespace lirena;

namespace {

const QSize kScreen(1920, 1080);
const QSize kA4At300Dpi(2480, 3508);
QString gFolder; // where the page is, for the whole run

// An A4 page at 300 dpi: cream paper, a frame, a title and twelve letter
// pairs in large print, as JPEG at quality 80 with 2x2 colour sampling.
bool writeA4Page(const QString &path)
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
    const QStringList letters{"A a", "B b", "C c", "Ç ç", "D d", "E e", "F f", "G g", "Ğ ğ", "H h", "I ı", "İ i"};
    const QRect grid(124, 500, page.width() - 248, page.height() - 624);
    for (int i = 0; i < letters.size(); ++i) {
        const QRect cell(grid.left() + (i % 3) * grid.width() / 3, grid.top() + (i / 3) * grid.height() / 4,
                         grid.width() / 3, grid.height() / 4);
        p.drawText(cell, Qt::AlignCenter, letters[i]);
    }
    p.end();
    QImageWriter writer(path, "jpeg");
    writer.setQuality(80);
    return writer.write(page);
}

void BM_LoadPageImage(benchmark::State &state)
{
    Chapter chapter;
    QScrollArea box;
    auto *surface = new QWidget;
    box.setWidget(surface);
    auto *img = new PageView(surface);
    auto *title = new RotatedLabel(surface);
    PageDisplay page(chapter, {.SBox = &box,
                               .img = img,
                               .LblChapterName = title,
                               .screenSize = [] { return kScreen; },
                               .controlPanelHeight = [] { return 40; },
                               .resolve = [](const QString &name) { return gFolder + "/" + name; }});
    page.setOptions({.sizeType = PageDisplay::FitScreen});
    for (auto _ : state) {
        page.LoadPageImage("a4.jpg");
        benchmark::DoNotOptimize(img->image().constBits());
    }
    state.counters["width"] = img->image().width();
    state.counters["height"] = img->image().height();
}
BENCHMARK(BM_LoadPageImage)->Unit(benchmark::kMillisecond)->MinTime(1)->Repetitions(5)->ReportAggregatesOnly();

// Reference: Qt's JPEG reader and smooth scaling to the same size.
void BM_QtReaderAndSmoothScale(benchmark::State &state)
{
    const double scale = PageDisplay::fitScaleFor(kA4At300Dpi.width(), kA4At300Dpi.height(), kScreen);
    const QSize target(int(std::trunc(scale * kA4At300Dpi.width())), int(std::trunc(scale * kA4At300Dpi.height())));
    QImage shown;
    for (auto _ : state) {
        QImageReader reader(gFolder + "/a4.jpg");
        shown = reader.read().scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(shown.constBits());
    }
    state.counters["width"] = shown.width();
    state.counters["height"] = shown.height();
}
BENCHMARK(BM_QtReaderAndSmoothScale)->Unit(benchmark::kMillisecond)->MinTime(1)->Repetitions(5)->ReportAggregatesOnly();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    gFolder = folder.path();
    if (!folder.isValid() || !writeA4Page(gFolder + "/a4.jpg")) {
        fprintf(stderr, "bench_page: cannot write the A4 page in %s\n", qPrintable(gFolder));
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
