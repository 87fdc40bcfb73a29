#pragma once

#include "cm08ucamera.h"

// USB camera model cm09; its data lives in the model table.
class Cm09UCamera : public Cm08UCamera
{
    Q_OBJECT

public:
    explicit Cm09UCamera(QObject *parent = nullptr);
};
