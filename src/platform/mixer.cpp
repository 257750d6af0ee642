#include "platform/mixer.h"

#include <alsa/asoundlib.h>

#include <cmath>
#include <cstdarg>

namespace lirena {

namespace {

const char *const kDevice = "default";

// ALSA reports failures on stderr by itself; here they are answered by results.
void quiet(const char *, int, const char *, int, const char *, ...) {}

snd_mixer_t *openDefault()
{
    snd_lib_error_set_handler(quiet);
    snd_mixer_t *mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0)
        return nullptr;
    if (snd_mixer_attach(mixer, kDevice) < 0 || snd_mixer_selem_register(mixer, nullptr, nullptr) < 0 ||
        snd_mixer_load(mixer) < 0) {
        snd_mixer_close(mixer);
        return nullptr;
    }
    return mixer;
}

const char *elementName(quint32 control)
{
    switch (control) {
    case 1: return "Master";
    case 2: return "PCM";
    case 3: return "CD";
    default: return nullptr;
    }
}

} // namespace

AlsaMixer::AlsaMixer() = default;

AlsaMixer::~AlsaMixer()
{
    close();
}

int AlsaMixer::deviceCount()
{
    if (mHandle)
        return 1;
    snd_mixer_t *probe = openDefault();
    if (!probe)
        return 0;
    snd_mixer_close(probe);
    return 1;
}

bool AlsaMixer::open()
{
    close();
    mHandle = openDefault();
    return mHandle != nullptr;
}

void AlsaMixer::close()
{
    if (mHandle)
        snd_mixer_close(static_cast<snd_mixer_t *>(mHandle));
    mHandle = nullptr;
}

void *AlsaMixer::element(quint32 control) const
{
    const char *name = elementName(control);
    if (!mHandle || !name)
        return nullptr;
    snd_mixer_selem_id_t *id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_selem_id_set_name(id, name);
    snd_mixer_elem_t *elem = snd_mixer_find_selem(static_cast<snd_mixer_t *>(mHandle), id);
    if (!elem || !snd_mixer_selem_has_playback_volume(elem))
        return nullptr;
    return elem;
}

quint32 AlsaMixer::findVolumeControl(Lookup how, quint32 componentType)
{
    quint32 control = 0;
    if (how == Lookup::Destination)
        control = 1;
    else if (componentType == kWaveOut)
        control = 2;
    else if (componentType == kCompactDisc)
        control = 3;
    return element(control) ? control : 0;
}

quint32 AlsaMixer::volume(quint32 control)
{
    auto *elem = static_cast<snd_mixer_elem_t *>(element(control));
    if (!elem)
        return 0;
    snd_mixer_handle_events(static_cast<snd_mixer_t *>(mHandle));
    long min = 0, max = 0, value = 0;
    if (snd_mixer_selem_get_playback_volume_range(elem, &min, &max) < 0 || max <= min ||
        snd_mixer_selem_get_playback_volume(elem, SND_MIXER_SCHN_FRONT_LEFT, &value) < 0)
        return 0;
    return quint32(std::lround(double(value - min) * 65535.0 / double(max - min)));
}

void AlsaMixer::setVolume(quint32 control, quint32 value)
{
    auto *elem = static_cast<snd_mixer_elem_t *>(element(control));
    if (!elem)
        return;
    long min = 0, max = 0;
    if (snd_mixer_selem_get_playback_volume_range(elem, &min, &max) < 0 || max <= min)
        return;
    const long target = min + std::lround(double(std::min<quint32>(value, 65535)) * double(max - min) / 65535.0);
    snd_mixer_selem_set_playback_volume_all(elem, target);
}

} // namespace lirena
