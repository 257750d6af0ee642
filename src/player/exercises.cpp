#include "player/exercises.h"

#include "player/pagedisplay.h"
#include "player/playbackcontrol.h"

#include <QLabel>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace lirena {

namespace {

// Marks the exercise's own plays and pauses, which must not hold its tick.
class OwnTransport
{
public:
    explicit OwnTransport(bool &flag) : mFlag(flag), mWas(flag) { mFlag = true; }
    ~OwnTransport() { mFlag = mWas; }

private:
    bool &mFlag;
    bool mWas;
};

} // namespace

Exercises::Exercises(Chapter &chapter, PlaybackControl &playback, PageDisplay &page, Controls controls,
                     QObject *parent)
    : QObject(parent), mChapter(chapter), mPlayback(playback), mPage(page), c(controls)
{
    mTick.setInterval(100);
    connect(&mTick, &QTimer::timeout, this, &Exercises::Timer3Timer);
    mSectionEnd.setSingleShot(true);
    mSectionEnd.setTimerType(Qt::PreciseTimer);
    connect(&mSectionEnd, &QTimer::timeout, this, &Exercises::sectionEndDue);
    // Play, pause and stop from anywhere else hold the tick where it is.
    connect(&mPlayback, &PlaybackControl::transportChanged, this, [this] {
        if (!mOwnTransport)
            interrupt();
    });
    connect(&mChapter, &Chapter::objectRemoving, this, &Exercises::forget);
    connect(&mChapter, &Chapter::cleared, this, [this] {
        StopExercise();
        mTarget = nullptr;
    });
}

void Exercises::setWaitTimes(int test3Seconds, double readingFactor)
{
    mTest3Seconds = test3Seconds;
    mReadingFactor = readingFactor;
}

void Exercises::start(Kind kind, bool shuffle)
{
    if (kind == None)
        return;
    mItem = -1;
    // A target of an earlier round must not be taken for this one's.
    mTarget = nullptr;
    mKind = kind;
    switch (kind) {
    case Test1:
        mPhase = Waiting;
        mWaitLimit = 0;
        break;
    case Test2:
        mPhase = Sounding;
        mSectionStop = -1;
        break;
    default:
        // Its tints stay on the picture until the page is restored.
        mPage.markDirty();
        mPhase = Waiting;
        mWaitLimit = 500;
        shuffle = true;
        break;
    }
    if (shuffle)
        mChapter.ShuffleReadSet();
    StartExercise();
}

bool Exercises::answer(const TGraphicObj *pointed)
{
    // Before the first item has started there is nothing to find.
    if (mKind != Test3 || !mTarget)
        return false;
    mPage.TintExerciseRect(pointed == mTarget, mTarget->ViewRect);
    mAnswered = true;
    mPhase = Waiting;
    return true;
}

void Exercises::StartExercise()
{
    mTick.start();
    c.PaExerciseInfo->show();
}

void Exercises::StopExercise()
{
    mTick.stop();
    mSectionEnd.stop();
    c.PaExerciseInfo->hide();
    // An exercise left running in name only would keep marking off and take
    // word clicks as answers.
    mKind = None;
}

void Exercises::interrupt()
{
    mTick.stop();
    mSectionEnd.stop();
}

void Exercises::PlaySection(int start, int stop)
{
    interrupt();
    mSectionStart = start;
    mSectionStop = stop;
    mKind = None;
    {
        const OwnTransport own(mOwnTransport);
        mPlayback.PauseMedia();
        mPlayback.SeekMedia(mSectionStart);
        mPlayback.PlayMedia();
    }
    mTick.start();
    armSectionEnd();
}

void Exercises::Timer3Timer()
{
    tick(mPlayback.position());
}

bool Exercises::sectionHeard(qint64 p) const
{
    // A stop at or past the end of the recording is never passed: the end is the stop.
    return p > mSectionStop || p >= mPlayback.length();
}

bool Exercises::watching() const
{
    return mTick.isActive() && (mKind == None || mPhase == Sounding);
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
    const qint64 left = mSectionStop - mPlayback.position();
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
    switch (mKind) {
    case None:
        if (sectionHeard(p)) {
            pauseHere();
            interrupt();
        }
        break;
    case Test1: test1Tick(p); break;
    case Test2: test2Tick(p); break;
    case Test3: test3Tick(p); break;
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
    while (++mItem < int(mChapter.ReadSet.size())) {
        const Item item = itemAt(mItem);
        if (item.voice && item.graphic)
            return true;
    }
    return false;
}

quint32 Exercises::readingTime() const
{
    const qint64 time = qint64(std::trunc(mReadingFactor * (mSectionStop - mSectionStart)));
    // A segment that ends where it starts gets no reading time, not an endless one.
    return time > 0 ? quint32(time) : 0;
}

void Exercises::showCounter()
{
    c.LblCounter->setText(PlaybackControl::FormatMediaTime(qint64(mWaitLimit) - qint64(mWaitElapsed)));
}

void Exercises::setWord(const QString &word)
{
    c.LblExerciseInfo->setText(word);
}

void Exercises::takeSection(const Item &item)
{
    mSectionStart = item.voice->StartTime;
    mSectionStop = item.voice->StopTime;
}

void Exercises::pauseHere()
{
    const OwnTransport own(mOwnTransport);
    mPlayback.PauseMedia();
}

void Exercises::playItem()
{
    {
        const OwnTransport own(mOwnTransport);
        // The seek's own tick must not take the item as heard: it sounds from here on.
        mPlayback.SeekMedia(mSectionStart);
        mPhase = Sounding;
        mPlayback.PlayMedia();
    }
    mTick.start();
    armSectionEnd();
    setWord(QStringLiteral("DİNLE"));
}

void Exercises::markItem(const Item &item)
{
    mPage.markSegment(item.graphic, item.voice);
}

void Exercises::test1Tick(qint64 p)
{
    if (mPhase == Sounding) {
        if (!sectionHeard(p))
            return;
        pauseHere();
        mPhase = Waiting;
        mWaitElapsed = 0;
        mWaitLimit = readingTime();
        mTick.start();
        setWord(QStringLiteral("OKU"));
        const Item item = itemAt(mItem);
        if (item.graphic)
            markItem(item);
        return;
    }
    mWaitElapsed += 100;
    if (!waitOver()) {
        showCounter();
        return;
    }
    if (advance()) {
        takeSection(itemAt(mItem));
        playItem();
    } else {
        StopExercise();
    }
}

void Exercises::test2Tick(qint64 p)
{
    if (mPhase == Sounding) {
        if (!sectionHeard(p))
            return;
        pauseHere();
        if (!advance()) {
            StopExercise();
            return;
        }
        const Item item = itemAt(mItem);
        markItem(item);
        takeSection(item);
        mPhase = Waiting;
        mWaitElapsed = 0;
        mWaitLimit = readingTime();
        mTick.start();
        setWord(QStringLiteral("OKU"));
        return;
    }
    mWaitElapsed += 100;
    if (waitOver())
        playItem();
    else
        showCounter();
}

void Exercises::test3Tick(qint64 p)
{
    if (mPhase == Sounding) {
        if (!sectionHeard(p))
            return;
        pauseHere();
        mAnswered = false;
        mPhase = Waiting;
        mWaitElapsed = 0;
        mWaitLimit = quint32(std::max(0, mTest3Seconds) * 1000);
        mTick.start();
        setWord(QStringLiteral("BUL"));
        return;
    }
    mWaitElapsed += 100;
    if (!waitOver() && !mAnswered) {
        showCounter();
        return;
    }
    if (mItem >= 0 && !mAnswered) {
        // Not found in time: the learner is shown the rectangle, in red.
        const Item missed = itemAt(mItem);
        if (missed.graphic)
            mPage.TintExerciseRect(false, missed.graphic->ViewRect);
    }
    mAnswered = false;
    if (advance()) {
        const Item item = itemAt(mItem);
        mTarget = item.graphic;
        takeSection(item);
        playItem();
        return;
    }
    // The recording stays paused after the last item: it must not read on.
    if (mPlayback.isPlaying())
        pauseHere();
    StopExercise();
}

void Exercises::forget(const TBaseObj *object)
{
    if (object == mTarget)
        mTarget = nullptr;
}

} // namespace lirena
