#include "player/playbackcontrol.h"

#include "../app/fakedialogs.h"
#include "../qtprinters.h"
#include "player/tslider.h"
#include "scripteddevice.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

// The playback controls on their own, driven by calling the handlers; the
// tick's listener records what it was asked.
struct Bench : PlaybackControl::TickListener
{
    QWidget window;
    QToolButton play{&window}, pause{&window}, stop{&window};
    TSlider slider{&window};
    QLabel time{&window}, total{&window};
    ScriptedDevice device;
    FakeDialogs dialogs;
    PlaybackControl control{device,
                            {.btnPlay = &play,
                             .btnPause = &pause,
                             .btnStop = &stop,
                             .Slider = &slider,
                             .LblTime = &time,
                             .LblTotTime = &total},
                            dialogs};
    std::vector<qint64> marked;
    int panelReapplied = 0;
    int exercisesStopped = 0;
    int transports = 0;

    Bench()
    {
        control.setTickListener(this);
        QObject::connect(&control, &PlaybackControl::opened, [this] { ++panelReapplied; });
        QObject::connect(&control, &PlaybackControl::sliderPressed, [this] { ++exercisesStopped; });
        QObject::connect(&control, &PlaybackControl::transportChanged, [this] { ++transports; });
        slider.setGeometry(0, 0, 400, 25);
    }

    bool sectionEnded(qint64) override { return false; }
    void markAt(qint64 p) override { marked.push_back(p); }

    void openFile() { control.OpenMedia("/course/sayfa01.mp3", true); }
};

} // namespace

TEST(FormatMediaTime, TruncatesEveryField)
{
    EXPECT_EQ(PlaybackControl::FormatMediaTime(0), "00:00:00.0");
    EXPECT_EQ(PlaybackControl::FormatMediaTime(999), "00:00:00.9");
    EXPECT_EQ(PlaybackControl::FormatMediaTime(83456), "00:01:23.4");
    EXPECT_EQ(PlaybackControl::FormatMediaTime(3599999), "00:59:59.9");
    EXPECT_EQ(PlaybackControl::FormatMediaTime(3600000), "01:00:00.0");
    EXPECT_EQ(PlaybackControl::FormatMediaTime(25 * 3600000), "01:00:00.0");
}

TEST(OpenMedia, OpenedRecordingBringsTheControlsToLife)
{
    Bench b;
    b.openFile();
    EXPECT_TRUE(b.control.isOpen());
    EXPECT_EQ(b.slider.maximum(), 4000);
    EXPECT_TRUE(b.slider.isEnabled());
    EXPECT_TRUE(b.play.isEnabled() && b.pause.isEnabled() && b.stop.isEnabled());
    EXPECT_EQ(b.total.text(), "(00:00:04.0)");
    EXPECT_EQ(b.time.text(), "00:00:00.0");
    EXPECT_EQ(b.panelReapplied, 1);
    EXPECT_TRUE(b.dialogs.warnings.isEmpty());
}

// A recording measured after it opened shows no length till then; a seek
// asked meanwhile is kept whole (not clamped to a length of 0, nor taken for
// the end by the tick), and the slider and total time follow the length when
// it comes.
TEST(OpenMedia, ALengthMeasuredLaterIsShownWhenItComes)
{
    Bench b;
    b.device.measures = true;
    b.openFile();
    EXPECT_EQ(b.total.text(), "");
    EXPECT_EQ(b.slider.maximum(), 0);
    b.control.SeekMedia(2500);
    b.control.PlayMedia();
    b.control.PlaybackTick();
    EXPECT_EQ(b.device.pos, 2500);
    EXPECT_TRUE(b.control.isPlaying());
    EXPECT_GT(b.control.length(), 2500);

    b.device.measured();
    EXPECT_EQ(b.slider.maximum(), 4000);
    EXPECT_EQ(b.slider.value(), 2500);
    EXPECT_EQ(b.total.text(), "(00:00:04.0)");
    EXPECT_EQ(b.time.text(), "00:00:02.5");
    EXPECT_EQ(b.control.length(), 4000);
}

TEST(OpenMedia, FailureLeavesEverythingInertAndWarnsOnlyForMp3)
{
    Bench b;
    b.openFile();
    b.device.opens = false;
    b.control.OpenMedia("/course/yok.MP3", true);
    EXPECT_FALSE(b.control.isOpen());
    EXPECT_FALSE(b.slider.isEnabled());
    EXPECT_FALSE(b.play.isEnabled() || b.pause.isEnabled() || b.stop.isEnabled());
    ASSERT_EQ(b.dialogs.warnings.size(), 1);
    EXPECT_EQ(b.dialogs.warnings[0], "Derse ait ses dosyası açılamıyor !\nLütfen kuruluş CD'sinde \"mplayer\" "
                                     "klasöründen işletim sisteminize uygun \"Windows Media Player\" programını "
                                     "yükleyiniz.");
    b.control.OpenMedia("/course/yok.wav", true);
    b.control.OpenMedia("/course/yok.mp3", false);
    b.control.OpenMedia("/course/", true);
    EXPECT_EQ(b.dialogs.warnings.size(), 1);

    b.device.calls.clear();
    b.control.PlayMedia();
    b.control.PauseMedia();
    b.control.StopMedia();
    b.control.SeekMedia(100);
    EXPECT_TRUE(b.device.calls.isEmpty());
    EXPECT_FALSE(b.control.ticking());
}

TEST(Playback, PlayPauseAndStopSetTimersAndButtons)
{
    Bench b;
    b.openFile();
    b.control.PlayMedia();
    EXPECT_TRUE(b.control.ticking());
    EXPECT_EQ(b.transports, 1); // the exercise tick holds on every play, pause and stop
    EXPECT_FALSE(b.play.isEnabled());

    b.device.advance(1500);
    b.control.PauseMedia();
    EXPECT_EQ(b.device.mode(), MediaDevice::Mode::Paused);
    EXPECT_FALSE(b.control.ticking());
    EXPECT_TRUE(b.play.isEnabled());
    b.control.PauseMedia();
    EXPECT_EQ(b.device.mode(), MediaDevice::Mode::Playing);
    EXPECT_EQ(b.device.position(), 1500); // resumed where it stopped
    EXPECT_TRUE(b.control.ticking());
    EXPECT_FALSE(b.play.isEnabled());

    b.marked.clear();
    b.control.StopMedia();
    EXPECT_EQ(b.device.position(), 0);
    EXPECT_FALSE(b.control.ticking());
    EXPECT_TRUE(b.play.isEnabled());
    EXPECT_EQ(b.marked, std::vector<qint64>{0}); // the seek to 0 runs the marking step
}

TEST(Playback, TickShowsThePositionAndPausesAtTheEnd)
{
    Bench b;
    b.openFile();
    b.control.PlayMedia();
    b.device.advance(83);
    b.control.PlaybackTick();
    EXPECT_EQ(b.time.text(), "00:00:00.0");
    b.device.advance(3000);
    b.control.PlaybackTick();
    EXPECT_EQ(b.time.text(), "00:00:03.0");
    EXPECT_EQ(b.slider.value(), 3083);
    EXPECT_TRUE(b.control.ticking());
    b.device.advance(5000);
    b.control.PlaybackTick();
    EXPECT_EQ(b.time.text(), "00:00:04.0");
    EXPECT_FALSE(b.control.ticking());
    EXPECT_TRUE(b.play.isEnabled());
    b.control.PlayMedia(); // play at the end starts over
    EXPECT_EQ(b.device.position(), 0);
}

TEST(Playback, SeeksAreClampedAndShownAtOnce)
{
    Bench b;
    b.openFile();
    b.control.SeekMedia(-5);
    EXPECT_EQ(b.device.calls.last(), "seek 0");
    b.control.SeekMedia(5000);
    EXPECT_TRUE(b.device.calls.contains("seek 4000"));
    EXPECT_EQ(b.time.text(), "00:00:04.0");
    EXPECT_EQ(b.marked.back(), 4000);
    b.device.state = MediaDevice::Mode::Seeking;
    b.device.calls.clear();
    b.control.SeekMedia(100);
    EXPECT_TRUE(b.device.calls.isEmpty());
}

TEST(SliderDrag, PlayingRecordingPausesAndResumesFromTheReleasePoint)
{
    Bench b;
    b.openFile();
    b.control.PlayMedia();
    b.device.advance(1000);

    b.control.SliderMouseDown();
    EXPECT_EQ(b.exercisesStopped, 1);
        EXPECT_EQ(b.device.mode(), MediaDevice::Mode::Paused);
    EXPECT_FALSE(b.control.ticking());

    b.slider.setValue(2500);
    b.control.SliderMouseMove();
    EXPECT_TRUE(b.control.settling());
    b.control.Timer2Timer(); // 100 ms without movement: the device follows the thumb
    EXPECT_FALSE(b.control.settling());
    EXPECT_EQ(b.device.position(), 2500);
    EXPECT_EQ(b.device.mode(), MediaDevice::Mode::Stopped);

    b.slider.setValue(3000);
    b.control.SliderChanged();
    b.control.SliderMouseUp();
        EXPECT_EQ(b.device.position(), 3000);
    EXPECT_EQ(b.device.mode(), MediaDevice::Mode::Playing);
    EXPECT_TRUE(b.control.ticking());
}

TEST(SliderDrag, PausedRecordingIsNotPlayedByThePress)
{
    Bench b;
    b.openFile();
    b.control.PlayMedia();
    b.device.advance(1000);
    b.control.PauseMedia();
    b.device.calls.clear();

    b.control.SliderMouseDown();
    EXPECT_FALSE(b.device.calls.contains("pause"));
    EXPECT_EQ(b.device.mode(), MediaDevice::Mode::Paused);
    b.slider.setValue(2000);
    b.control.SliderChanged();
    b.control.SliderMouseUp();
    EXPECT_FALSE(b.device.calls.contains("play"));
    EXPECT_EQ(b.device.position(), 2000);
    EXPECT_NE(b.device.mode(), MediaDevice::Mode::Playing);
}

TEST(SliderDrag, MovesWithoutADragDoNotSeek)
{
    Bench b;
    b.openFile();
    b.slider.setValue(1234);
    b.control.SliderMouseMove();
    b.control.Timer2Timer();
    EXPECT_EQ(b.device.position(), 0);
}

TEST(TSlider, MouseReportsPressMoveChangeAndReleaseInOrder)
{
    Bench b;
    b.openFile();
    b.window.show();
    QStringList order;
    QObject::connect(&b.slider, &TSlider::mousePressed, [&] { order << "press"; });
    QObject::connect(&b.slider, &TSlider::mouseMoved, [&] { order << "move"; });
    QObject::connect(&b.slider, &TSlider::changedByUser, [&] { order << "changed"; });
    QObject::connect(&b.slider, &TSlider::mouseReleased, [&] { order << "release"; });
    QTest::mousePress(&b.slider, Qt::LeftButton, {}, QPoint(300, 12));
    EXPECT_GT(b.slider.value(), 2500); // a click beside the thumb takes it there
    QTest::mouseMove(&b.slider, QPoint(200, 12));
    QTest::mouseRelease(&b.slider, Qt::LeftButton, {}, QPoint(200, 12));
    ASSERT_GE(order.size(), 3);
    EXPECT_EQ(order.first(), "press");
    EXPECT_EQ(order.mid(order.size() - 2), (QStringList{"changed", "release"}));
    EXPECT_EQ(b.device.position(), b.slider.value()); // the final seek happened while dragging
}

TEST(Playback, NoSoundOutputIsToldOnceARunAndPlayingGoesOn)
{
    Bench b;
    b.openFile();
    b.control.PlayMedia();
    b.device.advance(100);
    b.control.PlaybackTick();
    b.device.sound = false; // the sound server goes away while playing
    b.device.advance(100);
    b.control.PlaybackTick();
    ASSERT_EQ(b.dialogs.warnings.size(), 1);
    EXPECT_TRUE(b.dialogs.warnings[0].startsWith("Ses çıkışı bulunamadı !"));
    EXPECT_TRUE(b.control.ticking()); // on the clock, the marks still follow
    b.control.PauseMedia();
    b.control.PlayMedia();
    b.device.advance(100);
    b.control.PlaybackTick();
    EXPECT_EQ(b.dialogs.warnings.size(), 1);
}
