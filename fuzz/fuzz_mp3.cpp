// The music file through the decoder: a file either gives no player, or a player that plays to its end within
// the length its bytes can hold, and stops cleanly.
#include <chrono>
#include <thread>
#include <vector>

#include "fuzz_support.h"
#include "platform/audio/audio_mixer.h"
#include "platform/music/audio_music.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::WriteScratch("music.mp3", data, size);
  platform::AudioMixer mixer(44100);
  auto player = platform::MusicPlayer::Open(path, mixer, false);
  if (!player) return 0;
  FUZZ_CHECK(player->Play(nullptr));
  // The longest an MPEG audio frame plays is 1152 samples at 8000 Hz, and a frame takes at least 4 bytes: no
  // file of these bytes can play longer than this many output frames. Pulls made while the decoder thread was
  // behind mix nothing of the music, so the bound is doubled and given ten seconds more before it counts as
  // music that never ends.
  const uint64_t longest = (static_cast<uint64_t>(size) / 4 + 1) * 1152 * 44100 / 8000;
  const uint64_t allowed = 2 * longest + 10 * 44100;
  std::vector<int16_t> block(4096 * 2);
  uint64_t mixed = 0;
  while (!player->HasEnded()) {
    mixer.Mix(block.data(), 4096);
    mixed += 4096;
    FUZZ_CHECK(mixed <= allowed);
    // The decoder runs on its own thread; give it time to keep ahead.
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  player.reset();
  return 0;
}
