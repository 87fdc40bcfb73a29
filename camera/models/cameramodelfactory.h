#pragma once

#include "cameraopeninfo.h"

#include <QJsonArray>
#include <QPair>
#include <QString>
#include <QVector>
#include <memory>

class BaseCamera;

// A new camera object of the model an open record names, or an empty pointer when no model
// matches. Network records are matched by their model text, USB records by their device path.
std::shared_ptr<BaseCamera> createCamera(const CameraOpenInfo &info);
// The same for a key text directly: the first model key it contains decides (case-sensitive).
std::shared_ptr<BaseCamera> createCameraForKey(const QString &key);
// The model key (BaseCamera::modelKey()) of the camera createCamera would make for `info`,
// without making it; empty when no model matches.
QString cameraModelKey(const CameraOpenInfo &info);
// The factory's keys in the order they are tried, each with the class of the model it creates
// (product ids as four hex digits).
QVector<QPair<QString, QString>> cameraFactoryKeys();

// The model table as JSON objects: "class", "baseClass", "modelKey", "productId" (four hex
// digits or null), "firmwareKey" (or null), "resolution" and "fps" of the default row.
QJsonArray cameraModelList();
