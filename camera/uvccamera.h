#pragma once

#include "uvccontrols.h"

// A camera on USB, driven through the lmcam SDK. Model classes derive from it, set their
// thresholds and defaults, and switch features on by overriding slots.
class UvcCamera : public UvcControls
{
    Q_OBJECT

public:
    explicit UvcCamera(QObject *parent = nullptr);

public slots:
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
    // Moves the focus motor one step (+1 nearer, -1 farther) and reports the new position.
    void stepFocus(int direction);
    // The grid-cell focus region goes with its switch (second form) from the model's
    // focus-region version on, and as a bare cell (first form) before it.
    bool usesFlaggedFocusCell() const;
    void applyFocusCell();
    // Sends a rectangular focus region (third form) and keeps it.
    void applyFocusRect(const CameraControlRegion &region);
};
