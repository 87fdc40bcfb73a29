#pragma once

#include "camerainfo.h"

#include <QJsonObject>

// CameraInfo as a JSON object: every member under its own name, ranges as objects with value,
// min, max, def and supported, modes as words, formats by their names.
QJsonObject cameraInfoToJson(const CameraInfo &info);
