#pragma once

#include "camerainfo.h"

#include <QString>

class BaseCamera;

// Where CameraInfo keeps a parameter: its value read and written as a number, and the range or
// the "supported" flag that goes with it.
struct CameraInfoField
{
    int (*get)(const CameraInfo &info) = nullptr; // null: CameraInfo does not keep it
    void (*set)(CameraInfo &info, int value) = nullptr;
    CameraRange CameraInfo::*range = nullptr; // the value is this range's; the device reports the range
    bool CameraInfo::*supported = nullptr;    // modes: whether the camera has one
};

// One camera parameter, described once for everything that reaches it: the command line, the
// control panel, the camera parameter database and the configuration record.
struct CameraParameter
{
    enum Kind { Integer, Flag, Choice };

    // How the parameter database's row holds the value, and how loading the row reads it.
    // A row never offers what the device lacks; it can only take a parameter away (-1).
    enum Stored {
        NotStored,
        Value,          // the value itself (a flag: non-zero is on)
        ValueOrMissing, // the value; -1: the model lacks the parameter
        Mode,           // -1: the model lacks it; 1: automatic; anything else: manual
        WbGain,         // read only while the white balance is manual
        // As ValueOrMissing, and missing with the exposure mode; read only while the exposure is
        // automatic, or manual.
        WhileAutoExposure,
        WhileManualExposure,
        WhileFocus, // read only when the row has a focus position
        Presence,   // -1: the model lacks it; else the device's own position counts
        SavedOnly,  // remembered, not read back: the device's own position counts
    };

    // On the command line: `--set NAME=VALUE`.
    const char *name;
    Kind kind;
    // Choice: the words, separated by '|', and the value of each (null: 1, 2, 3…).
    const char *choices;
    const int *choiceValues;
    CameraInfoField field;
    // Calls `slot`; a mode slot is asked to report the values the mode brings.
    void (*apply)(BaseCamera &camera, int value);
    const char *slot;   // as the help shows it
    const char *signal; // the BaseCamera signal that reports the value
    // Where the value is remembered: the parameter database's column and the configuration
    // record's key; null: not there.
    const char *column;
    Stored stored;
    const char *recordKey;
    // The key of the value in a configuration scheme; null: schemes do not carry it.
    const char *schemeKey;
};

// Black balance values are shares of this.
constexpr int kBlackBalanceMax = 255;

// The table, in the order the command-line help lists it.
struct CameraParameterTable
{
    const CameraParameter *first;
    const CameraParameter *last;
    const CameraParameter *begin() const { return first; }
    const CameraParameter *end() const { return last; }
};
CameraParameterTable cameraParameters();

// The parameter of that name, or of that database column; null when none.
const CameraParameter *findCameraParameter(const QString &name);
const CameraParameter *findCameraParameterByColumn(const QString &column);
