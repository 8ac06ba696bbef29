// The headless audio output: a null sink that consumes mixed frames at the pace of the clock. In virtual time it
// pulls exactly rate * elapsed / 1000 frames as the clock moves and then lets the sound threads catch up, so a
// scripted run hears the same thing every time; in real time a thread pulls at the real rate. With
// ZORVEL_AUDIO_DUMP set, everything pulled is also written to that WAV file.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio/audio_output.h"
#include "platform/replay/audio_wav_writer.h"
#include "platform/timer/event.h"
#include "platform/timer/timer.h"

namespace platform::audio_output {

namespace {

// How long (real time) a virtual step waits for the sound threads before going on regardless.
constexpr uint32_t kCatchUpTimeoutMs = 1000;

struct NullSink {
  std::mutex mutex;
  bool open = false;
  uint32_t rate = 0;
  uint32_t channels = 2;
  uint32_t blockFrames = 512;
  PullFunction pull = nullptr;
  void* user = nullptr;
  std::vector<int16_t> block;
  // Virtual time.
  bool listening = false;
  uint32_t openedAtMs = 0;
  uint64_t framesPulled = 0;
  // Real time.
  std::thread thread;
  std::condition_variable wake;
  bool stopThread = false;
  // The dump spans the whole process, across opens and closes.
  WavWriter dump;
  bool dumpTried = false;

  ~NullSink() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      stopThread = true;
    }
    wake.notify_all();
    if (thread.joinable()) thread.join();
  }

  void PullFrames(uint64_t frames, bool catchUp) {
    while (frames > 0) {
      uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(frames, blockFrames));
      pull(user, block.data(), n);
      dump.Write(block.data(), n);
      framesPulled += n;
      frames -= n;
      if (catchUp) WaitUntilMixerSignalsHandled(kCatchUpTimeoutMs);
    }
  }
};

NullSink& Sink() {
  static NullSink sink;
  return sink;
}

void OnVirtualClock(uint32_t nowMs) {
  NullSink& s = Sink();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (!s.open || !IsVirtualTime()) return;
  const uint64_t due = static_cast<uint64_t>(nowMs - s.openedAtMs) * s.rate / 1000;
  if (due > s.framesPulled) s.PullFrames(due - s.framesPulled, true);
}

void RealTimeLoop() {
  NullSink& s = Sink();
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  std::unique_lock<std::mutex> lock(s.mutex);
  while (!s.stopThread) {
    const auto period = std::chrono::microseconds(1000000ull * s.blockFrames / s.rate);
    s.wake.wait_for(lock, period, [&] { return s.stopThread; });
    if (s.stopThread) break;
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
    const uint64_t due = static_cast<uint64_t>(elapsed) * s.rate / 1000000;
    if (due > s.framesPulled) s.PullFrames(due - s.framesPulled, false);
  }
}

}  // namespace

bool Open(uint32_t rate, uint32_t channels, uint32_t bufferFrames, PullFunction pull, void* user) {
  NullSink& s = Sink();
  std::unique_lock<std::mutex> lock(s.mutex);
  if (s.open || !pull || rate == 0 || channels != 2 || bufferFrames == 0) return false;
  s.rate = rate;
  s.channels = channels;
  s.blockFrames = bufferFrames;
  s.pull = pull;
  s.user = user;
  s.block.assign(static_cast<size_t>(bufferFrames) * channels, 0);
  s.framesPulled = 0;
  if (!s.dumpTried) {
    s.dumpTried = true;
    const char* path = std::getenv("ZORVEL_AUDIO_DUMP");
    if (path && *path) s.dump.Open(path, rate, static_cast<uint16_t>(channels));
  }
  s.open = true;
  if (IsVirtualTime()) {
    s.openedAtMs = GetTickCount();
    if (!s.listening) {
      s.listening = true;
      lock.unlock();
      AddVirtualClockListener(&OnVirtualClock);
    }
    return true;
  }
  s.stopThread = false;
  s.thread = std::thread(RealTimeLoop);
  return true;
}

void Close() {
  NullSink& s = Sink();
  std::thread thread;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.open) return;
    s.open = false;
    s.stopThread = true;
    thread = std::move(s.thread);
  }
  s.wake.notify_all();
  if (thread.joinable()) thread.join();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.pull = nullptr;
  s.user = nullptr;
}

const char* DriverName() { return "null"; }

}  // namespace platform::audio_output
