#include "platform/audio/audio_device.h"

#include <cassert>

namespace platform {

DirectSound::DirectSound(AudioMixer& mixer, bool ownsOutput) : mixer_(mixer), ownsOutput_(ownsOutput) {}

DirectSound::~DirectSound() {
  if (ownsOutput_) mixer_.ReleaseOutput();
}

uint32_t DirectSound::AddRef() { return references_.fetch_add(1) + 1; }

uint32_t DirectSound::Release() {
  uint32_t left = references_.fetch_sub(1) - 1;
  if (left == 0) delete this;
  return left;
}

SoundResult DirectSound::SetCooperativeLevel(Window* window, uint32_t level) {
  if (!window || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
  cooperativeLevel_ = level;
  return DS_OK;
}

SoundResult DirectSound::GetCaps(DeviceCaps* caps) const {
  if (!caps || caps->dwSize != kDeviceCapsSize) return DSERR_INVALIDPARAM;
  *caps = DeviceCaps{};
  caps->dwSize = kDeviceCapsSize;
  caps->dwFlags = DSCAPS_PRIMARYMONO | DSCAPS_PRIMARYSTEREO | DSCAPS_PRIMARY8BIT | DSCAPS_PRIMARY16BIT |
                  DSCAPS_CONTINUOUSRATE | DSCAPS_EMULDRIVER | DSCAPS_SECONDARYMONO | DSCAPS_SECONDARYSTEREO |
                  DSCAPS_SECONDARY8BIT | DSCAPS_SECONDARY16BIT;
  caps->dwMinSecondarySampleRate = DSBFREQUENCY_MIN;
  caps->dwMaxSecondarySampleRate = DSBFREQUENCY_MAX;
  caps->dwPrimaryBuffers = 1;
  return DS_OK;
}

SoundResult DirectSound::CreateSoundBuffer(const SoundBufferDesc* desc, SoundBuffer** buffer) {
  if (!buffer) return DSERR_INVALIDPARAM;
  *buffer = nullptr;
  if (!desc || desc->dwSize != kSoundBufferDescSize) return DSERR_INVALIDPARAM;
  if (cooperativeLevel_ == 0) return DSERR_UNINITIALIZED;
  if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
    if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) return DSERR_INVALIDPARAM;
    *buffer = SoundBuffer::CreatePrimary(mixer_, desc->dwFlags);
    return DS_OK;
  }
  if (!desc->lpwfxFormat) return DSERR_INVALIDPARAM;
  // Only what the engine asks for; 3-D and hardware placement do not exist here.
  constexpr uint32_t kKnown = DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE | DSBCAPS_CTRLPOSITIONNOTIFY;
  assert((desc->dwFlags & ~kKnown) == 0);
  if (desc->dwFlags & ~kKnown) return DSERR_INVALIDPARAM;
  const WaveFormat& f = *desc->lpwfxFormat;
  if (f.wFormatTag != WAVE_FORMAT_PCM) return DSERR_BADFORMAT;
  SoundBuffer* made = SoundBuffer::CreateSecondary(mixer_, desc->dwFlags, f, desc->dwBufferBytes);
  if (!made) return DSERR_INVALIDPARAM;
  *buffer = made;
  return DS_OK;
}

SoundResult DirectSound::DuplicateSoundBuffer(SoundBuffer* original, SoundBuffer** duplicate) {
  if (!duplicate) return DSERR_INVALIDPARAM;
  *duplicate = nullptr;
  if (!original || original->primary()) return DSERR_INVALIDCALL;
  *duplicate = original->Duplicate();
  return *duplicate ? DS_OK : DSERR_OUTOFMEMORY;
}

SoundResult DirectSound::Compact() { return cooperativeLevel_ >= DSSCL_PRIORITY ? DS_OK : DSERR_PRIOLEVELNEEDED; }

SoundResult DirectSoundCreate(const void* deviceGuid, DirectSound** device) {
  if (!device) return DSERR_INVALIDPARAM;
  *device = nullptr;
  if (deviceGuid) return DSERR_NODRIVER;
  AudioMixer& mixer = AudioMixer::Process();
  if (!mixer.AcquireOutput()) return DSERR_NODRIVER;
  *device = new DirectSound(mixer, true);
  return DS_OK;
}

DirectSound* CreateDirectSoundOnMixer(AudioMixer& mixer) { return new DirectSound(mixer, false); }

}  // namespace platform
