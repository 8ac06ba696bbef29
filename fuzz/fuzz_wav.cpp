// WAV files, as a sample and as a stream: a file that opens has a format a buffer can play and leaves the reader
// at its data; a loaded sample holds exactly the file's data bytes; whatever happens, every slot and buffer is
// given back.
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "platform/timer/timer.h"
#include "platform/window/window.h"
#include "sound/zk_sound.h"

namespace {

int AllocatedSlots() {
  int n = 0;
  for (SNDSample* s = ZKSound::g_SampleList; s && s < ZKSound::g_pEndSample; ++s) n += s->Has(SNDSAMPLE_ALLOCATED);
  return n;
}

void StartEngine() {
  static bool started = [] {
    platform::UseVirtualTime(true);
    platform::RegisterWindowClass("ZorvelFuzz", [](platform::Window* w, uint32_t m, uintptr_t wp, intptr_t lp) {
      return platform::DefWindowProc(w, m, wp, lp);
    });
    platform::Window* window =
        platform::CreateWindow("ZorvelFuzz", "fuzz", platform::WindowKind::Captioned, 0, 0, 800, 600);
    return window && g_zkSound.Init(window, 200) == 1;
  }();
  if (!started) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartEngine();
  const std::string path = fuzz::WriteScratch("input.wav", data, size);
  const uint32_t buffersBefore = platform::SoundBuffer::LiveCount();

  // The reading step on its own.
  SNDSample probe;
  platform::FileHandle file = probe.OpenSoundFile(path.c_str());
  const bool opens = file != platform::INVALID_HANDLE_VALUE;
  uint32_t dataStart = 0;
  if (opens) {
    FUZZ_CHECK(probe.m_dwChannels == 1 || probe.m_dwChannels == 2);
    FUZZ_CHECK(probe.m_dwBitsPerSample == 8 || probe.m_dwBitsPerSample == 16);
    dataStart = platform::SetFilePointer(file, 0, platform::FILE_CURRENT);
    FUZZ_CHECK(dataStart >= 20 && dataStart <= size);
    ZKSound::g_pCloseFile(file);
  }

  // A sample: loaded only from a file that opens, holding its data bytes exactly.
  if (g_zkSound.LoadSample(path.c_str(), 42)) {
    FUZZ_CHECK(opens);
    SNDSample* sample = ZKSound::FindSample(42);
    FUZZ_CHECK(sample && sample->m_lpBuffer);
    FUZZ_CHECK(sample->m_dwDataSize == probe.m_dwDataSize);
    FUZZ_CHECK(static_cast<uint64_t>(dataStart) + sample->m_dwDataSize <= size);
    void* part = nullptr;
    uint32_t bytes = 0;
    FUZZ_CHECK(sample->m_lpBuffer->Lock(0, sample->m_dwDataSize, &part, &bytes, nullptr, nullptr, 0) ==
               platform::DS_OK);
    FUZZ_CHECK(bytes == sample->m_dwDataSize && std::memcmp(part, data + dataStart, bytes) == 0);
    sample->m_lpBuffer->Unlock(part, 0, nullptr, 0);
    ZKSound::FreeSample(sample);
  }
  FUZZ_CHECK(AllocatedSlots() == 0);
  FUZZ_CHECK(platform::SoundBuffer::LiveCount() == buffersBefore);

  // A stream: played for a moment, then stopped; the stop gives everything back.
  if (g_zkSound.LoadStream(path.c_str(), 43)) {
    FUZZ_CHECK(opens);
    g_zkSound.PlayStream(0);
    for (int step = 0; step < 40; ++step) platform::SleepMs(10);
    g_zkSound.StopStream();
  }
  FUZZ_CHECK(ZKSound::GetStreamInfoPtr()->pSample.load() == nullptr);
  FUZZ_CHECK(AllocatedSlots() == 0);
  FUZZ_CHECK(platform::SoundBuffer::LiveCount() == buffersBefore);
  return 0;
}
