// The music stream: a long WAV played through a two-second looping buffer of eight quarter-second segments,
// refilled one segment behind the play cursor by a low-priority fill thread woken by position notifications.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/timer/timer.h"
#include "sound/zk_sound.h"

_SNDStream ZKSound::g_StreamInfo;
platform::Event* ZKSound::g_NotifyEvents[SNDSTREAM_SEGMENTS + 1] = {};
platform::Thread* ZKSound::g_FillThread = nullptr;
uint32_t ZKSound::g_FillThreadID = 0;

namespace {

// Guards the stream's buffer and slot between the main thread's controls and the fill thread's clean-up, so a
// control never touches a buffer that the end of the stream is releasing. Never held while waiting.
std::mutex g_StreamLock;
// Wakes the fill thread to end a stream whose buffer is not playing (paused, or never started). Lives as long
// as the process, so a late wake never reaches a closed event.
platform::Event* StreamStopEvent() {
  static platform::Event* event = platform::CreateEvent(false, false);
  return event;
}
// Fill-thread state: bytes of data that the first fill put in the buffer, and, once the last data has been
// written, how many more segment notifications come before the stream has been heard to its end (-1: not yet).
uint32_t g_InitialBytes = 0;
int32_t g_SegmentsUntilStop = -1;

uint8_t SilenceByte(const SNDSample* s) { return s->m_dwBitsPerSample == 8 ? 0x80 : 0; }

uint32_t ReadInto(platform::FileHandle file, void* to, uint32_t bytes) {
  uint32_t got = 0;
  if (bytes) platform::ReadFile(file, to, bytes, &got);
  return got;
}

void CloseNotifyEvents() {
  for (uint32_t i = 0; i <= SNDSTREAM_SEGMENTS; ++i) {
    if (ZKSound::g_NotifyEvents[i]) platform::CloseEvent(ZKSound::g_NotifyEvents[i]);
    ZKSound::g_NotifyEvents[i] = nullptr;
    ZKSound::g_StreamInfo.Positions[i] = platform::PositionNotify{};
  }
}

// Asks the buffer to stop for good: the stop notification then ends the stream on the fill thread.
void EndStream(_SNDStream& s) {
  s.dwFlags.fetch_or(SNDSTREAM_ENDING);
  if (SNDSample* sample = s.pSample.load()) sample->m_lpBuffer->Stop();
  platform::SetEvent(StreamStopEvent());
}

// Refills the segment that has just been played.
void RefillSegment(_SNDStream& s, SNDSample* sample, uint32_t segment) {
  const uint32_t b = s.dwChunkSize;
  void* part = nullptr;
  uint32_t bytes = 0;
  if (!platform::Succeeded(sample->m_lpBuffer->Lock(s.Positions[segment].dwOffset, b, &part, &bytes, nullptr,
                                                     nullptr, 0)) ||
      bytes == 0) {
    return;
  }
  auto* out = static_cast<uint8_t*>(part);
  const uint32_t flags = s.dwFlags.load();
  if (g_SegmentsUntilStop >= 0 || (s.dwBytesLeft == 0 && !(flags & SNDSTREAM_LOOP))) {
    // All data is queued: what is played after it (should the stop come late) is silence.
    std::memset(out, SilenceByte(sample), b);
    sample->m_lpBuffer->Unlock(part, b, nullptr, 0);
    return;
  }
  const uint32_t want = std::min(s.dwBytesLeft, b);
  const uint32_t got = ReadInto(s.hFile, out, want);
  if (got < want) s.dwBytesLeft = got;  // the file is shorter than its data chunk says: the data ends here
  if (s.dwBytesLeft > b) {
    s.dwBytesLeft -= got;
    sample->m_lpBuffer->Unlock(part, got, nullptr, 0);
    return;
  }
  uint32_t filled = got;
  const uint32_t rest = b - filled;
  if (flags & SNDSTREAM_LOOP) {
    platform::SetFilePointer(s.hFile, static_cast<int32_t>(s.dwDataStart), platform::FILE_BEGIN);
    // Never past the data chunk, even when the data is shorter than a segment.
    const uint32_t again = ReadInto(s.hFile, out + filled, std::min(rest, sample->m_dwDataSize));
    filled += again;
    s.dwBytesLeft = sample->m_dwDataSize - again;
    std::memset(out + filled, SilenceByte(sample), b - filled);
  } else {
    std::memset(out + filled, SilenceByte(sample), rest);
    s.dwBytesLeft = 0;
    // This segment plays after the seven queued ahead of it; the eighth notification from now marks its end.
    g_SegmentsUntilStop = SNDSTREAM_SEGMENTS;
  }
  sample->m_lpBuffer->Unlock(part, b, nullptr, 0);
}

}  // namespace

uint32_t ZKSound::StreamChunkSize(uint32_t samplesPerSec, uint32_t bitsPerSample, uint32_t channels) {
  const uint32_t block = channels * bitsPerSample / 8;
  if (block == 0) return 0;
  uint32_t b = block * samplesPerSec * 2000u / 8000u;
  if (b % block) b += block - b % block;
  return b;
}

int ZKSound::LoadStream(const char* file, uint32_t id) {
  if (m_bMusicEnabled.load() == 0) return 0;
  _SNDStream& s = g_StreamInfo;
  // One stream at a time: a second load would overwrite the first one's state while its thread runs.
  if (s.dwFlags.load() & SNDSTREAM_LOADED) return 0;
  SNDSample* slot = AllocSample();
  if (!slot) return 0;
  const platform::FileHandle handle = slot->OpenSoundFile(file);
  if (handle == platform::INVALID_HANDLE_VALUE) {
    ClearSample(slot);  // the slot has no buffer yet, so freeing it would not give it back
    return 0;
  }
  if (id != SNDSAMPLE_KEEP_ID) slot->m_dwID = id;
  const uint32_t b = StreamChunkSize(slot->m_dwSamplesPerSec, slot->m_dwBitsPerSample, slot->m_dwChannels);
  auto fail = [&] {
    if (s.lpNotify) {
      s.lpNotify->Release();
      s.lpNotify = nullptr;
    }
    CloseNotifyEvents();
    if (slot->m_lpBuffer) slot->m_lpBuffer->Release();
    g_pCloseFile(handle);
    ClearSample(slot);
    return 0;
  };
  if (b == 0) return fail();
  if (slot->Has(SNDSAMPLE_LOOPING) && slot->m_dwLoopEnd - slot->m_dwLoopStart < b) return fail();
  if (!slot->AllocDSBuffer(SNDSTREAM_SEGMENTS * b)) return fail();
  if (!platform::Succeeded(slot->m_lpBuffer->QueryNotify(&s.lpNotify)) || !s.lpNotify) return fail();
  for (uint32_t i = 0; i <= SNDSTREAM_SEGMENTS; ++i) {
    g_NotifyEvents[i] = platform::CreateEvent(false, false);
    if (!g_NotifyEvents[i]) return fail();
    s.Positions[i].dwOffset = i < SNDSTREAM_SEGMENTS ? i * b : platform::DSBPN_OFFSETSTOP;
    s.Positions[i].hEventNotify = g_NotifyEvents[i];
  }
  if (!platform::Succeeded(s.lpNotify->SetNotificationPositions(SNDSTREAM_SEGMENTS + 1, s.Positions))) return fail();
  s.dwDataStart = platform::SetFilePointer(handle, 0, platform::FILE_CURRENT);
  s.hFile = handle;
  s.dwChunkSize = b;
  s.dwBufferSize = SNDSTREAM_SEGMENTS * b;
  s.pSample.store(slot);
  g_SegmentsUntilStop = -1;
  platform::ResetEvent(StreamStopEvent());
  s.dwFlags.store(SNDSTREAM_LOADED | SNDSTREAM_FILLING);
  init_stream_buffer();
  // The thread starts once everything it waits on exists.
  platform::Thread* thread = platform::CreateThread([] { return FillStream(); });
  if (!thread) {
    s.dwFlags.store(0);
    s.pSample.store(nullptr);
    s.hFile = platform::INVALID_HANDLE_VALUE;
    return fail();
  }
  platform::SetThreadPriority(thread, platform::THREAD_PRIORITY_LOWEST);
  std::lock_guard<std::mutex> lock(g_StreamLock);
  // A previous stream's thread may be the one calling (from its next-stream hook); it ends by itself.
  if (g_FillThread) platform::CloseThread(g_FillThread);
  g_FillThread = thread;
  ++g_FillThreadID;
  return 1;
}

void ZKSound::init_stream_buffer() {
  _SNDStream& s = g_StreamInfo;
  SNDSample* sample = s.pSample.load();
  if (!(s.dwFlags.load() & SNDSTREAM_LOADED) || !sample || !sample->m_lpBuffer) return;
  void* part = nullptr;
  uint32_t bytes = 0;
  if (!platform::Succeeded(sample->m_lpBuffer->Lock(0, s.dwBufferSize, &part, &bytes, nullptr, nullptr, 0))) return;
  // Never past the data chunk: a short stream is followed by silence, not by the file's other chunks.
  const uint32_t wanted = std::min(s.dwBufferSize, sample->m_dwDataSize);
  const uint32_t got = ReadInto(s.hFile, part, wanted);
  std::memset(static_cast<uint8_t*>(part) + got, SilenceByte(sample), s.dwBufferSize - got);
  // A file shorter than its data chunk ends where it ends.
  s.dwBytesLeft = got < wanted ? 0 : sample->m_dwDataSize - got;
  g_InitialBytes = got;
  sample->m_lpBuffer->Unlock(part, s.dwBufferSize, nullptr, 0);
}

int ZKSound::PlayStream(uint32_t mode) {
  if (m_bMusicEnabled.load() == 0) return 1;
  std::lock_guard<std::mutex> lock(g_StreamLock);
  _SNDStream& s = g_StreamInfo;
  SNDSample* sample = s.pSample.load();
  const uint32_t flags = s.dwFlags.load();
  if ((flags & SNDSTREAM_LOADED) && !(flags & SNDSTREAM_PLAYING) && sample && sample->m_lpBuffer) {
    s.dwFlags.fetch_or(mode & ~SNDSTREAM_ENDING);
    sample->m_lpBuffer->SetCurrentPosition(1);
    sample->m_lpBuffer->Play(0, 0, platform::DSBPLAY_LOOPING);
    s.dwFlags.fetch_or(SNDSTREAM_PLAYING);
  }
  return 1;
}

namespace {
// The handle of a stream thread that ended by itself is closed at the next stop (or by Exit).
void CloseEndedFillThread() {
  if (ZKSound::g_FillThread && platform::WaitForThread(ZKSound::g_FillThread, 0) == platform::WAIT_OBJECT_0) {
    platform::CloseThread(ZKSound::g_FillThread);
    ZKSound::g_FillThread = nullptr;
  }
}
}  // namespace

int ZKSound::StopStream() {
  if (m_bMusicEnabled.load() == 0) return 1;
  _SNDStream& s = g_StreamInfo;
  SNDSample* sample = nullptr;
  platform::Thread* thread = nullptr;
  {
    std::lock_guard<std::mutex> lock(g_StreamLock);
    CloseEndedFillThread();
    sample = s.pSample.load();
    // A stream that is loaded but was never played is ended too: otherwise its thread and file would outlive
    // the engine.
    if (!(s.dwFlags.load() & SNDSTREAM_LOADED) || !sample || !sample->m_lpBuffer) return 1;
    EndStream(s);
    thread = g_FillThread;
  }
  // The fill thread's clean-up gives the slot back; a next stream started by its hook has another slot.
  while (s.pSample.load() == sample) std::this_thread::sleep_for(std::chrono::microseconds(200));
  std::lock_guard<std::mutex> lock(g_StreamLock);
  if (thread && g_FillThread == thread) {
    platform::WaitForThread(thread, platform::INFINITE);
    platform::CloseThread(thread);
    g_FillThread = nullptr;
  }
  return 1;
}

int ZKSound::PauseStream() {
  std::lock_guard<std::mutex> lock(g_StreamLock);
  _SNDStream& s = g_StreamInfo;
  SNDSample* sample = s.pSample.load();
  const uint32_t flags = s.dwFlags.load();
  if (!(flags & SNDSTREAM_LOADED) || !(flags & SNDSTREAM_PLAYING) || (flags & SNDSTREAM_ENDING) || !sample ||
      !sample->m_lpBuffer) {
    return 1;
  }
  if (flags & SNDSTREAM_PAUSED) {
    s.dwFlags.fetch_and(~SNDSTREAM_PAUSED);
    sample->m_lpBuffer->SetCurrentPosition(sample->m_dwPausePos);
    sample->m_lpBuffer->Play(0, 0, platform::DSBPLAY_LOOPING);
  } else {
    // Paused before stopped: the fill thread, seeing the stop without ENDING, keeps the stream.
    s.dwFlags.fetch_or(SNDSTREAM_PAUSED);
    sample->m_lpBuffer->GetCurrentPosition(&sample->m_dwPausePos, nullptr);
    sample->m_lpBuffer->Stop();
  }
  return 1;
}

uint32_t ZKSound::FillStream() {
  _SNDStream& s = g_StreamInfo;
  platform::Event* handles[SNDSTREAM_SEGMENTS + 2];
  for (uint32_t i = 0; i <= SNDSTREAM_SEGMENTS; ++i) handles[i] = g_NotifyEvents[i];
  handles[SNDSTREAM_SEGMENTS + 1] = StreamStopEvent();
  for (;;) {
    const uint32_t wait = platform::WaitForAnyEvent(SNDSTREAM_SEGMENTS + 2, handles, platform::INFINITE);
    if (wait == platform::WAIT_FAILED) {
      std::this_thread::yield();
      continue;
    }
    const uint32_t index = wait - platform::WAIT_OBJECT_0;
    const uint32_t flags = s.dwFlags.load();
    if (index >= SNDSTREAM_SEGMENTS) {
      // The buffer stopped, or a stop was asked for: the end only when asked; otherwise a pause.
      if (flags & SNDSTREAM_ENDING) {
        CleanupStream();
        break;
      }
      continue;
    }
    if (flags & SNDSTREAM_ENDING) continue;
    SNDSample* sample = s.pSample.load();
    if (!sample) continue;
    if (!(flags & SNDSTREAM_PRIMED)) {
      s.dwFlags.fetch_or(SNDSTREAM_PRIMED);
      // A stream whose data all fit the first fill counts down from here.
      if (s.dwBytesLeft == 0 && !(flags & SNDSTREAM_LOOP) && g_SegmentsUntilStop < 0) {
        const uint32_t b = s.dwChunkSize;
        g_SegmentsUntilStop = static_cast<int32_t>((g_InitialBytes + b - 1) / b);
        if (g_SegmentsUntilStop == 0) {
          EndStream(s);
          continue;
        }
      }
      // The notification at the start only primes. Where the start position lies past the first offset (byte 1
      // of a one-byte-per-frame buffer), the first notification already reports segment 0 played: refilling it
      // now keeps it from being heard twice.
      if (index == 0) continue;
    }
    if (g_SegmentsUntilStop > 0 && --g_SegmentsUntilStop == 0) {
      EndStream(s);
      continue;
    }
    RefillSegment(s, sample, index == 0 ? SNDSTREAM_SEGMENTS - 1 : index - 1);
  }
  s.dwFlags.fetch_and(~SNDSTREAM_FILLING);
  return 0;
}

int ZKSound::CleanupStream() {
  SNDNextStreamFunc next = nullptr;
  uint32_t id = 0;
  {
    std::lock_guard<std::mutex> lock(g_StreamLock);
    _SNDStream& s = g_StreamInfo;
    SNDSample* sample = s.pSample.load();
    if (!(s.dwFlags.load() & SNDSTREAM_LOADED) || !sample || !sample->m_lpBuffer) return 1;
    CloseNotifyEvents();
    sample->m_lpBuffer->Release();
    sample->m_lpBuffer = nullptr;
    id = sample->m_dwID;
    ClearSample(sample);
    if (s.lpNotify) {
      s.lpNotify->Release();
      s.lpNotify = nullptr;
    }
    platform::CloseFile(s.hFile);
    s.hFile = platform::INVALID_HANDLE_VALUE;
    s.dwFlags.fetch_and(~(SNDSTREAM_LOADED | SNDSTREAM_PLAYING | SNDSTREAM_LOOP | SNDSTREAM_PAUSED |
                          SNDSTREAM_ENDING | SNDSTREAM_PRIMED));
    s.dwBytesLeft = 0;
    s.dwBufferSize = 0;
    s.dwChunkSize = 0;
    g_SegmentsUntilStop = -1;
    // Last: StopStream waits for this, and may load the next stream as soon as it sees it.
    s.pSample.store(nullptr);
    next = s.pNextFunc.load();
  }
  if (next) next(id);
  return 1;
}

void ZKSound::SetStreamVolume(int32_t volume) {
  std::lock_guard<std::mutex> lock(g_StreamLock);
  SNDSample* sample = g_StreamInfo.pSample.load();
  if ((g_StreamInfo.dwFlags.load() & SNDSTREAM_LOADED) && sample && sample->m_lpBuffer) sample->SetVolume(volume);
}

int32_t ZKSound::GetStreamVolume() {
  std::lock_guard<std::mutex> lock(g_StreamLock);
  SNDSample* sample = g_StreamInfo.pSample.load();
  return (g_StreamInfo.dwFlags.load() & SNDSTREAM_LOADED) && sample ? sample->m_nVolume : 0;
}

uint32_t ZKSound::GetStreamID() {
  std::lock_guard<std::mutex> lock(g_StreamLock);
  SNDSample* sample = g_StreamInfo.pSample.load();
  return sample ? sample->m_dwID : 0;
}

void ZKSound::FadeMusic(int32_t from, int32_t to, uint32_t ms) {
  const uint32_t t0 = platform::GetTickCount();
  for (uint32_t now = t0; t0 + ms > now; now = platform::GetTickCount()) {
    SetStreamVolume(from + static_cast<int32_t>(static_cast<int64_t>(now - t0) * (to - from) / static_cast<int64_t>(ms)));
    // Virtual time stands still unless someone moves it: without this the loop would never end there.
    if (platform::IsVirtualTime()) platform::SleepMs(1);
  }
  SetStreamVolume(to);
}
