#pragma once

#include <functional>

// Turns SIGTERM, SIGINT and SIGHUP into a call of `onQuit` on the thread that owns the
// Qt event loop, so that the program shuts down through its normal teardown.
namespace QuitSignals {

void install(std::function<void()> onQuit);

// True once one of the signals has arrived.
bool received();

} // namespace QuitSignals
