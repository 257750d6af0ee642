#pragma once

#include "lesson/chapter.h"

#include <QObject>
#include <QTimer>

class QLabel;
class QWidget;

namespace lirena {

class PageDisplay;
class PlaybackControl;

// The exercises of the read sequence and section play, driven by the 100 ms
// exercise tick, which this class owns. With no exercise running the tick is
// the section watch: it pauses the recording once the position has passed
// the section's stop.
class Exercises : public QObject
{
    Q_OBJECT

public:
    enum Kind { None = 0, Test1 = 1, Test2 = 2, Test3 = 3 };
    enum Phase { Sounding = 0, Waiting = 1 };

    // The exercise display over the page.
    struct Controls
    {
        QWidget *PaExerciseInfo = nullptr;
        QLabel *LblExerciseInfo = nullptr; // the phase word
        QLabel *LblCounter = nullptr;      // the waiting time left
    };

    Exercises(Chapter &chapter, PlaybackControl &playback, PageDisplay &page, Controls controls,
              QObject *parent = nullptr);

    // Starts an exercise on the working sets as they are: TEST1 listen then
    // read, TEST2 read then listen, TEST3 listen then find (always shuffled).
    void start(Kind kind, bool shuffle);
    // The learner's TEST3 answer: the rectangle pointed at when clicking. The
    // target turns green when it was pointed at, red otherwise. False when
    // there is nothing to answer yet.
    bool answer(const TGraphicObj *pointed);
    // Plays start..stop (ms) and pauses once the position has passed the stop.
    void PlaySection(int start, int stop);
    // Ends the exercise wherever it is: its tick stops, its display hides and
    // the kind is none again. The exercise's own pauses and plays do not end it.
    void StopExercise();
    // Holds the tick where it is, leaving the kind as it is: the recording was
    // played, paused or stopped by someone else, or the page is being rescaled.
    void interrupt();
    // One tick of the exercise timer.
    void Timer3Timer();
    // The playback tick asks this before it marks: when a watched section has
    // been heard at position p, the section ends here and true is returned, so
    // nothing past its stop gets marked.
    bool watchSection(qint64 p);

    // The finding time of TEST3 in seconds and the reading time of TEST1 and
    // TEST2 as a multiple of the segment's length, as the options give them.
    void setWaitTimes(int test3Seconds, double readingFactor);

    Kind kind() const { return mKind; }
    Phase phase() const { return mPhase; }
    // Index into ReadSet of the current item; -1 before the first.
    int item() const { return mItem; }
    quint32 waitLimit() const { return mWaitLimit; }
    int sectionStart() const { return mSectionStart; }
    int sectionStop() const { return mSectionStop; }
    // The rectangle TEST3 asks for, or none.
    const TGraphicObj *target() const { return mTarget; }
    // Whether the exercise tick runs.
    bool ticking() const { return mTick.isActive(); }

private:
    struct Item
    {
        const TVoiceObj *voice = nullptr;
        const TGraphicObj *graphic = nullptr;
    };

    void StartExercise();
    Item itemAt(int index) const;
    // Moves to the next usable item; false when the exercise is over.
    bool advance();
    quint32 readingTime() const;
    bool waitOver() const { return mWaitElapsed > mWaitLimit; }
    // Whether the section's sound is over at p: past its stop, or at the end of
    // the recording when the stop lies at or beyond it.
    bool sectionHeard(qint64 p) const;
    bool watching() const;
    // Aims the single-shot section end at the stop, so the sound is cut within
    // a few ms of it rather than up to a tick later.
    void armSectionEnd();
    void sectionEndDue();
    void tick(qint64 p);
    void showCounter();
    void setWord(const QString &word);
    void takeSection(const Item &item);
    void playItem();
    void pauseHere();
    void markItem(const Item &item);
    void test1Tick(qint64 p);
    void test2Tick(qint64 p);
    void test3Tick(qint64 p);
    void forget(const TBaseObj *object);

    Chapter &mChapter;
    PlaybackControl &mPlayback;
    PageDisplay &mPage;
    Controls c;
    QTimer mTick;       // the 100 ms exercise tick
    QTimer mSectionEnd; // single shot at the section's stop
    bool mOwnTransport = false; // the exercise itself is playing or pausing

    Kind mKind = None;
    Phase mPhase = Sounding;
    int mItem = -1;
    quint32 mWaitElapsed = 0; // kept from one exercise to the next
    quint32 mWaitLimit = 0;
    int mSectionStart = 0;
    int mSectionStop = 0;
    bool mAnswered = false;
    const TGraphicObj *mTarget = nullptr;
    int mTest3Seconds = 5;
    double mReadingFactor = 1.2;
};

} // namespace lirena
