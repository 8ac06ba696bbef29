#include "sound/sound_table.h"

#include <cstring>
#include <string>

#include "platform/replay/trace.h"
#include "sound/zk_sound.h"

SoundTable g_soundTable;

int32_t SoundTable::Init(platform::Window* window, int32_t maxSamples) {
  if (!entries) entries = new PtrArray<SoundEntry>(1);
  return g_zkSound.Init(window, maxSamples);
}

SoundEntry* SoundTable::LoadSound(const char* file, const char* name) {
  if (!entries || !file || !name) return nullptr;
  const uint32_t id = static_cast<uint32_t>(entries->Count()) + kFirstID;
  if (!g_zkSound.LoadSample(file, id)) return nullptr;
  auto* entry = new SoundEntry;
  entry->id = id;
  std::strncpy(entry->name, name, SoundEntry::kNameSize - 1);
  return entries->Push(entry);
}

SoundEntry* SoundTable::FindSound(const char* name) {
  if (!entries || !name) return nullptr;
  for (int32_t i = 0; i < entries->Count(); ++i) {
    SoundEntry* entry = entries->Get(i);
    if (std::strncmp(entry->name, name, SoundEntry::kNameSize - 1) == 0 &&
        std::strlen(name) < SoundEntry::kNameSize) {
      return entry;
    }
  }
  return nullptr;
}

SNDSample* SoundTable::PlaySound(const char* name, int32_t volume, int32_t pan) {
  SoundEntry* entry = FindSound(name);
  if (!entry) return nullptr;
  SNDSample* sample = g_zkSound.PlaySample(entry->id, volume, pan);
  // Traced by name, and only what is heard.
  if (sample && g_zkSound.m_bSFXEnabled.load())
    platform::TraceLine(std::string("sound ") + entry->name + " volume " + std::to_string(volume) + " pan " +
                        std::to_string(pan));
  return sample;
}

void SoundTable::FreeAllSounds() {
  if (entries) {
    for (int32_t i = 0; i < entries->Count(); ++i) ZKSound::FreeSample(entries->Get(i)->id);
    entries->DeleteAll();
  }
  g_zkSound.StopStream();
  ZKSound::ClearSampleList();
}

void SoundTable::Shutdown() {
  if (entries) {
    FreeAllSounds();
    delete entries;
    entries = nullptr;
  }
  g_zkSound.Exit();
}

void SoundTable::EnableMusic(int32_t on) { g_zkSound.EnableMusic(on); }
void SoundTable::EnableSFX(int32_t on) { g_zkSound.EnableSFX(on); }
int32_t SoundTable::Count() const { return entries ? entries->Count() : 0; }
