#pragma once

#include "uvccamera.h"

// USB camera of the second family's cm08/cm09 models.
class Cm08UCamera : public UvcCamera
{
    Q_OBJECT

public:
    explicit Cm08UCamera(QObject *parent = nullptr);
};
