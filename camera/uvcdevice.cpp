#include "uvcdevice.h"

#include "frameconversion.h"
#include "imageprocess.h"
#include "printabletext.h"
#include "usbfeatures.h"
#include "usbmodeltable.h"

#include <QDebug>
#include <QEventLoop>
#include <QFile>
#include <QMutexLocker>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cstring>

namespace {

// SDK stream format codes by program format code (0 MJPEG, 1 NV12, 2 YUY2, 3 H264).
constexpr int kSdkFormats[] = {LMCAM_CAPTURE_FORMAT_MJPEG, LMCAM_CAPTURE_FORMAT_NV12, LMCAM_CAPTURE_FORMAT_YUY2,
                               LMCAM_CAPTURE_FORMAT_H264};

int programFormat(int sdkCode)
{
    for (int i = 0; i < 4; ++i) {
        if (kSdkFormats[i] == sdkCode)
            return i;
    }
    return -1;
}

// Pause between photo frame reads and the number of tries.
constexpr int kPhotoReadPauseMs = 10;
constexpr int kPhotoReadTries = 100;

} // namespace

UvcDevice::UvcDevice(QObject *parent) : BaseCamera(parent)
{
    initDefaultInfo();
}

UvcDevice::~UvcDevice()
{
    if (m_handle)
        close();
}

int UvcDevice::sdkFormatCode(int format)
{
    return format >= 0 && format < 4 ? kSdkFormats[format] : LMCAM_CAPTURE_FORMAT_MJPEG;
}

// ---- SDK calls ---------------------------------------------------------------------------

bool UvcDevice::applyValue(const char *name, int &cached, int value, SdkSet set)
{
    if (!m_handle || cached == value)
        return false;
    qInfo().noquote() << QStringLiteral("%1:").arg(QLatin1String(name)) << value;
    cached = value;
    return set(m_handle, value) == LMCAM_OK;
}

bool UvcDevice::readValue(int &cached, SdkGet get)
{
    int32_t value = 0;
    if (!m_handle || get(m_handle, &value) != LMCAM_OK)
        return false;
    cached = value;
    return true;
}

bool UvcDevice::readFlag(bool &cached, SdkGet get)
{
    int value = cached ? 1 : 0;
    const bool ok = readValue(value, get);
    cached = value != 0;
    return ok;
}

bool UvcDevice::applyFlag(const char *name, bool &cached, bool enable, SdkSet set)
{
    int value = cached ? 1 : 0;
    const bool ok = applyValue(name, value, enable ? 1 : 0, set);
    cached = value != 0;
    return ok;
}

void UvcDevice::readRange(CameraRange &range, SdkRange get)
{
    int32_t min = 0, max = 0, def = 0, step = 0;
    range.supported = m_handle && get(m_handle, &min, &max, &def, &step) == LMCAM_OK;
    if (range.supported) {
        range.min = min;
        range.max = max;
        range.def = def;
    }
}

bool UvcDevice::applyContext(const lmcam_capture_context &ctx)
{
    return m_handle && lmcam_set_capture_context(m_handle, &ctx) == LMCAM_OK;
}

bool UvcDevice::hasFeature(quint32 feature) const
{
    return (usbModelFeatures(this) & feature) != 0;
}

FocusMode UvcDevice::focusModeFromSdk(int32_t mode)
{
    return mode == LMCAM_MODE_AUTO ? FocusAuto : mode == LMCAM_FOCUS_MODE_ONE_SHOT ? FocusOnce : FocusManual;
}

// ---- Device and stream -------------------------------------------------------------------

CameraOpenInfo UvcDevice::openInfo()
{
    return BaseCamera::openInfo();
}

void UvcDevice::setResolutionInfo(const CameraOpenInfo &info)
{
    BaseCamera::setResolutionInfo(info);
}

void UvcDevice::waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

VideoFrame UvcDevice::finishFrame(const VideoFrame &frame)
{
    return frame;
}

bool UvcDevice::isStreamAllowed()
{
    if (!hasFeature(UsbNeedsUsb3) || m_usbSpeed == 3)
        return true;
    qWarning().noquote() << QStringLiteral("Camera needs a USB 3 link, usbSpeed=%1, cameraName=%2")
                                .arg(m_usbSpeed)
                                .arg(printableText(m_uniqueName));
    return false;
}

void UvcDevice::initDefaultInfo()
{
    m_info.current = m_resolution;
    m_info.photo = m_resolution;
    m_info.wbRed.def = 628;
    m_info.wbGreen.def = 256;
    m_info.wbBlue.def = 421;
}

bool UvcDevice::open(const CameraOpenInfo &openInfo)
{
    m_uniqueName = openInfo.cameraResolution.devicePath;
    if (m_handle)
        close();
    lmcam_handle handle = 0;
    if (lmcam_open(m_uniqueName.toUtf8().constData(), &handle) != LMCAM_OK || !handle) {
        qWarning() << "Uvc camera open failed!";
        return false;
    }
    m_handle = handle;
    m_usbSpeed = openInfo.usbSpeed;
    m_info.productId = productIdFromDevicePath(m_uniqueName);
    return true;
}

bool UvcDevice::start(const CameraOpenInfo &openInfo, CameraCloseReason &error)
{
    m_resolution = openInfo.cameraResolution;
    m_resolution.devicePath = m_uniqueName;
    if (!isOpenAllowed()) {
        error = UnsupportedSystem;
        return false;
    }
    if (!isStreamAllowed()) {
        error = UsbSpeedTooLow;
        return false;
    }
    buildCaptureContext();
    if (!applyContext(m_ctx)) {
        qWarning() << "Uvc camera set capture context failed!";
        error = OpenFailed;
        return false;
    }
    m_info.current = m_resolution;
    emit previewReslutionChanged(m_resolution.resolution);
    qInfo().noquote() << "UvcCamera open " + m_uniqueName;
    return true;
}

bool UvcDevice::changeResolution(const CameraOpenInfo &openInfo, CameraCloseReason &error)
{
    const CameraResolution wanted = openInfo.cameraResolution;
    const bool changed = wanted.width != m_resolution.width || wanted.height != m_resolution.height ||
                         wanted.resolution != m_resolution.resolution;
    CameraResolution previous = m_resolution;
    m_resolution = wanted;
    m_resolution.devicePath = m_uniqueName;
    buildCaptureContext();
    if (!applyContext(m_ctx)) {
        qWarning() << "Uvc camera set capture context failed!";
        error = OpenFailed;
        return false;
    }
    if (changed) {
        const int w = wanted.width;
        const int h = wanted.height;
        // The metering regions follow the whole new picture unless the operator drew one.
        if (m_info.exposureRegionSupported && !m_info.expRegion.enable) {
            const bool display = m_info.expRegion.display;
            QTimer::singleShot(0, this, [this, display, w, h] { onSetExpRegion(false, display, 0, 0, w, h); });
        }
        if (m_info.wbRegionSupported && !m_info.wbRegion.enable) {
            const bool display = m_info.wbRegion.display;
            QTimer::singleShot(0, this, [this, display, w, h] { onSetWBRegion(false, display, 0, 0, w, h); });
        }
        {
            QMutexLocker locker(&m_frameMutex);
            m_roi = CameraControlRegion();
        }
        m_info.current = m_resolution;
        emit previewReslutionChanged(m_resolution.resolution);
    }
    Q_UNUSED(previous)
    return true;
}

bool UvcDevice::close()
{
    if (!m_handle)
        return true;
    if (lmcam_close(m_handle) != LMCAM_OK) {
        qWarning() << "Uvc camera close failed!";
        return false;
    }
    m_handle = 0;
    return true;
}

void UvcDevice::buildCaptureContext()
{
    std::memset(&m_ctx, 0, sizeof(m_ctx));
    const QByteArray name = m_resolution.devicePath.toLatin1();
    std::strncpy(m_ctx.device_name, name.constData(), LMCAM_NAME_SIZE - 1);
    m_ctx.width = m_resolution.width;
    m_ctx.height = m_resolution.height;
    m_ctx.format = sdkFormatCode(m_resolution.format);
    m_ctx.mode = LMCAM_CAPTURE_MODE_STREAM;
    m_ctx.frame_rate = 0;
    qInfo().noquote() << QStringLiteral("UVC capture ctx, res=%1x%2, format=%3, fps=%4")
                             .arg(m_ctx.width)
                             .arg(m_ctx.height)
                             .arg(m_ctx.format)
                             .arg(m_ctx.frame_rate);
}

void UvcDevice::loadCaptureCapabilities()
{
    if (!m_handle)
        return;
    m_info.formats.clear();
    m_info.resolutions.clear();
    lmcam_capture_capabilities caps;
    std::memset(&caps, 0, sizeof(caps));
    if (lmcam_get_capture_capabilities(m_handle, &caps) != LMCAM_OK)
        return;
    const int count = qBound(0, int(caps.count), LMCAM_MAX_CAPABILITIES);
    for (int i = 0; i < count; ++i) {
        const lmcam_capability &entry = caps.entries[i];
        const int format = programFormat(entry.format);
        if (format < 0)
            continue;
        if (!m_info.formats.contains(format)) {
            m_info.formats.append(format);
            std::sort(m_info.formats.begin(), m_info.formats.end());
        }
        CameraResolution resolution;
        resolution.devicePath = m_uniqueName;
        resolution.width = entry.width;
        resolution.height = entry.height;
        resolution.resolution = CameraResolution::text(entry.width, entry.height);
        resolution.format = format;
        insertResolution(m_info.resolutions[format], resolution);
    }
}

bool UvcDevice::initCameraInfo(CameraInfo &info)
{
    if (!m_handle)
        return false;
    int32_t version = 0;
    if (lmcam_get_version(m_handle, &version) == LMCAM_OK)
        info.version = version;
    info.productId = productIdFromDevicePath(m_uniqueName);
    info.rangesFromDevice = m_rangeVersion == 0 || quint32(info.version) > m_rangeVersion;
    if (info.rangesFromDevice)
        loadCaptureCapabilities();
    if (m_suffixVersion == 0 || quint32(info.version) >= m_suffixVersion) {
        char suffix[LMCAM_NAME_SIZE] = {};
        if (lmcam_get_model_suffix(m_handle, suffix, sizeof(suffix)) == LMCAM_OK)
            info.modelSuffix = QString::fromUtf8(suffix);
    }
    info.formats = m_info.formats;
    info.resolutions = m_info.resolutions;
    keepStreamOffered(info);
    info.exposureRegionSupported = true;
    info.wbRegionSupported = true;
    info.roiSupported = true;

    if (info.rangesFromDevice) {
        struct RangeRead
        {
            CameraRange CameraInfo::*range;
            SdkRange rangeFn;
            SdkGet getFn;
        };
        const RangeRead reads[] = {
            {&CameraInfo::focus, lmcam_get_focus_range, lmcam_get_focus},
            {&CameraInfo::expComp, lmcam_get_exposure_compensation_range, lmcam_get_exposure_compensation},
            {&CameraInfo::expTime, lmcam_get_exposure_time_range, lmcam_get_exposure_time},
            {&CameraInfo::longExpTime, lmcam_get_long_exposure_time_range, lmcam_get_long_exposure_time},
            {&CameraInfo::expGain, lmcam_get_exposure_gain_range, lmcam_get_exposure_gain},
            {&CameraInfo::wbTemperature, lmcam_get_white_balance_temperature_range,
             lmcam_get_white_balance_temperature},
            {&CameraInfo::wbRed, lmcam_get_white_balance_component_red_range, lmcam_get_white_balance_component_red},
            {&CameraInfo::wbGreen, lmcam_get_white_balance_component_green_range,
             lmcam_get_white_balance_component_green},
            {&CameraInfo::wbBlue, lmcam_get_white_balance_component_blue_range, lmcam_get_white_balance_component_blue},
            {&CameraInfo::hue, lmcam_get_hue_range, lmcam_get_hue},
            {&CameraInfo::saturation, lmcam_get_saturation_range, lmcam_get_saturation},
            {&CameraInfo::contrast, lmcam_get_contrast_range, lmcam_get_contrast},
            {&CameraInfo::sharpness, lmcam_get_sharpness_range, lmcam_get_sharpness},
            {&CameraInfo::gamma, lmcam_get_gamma_range, lmcam_get_gamma},
            {&CameraInfo::opticalZoom, lmcam_get_ozoom_range, lmcam_get_zoom},
            {&CameraInfo::digitalZoom, lmcam_get_dzoom_range, lmcam_get_zoom},
        };
        for (const RangeRead &read : reads) {
            CameraRange &range = info.*(read.range);
            readRange(range, read.rangeFn);
            int32_t value = 0;
            if (range.supported && read.getFn(m_handle, &value) == LMCAM_OK)
                range.value = value;
        }
        lmcam_led_info led;
        std::memset(&led, 0, sizeof(led));
        info.led.supported = lmcam_get_led_info(m_handle, &led) == LMCAM_OK;
        if (info.led.supported) {
            info.led.partCount = led.part_count;
            info.led.minLevel = led.min_level;
            info.led.maxLevel = led.max_level;
            info.led.defaultLevel = led.default_level;
            for (int i = 0; i < LMCAM_LED_PART_COUNT; ++i)
                info.led.levels[i] = led.levels[i];
        }
    }

    // What the model's family does not have stays hidden, whatever the device answers.
    const quint32 features = usbModelFeatures(this);
    // Without ranges from the device the family's motor counts.
    info.focus.supported =
        (features & (UsbFocusMode | UsbFocusStep)) && (info.focus.supported || !info.rangesFromDevice);
    if (!(features & UsbZoom)) {
        info.opticalZoom.supported = false;
        info.digitalZoom.supported = false;
    }
    if (!(features & UsbLongExposure))
        info.longExpTime.supported = false;
    if (!(features & UsbLed))
        info.led.supported = false;
    info.focusRegionSupported = features & (UsbFocusRegionGrid | UsbFocusRegionRect);
    info.drc.supported = features & UsbDrc;
    if (info.drc.supported) {
        // The device has no range call for DRC: its strength runs 0..100, off by default.
        info.drc.min = 0;
        info.drc.max = 100;
        info.drc.def = 0;
        lmcam_get_drc(m_handle, &info.drc.value);
    }

    // Modes and flags, so that every setter compares with what the device holds.
    int32_t mode = 0;
    info.expModeSupported = lmcam_get_exposure_mode(m_handle, &mode) == LMCAM_OK;
    if (info.expModeSupported)
        info.expMode = mode == LMCAM_MODE_AUTO ? ExposureAuto : ExposureManual;
    info.focusModeSupported = (features & UsbFocusMode) && lmcam_get_focus_mode(m_handle, &mode) == LMCAM_OK;
    if (info.focusModeSupported)
        info.focusMode = focusModeFromSdk(mode);
    info.wbModeSupported = lmcam_get_white_balance_mode(m_handle, &mode) == LMCAM_OK;
    if (info.wbModeSupported)
        info.wbMode = mode == LMCAM_MODE_AUTO ? WbAuto : WbManual;
    const struct
    {
        bool CameraInfo::*flag;
        SdkGet getFn;
        bool CameraInfo::*supported; // the device answered the read
    } flags[] = {{&CameraInfo::mirror, lmcam_get_mirror, &CameraInfo::mirrorSupported},
                 {&CameraInfo::flip, lmcam_get_flip, nullptr},
                 {&CameraInfo::flicker, lmcam_get_power_line_frequency, &CameraInfo::flickerSupported},
                 {&CameraInfo::ldci, lmcam_get_ldci, &CameraInfo::ldciSupported},
                 {&CameraInfo::encrypt, lmcam_get_encrypt, nullptr}};
    for (const auto &flag : flags) {
        int32_t value = 0;
        const bool read = flag.getFn(m_handle, &value) == LMCAM_OK;
        if (read)
            info.*(flag.flag) = value != 0;
        if (flag.supported)
            info.*(flag.supported) = read;
    }
    // Monochrome is saturation 0; the rest are the family's.
    info.monochromeSupported = info.saturation.supported || !info.rangesFromDevice;
    info.cacSupported = features & UsbCac;
    info.defogSupported = features & UsbDefog;
    info.displayModeSupported = features & UsbDisplayMode;
    info.gammaModeSupported = features & UsbGammaCurve;
    info.zoomSpeedSupported = features & UsbZoomSpeed;
    // The family's own switches and modes, as the device holds them now.
    const struct
    {
        bool CameraInfo::*supported;
        SdkGet getFn;
        void (*store)(CameraInfo &info, int32_t value);
    } held[] = {
        {&CameraInfo::cacSupported, lmcam_get_cac, [](CameraInfo &i, int32_t v) { i.cac = v != 0; }},
        {&CameraInfo::defogSupported, lmcam_get_defog, [](CameraInfo &i, int32_t v) { i.defog = v != 0; }},
        {&CameraInfo::zoomSpeedSupported, lmcam_get_zoom_speed, [](CameraInfo &i, int32_t v) { i.zoomSpeed = v; }},
        {&CameraInfo::displayModeSupported, lmcam_get_scene,
         [](CameraInfo &i, int32_t v) { i.displayMode = DisplayMode(v); }},
        {&CameraInfo::gammaModeSupported, lmcam_get_gamma_mode,
         [](CameraInfo &i, int32_t v) { i.gammaMode = GammaMode(v); }},
    };
    for (const auto &h : held) {
        int32_t value = 0;
        if (info.*(h.supported) && h.getFn(m_handle, &value) == LMCAM_OK)
            h.store(info, value);
    }
    return true;
}

// ---- Frames ------------------------------------------------------------------------------

VideoFrame UvcDevice::readFrame()
{
    return readFrameWith([this] {
        if (!m_handle)
            return VideoFrame();
        lmcam_frame frame;
        std::memset(&frame, 0, sizeof(frame));
        if (lmcam_read_frame(m_handle, &frame) != LMCAM_OK)
            return VideoFrame();
        VideoFrame out;
        {
            QMutexLocker locker(&m_frameMutex);
            out = rotateAndKeepLocked(
                finishFrame(m_roi.enable ? makeVideoFrame(&frame, m_roi.x, m_roi.y, m_roi.width, m_roi.height)
                                         : makeVideoFrame(&frame)));
        }
        lmcam_free_frame(&frame);
        return out;
    });
}

void UvcDevice::servePhotoRequest()
{
    PhotoRequest request;
    if (!takePhotoRequest(request))
        return;
    if (request.width == 0 && request.height <= 0)
        return;
    if (request.width == m_resolution.width && request.height == m_resolution.height) {
        VideoFrame last;
        {
            QMutexLocker locker(&m_frameMutex);
            last = m_lastFrame;
        }
        emit sendVideoFrameForTakingPhoto(m_imageProcess->process(last));
        return;
    }
    lmcam_capture_context photoCtx = m_ctx;
    photoCtx.width = request.width;
    photoCtx.height = request.height;
    qInfo().noquote() << QStringLiteral("Photo capture ctx, res=%1x%2").arg(request.width).arg(request.height);
    if (!applyContext(photoCtx)) {
        emit sendVideoFrameForTakingPhoto(VideoFrame());
        return;
    }
    VideoFrame photo;
    for (int i = 0; i < kPhotoReadTries && photo.isNull(); ++i) {
        lmcam_frame frame;
        std::memset(&frame, 0, sizeof(frame));
        if (lmcam_read_frame(m_handle, &frame) == LMCAM_OK) {
            if (frame.width > 0 && frame.height > 0)
                photo = finishFrame(makeVideoFrame(&frame));
            lmcam_free_frame(&frame);
        }
        if (photo.isNull())
            QThread::msleep(kPhotoReadPauseMs);
    }
    if (!photo.isNull())
        emit sendVideoFrameForTakingPhoto(photo);
    applyContext(m_ctx);
}

// ---- Firmware ----------------------------------------------------------------------------

bool UvcDevice::checkUpgradeFile(const QString &path)
{
    const UsbModelEntry *model = findUsbModel(m_info.productId);
    return checkUpgradeFileFor(path, model ? model->upgradeKey : nullptr);
}

bool UvcDevice::checkUpgradeFileFor(const QString &path, const char *upgradeKey)
{
    if (!path.endsWith(QLatin1String(".update"))) {
        qWarning() << "Invalid upgrade file name!";
        return false;
    }
    if (!upgradeKey) {
        qWarning() << "Current camera is not support upgrade!";
        return false;
    }
    if (!usbFirmwareFileFits(path, QLatin1String(upgradeKey), m_info.modelSuffix)) {
        qWarning() << "The upgrade file is not for current camera!";
        return false;
    }
    return true;
}

void UvcDevice::onUpgrade(QString filePath)
{
    // Models that take firmware over their serial interface get the serial upgrader; until
    // it is available the request fails at once.
    qWarning().noquote() << "Serial port upgrade is not available:" << filePath;
    emit sendUpgradeStatus(UpgradeFailed, 0);
}

void UvcDevice::progressCallback(int32_t percent, void *context)
{
    auto *camera = static_cast<UvcDevice *>(context);
    if (percent < 0)
        emit camera->sendUpgradeStatus(UpgradeFailed, percent);
    else if (percent >= 100)
        emit camera->sendUpgradeStatus(UpgradeSucceeded, percent);
    else
        emit camera->sendUpgradeStatus(Upgrading, percent);
}

bool UvcDevice::upgradeThroughSdk(const QString &filePath)
{
    if (!m_handle)
        return false;
    setFrozen(true);
    lmcam_capture_context ctx = m_ctx;
    ctx.mode = LMCAM_CAPTURE_MODE_UPGRADE;
    applyContext(ctx);
    const int status =
        lmcam_upgrade(m_handle, QFile::encodeName(filePath).constData(), &UvcDevice::progressCallback, this);
    if (status != LMCAM_OK)
        emit sendUpgradeStatus(UpgradeFailed, -1);
    setFrozen(false);
    return status == LMCAM_OK;
}

void UvcDevice::onGetUpgradeStatus()
{
    qInfo() << "Uvc camera does not support to get upgrade status!";
}
