#pragma once

#include "uvcdevice.h"

// The controls every USB camera serves: exposure, white balance, the picture settings, their
// regions and resets. UvcCamera adds the features of the model's family.
class UvcControls : public UvcDevice
{
    Q_OBJECT

public:
    explicit UvcControls(QObject *parent = nullptr);

public slots:
    void onSetExpMode(ExposureMode mode, bool sendValue = true) override;
    void onSetExpCompValue(int value) override;
    void onSetExpGainValue(int value) override;
    void onSetExpTime(int value) override;
    void onSetWbMode(WbMode mode, bool sendValue = true) override;
    void onSetWbRedValue(int value) override;
    void onSetWbGreenValue(int value) override;
    void onSetWbBlueValue(int value) override;
    void onSetMirrorStatus(bool enable) override;
    void onSetFlipStatus(bool enable) override;
    void onSetHueValue(int value) override;
    void onSetSaturationValue(int value) override;
    void onSetContrastValue(int value) override;
    void onSetSharpnessValue(int value) override;
    void onSetMonoChromeStatus(bool enable) override;
    void onSetFilckStatus(bool enable) override;
    void onSetGammaValue(int value) override;
    void onSetIp(IpInfo info) override;
    void onSetWhiteBalanceOnce() override;
    void onResetBasicSettings() override;
    void onResetAdvancedSettings() override;
    void onSetWBTemperatureValue(int value) override;
    void onSetExpRegion(bool enable, bool display, int x, int y, int width, int height) override;
    void onSetWBRegion(bool enable, bool display, int x, int y, int width, int height) override;
    void onSetLDCIStatus(bool enable) override;
    void onResetFocus() override;
    void onResetExp() override;
    void onResetWB() override;
    void onResetFunc() override;
    void onSetEncryptStatus(bool enable) override;

    void onGetExpMode() override;
    void onGetExpCompValue() override;
    void onGetExpGainValue() override;
    void onGetExpTime() override;
    void onGetWbMode() override;
    void onGetWbRedValue() override;
    void onGetWbGreenValue() override;
    void onGetWbBlueValue() override;
    void onGetMirrorStatus() override;
    void onGetFlipStatus() override;
    void onGetHueValue() override;
    void onGetSaturationValue() override;
    void onGetContrastValue() override;
    void onGetSharpnessValue() override;
    void onGetGammaValue() override;
    void onGetFlickStatus() override;
    void onGetIpInfo() override;
    void onGetWBTemperatureValue() override;
    void onGetLDCIStatus() override;
    void onGetEncryptStatus() override;

protected:
    void readCameraInfo() override;
    // Reads the values that manual exposure fixes, after the switch to manual, and with
    // `sendValue` reports them.
    virtual void readManualExposure(bool sendValue);
};
