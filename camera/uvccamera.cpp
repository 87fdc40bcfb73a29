// The features that only some USB models have: focus motor, focus regions, zoom, ring light,
// DRC, CAC, defog, focus curve, gain unit, long exposure, scene and gamma curve. Each slot
// serves the models whose family switches the feature on (see usbfeatures.h) and otherwise
// keeps the "not support" answer of BaseCamera.
#include "uvccamera.h"

#include "usbfeatures.h"

#include <QDebug>
#include <QPointF>
#include <algorithm>
#include <cstring>

UvcCamera::UvcCamera(QObject *parent) : UvcControls(parent) {}

// ---- Focus -------------------------------------------------------------------------------

void UvcCamera::onSetFocusMode(FocusMode mode, bool sendValue)
{
    if (!hasFeature(UsbFocusMode))
        return BaseCamera::onSetFocusMode(mode, sendValue);
    if (!m_handle || m_info.focusMode == mode)
        return;
    qInfo() << "onSetFocusMode:" << int(mode);
    m_info.focusMode = mode;
    if (mode == FocusAuto) {
        lmcam_set_focus_mode(m_handle, LMCAM_MODE_AUTO);
    } else if (mode == FocusManual) {
        lmcam_set_focus_mode(m_handle, LMCAM_MODE_MANUAL);
        readValue(m_info.focus.value, lmcam_get_focus);
        if (sendValue)
            emit sendFocusValue(m_info.focus.value);
    } else if (mode == FocusOnce) {
        lmcam_set_focus_mode(m_handle, LMCAM_FOCUS_MODE_ONE_SHOT);
    }
}

void UvcCamera::onSetFocusValue(int value)
{
    if (!hasFeature(UsbFocusMode))
        return BaseCamera::onSetFocusValue(value);
    if (applyValue("onSetFocusValue", m_info.focus.value, value, lmcam_set_focus))
        emit sendFocusValue(value);
}

void UvcCamera::onSetFocusOnce()
{
    if (!hasFeature(UsbFocusOnce))
        return BaseCamera::onSetFocusOnce();
    if (!m_handle)
        return;
    qInfo() << "onSetFocusOnce";
    // The device focuses once and then holds the motor where the picture was sharpest.
    m_info.focusMode = FocusOnce;
    lmcam_set_focus_mode(m_handle, LMCAM_FOCUS_MODE_ONE_SHOT);
}

void UvcCamera::stepFocus(int direction)
{
    if (!m_handle)
        return;
    qInfo() << (direction > 0 ? "onSetFocusAdd" : "onSetFocusSub");
    if ((direction > 0 ? lmcam_increase_focus(m_handle) : lmcam_decrease_focus(m_handle)) == LMCAM_OK &&
        readValue(m_info.focus.value, lmcam_get_focus))
        emit sendFocusValue(m_info.focus.value);
}

void UvcCamera::onSetFocusAdd()
{
    if (!hasFeature(UsbFocusStep))
        return BaseCamera::onSetFocusAdd();
    stepFocus(1);
}

void UvcCamera::onSetFocusSub()
{
    if (!hasFeature(UsbFocusStep))
        return BaseCamera::onSetFocusSub();
    stepFocus(-1);
}

void UvcCamera::onSetMotorCenter()
{
    if (!hasFeature(UsbMotorCenter))
        return BaseCamera::onSetMotorCenter();
    if (!m_handle)
        return;
    // The middle of the focus travel: the motor's reference position.
    const int centre = (m_info.focus.min + m_info.focus.max) / 2;
    qInfo() << "onSetMotorCenter:" << centre;
    onSetFocusMode(FocusManual, false);
    emit sendFocusMode(FocusManual);
    m_info.focus.value = centre;
    if (lmcam_set_focus(m_handle, centre) == LMCAM_OK)
        emit sendFocusValue(centre);
}

void UvcCamera::onCalibrateCurve()
{
    if (!hasFeature(UsbFocusCurve))
        return BaseCamera::onCalibrateCurve();
    if (!m_handle)
        return;
    qInfo() << "onCalibrateCurve";
    if (lmcam_focus_cure_test(m_handle) != LMCAM_OK)
        qWarning() << "Focus curve calibration failed!";
}

void UvcCamera::onValidateCurve()
{
    if (!hasFeature(UsbFocusCurve))
        return BaseCamera::onValidateCurve();
    if (!m_handle)
        return;
    const bool valid = lmcam_focus_cure_check(m_handle) == LMCAM_OK;
    qInfo() << "onValidateCurve, valid=" << valid;
}

void UvcCamera::onGetFocusMode()
{
    if (!hasFeature(UsbFocusMode))
        return BaseCamera::onGetFocusMode();
    int32_t mode = 0;
    if (!m_handle || lmcam_get_focus_mode(m_handle, &mode) != LMCAM_OK)
        return;
    m_info.focusMode = focusModeFromSdk(mode);
    emit sendFocusMode(m_info.focusMode);
}

void UvcCamera::onGetFocusValue()
{
    if (!hasFeature(UsbFocusMode | UsbFocusStep))
        return BaseCamera::onGetFocusValue();
    if (readValue(m_info.focus.value, lmcam_get_focus))
        emit sendFocusValue(m_info.focus.value);
}

void UvcCamera::onGetFocusState()
{
    if (!hasFeature(UsbFocusState))
        return BaseCamera::onGetFocusState();
    int32_t focusing = 0;
    if (m_handle && lmcam_get_focus_state(m_handle, &focusing) == LMCAM_OK)
        emit sendFocusState(focusing != 0);
}

// ---- Focus regions -------------------------------------------------------------------------

bool UvcCamera::usesFlaggedFocusCell() const
{
    return m_focusRegionVersion == 0 || quint32(m_info.version) >= m_focusRegionVersion;
}

void UvcCamera::applyFocusCell()
{
    if (!m_handle)
        return;
    const lmcam_point point{m_info.focusRegionX, m_info.focusRegionY};
    if (usesFlaggedFocusCell()) {
        const lmcam_focus_region_v2 region{m_info.focusRegionEnable ? 1 : 0, point};
        lmcam_set_focus_region_v2(m_handle, &region);
    } else if (m_info.focusRegionEnable) {
        // The first form has no switch: the cell is only sent while the region is on.
        lmcam_set_focus_region_v1(m_handle, &point);
    }
}

void UvcCamera::onSetFocusRegionStatus(bool enable)
{
    if (!hasFeature(UsbFocusRegionGrid)) {
        qInfo() << "Uvc camera does not support to set focus region status!";
        return;
    }
    if (m_info.focusRegionEnable == enable)
        return;
    qInfo() << "onSetFocusRegionStatus:" << enable;
    m_info.focusRegionEnable = enable;
    applyFocusCell();
    emit sendFocusRegionStatus(enable);
}

void UvcCamera::onSetFocusRegion(bool display, int mode, int x, int y)
{
    if (!hasFeature(UsbFocusRegionGrid))
        return BaseCamera::onSetFocusRegion(display, mode, x, y);
    qInfo().noquote() << QStringLiteral("onSetFocusRegion: mode=%1, x=%2, y=%3").arg(mode).arg(x).arg(y);
    m_info.focusRegionMode = mode;
    m_info.focusRegionX = x;
    m_info.focusRegionY = y;
    applyFocusCell();
}

void UvcCamera::applyFocusRect(const CameraControlRegion &region)
{
    if (!m_handle)
        return;
    m_info.focusRegionEnable = region.enable;
    m_info.focusRegionV2 = QRect(region.x, region.y, region.width, region.height);
    const lmcam_focus_region_v3 sdkRegion{region.enable ? 1 : 0, {region.x, region.y, region.width, region.height}};
    lmcam_set_focus_region_v3(m_handle, &sdkRegion);
}

void UvcCamera::onSetFocusRegionV2(CameraControlRegion region)
{
    if (!hasFeature(UsbFocusRegionRect))
        return BaseCamera::onSetFocusRegionV2(region);
    qInfo().noquote() << QStringLiteral("onSetFocusRegionV2: enable=%1, x=%2, y=%3, w=%4, h=%5")
                             .arg(region.enable)
                             .arg(region.x)
                             .arg(region.y)
                             .arg(region.width)
                             .arg(region.height);
    applyFocusRect(region);
}

void UvcCamera::onGetFocusRegionStatus()
{
    if (!hasFeature(UsbFocusRegionGrid | UsbFocusRegionRect))
        return BaseCamera::onGetFocusRegionStatus();
    emit sendFocusRegionStatus(m_info.focusRegionEnable);
}

void UvcCamera::onGetFocusRegion()
{
    if (!hasFeature(UsbFocusRegionGrid))
        return BaseCamera::onGetFocusRegion();
    if (m_handle && usesFlaggedFocusCell()) {
        lmcam_focus_region_v2 region;
        std::memset(&region, 0, sizeof(region));
        if (lmcam_get_focus_region_v2(m_handle, &region) == LMCAM_OK) {
            m_info.focusRegionEnable = region.enable != 0;
            m_info.focusRegionX = region.point.x;
            m_info.focusRegionY = region.point.y;
        }
    } else if (m_handle) {
        lmcam_point point{0, 0};
        if (lmcam_get_focus_region_v1(m_handle, &point) == LMCAM_OK) {
            m_info.focusRegionX = point.x;
            m_info.focusRegionY = point.y;
        }
    }
    emit sendFocusRegion(m_info.focusRegionMode, m_info.focusRegionX, m_info.focusRegionY);
}

void UvcCamera::onGetFocusRegionV2()
{
    if (!hasFeature(UsbFocusRegionRect))
        return BaseCamera::onGetFocusRegionV2();
    lmcam_focus_region_v3 region;
    std::memset(&region, 0, sizeof(region));
    if (m_handle && lmcam_get_focus_region_v3(m_handle, &region) == LMCAM_OK) {
        m_info.focusRegionEnable = region.enable != 0;
        m_info.focusRegionV2 = QRect(region.rect.x, region.rect.y, region.rect.width, region.rect.height);
    }
    const QRect r = m_info.focusRegionV2;
    emit sendFocusRegionV2(m_info.focusRegionEnable, r.x(), r.y(), r.width(), r.height());
}

// ---- Zoom --------------------------------------------------------------------------------

// The device has one zoom position: the optical range first, the digital range beyond it.
void UvcCamera::onSetZoomValue(int value)
{
    if (!hasFeature(UsbZoom))
        return BaseCamera::onSetZoomValue(value);
    if (applyValue("onSetZoomValue", m_info.opticalZoom.value, value, lmcam_set_zoom))
        emit sendZoomValue(value);
}

void UvcCamera::onSetDZoomValue(int value)
{
    if (!hasFeature(UsbZoom))
        return BaseCamera::onSetDZoomValue(value);
    if (applyValue("onSetDZoomValue", m_info.digitalZoom.value, value, lmcam_set_zoom))
        emit sendDZoomValue(value);
}

void UvcCamera::onSetZoomRelativeValue(int value)
{
    if (!hasFeature(UsbZoom))
        return BaseCamera::onSetZoomRelativeValue(value);
    if (!m_handle)
        return;
    qInfo() << "onSetZoomRelativeValue:" << value;
    lmcam_set_zoom_relative(m_handle, value);
}

void UvcCamera::onGetZoomValue()
{
    if (!hasFeature(UsbZoom))
        return BaseCamera::onGetZoomValue();
    int zoom = 0;
    if (!readValue(zoom, lmcam_get_zoom))
        return;
    m_info.opticalZoom.value = std::min(zoom, m_info.opticalZoom.max);
    emit sendZoomValue(m_info.opticalZoom.value);
}

void UvcCamera::onGetDZoomValue()
{
    if (!hasFeature(UsbZoom))
        return BaseCamera::onGetDZoomValue();
    int zoom = 0;
    if (!readValue(zoom, lmcam_get_zoom))
        return;
    m_info.digitalZoom.value = std::max(zoom, m_info.digitalZoom.min);
    emit sendDZoomValue(m_info.digitalZoom.value);
}

void UvcCamera::onGetZoomRelativeValue(int &value)
{
    if (!hasFeature(UsbZoom))
        return BaseCamera::onGetZoomRelativeValue(value);
    readValue(value, lmcam_get_zoom);
}

void UvcCamera::onSetZoomSpeed(int speed)
{
    if (!hasFeature(UsbZoomSpeed))
        return BaseCamera::onSetZoomSpeed(speed);
    if (applyValue("onSetZoomSpeed", m_info.zoomSpeed, speed, lmcam_set_zoom_speed))
        emit sendZoomSpeed(speed);
}

void UvcCamera::onGetZoomSpeed()
{
    if (!hasFeature(UsbZoomSpeed))
        return BaseCamera::onGetZoomSpeed();
    if (readValue(m_info.zoomSpeed, lmcam_get_zoom_speed))
        emit sendZoomSpeed(m_info.zoomSpeed);
}

// ---- Picture functions -------------------------------------------------------------------

void UvcCamera::onSetDRCValue(int value)
{
    if (!hasFeature(UsbDrc))
        return BaseCamera::onSetDRCValue(value);
    if (applyValue("onSetDRCValue", m_info.drc.value, value, lmcam_set_drc))
        emit sendDRCValue(value);
}

void UvcCamera::onGetDRCValue()
{
    if (!hasFeature(UsbDrc))
        return BaseCamera::onGetDRCValue();
    if (readValue(m_info.drc.value, lmcam_get_drc))
        emit sendDRCValue(m_info.drc.value);
}

void UvcCamera::onSetCACStatus(bool enable)
{
    if (!hasFeature(UsbCac))
        return BaseCamera::onSetCACStatus(enable);
    if (applyFlag("onSetCACStatus", m_info.cac, enable, lmcam_set_cac))
        emit sendCACStatus(enable);
}

void UvcCamera::onGetCACStatus()
{
    if (!hasFeature(UsbCac))
        return BaseCamera::onGetCACStatus();
    if (readFlag(m_info.cac, lmcam_get_cac))
        emit sendCACStatus(m_info.cac);
}

void UvcCamera::onSetDefogStatus(bool enable)
{
    if (!hasFeature(UsbDefog))
        return BaseCamera::onSetDefogStatus(enable);
    if (applyFlag("onSetDefogStatus", m_info.defog, enable, lmcam_set_defog))
        emit sendDefogStatus(enable);
}

void UvcCamera::onGetDefogStatus()
{
    if (!hasFeature(UsbDefog))
        return BaseCamera::onGetDefogStatus();
    if (readFlag(m_info.defog, lmcam_get_defog))
        emit sendDefogStatus(m_info.defog);
}

// ---- Ring light --------------------------------------------------------------------------

void UvcCamera::onSetLed(int partIndex, int level)
{
    if (!hasFeature(UsbLed))
        return BaseCamera::onSetLed(partIndex, level);
    if (!m_handle || partIndex < 0 || partIndex >= LMCAM_LED_PART_COUNT)
        return;
    qInfo().noquote() << QStringLiteral("onSetLed: part=%1, level=%2").arg(partIndex).arg(level);
    if (lmcam_set_cm0x_led(m_handle, partIndex, level) == LMCAM_OK)
        m_info.led.levels[size_t(partIndex)] = level;
}

void UvcCamera::onSetAllLed(int up, int left, int right, int down)
{
    if (!hasFeature(UsbLed))
        return BaseCamera::onSetAllLed(up, left, right, down);
    if (!m_handle)
        return;
    qInfo().noquote() << QStringLiteral("onSetAllLed: %1 %2 %3 %4").arg(up).arg(left).arg(right).arg(down);
    const int32_t levels[LMCAM_LED_PART_COUNT] = {up, left, right, down};
    if (lmcam_set_cm0x_all_led(m_handle, levels) == LMCAM_OK)
        m_info.led.levels = {up, left, right, down};
}

void UvcCamera::onResetLed()
{
    if (!hasFeature(UsbLed) || !m_handle)
        return;
    const int level = m_info.led.defaultLevel;
    onSetAllLed(level, level, level, level);
    emit sendLedInfo(m_info.led);
}

void UvcCamera::onGetLedInfo()
{
    if (!hasFeature(UsbLed))
        return BaseCamera::onGetLedInfo();
    lmcam_led_info led;
    std::memset(&led, 0, sizeof(led));
    if (!m_handle || lmcam_get_led_info(m_handle, &led) != LMCAM_OK)
        return;
    m_info.led.supported = true;
    m_info.led.partCount = led.part_count;
    m_info.led.minLevel = led.min_level;
    m_info.led.maxLevel = led.max_level;
    m_info.led.defaultLevel = led.default_level;
    for (int i = 0; i < LMCAM_LED_PART_COUNT; ++i)
        m_info.led.levels[size_t(i)] = led.levels[i];
    emit sendLedInfo(m_info.led);
}

// ---- Exposure extras, scene and gamma curve ----------------------------------------------

void UvcCamera::onSetExpGainUnit(ExposureGainUnit unit)
{
    if (!hasFeature(UsbGainUnit))
        return BaseCamera::onSetExpGainUnit(unit);
    int cached = m_info.expGainUnit;
    if (applyValue("onSetExpGainUnit", cached, unit, lmcam_set_exposure_gain_unit)) {
        // The gain is counted in the new unit from now on.
        readRange(m_info.expGain, lmcam_get_exposure_gain_range);
        readValue(m_info.expGain.value, lmcam_get_exposure_gain);
        emit sendExpGainUnit(unit);
        emit sendExpGainValue(m_info.expGain.value);
    }
    m_info.expGainUnit = ExposureGainUnit(cached);
}

void UvcCamera::onGetExpGainUnit()
{
    if (!hasFeature(UsbGainUnit))
        return BaseCamera::onGetExpGainUnit();
    int unit = m_info.expGainUnit;
    if (readValue(unit, lmcam_get_exposure_gain_unit)) {
        m_info.expGainUnit = ExposureGainUnit(unit);
        emit sendExpGainUnit(m_info.expGainUnit);
    }
}

void UvcCamera::onSetLongExpTime(int value)
{
    if (!hasFeature(UsbLongExposure))
        return BaseCamera::onSetLongExpTime(value);
    if (m_info.expMode != ExposureManual)
        return;
    if (applyValue("onSetLongExpTime", m_info.longExpTime.value, value, lmcam_set_long_exposure_time))
        emit sendLongExpTime(value);
}

void UvcCamera::onGetLongExpTime()
{
    if (!hasFeature(UsbLongExposure))
        return BaseCamera::onGetLongExpTime();
    if (readValue(m_info.longExpTime.value, lmcam_get_long_exposure_time))
        emit sendLongExpTime(m_info.longExpTime.value);
}

void UvcCamera::onSetCameraDisplayMode(DisplayMode mode)
{
    if (!hasFeature(UsbDisplayMode))
        return BaseCamera::onSetCameraDisplayMode(mode);
    int cached = m_info.displayMode;
    const bool applied = applyValue("onSetCameraDisplayMode", cached, mode, lmcam_set_scene);
    m_info.displayMode = DisplayMode(cached);
    if (applied) {
        emit sendDisplayModeValue(mode);
        onDisplayModeChanged();
    }
}

void UvcCamera::onGetCameraDisplayMode()
{
    if (!hasFeature(UsbDisplayMode))
        return BaseCamera::onGetCameraDisplayMode();
    int mode = m_info.displayMode;
    if (readValue(mode, lmcam_get_scene)) {
        m_info.displayMode = DisplayMode(mode);
        emit sendDisplayModeValue(m_info.displayMode);
        onDisplayModeChanged();
    }
}

void UvcCamera::onSetGammaMode(GammaMode mode, bool sendValue)
{
    if (!hasFeature(UsbGammaCurve))
        return BaseCamera::onSetGammaMode(mode, sendValue);
    int cached = m_info.gammaMode;
    const bool applied = applyValue("onSetGammaMode", cached, mode, lmcam_set_gamma_mode);
    m_info.gammaMode = GammaMode(cached);
    if (!applied || !sendValue)
        return;
    if (mode == GammaCurveMode)
        onGetGammaBezierCurve();
    else
        onGetGammaValue();
}

void UvcCamera::onGetGammaMode()
{
    if (!hasFeature(UsbGammaCurve))
        return BaseCamera::onGetGammaMode();
    int mode = m_info.gammaMode;
    if (readValue(mode, lmcam_get_gamma_mode)) {
        m_info.gammaMode = GammaMode(mode);
        emit sendGammaMode(m_info.gammaMode);
    }
}

void UvcCamera::onSetGammaBezierCurve(QVector<QPointF> points, int size)
{
    if (!hasFeature(UsbGammaCurve))
        return BaseCamera::onSetGammaBezierCurve(points, size);
    if (!m_handle)
        return;
    const int count = std::clamp(std::min(size, int(points.size())), 0, int(LMCAM_GAMMA_CURVE_MAX_POINTS));
    lmcam_point sdkPoints[LMCAM_GAMMA_CURVE_MAX_POINTS];
    QVector<LmPoint> curve;
    for (int i = 0; i < count; ++i) {
        sdkPoints[i] = {qRound(points[i].x()), qRound(points[i].y())};
        curve.append({sdkPoints[i].x, sdkPoints[i].y});
    }
    qInfo() << "onSetGammaBezierCurve:" << count << "points";
    if (lmcam_set_gamma_bezier_curve(m_handle, sdkPoints, count) == LMCAM_OK)
        m_info.gammaCurve = curve;
}

void UvcCamera::onGetGammaBezierCurve()
{
    if (!hasFeature(UsbGammaCurve))
        return BaseCamera::onGetGammaBezierCurve();
    lmcam_point points[LMCAM_GAMMA_CURVE_MAX_POINTS];
    int32_t count = 0;
    if (!m_handle || lmcam_get_gamma_bezier_curve(m_handle, points, LMCAM_GAMMA_CURVE_MAX_POINTS, &count) != LMCAM_OK)
        return;
    m_info.gammaCurve.clear();
    for (int i = 0; i < std::clamp(int(count), 0, int(LMCAM_GAMMA_CURVE_MAX_POINTS)); ++i)
        m_info.gammaCurve.append({points[i].x, points[i].y});
    emit sendGammaBezierCurve(m_info.gammaCurve, m_info.gammaCurve.size());
}
