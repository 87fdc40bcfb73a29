// Process-wide state of the library: logging and api init/destroy.
#include "device_registry.h"
#include "lmcam.h"
#include "lmcam_private.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace {

constexpr int kLogLineSize = 1024;

std::atomic<int32_t> g_logLevel{LMCAM_LOG_WARNING};
std::atomic<lmcam_log_callback> g_logCallback{nullptr};
// Held while the callback runs, so that lines never interleave and, once
// lmcam_log_set_callback returns, the previous callback is no longer running or called.
// Recursive so that a callback may itself call into the library.
std::recursive_mutex g_logMutex;
std::atomic<bool> g_initialized{false};

} // namespace

namespace lmcam {

bool logEnabled(int32_t level)
{
    return level >= LMCAM_LOG_ERROR && level <= g_logLevel.load(std::memory_order_relaxed) &&
           g_logCallback.load(std::memory_order_relaxed) != nullptr;
}

void logMessage(int32_t level, const char *format, ...)
{
    if (!format || !logEnabled(level))
        return;
    char line[kLogLineSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);

    std::lock_guard<std::recursive_mutex> lock(g_logMutex);
    // Reread under the lock: the callback may have been removed meanwhile.
    if (lmcam_log_callback callback = g_logCallback.load())
        callback(level, line);
}

} // namespace lmcam

extern "C" {

int32_t lmcam_log_set_level(int32_t level)
{
    if (level < LMCAM_LOG_NONE || level > LMCAM_LOG_DEBUG)
        return LMCAM_ERR_INVALID_ARG;
    g_logLevel.store(level);
    return LMCAM_OK;
}

int32_t lmcam_log_set_callback(lmcam_log_callback callback)
{
    std::lock_guard<std::recursive_mutex> lock(g_logMutex);
    g_logCallback.store(callback);
    return LMCAM_OK;
}

int32_t lmcam_api_init(void)
{
    g_initialized.store(true);
    lmcam::logMessage(LMCAM_LOG_INFO, "lmcam api init");
    return LMCAM_OK;
}

int32_t lmcam_api_destroy(void)
{
    lmcam::closeAllDevices();
    if (g_initialized.exchange(false))
        lmcam::logMessage(LMCAM_LOG_INFO, "lmcam api destroy");
    return LMCAM_OK;
}

} // extern "C"
