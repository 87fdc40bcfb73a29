#pragma once

#include "basecamera.h"

// The members of a camera that its model row sets. They are protected in BaseCamera, so each
// model constructor hands them over by reference.
struct CameraModelTargets
{
    QString &modelKey;
    CameraResolution &resolution;
    CameraInfo &info;
    quint32 &rangeVersion;
    quint32 &focusRegionVersion;
    quint32 &featureVersion;
    quint32 &suffixVersion;
    quint32 &furtherVersion;
};

// Applies the table row of a model class to a camera under construction: the thresholds the
// class sets, its model key, its initial resolutions and live resolution, then its built-in
// defaults through initDefaultInfo() (the constructing class's override).
void setUpCameraModel(BaseCamera &camera, const char *className, const CameraModelTargets &targets);

// The body of every model constructor.
#define LUMORA_SET_UP_CAMERA_MODEL()                                                                                   \
    setUpCameraModel(*this, staticMetaObject.className(),                                                              \
                     CameraModelTargets{m_modelKey, m_resolution, m_info, m_rangeVersion, m_focusRegionVersion,        \
                                        m_featureVersion, m_suffixVersion, m_furtherVersion})
