#pragma once

#include <QMetaType>

// A rectangle in picture coordinates with the display geometry it was drawn in. Used for
// focus regions and the region of interest; `display` is a second flag stored and compared
// along with `enable`.
struct CameraControlRegion
{
    bool enable = false;
    bool display = false;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int displayWidth = 0;
    int displayHeight = 0;

    // Compares both flags and the rectangle (not the display geometry).
    bool sameRegion(const CameraControlRegion &o) const
    {
        return enable == o.enable && display == o.display && x == o.x && y == o.y && width == o.width &&
               height == o.height;
    }
};

Q_DECLARE_METATYPE(CameraControlRegion)
