#include "sound/zk_sound.h"

#include <cstdlib>
#include <new>

ZKSound g_zkSound;

platform::DirectSound* ZKSound::g_lpDSound = nullptr;
platform::SoundBuffer* ZKSound::g_lpSoundBuffer = nullptr;
platform::DeviceCaps ZKSound::g_DSCaps;
int32_t ZKSound::g_nMaxSampleCount = 0;
int32_t ZKSound::g_nMaxEventCount = 0;
void* ZKSound::g_MemHandle = nullptr;
platform::Event** ZKSound::g_CallBackHandles = nullptr;
_SNDEvent* ZKSound::g_EventList = nullptr;
SNDSample* ZKSound::g_SampleList = nullptr;
SNDSample* ZKSound::g_pEndSample = nullptr;
SNDSample* ZKSound::g_pLastSample = nullptr;
SNDOpenFileFunc ZKSound::g_pOpenFile = &ZKSound::DefaultOpenFile;
SNDCloseFileFunc ZKSound::g_pCloseFile = &ZKSound::DefaultCloseFile;
platform::Thread* ZKSound::g_CallBackThread = nullptr;
std::atomic<int32_t> ZKSound::g_nCallBackThreadActive{0};
std::atomic<int32_t> ZKSound::g_nCallBackPolling{0};
std::mutex ZKSound::g_PoolLock;

namespace {

// Slot clean-up with the pool lock held.
void ClearSampleLocked(SNDSample* sample) {
  sample->Reset();
  SNDSample* lastInUse = nullptr;
  for (SNDSample* p = sample; p < ZKSound::g_pLastSample; ++p) {
    if (p->Has(SNDSAMPLE_ALLOCATED)) lastInUse = p;
  }
  if (lastInUse) ZKSound::g_pLastSample = lastInUse + 1;
}

bool IsIdleDuplicate(SNDSample* s) {
  // An armed sample still has its end-of-play event pending: the callback thread will touch it.
  return !s->Has(SNDSAMPLE_CLAIMED) && s->Has(SNDSAMPLE_DUPLICATE) && !s->Has(SNDSAMPLE_EVENT_ARMED) &&
         !s->SamplePlaying();
}

}  // namespace

int ZKSound::Init(platform::Window* window, int32_t sampleCount) {
  g_FillThread = nullptr;
  m_bSFXEnabled.store(1);
  m_bMusicEnabled.store(1);
  m_nMusicVolume.store(0x8000);
  g_nMaxSampleCount = sampleCount;
  if (!AllocSampleBuffers()) return 0;
  if (!platform::Succeeded(platform::DirectSoundCreate(nullptr, &g_lpDSound))) {
    g_lpDSound = nullptr;
    free_sample_buffers();
    return 0;
  }
  if (!platform::Succeeded(g_lpDSound->SetCooperativeLevel(window, platform::DSSCL_EXCLUSIVE))) {
    g_lpDSound->Release();
    g_lpDSound = nullptr;
    free_sample_buffers();
    return 0;
  }
  g_DSCaps = platform::DeviceCaps{};
  g_DSCaps.dwSize = platform::kDeviceCapsSize;
  if (platform::Succeeded(g_lpDSound->GetCaps(&g_DSCaps))) debug_dsound_caps(&g_DSCaps);
  const bool mainBuffer = CreateMainBuffer() != 0;
  if (!mainBuffer) free_sample_buffers();  // runs without slots: every load fails
  SetFileOpenFunc(nullptr);
  SetFileCloseFunc(nullptr);
  if (mainBuffer) setup_callback();
  return 1;
}

int ZKSound::CreateMainBuffer() {
  platform::SoundBufferDesc desc;
  desc.dwSize = platform::kSoundBufferDescSize;
  desc.dwFlags = platform::DSBCAPS_PRIMARYBUFFER;
  if (!platform::Succeeded(g_lpDSound->CreateSoundBuffer(&desc, &g_lpSoundBuffer))) {
    g_lpSoundBuffer = nullptr;
    return 0;
  }
  platform::WaveFormat format =
      platform::PcmFormat((g_DSCaps.dwFlags & platform::DSCAPS_PRIMARYSTEREO) ? 2 : 1,
                          (g_DSCaps.dwFlags & platform::DSCAPS_PRIMARY16BIT) ? 16 : 8, 22050);
  g_lpSoundBuffer->SetFormat(&format);
  platform::SoundBufferCaps caps;
  caps.dwSize = platform::kSoundBufferCapsSize;
  if (platform::Succeeded(g_lpSoundBuffer->GetCaps(&caps))) {
    g_lpSoundBuffer->GetFormat(&format, platform::kWaveFormatBytes, nullptr);
  }
  if (!platform::Succeeded(g_lpSoundBuffer->Play(0, 0, platform::DSBPLAY_LOOPING))) {
    g_lpSoundBuffer->Release();
    g_lpSoundBuffer = nullptr;
    return 0;
  }
  return 1;
}

void ZKSound::Exit() {
  StopStream();
  if (g_FillThread) {
    // A stream that ended by itself (or music switched off since) leaves its thread's handle behind.
    platform::WaitForThread(g_FillThread, platform::INFINITE);
    platform::CloseThread(g_FillThread);
    g_FillThread = nullptr;
  }
  close_callback();
  if (g_SampleList) {
    for (SNDSample* s = g_SampleList; s < g_pLastSample; ++s) {
      if (s->Has(SNDSAMPLE_ALLOCATED)) FreeSample(s);
    }
  }
  free_sample_buffers();
  if (g_lpSoundBuffer) {
    g_lpSoundBuffer->Stop();
    g_lpSoundBuffer->Release();
    g_lpSoundBuffer = nullptr;
  }
  if (g_lpDSound) {
    g_lpDSound->Release();
    g_lpDSound = nullptr;
  }
}

void ZKSound::SetFileOpenFunc(SNDOpenFileFunc open) { g_pOpenFile = open ? open : &DefaultOpenFile; }
void ZKSound::SetFileCloseFunc(SNDCloseFileFunc close) { g_pCloseFile = close ? close : &DefaultCloseFile; }

platform::FileHandle ZKSound::DefaultOpenFile(const char* name) {
  return platform::CreateFile(name, platform::GENERIC_READ, platform::FILE_SHARE_READ, platform::OPEN_EXISTING,
                              platform::FILE_ATTRIBUTE_NORMAL);
}

void ZKSound::DefaultCloseFile(platform::FileHandle file) { platform::CloseFile(file); }

int ZKSound::alloc_sample_buffers(int32_t sampleCount) {
  if (sampleCount < 0) return 0;
  g_nMaxEventCount = sampleCount + 1 < 64 ? sampleCount + 1 : 64;
  const size_t events = static_cast<size_t>(g_nMaxEventCount);
  const size_t slots = static_cast<size_t>(sampleCount);
  // One zero-filled block: the event handles, the event records, then the slots.
  const size_t handleBytes = events * sizeof(platform::Event*);
  const size_t eventBytes = events * sizeof(_SNDEvent);
  void* block = std::calloc(1, handleBytes + eventBytes + slots * sizeof(SNDSample));
  if (!block) return 0;
  auto* bytes = static_cast<unsigned char*>(block);
  g_MemHandle = block;
  g_CallBackHandles = reinterpret_cast<platform::Event**>(bytes);
  g_EventList = reinterpret_cast<_SNDEvent*>(bytes + handleBytes);
  for (size_t i = 0; i < events; ++i) new (&g_EventList[i]) _SNDEvent{nullptr, nullptr};
  g_SampleList = reinterpret_cast<SNDSample*>(bytes + handleBytes + eventBytes);
  for (size_t i = 0; i < slots; ++i) new (&g_SampleList[i]) SNDSample();
  return 1;
}

int ZKSound::free_sample_buffers() {
  std::lock_guard<std::mutex> lock(g_PoolLock);
  if (!g_MemHandle) return 1;
  for (SNDSample* s = g_SampleList; s < g_SampleList + g_nMaxSampleCount; ++s) s->~SNDSample();
  for (int32_t i = 0; i < g_nMaxEventCount; ++i) g_EventList[i].~_SNDEvent();
  std::free(g_MemHandle);
  g_MemHandle = nullptr;
  g_CallBackHandles = nullptr;
  g_EventList = nullptr;
  g_SampleList = nullptr;
  g_pLastSample = nullptr;
  g_pEndSample = nullptr;
  return 1;
}

int ZKSound::AllocSampleBuffers() {
  free_sample_buffers();
  std::lock_guard<std::mutex> lock(g_PoolLock);
  if (!alloc_sample_buffers(g_nMaxSampleCount)) return 0;
  g_pLastSample = g_SampleList;
  g_pEndSample = g_SampleList + g_nMaxSampleCount;
  return 1;
}

SNDSample* ZKSound::AllocSample() {
  std::lock_guard<std::mutex> lock(g_PoolLock);
  if (!g_SampleList) return nullptr;
  for (SNDSample* s = g_SampleList; s < g_pEndSample; ++s) {
    if (!s->Has(SNDSAMPLE_ALLOCATED)) {
      s->SetFlags(SNDSAMPLE_ALLOCATED);
      if (s >= g_pLastSample) g_pLastSample = s + 1;
      return s;
    }
  }
  return nullptr;
}

void ZKSound::ClearSample(SNDSample* sample) {
  std::lock_guard<std::mutex> lock(g_PoolLock);
  if (!g_SampleList || !sample) return;
  ClearSampleLocked(sample);
}

void ZKSound::ClearSampleList() {
  // Instances still holding a buffer (a duplicate still playing, or claimed and never played) would otherwise
  // be dropped with their buffer still alive and possibly sounding. The stream's slot is its own thread's.
  std::unique_lock<std::mutex> lock(g_PoolLock);
  if (!g_SampleList) return;
  for (SNDSample* s = g_SampleList; s < g_pEndSample; ++s) {
    if (s->m_lpBuffer && s != g_StreamInfo.pSample.load()) {
      lock.unlock();
      FreeSample(s);
      lock.lock();
      if (!g_SampleList) return;
    }
  }
  for (SNDSample* s = g_SampleList; s < g_pEndSample; ++s) {
    if (s != g_StreamInfo.pSample.load()) ClearSampleLocked(s);
  }
  g_pLastSample = g_SampleList;
  g_pEndSample = g_SampleList + g_nMaxSampleCount;
}

int ZKSound::LoadSample(const char* file, uint32_t id) {
  if (FindSample(id)) return 1;
  SNDSample* slot = AllocSample();
  if (!slot) return 0;
  if (slot->LoadSample(file, id)) return 1;
  ClearSample(slot);
  return 0;
}

SNDSample* ZKSound::FindSample(uint32_t id) {
  std::unique_lock<std::mutex> lock(g_PoolLock);
  if (!g_SampleList) return nullptr;
  SNDSample* found = nullptr;
  SNDSample* busySource = nullptr;
  for (SNDSample* s = g_SampleList; s < g_pLastSample; ++s) {
    if (s->m_dwID == id && s->Has(SNDSAMPLE_ALLOCATED)) {
      if (!s->Has(SNDSAMPLE_CLAIMED) && !s->SamplePlaying()) {
        found = s;
        break;
      }
      if (!busySource && !s->Has(SNDSAMPLE_DUPLICATE)) busySource = s;
    } else if (IsIdleDuplicate(s)) {
      // Finished duplicates of other sounds are given back as the walk passes them. Freeing waits for the
      // mixer, so it happens outside the lock; the walk then goes on from the next slot.
      lock.unlock();
      FreeSample(s);
      lock.lock();
      if (!g_SampleList) return nullptr;
    }
  }
  lock.unlock();
  if (!found && busySource) found = busySource->DupeSample();
  if (found) found->SetFlags(SNDSAMPLE_CLAIMED);
  return found;
}

void ZKSound::FreeSample(SNDSample* sample) {
  if (!sample || !sample->m_lpBuffer) return;
  uint32_t status = 0;
  if (platform::Succeeded(sample->m_lpBuffer->GetStatus(&status)) && (status & platform::DSBSTATUS_PLAYING)) {
    sample->m_lpBuffer->Stop();
  }
  sample->m_lpBuffer->Release();
  ClearSample(sample);
}

void ZKSound::FreeSample(uint32_t id) { FreeSample(FindSample(id)); }

void ZKSound::FlushSamples() {
  std::unique_lock<std::mutex> lock(g_PoolLock);
  if (!g_SampleList) return;
  for (SNDSample* s = g_SampleList; s < g_pEndSample; ++s) {
    if (s->Has(SNDSAMPLE_ALLOCATED) && IsIdleDuplicate(s)) {
      lock.unlock();
      FreeSample(s);
      lock.lock();
      if (!g_SampleList) return;
    }
  }
}

void ZKSound::EnableMusic(int32_t on) {
  if (on == 0) StopStream();
  m_bMusicEnabled.store(on);
}

void ZKSound::EnableSFX(int32_t on) { m_bSFXEnabled.store(on); }

void ZKSound::MemCleanup() {
  if (g_lpDSound) g_lpDSound->Compact();
}

void ZKSound::debug_dsound_caps(const platform::DeviceCaps*) {}
