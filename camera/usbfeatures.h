#pragma once

#include <QtGlobal>

class QObject;

// Features a USB model switches on beyond what every USB camera serves. The model table lists
// them per family; a model has its own and those of the classes it derives from, less any it
// switches off.
enum UsbFeature : quint32 {
    UsbFocusMode = 1u << 0,       // focus mode and manual focus position
    UsbFocusOnce = 1u << 1,       // one-shot focus
    UsbFocusStep = 1u << 2,       // focus add and sub
    UsbFocusRegionGrid = 1u << 3, // focus region as a grid cell (first form, second form with a flag)
    UsbFocusRegionRect = 1u << 4, // focus region as a free rectangle (third form)
    UsbFocusState = 1u << 5,      // "focusing" state of the motor
    UsbZoom = 1u << 6,            // optical, digital and relative zoom
    UsbMotorCenter = 1u << 7,     // focus motor back to the middle of its travel
    UsbDrc = 1u << 8,
    UsbCac = 1u << 9,
    UsbLed = 1u << 10,            // ring light, single parts and all at once
    UsbZoomSpeed = 1u << 11,
    UsbDefog = 1u << 12,
    UsbFocusCurve = 1u << 13,     // focus curve calibration and validation
    UsbGainUnit = 1u << 14,
    UsbLongExposure = 1u << 15,
    UsbDisplayMode = 1u << 16,    // the device's scene preset
    UsbGammaCurve = 1u << 17,     // gamma mode and Bezier curve
    UsbNeedsUsb3 = 1u << 18,      // streams only over a USB 3 link
};

// The features of a USB camera object's model class; 0 for a class that is no USB model.
quint32 usbModelFeatures(const QObject *camera);
