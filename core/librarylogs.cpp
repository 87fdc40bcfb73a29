#include "librarylogs.h"

#include <QDebug>

#include <l_sdk.h>
#include <lmcam.h>

extern "C" {
#include <libavutil/log.h>
}

#include <cstring>

namespace {

void codecLogCallback(void *context, int level, const char *format, va_list args)
{
    if ((level & 0xff) > av_log_get_level())
        return;
    // The prefix state carries over between calls, as the library's own printer does.
    static int printPrefix = 1;
    char line[1024];
    memset(line, 0, sizeof(line));
    av_log_format_line(context, level, format, args, line, sizeof(line), &printPrefix);
    // The library ends its lines with a newline; the log adds its own.
    size_t len = strlen(line);
    while (len > 0 && (line[len - 1] == '\n' || line[len - 1] == '\r'))
        line[--len] = '\0';
    qDebug("FFmpeg: %s", line);
}

void usbSdkLogCallback(int32_t, const char *text)
{
    qDebug("UVC SDK: %s", text ? text : "");
}

void netSdkLogCallback(const char *text)
{
    qDebug("Net SDK: %s", text ? text : "");
}

} // namespace

namespace LibraryLogs {

void installCodecLogHook()
{
    av_log_set_level(kCodecLogLevel);
    av_log_set_callback(&codecLogCallback);
}

void installUsbSdkLogHook()
{
    lmcam_log_set_level(kUsbSdkLogLevel);
    lmcam_log_set_callback(&usbSdkLogCallback);
}

void installNetSdkLogHook()
{
    l_sdk_log_set_callback(&netSdkLogCallback);
}

} // namespace LibraryLogs
