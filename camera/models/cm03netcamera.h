#pragma once

#include "cm01netcamera.h"

// Network camera model cm03; its data lives in the model table.
class Cm03NetCamera : public Cm01NetCamera
{
    Q_OBJECT

public:
    explicit Cm03NetCamera(QObject *parent = nullptr);
};
