#pragma once

#include "netcamera.h"

// Network camera model cm14. Its scene preset (display mode) is set and read with the
// "img_mode" commands.
class Cm14NetCamera : public NetCamera
{
    Q_OBJECT

public:
    explicit Cm14NetCamera(QObject *parent = nullptr);

public slots:
    void onSetCameraDisplayMode(DisplayMode mode) override;
    void onGetCameraDisplayMode() override;
};
