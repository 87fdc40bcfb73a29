#pragma once

#include "cameraenums.h"

#include <QMap>
#include <QMetaType>
#include <QObject>
#include <QString>

// Finds the cameras that can be opened: the USB SDK's devices and the network SDK's
// discovered cameras. It lives on a search thread; each search emits the whole list, also
// when it is empty or unchanged, and hot-plugging shows up as the difference between lists.
class CameraSearcher : public QObject
{
    Q_OBJECT

public:
    // One camera as a search offers it. USB: the SDK's device name, "LmCam_<position>
    // <connection label>", the product id in lower-case hexadecimal and the converted USB
    // speed. Network: the address as unique and display name, the model text it reports.
    struct SearchInfo
    {
        CameraType type = UsbCamera;
        QString uniqueName;
        QString displayName;
        QString model;
        int usbSpeed = 0;

        bool operator==(const SearchInfo &o) const
        {
            return type == o.type && uniqueName == o.uniqueName && displayName == o.displayName &&
                   model == o.model && usbSpeed == o.usbSpeed;
        }
        bool operator!=(const SearchInfo &o) const { return !(*this == o); }
    };
    using SearchResult = QMap<QString, SearchInfo>;

    explicit CameraSearcher(QObject *parent = nullptr);

    // The attached USB cameras, then the network cameras the network SDK's discovery has
    // found so far (a network camera wins over a USB camera of the same name).
    static SearchResult search();
    static void addUsbCameras(SearchResult &cameras);
    static void addNetworkCameras(SearchResult &cameras);

    // The network SDK and its discovery, which runs inside the SDK from start to stop and
    // whose list addNetworkCameras reads. start is true when discovery runs.
    static bool startNetworkDiscovery();
    static void stopNetworkDiscovery();

    // "(USB 1.0)", "(USB 1.1)", "(USB 2.0)" by the SDK's connection type; empty for faster links.
    static QString connectionLabel(quint32 busSpeed);
    // The program's USB speed code of a connection type: 0, 2, 1, 3 for 0..3, else 0.
    static int usbSpeedCode(quint32 busSpeed);

    enum class SystemType { Unknown, Windows, Other };
    // The code the USB 3 models are told on older Windows (10 for an unknown system, -1 for
    // another system type).
    static int windowsVersionCode(SystemType type, int major, int minor, int build);
    // The code of the running system; here, where the query does not exist, 10, which
    // leaves the devices alone.
    static int currentWindowsVersionCode();

public slots:
    // One complete search; emits sendSearchResult once.
    void onSearchCameras();

signals:
    void sendSearchResult(QMap<QString, CameraSearcher::SearchInfo> infos);
};

Q_DECLARE_METATYPE(CameraSearcher::SearchInfo)
