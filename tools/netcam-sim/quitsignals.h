// Ends the event loop cleanly on SIGTERM and SIGINT.
#pragma once

class QCoreApplication;

// Routes the signals into the application's event loop, which then quits. False when the
// handlers could not be installed.
bool quitOnTerminationSignals(QCoreApplication *app);
// Sends this process SIGTERM (so it quits as above) when its parent process ends, even when
// the parent is killed. False where the system cannot, or when the parent is already gone.
bool quitWithParent();
