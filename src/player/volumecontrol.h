#pragma once

#include "platform/mixer.h"

#include <QObject>

class QSlider;

namespace lirena {

// The volume sliders of the "Ses Kontrolü" page: the system's master volume,
// its wave output and (hidden) CD, set directly on the mixer; nothing is
// stored by the program. Sliders run 0 to 100, the mixer 0 to 65535.
class VolumeControl : public QObject
{
    Q_OBJECT

public:
    VolumeControl(Mixer &mixer, QSlider *master, QSlider *wave, QSlider *cd, QObject *parent = nullptr);

    // Opens the mixer, finds the three controls and shows their values. Without
    // a mixer the sliders stay at 0 and change nothing.
    void InitMixer();
    // The volume control of a line, or 0.
    quint32 FindVolumeControl(Mixer::Lookup how, quint32 componentType);
    quint32 GetVolume(quint32 control);
    void SetVolume(quint32 control, quint32 value);
    // Closes the mixer when it is open.
    void closeMixer();

    void MasterControlChange(int position);
    void WaveControlChange(int position);
    void CDControlChange(int position);


    // The mixer value of a slider position, and back.
    static quint32 toMixer(int position) { return quint32(position) * 65535 / 100; }
    static int toSlider(quint32 value) { return int(value * 100 / 65535); }

private:
    void sliderChanged(quint32 control, int position);

    Mixer &mMixer;
    bool MixerUpdating = false; // the program itself moves the sliders
    quint32 MasterVolumeControl = 0;
    quint32 WaveVolumeControl = 0;
    quint32 CdVolumeControl = 0;
    QSlider *mMaster;
    QSlider *mWave;
    QSlider *mCd;
};

} // namespace lirena
