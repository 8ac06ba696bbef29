#pragma once
// The game's named sounds over the engine's numeric IDs: every loaded sound gets an ID counted from 10 and a
// short name to play it by. The table also brings the engine up and down and carries the music and effects
// switches, so the shell talks only to it.
#include <cstdint>

#include "common/ptr_array.h"

namespace platform {
class Window;
}

class SNDSample;

struct SoundEntry {
  static constexpr int kNameSize = 32;  // terminator included; longer names are cut
  uint32_t id = 0;
  char name[kNameSize] = {};
};

class SoundTable {
 public:
  static constexpr uint32_t kFirstID = 10;

  // The engine's result (1 success, 0 failure); the game goes on silent after a failure.
  int32_t Init(platform::Window* window, int32_t maxSamples);
  // The new entry, or null when the file cannot be loaded (the next sound then gets this ID).
  SoundEntry* LoadSound(const char* file, const char* name);
  SoundEntry* FindSound(const char* name);
  SNDSample* PlaySound(const char* name, int32_t volume, int32_t pan);
  void FreeAllSounds();
  void Shutdown();
  void EnableMusic(int32_t on);
  void EnableSFX(int32_t on);
  int32_t Count() const;

 private:
  PtrArray<SoundEntry>* entries = nullptr;
};

extern SoundTable g_soundTable;
