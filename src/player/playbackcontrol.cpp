#include "player/playbackcontrol.h"

#include "player/tslider.h"

#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <limits>

namespace lirena {

PlaybackControl::TickListener::~TickListener() = default;

PlaybackControl::PlaybackControl(MediaDevice &device, Controls controls, UserDialogs &dialogs, QObject *parent)
    : QObject(parent), mDevice(device), c(controls), mDialogs(dialogs)
{
    mTimer1.setInterval(100);
    mTimer2.setInterval(100);
    mMarkTimer.setSingleShot(true);
    mMarkTimer.setTimerType(Qt::PreciseTimer);
    connect(&mTimer1, &QTimer::timeout, this, &PlaybackControl::PlaybackTick);
    connect(&mMarkTimer, &QTimer::timeout, this, &PlaybackControl::MarkTimerTimer);
    connect(&mTimer2, &QTimer::timeout, this, &PlaybackControl::Timer2Timer);
    connect(c.Slider, &TSlider::mousePressed, this, &PlaybackControl::SliderMouseDown);
    connect(c.Slider, &TSlider::mouseMoved, this, &PlaybackControl::SliderMouseMove);
    connect(c.Slider, &TSlider::changedByUser, this, &PlaybackControl::SliderChanged);
    connect(c.Slider, &TSlider::mouseReleased, this, &PlaybackControl::SliderMouseUp);
    // The device may outlive this control.
    mDevice.setLengthKnownHandler([self = QPointer<PlaybackControl>(this)] {
        if (self)
            self->lengthKnown();
    });
}

QString PlaybackControl::FormatMediaTime(qint64 ms)
{
    const qint64 s = ms / 1000;
    return QString::asprintf("%.2d:%.2d:%.2d.%.1d", int((s / 3600) % 24), int((s / 60) % 60), int(s % 60),
                             int((ms % 1000) / 100));
}

qint64 PlaybackControl::position() const
{
    return mMediaOpen ? mDevice.position() : 0;
}

qint64 PlaybackControl::length() const
{
    if (!mMediaOpen)
        return 0;
    return mDevice.lengthKnown() ? mDevice.length() : std::numeric_limits<qint64>::max();
}

bool PlaybackControl::isPlaying() const
{
    return mMediaOpen && mDevice.mode() == MediaDevice::Mode::Playing;
}

void PlaybackControl::EnablePlayButtons(bool enabled)
{
    c.btnPlay->setEnabled(enabled);
    c.btnPause->setEnabled(enabled);
    c.btnStop->setEnabled(enabled);
}

void PlaybackControl::OpenMedia(const QString &path, bool reportFailure)
{
    StopMedia();
    mMediaOpen = false;
    mTimer1.stop();
    const QString extension = QFileInfo(path).suffix().toUpper();

    if (mDevice.open(path)) {
        mDevice.rewind();
        mMediaOpen = true;
        c.Slider->setSingleStep(1);
        c.Slider->setValue(0);
        c.Slider->setEnabled(true);
        EnablePlayButtons(true);
        showLength();
        PlaybackTick();
        emit opened();
        return;
    }

    c.Slider->setEnabled(false);
    EnablePlayButtons(false);
    c.Slider->setValue(0);
    if (reportFailure && extension == u"MP3")
        mDialogs.warning(QStringLiteral("Derse ait ses dosyası açılamıyor !\nLütfen kuruluş CD'sinde \"mplayer\" "
                                        "klasöründen işletim sisteminize uygun \"Windows Media Player\" programını "
                                        "yükleyiniz."));
}

void PlaybackControl::showLength()
{
    // A recording still being measured shows no length yet.
    const bool known = mDevice.lengthKnown();
    c.Slider->setMaximum(known ? int(std::min<qint64>(mDevice.length(), INT_MAX)) : 0);
    c.LblTotTime->setText(known ? u'(' + FormatMediaTime(mDevice.length()) + u')' : QString());
}

void PlaybackControl::lengthKnown()
{
    if (!mMediaOpen)
        return;
    showLength();
    // A seek or play asked for meanwhile has been carried out: show where it went.
    PlaybackTick();
}

void PlaybackControl::PlayMedia()
{
    if (!mMediaOpen)
        return;
    mDevice.play();
    mTimer1.start();
    armMarkTimer(mDevice.position());
    c.btnPlay->setEnabled(false);
    emit transportChanged();
    // An output can also fail a moment after it started: look again for a few ticks.
    mSoundChecks = mSilenceTold ? 0 : 3;
    checkSoundOutput();
}

void PlaybackControl::checkSoundOutput()
{
    if (mSoundChecks <= 0)
        return;
    --mSoundChecks;
    if (mDevice.hasSoundOutput())
        return;
    mSoundChecks = 0;
    mSilenceTold = true;
    // Playing goes on, on the clock: the marks still follow the reading.
    mDialogs.warning(QStringLiteral("Ses çıkışı bulunamadı !\nDers sessiz olarak oynatılıyor. Lütfen hoparlör ya da "
                                    "kulaklık bağlantısını ve bilgisayarınızın ses ayarlarını denetleyiniz."));
}

void PlaybackControl::PauseMedia()
{
    if (!mMediaOpen)
        return;
    mDevice.pause();
    if (mDevice.mode() == MediaDevice::Mode::Playing)
        mTimer1.start();
    else
        mTimer1.stop();
    armMarkTimer(mDevice.position());
    c.btnPlay->setEnabled(!mTimer1.isActive());
    emit transportChanged();
}

void PlaybackControl::StopMedia()
{
    if (!mMediaOpen)
        return;
    mDevice.stop();
    mTimer1.stop();
    mMarkTimer.stop();
    c.btnPlay->setEnabled(true);
    emit transportChanged();
    SeekMedia(0);
}

void PlaybackControl::SeekMedia(qint64 ms)
{
    if (!mMediaOpen || mDevice.mode() == MediaDevice::Mode::Seeking)
        return;
    // Before the length is known the device keeps the seek, and clamps it then.
    mDevice.setPosition(mDevice.lengthKnown() ? std::clamp<qint64>(ms, 0, mDevice.length())
                                              : std::max<qint64>(ms, 0));
    PlaybackTick();
}

void PlaybackControl::setReadingSpeed(double rate)
{
    if (rate == mDevice.rate())
        return;
    mDevice.setRate(rate);
    if (isPlaying())
        armMarkTimer(mDevice.position());
}

void PlaybackControl::PlaybackTick()
{
    const qint64 p = mDevice.position();
    c.LblTime->setText(FormatMediaTime(p));
    c.Slider->setValue(int(std::min<qint64>(p, INT_MAX)));
    if (mSoundChecks > 0 && mDevice.mode() == MediaDevice::Mode::Playing)
        checkSoundOutput();
    if (mListener) {
        if (mListener->sectionEnded(p))
            return;
        mListener->markAt(p);
    }
    if (mDevice.lengthKnown() && p == mDevice.length())
        PauseMedia();
    else
        armMarkTimer(p); // also after a seek, and aimed anew at the reading speed now
}

void PlaybackControl::MarkTimerTimer()
{
    if (!isPlaying())
        return;
    const qint64 p = mDevice.position();
    if (mListener && mListener->sectionEnded(p))
        return;
    if (mListener)
        mListener->markAt(p);
    // The position may lag the wall clock a little: then the same change is aimed at again.
    armMarkTimer(p);
}

void PlaybackControl::armMarkTimer(qint64 p)
{
    mMarkTimer.stop();
    if (!mListener || !isPlaying())
        return;
    const qint64 next = mListener->nextMarkChange(p);
    if (next <= p)
        return;
    // Recording ms over recording ms per wall-clock ms, rounded up: when the
    // timer fires the position has reached the change. A long wait is aimed
    // again on the way (every tick does it).
    const double rate = mDevice.rate() > 0 ? mDevice.rate() : 1.0;
    mMarkTimer.start(int(std::clamp(std::ceil(double(next - p) / rate), 1.0, 60000.0)));
}

void PlaybackControl::SliderMouseDown()
{
    mResumeAfterDrag = isPlaying();
    emit sliderPressed();
    mSliderDragging = true;
    // Only a playing recording is paused: toggling a paused one would play it
    // for a moment before the drag's first seek.
    if (mResumeAfterDrag)
        PauseMedia();
    mTimer1.stop();
    mMarkTimer.stop();
}

void PlaybackControl::SliderMouseMove()
{
    mTimer2.stop();
    mTimer2.start();
}

void PlaybackControl::Timer2Timer()
{
    mTimer2.stop();
    SliderChange();
}

void PlaybackControl::SliderChanged()
{
    mTimer2.stop();
    SliderChange();
}

void PlaybackControl::SliderChange()
{
    if (mSliderDragging)
        SeekMedia(c.Slider->value());
}

void PlaybackControl::SliderMouseUp()
{
    mSliderDragging = false;
    PlaybackTick();
    if (mResumeAfterDrag)
        PlayMedia();
}

} // namespace lirena
