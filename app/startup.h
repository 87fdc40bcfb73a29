#pragma once

#include "mylanguage.h"

#include <QString>

// Start-up steps of main() that are worth testing on their own.
namespace Startup {

// Registers the style sheets, icons and translations compiled into the program.
void initResources();

// Shows the biology/industry choice when `markerPath` does not exist, then creates the
// marker so that the choice is offered only once. Returns true when the dialog was shown.
// When the program is asked to quit while the dialog is open, no marker is written.
bool runFirstRunChoice(const QString &markerPath);

// True once runFirstRunChoice() showed the dialog in this run.
bool isFirstRun();

// Opens the camera parameter database, creating it when missing, so that a broken file is
// known before any camera opens. On failure tells the operator ("Open Fail ?") and returns
// false; the program goes on without stored camera parameters.
bool openCameraDatabase();

// The help document for `language`: help/zh.pdf for Simplified Chinese, help/en.pdf else,
// in the program folder.
QString helpDocumentPath(MyLanguage language);

} // namespace Startup
