#include "player/exercises.h"

#include "player/pagedisplay.h"
#include "player/playbackcontrol.h"

#include "platform/integertext.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace lirena {

Exercises::Exercises(Chapter &chapter, PlaybackControl &playback, PageDisplay &page, Controls controls,
                     QObject *parent)
    : QObject(parent), mChapter(chapter), mPlayback(playback), mPage(page), c(controls)
{
    connect(c.Timer3, &QTimer::timeout, this, &Exercises::Timer3Timer);
    mSectionEnd.setSingleShot(true);
    mSectionEnd.setTimerType(Qt::PreciseTimer);
    connect(&mSectionEnd, &QTimer::timeout, this, &Exercises::sectionEndDue);
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
    mSectionEnd.stop();
    c.PaExerciseInfo->hide();
    // An exercise left running in name only would keep marking off and take
    // word clicks as answers.
    ExerciseKind = None;
}

void Exercises::PlaySection()
{
    mPlayback.PauseMedia();
    mPlayback.SeekMedia(SectionStart);
    mPlayback.PlayMedia();
    ExerciseKind = None;
    c.Timer3->start();
    armSectionEnd();
}

void Exercises::Timer3Timer()
{
    tick(mPlayback.position());
}

bool Exercises::sectionHeard(qint64 p) const
{
    // A stop at or past the end of the recording is never passed: the end is the stop.
    return p > SectionStop || p >= mPlayback.length();
}

bool Exercises::watching() const
{
    return c.Timer3->isActive() && (ExerciseKind == None || ExercisePhase == Sounding);
}

bool Exercises::watchSection(qint64 p)
{
    if (!watching() || !sectionHeard(p))
        return false;
    tick(p);
    return true;
}

void Exercises::armSectionEnd()
{
    const qint64 left = SectionStop - mPlayback.position();
    // Long sections are re-aimed on the way; the timer takes an int of ms.
    mSectionEnd.start(int(std::clamp<qint64>(left + 1, 1, 60000)));
}

void Exercises::sectionEndDue()
{
    if (!watching())
        return;
    const qint64 p = mPlayback.position();
    if (sectionHeard(p))
        tick(p);
    else if (mPlayback.isPlaying())
        armSectionEnd();
}

void Exercises::tick(qint64 p)
{
    switch (ExerciseKind) {
    case None:
        if (sectionHeard(p)) {
            mPlayback.PauseMedia();
            c.Timer3->stop();
        }
        break;
    case Test1: test1Tick(p); break;
    case Test2: test2Tick(p); break;
    case Test3: test3Tick(p); break;
    default: break;
    }
}

Exercises::Item Exercises::itemAt(int index) const
{
    if (index < 0 || index >= int(mChapter.ReadSet.size()))
        return {};
    const TVGObj *link = mChapter.ReadSet[size_t(index)];
    return {mChapter.voiceOf(link), mChapter.graphicOf(link)};
}

bool Exercises::advance()
{
    // An item whose segment or rectangle is gone is passed over.
    while (++ExerciseItem < int(mChapter.ReadSet.size())) {
        const Item item = itemAt(ExerciseItem);
        if (item.voice && item.graphic)
            return true;
    }
    return false;
}

quint32 Exercises::readingTime() const
{
    const double factor = parseDecimalComma(c.LblTest12->text()).value_or(1.2);
    const qint64 time = qint64(std::trunc(factor * (SectionStop - SectionStart)));
    // A segment that ends where it starts gets no reading time, not an endless one.
    return time > 0 ? quint32(time) : 0;
}

void Exercises::showCounter()
{
    c.LblCounter->setText(PlaybackControl::FormatMediaTime(qint64(WaitLimit) - qint64(WaitElapsed)));
}

void Exercises::setWord(const QString &word)
{
    c.LblExerciseInfo->setText(word);
}

void Exercises::takeSection(const Item &item)
{
    SectionStart = item.voice->StartTime;
    SectionStop = item.voice->StopTime;
}

void Exercises::playSection()
{
    // The seek's own tick must not take the item as heard: it sounds from here on.
    mPlayback.SeekMedia(SectionStart);
    ExercisePhase = Sounding;
    mPlayback.PlayMedia();
    c.Timer3->start();
    armSectionEnd();
    setWord(QStringLiteral("DİNLE"));
}

void Exercises::markItem(const Item &item)
{
    mPage.markSegment(c.markType(), item.graphic, item.voice);
}

void Exercises::finish()
{
    ExerciseKind = None;
    StopExercise();
}

void Exercises::test1Tick(qint64 p)
{
    if (ExercisePhase == Sounding) {
        if (!sectionHeard(p))
            return;
        mPlayback.PauseMedia();
        ExercisePhase = Waiting;
        WaitElapsed = 0;
        WaitLimit = readingTime();
        c.Timer3->start();
        setWord(QStringLiteral("OKU"));
        const Item item = itemAt(ExerciseItem);
        if (item.graphic)
            markItem(item);
        return;
    }
    WaitElapsed += 100;
    if (!waitOver()) {
        showCounter();
        return;
    }
    if (advance()) {
        takeSection(itemAt(ExerciseItem));
        playSection();
    } else {
        finish();
    }
}

void Exercises::test2Tick(qint64 p)
{
    if (ExercisePhase == Sounding) {
        if (!sectionHeard(p))
            return;
        mPlayback.PauseMedia();
        if (!advance()) {
            finish();
            return;
        }
        const Item item = itemAt(ExerciseItem);
        markItem(item);
        takeSection(item);
        ExercisePhase = Waiting;
        WaitElapsed = 0;
        WaitLimit = readingTime();
        c.Timer3->start();
        setWord(QStringLiteral("OKU"));
        return;
    }
    WaitElapsed += 100;
    if (waitOver())
        playSection();
    else
        showCounter();
}

void Exercises::test3Tick(qint64 p)
{
    if (ExercisePhase == Sounding) {
        if (!sectionHeard(p))
            return;
        mPlayback.PauseMedia();
        Answered = false;
        ExercisePhase = Waiting;
        WaitElapsed = 0;
        WaitLimit = quint32(std::max(0, c.LblTest3->text().toInt()) * 1000);
        c.Timer3->start();
        setWord(QStringLiteral("BUL"));
        return;
    }
    WaitElapsed += 100;
    if (!waitOver() && !Answered) {
        showCounter();
        return;
    }
    if (ExerciseItem >= 0 && !Answered) {
        // Not found in time: the learner is shown the rectangle, in red.
        const Item missed = itemAt(ExerciseItem);
        if (missed.graphic)
            mPage.TintExerciseRect(false, missed.graphic->ViewRect);
    }
    Answered = false;
    if (advance()) {
        const Item item = itemAt(ExerciseItem);
        TargetGraphic = item.graphic;
        takeSection(item);
        playSection();
        return;
    }
    ExerciseKind = None;
    // The recording stays paused after the last item: it must not read on.
    if (mPlayback.isPlaying())
        mPlayback.PauseMedia();
    StopExercise();
}

bool Exercises::UDTest3ChangingEx(int newValue, int position)
{
    const qint16 n = qint16(c.LblTest3->text().toInt() + (newValue - position));
    if (n < 1 || n > 60)
        return false;
    c.LblTest3->setText(QString::number(n));
    return true;
}

bool Exercises::UDTest12ChangingEx(int newValue, int position)
{
    const double current = parseDecimalComma(c.LblTest12->text()).value_or(1.2);
    // Tenths, kept exact: 4.9 and one more tenth is 5, not a hair above it.
    const double f = std::round((current + (newValue - position) / 10.0) * 10) / 10;
    if (f < 1.0 || f > 5.0)
        return false;
    c.LblTest12->setText(formatDecimalComma(f));
    return true;
}

void Exercises::forget(const TBaseObj *object)
{
    if (object == TargetGraphic)
        TargetGraphic = nullptr;
}

} // namespace lirena
