#pragma once

#include "newnetcamera.h"

// Network camera of the first family; its models derive from it.
class Cm01NetCamera : public NewNetCamera
{
    Q_OBJECT

public:
    explicit Cm01NetCamera(QObject *parent = nullptr);
};
