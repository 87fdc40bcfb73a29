#pragma once

#include "cm08netcamera.h"

// Network camera model cm09; its data lives in the model table.
class Cm09NetCamera : public Cm08NetCamera
{
    Q_OBJECT

public:
    explicit Cm09NetCamera(QObject *parent = nullptr);
};
