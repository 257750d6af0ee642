#include "player/player.h"

#include "player/colorcombo.h"
#include "player/pageview.h"
#include "player/waittimes.h"

#include <QToolButton>

namespace lirena {

Player::Player(Chapter &chapter, MediaDevice &media, UserDialogs &dialogs, Widgets widgets, QObject *parent)
    : QObject(parent), mChapter(chapter), w(std::move(widgets)),
      mPage(chapter, {.SBox = w.pageArea,
                      .img = w.page,
                      .LblChapterName = w.chapterTitle,
                      .screenSize = w.screenSize,
                      .controlPanelHeight = w.controlPanelHeight,
                      .resolve = w.resolve,
                      .picture = w.pagePicture,
                      .devicePixelRatio = w.devicePixelRatio}),
      mPlayback(media,
                {.btnPlay = w.play,
                 .btnPause = w.pause,
                 .btnStop = w.stop,
                 .Slider = w.slider,
                 .LblTime = w.time,
                 .LblTotTime = w.totalTime},
                dialogs),
      mExercises(chapter, mPlayback, mPage,
                 {.PaExerciseInfo = w.exerciseInfo, .LblExerciseInfo = w.exerciseWord, .LblCounter = w.exerciseCounter}),
      mInteraction(chapter, mPage, mPlayback, mExercises,
                   {.SBox = w.pageArea, .img = w.page, .screenHeight = [this] { return w.screenSize().height(); }})
{
    mPlayback.setTickListener(this);
    // Taking the slider ends an exercise; so does a reload of a tinted page.
    connect(&mPlayback, &PlaybackControl::sliderPressed, &mExercises, &Exercises::StopExercise);
    connect(&mPage, &PageDisplay::restored, &mExercises, &Exercises::StopExercise);
    // A size change pauses playback (it never resumes a paused recording); the
    // reload that follows ends the exercise.
    connect(&mPage, &PageDisplay::rescaling, this, [this] {
        if (mPlayback.isPlaying())
            mPlayback.PauseMedia();
    });
    connect(w.play, &QToolButton::clicked, this, [this] { transportButton(&PlaybackControl::PlayMedia); });
    connect(w.pause, &QToolButton::clicked, this, [this] { transportButton(&PlaybackControl::PauseMedia); });
    connect(w.stop, &QToolButton::clicked, this, [this] { transportButton(&PlaybackControl::StopMedia); });
}

Player::~Player()
{
    mPlayback.setTickListener(nullptr);
}

void Player::transportButton(void (PlaybackControl::*operation)())
{
    (mPlayback.*operation)();
    mExercises.StopExercise();
    mPage.RestorePage();
}

void Player::startExercise(Exercises::Kind kind, bool shuffle)
{
    // Without its recording a page has nothing to listen to: like PLAY, the
    // exercises quietly do nothing (they would wait for a sound for ever).
    if (!mPlayback.isOpen())
        return;
    mPlayback.StopMedia();
    mPage.RestorePage();
    mChapter.BuildWorkingSets(mInteraction.mode() == PageInteraction::PlayLimited);
    mExercises.start(kind, shuffle);
}

void Player::playFrom(qint64 ms)
{
    mExercises.StopExercise();
    mPlayback.SeekMedia(ms);
    mPlayback.PlayMedia();
}

void Player::applyOptions(const DisplayOptions &o)
{
    mPage.setOptions({
        .sizeType = o.ImageSizeType == 0 ? PageDisplay::FitScreen : PageDisplay::ChosenSize,
        .sizeIndex = o.ImageSize,
        .markStyle = o.MarkType >= 0 && o.MarkType <= 2 ? PageDisplay::MarkStyle(o.MarkType) : PageDisplay::NoMark,
        .markColor = colorFromRef(o.MarkColor),
    });
    mExercises.setWaitTimes(WaitTimes::test3Seconds(o.Test3WaitTime), WaitTimes::readingFactor(o.Test12WaitTime));
    mPlayback.setReadingSpeed(o.ReadingSpeed / 10.0);
}

void Player::minimised()
{
    if (mPlayback.isPlaying())
        mPlayback.PauseMedia();
    mExercises.StopExercise();
}

bool Player::markingAllowed() const
{
    return w.page->window()->isVisible() && mInteraction.mode() != PageInteraction::Design &&
           mExercises.kind() != Exercises::Test3;
}

bool Player::sectionEnded(qint64 p)
{
    return mExercises.watchSection(p);
}

void Player::markAt(qint64 p)
{
    if (markingAllowed())
        mPage.MarkingStep(p);
}

qint64 Player::nextMarkChange(qint64 p)
{
    if (!markingAllowed())
        return -1;
    const qint64 next = mPage.nextMarkChange(p);
    // A watched section is paused just past its stop, where the tick marks
    // nothing more: the word played keeps its mark, the next one gets none.
    const bool watched = mExercises.ticking() &&
                         (mExercises.kind() == Exercises::None || mExercises.phase() == Exercises::Sounding);
    if (watched && next >= mExercises.sectionStop())
        return -1;
    return next;
}

} // namespace lirena
