// Playing samples by ID, and the level table that turns the engine's 16-bit volume and pan into hundredths of
// a decibel.
#include <cmath>
#include <string>

#include "platform/replay/trace.h"
#include "sound/zk_sound.h"

int16_t ZKSound::g_VolumeTable[16384];

namespace {

// Entry i is 1000 * log2(i / 16384), so each halving of the index is 10 dB; nothing below -10000.
struct VolumeTableFiller {
  VolumeTableFiller() {
    ZKSound::g_VolumeTable[0] = -10000;
    for (int i = 1; i < 16384; ++i) {
      const double level = std::trunc(1000.0 * std::log2(i / 16384.0));
      ZKSound::g_VolumeTable[i] = static_cast<int16_t>(level < -10000.0 ? -10000.0 : level);
    }
  }
} g_fillVolumeTable;

void TracePlay(uint32_t id) { platform::TraceLine("sound play " + std::to_string(id)); }

}  // namespace

int32_t ZKSound::MapVolume(int32_t volume) {
  const int32_t index = volume > 0xFFFF ? 16383 : volume < 0 ? 0 : volume >> 2;
  return g_VolumeTable[index];
}

int32_t ZKSound::MapPan(int32_t pan) {
  if (pan > 0xFFFF) return -10000;
  if (pan >= 0x8000) return g_VolumeTable[16383 - (((pan - 0x8000) >> 1) & 0x3FFF)];
  if (pan > 0) return -g_VolumeTable[(pan >> 1) & 0x3FFF];
  return 10000;
}

SNDSample* ZKSound::PlaySample(uint32_t id, int32_t volume, int32_t pan) {
  SNDSample* sample = FindSample(id);
  if (sample) {
    sample->PlaySample(volume, pan);
  }
  return sample;
}

int ZKSound::PlaySampleIDOnce(uint32_t id, int32_t volume, int32_t pan) {
  if (m_bSFXEnabled.load() == 0) return 1;
  SNDSample* sample = FindSample(id);
  if (!sample || !sample->m_lpBuffer || sample->SamplePlaying()) return 0;
  sample->SetPan(pan);
  sample->SetVolume(volume);
  sample->ClearFlags(SNDSAMPLE_CLAIMED);
  const uint32_t flags = sample->Has(SNDSAMPLE_LOOPING) ? platform::DSBPLAY_LOOPING : 0;
  if (!platform::Succeeded(sample->m_lpBuffer->Play(0, 0, flags))) return 0;
  TracePlay(id);
  return 1;
}
