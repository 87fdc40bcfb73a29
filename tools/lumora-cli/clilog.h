#pragma once

// The message handler of lumora-cli: debug and info lines of the libraries are dropped unless
// verbose, warnings and worse go to standard error. It also counts the "does not support"
// lines the cameras log, so that a --set the camera ignores can be reported.
void installCliMessageHandler(bool verbose);
int unsupportedMessageCount();
