#pragma once

#include <QString>

// Where the program keeps its files: the per-user data folder (Qt's AppDataLocation,
// i.e. $XDG_DATA_HOME/lumora on Linux) and the folder of the executable.
namespace AppPaths {

QString dataDir();          // no trailing slash
QString logFile();          // dataDir() + "/log/lumora.log"
QString dumpDir();          // dataDir() + "/dump"
QString firstRunMarker();   // dataDir() + "/.first_run_completed"
QString programDir();       // folder of the running executable

} // namespace AppPaths
