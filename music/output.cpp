#include "music/output.h"

namespace {

void command_line_ignored(const CHAR*) {}
void pause_nothing() {}

int mixer_reset() {
  VC_Exit();
  return VC_Init();
}

}  // namespace

MDRIVER output_driver(const char* name, const char* alias, BOOL (*present)(), int (*start)(),
                      void (*end)(), void (*update)()) {
  return MDRIVER{
      .next = nullptr,
      .Name = name,
      .Version = name,
      .HardVoiceLimit = 0,
      .SoftVoiceLimit = 255,
      .Alias = alias,
      .CmdLineHelp = nullptr,
      .CommandLine = command_line_ignored,
      .IsPresent = present,
      .SampleLoad = VC_SampleLoad,
      .SampleUnload = VC_SampleUnload,
      .FreeSampleSpace = VC_SampleSpace,
      .RealSampleLength = VC_SampleLength,
      .Init = start,
      .Exit = end,
      .Reset = mixer_reset,
      .SetNumVoices = VC_SetNumVoices,
      .PlayStart = VC_PlayStart,
      .PlayStop = VC_PlayStop,
      .Update = update,
      .Pause = pause_nothing,
      .VoiceSetVolume = VC_VoiceSetVolume,
      .VoiceGetVolume = VC_VoiceGetVolume,
      .VoiceSetFrequency = VC_VoiceSetFrequency,
      .VoiceGetFrequency = VC_VoiceGetFrequency,
      .VoiceSetPanning = VC_VoiceSetPanning,
      .VoiceGetPanning = VC_VoiceGetPanning,
      .VoicePlay = VC_VoicePlay,
      .VoiceStop = VC_VoiceStop,
      .VoiceStopped = VC_VoiceStopped,
      .VoiceGetPosition = VC_VoiceGetPosition,
      .VoiceRealVolume = VC_VoiceRealVolume,
  };
}

int output_mixer_start() {
  md_mode = static_cast<UWORD>((md_mode & ~DMODE_FLOAT) | DMODE_16BITS | DMODE_STEREO);
  return VC_Init();
}
