#pragma once

#include "uvccamera.h"

// USB camera of the first family; its models derive from it.
class Cm01UCamera : public UvcCamera
{
    Q_OBJECT

public:
    explicit Cm01UCamera(QObject *parent = nullptr);
};
