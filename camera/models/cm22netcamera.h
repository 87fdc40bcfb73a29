#pragma once

#include "newnetcamera.h"

// Network camera model cm22; its data lives in the model table.
class Cm22NetCamera : public NewNetCamera
{
    Q_OBJECT

public:
    explicit Cm22NetCamera(QObject *parent = nullptr);
};
