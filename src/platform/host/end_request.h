#pragma once
// Requests from outside to end the program: SIGTERM (a logout, a shutdown, `kill`) and SIGHUP (the session or
// terminal went away). The program ends on them as it does when its window is closed, not in the middle of what
// it was doing.

namespace platform::host {

// Installs the handlers.
void CatchEndRequests();
// True once for each request that arrived since the last call; the message pump turns it into a close.
bool TakeEndRequest();
// True once any request has arrived.
bool EndRequested();

}  // namespace platform::host
