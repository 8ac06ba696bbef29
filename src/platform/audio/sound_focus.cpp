#include "platform/audio/sound_focus.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<bool> g_focus{true};
}

void SetSoundFocus(bool windowActive) { g_focus.store(windowActive, std::memory_order_relaxed); }
bool HasSoundFocus() { return g_focus.load(std::memory_order_relaxed); }

}  // namespace platform
