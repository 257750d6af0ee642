#pragma once

#include "lesson/chapter.h"

#include <QObject>
#include <QTimer>

#include <functional>

class QLabel;
class QTimer;
class QWidget;

namespace lirena {

class PageDisplay;
class PlaybackControl;

// The exercises of the read sequence and section play, driven by the 100 ms
// exercise timer. With no exercise running each tick is the section watch:
// it pauses the recording once the position has passed SectionStop.
class Exercises : public QObject
{
    Q_OBJECT

public:
    enum Kind { None = 0, Test1 = 1, Test2 = 2, Test3 = 3 };
    enum Phase { Sounding = 0, Waiting = 1 };

    struct Controls
    {
        QTimer *Timer3 = nullptr;
        QWidget *PaExerciseInfo = nullptr;
        QLabel *LblExerciseInfo = nullptr;
        QLabel *LblCounter = nullptr;
        QLabel *LblTest3 = nullptr;         // finding time of TEST3, seconds
        QLabel *LblTest12 = nullptr;        // reading-time factor of TEST1 and TEST2, decimal comma
        std::function<int()> markType;      // RGrpMarkType index
    };

    Exercises(Chapter &chapter, PlaybackControl &playback, PageDisplay &page, Controls controls,
              QObject *parent = nullptr);

    int ExerciseKind = None;
    int ExercisePhase = Sounding;
    int ExerciseItem = -1;
    quint32 WaitElapsed = 0;
    quint32 WaitLimit = 0;
    int SectionStart = 0;
    int SectionStop = 0;
    bool Answered = false;
    const TGraphicObj *TargetGraphic = nullptr;

    // Starts the exercise timer and shows the exercise display.
    void StartExercise();
    // Ends the exercise wherever it is: its timer stops, its display hides and
    // the kind is none again. The exercise's own pauses and plays do not end it.
    void StopExercise();
    // Plays SectionStart..SectionStop and pauses once the position has passed the stop.
    void PlaySection();
    // One tick of the exercise timer.
    void Timer3Timer();
    // The playback tick asks this before it marks: when a watched section has
    // been heard at position p, the section ends here and true is returned, so
    // nothing past its stop gets marked.
    bool watchSection(qint64 p);

    // Steps of the wait-time up-downs: the new label value, or refused (false).
    bool UDTest3ChangingEx(int newValue, int position);
    bool UDTest12ChangingEx(int newValue, int position);

    // Forgets an object that is about to be freed.
    void forget(const TBaseObj *object);

private:
    struct Item
    {
        const TVoiceObj *voice = nullptr;
        const TGraphicObj *graphic = nullptr;
    };

    // The item at an index of ReadSet, or none when out of range or unresolved.
    Item itemAt(int index) const;
    // Moves to the next usable item; false when the exercise is over.
    bool advance();
    quint32 readingTime() const;
    // Whether the section's sound is over at p: past its stop, or at the end of
    // the recording when the stop lies at or beyond it.
    bool sectionHeard(qint64 p) const;
    bool watching() const;
    // Aims the single-shot section end at the stop, so the sound is cut within
    // a few ms of it rather than up to a tick later.
    void armSectionEnd();
    void sectionEndDue();
    void tick(qint64 p);
    bool waitOver() const { return WaitElapsed > WaitLimit; }
    void showCounter();
    void setWord(const QString &word);
    void takeSection(const Item &item);
    void playSection();
    void markItem(const Item &item);
    void finish();
    void test1Tick(qint64 p);
    void test2Tick(qint64 p);
    void test3Tick(qint64 p);

    Chapter &mChapter;
    PlaybackControl &mPlayback;
    PageDisplay &mPage;
    Controls c;
    QTimer mSectionEnd;
};

} // namespace lirena
