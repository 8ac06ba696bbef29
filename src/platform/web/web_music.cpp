// Background music in the browser build: the MP3 decoder of the other builds is not built for the web, so a
// music file opens as one that holds no audio the build can decode; the game then runs without music, exactly
// as it does when the file is missing.
#include "platform/audio_music.h"

namespace platform {

std::unique_ptr<MusicPlayer> MusicPlayer::Open(const std::string&, AudioMixer&, bool) { return nullptr; }
MusicPlayer::~MusicPlayer() = default;
bool MusicPlayer::Play(std::function<void()>) { return false; }
void MusicPlayer::Pause() {}
void MusicPlayer::Resume() {}
void MusicPlayer::MixInto(int32_t*, uint32_t, uint32_t) {}

}  // namespace platform
