#pragma once

#include "newnetcamera.h"

// Network camera model cm08; its data lives in the model table.
class Cm08NetCamera : public NewNetCamera
{
    Q_OBJECT

public:
    explicit Cm08NetCamera(QObject *parent = nullptr);
};
