#pragma once
// The X display going away (a logout, a crashed or stopped X server) while the game runs.

namespace platform::backend {

// Once SDL has connected to an X display: when the connection is lost, the game ends at once instead of letting
// the X library end it through exit(), which tears the program's objects down under threads still running and
// has the window's teardown talk to the lost display again. Does nothing when SDL is not on X.
void EndAtOnceOnDisplayLoss();

}  // namespace platform::backend
