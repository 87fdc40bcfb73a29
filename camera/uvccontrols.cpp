#include "uvccontrols.h"

#include "configstore.h"
#include "usbmodeltable.h"

#include <QDebug>

UvcControls::UvcControls(QObject *parent) : UvcDevice(parent) {}

// ---- Setters -----------------------------------------------------------------------------

void UvcControls::onSetExpMode(ExposureMode mode, bool sendValue)
{
    if (!m_handle || m_info.expMode == mode)
        return;
    qInfo() << "onSetExpMode:" << int(mode);
    m_info.expMode = mode;
    if (mode == ExposureAuto) {
        lmcam_set_exposure_mode(m_handle, LMCAM_MODE_AUTO);
        // The first read after the switch may still hold the manual value.
        readValue(m_info.expComp.value, lmcam_get_exposure_compensation);
        readValue(m_info.expComp.value, lmcam_get_exposure_compensation);
        if (sendValue)
            emit sendExpCompValue(m_info.expComp.value);
    } else if (mode == ExposureManual) {
        lmcam_set_exposure_mode(m_handle, LMCAM_MODE_MANUAL);
        readManualExposure(sendValue);
        m_info.expRegion.enable = false;
    }
}

void UvcControls::readManualExposure(bool sendValue)
{
    readValue(m_info.expTime.value, lmcam_get_exposure_time);
    readValue(m_info.expGain.value, lmcam_get_exposure_gain);
    if (m_info.longExpTime.supported)
        readValue(m_info.longExpTime.value, lmcam_get_long_exposure_time);
    if (sendValue) {
        emit sendExpTime(m_info.expTime.value);
        emit sendExpGainValue(m_info.expGain.value);
        if (m_info.longExpTime.supported)
            emit sendLongExpTime(m_info.longExpTime.value);
    }
}

void UvcControls::onSetExpCompValue(int value)
{
    if (m_info.expMode != ExposureAuto)
        return;
    if (applyValue("onSetExpCompValue", m_info.expComp.value, value, lmcam_set_exposure_compensation))
        emit sendExpCompValue(value);
}

void UvcControls::onSetExpGainValue(int value)
{
    if (m_info.expMode != ExposureManual)
        return;
    if (applyValue("onSetExpGainValue", m_info.expGain.value, value, lmcam_set_exposure_gain))
        emit sendExpGainValue(value);
}

void UvcControls::onSetExpTime(int value)
{
    if (m_info.expMode != ExposureManual)
        return;
    if (applyValue("onSetExpTime", m_info.expTime.value, value, lmcam_set_exposure_time))
        emit sendExpTime(value);
}

void UvcControls::onSetWbMode(WbMode mode, bool sendValue)
{
    if (!m_handle || m_info.wbMode == mode)
        return;
    qInfo() << "onSetWbMode:" << int(mode);
    m_info.wbMode = mode;
    if (mode == WbAuto) {
        lmcam_set_white_balance_mode(m_handle, LMCAM_MODE_AUTO);
    } else if (mode == WbManual) {
        lmcam_set_white_balance_mode(m_handle, LMCAM_MODE_MANUAL);
        readValue(m_info.wbRed.value, lmcam_get_white_balance_component_red);
        readValue(m_info.wbGreen.value, lmcam_get_white_balance_component_green);
        readValue(m_info.wbBlue.value, lmcam_get_white_balance_component_blue);
        if (sendValue) {
            emit sendWbRedValue(m_info.wbRed.value);
            emit sendWbGreenValue(m_info.wbGreen.value);
            emit sendWbBlueValue(m_info.wbBlue.value);
        }
        m_info.wbRegion.enable = false;
    }
}

void UvcControls::onSetWbRedValue(int value)
{
    if (applyValue("onSetWbRedValue", m_info.wbRed.value, value, lmcam_set_white_balance_component_red))
        emit sendWbRedValue(value);
}

void UvcControls::onSetWbGreenValue(int value)
{
    if (applyValue("onSetWbGreenValue", m_info.wbGreen.value, value, lmcam_set_white_balance_component_green))
        emit sendWbGreenValue(value);
}

void UvcControls::onSetWbBlueValue(int value)
{
    if (applyValue("onSetWbBlueValue", m_info.wbBlue.value, value, lmcam_set_white_balance_component_blue))
        emit sendWbBlueValue(value);
}

void UvcControls::onSetMirrorStatus(bool enable)
{
    int cached = m_info.mirror;
    if (applyValue("onSetMirrorStatus", cached, enable, lmcam_set_mirror))
        emit sendMirrorStatus(enable);
    m_info.mirror = cached != 0;
}

void UvcControls::onSetFlipStatus(bool enable)
{
    int cached = m_info.flip;
    if (applyValue("onSetFlipStatus", cached, enable, lmcam_set_flip))
        emit sendFlipStatus(enable);
    m_info.flip = cached != 0;
}

void UvcControls::onSetHueValue(int value)
{
    if (applyValue("onSetHueValue", m_info.hue.value, value, lmcam_set_hue))
        emit sendHueValue(value);
}

void UvcControls::onSetSaturationValue(int value)
{
    if (applyValue("onSetSaturationValue", m_info.saturation.value, value, lmcam_set_saturation))
        emit sendSaturationValue(value);
}

void UvcControls::onSetContrastValue(int value)
{
    if (applyValue("onSetContrastValue", m_info.contrast.value, value, lmcam_set_contrast))
        emit sendContrastValue(value);
}

void UvcControls::onSetSharpnessValue(int value)
{
    if (applyValue("onSetSharpnessValue", m_info.sharpness.value, value, lmcam_set_sharpness))
        emit sendSharpnessValue(value);
}

void UvcControls::onSetGammaValue(int value)
{
    if (applyValue("onSetGammaValue", m_info.gamma.value, value, lmcam_set_gamma))
        emit sendGammaValue(value);
}

void UvcControls::onSetWBTemperatureValue(int value)
{
    if (applyValue("onSetWBTemperatureValue", m_info.wbTemperature.value, value, lmcam_set_white_balance_temperature))
        emit sendWBTemperatureValue(value);
}

void UvcControls::onSetLDCIStatus(bool enable)
{
    int cached = m_info.ldci;
    if (applyValue("onSetLDCIStatus", cached, enable, lmcam_set_ldci))
        emit sendLDCIStatus(enable);
    m_info.ldci = cached != 0;
}

void UvcControls::onSetMonoChromeStatus(bool enable)
{
    int saturation = 0;
    if (!m_handle || !switchMonochrome(enable, saturation))
        return;
    lmcam_set_saturation(m_handle, saturation);
    emit sendSaturationValue(saturation);
}

void UvcControls::onSetFilckStatus(bool enable)
{
    int cached = m_info.flicker;
    if (applyValue("onSetFilckStatus", cached, enable, lmcam_set_power_line_frequency))
        emit sendFlickStatus(enable);
    m_info.flicker = cached != 0;
}

void UvcControls::onSetEncryptStatus(bool enable)
{
    if (!m_handle || m_info.encrypt == enable)
        return;
    qInfo() << "onSetEncryptStatus" << enable;
    m_info.encrypt = enable;
    lmcam_set_encrypt(m_handle, enable ? 1 : 0);
    emit sendEncryptStatus(enable);
}

void UvcControls::onSetExpRegion(bool enable, bool display, int x, int y, int width, int height)
{
    if (!m_handle)
        return;
    m_info.expRegion = {enable, display, x, y, width, height};
    const lmcam_rect rect{x, y, width, height};
    lmcam_set_auto_exposure_region(m_handle, &rect);
}

void UvcControls::onSetWBRegion(bool enable, bool display, int x, int y, int width, int height)
{
    if (!m_handle)
        return;
    m_info.wbRegion = {enable, display, x, y, width, height};
    const lmcam_rect rect{x, y, width, height};
    lmcam_set_auto_whitebalance_region(m_handle, &rect);
}

void UvcControls::onSetWhiteBalanceOnce()
{
    // The panel answers the two mode signals by switching the device to automatic and back.
    emit sendWbMode(WbAuto);
    waitMs(1500);
    emit sendWbMode(WbManual);
    waitMs(1000);
    onGetWbRedValue();
    onGetWbGreenValue();
    onGetWbBlueValue();
}

void UvcControls::onSetIp(IpInfo)
{
    qInfo() << "Uvc camera does not support to set ip!";
}

// ---- Resets ------------------------------------------------------------------------------

void UvcControls::onResetBasicSettings()
{
    onResetExp();
    onResetFocus();
    emit sendDZoomValue(m_info.digitalZoom.def);
    emit sendZoomValue(m_info.opticalZoom.def);
    emit sendZoomSpeed(0);
}

void UvcControls::onResetAdvancedSettings()
{
    onResetFunc();
    onResetLed();
    onResetWB();
    onResetBlackBalance();
    emit sendWBRegion(false, 0, 0, 0, 0);
    emit sendExpRegion(false, 0, 0, 0, 0);
    emit sendFFCStatus(false);
    emit sendHistogramStatus(false);
}

void UvcControls::onResetExp()
{
    onSetExpMode(ExposureAuto, false);
    emit sendExpMode(ExposureAuto);
    emit sendExpCompValue(m_info.expComp.def);
    const CameraRegion &r = m_info.expRegion;
    emit sendExpRegion(false, r.x, r.y, r.width, r.height);
}

void UvcControls::onResetWB()
{
    onSetWbMode(WbManual, false);
    // One below the defaults, so that the setters below do not skip them as unchanged.
    m_info.wbRed.value = m_info.wbRed.def - 1;
    m_info.wbGreen.value = m_info.wbGreen.def - 1;
    m_info.wbBlue.value = m_info.wbBlue.def - 1;
    onSetWbRedValue(m_info.wbRed.def);
    onSetWbGreenValue(m_info.wbGreen.def);
    onSetWbBlueValue(m_info.wbBlue.def);
    emit sendWbMode(WbManual);
    emit sendWbRedValue(m_info.wbRed.def);
    emit sendWbGreenValue(m_info.wbGreen.def);
    emit sendWbBlueValue(m_info.wbBlue.def);
}

void UvcControls::onResetFocus()
{
    emit sendFocusMode(FocusAuto);
    const bool secondForm = m_focusRegionVersion != 0 && quint32(m_info.version) >= m_focusRegionVersion;
    if (secondForm) {
        const QRect r = m_info.focusRegionV2;
        emit sendFocusRegionV2(true, r.x(), r.y(), r.width(), r.height());
    } else if (m_rotate == 90 || m_rotate == 270) {
        emit sendFocusRegion(0, 7, 8);
    } else {
        emit sendFocusRegion(0, 8, 7);
    }
}

void UvcControls::onResetFunc()
{
    emit sendHueValue(m_info.hue.def);
    emit sendSaturationValue(m_info.saturation.def);
    emit sendContrastValue(m_info.contrast.def);
    emit sendSharpnessValue(m_info.sharpness.def);
    emit sendGammaValue(m_info.gamma.def);
    emit sendDRCValue(m_info.drc.def);
    emit sendGammaMode(GammaValueMode);
    emit sendFlipStatus(false);
    emit sendMirrorStatus(false);
    emit sendFlickStatus(false);
    emit sendMonoChromeStatus(false);
    emit sendDefogStatus(false);
    emit sendCACStatus(false);
    emit sendLDCIStatus(false);
    emit sendNegativeStatus(false);
    emit sendExpGainUnit(GainUnitDefault);
}

// ---- Getters -----------------------------------------------------------------------------

void UvcControls::onGetExpMode()
{
    int32_t mode = 0;
    if (m_handle && lmcam_get_exposure_mode(m_handle, &mode) == LMCAM_OK)
        m_info.expMode = mode == LMCAM_MODE_AUTO ? ExposureAuto : ExposureManual;
    emit sendExpMode(m_info.expMode);
}

void UvcControls::onGetWbMode()
{
    int32_t mode = 0;
    if (m_handle && lmcam_get_white_balance_mode(m_handle, &mode) == LMCAM_OK)
        m_info.wbMode = mode == LMCAM_MODE_AUTO ? WbAuto : WbManual;
    emit sendWbMode(m_info.wbMode);
}

#define LUMORA_UVC_GETTER(slot, member, getFn, signal)                                                                 \
    void UvcControls::slot()                                                                                           \
    {                                                                                                                  \
        if (readValue(m_info.member, getFn))                                                                           \
            emit signal(m_info.member);                                                                                \
    }
LUMORA_UVC_GETTER(onGetExpCompValue, expComp.value, lmcam_get_exposure_compensation, sendExpCompValue)
LUMORA_UVC_GETTER(onGetExpGainValue, expGain.value, lmcam_get_exposure_gain, sendExpGainValue)
LUMORA_UVC_GETTER(onGetExpTime, expTime.value, lmcam_get_exposure_time, sendExpTime)
LUMORA_UVC_GETTER(onGetWbRedValue, wbRed.value, lmcam_get_white_balance_component_red, sendWbRedValue)
LUMORA_UVC_GETTER(onGetWbGreenValue, wbGreen.value, lmcam_get_white_balance_component_green, sendWbGreenValue)
LUMORA_UVC_GETTER(onGetWbBlueValue, wbBlue.value, lmcam_get_white_balance_component_blue, sendWbBlueValue)
LUMORA_UVC_GETTER(onGetHueValue, hue.value, lmcam_get_hue, sendHueValue)
LUMORA_UVC_GETTER(onGetSaturationValue, saturation.value, lmcam_get_saturation, sendSaturationValue)
LUMORA_UVC_GETTER(onGetContrastValue, contrast.value, lmcam_get_contrast, sendContrastValue)
LUMORA_UVC_GETTER(onGetSharpnessValue, sharpness.value, lmcam_get_sharpness, sendSharpnessValue)
LUMORA_UVC_GETTER(onGetGammaValue, gamma.value, lmcam_get_gamma, sendGammaValue)
LUMORA_UVC_GETTER(onGetWBTemperatureValue, wbTemperature.value, lmcam_get_white_balance_temperature,
                  sendWBTemperatureValue)
#undef LUMORA_UVC_GETTER

#define LUMORA_UVC_FLAG_GETTER(slot, member, getFn, signal)                                                            \
    void UvcControls::slot()                                                                                           \
    {                                                                                                                  \
        if (readFlag(m_info.member, getFn))                                                                            \
            emit signal(m_info.member);                                                                                \
    }
LUMORA_UVC_FLAG_GETTER(onGetMirrorStatus, mirror, lmcam_get_mirror, sendMirrorStatus)
LUMORA_UVC_FLAG_GETTER(onGetFlipStatus, flip, lmcam_get_flip, sendFlipStatus)
LUMORA_UVC_FLAG_GETTER(onGetFlickStatus, flicker, lmcam_get_power_line_frequency, sendFlickStatus)
LUMORA_UVC_FLAG_GETTER(onGetLDCIStatus, ldci, lmcam_get_ldci, sendLDCIStatus)
LUMORA_UVC_FLAG_GETTER(onGetEncryptStatus, encrypt, lmcam_get_encrypt, sendEncryptStatus)
#undef LUMORA_UVC_FLAG_GETTER

void UvcControls::onGetIpInfo()
{
    qInfo() << "Uvc camera does not support to get ip info!";
}

void UvcControls::readCameraInfo()
{
    CameraInfo info = m_info;
    initCameraInfo(info);
    m_monochromeSaturation = info.saturation.value;
    const UsbModelEntry *model = findUsbModel(info.productId);
    if (model && model->compact) {
        // The compact models are tuned per application mode (biology 0, industry 1).
        const int mode = ConfigStore::instance().value(ConfigGroup::Camera, CameraKey::SceneMode, 0).toInt();
        const bool biology = mode == 0;
        info.expComp.def = biology ? 150 : 50;
        info.contrast.def = biology ? 40 : 55;
        info.sharpness.def = biology ? 0 : 100;
        info.gamma.def = biology ? 40 : 110;
    }
    m_info = info;
}
