#include "apppaths.h"
#include "crashdumphandler.h"
#include "filelogger.h"
#include "librarylogs.h"
#include "quitsignals.h"
#include "mainwindow2.h"
#include "singleapplication.h"
#include "startup.h"
#include "surfaceformat.h"
#include "theme.h"

#include <QDebug>

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_DisableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
    QCoreApplication::setApplicationName(QStringLiteral("lumora"));
    qRegisterMetaType<MyLanguage>("MyLanguage");

    auto *app = new SingleApplication(argc, argv, true, SingleApplication::Mode::User, 1000);
    if (app->isSecondary()) {
        // The running copy comes to the front instead; this one leaves no trace.
        app->sendMessage(QByteArrayLiteral("RAISE_WIDGET"), 100);
        delete app;
        return 0;
    }

    Startup::initResources();
    const QString logPath = AppPaths::logFile();
    const QString dumpPath = AppPaths::dumpDir();
    qDebug().noquote() << "Current log path:" << logPath << ", dump path:" << dumpPath;
    FileLogger::instance().init(logPath);
    LibraryLogs::installCodecLogHook();
    CrashDumpHandler::instance().init(dumpPath);
    LibraryLogs::installUsbSdkLogHook();
    LibraryLogs::installNetSdkLogHook();
    Theme::load();
    setDefaultSurfaceFormat();
    QuitSignals::install([] { QCoreApplication::quit(); });

    Startup::runFirstRunChoice(AppPaths::firstRunMarker());
    if (!QuitSignals::received())
        Startup::openCameraDatabase();
    int exitCode = 0;
    if (!QuitSignals::received()) {
        auto *window = new MainWindow2;
        QObject::connect(app, &SingleApplication::receivedMessage, window, &MainWindow2::bringToFront);
        window->showMaximizedInAvailableArea();
        exitCode = app->exec();
        delete window;
    }
    qDebug() << "Lumora exits with code" << exitCode;
    delete app;
    return exitCode;
}
