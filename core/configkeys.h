#pragma once

#include "drawproperty.h"

#include <QMap>
#include <QString>
#include <QVariant>

// The option groups of the settings store. Each concrete group is one section of one INI
// file; DisplayOptions is logical and resolves to the biology or industry section by the
// "SceneMode" key of the camera group.
enum class ConfigGroup {
    Base,
    Camera,
    Snap,
    BurstMode,
    Record,
    KeyBind,
    Watermask,
    Shortcut,
    ImgProcess,
    Ffc,
    ControlInterfaceState,
    DisplayOptions,
    BiologyDisplayOptions,
    IndustryDisplayOptions,
    EdgeDetect,
    RoiRegion,
    ScanRegion,
    Rotate,
    MeasurementSheetProperty,
    StatisticsProperty,
    CommonTool,
    CurConfigurationName,
    Draw, // keys: DrawProperty
    Settings,
    Nosepiece,
    Calibrate,          // calibration arrays, owned by the calibration code
    NosepieceCalibrate, // calibration arrays, owned by the calibration code
    UserInfo,           // read only, installed beside the program
};
constexpr int ConfigGroupCount = int(ConfigGroup::UserInfo) + 1;
Q_DECLARE_METATYPE(ConfigGroup)

// Which file a group lives in.
enum class ConfigFile {
    Config,      // data folder + "/config.ini"
    Calibration, // data folder + "/calibration.ini"
    UserInfo,    // program folder + "/customInformation/userInfo.ini" (UTF-8)
};

// Key indices per group, unscoped so that they pass as the int key of ConfigStore::read/write.
// KeyCount is one past the last index of its group.
namespace BaseKey {
enum : int {
    UpgradeFilePath,
    OpenedImgPath,
    SaveImgPath,
    SaveAsImgPath,
    OpenedVideoPath,
    UnlockPassword,
    StayUnlocked,
    PasswordPrompt,
    ExportFilePath,
    BatchExportToAFile,
    MainInterfaceLeftPos,
    MainInterfaceRightPos,
    InterfaceStyleProperty, // 1 white theme, else black
    CompressionEnabled,
    PictureCorrections, // where the live picture is corrected: "auto", "gpu" or "cpu"
    KeyCount
};
}
namespace CameraKey {
enum : int { Resolution, FocusRectEnable, FocusClikEnable, MouseWheelEnable, PicScale, SceneMode, KeyCount };
}
namespace SnapKey {
enum : int {
    EnableTiming,
    RemainingTime,
    TimeNamingFormatIndex,
    AutoNumberingDigits,
    MergeTextScale,
    SaveScanResult,
    MergeImage, // draw the graphics into the saved picture
    KeyCount
};
}
namespace BurstModeKey {
enum : int { Number, Interval, EnableTiming, RemainingTime, KeyCount };
}
namespace RecordKey {
enum : int {
    FileFormat,
    Resolution,
    SavePath,
    EnableTiming,
    RemainingTime,
    Duration,
    QuickSaveVideo,
    SaveTypeVideo,
    PrefixDataVideo,
    TimeNamingFormatIndex,
    AutoNumberingDigits,
    KeyCount
};
}
namespace KeyBindKey {
enum : int { MouseWheel, KeyCount };
}
namespace WatermaskKey {
enum : int {
    EnableDate,
    DateFormatIndex,
    EnableTime,
    TimeFormatIndex,
    TextColor,
    FontSize,
    Position,
    FuseToPic,
    KeyCount
};
}
// The shortcut keys count from 1 (F1 to F9 by default in the shortcut dialog).
namespace ShortcutKey {
enum : int {
    Snap = 1,
    Record,
    SavePicture,
    TimeLapse,
    Pause,
    OnceFocus,
    RealTimePreview,
    ImaeCopy,
    HandMode,
    KeyCount
};
}
namespace ImgProcessKey {
enum : int { EDFImgAlign, EDFImgSpeed, KeyCount };
}
namespace FfcKey {
enum : int { FFCNum, KeyCount };
}
namespace ControlInterfaceStateKey {
enum : int {
    ShowFocusWidget,
    ShowExposureWidget,
    ShowWhiteBalanceWidget,
    ShowGeneralWhiteBalanceWidget,
    ShowZoomWidget,
    ShowBlackBalanceWidget,
    ShowLedWidget,
    ShowROIWidget,
    ShowFFCWidget,
    ShowFunctionWidget,
    ShowHistogramWidget,
    ShowNosepieceWidget,
    ShowGammaWidget,
    ShowRotateWidget,
    KeyCount
};
}
namespace DisplayOptionsKey {
enum : int {
    EnableSwapMainInterfaceControls,
    EnableLabelPagePos,
    EnableOptionNosepiece,
    EnableOptionFocus,
    EnableOptionExposure,
    EnableOptionSlowShutter,
    EnableOptionWhiteBalance,
    EnableOptionBlackBalance,
    EnableOptionZoom,
    EnableOptionLED,
    EnableOptionROI,
    EnableOptionHue,
    EnableOptionSaturation,
    EnableOptionContrast,
    EnableOptionSharpness,
    EnableOptionGamma,
    EnableOptionDRC,
    EnableOptionColorMode,
    EnableOptionFlip,
    EnableOptionPowerLineFrequency,
    EnableOptionDefog,
    EnableOptionChromaticAberrationCorrection,
    EnableOptionLocalDisplayContrastImprovement,
    EnableOptionNegative,
    EnableOptionFlatFieldCorrection,
    EnableOptionAcquisitionModule,
    EnableOptionStitching,
    EnableOptionExtendedDepthOfField,
    EnableOptionColorComposite,
    EnableOptionCount,
    EnableOptionMeasureModule,
    EnableShowMeasurementToolsInFullScreen,
    EnableOptionAnnotateModule,
    EnableOptionReportModule,
    EnableOptionHistogram,
    EnableOptionRotate,
    KeyCount
};
}
namespace EdgeDetectKey {
enum : int { Mode, Range, KeyCount };
}
namespace RoiRegionKey {
enum : int { RoiRegionIndex, KeyCount };
}
namespace ScanRegionKey {
enum : int { ScanEnable, ScanDisplay, ScanX, ScanY, ScanWidth, ScanHeight, KeyCount };
}
namespace RotateKey {
enum : int { RotateAngle, KeyCount };
}
namespace MeasurementSheetKey {
enum : int {
    Length,
    Distance,
    Perimeter,
    Area,
    Angle,
    Radian,
    Width,
    Height,
    Radius,
    Diameter,
    Position,
    Count,
    Eccentricity,
    KeyCount
};
}
namespace StatisticsKey {
enum : int { Total, Mean, Minimum, Maximum, StandardDeviation, SampleStandardDeviation, KeyCount };
}
namespace CommonToolKey {
enum : int { CommonTool, KeyCount }; // a QVariantMap
}
namespace CurConfigurationNameKey {
enum : int { CurConfigurationName, KeyCount };
}
// Calibration settings. Indices 9 and 10 carry the key text of index 8, so all three share
// one stored value; they are kept only so that the index space stays as consumers know it.
namespace SettingsKey {
enum : int {
    Mode,
    Index,
    Unit,
    CalibrateUnit,
    CalibrateName,
    Resolution,
    MeasureScaleColor,
    MeasureScaleLineWidth,
    MeasureScaleFontSize,
    Reserved9,
    Reserved10,
    SavePath,
    KeyCount
};
}
namespace NosepieceKey {
enum : int { NosepieceCount, KeyCount }; // the lens table itself: ConfigStore::readNosepiece()
}
namespace UserInfoKey {
enum : int { DeviceName, KeyCount };
}

// Static description of one group: its INI section, its file and its keys.
struct ConfigGroupInfo
{
    ConfigGroup group;
    QString name; // section name; empty for the logical DisplayOptions
    ConfigFile file;
    QMap<int, QString> keys; // key index -> key text, in index order
};

// The description of a group (DisplayOptions shares the keys of the two concrete groups).
const ConfigGroupInfo &configGroupInfo(ConfigGroup group);

// The key text of a key index, or an empty string when the group has no such index.
QString configKeyText(ConfigGroup group, int key);

// What the store itself supplies for absent keys: written at start-up for "base",
// "control_interface_state" and both display-option groups, inserted on read for "draw".
// Empty for every other group. Folder defaults follow QStandardPaths and the application
// display name at the time of the call.
QMap<int, QVariant> configDefaults(ConfigGroup group);
