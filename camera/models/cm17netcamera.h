#pragma once

#include "cm21netcamera.h"

// Network camera model cm17; its data lives in the model table.
class Cm17NetCamera : public Cm21NetCamera
{
    Q_OBJECT

public:
    explicit Cm17NetCamera(QObject *parent = nullptr);
};
