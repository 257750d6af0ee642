#pragma once

#include "platform/mediadevice.h"
#include "platform/userdialogs.h"

#include <QObject>
#include <QString>
#include <QTimer>

class QLabel;
class QToolButton;

namespace lirena {

class TSlider;

// Playback of the chapter's recording: the five operations every other part
// uses, the 100 ms playback tick, the position slider with its drag handling
// and the two time labels. It owns the playback tick, the mark timer (aimed
// at the next position where the mark changes, so the mark follows the sound
// closer than a tick) and the slider's settling timer; what they do to the
// page it asks of a listener.
class PlaybackControl : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QToolButton *btnPlay = nullptr;
        QToolButton *btnPause = nullptr;
        QToolButton *btnStop = nullptr;
        TSlider *Slider = nullptr;
        QLabel *LblTime = nullptr;
        QLabel *LblTotTime = nullptr;
    };

    // What each tick does beyond the time display, in this order.
    class TickListener
    {
    public:
        virtual ~TickListener();
        // True when a watched section ended at position p: the tick then marks
        // nothing past its stop.
        virtual bool sectionEnded(qint64 p) = 0;
        // The marking step at position p.
        virtual void markAt(qint64 p) = 0;
        // The first position after p at which markAt may mark otherwise, or -1
        // when none is worth waiting for: the mark timer is aimed at it.
        virtual qint64 nextMarkChange(qint64 p)
        {
            (void)p;
            return -1;
        }
    };

    PlaybackControl(MediaDevice &device, Controls controls, UserDialogs &dialogs, QObject *parent = nullptr);

    void setTickListener(TickListener *listener) { mListener = listener; }

    // Hours, minutes, seconds and tenths, all truncated: 83456 gives "00:01:23.4".
    static QString FormatMediaTime(qint64 ms);

    // Opens a recording; on failure the controls go inert and, when asked and the
    // file is an MP3, the learner is told.
    void OpenMedia(const QString &path, bool reportFailure);
    void PlayMedia();
    // Pauses when playing, resumes when paused.
    void PauseMedia();
    // Stops and goes back to the start.
    void StopMedia();
    // Seeks (clamped to the recording) and shows the new position at once; playback stops.
    void SeekMedia(qint64 ms);
    // The reading speed, recording time per wall-clock time (pitch kept): the
    // recording plays at it from now on, and the mark timer is aimed anew.
    void setReadingSpeed(double rate);
    // Shows the position, lets the listener end a section and mark, and pauses at the end.
    void PlaybackTick();
    // The mark timer's handler: lets the listener end a section and mark at the
    // position now, and aims the timer at the next change.
    void MarkTimerTimer();
    void EnablePlayButtons(bool enabled);

    // Whether a recording is open; every operation but OpenMedia is inert without one.
    bool isOpen() const { return mMediaOpen; }
    // The position in ms, 0 while nothing is open.
    qint64 position() const;
    // The length in ms, 0 while nothing is open; while the recording is still
    // being measured, longer than any position.
    qint64 length() const;
    bool isPlaying() const;
    // Whether the playback tick runs.
    bool ticking() const { return mTimer1.isActive(); }
    // Whether the slider's settling timer waits.
    bool settling() const { return mTimer2.isActive(); }
    // The wall-clock ms the mark timer was last aimed for, or -1 when it waits for nothing.
    int markTimerInterval() const { return mMarkTimer.isActive() ? mMarkTimer.interval() : -1; }

    // Slider handlers.
    void SliderMouseDown();
    void SliderMouseMove();
    void SliderMouseUp();
    void SliderChanged();
    void Timer2Timer();
    void SliderChange();

signals:
    // A recording was opened.
    void opened();
    // Play, pause or stop was applied.
    void transportChanged();
    // The learner took the slider.
    void sliderPressed();

private:
    // The slider's range and the total time label, from the device's length.
    void showLength();
    // The device measured the recording's length after it opened.
    void lengthKnown();
    // Tells the learner once a run that nothing can be heard.
    void checkSoundOutput();
    // Aims the mark timer from position p at the listener's next change; stops
    // it when nothing plays.
    void armMarkTimer(qint64 p);

    MediaDevice &mDevice;
    Controls c;
    UserDialogs &mDialogs;
    TickListener *mListener = nullptr;
    QTimer mTimer1; // the playback tick
    QTimer mTimer2; // the slider's settling
    QTimer mMarkTimer; // single shot at the next position where the mark changes
    bool mMediaOpen = false;
    bool mSliderDragging = false;
    bool mResumeAfterDrag = false;
    int mSoundChecks = 0; // ticks left in which a lost output is looked for
    bool mSilenceTold = false;
};

} // namespace lirena
