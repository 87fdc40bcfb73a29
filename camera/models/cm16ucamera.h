#pragma once

#include "cm15ucamera.h"

// USB camera model cm16; its data lives in the model table.
class Cm16UCamera : public Cm15UCamera
{
    Q_OBJECT

public:
    explicit Cm16UCamera(QObject *parent = nullptr);
};
