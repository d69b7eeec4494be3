#pragma once

#include <functional>

// The end of the desktop session (or a plain `kill`) reaches the program as
// SIGTERM or SIGHUP; the clock must then close at once, without its question.
namespace SessionEnd {
// Calls `handler` on the event loop when such a signal arrives.
void onTerminationSignal(std::function<void()> handler);
} // namespace SessionEnd
