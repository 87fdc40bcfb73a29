#pragma once

#include "uvccamera.h"

// Compact USB camera (third family); the other compact models derive from it. Its basic
// settings also cover the gain unit, the long exposure and the gamma mode.
class Cm23Camera : public UvcCamera
{
    Q_OBJECT

public:
    explicit Cm23Camera(QObject *parent = nullptr);

public slots:
    void onResetBasicSettings() override;
};
