#pragma once

#include "basecamera.h"

#include <lmcam.h>

// A camera on USB, driven through the lmcam SDK. Model classes derive from it, set their
// thresholds and defaults, and switch features on by overriding slots.
class UvcCamera : public BaseCamera
{
    Q_OBJECT

public:
    explicit UvcCamera(QObject *parent = nullptr);
    ~UvcCamera() override;

    CameraOpenInfo openInfo() override;
    void setResolutionInfo(const CameraOpenInfo &info) override;
    bool checkUpgradeFile(const QString &path) override;
    bool open(const CameraOpenInfo &openInfo) override;
    bool start(const CameraOpenInfo &openInfo, CameraCloseReason &error) override;
    bool close() override;
    bool changeResolution(const CameraOpenInfo &openInfo, CameraCloseReason &error) override;
    VideoFrame readFrame() override;
    bool initCameraInfo(CameraInfo &info) override;
    void buildCaptureContext() override;
    void initDefaultInfo() override;
    void loadCaptureCapabilities() override;
    void servePhotoRequest() override;

    virtual bool isStreamAllowed();

    lmcam_handle handle() const { return m_handle; }
    lmcam_capture_context captureContext() const { return m_ctx; }

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
    void onUpgrade(QString filePath) override;
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
    void onGetUpgradeStatus() override;
    void onGetWBTemperatureValue() override;
    void onGetLDCIStatus() override;
    void onGetEncryptStatus() override;
    void onGetAllInfo() override;

    // Served for the models whose family has the feature (usbfeatures.h).
    void onSetFocusMode(FocusMode mode, bool sendValue = true) override;
    void onSetFocusValue(int value) override;
    void onSetFocusAdd() override;
    void onSetFocusSub() override;
    void onSetFocusOnce() override;
    void onSetMotorCenter() override;
    void onCalibrateCurve() override;
    void onValidateCurve() override;
    void onSetFocusRegionStatus(bool enable) override;
    void onSetFocusRegion(bool display, int mode, int x, int y) override;
    void onSetFocusRegionV2(CameraControlRegion region) override;
    void onSetZoomValue(int value) override;
    void onSetDZoomValue(int value) override;
    void onSetZoomRelativeValue(int value) override;
    void onSetZoomSpeed(int speed) override;
    void onSetDRCValue(int value) override;
    void onSetCACStatus(bool enable) override;
    void onSetDefogStatus(bool enable) override;
    void onSetLed(int partIndex, int level) override;
    void onSetAllLed(int up, int left, int right, int down) override;
    void onResetLed() override;
    void onSetExpGainUnit(ExposureGainUnit unit) override;
    void onSetLongExpTime(int value) override;
    void onSetCameraDisplayMode(DisplayMode mode) override;
    void onSetGammaMode(GammaMode mode, bool sendValue = true) override;
    void onSetGammaBezierCurve(QVector<QPointF> points, int size) override;

    void onGetFocusMode() override;
    void onGetFocusValue() override;
    void onGetFocusState() override;
    void onGetFocusRegionStatus() override;
    void onGetFocusRegion() override;
    void onGetFocusRegionV2() override;
    void onGetZoomValue() override;
    void onGetDZoomValue() override;
    void onGetZoomRelativeValue(int &value) override;
    void onGetZoomSpeed() override;
    void onGetDRCValue() override;
    void onGetCACStatus() override;
    void onGetDefogStatus() override;
    void onGetLedInfo() override;
    void onGetExpGainUnit() override;
    void onGetLongExpTime() override;
    void onGetCameraDisplayMode() override;
    void onGetGammaMode() override;
    void onGetGammaBezierCurve() override;

protected:
    using SdkSet = int32_t (*)(lmcam_handle, int32_t);
    using SdkGet = int32_t (*)(lmcam_handle, int32_t *);
    using SdkRange = int32_t (*)(lmcam_handle, int32_t *, int32_t *, int32_t *, int32_t *);

    // The common shape of a setter: nothing without a handle or for the cached value; else
    // log "name: value", store, call the SDK. True when the SDK was called and answered 0.
    bool applyValue(const char *name, int &cached, int value, SdkSet set);
    // Reads a value into the cache; true on status 0.
    bool readValue(int &cached, SdkGet get);
    bool readFlag(bool &cached, SdkGet get);
    // applyValue for an on/off parameter.
    bool applyFlag(const char *name, bool &cached, bool enable, SdkSet set);
    // True when the model's family has one of the features (UsbFeature flags).
    bool hasFeature(quint32 feature) const;
    // Moves the focus motor one step (+1 nearer, -1 farther) and reports the new position.
    void stepFocus(int direction);
    // The grid-cell focus region goes with its switch (second form) from the model's
    // focus-region version on, and as a bare cell (first form) before it.
    bool usesFlaggedFocusCell() const;
    void applyFocusCell();
    // Sends a rectangular focus region (third form) and keeps it.
    void applyFocusRect(const CameraControlRegion &region);
    // Reads a range into the cache and marks the parameter supported on status 0.
    void readRange(CameraRange &range, SdkRange get);
    // Applies a capture context; false when the SDK refuses it.
    bool applyContext(const lmcam_capture_context &ctx);
    // What a model does to every picture it reads from the device before rotation (live frames
    // and photos alike); the picture as it came by default.
    virtual VideoFrame finishFrame(const VideoFrame &frame);
    // Reads the values that manual exposure fixes, after the switch to manual, and with
    // `sendValue` reports them.
    virtual void readManualExposure(bool sendValue);
    static int sdkFormatCode(int format);
    // Waits in a local event loop, so that the camera's queued calls still run meanwhile.
    static void waitMs(int ms);
    static FocusMode focusModeFromSdk(int32_t mode);
    // The firmware file name checks for a model whose files carry `upgradeKey` (null: the
    // model is not upgraded through this program).
    bool checkUpgradeFileFor(const QString &path, const char *upgradeKey);
    static void progressCallback(int32_t percent, void *context);
    // The upgrade through the SDK, for the models that take firmware that way: streaming stops,
    // progress is reported with sendUpgradeStatus, frames repeat meanwhile. True on success.
    bool upgradeThroughSdk(const QString &filePath);

    lmcam_handle m_handle = 0;
    lmcam_capture_context m_ctx{};
    int m_monochromeSaturation = 0;
};
