#include "player/volumecontrol.h"

#include <QSlider>

namespace lirena {

VolumeControl::VolumeControl(Mixer &mixer, QSlider *master, QSlider *wave, QSlider *cd, QObject *parent)
    : QObject(parent), mMixer(mixer), mMaster(master), mWave(wave), mCd(cd)
{
    connect(mMaster, &QSlider::valueChanged, this, &VolumeControl::MasterControlChange);
    connect(mWave, &QSlider::valueChanged, this, &VolumeControl::WaveControlChange);
    connect(mCd, &QSlider::valueChanged, this, &VolumeControl::CDControlChange);
}

void VolumeControl::InitMixer()
{
    MixerUpdating = true;
    if (mMixer.deviceCount() < 1 || !mMixer.open())
        return;
    MasterVolumeControl = FindVolumeControl(Mixer::Lookup::Destination, Mixer::kSpeakers);
    WaveVolumeControl = FindVolumeControl(Mixer::Lookup::ComponentType, Mixer::kWaveOut);
    CdVolumeControl = FindVolumeControl(Mixer::Lookup::ComponentType, Mixer::kCompactDisc);
    mMaster->setValue(toSlider(GetVolume(MasterVolumeControl)));
    mWave->setValue(toSlider(GetVolume(WaveVolumeControl)));
    mCd->setValue(toSlider(GetVolume(CdVolumeControl)));
    mMaster->setEnabled(MasterVolumeControl != 0);
    mWave->setEnabled(WaveVolumeControl != 0);
    mCd->setEnabled(CdVolumeControl != 0);
    MixerUpdating = false;
}

quint32 VolumeControl::FindVolumeControl(Mixer::Lookup how, quint32 componentType)
{
    return mMixer.findVolumeControl(how, componentType);
}

quint32 VolumeControl::GetVolume(quint32 control)
{
    return control ? mMixer.volume(control) : 0;
}

void VolumeControl::SetVolume(quint32 control, quint32 value)
{
    if (control)
        mMixer.setVolume(control, value);
}

void VolumeControl::closeMixer()
{
    if (mMixer.isOpen())
        mMixer.close();
}

void VolumeControl::sliderChanged(quint32 control, int position)
{
    if (!MixerUpdating)
        SetVolume(control, toMixer(position));
}

void VolumeControl::MasterControlChange(int position)
{
    sliderChanged(MasterVolumeControl, position);
}

void VolumeControl::WaveControlChange(int position)
{
    sliderChanged(WaveVolumeControl, position);
}

void VolumeControl::CDControlChange(int position)
{
    sliderChanged(CdVolumeControl, position);
}

} // namespace lirena
