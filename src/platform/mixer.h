#pragma once

#include <QtGlobal>

namespace lirena {

// The system's audio mixer as the volume sliders see it: lines found by their
// role, each with one volume control, values on a 0 to 65535 scale. Control
// identifiers are never 0; 0 means "not found".
class Mixer
{
public:
    // How a line is looked for.
    enum class Lookup { Destination, ComponentType };
    // Component types of the lines the program asks for.
    static constexpr quint32 kSpeakers = 0x0004;
    static constexpr quint32 kWaveOut = 0x1008;
    static constexpr quint32 kCompactDisc = 0x1005;

    virtual ~Mixer() = default;

    // How many mixer devices there are (0 or 1 here).
    virtual int deviceCount() = 0;
    // Opens the first mixer device.
    virtual bool open() = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // The volume control of a line: destination 0, or the source of a component type; 0 when missing.
    virtual quint32 findVolumeControl(Lookup how, quint32 componentType) = 0;
    // A control's value, 0 to 65535, read from its first channel; 0 on failure.
    virtual quint32 volume(quint32 control) = 0;
    // Sets all channels of a control to a value of 0 to 65535; failures are ignored.
    virtual void setVolume(quint32 control, quint32 value) = 0;
};

// The mixer on this machine: ALSA's simple mixer of the "default" device. The
// first destination is its "Master" element, the wave output "PCM", the CD "CD".
class AlsaMixer : public Mixer
{
public:
    AlsaMixer();
    ~AlsaMixer() override;

    int deviceCount() override;
    bool open() override;
    bool isOpen() const override { return mHandle != nullptr; }
    void close() override;
    quint32 findVolumeControl(Lookup how, quint32 componentType) override;
    quint32 volume(quint32 control) override;
    void setVolume(quint32 control, quint32 value) override;

private:
    // The ALSA element (snd_mixer_elem_t) of a control, or none.
    void *element(quint32 control) const;

    void *mHandle = nullptr; // snd_mixer_t
};

} // namespace lirena
