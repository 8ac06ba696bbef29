#pragma once
// One slot of the sound engine's sample pool: a loaded sound with its format, its sound buffer, its settings and
// the chain link to the sample that follows it. Also the WAV reading that fills a slot.
#include <atomic>
#include <cstdint>

#include "platform/audio/audio_buffer.h"
#include "platform/host/file_io.h"

// m_dwFlags bits.
constexpr uint32_t SNDSAMPLE_ALLOCATED = 0x001;
constexpr uint32_t SNDSAMPLE_CLAIMED = 0x002;
constexpr uint32_t SNDSAMPLE_DUPLICATE = 0x004;
constexpr uint32_t SNDSAMPLE_LOOPING = 0x008;
constexpr uint32_t SNDSAMPLE_FORMAT_READ = 0x010;
constexpr uint32_t SNDSAMPLE_PAUSED = 0x100;
constexpr uint32_t SNDSAMPLE_EVENT_ARMED = 0x400;

constexpr uint32_t SNDSAMPLE_KEEP_ID = 0xFFFFFFFF;
constexpr uint32_t SNDSAMPLE_NO_STATUS = 0x80070057;  // E_INVALIDARG: no buffer, or the query failed

// A RIFF chunk header as it is on file.
struct _ChunkHeader {
  uint32_t dwID;
  uint32_t dwSize;
};

constexpr uint32_t RiffCode(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) | static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

class SNDSample {
 public:
  // Every flag change is an atomic read-modify-write: the callback thread changes flags of chained samples.
  std::atomic<uint32_t> m_dwFlags{0};
  uint32_t m_dwID = 0;
  uint32_t m_dwDataSize = 0;
  uint32_t m_dwSamplesPerSec = 0;
  uint32_t m_dwBitsPerSample = 0;
  uint32_t m_dwChannels = 0;
  uint32_t m_dwPausePos = 0;
  int32_t m_nVolume = 0;
  int32_t m_nPan = 0;
  int32_t m_nPitch = 0;
  uint32_t m_dwLoopStart = 0;
  uint32_t m_dwLoopEnd = 0;
  uint32_t m_dwLoopCount = 0;
  platform::SoundBuffer* m_lpBuffer = nullptr;
  platform::PositionNotify m_Notify;
  SNDSample* m_pNext = nullptr;

  // Everything but the notification record back to zero.
  void Reset();
  // A temporary copy in a new slot that shares this sample's sound data, or null.
  SNDSample* DupeSample();

  // WAV reading.
  static int FindRiffChunk(platform::FileHandle file, uint32_t id, _ChunkHeader* header, uint32_t start);
  int IsWavFile(platform::FileHandle file);
  platform::FileHandle OpenSoundFile(const char* name);
  int AllocDSBuffer(uint32_t bytes);
  int LoadSample(const char* name, uint32_t id);

  // Playback. Kept: part of the game's interface, unused by this game: StopSample, PauseSample, UnPauseSample,
  // ChainSample, SetPitch.
  int PlaySample(int32_t volume, int32_t pan);
  int StopSample();
  int PauseSample();
  int UnPauseSample();
  uint32_t GetSampleStatus();
  int SamplePlaying();
  static SNDSample* ChainSample(SNDSample* first, SNDSample* next);
  int SetVolume(int32_t volume);
  int SetPan(int32_t pan);
  int SetPitch(int32_t frequency);

  bool Has(uint32_t flag) const { return (m_dwFlags.load() & flag) != 0; }
  void SetFlags(uint32_t flags) { m_dwFlags.fetch_or(flags); }
  void ClearFlags(uint32_t flags) { m_dwFlags.fetch_and(~flags); }
};
