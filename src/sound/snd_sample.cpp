#include "sound/snd_sample.h"

#include "sound/zk_sound.h"

void SNDSample::Reset() {
  m_dwFlags.store(0);
  m_dwID = 0;
  m_dwDataSize = 0;
  m_dwSamplesPerSec = 0;
  m_dwBitsPerSample = 0;
  m_dwChannels = 0;
  m_dwPausePos = 0;
  m_nVolume = 0;
  m_nPan = 0;
  m_nPitch = 0;
  m_dwLoopStart = 0;
  m_dwLoopEnd = 0;
  m_dwLoopCount = 0;
  m_lpBuffer = nullptr;
  m_pNext = nullptr;
}

SNDSample* SNDSample::DupeSample() {
  if (!m_lpBuffer) return nullptr;
  SNDSample* copy = ZKSound::AllocSample();
  if (!copy) return nullptr;
  if (!ZKSound::g_lpDSound ||
      !platform::Succeeded(ZKSound::g_lpDSound->DuplicateSoundBuffer(m_lpBuffer, &copy->m_lpBuffer))) {
    // The slot goes back at once rather than staying taken until the list is cleared.
    copy->m_lpBuffer = nullptr;
    ZKSound::ClearSample(copy);
    return nullptr;
  }
  copy->m_dwID = m_dwID;
  copy->m_dwDataSize = m_dwDataSize;
  copy->m_dwSamplesPerSec = m_dwSamplesPerSec;
  copy->m_dwBitsPerSample = m_dwBitsPerSample;
  copy->m_dwChannels = m_dwChannels;
  copy->m_pNext = nullptr;
  copy->SetFlags(SNDSAMPLE_DUPLICATE);
  if (Has(SNDSAMPLE_LOOPING)) {
    copy->m_dwLoopStart = m_dwLoopStart;
    copy->m_dwLoopEnd = m_dwLoopEnd;
  }
  return copy;
}

int SNDSample::PlaySample(int32_t volume, int32_t pan) {
  if (g_zkSound.m_bSFXEnabled.load() == 0) return 1;
  if (!m_lpBuffer) return 0;
  SetPan(pan);
  SetVolume(volume);
  const bool looping = Has(SNDSAMPLE_LOOPING);
  if (m_pNext) {
    if (_SNDEvent* event = ZKSound::AllocSoundEvent(this)) {
      platform::SoundNotify* notify = nullptr;
      bool armed = false;
      if (platform::Succeeded(m_lpBuffer->QueryNotify(&notify)) && notify) {
        m_Notify.dwOffset = platform::DSBPN_OFFSETSTOP;
        m_Notify.hEventNotify = event->hEvent;
        SetFlags(SNDSAMPLE_EVENT_ARMED);
        armed = platform::Succeeded(notify->SetNotificationPositions(1, &m_Notify));
        notify->Release();  // the buffer keeps the position; the interface is not needed any more
      }
      if (!armed) {
        // Refused (the buffer already plays): the slot would never be signalled, so it goes back.
        ClearFlags(SNDSAMPLE_EVENT_ARMED);
        ZKSound::FreeSoundEvent(event);
      }
    }
  }
  ClearFlags(SNDSAMPLE_CLAIMED);
  return platform::Succeeded(m_lpBuffer->Play(0, 0, looping ? platform::DSBPLAY_LOOPING : 0)) ? 1 : 0;
}

int SNDSample::StopSample() {
  if (!m_lpBuffer) return 0;
  return platform::Succeeded(m_lpBuffer->Stop()) ? 1 : 0;
}

int SNDSample::PauseSample() {
  if (!m_lpBuffer) return 0;
  if (!platform::Succeeded(m_lpBuffer->Stop())) return 0;
  if (!platform::Succeeded(m_lpBuffer->GetCurrentPosition(&m_dwPausePos, nullptr))) return 0;
  SetFlags(SNDSAMPLE_PAUSED);
  return 1;
}

int SNDSample::UnPauseSample() {
  if (!m_lpBuffer || !Has(SNDSAMPLE_PAUSED)) return 0;
  m_lpBuffer->SetCurrentPosition(m_dwPausePos);
  ClearFlags(SNDSAMPLE_PAUSED);
  const uint32_t flags = Has(SNDSAMPLE_LOOPING) ? platform::DSBPLAY_LOOPING : 0;
  return platform::Succeeded(m_lpBuffer->Play(0, 0, flags)) ? 1 : 0;
}

uint32_t SNDSample::GetSampleStatus() {
  uint32_t status = 0;
  if (!m_lpBuffer || !platform::Succeeded(m_lpBuffer->GetStatus(&status))) return SNDSAMPLE_NO_STATUS;
  return status;
}

int SNDSample::SamplePlaying() {
  const uint32_t status = GetSampleStatus();
  if (status == SNDSAMPLE_NO_STATUS) return 0;
  return (status & platform::DSBSTATUS_PLAYING) ? 1 : 0;
}

SNDSample* SNDSample::ChainSample(SNDSample* first, SNDSample* next) {
  if (!next) return nullptr;
  if (!first) return next;
  SNDSample* last = first;
  while (last->m_pNext) last = last->m_pNext;
  last->m_pNext = next;
  return first;
}

int SNDSample::SetVolume(int32_t volume) {
  m_nVolume = volume;
  if (!m_lpBuffer) return 0;
  return platform::Succeeded(m_lpBuffer->SetVolume(ZKSound::MapVolume(volume))) ? 1 : 0;
}

int SNDSample::SetPan(int32_t pan) {
  m_nPan = pan;
  if (!m_lpBuffer) return 0;
  return platform::Succeeded(m_lpBuffer->SetPan(ZKSound::MapPan(pan))) ? 1 : 0;
}

int SNDSample::SetPitch(int32_t frequency) {
  m_nPitch = frequency;
  if (!m_lpBuffer) return 0;
  return platform::Succeeded(m_lpBuffer->SetFrequency(static_cast<uint32_t>(frequency))) ? 1 : 0;
}
