#pragma once

#include <QByteArray>

// Whether the machine has memory to spare for another picture or video tab.
// Logs the memory load; false when it is 91 percent or more, or cannot be read.
bool checkMemory();
// The same for a given /proc/meminfo text.
bool checkMemoryLoad(const QByteArray &meminfo);

// Percentage of physical memory in use from the text of /proc/meminfo; -1 when unreadable.
int memoryLoadFromMeminfo(const QByteArray &meminfo);

// The refusal threshold: a load below this many percent is acceptable.
inline constexpr int kMaxMemoryLoadPercent = 91;
