// MessageBeep through SDL audio.
//
// The beep is a short square-wave tone queued on an SDL audio device that
// is opened on the first beep and kept. Where no sound device can be
// opened the beep is silent; it is counted either way, so tests can see it.
#include <SDL.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/window/wnd.h"

namespace {

const int RATE = 22050;
const int TONE_HZ = 880;
const int TONE_MS = 80;

int beeps = 0;

// Sound libraries that find no sound card write their complaints straight
// to standard error; a machine without sound is no error for a beep, so
// standard error is closed to them while the device is looked for.
class QuietStderr {
public:
    QuietStderr()
    {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0)
            dup2(null, STDERR_FILENO);
        if (null >= 0)
            close(null);
    }
    ~QuietStderr()
    {
        if (saved_ < 0)
            return;
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }

private:
    int saved_;
};

SDL_AudioDeviceID open_device()
{
    static SDL_AudioDeviceID device = [] {
        QuietStderr quiet;
        if (!wnd_sdl_start(SDL_INIT_AUDIO))
            return (SDL_AudioDeviceID)0;
        SDL_AudioSpec want{}, have{};
        want.freq = RATE;
        want.format = AUDIO_S16SYS;
        want.channels = 1;
        want.samples = 512;
        SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (id != 0)
            SDL_PauseAudioDevice(id, 0);
        return id;
    }();
    return device;
}

const std::vector<int16_t>& tone()
{
    static std::vector<int16_t> samples = [] {
        std::vector<int16_t> s(RATE * TONE_MS / 1000);
        int period = RATE / TONE_HZ;
        for (size_t i = 0; i < s.size(); i++)
            s[i] = (int)(i % period) < period / 2 ? 6000 : -6000;
        return s;
    }();
    return samples;
}

}  // namespace

// Every beep type plays the same tone. Beeps asked for faster than they
// can sound are counted but not queued beyond about a second of sound.
BOOL MessageBeep(UINT)
{
    beeps++;
    SDL_AudioDeviceID device = open_device();
    if (device == 0)
        return TRUE;
    const std::vector<int16_t>& samples = tone();
    Uint32 bytes = (Uint32)(samples.size() * sizeof samples[0]);
    if (SDL_GetQueuedAudioSize(device) < (Uint32)RATE * 2)
        SDL_QueueAudio(device, samples.data(), bytes);
    return TRUE;
}

int plat_beep_count(void)
{
    return beeps;
}
