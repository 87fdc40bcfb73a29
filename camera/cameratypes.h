#pragma once

#include "cameraclosereason.h"
#include "cameracontrolregion.h"
#include "cameraenums.h"
#include "camerainfo.h"
#include "cameraopeninfo.h"
#include "cameraresolution.h"
#include "ipinfo.h"
#include "ledinfo.h"

// Registers the camera value types (and the histogram and frame types they travel with) for
// queued connections; safe to call more than once.
void registerCameraTypes();
