#pragma once

#include <QMetaType>
#include <array>

// The ring light: parts present, level range and the level of each part (up, left, right, down).
struct LedInfo
{
    bool supported = false;
    int partCount = 0;
    int minLevel = 0;
    int maxLevel = 0;
    int defaultLevel = 0;
    std::array<int, 4> levels{0, 0, 0, 0};
};

Q_DECLARE_METATYPE(LedInfo)
