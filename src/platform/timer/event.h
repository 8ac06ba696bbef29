#pragma once
// Events for the sound engine's threads: auto-reset or manual-reset, signalled from any thread (the mixer
// included, which must never block), waited on one at a time or up to 64 at once.
#include <cstdint>

namespace platform {

class Event;

constexpr uint32_t WAIT_OBJECT_0 = 0;
constexpr uint32_t WAIT_TIMEOUT = 258;
constexpr uint32_t WAIT_FAILED = 0xFFFFFFFF;
constexpr uint32_t INFINITE = 0xFFFFFFFF;
constexpr uint32_t MAXIMUM_WAIT_OBJECTS = 64;

// Null when the event cannot be made.
Event* CreateEvent(bool manualReset, bool initiallySignalled);
// Drops the caller's handle. Whoever still holds a reference (a sound buffer's notification list) keeps the
// object alive, so a late signal never lands on freed memory.
void CloseEvent(Event* event);
bool SetEvent(Event* event);
bool ResetEvent(Event* event);

// WAIT_OBJECT_0 when signalled (an auto-reset event is consumed), WAIT_TIMEOUT, or WAIT_FAILED for a null event.
uint32_t WaitForEvent(Event* event, uint32_t timeoutMs);
// Waits for any of `count` events (1 to 64): WAIT_OBJECT_0 + the lowest signalled index, WAIT_TIMEOUT, or
// WAIT_FAILED when the count is out of range or any event is null.
uint32_t WaitForAnyEvent(uint32_t count, Event* const* events, uint32_t timeoutMs);

// Extra references, taken by holders other than the creator.
void RetainEvent(Event* event);
void ReleaseEvent(Event* event);

// Signals from the audio mixer are "audio work": in virtual time the clock-driven audio sink waits, after each
// step, until the threads woken by such signals have done their work and waited again (or ended), so that what
// is heard does not depend on thread scheduling.
bool SetEventFromMixer(Event* event);
// True when every mixer signal has been handled, or false after the time-out (real milliseconds).
bool WaitUntilMixerSignalsHandled(uint32_t timeoutMs);
// A thread that consumed mixer signals calls this when it ends (threads made by CreateThread do it themselves).
void FinishMixerSignalWork();

}  // namespace platform
