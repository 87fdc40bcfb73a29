#pragma once

#include "cm01ucamera.h"

class QTimer;

// USB camera model cm02U. Its focus region is a rectangle; while the operator drags it, the
// changes of 300 ms are sent to the device as one.
class Cm02UCamera : public Cm01UCamera
{
    Q_OBJECT

public:
    explicit Cm02UCamera(QObject *parent = nullptr);

    static constexpr int kFocusRegionDelayMs = 300;

public slots:
    void onSetFocusRegionV2(CameraControlRegion region) override;

private:
    QTimer *m_focusRegionTimer;
    CameraControlRegion m_pendingFocusRegion;
};
