#pragma once

#include "cm21ucamera.h"

// USB camera model cm18; its data lives in the model table.
class Cm18UCamera : public Cm21UCamera
{
    Q_OBJECT

public:
    explicit Cm18UCamera(QObject *parent = nullptr);

    // Photo resolution and white-balance defaults of this model.
    void initDefaultInfo() override;
};
