#include "apppaths.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace AppPaths {

QString dataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString logFile()
{
    return dataDir() + QStringLiteral("/log/lumora.log");
}

QString dumpDir()
{
    return dataDir() + QStringLiteral("/dump");
}

QString firstRunMarker()
{
    return dataDir() + QStringLiteral("/.first_run_completed");
}

QString programDir()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace AppPaths
