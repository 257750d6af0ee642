// What the playback tick and the pointer cost on a crowded page: the marking
// decision with the time of the next change (what every tick and every mark
// timer shot works out), and the hit test of one mouse move, at 2000 and
// 20000 words. Reference in the same run: the walk over every link that
// resolves each link's objects by a search through their list. The page is
// made when the program starts: words in rows, read one after the other with
// short pauses between them, listed in an order of their own.

#include "../tests/player/pageharness.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>

using namespace lirena;

namespace {

struct Page
{
    std::unique_ptr<PageHarness> h = std::make_unique<PageHarness>();
    Chapter &chapter = h->chapter;
    qint64 length = 0;

    explicit Page(int words)
    {
        std::mt19937 rng(11);
        auto any = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        int t = 500;
        for (int i = 1; i <= words; ++i) {
            const int column = (i - 1) % 100, row = (i - 1) / 100;
            const int left = 10 + column * 24, top = 10 + row * 12;
            h->addGraphic(i, QStringLiteral("g%1").arg(i), {left, top, left + any(12, 22), top + 10});
            const int start = t, stop = t + any(200, 600);
            h->addVoice(i, start, stop);
            t = stop + any(0, 150); // a pause between words: the tick then finds nothing
            h->addLink(i, QStringLiteral("%1").arg(any(0, 1 << 30)), i, i);
        }
        length = t;
        chapter.BuildWorkingSets(true);
    }

    // The marking decision as it was: every link in turn, each of its objects
    // found by its id in its list.
    const TVGObj *heardByWalking(qint64 p) const
    {
        for (int i = 0; i < chapter.LstVGObj.count(); ++i) {
            const auto *link = chapter.LstVGObj.at<TVGObj>(i);
            const auto *voice =
                static_cast<TVoiceObj *>(Chapter::FindObjectById(link->VoiceId, chapter.LstVObj));
            if (!voice || !(voice->StartTime < p && p < voice->StopTime))
                continue;
            if (Chapter::FindObjectById(link->GraphicId, chapter.LstGObj))
                return link;
        }
        return nullptr;
    }

    const TVGObj *pointedByWalking(int x, int y) const
    {
        for (const TVGObj *link : chapter.ClickSet) {
            const auto *g =
                static_cast<TGraphicObj *>(Chapter::FindObjectById(link->GraphicId, chapter.LstGObj));
            if (g && g->ViewRect.contains(x, y))
                return link;
        }
        return nullptr;
    }
};

// One page of each size for the whole run.
Page &pageOf(int words)
{
    static std::map<int, std::unique_ptr<Page>> pages;
    auto &page = pages[words];
    if (!page)
        page = std::make_unique<Page>(words);
    return *page;
}

// Positions 100 ms apart, as the tick sees them, over the whole recording.
qint64 nextTick(qint64 &p, const Page &page)
{
    p = (p + 100) % page.length;
    return p;
}

void BM_TickWalk(benchmark::State &state)
{
    Page &page = pageOf(int(state.range(0)));
    qint64 p = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(page.heardByWalking(nextTick(p, page)));
}
BENCHMARK(BM_TickWalk)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->MinTime(0.5);

// The marking step itself, marks drawn into the page, with the next change.
void BM_TickIndexed(benchmark::State &state)
{
    Page &page = pageOf(int(state.range(0)));
    page.h->showPicture(2420, 2420);
    page.chapter.heardAt(0); // the index is built once after loading
    qint64 p = 0;
    for (auto _ : state) {
        page.h->page.MarkingStep(nextTick(p, page));
        benchmark::DoNotOptimize(page.h->page.nextMarkChange(p));
    }
}
BENCHMARK(BM_TickIndexed)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond);

// The pointer crossing the page: the next point of a walk along the rows.
QPoint nextPoint(int &step)
{
    ++step;
    return {(step * 7) % 2410, (step * 7 / 2410 * 5) % 2420};
}

void BM_PointerWalk(benchmark::State &state)
{
    Page &page = pageOf(int(state.range(0)));
    int step = 0;
    for (auto _ : state) {
        const QPoint at = nextPoint(step);
        benchmark::DoNotOptimize(page.pointedByWalking(at.x(), at.y()));
    }
}
BENCHMARK(BM_PointerWalk)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond);

void BM_PointerIndexed(benchmark::State &state)
{
    Page &page = pageOf(int(state.range(0)));
    page.chapter.clickableAt(0, 0);
    int step = 0;
    for (auto _ : state) {
        const QPoint at = nextPoint(step);
        benchmark::DoNotOptimize(page.chapter.clickableAt(at.x(), at.y()));
    }
}
BENCHMARK(BM_PointerIndexed)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond);

// What an edit costs afterwards: the index built anew on the next look-up.
void BM_IndexRebuild(benchmark::State &state)
{
    Page &page = pageOf(int(state.range(0)));
    for (auto _ : state) {
        page.chapter.invalidateIndex();
        benchmark::DoNotOptimize(page.chapter.heardAt(1000));
    }
}
BENCHMARK(BM_IndexRebuild)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
}
