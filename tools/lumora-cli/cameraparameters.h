#pragma once

#include "camerainfo.h"

#include <QString>

class BaseCamera;

// The camera parameters that `lumora-cli grab --set NAME=VALUE` reaches, each through the
// camera's own onSet… slot. Values are integers, on/off flags or mode words.
struct CameraParameter
{
    enum Kind { Integer, Flag, Choice };

    const char *name;
    Kind kind;
    const char *choices;            // Choice: words separated by '|', their values 1, 2, 3… or as listed
    const int *choiceValues;        // Choice: the value of each word; null: 1, 2, 3…
    CameraRange CameraInfo::*range; // Integer: the range the camera reports, or null
    void (*apply)(BaseCamera &camera, int value);
    // The value the camera caches after applying, to see that it took; null: not checkable.
    int (*cached)(const CameraInfo &info);
    const char *slot; // for the help text
    // The camera parameter database's column that remembers it; null: not remembered.
    const char *column = nullptr;
};

// The parameter of that name, or null.
const CameraParameter *findCameraParameter(const QString &name);
// Parses a value for the parameter; false with a message when it does not fit its kind.
bool parseParameterValue(const CameraParameter &parameter, const QString &text, int &value, QString &error);
// The table as help text, one parameter a line.
QString cameraParameterHelp();
