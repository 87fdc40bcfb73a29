#pragma once

#include "cm24camera.h"

// USB camera model cm25; its data lives in the model table.
class Cm25Camera : public Cm24Camera
{
    Q_OBJECT

public:
    explicit Cm25Camera(QObject *parent = nullptr);
};
