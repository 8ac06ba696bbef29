#pragma once
// The game's sound engine: the sound device with its looping primary buffer, a fixed pool of sample slots
// addressed by caller-chosen IDs, end-of-play events served by a callback thread (chained samples), and one
// streamed WAV with its fill thread. Almost all state is class-wide; the one program-wide instance holds only
// the music level and the two switches.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "platform/audio/audio_device.h"
#include "platform/timer/event.h"
#include "platform/host/file_io.h"
#include "platform/timer/thread.h"
#include "sound/snd_sample.h"

namespace platform {
class Window;
}

using SNDOpenFileFunc = platform::FileHandle (*)(const char* name);
using SNDCloseFileFunc = void (*)(platform::FileHandle file);
using SNDNextStreamFunc = void (*)(uint32_t id);

// One end-of-play event and the sample whose end it reports (null while the slot is free).
struct _SNDEvent {
  platform::Event* hEvent;
  std::atomic<SNDSample*> pSample;
};

// _SNDStream.dwFlags bits.
constexpr uint32_t SNDSTREAM_LOADED = 0x01;
constexpr uint32_t SNDSTREAM_PLAYING = 0x02;
constexpr uint32_t SNDSTREAM_LOOP = 0x04;
constexpr uint32_t SNDSTREAM_PAUSED = 0x08;
constexpr uint32_t SNDSTREAM_FILLING = 0x10;
constexpr uint32_t SNDSTREAM_ENDING = 0x20;  // the next stop of the buffer ends the stream (not a pause)
constexpr uint32_t SNDSTREAM_PRIMED = 0x80000000;
constexpr uint32_t SNDSTREAM_SEGMENTS = 8;

struct _SNDStream {
  std::atomic<uint32_t> dwFlags{0};
  platform::FileHandle hFile = platform::INVALID_HANDLE_VALUE;
  uint32_t dwDataStart = 0;
  uint32_t dwChunkSize = 0;
  uint32_t dwBufferSize = 0;
  uint32_t dwBytesLeft = 0;
  std::atomic<SNDSample*> pSample{nullptr};
  std::atomic<SNDNextStreamFunc> pNextFunc{nullptr};
  platform::SoundNotify* lpNotify = nullptr;
  platform::PositionNotify Positions[SNDSTREAM_SEGMENTS + 1];
};

class ZKSound {
 public:
  ZKSound() = default;
  ZKSound(platform::Window* window, int32_t sampleCount) { Init(window, sampleCount); }

  std::atomic<int32_t> m_nMusicVolume{0};  // kept: part of the game's interface, unused by this game
  std::atomic<int32_t> m_bMusicEnabled{0};
  std::atomic<int32_t> m_bSFXEnabled{0};

  // Core and pool.
  int Init(platform::Window* window, int32_t sampleCount);
  void Exit();
  // Kept: part of the game's interface, unused by this game: GetDSObject, GetDSPrimaryBuffer, FlushSamples,
  // MemCleanup, GetLIBVersion, GetLIBDate.
  static platform::DirectSound* GetDSObject() { return g_lpDSound; }
  static platform::SoundBuffer* GetDSPrimaryBuffer() { return g_lpSoundBuffer; }
  static void SetFileOpenFunc(SNDOpenFileFunc open);
  static void SetFileCloseFunc(SNDCloseFileFunc close);
  static platform::FileHandle DefaultOpenFile(const char* name);
  static void DefaultCloseFile(platform::FileHandle file);
  int LoadSample(const char* file, uint32_t id);
  static SNDSample* FindSample(uint32_t id);
  static void FreeSample(uint32_t id);
  static void FreeSample(SNDSample* sample);
  static void FlushSamples();
  static void ClearSampleList();
  static SNDSample* AllocSample();
  static void ClearSample(SNDSample* sample);
  static int AllocSampleBuffers();
  static int alloc_sample_buffers(int32_t sampleCount);
  static int free_sample_buffers();
  static int CreateMainBuffer();
  void EnableMusic(int32_t on);
  void EnableSFX(int32_t on);
  static void MemCleanup();
  static int GetLIBVersion() { return 1; }
  static const char* GetLIBDate() { return "Fri Dec 22 07:46:08 2000"; }
  static void debug_dsound_caps(const platform::DeviceCaps* caps);

  // End-of-play events. A slot taken for a sample is marked with it at once, so two threads never get the
  // same slot; without a sample the slot is only found, as before.
  static _SNDEvent* AllocSoundEvent(SNDSample* forSample = nullptr);
  static void FreeSoundEvent(_SNDEvent* event);
  static int setup_callback();
  static void close_callback();
  static uint32_t CallBack();
  // Without threads (the browser build) the finished samples are looked for each time the clock moves.
  static void PollCallBacks();
  static void ServeEvent(_SNDEvent* event);

  // Playback and levels. PlaySampleIDOnce is kept: part of the game's interface, unused by this game.
  SNDSample* PlaySample(uint32_t id, int32_t volume, int32_t pan);
  int PlaySampleIDOnce(uint32_t id, int32_t volume, int32_t pan);
  static int32_t MapVolume(int32_t volume);
  static int32_t MapPan(int32_t pan);

  // The stream. Kept: part of the game's interface, unused by this game, whose music goes through the media
  // commands; it only calls StopStream, at shutdown and when the music is switched off.
  int LoadStream(const char* file, uint32_t id);
  int PlayStream(uint32_t mode);
  int StopStream();
  int PauseStream();
  static int CleanupStream();
  static void SetStreamVolume(int32_t volume);
  static int32_t GetStreamVolume();
  static uint32_t GetStreamID();
  static _SNDStream* GetStreamInfoPtr() { return &g_StreamInfo; }
  SNDNextStreamFunc SetStreamNextFunc(SNDNextStreamFunc next) { return g_StreamInfo.pNextFunc.exchange(next); }
  SNDNextStreamFunc GetStreamNextFunc() { return g_StreamInfo.pNextFunc.load(); }
  static void ClearStreamNextStreamFunc() { g_StreamInfo.pNextFunc.store(nullptr); }
  void FadeMusic(int32_t from, int32_t to, uint32_t ms);
  void FadeMusicOut(uint32_t ms) { FadeMusic(m_nMusicVolume.load(), 0, ms); }
  void FadeMusicIn(uint32_t ms) { FadeMusic(0, m_nMusicVolume.load(), ms); }
  static uint32_t FillStream();
  static void init_stream_buffer();
  // Segment bytes for a format: a quarter second, rounded up to whole blocks.
  static uint32_t StreamChunkSize(uint32_t samplesPerSec, uint32_t bitsPerSample, uint32_t channels);

  // Class-wide state.
  static platform::DirectSound* g_lpDSound;
  static platform::SoundBuffer* g_lpSoundBuffer;
  static platform::DeviceCaps g_DSCaps;
  static int32_t g_nMaxSampleCount;
  static int32_t g_nMaxEventCount;
  static void* g_MemHandle;
  static platform::Event** g_CallBackHandles;
  static _SNDEvent* g_EventList;
  static SNDSample* g_SampleList;
  static SNDSample* g_pEndSample;
  // One past the highest slot in use; the first slot when the pool is empty. Scans stop here.
  static SNDSample* g_pLastSample;
  static SNDOpenFileFunc g_pOpenFile;
  static SNDCloseFileFunc g_pCloseFile;
  static platform::Thread* g_CallBackThread;
  static std::atomic<int32_t> g_nCallBackThreadActive;
  static std::atomic<int32_t> g_nCallBackPolling;
  static _SNDStream g_StreamInfo;
  static platform::Event* g_NotifyEvents[SNDSTREAM_SEGMENTS + 1];
  static platform::Thread* g_FillThread;
  static uint32_t g_FillThreadID;
  static int16_t g_VolumeTable[16384];
  // Slot and event-slot allocation and clearing, from the main, callback and fill threads. Nothing waits while
  // holding it.
  static std::mutex g_PoolLock;
};

// The program-wide engine; the playback code reads its effects switch.
extern ZKSound g_zkSound;
