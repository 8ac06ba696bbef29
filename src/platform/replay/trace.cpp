#include "platform/replay/trace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <chrono>
#include <mutex>
#include <vector>

#include "platform/timer/timer.h"

namespace platform {

namespace {
struct TraceFile {
  std::mutex mutex;
  std::FILE* file = nullptr;
  bool opened = false;
  uint64_t lastFrameHash = 0;
  ~TraceFile() {
    if (file) std::fclose(file);
  }
};

TraceFile& Trace() {
  static TraceFile trace;
  return trace;
}

std::FILE* OpenIfWanted(TraceFile& t) {
  if (!t.opened) {
    t.opened = true;
    const char* name = std::getenv("ZORVEL_TRACE");
    if (name && *name) t.file = std::fopen(name, "wb");
  }
  return t.file;
}
}  // namespace

bool TraceEnabled() {
  TraceFile& t = Trace();
  std::lock_guard<std::mutex> lock(t.mutex);
  return OpenIfWanted(t) != nullptr;
}

bool TraceFramesEnabled() {
  static const bool wanted = [] {
    const char* frames = std::getenv("ZORVEL_TRACE_FRAMES");
    return !(frames && std::strcmp(frames, "0") == 0);
  }();
  return wanted && TraceEnabled();
}

void TraceLine(const std::string& text) {
  TraceFile& t = Trace();
  std::lock_guard<std::mutex> lock(t.mutex);
  std::FILE* f = OpenIfWanted(t);
  if (!f) return;
  std::fprintf(f, "%u %s\n", TimerElapsedMs(), text.c_str());
  std::fflush(f);
}

void TraceFrameHash(uint64_t hash) {
  {
    TraceFile& t = Trace();
    std::lock_guard<std::mutex> lock(t.mutex);
    if (!OpenIfWanted(t) || hash == t.lastFrameHash) return;
    t.lastFrameHash = hash;
  }
  char text[40];
  std::snprintf(text, sizeof text, "frame %016llx", static_cast<unsigned long long>(hash));
  TraceLine(text);
}

void CloseTrace() {
  TraceFile& t = Trace();
  std::lock_guard<std::mutex> lock(t.mutex);
  if (t.file) std::fclose(t.file);
  t.file = nullptr;
  t.opened = false;
  t.lastFrameHash = 0;
}

namespace {
int64_t MonotonicMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

struct FrameLog {
  bool checked = false;
  std::string path;
  std::string startupPath;
  bool firstPresentLogged = false;
  // Start and end of each frame; an end of 0 means the frame had not ended when the program stopped.
  std::vector<std::pair<int64_t, int64_t>> frames;
  void CheckOnce() {
    if (checked) return;
    checked = true;
    if (const char* p = std::getenv("ZORVEL_FRAME_LOG")) path = p;
    if (const char* p = std::getenv("ZORVEL_STARTUP_LOG")) startupPath = p;
    if (!path.empty()) frames.reserve(1 << 20);
  }
  ~FrameLog() {
    if (path.empty()) return;
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
      for (const auto& [start, end] : frames)
        std::fprintf(f, "%lld %lld\n", static_cast<long long>(start), static_cast<long long>(end));
      std::fclose(f);
    }
  }
};

FrameLog& Frames() {
  static FrameLog log;
  log.CheckOnce();
  return log;
}
}  // namespace

void LogFrameStart() {
  FrameLog& log = Frames();
  if (log.path.empty()) return;
  log.frames.emplace_back(MonotonicMicros(), 0);
}

void LogFrameEnd() {
  FrameLog& log = Frames();
  if (log.path.empty() || log.frames.empty()) return;
  log.frames.back().second = MonotonicMicros();
}

void LogPresent() {
  FrameLog& log = Frames();
  if (log.firstPresentLogged || log.startupPath.empty()) return;
  log.firstPresentLogged = true;
  // Wall-clock time, so a script can subtract the moment it started the program.
  const int64_t now = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
  if (std::FILE* f = std::fopen(log.startupPath.c_str(), "wb")) {
    std::fprintf(f, "%lld\n", static_cast<long long>(now));
    std::fclose(f);
  }
}

uint64_t HashBytes(const void* data, size_t size, uint64_t seed) {
  // Word at a time (a frame is 960 KB and may be hashed every frame), then the tail byte by byte.
  const auto* p = static_cast<const unsigned char*>(data);
  uint64_t lane[4] = {seed, seed ^ 0x1234567ull, seed ^ 0xABCDEF01ull, seed ^ 0x55555555ull};
  size_t i = 0;
  for (; i + 32 <= size; i += 32) {
    for (int k = 0; k < 4; ++k) {
      uint64_t w;
      std::memcpy(&w, p + i + 8 * k, 8);
      lane[k] = (lane[k] ^ w) * 0x9E3779B97F4A7C15ull;
      lane[k] ^= lane[k] >> 29;
    }
  }
  uint64_t h = lane[0];
  for (int k = 1; k < 4; ++k) h = (h ^ lane[k]) * 0x9E3779B97F4A7C15ull;
  for (; i + 8 <= size; i += 8) {
    uint64_t w;
    std::memcpy(&w, p + i, 8);
    h = (h ^ w) * 0x9E3779B97F4A7C15ull;
    h ^= h >> 29;
  }
  for (; i < size; ++i) {
    h ^= p[i];
    h *= 1099511628211ull;
  }
  return h;
}

}  // namespace platform
