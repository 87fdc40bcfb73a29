// Shared pieces of the library's inside: settings read at start-up and the log line helper.
#ifndef LSDK_PRIVATE_H
#define LSDK_PRIVATE_H

#include <cstdint>

namespace lsdk {

// Default wait for a camera's answer, overridden by LSDK_REQUEST_TIMEOUT_MS.
constexpr int kDefaultRequestTimeoutMs = 3000;

// The answer time-out in force (read from the environment by l_sdk_init).
int requestTimeoutMs();
void setRequestTimeoutMs(int ms);

// One line on stderr, prefixed with "l_sdk: ": the library has no logging interface.
void logLine(const char *format, ...) __attribute__((format(printf, 1, 2)));

} // namespace lsdk

#endif // LSDK_PRIVATE_H
