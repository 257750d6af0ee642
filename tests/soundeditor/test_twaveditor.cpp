#include "soundeditor/twaveditor.h"

#include "fakewaveout.h"
#include "rawsound.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace lirena;
using lirena::testing::FakeWaveOut;
using lirena::testing::rawSound;

namespace {

// A view 700 x 200 on a 12-second file: 748 values a column on the default page.
class TWavEditorTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    FakeWaveOut *out = new FakeWaveOut;
    TWavEditor view{nullptr, std::unique_ptr<WaveOut>(out)};
    QByteArray sound;

    void open(const QByteArray &bytes)
    {
        sound = bytes;
        const QString path = dir.filePath(QStringLiteral("x.raw"));
        ASSERT_TRUE(lirena::testing::writeFile(path, sound));
        ASSERT_TRUE(view.setWavFile(path));
        view.resize(700, 200);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        ASSERT_EQ(view.page().SamplesPerPixel(), 748);
    }
    void drag(std::initializer_list<int> columns, Qt::KeyboardModifiers modifiers = {})
    {
        auto x = columns.begin();
        QTest::mousePress(&view, Qt::LeftButton, modifiers, QPoint(*x, 100));
        for (++x; x != columns.end(); ++x)
            QTest::mouseMove(&view, QPoint(*x, 100));
        QTest::mouseRelease(&view, Qt::LeftButton, modifiers, QPoint(*std::prev(columns.end()), 100));
    }
    std::pair<int, int> columns() const { return {view.page().SelStartX(), view.page().SelEndX()}; }
};

} // namespace

TEST_F(TWavEditorTest, MouseDrawsSelectionsOverTheDataOnly)
{
    open(rawSound(12000, {}));
    drag({100});
    EXPECT_EQ(columns(), std::make_pair(-1, -1));
    drag({150, 120, 80});
    EXPECT_EQ(columns(), std::make_pair(80, 150));
    EXPECT_EQ(view.page().SelStart(), 80 * 748);
    EXPECT_EQ(view.page().SelEnd(), 150 * 748);
    drag({151, 200}); // grabs the end two pixels off
    EXPECT_EQ(columns(), std::make_pair(80, 200));

    // A cleared selection stays cleared when the page scrolls back.
    view.setOffSet(500000);
    drag({300});
    view.setOffSet(0);
    EXPECT_EQ(columns(), std::make_pair(-1, -1));

    // The last page holds data in columns 0 to 39 only.
    view.setOffSet(1000000);
    drag({20, 400});
    EXPECT_EQ(columns(), std::make_pair(20, 39));
    drag({25, 700});
    EXPECT_EQ(columns(), std::make_pair(25, 39));
}

TEST_F(TWavEditorTest, PlaysTheSelectedBytesAndStopsBeforeEveryPageLoad)
{
    open(rawSound(12000, {{0, 12000}}));
    drag({80, 150});
    view.PlaySelection();
    ASSERT_EQ(out->written.size(), 1u);
    EXPECT_EQ(out->written.back().data, view.page().Buffer().constData() + 80 * 748 * 2);
    EXPECT_EQ(out->lastBlock(), sound.mid(80 * 748 * 2, 70 * 748 * 2));
    EXPECT_TRUE(view.playing());

    bool playingAtLoad = true;
    QObject::connect(&view, &TWavEditor::scrolled, [&] { playingAtLoad = view.playing(); });
    view.setOffSet(88200);
    EXPECT_FALSE(playingAtLoad);
    EXPECT_FALSE(out->isOpen);
    view.PlayAll();
    EXPECT_EQ(out->lastBlock(), sound.mid(88200, 1048576));
    view.setBufferSize(16384);
    EXPECT_FALSE(playingAtLoad);

    // Shift-click without a selection sets the start only: nothing to play.
    drag({10});
    drag({200}, Qt::ShiftModifier);
    EXPECT_EQ(view.page().SelStartX(), 200);
    EXPECT_LT(view.page().SelEndX(), 0);
    const size_t blocks = out->written.size();
    view.PlaySelection();
    EXPECT_EQ(out->written.size(), blocks);
}

TEST_F(TWavEditorTest, TheWindowAnswersWhileASearchRuns)
{
    open(rawSound(12000, {{8000, 9000}}));
    QTimer::singleShot(0, &view, [this] { view.setBufferSize(2097152); });
    EXPECT_EQ(view.FindFirst(), WavPage::SearchResult::Abandoned);
    EXPECT_EQ(view.BufferSize(), 2097152);

    EXPECT_EQ(view.FindFirst(), WavPage::SearchResult::Found);
    EXPECT_NEAR(view.SelStartMs(), 8000, 68);
    EXPECT_NEAR(view.SelStopMs(), 9000, 68);
    EXPECT_TRUE(view.playing());
}

TEST_F(TWavEditorTest, PaintsTheWaveformWithSelectionLinesInExclusiveOr)
{
    // Loud for 3 seconds (columns 0 to 176), then silent.
    open(rawSound(12000, {{0, 3000}}));
    drag({50, 600});
    const QImage shot = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    EXPECT_EQ(shot.pixel(0, 50), black);    // frame
    EXPECT_EQ(shot.pixel(400, 0), black);   // frame
    EXPECT_EQ(shot.pixel(400, 100), black); // centre line
    EXPECT_EQ(shot.pixel(400, 90), white);
    // Amplitude 3000 at (65535 / 200) / 2 = 163 a pixel: rows 82 to 117.
    EXPECT_EQ(shot.pixel(20, 83), black);
    EXPECT_EQ(shot.pixel(20, 116), black);
    EXPECT_EQ(shot.pixel(20, 80), white);
    EXPECT_EQ(shot.pixel(600, 50), qRgb(0, 0, 255));    // yellow on white
    EXPECT_EQ(shot.pixel(600, 100), qRgb(255, 255, 0)); // yellow on black
    EXPECT_EQ(shot.pixel(50, 90), qRgb(255, 255, 0));

    // At two device pixels a pixel every column is two wide and the wave is
    // drawn at full height resolution.
    const QImage sharp = WaveformPicture(view.page(), view.size(), 2.0);
    EXPECT_EQ(sharp.size(), QSize(1400, 400));
    for (int x : {40, 41}) {
        EXPECT_EQ(sharp.pixel(x, 170), black);
        EXPECT_EQ(sharp.pixel(x, 160), white);
    }
}
