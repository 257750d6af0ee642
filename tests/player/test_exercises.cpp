#include "pageharness.h"

#include "player/waittimes.h"

#include "../qtprinters.h"

#include <gtest/gtest.h>

using namespace lirena;

namespace {

// Three words read in order: "bir" 1000 to 3000 ms, "iki" 10000 to 11250 ms,
// "üç" 20000 to 20500 ms.
struct Lesson : PageHarness
{
    Lesson()
    {
        device.fileLength = 30000;
        playback.OpenMedia("/course/page.mp3", false);
        showPicture(600, 400, qRgb(100, 100, 100));
        addGraphic(1, "bir", {10, 10, 60, 40});
        addGraphic(2, "iki", {100, 10, 160, 40});
        addGraphic(3, "üç", {200, 10, 260, 40});
        addVoice(1, 1000, 3000);
        addVoice(2, 10000, 11250);
        addVoice(3, 20000, 20500);
        for (int i = 1; i <= 3; ++i)
            chapter.LstRObj.add(QString::number(i), addLink(i, QString::number(i), i, i));
        chapter.BuildWorkingSets(true);
    }

    // Starts an exercise with the items in their authored order.
    void start(Exercises::Kind kind)
    {
        player.startExercise(kind, false);
        chapter.BuildWorkingSets(true); // TEST3 shuffles: back to the authored order
    }

    // One 100 ms tick: the recording plays on, then the exercise looks.
    void tick()
    {
        device.advance(100);
        exercises.Timer3Timer();
    }

    // Ticks until the recording plays again; returns how many.
    int ticksUntilPlaying()
    {
        int ticks = 0;
        while (device.mode() != MediaDevice::Mode::Playing && ticks < 1000) {
            tick();
            ++ticks;
        }
        return ticks;
    }

    QRgb at(int x, int y) const { return img->image().pixel(x, y); }
};

} // namespace

TEST(Test1, ListenThenReadForOneAndAHalfTimesTheSegment)
{
    Lesson l;
    l.start(Exercises::Test1);
    EXPECT_TRUE(l.infoPanel.isVisibleTo(&l.window));
    l.tick(); // the limit is 0: the first item plays at once
    EXPECT_EQ(l.info.text(), "DİNLE");
    EXPECT_EQ(l.device.position(), 1000);
    EXPECT_EQ(l.device.mode(), MediaDevice::Mode::Playing);
    EXPECT_TRUE(l.exercises.ticking());

    while (l.device.position() <= 3000)
        l.tick();
    EXPECT_EQ(l.info.text(), "OKU");
    EXPECT_EQ(l.device.mode(), MediaDevice::Mode::Paused);
    EXPECT_EQ(l.page.editRect(), (PixelRect{10, 10, 60, 40})); // the word to read is framed
    EXPECT_EQ(l.exercises.waitLimit(), 3000u);

    l.tick();
    EXPECT_EQ(l.counter.text(), "00:00:02.9");
    EXPECT_EQ(l.ticksUntilPlaying(), 30); // the 31st tick of the wait
    EXPECT_EQ(l.info.text(), "DİNLE");
    EXPECT_EQ(l.device.position(), 10000);
}

TEST(Test1, EndsAfterTheLastItemWithItsMarkLeft)
{
    Lesson l;
    l.exercises.setWaitTimes(5, 1.0);
    l.start(Exercises::Test1);
    for (int i = 0; i < 500 && l.exercises.kind() != Exercises::None; ++i)
        l.tick();
    EXPECT_EQ(l.exercises.kind(), Exercises::None);
    EXPECT_FALSE(l.exercises.ticking());
    EXPECT_FALSE(l.infoPanel.isVisibleTo(&l.window));
    EXPECT_EQ(l.page.editRect(), (PixelRect{200, 10, 260, 40}));
}

TEST(Test2, ReadFirstThenListen)
{
    Lesson l;
    l.exercises.setWaitTimes(5, 2.0);
    l.start(Exercises::Test2);
    l.tick(); // prepares the first item: marked, waiting
    EXPECT_EQ(l.info.text(), "OKU");
    EXPECT_EQ(l.page.editRect(), (PixelRect{10, 10, 60, 40}));
    EXPECT_NE(l.device.mode(), MediaDevice::Mode::Playing);

    // Move on to "iki": 10000 to 11250 ms, twice its length to read, 2500 ms.
    while (l.exercises.item() < 1)
        l.tick();
    EXPECT_EQ(l.exercises.waitLimit(), 2500u);
    l.tick();
    EXPECT_EQ(l.counter.text(), "00:00:02.4");
    l.tick();
    EXPECT_EQ(l.counter.text(), "00:00:02.3");
    EXPECT_EQ(l.ticksUntilPlaying(), 24);
    EXPECT_EQ(l.info.text(), "DİNLE");
    EXPECT_EQ(l.device.position(), 10000);
}

TEST(Test3, MissedWordTurnsRedFiveSecondsAndATenthAfterItsSegment)
{
    Lesson l;
    l.start(Exercises::Test3);
    EXPECT_EQ(l.ticksUntilPlaying(), 6); // half a second before the first item
    EXPECT_EQ(l.info.text(), "DİNLE");
    EXPECT_EQ(l.exercises.target()->Name, "bir");
    EXPECT_EQ(l.at(20, 20), qRgb(100, 100, 100)); // nothing is marked while listening

    while (l.exercises.phase() == Exercises::Sounding)
        l.tick();
    EXPECT_EQ(l.info.text(), "BUL");
    for (int i = 0; i < 50; ++i)
        l.tick();
    EXPECT_EQ(l.at(20, 20), qRgb(100, 100, 100));
    EXPECT_EQ(l.counter.text(), "00:00:00.0");
    l.tick(); // 5.1 s after the segment
    EXPECT_EQ(l.at(20, 20), qRgb(139, 0, 0)); // 100 + (231 - 192); 100 + (49 - 192), clipped
    EXPECT_EQ(l.device.mode(), MediaDevice::Mode::Playing);
    EXPECT_EQ(l.exercises.target()->Name, "iki");
}

TEST(Test3, AnAnswerMovesOnAtTheNextTickWithoutTheRedReveal)
{
    Lesson l;
    l.start(Exercises::Test3);
    l.ticksUntilPlaying();
    while (l.exercises.phase() == Exercises::Sounding)
        l.tick();
    l.exercises.answer(l.exercises.target()); // the learner clicked the word asked for
    l.tick();
    EXPECT_EQ(l.at(20, 20), qRgb(37, 159, 40)); // green, and no red reveal after it
    EXPECT_EQ(l.exercises.target()->Name, "iki");
}

TEST(Test3, TheRecordingStaysPausedAfterTheLastItem)
{
    Lesson l;
    l.exercises.setWaitTimes(1, 1.5);
    l.start(Exercises::Test3);
    for (int i = 0; i < 1000 && l.exercises.kind() != Exercises::None; ++i)
        l.tick();
    EXPECT_EQ(l.exercises.kind(), Exercises::None);
    EXPECT_NE(l.device.mode(), MediaDevice::Mode::Playing);
    EXPECT_FALSE(l.exercises.ticking());
}

TEST(Exercises, EmptyReadSetEndsAtOnce)
{
    Lesson l;
    l.chapter.LstRObj.clear();
    l.start(Exercises::Test1);
    l.tick();
    EXPECT_EQ(l.exercises.kind(), Exercises::None);
    EXPECT_FALSE(l.exercises.ticking());
}

TEST(Exercises, AnItemWhoseRectangleIsGoneIsPassedOver)
{
    Lesson l;
    l.chapter.deleteGraphic(static_cast<TGraphicObj *>(Chapter::FindObjectById(1, l.chapter.LstGObj)));
    l.start(Exercises::Test1);
    l.tick();
    EXPECT_EQ(l.device.position(), 10000); // "bir" skipped, "iki" plays
}

TEST(Exercises, ASegmentWithoutLengthEndsItsReadingAtTheNextTick)
{
    Lesson l;
    auto *voice = static_cast<TVoiceObj *>(Chapter::FindObjectById(1, l.chapter.LstVObj));
    voice->StopTime = voice->StartTime - 200; // a stop before its start
    l.start(Exercises::Test1);
    l.tick();
    l.tick(); // past the stop at once: reading starts
    EXPECT_EQ(l.info.text(), "OKU");
    EXPECT_EQ(l.exercises.waitLimit(), 0u);
    l.tick();
    EXPECT_EQ(l.info.text(), "DİNLE");
    EXPECT_EQ(l.device.position(), 10000);
}

TEST(WaitTimes, StepsStayWithinTheirRanges)
{
    EXPECT_EQ(WaitTimes::stepTest12("1,5", 1), "1,6");
    EXPECT_EQ(WaitTimes::stepTest12("4,9", 1), "5"); // exact tenths: not a hair above 5
    EXPECT_EQ(WaitTimes::stepTest12("5", 1), std::nullopt);
    EXPECT_EQ(WaitTimes::stepTest12("1", -1), std::nullopt);
    EXPECT_EQ(WaitTimes::stepTest12("9", -1), std::nullopt); // a stored 9 cannot step further out
    EXPECT_EQ(WaitTimes::stepTest12("9", -40), "5");
    EXPECT_EQ(WaitTimes::stepTest3("60", 1), std::nullopt);
    EXPECT_EQ(WaitTimes::stepTest3("1", -1), std::nullopt);
    EXPECT_EQ(WaitTimes::stepTest3("1", 1), "2");
    EXPECT_DOUBLE_EQ(WaitTimes::readingFactor("1.5"), 1.2); // a point is no decimal separator here
}

namespace {

// Two words read one right after the other, "bir" 1000 to 2050 ms and "iki"
// 2050 to 3000 ms, run tick by tick as the window runs them: the playback tick
// first, then the exercise tick.
struct Adjacent : Lesson
{
    Adjacent()
    {
        static_cast<TVoiceObj *>(Chapter::FindObjectById(1, chapter.LstVObj))->StopTime = 2050;
        auto *iki = static_cast<TVoiceObj *>(Chapter::FindObjectById(2, chapter.LstVObj));
        iki->StartTime = 2050;
        iki->StopTime = 3000;
    }

    void fullTick()
    {
        device.advance(100);
        if (playback.ticking())
            playback.PlaybackTick();
        if (exercises.ticking())
            exercises.Timer3Timer();
    }
};

} // namespace

TEST(SectionPlay, TheWordPlayedStaysMarkedNotTheOneAfterIt)
{
    Adjacent l;
    l.window.show();
    l.exercises.PlaySection(1000, 2050);
    for (int i = 0; i < 30 && l.exercises.ticking(); ++i)
        l.fullTick();
    EXPECT_FALSE(l.exercises.ticking());
    EXPECT_NE(l.device.mode(), MediaDevice::Mode::Playing);
    EXPECT_EQ(l.page.editRect(), (PixelRect{10, 10, 60, 40})); // "bir", not "iki"
}

TEST(Exercises, AnItemThatEndsWithTheRecordingGoesOn)
{
    for (const int stop : {30000, 29950, 40000}) {
        Lesson l;
        l.exercises.setWaitTimes(5, 1.0);
        static_cast<TVoiceObj *>(Chapter::FindObjectById(3, l.chapter.LstVObj))->StopTime = stop;
        l.start(Exercises::Test1);
        for (int i = 0; i < 2000 && l.exercises.kind() != Exercises::None; ++i) {
            l.device.advance(100);
            if (l.playback.ticking())
                l.playback.PlaybackTick();
            if (l.exercises.ticking())
                l.exercises.Timer3Timer();
        }
        EXPECT_EQ(l.exercises.kind(), Exercises::None) << "stop " << stop << ", stuck on " << l.info.text().toStdString();
    }
}
