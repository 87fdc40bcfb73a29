#pragma once

#include "cameraresolution.h"

#include <QMetaType>
#include <QString>

// The record a camera is opened from and its stream started or changed with.
struct CameraOpenInfo
{
    QString address;     // network cameras
    QString model;       // factory key of network cameras
    QString deviceName;
    QString description;
    QString userName;
    QString password;
    QString port;
    int streamFormat = 0; // network stream format code, as for CameraResolution::format

    // Stream settings of network cameras.
    int width = 1920;
    int height = 1080;
    QString resolution = QStringLiteral("1920x1080");
    QString rateControl = QStringLiteral("cbr");
    QString quality = QStringLiteral("high");
    int frameRate = 30;
    int bitRate = 86000;
    int iFrameInterval = 90;

    CameraResolution cameraResolution; // USB stream
    int usbSpeed = 0;                  // USB link when opened, as searches report it (3: USB 3)
    bool isNetCamera = false;
};

Q_DECLARE_METATYPE(CameraOpenInfo)
