// The volume sliders on the real mixer: ALSA's "default" device, which in the
// test environment is the PulseAudio server (through ALSA's pulse plugin).

#include "player/volumecontrol.h"

#include "../app/fakedialogs.h"
#include "../app/windowcontrols.h"
#include "app/tmainform.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <QProcess>
#include <QRegularExpression>
#include <QSlider>

#include <gtest/gtest.h>

using namespace lirena;

namespace {

bool haveSoundServer()
{
    return qEnvironmentVariableIsSet("LIRENA_TEST_PULSE");
}

// The null sink's volume as the server reports it (0 to 65536).
int sinkVolume()
{
    QProcess pactl;
    pactl.start("pactl", {"get-sink-volume", "null"});
    pactl.waitForFinished(5000);
    const QString out = QString::fromUtf8(pactl.readAllStandardOutput());
    const auto match = QRegularExpression(R"(front-left:\s*(\d+))").match(out);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

void setSinkVolume(int value)
{
    QProcess::execute("pactl", {"set-sink-volume", "null", QString::number(value)});
}

// A mixer that remembers what it was told, for the guard.
class RecordingMixer : public Mixer
{
public:
    bool present = true;
    QList<quint32> written;
    int deviceCount() override { return present ? 1 : 0; }
    bool open() override { return opened = present; }
    bool isOpen() const override { return opened; }
    void close() override { opened = false; }
    quint32 findVolumeControl(Lookup how, quint32 type) override
    {
        return how == Lookup::Destination ? 1 : type == kWaveOut ? 0 : 3;
    }
    quint32 volume(quint32 control) override { return control == 1 ? 32768 : 0; }
    void setVolume(quint32, quint32 value) override { written << value; }

private:
    bool opened = false;
};

// The three sliders as the page has them: 0 to 100.
struct Sliders
{
    QSlider master, wave, cd;
    Sliders()
    {
        for (QSlider *slider : {&master, &wave, &cd})
            slider->setRange(0, 100);
    }
};

} // namespace

TEST(VolumeControl, PositionsAndMixerValuesConvert)
{
    EXPECT_EQ(VolumeControl::toMixer(5), 3276u);
    EXPECT_EQ(VolumeControl::toMixer(50), 32767u);
    EXPECT_EQ(VolumeControl::toMixer(100), 65535u);
    EXPECT_EQ(VolumeControl::toSlider(32768), 50);
    EXPECT_EQ(VolumeControl::toSlider(65535), 100);
}

TEST(VolumeControl, ShowingTheMixerValuesWritesNothingBack)
{
    RecordingMixer mixer;
    Sliders s;
    VolumeControl volume(mixer, &s.master, &s.wave, &s.cd);
    volume.InitMixer();
    EXPECT_TRUE(mixer.written.isEmpty());
    EXPECT_EQ(s.master.value(), 50);
    EXPECT_TRUE(s.master.isEnabled());
    EXPECT_FALSE(s.wave.isEnabled()); // no wave line
    s.master.setValue(5);
    EXPECT_EQ(mixer.written, QList<quint32>{3276});
    volume.closeMixer();
    EXPECT_FALSE(mixer.isOpen());
}

TEST(VolumeControl, WithoutAMixerTheSlidersStayAtZeroAndDoNothing)
{
    RecordingMixer mixer;
    mixer.present = false;
    Sliders s;
    s.master.setValue(0);
    VolumeControl volume(mixer, &s.master, &s.wave, &s.cd);
    volume.InitMixer();
    EXPECT_TRUE(s.master.isEnabled());
    EXPECT_TRUE(s.wave.isEnabled());
    s.master.setValue(40);
    EXPECT_TRUE(mixer.written.isEmpty());
}

TEST(AlsaMixer, MasterFollowsTheSoundServer)
{
    if (!haveSoundServer())
        GTEST_SKIP() << "no sound server";
    setSinkVolume(32768);
    AlsaMixer mixer;
    ASSERT_EQ(mixer.deviceCount(), 1);
    ASSERT_TRUE(mixer.open());
    const quint32 master = mixer.findVolumeControl(Mixer::Lookup::Destination, Mixer::kSpeakers);
    ASSERT_NE(master, 0u);
    EXPECT_EQ(mixer.findVolumeControl(Mixer::Lookup::ComponentType, Mixer::kWaveOut), 0u); // no PCM element
    EXPECT_EQ(mixer.volume(master), 32768u);

    Sliders s;
    VolumeControl volume(mixer, &s.master, &s.wave, &s.cd);
    volume.InitMixer();
    EXPECT_EQ(s.master.value(), 50);
    EXPECT_TRUE(s.master.isEnabled());
    EXPECT_FALSE(s.wave.isEnabled());
    EXPECT_FALSE(s.cd.isEnabled());

    s.master.setValue(5);
    EXPECT_EQ(sinkVolume(), 3276);
    s.master.setValue(100);
    EXPECT_EQ(sinkVolume(), 65536);
    volume.closeMixer();
}

TEST(AlsaMixer, TheWindowsMasterSliderMovesTheSystemVolume)
{
    if (!haveSoundServer())
        GTEST_SKIP() << "no sound server";
    setSinkVolume(65536);
    QTemporaryDir program;
    QFile settings(program.filePath("Vedra.ini"));
    settings.open(QIODevice::WriteOnly);
    settings.write("[Settings]\nDataFolder=" LIRENA_SAMPLE_COURSE "\n");
    settings.close();
    FakeDialogs dialogs;
    TMainForm::Environment env;
    env.programFolder = program.path();
    env.registryFile = program.filePath("registry.ini");
    env.dialogs = &dialogs;
    TMainForm form(env);
    // The sliders are read from the mixer once the window is on screen.
    form.show();
    QApplication::processEvents();
    QApplication::processEvents();
    auto *master = control<QSlider>(form, "MasterControl");
    EXPECT_EQ(master->value(), 100);
    EXPECT_TRUE(master->isEnabled());
    EXPECT_FALSE(control<QSlider>(form, "WaveControl")->isEnabled());
    EXPECT_TRUE(control<QSlider>(form, "CDControl")->isHidden());
    master->setValue(5);
    EXPECT_EQ(sinkVolume(), 3276);
    setSinkVolume(65536);
}
