#include "game/game_names.h"

#include <iterator>

namespace {

constexpr const char* kBullNames[kBullAnimationCount] = {"right", "top-step", "spare", "wrong",
                                                         "angry", "pass",     "game-over", "idle"};

// The game names its files with backslashes; the file layer turns them into the host's separators.
constexpr GameSoundSpec kSounds[] = {
#define ZORVEL_SOUND(id, name, file, format, synthesis) {name, "sounds\\" file},
#include "common/asset_manifest.def"
    {"click", nullptr},
};
static_assert(static_cast<int32_t>(std::size(kSounds)) == kRegisteredSoundCount + 1);

// By the animation's number; the silent idle loop is the last and has none.
static_assert(static_cast<int32_t>(BullAnimation::kIdle) == kBullAnimationCount - 1);
constexpr GameSound kBullSounds[kBullAnimationCount - 1] = {GameSound::kBull01, GameSound::kBull02,
                                                            GameSound::kBull03, GameSound::kBull03,
                                                            GameSound::kBull04, GameSound::kBull05,
                                                            GameSound::kBull06};

}  // namespace

const char* BullAnimationName(int32_t n) { return n >= 0 && n < kBullAnimationCount ? kBullNames[n] : "?"; }

const GameSoundSpec& SoundSpec(GameSound sound) { return kSounds[static_cast<int32_t>(sound)]; }

const GameSoundSpec* BullAnimationSound(int32_t n) {
  if (n < 0 || n >= kBullAnimationCount - 1) return nullptr;
  return &SoundSpec(kBullSounds[n]);
}
