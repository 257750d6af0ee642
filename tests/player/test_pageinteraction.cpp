#include "pageharness.h"

#include "../qtprinters.h"

#include <QApplication>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

// A page with two words: link 30 ("elma", 400 to 801 ms) is clickable, link 35
// ("kalem", 1550 to 2017 ms) is not in the click sequence.
struct Words : PageHarness
{
    Words()
    {
        window.show();
        showPicture(600, 400);
        addGraphic(10, "elma", {100, 100, 200, 150});
        addGraphic(12, "kalem", {300, 100, 400, 150});
        addVoice(20, 400, 801);
        addVoice(21, 1550, 2017);
        addLink(30, "elma,001", 10, 20);
        addLink(35, "kalem,002", 12, 21, false);
        chapter.BuildWorkingSets(true);
        QApplication::processEvents();
        // A move to where the pointer already is is no move: start from a corner.
        QTest::mouseMove(img, QPoint(1, 1));
    }
    ~Words() { PageInteraction::setScreenCursor(Qt::ArrowCursor); }

    // TEST3 on "elma" alone, up to where it asks for the word.
    void startTest3()
    {
        chapter.LstRObj.add("elma,001", static_cast<TVGObj *>(Chapter::FindObjectById(30, chapter.LstVGObj)));
        player.startExercise(Exercises::Test3, false);
        for (int i = 0; i < 6; ++i)
            exercises.Timer3Timer();
        ASSERT_NE(exercises.target(), nullptr);
    }

    void move(int x, int y) { QTest::mouseMove(img, QPoint(x, y)); }
    void click(int x, int y, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(img, button, {}, QPoint(x, y)); }
    Qt::CursorShape cursor() const
    {
        return QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor;
    }
};

} // namespace

TEST(Pointing, HandOverAClickableRectangleOnly)
{
    Words w;
    w.move(150, 120);
    EXPECT_EQ(w.cursor(), Qt::PointingHandCursor);
    EXPECT_EQ(QString::number(w.pointed), "30");
    ASSERT_NE(w.interaction.pointedVoice(), nullptr);
    EXPECT_EQ(w.interaction.pointedVoice()->StartTime, 400);
    w.move(350, 120); // "kalem" is not in the click sequence
    EXPECT_EQ(w.cursor(), Qt::ArrowCursor);
    EXPECT_EQ(w.interaction.pointedVoice(), nullptr);
    EXPECT_EQ(QString::number(w.pointed), "30"); // the label keeps its text
    w.move(200, 120); // on the right edge: outside
    EXPECT_EQ(w.interaction.pointedGraphic(), nullptr);
}

TEST(Pointing, PlayAllAnswersEveryLink)
{
    Words w;
    w.interaction.setMode(PageInteraction::PlayAll);
    w.chapter.BuildWorkingSets(false);
    w.move(350, 120);
    EXPECT_EQ(QString::number(w.pointed), "35");
}

TEST(Clicking, PlaysFromTheSegmentToTheEnd)
{
    Words w;
    w.move(150, 120);
    w.click(150, 120);
    EXPECT_EQ(w.device.mode(), MediaDevice::Mode::Playing);
    EXPECT_TRUE(w.device.calls.contains("seek 400"));
    EXPECT_FALSE(w.exercises.ticking()); // no section watch
    w.device.advance(2000);
    EXPECT_EQ(w.device.mode(), MediaDevice::Mode::Playing);
}

TEST(Clicking, SectionPlayPausesOnceTheStopIsPassed)
{
    Words w;
    w.interaction.setSectionPlay(true);
    w.move(150, 120);
    w.click(150, 120);
    EXPECT_EQ(w.device.position(), 400) << w.device.calls.join(", ").toStdString();
    EXPECT_EQ(w.device.mode(), MediaDevice::Mode::Playing);
    ASSERT_TRUE(w.exercises.ticking());
    for (int tick = 0; tick < 4; ++tick) { // 400 .. 800: not past 801 yet
        w.device.advance(100);
        w.exercises.Timer3Timer();
    }
    EXPECT_EQ(w.device.mode(), MediaDevice::Mode::Playing);
    w.device.advance(100); // 900: past the stop
    w.exercises.Timer3Timer();
    EXPECT_EQ(w.device.mode(), MediaDevice::Mode::Paused);
    EXPECT_FALSE(w.exercises.ticking());
}

TEST(Clicking, NothingHappensBesideTheRectangles)
{
    Words w;
    w.move(50, 50);
    w.click(50, 50);
    EXPECT_FALSE(w.device.calls.contains("play"));
}

TEST(Clicking, EmptyClickSequenceInPlayLimitedAnswersNothing)
{
    Words w;
    w.chapter.LstCObj.clear();
    w.chapter.BuildWorkingSets(true);
    w.move(150, 120);
    w.click(150, 120);
    EXPECT_EQ(w.interaction.pointedVoice(), nullptr);
    EXPECT_FALSE(w.device.calls.contains("play"));
}

TEST(Test3, AClickBeforeTheFirstItemHasNoTarget)
{
    Words w;
    w.chapter.LstRObj.add("elma,001", static_cast<TVGObj *>(Chapter::FindObjectById(30, w.chapter.LstVGObj)));
    w.player.startExercise(Exercises::Test3, false);
    ASSERT_EQ(w.exercises.kind(), Exercises::Test3);
    w.move(150, 120);
    const QImage page = w.img->image();
    w.click(150, 120);
    EXPECT_EQ(w.img->image(), page);
}

TEST(Test3, AClickAnswersAndTintsTheTarget)
{
    Words w;
    w.interaction.setMode(PageInteraction::PlayAll);
    w.startTest3(); // asks for "elma"
    ASSERT_EQ(w.exercises.phase(), Exercises::Sounding);
    w.move(350, 120);
    w.click(350, 120); // the wrong word: the target turns red
    EXPECT_EQ(w.exercises.phase(), Exercises::Waiting);
    const QRgb target = w.img->image().pixel(150, 120);
    EXPECT_EQ(target, qRgb(255, 92, 77)); // 240+39 (clipped), 235-143, 220-143
    EXPECT_EQ(w.img->image().pixel(350, 120), qRgb(240, 235, 220));
}

TEST(Panning, ThePageFollowsTheRightButton)
{
    Words w;
    w.showPicture(2000, 2000);
    w.page.CenterPage();
    QApplication::processEvents();
    QScrollBar *h = w.box->horizontalScrollBar();
    QScrollBar *v = w.box->verticalScrollBar();
    h->setValue(300);
    v->setValue(300);
    QTest::mousePress(w.img, Qt::RightButton, {}, QPoint(700, 700));
    EXPECT_EQ(w.cursor(), Qt::SizeAllCursor);
    // The pointer goes 50 left and 40 up on screen: the picture point under it moves with the scroll.
    w.interaction.imgMouseMove(650 + 0, 660 + 0);
    EXPECT_EQ(h->value(), 300 + 300 + (700 - 300) - 650);
    EXPECT_EQ(v->value(), 300 + 300 + (700 - 300) - 660);
    QTest::mouseRelease(w.img, Qt::RightButton, {}, QPoint(650, 660));
    EXPECT_EQ(w.cursor(), Qt::ArrowCursor);
}

TEST(Design, DrawingLeftwardsGivesAnUnnormalisedRectangle)
{
    Words w;
    w.interaction.setMode(PageInteraction::Design);
    const QImage page = w.img->image();
    QTest::mousePress(w.img, Qt::LeftButton, {}, QPoint(100, 100));
    w.move(60, 80);
    QTest::mouseRelease(w.img, Qt::LeftButton, {}, QPoint(60, 80));
    EXPECT_EQ(w.page.editRect(), (PixelRect{100, 100, 60, 80}));
    EXPECT_NE(w.img->image(), page); // the outline is on the page
    w.interaction.setMode(PageInteraction::PlayLimited);
    EXPECT_EQ(w.page.editRect(), PixelRect{});
    EXPECT_EQ(w.img->image(), page); // switching to a play mode takes it off
}

TEST(Design, DraggingTheLeftStripWidensAndTheMiddleMoves)
{
    Words w;
    w.interaction.setMode(PageInteraction::Design);
    QTest::mousePress(w.img, Qt::LeftButton, {}, QPoint(50, 50));
    w.move(150, 120);
    QTest::mouseRelease(w.img, Qt::LeftButton, {}, QPoint(150, 120));
    ASSERT_EQ(w.page.editRect(), (PixelRect{50, 50, 150, 120}));

    w.move(51, 80);
    EXPECT_EQ(w.cursor(), Qt::SizeHorCursor);
    QTest::mousePress(w.img, Qt::LeftButton, {}, QPoint(51, 80));
    w.move(31, 80);
    QTest::mouseRelease(w.img, Qt::LeftButton, {}, QPoint(31, 80));
    EXPECT_EQ(w.page.editRect(), (PixelRect{30, 50, 150, 120}));

    w.move(90, 85);
    EXPECT_EQ(w.cursor(), Qt::SizeAllCursor);
    QTest::mousePress(w.img, Qt::LeftButton, {}, QPoint(90, 85));
    w.move(100, 95);
    QTest::mouseRelease(w.img, Qt::LeftButton, {}, QPoint(100, 95));
    EXPECT_EQ(w.page.editRect(), (PixelRect{40, 60, 160, 130}));

    w.move(100, 61); // top strip
    EXPECT_EQ(w.cursor(), Qt::SizeVerCursor);
}

TEST(Design, APressAtXZeroDrawsANewRectangle)
{
    Words w;
    w.interaction.setMode(PageInteraction::Design);
    w.page.replaceEditRect({0, 0, 40, 40});
    QTest::mousePress(w.img, Qt::LeftButton, {}, QPoint(0, 20));
    w.move(60, 70);
    EXPECT_EQ(w.page.editRect(), (PixelRect{0, 0, 60, 70})); // its anchor x is 0: right and bottom follow
    QTest::mouseRelease(w.img, Qt::LeftButton, {}, QPoint(60, 70));
}

TEST(PageArea, BottomEdgeBringsThePanelBackFromFullScreen)
{
    Words w;
    w.interaction.SBoxMouseMove(700);
    EXPECT_EQ(w.bottomEdgeSeen, 0);
    w.interaction.SBoxMouseMove(768 - 19);
    EXPECT_EQ(w.bottomEdgeSeen, 1);
}

TEST(PageArea, BottomEdgeBringsThePanelBackAlsoOverThePicture)
{
    Words w;
    w.box->setGeometry(0, 0, 1024, 768); // full screen: the page area reaches the bottom
    w.showPicture(1000, 3000);           // and the picture covers it
    w.page.CenterPage();
    QApplication::processEvents();
    const int bottom = w.img->mapFrom(w.box, QPoint(0, 768 - 19)).y();
    w.move(500, bottom - 40);
    EXPECT_EQ(w.bottomEdgeSeen, 0);
    w.move(500, bottom);
    EXPECT_EQ(w.bottomEdgeSeen, 1);
}

TEST(Clicking, APressHitTestsWhereThePageIsNow)
{
    Words w;
    w.move(150, 120); // on "elma"
    // The page moves under the still pointer: "kalem" comes under it.
    w.chapter.LstCObj.add("kalem,002", static_cast<TVGObj *>(Chapter::FindObjectById(35, w.chapter.LstVGObj)));
    w.chapter.BuildWorkingSets(true);
    QTest::mousePress(w.img, Qt::LeftButton, {}, QPoint(350, 120));
    EXPECT_EQ(w.device.position(), 1550); // "kalem" plays, not "elma"
}

TEST(Test3, TheSecondPressOfADoubleClickAnswersNothing)
{
    Words w;
    w.startTest3();
    w.move(150, 120);
    const QImage page = w.img->image();
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(150, 120), w.img->mapToGlobal(QPointF(150, 120)),
                       Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(w.img, &second); // would answer the item started after the first press
    EXPECT_EQ(w.img->image(), page);
    EXPECT_EQ(w.exercises.phase(), Exercises::Sounding);
    w.click(150, 120);
    EXPECT_NE(w.img->image(), page); // found: green
    EXPECT_EQ(w.exercises.phase(), Exercises::Waiting);
}

TEST(Test3, InterruptedItEndsAndClicksPlayAgain)
{
    Words w;
    w.startTest3();
    emit w.slider.mousePressed(); // the learner takes the slider
    emit w.slider.mouseReleased();
    EXPECT_EQ(w.exercises.kind(), Exercises::None);
    EXPECT_FALSE(w.infoPanel.isVisibleTo(&w.window));
    w.move(150, 120);
    w.click(150, 120);
    EXPECT_EQ(w.device.position(), 400); // a word click plays again
    w.device.advance(100);
    w.playback.PlaybackTick();
    EXPECT_EQ(w.page.editRect(), (PixelRect{100, 100, 200, 150})); // and reading marks again
}
