// End-of-play events and the callback thread that starts the next sample of a chain.
#include <thread>

#include "platform/timer/timer.h"
#include "sound/zk_sound.h"

_SNDEvent* ZKSound::AllocSoundEvent(SNDSample* forSample) {
  std::lock_guard<std::mutex> lock(g_PoolLock);
  if (!g_EventList) return nullptr;
  for (int32_t i = 1; i < g_nMaxEventCount; ++i) {
    if (!g_EventList[i].pSample.load()) {
      if (forSample) g_EventList[i].pSample.store(forSample);
      return &g_EventList[i];
    }
  }
  return nullptr;
}

void ZKSound::FreeSoundEvent(_SNDEvent* event) {
  std::lock_guard<std::mutex> lock(g_PoolLock);
  if (event) event->pSample.store(nullptr);
}

int ZKSound::setup_callback() {
  for (int32_t i = 0; i < g_nMaxEventCount; ++i) {
    platform::Event* event = platform::CreateEvent(false, false);
    g_EventList[i].hEvent = event;
    g_CallBackHandles[i] = event;
  }
  g_CallBackThread = platform::CreateThread([] { return CallBack(); });
  if (!g_CallBackThread && platform::IsVirtualTime()) {
    // No threads on this host: the clock's own thread serves the events between its steps.
    static bool listening = false;
    if (!listening) {
      listening = true;
      platform::AddVirtualClockListener([](uint32_t) { PollCallBacks(); });
    }
    g_nCallBackPolling.store(1);
    return 1;
  }
  return g_CallBackThread != nullptr;
}

void ZKSound::PollCallBacks() {
  if (!g_nCallBackPolling.load()) return;
  for (;;) {
    const uint32_t wait = platform::WaitForAnyEvent(static_cast<uint32_t>(g_nMaxEventCount), g_CallBackHandles, 0);
    if (wait == platform::WAIT_TIMEOUT || wait == platform::WAIT_FAILED || wait == platform::WAIT_OBJECT_0) return;
    ServeEvent(&g_EventList[wait - platform::WAIT_OBJECT_0]);
  }
}

void ZKSound::ServeEvent(_SNDEvent* event) {
  SNDSample* finished = event->pSample.load();
  if (!finished) return;
  FreeSoundEvent(event);
  // Chained plays start here, off the main thread; they are not written to the replay trace.
  if (SNDSample* next = finished->m_pNext) next->PlaySample(finished->m_nVolume, finished->m_nPan);
  finished->ClearFlags(SNDSAMPLE_EVENT_ARMED);
}

uint32_t ZKSound::CallBack() {
  g_nCallBackThreadActive.store(1);
  uint32_t result = 0;
  for (;;) {
    const uint32_t wait =
        platform::WaitForAnyEvent(static_cast<uint32_t>(g_nMaxEventCount), g_CallBackHandles, platform::INFINITE);
    if (wait == platform::WAIT_OBJECT_0) break;  // event 0: stop
    if (wait == platform::WAIT_FAILED || wait == platform::WAIT_TIMEOUT) {
      result = 1;
      break;
    }
    ServeEvent(&g_EventList[wait - platform::WAIT_OBJECT_0]);
  }
  g_nCallBackThreadActive.store(0);
  return result;
}

void ZKSound::close_callback() {
  g_nCallBackPolling.store(0);
  if (g_CallBackThread) {
    if (g_nCallBackThreadActive.load() || platform::WaitForThread(g_CallBackThread, 0) != platform::WAIT_OBJECT_0) {
      platform::SetEvent(g_CallBackHandles[0]);
      platform::WaitForThread(g_CallBackThread, platform::INFINITE);
    }
    platform::CloseThread(g_CallBackThread);
    g_CallBackThread = nullptr;
  }
  if (!g_EventList) return;
  for (int32_t i = 0; i < g_nMaxEventCount; ++i) {
    if (g_EventList[i].hEvent) {
      platform::CloseEvent(g_EventList[i].hEvent);
      g_EventList[i].hEvent = nullptr;
      g_EventList[i].pSample.store(nullptr);
      g_CallBackHandles[i] = nullptr;
    }
  }
}
