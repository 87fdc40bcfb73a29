#include "startup.h"

#include "apppaths.h"
#include "biologyindustrydialog.h"
#include "cameradatabase.h"
#include "quitsignals.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

// The resources live in a static library: nothing would pull them into the program
// unless they are registered by name.
static void initResourcesOutsideNamespace()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(translations);
}

namespace Startup {

void initResources()
{
    initResourcesOutsideNamespace();
}

namespace {
bool g_firstRun = false;
}

bool openCameraDatabase()
{
    CameraDatabase database;
    if (database.open())
        return true;
    qWarning().noquote() << CameraDatabase::openFailedMessage() << database.filePath();
    QMessageBox::critical(nullptr, QObject::tr("Error"), CameraDatabase::openFailedMessage(), QMessageBox::Ok);
    return false;
}

bool runFirstRunChoice(const QString &markerPath)
{
    if (QFileInfo::exists(markerPath))
        return false;

    BiologyIndustryDialog dialog;
    dialog.exec();
    g_firstRun = true;
    if (QuitSignals::received())
        return true;

    // The marker's leading dot hides it; a failure here only means the question comes again.
    QDir().mkpath(QFileInfo(markerPath).absolutePath());
    QFile marker(markerPath);
    if (marker.open(QIODevice::WriteOnly))
        marker.close();
    return true;
}

bool isFirstRun()
{
    return g_firstRun;
}

QString helpDocumentPath(MyLanguage language)
{
    const QString name = language == SimplifiedChinese ? QStringLiteral("/help/zh.pdf") : QStringLiteral("/help/en.pdf");
    return AppPaths::programDir() + name;
}

} // namespace Startup
