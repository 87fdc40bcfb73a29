#pragma once

#include "cameraclosereason.h"
#include "camerasearcher.h"

#include <QStringList>

// What the control panel does with each search result, without widgets: notice a change,
// tell the USB 3 models on older Windows which system they run on, and decide which camera
// to open by itself: a lost camera whenever it is listed and none is open, or the only
// camera of a changed list while automatic opening is still allowed.
class CameraDetection
{
public:
    struct Config
    {
        QStringList usb3ProductIds; // models (product ids as searches write them) told the system version
        QString excludedProductId;  // a device that is never opened by itself; empty: none
    };

    struct Outcome
    {
        bool changed = false;      // the list differs from the previous one (and was stored)
        QString openName;          // the camera to open now, or empty
        QStringList toldSystem;    // USB 3 devices told the Windows version code
    };

    explicit CameraDetection(Config config = defaultConfig());

    // The program's own lists.
    static Config defaultConfig();
    // The lists from an installer's INI file (group "Discovery": "Usb3ProductIds", a
    // comma-separated list, and "ExcludedProductId"); a file or key that is absent keeps the
    // program's own value.
    static Config loadConfig(const QString &iniPath);
    // Where the installer puts that file: beside the program, "customInformation/camera.ini".
    static QString configPath();

    // Handles one search result. `cameraOpen`: a session is open; `windowsVersion`: the
    // system's code (CameraSearcher::currentWindowsVersionCode()).
    Outcome detect(const CameraSearcher::SearchResult &infos, bool cameraOpen, int windowsVersion);

    // A session ended: a lost camera is remembered, and reopened whenever it is listed while
    // none is open; a refused open changes nothing; any other end (the operator's close among them) forgets
    // the lost camera and stops the automatic opening of a single camera for the rest of the run.
    void sessionClosed(const QString &uniqueName, CameraCloseReason reason);

    const CameraSearcher::SearchResult &cameras() const { return m_cameras; }

private:
    Config m_config;
    CameraSearcher::SearchResult m_cameras;
    bool m_autoOpenAllowed = true;
    QString m_reconnectName;
};
