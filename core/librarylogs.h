#pragma once

// Routes the diagnostics of the video codec library and of the USB camera SDK into the
// program's log, as debug lines "FFmpeg: …" and "UVC SDK: …".
namespace LibraryLogs {

inline constexpr int kCodecLogLevel = 32;  // the codec library's "info" level
inline constexpr int kUsbSdkLogLevel = 2;

void installCodecLogHook();
void installUsbSdkLogHook();

} // namespace LibraryLogs
