// Ends the event loop cleanly on SIGTERM and SIGINT.
#pragma once

class QCoreApplication;

// Routes the signals into the application's event loop, which then quits. False when the
// handlers could not be installed.
bool quitOnTerminationSignals(QCoreApplication *app);
