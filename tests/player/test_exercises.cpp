#include "pageharness.h"

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

    void start(int kind, int phase, quint32 limit)
    {
        exercises.ExerciseKind = kind;
        exercises.ExerciseItem = -1;
        exercises.ExercisePhase = phase;
        exercises.WaitLimit = limit;
        exercises.WaitElapsed = 0;
        exercises.SectionStop = -1;
        exercises.StartExercise();
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
    l.start(Exercises::Test1, Exercises::Waiting, 0);
    EXPECT_TRUE(l.infoPanel.isVisibleTo(&l.window));
    l.tick(); // the limit is 0: the first item plays at once
    EXPECT_EQ(l.info.text(), "DİNLE");
    EXPECT_EQ(l.device.position(), 1000);
    EXPECT_EQ(l.device.mode(), MediaDevice::Mode::Playing);
    EXPECT_TRUE(l.timer3.isActive());

    while (l.device.position() <= 3000)
        l.tick();
    EXPECT_EQ(l.info.text(), "OKU");
    EXPECT_EQ(l.device.mode(), MediaDevice::Mode::Paused);
    EXPECT_EQ(l.page.EditRect, (PixelRect{10, 10, 60, 40})); // the word to read is framed
    EXPECT_EQ(l.exercises.WaitLimit, 3000u);

    l.tick();
    EXPECT_EQ(l.counter.text(), "00:00:02.9");
    EXPECT_EQ(l.ticksUntilPlaying(), 30); // the 31st tick of the wait
    EXPECT_EQ(l.info.text(), "DİNLE");
    EXPECT_EQ(l.device.position(), 10000);
}

TEST(Test1, EndsAfterTheLastItemWithItsMarkLeft)
{
    Lesson l;
    l.test12.setText("1");
    l.start(Exercises::Test1, Exercises::Waiting, 0);
    for (int i = 0; i < 500 && l.exercises.ExerciseKind != Exercises::None; ++i)
        l.tick();
    EXPECT_EQ(l.exercises.ExerciseKind, Exercises::None);
    EXPECT_FALSE(l.timer3.isActive());
    EXPECT_FALSE(l.infoPanel.isVisibleTo(&l.window));
    EXPECT_EQ(l.page.EditRect, (PixelRect{200, 10, 260, 40}));
}

TEST(Test2, ReadFirstThenListen)
{
    Lesson l;
    l.test12.setText("2");
    l.start(Exercises::Test2, Exercises::Sounding, 0);
    l.tick(); // prepares the first item: marked, waiting
    EXPECT_EQ(l.info.text(), "OKU");
    EXPECT_EQ(l.page.EditRect, (PixelRect{10, 10, 60, 40}));
    EXPECT_NE(l.device.mode(), MediaDevice::Mode::Playing);

    // Move on to "iki": 10000 to 11250 ms, twice its length to read, 2500 ms.
    while (l.exercises.ExerciseItem < 1)
        l.tick();
    EXPECT_EQ(l.exercises.WaitLimit, 2500u);
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
    l.start(Exercises::Test3, Exercises::Waiting, 500);
    EXPECT_EQ(l.ticksUntilPlaying(), 6); // half a second before the first item
    EXPECT_EQ(l.info.text(), "DİNLE");
    EXPECT_EQ(l.exercises.TargetGraphic->Name, "bir");
    EXPECT_EQ(l.at(20, 20), qRgb(100, 100, 100)); // nothing is marked while listening

    while (l.exercises.ExercisePhase == Exercises::Sounding)
        l.tick();
    EXPECT_EQ(l.info.text(), "BUL");
    for (int i = 0; i < 50; ++i)
        l.tick();
    EXPECT_EQ(l.at(20, 20), qRgb(100, 100, 100));
    EXPECT_EQ(l.counter.text(), "00:00:00.0");
    l.tick(); // 5.1 s after the segment
    EXPECT_EQ(l.at(20, 20), qRgb(139, 0, 0)); // 100 + (231 - 192); 100 + (49 - 192), clipped
    EXPECT_EQ(l.device.mode(), MediaDevice::Mode::Playing);
    EXPECT_EQ(l.exercises.TargetGraphic->Name, "iki");
}

TEST(Test3, AnAnswerMovesOnAtTheNextTickWithoutTheRedReveal)
{
    Lesson l;
    l.start(Exercises::Test3, Exercises::Waiting, 500);
    l.ticksUntilPlaying();
    while (l.exercises.ExercisePhase == Exercises::Sounding)
        l.tick();
    l.exercises.Answered = true; // the learner clicked
    l.tick();
    EXPECT_EQ(l.at(20, 20), qRgb(100, 100, 100));
    EXPECT_EQ(l.exercises.TargetGraphic->Name, "iki");
}

TEST(Test3, TheRecordingStaysPausedAfterTheLastItem)
{
    Lesson l;
    l.test3.setText("1");
    l.start(Exercises::Test3, Exercises::Waiting, 500);
    for (int i = 0; i < 1000 && l.exercises.ExerciseKind != Exercises::None; ++i)
        l.tick();
    EXPECT_EQ(l.exercises.ExerciseKind, Exercises::None);
    EXPECT_NE(l.device.mode(), MediaDevice::Mode::Playing);
    EXPECT_FALSE(l.timer3.isActive());
}

TEST(Exercises, EmptyReadSetEndsAtOnce)
{
    Lesson l;
    l.chapter.ReadSet.clear();
    l.start(Exercises::Test1, Exercises::Waiting, 0);
    l.tick();
    EXPECT_EQ(l.exercises.ExerciseKind, Exercises::None);
    EXPECT_FALSE(l.timer3.isActive());
}

TEST(Exercises, AnItemWhoseRectangleIsGoneIsPassedOver)
{
    Lesson l;
    l.chapter.deleteGraphic(static_cast<TGraphicObj *>(Chapter::FindObjectById(1, l.chapter.LstGObj)));
    l.start(Exercises::Test1, Exercises::Waiting, 0);
    l.tick();
    EXPECT_EQ(l.device.position(), 10000); // "bir" skipped, "iki" plays
}

TEST(Exercises, ASegmentWithoutLengthEndsItsReadingAtTheNextTick)
{
    Lesson l;
    auto *voice = static_cast<TVoiceObj *>(Chapter::FindObjectById(1, l.chapter.LstVObj));
    voice->StopTime = voice->StartTime - 200; // a stop before its start
    l.start(Exercises::Test1, Exercises::Waiting, 0);
    l.tick();
    l.tick(); // past the stop at once: reading starts
    EXPECT_EQ(l.info.text(), "OKU");
    EXPECT_EQ(l.exercises.WaitLimit, 0u);
    l.tick();
    EXPECT_EQ(l.info.text(), "DİNLE");
    EXPECT_EQ(l.device.position(), 10000);
}

TEST(WaitTimes, UpDownsStayWithinTheirRanges)
{
    Lesson l;
    l.test12.setText("1,5");
    EXPECT_TRUE(l.exercises.UDTest12ChangingEx(11, 10));
    EXPECT_EQ(l.test12.text(), "1,6");
    l.test12.setText("4,9");
    EXPECT_TRUE(l.exercises.UDTest12ChangingEx(11, 10));
    EXPECT_EQ(l.test12.text(), "5");
    EXPECT_FALSE(l.exercises.UDTest12ChangingEx(12, 11));
    EXPECT_EQ(l.test12.text(), "5");
    l.test12.setText("1");
    EXPECT_FALSE(l.exercises.UDTest12ChangingEx(9, 10));
    EXPECT_EQ(l.test12.text(), "1");

    l.test3.setText("60");
    EXPECT_FALSE(l.exercises.UDTest3ChangingEx(2, 1));
    l.test3.setText("1");
    EXPECT_FALSE(l.exercises.UDTest3ChangingEx(1, 2));
    EXPECT_TRUE(l.exercises.UDTest3ChangingEx(3, 2));
    EXPECT_EQ(l.test3.text(), "2");
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
        if (timer1.isActive())
            playback.PlaybackTick();
        if (timer3.isActive())
            exercises.Timer3Timer();
    }
};

} // namespace

TEST(SectionPlay, TheWordPlayedStaysMarkedNotTheOneAfterIt)
{
    Adjacent l;
    l.exercises.SectionStart = 1000;
    l.exercises.SectionStop = 2050;
    l.exercises.PlaySection();
    for (int i = 0; i < 30 && l.timer3.isActive(); ++i)
        l.fullTick();
    EXPECT_FALSE(l.timer3.isActive());
    EXPECT_NE(l.device.mode(), MediaDevice::Mode::Playing);
    EXPECT_EQ(l.page.EditRect, (PixelRect{10, 10, 60, 40})); // "bir", not "iki"
}

TEST(Exercises, AnItemThatEndsWithTheRecordingGoesOn)
{
    for (const int stop : {30000, 29950, 40000}) {
        Lesson l;
        l.test12.setText("1");
        static_cast<TVoiceObj *>(Chapter::FindObjectById(3, l.chapter.LstVObj))->StopTime = stop;
        l.start(Exercises::Test1, Exercises::Waiting, 0);
        for (int i = 0; i < 2000 && l.exercises.ExerciseKind != Exercises::None; ++i) {
            l.device.advance(100);
            if (l.timer1.isActive())
                l.playback.PlaybackTick();
            if (l.timer3.isActive())
                l.exercises.Timer3Timer();
        }
        EXPECT_EQ(l.exercises.ExerciseKind, Exercises::None) << "stop " << stop << ", stuck on " << l.info.text().toStdString();
    }
}
