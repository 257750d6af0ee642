// The mark on time: the mark timer aimed at the next segment boundary, a
// clicked word marked as its sound starts, and the pointer's first match
// where rectangles overlap. The timer's handler is called as the timer would
// call it, against the scripted device's clock.

#include "pageharness.h"

#include "../qtprinters.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

// Plays at a reading speed other than the recording's.
struct SlowDevice : ScriptedDevice
{
    double rate() const override { return 0.5; }
};

// Two words: "bir" heard from 1000 to 3000 ms, "iki" from 2000 to 4000 ms
// (overlapping it, its link sorting after), rectangles overlapping too.
struct TwoWords : PageHarness
{
    TVoiceObj *bir, *iki;

    explicit TwoWords(MediaDevice *device = nullptr) : PageHarness(device)
    {
        static_cast<ScriptedDevice &>(media).fileLength = 10000;
        playback.OpenMedia("/course/page.mp3", false);
        showPicture(400, 300);
        addGraphic(1, "bir", {10, 10, 60, 40});
        addGraphic(2, "iki", {40, 20, 100, 50});
        bir = addVoice(1, 1000, 3000);
        iki = addVoice(2, 2000, 4000);
        addLink(1, "1", 1, 1);
        addLink(2, "2", 2, 2);
        chapter.BuildWorkingSets(true);
        window.show();
        QApplication::processEvents();
    }

    // What the timer does when it fires after its interval.
    void fire(MediaDevice &clock)
    {
        static_cast<ScriptedDevice &>(clock).advance(playback.markTimerInterval());
        playback.MarkTimerTimer();
    }
};

} // namespace

TEST(MarkTimer, MarksAtEachBoundaryNotAtTheNextTick)
{
    TwoWords w;
    w.playback.PlayMedia();
    EXPECT_EQ(w.playback.markTimerInterval(), 1001); // just inside "bir"
    w.fire(w.device);
    EXPECT_EQ(w.page.markedVoice(), w.bir);
    EXPECT_EQ(w.playback.markTimerInterval(), 1999); // "bir" keeps its mark to its stop
    w.fire(w.device);
    EXPECT_EQ(w.page.markedVoice(), w.iki);
    EXPECT_EQ(w.playback.markTimerInterval(), 1000);
    w.fire(w.device);
    EXPECT_EQ(w.page.markedVoice(), nullptr);
    EXPECT_EQ(w.playback.markTimerInterval(), -1); // nothing more to mark

    // A pause stops it; the position lagging behind the wall clock aims at the same boundary again.
    w.playback.SeekMedia(900);
    w.playback.PlayMedia();
    w.playback.PauseMedia();
    EXPECT_EQ(w.playback.markTimerInterval(), -1);
    w.playback.PauseMedia();
    EXPECT_EQ(w.playback.markTimerInterval(), 101);
    w.device.advance(100);
    w.playback.MarkTimerTimer();
    EXPECT_EQ(w.page.markedVoice(), nullptr);
    EXPECT_EQ(w.playback.markTimerInterval(), 1);
}

TEST(MarkTimer, WaitsInWallClockTimeAtTheReadingSpeed)
{
    SlowDevice slow;
    TwoWords w(&slow);
    w.playback.PlayMedia();
    EXPECT_EQ(w.playback.markTimerInterval(), 2002); // 1001 ms of recording at half speed
    w.fire(slow);
    EXPECT_EQ(w.page.markedVoice(), w.bir);
}

TEST(MarkTimer, AClickedWordIsMarkedAsItsSoundStarts)
{
    TwoWords w;
    QTest::mouseClick(w.img, Qt::LeftButton, {}, QPoint(50, 35)); // both rectangles: "bir" is first
    ASSERT_EQ(w.interaction.pointedVoice(), w.bir);
    EXPECT_EQ(w.device.position(), 1000);
    EXPECT_EQ(w.page.markedVoice(), nullptr); // nothing heard yet
    EXPECT_EQ(w.playback.markTimerInterval(), 1);
    w.fire(w.device);
    EXPECT_EQ(w.page.markedVoice(), w.bir);
    EXPECT_EQ(w.page.editRect(), (PixelRect{10, 10, 60, 40}));

    QTest::mouseMove(w.img, QPoint(80, 45)); // only "iki" is there
    EXPECT_EQ(w.interaction.pointedVoice(), w.iki);
}

TEST(MarkTimer, AWatchedSectionKeepsItsWordMarkedToItsEnd)
{
    TwoWords w;
    w.interaction.setSectionPlay(true);
    QTest::mouseClick(w.img, Qt::LeftButton, {}, QPoint(50, 35));
    w.fire(w.device);
    EXPECT_EQ(w.page.markedVoice(), w.bir);
    // Its stop is left to the section's end, which pauses just past it.
    EXPECT_EQ(w.playback.markTimerInterval(), -1);
}
