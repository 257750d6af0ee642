// Measures how long showing a page takes: LoadPageImage of the A4 sample
// page (2480 x 3508) fitted to a 1920 x 1080 screen, against Qt's own reader
// and smooth scaling to the same size, in the same run.

#include "lesson/chapter.h"
#include "player/pagedisplay.h"
#include "player/pageview.h"
#include "player/rotatedlabel.h"

#include <QApplication>
#include <QImageReader>
#include <QScrollArea>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace lirena;

namespace {

const QString kCourse = QStringLiteral(LIRENA_SAMPLE_COURSE);
const QSize kScreen(1920, 1080);

void BM_LoadPageImage(benchmark::State &state)
{
    Chapter chapter;
    QScrollArea box;
    auto *surface = new QWidget;
    box.setWidget(surface);
    auto *img = new PageView(surface);
    auto *title = new RotatedLabel(surface);
    PageDisplay page(chapter, {&box, img, title, [] { return kScreen; }, [] { return 40; }, [] { return 0; },
                               [] { return 0; }, [] { return QColor(247, 199, 137); },
                               [](const QString &name) { return kCourse + "/" + name; }, {}, {}});
    for (auto _ : state) {
        page.LoadPageImage("sayfa01.jpg");
        benchmark::DoNotOptimize(img->image().constBits());
    }
    state.counters["width"] = img->image().width();
    state.counters["height"] = img->image().height();
}
BENCHMARK(BM_LoadPageImage)->Unit(benchmark::kMillisecond)->MinTime(1)->Repetitions(5)->ReportAggregatesOnly();

// Reference: Qt's JPEG reader and smooth scaling to the same size.
void BM_QtReaderAndSmoothScale(benchmark::State &state)
{
    const double scale = PageDisplay::fitScaleFor(2480, 3508, kScreen);
    const QSize target(int(std::trunc(scale * 2480)), int(std::trunc(scale * 3508)));
    QImage shown;
    for (auto _ : state) {
        QImageReader reader(kCourse + "/sayfa01.jpg");
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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
