#pragma once

#include "netcamera.h"

// Network camera model cm21; its data lives in the model table.
class Cm21NetCamera : public NetCamera
{
    Q_OBJECT

public:
    explicit Cm21NetCamera(QObject *parent = nullptr);
};
