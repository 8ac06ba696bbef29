#pragma once
// The one place that names the bull's animations and the game's sounds. Game code plays and starts them through
// these names, the trace prints them, and tests and replays read them back.
#include <cstdint>

// The bull's frames in their order on its sheet (bullanim.bmp), by what each shows. The art generator draws them
// by these names and the animations are sequences of them.
enum class BullFrame : int32_t {
  kNeutral, kBlink, kSlumped, kHopCrouch, kHopAir, kHopLanding, kCelebration, kAngry, kAngrySteam,
  kLookLeft, kLookRight, kHeadLeft, kHeadRight, kShrugA, kShrugB, kLyingDown,
};
constexpr int32_t kBullFrameCount = 16;

// The bull's animations by number; the number is what the controller stores.
enum class BullAnimation : int32_t {
  kRight = 0,          // right answer below the top step
  kTopStep = 1,        // right answer on the top step
  kSpare = 2,          // never started by the game; plays as kWrong
  kWrong = 3,          // wrong answer
  kAngry = 4,          // wrong answer after two right ones
  kPass = 5,           // pass
  kGameOver = 6,       // the clock ran out
  kIdle = 7,           // new game and every new question; loops, silent
};
constexpr int32_t kBullAnimationCount = 8;

// "right", "top-step", ...; "?" for a number that names no animation.
const char* BullAnimationName(int32_t n);

// The game's sounds: those of the asset manifest in its order, which is the order they are registered in (so the
// engine IDs count up from 10 in this order), then the one without a file.
enum class GameSound : int32_t {
#define ZORVEL_SOUND(id, name, file, format, synthesis) id,
#include "common/asset_manifest.def"
  kClick,  // asked for by the "menu" button; no file is registered under it, so it stays silent
};
constexpr int32_t kRegisteredSoundCount = static_cast<int32_t>(GameSound::kClick);

struct GameSoundSpec {
  const char* name;  // what the sound table knows it by, and what the trace prints
  const char* file;  // relative to the working directory; null: not registered
};
const GameSoundSpec& SoundSpec(GameSound sound);
inline const char* SoundName(GameSound sound) { return SoundSpec(sound).name; }

// The sound an animation starts with, or null for the silent idle loop.
const GameSoundSpec* BullAnimationSound(int32_t n);
