// Music through ALSA's default playback device, for a machine without a
// sound server. Writes block on a device that paces them; a device that
// takes everything at once (a file) leaves the pace to the music's clock.
#include <alsa/asoundlib.h>

#include "music/output.h"

namespace {

struct AlsaOutput {
  snd_pcm_t* device = nullptr;  // null while closed, and once it failed
  SBYTE chunk[output_chunk_bytes];
};

// The library's driver interface passes no record: the one output of the
// process.
AlsaOutput alsa;

// ALSA reports its errors on standard error unless told otherwise; the
// music has its own report of a device that does not open.
void alsa_report_nothing(const char*, int, const char*, int, const char*, ...) {}

void alsa_close(AlsaOutput& out) {
  if (out.device != nullptr) snd_pcm_close(out.device);
  out.device = nullptr;
}

bool alsa_open(AlsaOutput& out) {
  snd_lib_error_set_handler(alsa_report_nothing);
  if (snd_pcm_open(&out.device, "default", SND_PCM_STREAM_PLAYBACK, 0) < 0) {
    out.device = nullptr;
    return false;
  }
  if (snd_pcm_set_params(out.device, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, 2,
                         md_mixfreq, 1, alsa_buffer_time) < 0) {
    alsa_close(out);
    return false;
  }
  return true;
}

// Mixes a chunk and writes it whole; an underrun is recovered from, any
// other failure closes the device and ends the music.
void alsa_update() {
  if (alsa.device == nullptr) return;
  VC_WriteBytes(alsa.chunk, output_chunk_bytes);
  const snd_pcm_uframes_t frames = snd_pcm_bytes_to_frames(alsa.device, output_chunk_bytes);
  snd_pcm_uframes_t written = 0;
  while (written < frames) {
    const void* from = alsa.chunk + snd_pcm_frames_to_bytes(alsa.device, written);
    snd_pcm_sframes_t done = snd_pcm_writei(alsa.device, from, frames - written);
    if (done < 0) done = snd_pcm_recover(alsa.device, static_cast<int>(done), 1);
    if (done < 0) {
      alsa_close(alsa);
      return;
    }
    written += static_cast<snd_pcm_uframes_t>(done);
  }
}

BOOL alsa_present() {
  return alsa.device != nullptr || alsa_open(alsa);
}

int alsa_start() {
  if (alsa.device == nullptr && !alsa_open(alsa)) {
    MikMod_errno = MMERR_OPENING_AUDIO;
    return 1;
  }
  return output_mixer_start();
}

void alsa_end() {
  VC_Exit();
  alsa_close(alsa);
}

}  // namespace

MDRIVER alsa_output =
    output_driver("ALSA", "alsa", alsa_present, alsa_start, alsa_end, alsa_update);
