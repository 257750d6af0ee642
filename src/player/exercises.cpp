#include "player/exercises.h"

#include "player/pagedisplay.h"
#include "player/playbackcontrol.h"

#include <QTimer>
#include <QWidget>

namespace lirena {

Exercises::Exercises(Chapter &chapter, PlaybackControl &playback, PageDisplay &page, Controls controls,
                     QObject *parent)
    : QObject(parent), mChapter(chapter), mPlayback(playback), mPage(page), c(controls)
{
    connect(c.Timer3, &QTimer::timeout, this, &Exercises::Timer3Timer);
    connect(&mChapter, &Chapter::objectRemoving, this, &Exercises::forget);
    connect(&mChapter, &Chapter::cleared, this, [this] {
        StopExercise();
        ExerciseKind = None;
        TargetGraphic = nullptr;
    });
}

void Exercises::StartExercise()
{
    c.Timer3->start();
    c.PaExerciseInfo->show();
}

void Exercises::StopExercise()
{
    c.Timer3->stop();
    c.PaExerciseInfo->hide();
}

void Exercises::PlaySection()
{
    mPlayback.PauseMedia();
    mPlayback.SeekMedia(SectionStart);
    mPlayback.PlayMedia();
    ExerciseKind = None;
    c.Timer3->start();
}

void Exercises::Timer3Timer()
{
    const qint64 p = mPlayback.position();
    if (ExerciseKind == None) {
        if (p > SectionStop) {
            mPlayback.PauseMedia();
            c.Timer3->stop();
        }
        return;
    }
}

void Exercises::forget(const TBaseObj *object)
{
    if (object == TargetGraphic)
        TargetGraphic = nullptr;
}

} // namespace lirena
