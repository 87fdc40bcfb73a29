#pragma once

#include "camerasearcher.h"

#include <QElapsedTimer>
#include <QMap>
#include <QString>

using CameraEntry = CameraSearcher::SearchInfo;

// Starts and stops the network search for the life of the object (the USB SDK is initialised
// by the caller). Network cameras answer within a moment; listings wait for the first answers.
class CameraDiscovery
{
public:
    CameraDiscovery();
    ~CameraDiscovery();
    CameraDiscovery(const CameraDiscovery &) = delete;
    CameraDiscovery &operator=(const CameraDiscovery &) = delete;

    // The attached USB cameras and the network cameras found, keyed by unique name; a network
    // camera wins over a USB camera of the same name.
    QMap<QString, CameraEntry> list() const;
    // The camera whose unique name, or else display name, is `name`; false when none is.
    bool find(const QString &name, CameraEntry &entry) const;

private:
    // Adds the network cameras, after waiting for the first answers.
    void addNetwork(QMap<QString, CameraEntry> &cameras) const;

    bool m_networkRunning = false;
    QElapsedTimer m_started;
};
