#pragma once
// The sound device: creates the primary buffer and secondary buffers, duplicates buffers, reports its
// capabilities. Created on the process's mixer with the output device open, or, for tests, on a mixer of their
// own that nobody pulls but the test.
#include <atomic>
#include <cstdint>

#include "platform/audio/audio_buffer.h"
#include "platform/audio/audio_format.h"

namespace platform {

class Window;

class DirectSound {
 public:
  uint32_t AddRef();
  uint32_t Release();

  SoundResult SetCooperativeLevel(Window* window, uint32_t level);
  SoundResult GetCaps(DeviceCaps* caps) const;
  // One primary buffer (DSBCAPS_PRIMARYBUFFER, no size, no format) or a PCM secondary buffer.
  SoundResult CreateSoundBuffer(const SoundBufferDesc* desc, SoundBuffer** buffer);
  // The copy shares the original's data and format, not its position, state or notifications.
  SoundResult DuplicateSoundBuffer(SoundBuffer* original, SoundBuffer** duplicate);
  SoundResult Compact();

  AudioMixer& mixer() { return mixer_; }

 private:
  friend SoundResult DirectSoundCreate(const void*, DirectSound**);
  friend DirectSound* CreateDirectSoundOnMixer(AudioMixer&);
  DirectSound(AudioMixer& mixer, bool ownsOutput);
  ~DirectSound();

  AudioMixer& mixer_;
  const bool ownsOutput_;
  std::atomic<uint32_t> references_{1};
  uint32_t cooperativeLevel_ = 0;
};

// The default device (the device GUID must be null). DSERR_NODRIVER when the machine has no audio output.
SoundResult DirectSoundCreate(const void* deviceGuid, DirectSound** device);
// A device on a given mixer, without an output: whoever owns the mixer pulls it.
DirectSound* CreateDirectSoundOnMixer(AudioMixer& mixer);

}  // namespace platform
