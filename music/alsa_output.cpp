// Music through ALSA's default playback device, for a machine without a
// sound server. The device is opened without blocking: a write takes what
// the device has room for, and a device that takes everything at once (a
// file) leaves the pace to the music's clock.
#include <alsa/asoundlib.h>

#include "music/mixer.h"
#include "music/output.h"

namespace {

// The library's driver interface passes no record: the one device of the
// process, null while closed.
snd_pcm_t* alsa_device = nullptr;

// ALSA reports its errors on standard error unless told otherwise; the
// music has its own report of a device that does not open.
void alsa_report_nothing(const char*, int, const char*, int, const char*, ...) {}

void alsa_close() {
  if (alsa_device != nullptr) snd_pcm_close(alsa_device);
  alsa_device = nullptr;
}

bool alsa_open() {
  snd_lib_error_set_handler(alsa_report_nothing);
  if (snd_pcm_open(&alsa_device, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
    alsa_device = nullptr;
    return false;
  }
  if (snd_pcm_set_params(alsa_device, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED,
                         mixer_channels, mixer_rate, 1, alsa_buffer_time) < 0) {
    alsa_close();
    return false;
  }
  return true;
}

// An underrun, or a device suspended and resumed, is recovered from; any
// other error means the device has failed.
bool alsa_recovered(int error) {
  return snd_pcm_recover(alsa_device, error, 1) == 0;
}

int64_t alsa_room() {
  snd_pcm_sframes_t frames = snd_pcm_avail_update(alsa_device);
  if (frames < 0 && alsa_recovered(static_cast<int>(frames))) {
    frames = snd_pcm_avail_update(alsa_device);
  }
  return frames < 0 ? -1 : static_cast<int64_t>(frames) * mixer_frame_bytes;
}

bool alsa_write(const SBYTE* bytes, size_t size) {
  const auto frames = static_cast<snd_pcm_uframes_t>(size / mixer_frame_bytes);
  const snd_pcm_sframes_t done = snd_pcm_writei(alsa_device, bytes, frames);
  return done >= 0 || done == -EAGAIN || alsa_recovered(static_cast<int>(done));
}

}  // namespace

const Output alsa_output = {
    .open = alsa_open,
    .close = alsa_close,
    .room = alsa_room,
    .write = alsa_write,
    .ahead_most = alsa_buffer_time,
};
