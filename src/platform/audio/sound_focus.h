#pragma once
// Sound buffers follow the focus of the game's window: while another window is active they play on, unheard, and
// are heard again from where they have got to once the game's window is active again.
namespace platform {

void SetSoundFocus(bool windowActive);
bool HasSoundFocus();

}  // namespace platform
