#include "soundeditor/wavpage.h"

#include "rawsound.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace lirena;
using lirena::testing::rawSound;
using Result = WavPage::SearchResult;

namespace {

struct Recorder : WavPageObserver
{
    int loads = 0;
    int breaths = 0;
    int found = 0;
    std::function<void()> onBreath;

    void pageLoaded() override { ++loads; }
    void breathe() override
    {
        ++breaths;
        if (onBreath)
            onBreath();
    }
    void stretchFound() override { ++found; }
};

class WavPageTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    Recorder recorder;
    WavPage page{&recorder};

    void open(const QByteArray &sound)
    {
        const QString path = dir.filePath(QStringLiteral("x.raw"));
        ASSERT_TRUE(lirena::testing::writeFile(path, sound));
        ASSERT_TRUE(page.setWavFile(path));
        page.setViewWidth(700); // 748 values per column on a 1 MiB page
    }
    // The selection in ms, for comparing with the tones.
    std::pair<int, int> selectionMs() const { return {page.SelStartMs(), page.SelStopMs()}; }
};

// Within one search window (3,000 values, 68 ms) of the true edge.
void expectNear(std::pair<int, int> found, std::pair<int, int> expected)
{
    EXPECT_NEAR(found.first, expected.first, 68);
    EXPECT_NEAR(found.second, expected.second, 68);
}

} // namespace

TEST_F(WavPageTest, OffsetsStayOnSamplesInsideTheFileAndTimesFollowTheSound)
{
    open(rawSound(12000, {}));
    page.setOffSet(1001);
    EXPECT_EQ(page.OffSet(), 1000);
    const int loads = recorder.loads;
    for (qint64 ignored : {page.FileSize(), qint64(-2), qint64(1000), qint64(1001)})
        page.setOffSet(ignored);
    EXPECT_EQ(page.OffSet(), 1000);
    EXPECT_EQ(recorder.loads, loads);

    page.ShowRange(500, 1500);
    EXPECT_EQ(page.OffSet(), 44100);
    EXPECT_EQ(page.SelStart(), 0);
    EXPECT_EQ(page.SelEnd(), 44100);
    page.ShowRange(10000, 11000);
    EXPECT_EQ(page.OffSet(), 816464);
    EXPECT_EQ(page.SelStart(), 32768);
    EXPECT_EQ(page.SelEnd(), 76868);

    // Scrolling keeps the selection on its sound: value 22,050 of the page at 88,200.
    page.ShowRange(1500, 2000);
    page.setOffSet(88200);
    EXPECT_EQ(page.SelStart(), 22050);
    EXPECT_EQ(page.SelStartMs(), 1500);
    EXPECT_EQ(page.SelStopMs(), 2000);
    // A range shown and read back gives the same times, not one ms less.
    page.ShowRange(1234, 5677);
    EXPECT_EQ(selectionMs(), std::make_pair(1234, 5677));
}

TEST_F(WavPageTest, ColumnsFollowTheBufferSizeAndShowTheFirstChannel)
{
    QByteArray sound(1058400, '\0');
    for (qsizetype i = 0; i < sound.size(); i += 4) {
        qToLittleEndian(qint16(1000), sound.data() + i);
        qToLittleEndian(qint16(-1000), sound.data() + i + 2);
    }
    open(sound);
    page.setOffSet(1000000); // the last page: 58,400 bytes of data
    EXPECT_EQ(page.ValidBytes(), 58400);
    EXPECT_EQ(page.BufferSize(), 1048576);
    EXPECT_EQ(page.SamplesPerPixel(), 748);
    const std::vector<ColumnPeak> peaks =
        columnPeaks(page.Buffer().constData(), page.ValidBytes() / 2, page.SamplesPerPixel(), 700);
    ASSERT_EQ(peaks.size(), 40u); // 29,200 values at 748 a column
    for (const ColumnPeak &peak : peaks) {
        EXPECT_EQ(peak.max, 1000);
        EXPECT_EQ(peak.min, 1000);
    }
}

TEST_F(WavPageTest, FindNextMovesOnThroughEveryStretchAcrossPages)
{
    // The third tone lies on the second page.
    open(rawSound(17000, {{1000, 2000}, {3000, 3500}, {14000, 15200}}));
    ASSERT_EQ(page.FindFirst(), Result::Found);
    expectNear(selectionMs(), {1000, 2000});
    ASSERT_EQ(page.FindNext(), Result::Found);
    expectNear(selectionMs(), {3000, 3500});
    ASSERT_EQ(page.FindNext(), Result::Found);
    expectNear(selectionMs(), {14000, 15200});
    EXPECT_GT(page.OffSet(), 0);
    EXPECT_EQ(page.FindNext(), Result::NoStart);
    EXPECT_EQ(recorder.found, 3);
    EXPECT_GT(recorder.breaths, 100);
    EXPECT_FALSE(page.Finding());
}

TEST_F(WavPageTest, SearchEndsAtTheEndOfTheData)
{
    open(rawSound(5000, {{3000, 5000}}));
    EXPECT_EQ(page.FindFirst(), Result::NoEnd);
    expectNear(selectionMs(), {3000, 5000});
    EXPECT_EQ(recorder.found, 0);
    EXPECT_EQ(page.FindNext(), Result::NoStart);

    // A file that ends where a page of exactly 700 columns ends, and a file
    // of silence only.
    page.setBufferSize(2 * 700 * 748);
    for (qsizetype bytes : {qsizetype(2 * 700 * 748), qsizetype(264600)}) {
        open(QByteArray(bytes, '\0'));
        EXPECT_EQ(page.FindFirst(), Result::NoStart);
        EXPECT_EQ(page.SelEndX(), -1);
    }
    open(QByteArray());
    EXPECT_EQ(page.FindFirst(), Result::NoStart);
}

TEST_F(WavPageTest, ACommandDuringTheSearchEndsItAndRuns)
{
    open(rawSound(10000, {{8000, 9000}}));
    // The window zooms in while the search lets it answer, then starts a
    // search of its own there and then.
    Result inner = Result::NotRun;
    int breathsAtZoom = 0;
    recorder.onBreath = [&] {
        if (recorder.breaths != 3)
            return;
        page.setBufferSize(16384);
        breathsAtZoom = recorder.breaths;
        inner = page.FindFirst();
    };
    EXPECT_EQ(page.FindFirst(), Result::Abandoned);
    EXPECT_EQ(page.BufferSize(), 16384);
    EXPECT_EQ(page.Buffer().size(), 16384);
    EXPECT_EQ(page.SamplesPerPixel(), 10);
    // The inner search ran to its end; the outer one did nothing after the zoom.
    EXPECT_EQ(inner, Result::Found);
    expectNear(selectionMs(), {8000, 9000});
    EXPECT_GT(recorder.breaths, breathsAtZoom);
    const int breaths = recorder.breaths;
    EXPECT_FALSE(page.Finding());

    // Nothing that leaves the page as it is ends a search.
    recorder.onBreath = [&] { page.setOffSet(page.OffSet()); };
    EXPECT_EQ(page.FindNext(), Result::NoStart);
    EXPECT_GT(recorder.breaths, breaths);
}
