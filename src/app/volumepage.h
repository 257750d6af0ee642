#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class QSlider;

namespace lirena {

class Mixer;
class VolumeControl;

// The "Ses Kontrolü" page: the system's master and wave volumes (and a hidden
// CD line), set directly on the mixer.
class VolumePage : public QWidget
{
    Q_OBJECT

public:
    VolumePage(Mixer &mixer, QWidget *parent = nullptr);
    ~VolumePage() override;

    // Opens the mixer and shows its volumes.
    void InitMixer();
    // Closes the mixer when it is open.
    void closeMixer();

private:
    QSlider *MasterControl;
    QSlider *WaveControl;
    QSlider *CDControl;
    QLabel *LblCD;
    std::unique_ptr<VolumeControl> mVolume;
};

} // namespace lirena
