#pragma once

#include <QDateTime>

// When this program was built, from the compiler's date and time of this library's build.
QDateTime buildDateTime();

// Parses the compiler's __DATE__ ("Dec  6 2026") and __TIME__ ("07:45:38") texts.
QDateTime parseCompilerDateTime(const char *date, const char *time);
