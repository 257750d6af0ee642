#pragma once

#include "lesson/chapter.h"

#include <QObject>

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
    // Stops the exercise timer and hides the display; the kind stays.
    void StopExercise();
    // Plays SectionStart..SectionStop and pauses once the position has passed the stop.
    void PlaySection();
    // One tick of the exercise timer.
    void Timer3Timer();

    // Forgets an object that is about to be freed.
    void forget(const TBaseObj *object);

private:
    Chapter &mChapter;
    PlaybackControl &mPlayback;
    PageDisplay &mPage;
    Controls c;
};

} // namespace lirena
