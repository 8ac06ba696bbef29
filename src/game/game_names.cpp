#include "game/game_names.h"

namespace {

constexpr const char* kBullNames[kBullAnimationCount] = {"right", "top-step", "spare", "wrong",
                                                         "angry", "pass",     "game-over", "idle"};

constexpr GameSoundSpec kSounds[] = {
    {"bell", "sounds\\bell.wav"},       {"hammer", "sounds\\hammer.wav"},     {"neg", "sounds\\negative.wav"},
    {"pos", "sounds\\pos.wav"},         {"neutral", "sounds\\neutral.wav"},   {"drop", "sounds\\scdrop.wav"},
    {"poschart", "sounds\\poschart.wav"}, {"wrong", "sounds\\wrong.wav"},     {"check", "sounds\\select2.wav"},
    {"bling", "sounds\\bling2.wav"},    {"cheer", "sounds\\cheer3.wav"},      {"bull01", "sounds\\bull01.wav"},
    {"bull02", "sounds\\bull02.wav"},   {"bull03", "sounds\\bull03.wav"},     {"bull04", "sounds\\bull04.wav"},
    {"bull05", "sounds\\bull05.wav"},   {"bull06", "sounds\\bull06.wav"},     {"click", nullptr},
};

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
