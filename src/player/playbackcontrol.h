#pragma once

#include "platform/mediadevice.h"
#include "platform/userdialogs.h"

#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QTimer;
class QToolButton;

namespace lirena {

class TSlider;

// Playback of the chapter's recording: the five operations every other part
// uses, the 100 ms playback tick, the position slider with its drag handling
// and the two time labels. Owned by the main window, which gives it the media
// device and the controls; what the tick does to the page is a hook.
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
        QTimer *Timer1 = nullptr; // playback tick
        QTimer *Timer2 = nullptr; // slider drag settling
        QTimer *Timer3 = nullptr; // exercises and section play
    };

    PlaybackControl(MediaDevice &device, Controls controls, UserDialogs &dialogs, QObject *parent = nullptr);

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
    // Shows the position, runs the marking hook and pauses at the end.
    void PlaybackTick();
    void EnablePlayButtons(bool enabled);

    bool MediaOpen = false;
    bool SliderDragging = false;
    bool ResumeAfterDrag = false;

    // The position in ms, 0 while nothing is open.
    qint64 position() const;
    qint64 length() const;
    bool isPlaying() const;

    // Run by every tick with the position heard, before the marking step: true
    // when a watched section ended there (the tick then marks nothing past it).
    std::function<bool(qint64 position)> sectionWatch;
    // Run by every tick with the position heard.
    std::function<void(qint64 position)> markingStep;
    // Re-applies the control panel state after a recording was opened.
    std::function<void()> reapplyPanelState;
    // Stops a running exercise (a press on the slider does).
    std::function<void()> stopExercise;

    // Slider handlers.
    void SliderMouseDown();
    void SliderMouseMove();
    void SliderMouseUp();
    void SliderChanged();
    void Timer2Timer();
    void SliderChange();

private:
    // Tells the learner once a run that nothing can be heard.
    void checkSoundOutput();

    MediaDevice &mDevice;
    int mSoundChecks = 0;       // ticks left in which a lost output is looked for
    bool mSilenceTold = false;
    Controls c;
    UserDialogs &mDialogs;
};

} // namespace lirena
