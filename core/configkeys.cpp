#include "configkeys.h"

#include <QColor>
#include <QGuiApplication>
#include <QStandardPaths>

#include <array>
#include <iterator>

namespace {

// Key texts per group, in index order, exactly as they stand in the INI files (typos included).
const char *const baseKeys[] = {"UpgradeFilePath",        "OpenedImgPath",        "SaveImgPath",
                                "SaveAsImgPath",          "OpenedVideoPath",      "UnlockPassword",
                                "StayUnlocked",           "PasswordPrompt",       "exportFilePath",
                                "BatchExportToAFile",     "MainInterfaceLeftPos", "MainInterfaceRightPos",
                                "InterfaceStyleProperty", "CompressionEnabled",
                                "PictureCorrections"};
const char *const cameraKeys[] = {"Resolution",       "FocusRectEnable", "FocusClikEnable",
                                  "MouseWheelEnable", "PicScale",        "SceneMode"};
const char *const snapKeys[] = {"EnableTiming",        "RemainingTime",  "TimeNamingFormatIndex",
                                "AutoNumberingDigits", "MergeTextScale", "SaveScanResult",
                                "MergeImage"};
const char *const burstModeKeys[] = {"Number", "Interval", "EnableTiming", "RemainingTime"};
const char *const recordKeys[] = {
    "FileFormat",     "Resolution",    "SavePath",        "EnableTiming",          "RemainingTime",      "Duration",
    "QuickSaveVideo", "SaveTypeVideo", "PrefixDataVideo", "TimeNamingFormatIndex", "AutoNumberingDigits"};
const char *const keyBindKeys[] = {"MouseWheel"};
const char *const watermaskKeys[] = {"EnableDate", "DateFormatIndex", "EnableTime", "TimeFormatIndex",
                                     "TextColor",  "FontSize",        "Position",   "FuseToPic"};
const char *const shortcutKeys[] = {"Snap",      "Record",          "SavePicture", "TimeLapse", "Pause",
                                    "OnceFocus", "RealTimePreview", "ImaeCopy",    "HandMode"};
const char *const imgProcessKeys[] = {"EDFImgAlign", "EDFImgSpeed"};
const char *const ffcKeys[] = {"FFCNum"};
const char *const controlInterfaceStateKeys[] = {
    "ShowFocusWidget", "ShowExposureWidget",     "ShowWhiteBalanceWidget", "ShowGeneralWhiteBalanceWidget",
    "ShowZoomWidget",  "ShowBlackBalanceWidget", "ShowLedWidget",          "ShowROIWidget",
    "ShowFFCWidget",   "ShowFunctionWidget",     "ShowHistogramWidget",    "ShowNosepieceWidget",
    "ShowGammaWidget", "ShowRotateWidget"};
const char *const displayOptionsKeys[] = {"EnableSwapMainInterfaceControls",
                                          "EnableLabelPagePos",
                                          "EnableOptionNosepiece",
                                          "EnableOptionFocus",
                                          "EnableOptionExposure",
                                          "EnableOptionSlowShutter",
                                          "EnableOptionWhiteBalance",
                                          "EnableOptionBlackBalance",
                                          "EnableOptionZoom",
                                          "EnableOptionLED",
                                          "EnableOptionROI",
                                          "EnableOptionHue",
                                          "EnableOptionSaturation",
                                          "EnableOptionContrast",
                                          "EnableOptionSharpness",
                                          "EnableOptionGamma",
                                          "EnableOptionDRC",
                                          "EnableOptionColorMode",
                                          "EnableOptionFlip",
                                          "EnableOptionPowerLineFrequency",
                                          "EnableOptionDefog",
                                          "EnableOptionChromaticAberrationCorrection",
                                          "EnableOptionLocalDisplayContrastImprovement",
                                          "EnableOptionNegative",
                                          "EnableOptionFlatFieldCorrection",
                                          "EnableOptionAcquisitionModule",
                                          "EnableOptionStitching",
                                          "EnableOptionExtendedDepthOfField",
                                          "EnableOptionColorComposite",
                                          "EnableOptionCount",
                                          "EnableOptionMeasureModule",
                                          "EnableShowMeasurementToolsInFullScreen",
                                          "EnableOptionAnnotateModule",
                                          "EnableOptionReportModule",
                                          "EnableOptionHistogram",
                                          "EnableOptionRotate"};
const char *const edgeDetectKeys[] = {"Mode", "Range"};
const char *const roiRegionKeys[] = {"RoiRegionIndex"};
const char *const scanRegionKeys[] = {"ScanEnable", "ScanDisplay", "ScanX", "ScanY", "ScanWidth", "ScanHeight"};
const char *const rotateKeys[] = {"RotateAngle"};
const char *const measurementSheetKeys[] = {
    "MeasurementSheetLength",      "MeasurementSheetDistance", "MeasurementSheetPerimeter", "MeasurementSheetArea",
    "MeasurementSheetAngle",       "MeasurementSheetRadian",   "MeasurementSheetWidth",     "MeasurementSheetHeight",
    "MeasurementSheetRadius",      "MeasurementSheetDiameter", "MeasurementSheetPosition",  "MeasurementSheetCount",
    "MeasurementSheetEccentricity"};
const char *const statisticsKeys[] = {"StatisticsTotal",
                                      "StatisticsMean",
                                      "StatisticsMinimun",
                                      "StatisticsMaximun",
                                      "StatisticsStandaedDeviation",
                                      "StatisticsSampleStandaedDeviation"};
const char *const commonToolKeys[] = {"commontool"};
const char *const curConfigurationNameKeys[] = {"CurConfigurationName"};
const char *const settingsKeys[] = {"Mode",
                                    "Index",
                                    "Unit",
                                    "CalibrateUnit",
                                    "CalibrateName",
                                    "Resolution",
                                    "MeasureScaleColor",
                                    "MeasureScaleLineWidth",
                                    "MeasureScaleFontSize",
                                    "MeasureScaleFontSize",
                                    "MeasureScaleFontSize",
                                    "SavePath"};
const char *const nosepieceKeys[] = {"nosepieceCount"};
const char *const userInfoKeys[] = {"DeviceName"};

static_assert(std::size(baseKeys) == BaseKey::KeyCount);
static_assert(std::size(cameraKeys) == CameraKey::KeyCount);
static_assert(std::size(snapKeys) == SnapKey::KeyCount);
static_assert(std::size(burstModeKeys) == BurstModeKey::KeyCount);
static_assert(std::size(recordKeys) == RecordKey::KeyCount);
static_assert(std::size(keyBindKeys) == KeyBindKey::KeyCount);
static_assert(std::size(watermaskKeys) == WatermaskKey::KeyCount);
static_assert(std::size(shortcutKeys) + 1 == ShortcutKey::KeyCount);
static_assert(std::size(imgProcessKeys) == ImgProcessKey::KeyCount);
static_assert(std::size(ffcKeys) == FfcKey::KeyCount);
static_assert(std::size(controlInterfaceStateKeys) == ControlInterfaceStateKey::KeyCount);
static_assert(std::size(displayOptionsKeys) == DisplayOptionsKey::KeyCount);
static_assert(std::size(edgeDetectKeys) == EdgeDetectKey::KeyCount);
static_assert(std::size(roiRegionKeys) == RoiRegionKey::KeyCount);
static_assert(std::size(scanRegionKeys) == ScanRegionKey::KeyCount);
static_assert(std::size(rotateKeys) == RotateKey::KeyCount);
static_assert(std::size(measurementSheetKeys) == MeasurementSheetKey::KeyCount);
static_assert(std::size(statisticsKeys) == StatisticsKey::KeyCount);
static_assert(std::size(commonToolKeys) == CommonToolKey::KeyCount);
static_assert(std::size(curConfigurationNameKeys) == CurConfigurationNameKey::KeyCount);
static_assert(std::size(settingsKeys) == SettingsKey::KeyCount);
static_assert(std::size(nosepieceKeys) == NosepieceKey::KeyCount);
static_assert(std::size(userInfoKeys) == UserInfoKey::KeyCount);

struct KeyList
{
    const char *const *texts = nullptr;
    int size = 0;
    int first = 0;
};

template<std::size_t N> constexpr KeyList keyList(const char *const (&texts)[N], int first = 0)
{
    return {texts, int(N), first};
}

enum class Source { Keys, Draw };

struct GroupRow
{
    ConfigGroup group;
    const char *name;
    ConfigFile file;
    KeyList keys;
    Source source = Source::Keys;
};

// One row per group, in the order of ConfigGroup.
const GroupRow groupRows[] = {
    {ConfigGroup::Base, "base", ConfigFile::Config, keyList(baseKeys)},
    {ConfigGroup::Camera, "camera", ConfigFile::Config, keyList(cameraKeys)},
    {ConfigGroup::Snap, "snap", ConfigFile::Config, keyList(snapKeys)},
    {ConfigGroup::BurstMode, "burst_mode", ConfigFile::Config, keyList(burstModeKeys)},
    {ConfigGroup::Record, "record", ConfigFile::Config, keyList(recordKeys)},
    {ConfigGroup::KeyBind, "key_bind", ConfigFile::Config, keyList(keyBindKeys)},
    {ConfigGroup::Watermask, "watermask", ConfigFile::Config, keyList(watermaskKeys)},
    {ConfigGroup::Shortcut, "shortcut", ConfigFile::Config, keyList(shortcutKeys, 1)},
    {ConfigGroup::ImgProcess, "img_process", ConfigFile::Config, keyList(imgProcessKeys)},
    {ConfigGroup::Ffc, "ffc", ConfigFile::Config, keyList(ffcKeys)},
    {ConfigGroup::ControlInterfaceState, "control_interface_state", ConfigFile::Config,
     keyList(controlInterfaceStateKeys)},
    {ConfigGroup::DisplayOptions, "", ConfigFile::Config, keyList(displayOptionsKeys)},
    {ConfigGroup::BiologyDisplayOptions, "biology_display_options", ConfigFile::Config, keyList(displayOptionsKeys)},
    {ConfigGroup::IndustryDisplayOptions, "industry_display_options", ConfigFile::Config, keyList(displayOptionsKeys)},
    {ConfigGroup::EdgeDetect, "edge_detect", ConfigFile::Config, keyList(edgeDetectKeys)},
    {ConfigGroup::RoiRegion, "roiRegion", ConfigFile::Config, keyList(roiRegionKeys)},
    {ConfigGroup::ScanRegion, "scanRegion", ConfigFile::Config, keyList(scanRegionKeys)},
    {ConfigGroup::Rotate, "rotate", ConfigFile::Config, keyList(rotateKeys)},
    {ConfigGroup::MeasurementSheetProperty, "MeasurementSheetProperty", ConfigFile::Config,
     keyList(measurementSheetKeys)},
    {ConfigGroup::StatisticsProperty, "StatisticsProperty", ConfigFile::Config, keyList(statisticsKeys)},
    {ConfigGroup::CommonTool, "CommonTool", ConfigFile::Config, keyList(commonToolKeys)},
    {ConfigGroup::CurConfigurationName, "CurConfigurationName", ConfigFile::Config, keyList(curConfigurationNameKeys)},
    {ConfigGroup::Draw, "draw", ConfigFile::Config, {}, Source::Draw},
    {ConfigGroup::Settings, "settings", ConfigFile::Calibration, keyList(settingsKeys)},
    {ConfigGroup::Nosepiece, "nosepiece", ConfigFile::Calibration, keyList(nosepieceKeys)},
    {ConfigGroup::Calibrate, "calibrate", ConfigFile::Calibration, {}},
    {ConfigGroup::NosepieceCalibrate, "nosepieceCalibrate", ConfigFile::Calibration, {}},
    {ConfigGroup::UserInfo, "UserInfo", ConfigFile::UserInfo, keyList(userInfoKeys)},
};
static_assert(std::size(groupRows) == ConfigGroupCount);

// The "draw" keys, generated from the same list as the DrawProperty enum.
enum class DrawKind { Tool, Mark, Other };

struct DrawKey
{
    DrawProperty id;
    DrawKind kind;
    const char *family; // tool name for Tool and Mark keys
    const char *suffix; // the whole text for Other keys
};

const DrawKey drawKeys[] = {
#define DRAW_TOOL_PROPERTY(T, S) {DrawProperty::T##S, DrawKind::Tool, #T, #S},
#define DRAW_MARK_PROPERTY(T, S) {DrawProperty::DrawMark##T##S, DrawKind::Mark, #T, #S},
#define DRAW_PROPERTY(Name) {DrawProperty::Name, DrawKind::Other, "", #Name},
#include "drawproperties.def"
};

QString drawKeyText(const DrawKey &key)
{
    switch (key.kind) {
    case DrawKind::Tool:
        return QLatin1String(key.family) + QLatin1String(key.suffix);
    case DrawKind::Mark:
        return QLatin1String("DrawMark") + QLatin1String(key.family) + QLatin1String(key.suffix);
    case DrawKind::Other:
        break;
    }
    return QLatin1String(key.suffix);
}

QString displayFolder(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::writableLocation(location) + QLatin1Char('/') + QGuiApplication::applicationDisplayName();
}

const QColor opaqueRed(255, 0, 0, 255);

// Store default of one "draw" key, by the family it belongs to and its suffix.
QVariant drawDefault(const DrawKey &key)
{
    const QLatin1String family(key.family);
    const QLatin1String suffix(key.suffix);
    switch (key.kind) {
    case DrawKind::Tool:
        if (suffix == QLatin1String("StackedClosingLength") || suffix == QLatin1String("ShowCumulativeMode"))
            return false;
        if (suffix == QLatin1String("ShowPaintGuideLine"))
            return 1;
        if (suffix.startsWith(QLatin1String("Show")))
            return true;
        if (suffix == QLatin1String("PointShape"))
            return 2;
        if (suffix == QLatin1String("Color") || suffix == QLatin1String("TextColor"))
            return opaqueRed;
        if (suffix == QLatin1String("Width")) {
            if (family == QLatin1String("Point"))
                return {};
            return family == QLatin1String("SerialNumber") ? 5 : 1;
        }
        if (suffix == QLatin1String("TextSize"))
            return 13;
        if (suffix == QLatin1String("FillColor")) {
            // Only the shapes drawn with two figures start with a see-through fill.
            static const QLatin1String clearFill[] = {QLatin1String("TwoCircle"), QLatin1String("FourPointTwoCircle"),
                                                      QLatin1String("LineCircle"), QLatin1String("CircleCenterLine")};
            for (const QLatin1String &name : clearFill) {
                if (family == name)
                    return QColor(0, 0, 0, 0);
            }
            return {};
        }
        break;
    case DrawKind::Mark:
        if (suffix == QLatin1String("Color"))
            return opaqueRed;
        if (suffix == QLatin1String("Width"))
            return 1;
        break;
    case DrawKind::Other:
        switch (key.id) {
        case DrawProperty::DrawAuxiliaryMarkerColor:
        case DrawProperty::DrawGridlinesColor:
        case DrawProperty::LText_Color:
        case DrawProperty::LLine_Color:
            return opaqueRed;
        case DrawProperty::DrawAuxiliaryMarkerWidth:
        case DrawProperty::LLine_Width:
        case DrawProperty::SaveType:
            return 1;
        case DrawProperty::MeasureScaleTextSize:
        case DrawProperty::TextSize:
        case DrawProperty::LText_Width:
            return 13;
        case DrawProperty::MeasureScaleFuseToPic:
            return true;
        case DrawProperty::DrawGridlinesHLines:
        case DrawProperty::DrawGridlinesVLines:
        case DrawProperty::DefaultLineWidth:
            return 2;
        case DrawProperty::DefaultTextSize:
            return 16;
        case DrawProperty::QuickSavePath:
            return displayFolder(QStandardPaths::PicturesLocation);
        default:
            break;
        }
        break;
    }
    if (suffix.endsWith(QLatin1String("Style")))
        return 1;
    return {};
}

QMap<int, QVariant> displayOptionDefaults(bool industry)
{
    QMap<int, QVariant> defaults;
    for (int key = 0; key < DisplayOptionsKey::KeyCount; ++key)
        defaults.insert(key, true);
    using namespace DisplayOptionsKey;
    for (int key : {EnableSwapMainInterfaceControls, EnableLabelPagePos, EnableOptionNosepiece})
        defaults.insert(key, false);
    if (industry) {
        for (int key : {EnableOptionSlowShutter, EnableOptionBlackBalance, EnableOptionFlatFieldCorrection,
                        EnableOptionColorComposite})
            defaults.insert(key, false);
    }
    return defaults;
}

QMap<int, QVariant> baseDefaults()
{
    using namespace BaseKey;
    const QString pictures = displayFolder(QStandardPaths::PicturesLocation);
    return {{UpgradeFilePath, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation)},
            {OpenedImgPath, pictures},
            {SaveImgPath, pictures},
            {SaveAsImgPath, pictures},
            {OpenedVideoPath, displayFolder(QStandardPaths::MoviesLocation)},
            {StayUnlocked, false},
            {ExportFilePath, displayFolder(QStandardPaths::DocumentsLocation)},
            {BatchExportToAFile, false},
            {PictureCorrections, QStringLiteral("auto")}};
}

std::array<ConfigGroupInfo, ConfigGroupCount> buildGroupInfos()
{
    std::array<ConfigGroupInfo, ConfigGroupCount> infos;
    for (int i = 0; i < ConfigGroupCount; ++i) {
        const GroupRow &row = groupRows[i];
        Q_ASSERT(int(row.group) == i);
        ConfigGroupInfo &info = infos[i];
        info.group = row.group;
        info.name = QLatin1String(row.name);
        info.file = row.file;
        if (row.source == Source::Draw) {
            for (const DrawKey &key : drawKeys)
                info.keys.insert(int(key.id), drawKeyText(key));
        } else {
            for (int k = 0; k < row.keys.size; ++k)
                info.keys.insert(row.keys.first + k, QLatin1String(row.keys.texts[k]));
        }
    }
    return infos;
}

} // namespace

const ConfigGroupInfo &configGroupInfo(ConfigGroup group)
{
    static const std::array<ConfigGroupInfo, ConfigGroupCount> infos = buildGroupInfos();
    return infos[std::size_t(group)];
}

QString configKeyText(ConfigGroup group, int key)
{
    return configGroupInfo(group).keys.value(key);
}

QString drawPropertyName(DrawProperty property)
{
    return configKeyText(ConfigGroup::Draw, int(property));
}

QMap<int, QVariant> configDefaults(ConfigGroup group)
{
    switch (group) {
    case ConfigGroup::Base:
        return baseDefaults();
    case ConfigGroup::ControlInterfaceState: {
        QMap<int, QVariant> defaults;
        for (int key = 0; key < ControlInterfaceStateKey::KeyCount; ++key)
            defaults.insert(key, false);
        return defaults;
    }
    case ConfigGroup::BiologyDisplayOptions:
        return displayOptionDefaults(false);
    case ConfigGroup::IndustryDisplayOptions:
        return displayOptionDefaults(true);
    case ConfigGroup::Draw: {
        QMap<int, QVariant> defaults;
        for (const DrawKey &key : drawKeys) {
            const QVariant value = drawDefault(key);
            if (value.isValid())
                defaults.insert(int(key.id), value);
        }
        return defaults;
    }
    default:
        break;
    }
    return {};
}
