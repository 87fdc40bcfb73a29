// Helpers shared by the library's sources; nothing here is exported.
#pragma once

#include <cstdint>

namespace lmcam {

// True when a message of this level reaches the log callback (a callback is set and the
// level is at most the level set).
bool logEnabled(int32_t level);

// Formats a message and passes it to the log callback when its level permits. Safe to call
// from any thread; calls into the callback never overlap.
void logMessage(int32_t level, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

} // namespace lmcam
