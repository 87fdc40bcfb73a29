#pragma once

#include <QString>

// Constants shared by every source file of the program.
namespace Constants {

inline constexpr const char kVersion[] = "5.4.5";

// Built-in master password of the advanced-settings unlock; also the password text of the
// default network login.
inline constexpr const char kLoginUser[] = "camuser";
inline constexpr const char kLoginPassword[] = "580264";
// The login the program opens network cameras with (the password is kLoginPassword), on the
// cameras' nominal command port.
inline constexpr const char kNetCameraUser[] = "opusr";
inline constexpr const char kNetCameraPort[] = "80";
// Typed into the unlock dialog, opens the production-test dialog instead of unlocking.
inline constexpr const char kProductionTestCode[] = "benchaccess";

// Names of the video formats, indexed by the camera's video format code.
inline constexpr const char *kVideoFormatNames[] = {"MJPEG", "NV12", "YUY2", "H264"};

// The name of a video format code; an unknown code reads as the first format, "MJPEG".
inline QString videoFormatName(int format)
{
    const bool known = format >= 0 && format < int(sizeof(kVideoFormatNames) / sizeof(kVideoFormatNames[0]));
    return QString::fromLatin1(kVideoFormatNames[known ? format : 0]);
}

// File-name time stamps, indexed by the "TimeNamingFormatIndex" setting.
inline constexpr const char *kTimeNamingFormats[] = {"yyyy-MM-dd-hh-mm-ss", "yyyyMMddhhmmss",
                                                     "yyyy-MM-dd-hh-mm-ss-zzz", "yyyyMMddhhmmsszzz"};

} // namespace Constants
