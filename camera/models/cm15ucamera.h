#pragma once

#include "uvccamera.h"

// USB camera model cm15; its data lives in the model table.
class Cm15UCamera : public UvcCamera
{
    Q_OBJECT

public:
    explicit Cm15UCamera(QObject *parent = nullptr);
};
