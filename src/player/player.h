#pragma once

#include "player/displayoptions.h"
#include "player/exercises.h"
#include "player/pagedisplay.h"
#include "player/pageinteraction.h"
#include "player/playbackcontrol.h"

#include <QObject>

#include <functional>

class QLabel;
class QScrollArea;
class QToolButton;

namespace lirena {

class Chapter;
class MediaDevice;
class PageView;
class RotatedLabel;
class TSlider;
class UserDialogs;

// The learner's player: playback, the page, the mouse on it and the
// exercises, built and wired together in one place, for the window and for
// the tests alike. It holds the rules that join the parts: when marking may
// run, what a size change or the slider does to an exercise, how an
// exercise starts.
class Player : public QObject, private PlaybackControl::TickListener
{
    Q_OBJECT

public:
    // The controls the player works with and what it asks of its surroundings.
    struct Widgets
    {
        QScrollArea *pageArea = nullptr;
        PageView *page = nullptr;
        RotatedLabel *chapterTitle = nullptr;
        QToolButton *play = nullptr;
        QToolButton *pause = nullptr;
        QToolButton *stop = nullptr;
        TSlider *slider = nullptr;
        QLabel *time = nullptr;
        QLabel *totalTime = nullptr;
        QWidget *exerciseInfo = nullptr;
        QLabel *exerciseWord = nullptr;
        QLabel *exerciseCounter = nullptr;
        std::function<QSize()> screenSize;               // logical pixels of the window's screen
        std::function<int()> controlPanelHeight;         // height of the control panel now
        std::function<QString(const QString &)> resolve; // a name inside the data folder
        // Makes the picture of a file for a sizing (pages made ahead); makePagePicture when none.
        std::function<PagePicture(const QString &path, const PageSizing &sizing)> pagePicture;
        // Device pixels per view pixel where the page is shown; the page widget's when none.
        std::function<qreal()> devicePixelRatio;
    };

    Player(Chapter &chapter, MediaDevice &media, UserDialogs &dialogs, Widgets widgets, QObject *parent = nullptr);
    ~Player() override;

    PlaybackControl &playback() { return mPlayback; }
    PageDisplay &page() { return mPage; }
    PageInteraction &interaction() { return mInteraction; }
    Exercises &exercises() { return mExercises; }
    const PlaybackControl &playback() const { return mPlayback; }
    const PageDisplay &page() const { return mPage; }
    const PageInteraction &interaction() const { return mInteraction; }
    const Exercises &exercises() const { return mExercises; }

    // The subject actions TEST1 to TEST3: the recording stops, a tinted page is
    // restored, the working sets are built for the mode, and the exercise
    // starts. On a page whose recording is not open nothing happens.
    void startExercise(Exercises::Kind kind, bool shuffle);
    // The subject action PLAY: a running exercise ends; playing starts at ms.
    void playFrom(qint64 ms);
    // Takes the learner's options: size, mark, mark colour, waiting times and reading speed.
    // A size change shows the page anew only through PageDisplay::ApplyImageSize.
    void applyOptions(const DisplayOptions &options);
    // The window was minimised: a playing recording pauses, an exercise ends.
    void minimised();
    // Whether the marking step may mark now: the page is on screen, a play
    // mode is chosen and TEST3 (where the page must give no hint) is not running.
    bool markingAllowed() const;

private:
    bool sectionEnded(qint64 p) override;
    void markAt(qint64 p) override;
    qint64 nextMarkChange(qint64 p) override;
    // The play, pause and stop buttons: the learner takes over from an exercise.
    void transportButton(void (PlaybackControl::*operation)());

    Chapter &mChapter;
    Widgets w;
    PageDisplay mPage;
    PlaybackControl mPlayback;
    Exercises mExercises;
    PageInteraction mInteraction;
};

} // namespace lirena
