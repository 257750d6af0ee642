// The rules that join the player's parts: when the playback tick may mark,
// and what a size change does to playing and to an exercise.

#include "pageharness.h"

#include "../qtprinters.h"

#include <QApplication>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

// One word, "bir", heard from 1000 to 3000 ms, in the read and click sequences.
struct OneWord : PageHarness
{
    OneWord()
    {
        device.fileLength = 10000;
        playback.OpenMedia("/course/page.mp3", false);
        showPicture(400, 300);
        addGraphic(1, "bir", {10, 10, 60, 40});
        addVoice(1, 1000, 3000);
        chapter.LstRObj.add("1", addLink(1, "1", 1, 1));
        chapter.BuildWorkingSets(true);
        window.show();
        QApplication::processEvents();
    }

    // Plays into the word and lets one playback tick look.
    bool markedWhilePlaying()
    {
        playback.SeekMedia(5000); // outside the word first
        page.UnmarkRect();
        playback.SeekMedia(1500);
        playback.PlaybackTick();
        return page.markKind() != PageDisplay::NoMark;
    }
};

} // namespace

TEST(Player, MarksOnlyInAPlayModeOnScreenAndNeverDuringTest3)
{
    OneWord w;
    EXPECT_TRUE(w.markedWhilePlaying());

    w.interaction.setMode(PageInteraction::Design);
    EXPECT_FALSE(w.markedWhilePlaying());
    w.interaction.setMode(PageInteraction::PlayAll);
    EXPECT_TRUE(w.markedWhilePlaying());

    w.player.startExercise(Exercises::Test3, false); // the page must give no hint
    ASSERT_EQ(w.exercises.kind(), Exercises::Test3);
    EXPECT_FALSE(w.markedWhilePlaying());
    w.exercises.StopExercise();
    EXPECT_TRUE(w.markedWhilePlaying());

    w.window.hide();
    EXPECT_FALSE(w.markedWhilePlaying());
}

TEST(Player, ASizeChangePausesAndEndsTheExerciseButNeverResumes)
{
    OneWord w;
    w.exercises.PlaySection(1000, 3000);
    ASSERT_TRUE(w.playback.isPlaying());
    w.page.ApplyImageSize();
    EXPECT_FALSE(w.playback.isPlaying());
    EXPECT_FALSE(w.playback.ticking());
    EXPECT_FALSE(w.exercises.ticking());

    w.player.startExercise(Exercises::Test1, false);
    w.exercises.Timer3Timer(); // the word plays
    ASSERT_EQ(w.exercises.phase(), Exercises::Sounding);
    w.device.advance(2100);
    w.exercises.Timer3Timer(); // heard: reading, the recording paused
    ASSERT_EQ(w.exercises.phase(), Exercises::Waiting);
    w.page.ApplyImageSize();
    EXPECT_EQ(w.exercises.kind(), Exercises::None);
    EXPECT_FALSE(w.exercises.ticking());
    EXPECT_FALSE(w.playback.isPlaying()); // a paused recording is not toggled back on
}
