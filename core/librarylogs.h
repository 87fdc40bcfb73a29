#pragma once

// Routes the diagnostics of the video codec library and of the two camera SDKs into the
// program's log, as debug lines "FFmpeg: …", "UVC SDK: …" and "Net SDK: …".
namespace LibraryLogs {

inline constexpr int kCodecLogLevel = 32;  // the codec library's "info" level
inline constexpr int kUsbSdkLogLevel = 2;

void installCodecLogHook();
void installUsbSdkLogHook();
void installNetSdkLogHook();

} // namespace LibraryLogs
