#pragma once

#include "cameraclosereason.h"
#include "cameradetection.h"
#include "camerainfo.h"
#include "camerasearcher.h"

#include "cameracontrolregion.h"
#include "cameradatabase.h"
#include "histogramtypes.h"
#include "ipinfo.h"
#include "videoframe.h"

#include <QHash>
#include <QMetaMethod>
#include <QPointF>
#include <QPointer>
#include <QTabWidget>
#include <QThread>
#include <memory>

class BaseCamera;
class QCheckBox;
class AdvancedLock;
class FfcControl;
class FoldingSection;
class IpSettingsControl;
class ProductionTestDialog;
class UpgradeControl;
class GammaCurveControl;
class HistogramControl;
class LedControl;
class SchemeControl;
class ParameterControl;
class RoiControl;
class RotateControl;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
struct CameraOpenInfo;
struct CameraParameter;

// The camera side panel. It chooses, opens and closes the camera (camsettings.cpp: the camera
// search, the selector, opening by itself where the rules allow) and shows every control of the
// open camera (cameracontrols.cpp).
//
// The panel never calls the camera: each request is a signal, named after the camera slot it
// reaches (setCamera…, getCamera…, resetCamera…), connected while the camera is open; the camera
// lives on a thread of its own, so the calls are queued. What the camera reports comes back to an
// onRecv… slot of the same name.
class CamSettings : public QTabWidget
{
    Q_OBJECT

public:
    explicit CamSettings(QWidget *parent = nullptr);
    ~CamSettings() override;

    // Starts the search thread: the first search after 1000 ms, then one every 2000 ms.
    void start();
    // Creates the model object for an open record and opens it; empty when the model is
    // unknown or the camera refuses. The object becomes the panel's current camera.
    std::shared_ptr<BaseCamera> openCamera(const CameraOpenInfo &record);

    bool isPaused() const { return m_paused; }
    // The open camera's information as last reported, with the operator's changes since.
    const CameraInfo &cameraInfo() const { return m_info; }
    // The controls of one camera parameter, by its name in the parameter table; null when the
    // panel shows it elsewhere (the LEDs).
    ParameterControl *parameterControl(const QString &name) const { return m_controls.value(name); }
    // The request signal that sets a parameter, and the camera slot a request signal reaches;
    // invalid when there is none.
    QMetaMethod requestSignal(const CameraParameter &parameter) const;
    static QMetaMethod cameraSlotFor(const QMetaMethod &request);

signals:
    void openCam(CameraType type, QString uniqueName, QString model);
    void closeCam(QString uniqueName, CameraCloseReason reason);
    // The live picture stops (true) or runs again, without closing the camera.
    void pauseStatusChanged(bool pause);

    void previewResChanged(QString res);
    void advWdigetUnlockStateChanged(bool isUnlock);
    void exposureTimeChanged(double value);
    void signalSendZoomString(int value, QString text);
    void signalConfigurationsImported();
    void signalCurVideoRotate(int rotateVal);
    void roiRegionStatusChanged(CameraControlRegion region, CameraControlRegion originalRegion, bool isCrop);
    void roiCropStatusChanged(bool isCorp);
    // The metering regions, for the picture view to draw and edit.
    void expRegionStatusChanged(CameraControlRegion region);
    void wBRegionStatusChanged(CameraControlRegion region);
    void bBRegionStatusChanged(CameraControlRegion region);
    void focusRegionV2StatusChanged(CameraControlRegion region);
    void focusRegionChanged(bool clickFocus, bool isBig, bool showRect);
    void setFocusRegionUI(int mode, int x, int y);

    // Requests to the current camera, queued to its thread.
    void setCameraFocusMode(FocusMode mode, bool sendValue);
    void setCameraFocusValue(int value);
    void setCameraFocusAdd();
    void setCameraFocusSub();
    void setCameraFocusOnce();
    void setCameraExpMode(ExposureMode mode, bool sendValue);
    void setCameraExpCompValue(int value);
    void setCameraExpGainValue(int value);
    void setCameraExpGainUnit(ExposureGainUnit unit);
    void setCameraExpTime(int time);
    void setCameraLongExpTime(int time);
    void setCameraWbMode(WbMode mode, bool sendValue);
    void setCameraWbRedValue(int value);
    void setCameraWbGreenValue(int value);
    void setCameraWbBlueValue(int value);
    void setCameraMirrorStatus(bool enable);
    void setCameraFlipStatus(bool enable);
    void setCameraHueValue(int value);
    void setCameraSaturationValue(int value);
    void setCameraContrastValue(int value);
    void setCameraSharpnessValue(int value);
    void setCameraDZoomValue(int value);
    void setCameraZoomValue(int value);
    void setCameraZoomRelativeValue(int value);
    void setCameraDefogStatus(bool enable);
    void setCameraMonoChromeStatus(bool enable);
    void setCameraFilckStatus(bool enable);
    void setCameraGammaValue(int value);
    void setCameraWhiteBalanceOnce();
    void setCameraFocusRegionStatus(bool enable);
    void setCameraFocusRegion(bool display, int mode, int x, int y);
    void setCameraFocusRegionV2(CameraControlRegion region);
    void setCameraExpRegion(bool enable, bool display, int x, int y, int width, int height);
    void setCameraWBRegion(bool enable, bool display, int x, int y, int width, int height);
    void setBlackBalanceRegion(bool enable, bool display, int x, int y, int width, int height);
    void setCameraDisplayMode(DisplayMode mode);
    void setCameraWBTemperatureValue(int value);
    void setCameraDRCValue(int value);
    void setCameraCACStatus(bool enable);
    void setCameraLDCIStatus(bool enable);
    void setCameraLed(int partIndex, int level);
    void setCameraAllLed(int up, int left, int right, int down);
    void setCameraZoomSpeed(int speed);
    void setGammaMode(GammaMode mode, bool sendValue);
    void setGammaBezierCurve(QVector<QPointF> points, int size);
    void setBlackBalanceOnce();
    void setBlackBalanceRedValue(int value, int max);
    void setBlackBalanceGreenValue(int value, int max);
    void setBlackBalanceBlueValue(int value, int max);
    void resetBlackBalance();
    void setNegativeStatus(bool enable);
    void startFFCCapture(int num);
    void setFFCStatus(bool enable);
    void setFFCAverageFrame(VideoFrame frame);
    void calcHistogramInfos(bool start, HistogramChannel channel, HistogramDisplayMode mode);
    void setHistogramCalcBoundariesOnce();
    void setHistogramStatus(bool enable);
    void setHistogramBoundaries(QVector<HistogramBoundaryInfo> infos, int max);
    void setCameraRoiRegion(CameraControlRegion roiRegion, CameraControlRegion originalRegion);
    void signalVideoRotate(int rotateVal);
    void upgradeCamera(QString filePath);
    void saveCameraConfig();
    void setCameraIp(IpInfo info);
    void getCameraAllInfo();
    void getCameraUpgradeStatus();
    void resetCameraFocus();
    void resetCameraExp();
    void resetCameraWB();
    void resetCameraFunc();
    void resetCameraLed();

public slots:
    void onDetectDevices(QMap<QString, CameraSearcher::SearchInfo> infos);
    // Ends the current camera: the object is dropped, the reason remembered for the automatic
    // opening, and closeCam tells the main window.
    void closeCameraForReason(QString uniqueName, CameraCloseReason reason);
    // The mouse wheel and the shortcuts: one focus step, one automatic focus, pause or go on.
    void onIncreaseOrDecreaseFoucs(bool increase);
    // One step of the camera's optical zoom (the mouse wheel in zoom mode).
    void onIncreaseOrDecreaseZoom(bool increase);
    void onFocusOnceBtn();
    void onPauseBtnToggled();
    void onResolutionChange(QString resolution);
    void onSetCameraDisplayMode(DisplayMode mode);
    // The page editor's display options changed: options turned off hide their controls.
    void onDisplayOptionsChanged();
    // A live frame arrived (for the production test's frame-rate check).
    void onLiveFrame();
    // The firmware upgrade: every check, then the request to the camera.
    void doUpgrade();

    // What the camera reports.
    void onRecvCameraAllInfo(CameraInfo info);
    void onRecvCameraFocusMode(FocusMode mode);
    void onRecvCameraFocusValue(int value);
    void onRecvCameraExpMode(ExposureMode mode);
    void onRecvCameraExpCompValue(int value);
    void onRecvCameraExpGainValue(int value);
    void onRecvCameraExpGainUnit(ExposureGainUnit unit);
    void onRecvCameraExpTime(int time);
    void onRecvCameraLongExpTime(int time);
    void onRecvCameraWbMode(WbMode mode);
    void onRecvCameraWbRedValue(int value);
    void onRecvCameraWbGreenValue(int value);
    void onRecvCameraWbBlueValue(int value);
    void onRecvCameraMirrorStatus(bool enable);
    void onRecvCameraFlipStatus(bool enable);
    void onRecvCameraHueValue(int value);
    void onRecvCameraSaturationValue(int value);
    void onRecvCameraContrastValue(int value);
    void onRecvCameraSharpnessValue(int value);
    void onRecvCameraDZoomValue(int value);
    void onRecvCameraZoomValue(int value);
    void onRecvCameraDefogStatus(bool enable);
    void onRecvCameraGammaValue(int value);
    void onRecvCameraMonoChromeStatus(bool enable);
    void onRecvCameraFlickStatus(bool enable);
    void onRecvCameraDisplayModeValue(DisplayMode mode);
    void onRecvCameraWBTemperatureValue(int value);
    void onRecvCameraDRCValue(int value);
    void onRecvCameraCACStatus(bool enable);
    void onRecvCameraLDCIStatus(bool enable);
    void onRecvCameraBlackBalanceRedValue(int value);
    void onRecvCameraBlackBalanceGreenValue(int value);
    void onRecvCameraBlackBalanceBlueValue(int value);
    void onRecvCameraNegativeStatus(bool enable);
    void onRecvCameraZoomSpeed(int speed);
    void onRecvCameraGammaMode(GammaMode mode);
    void onRecvCameraExpRegion(bool enable, int x, int y, int width, int height);
    void onRecvCameraWBRegion(bool enable, int x, int y, int width, int height);
    void onRecvCameraBlackBalanceRegion(bool enable, int x, int y, int width, int height);
    void onRecvCameraFocusRegionStatus(bool enable);
    void onRecvCameraFocusRegion(int mode, int x, int y);
    void onRecvCameraFocusRegionV2(bool enable, int x, int y, int width, int height);
    void onRecvPreviewResChanged(QString res);

    // Regions edited on the picture (enable, x, y, width, height in picture pixels).
    void onExpRegionUpdate(bool enable, int x, int y, int width, int height);
    void onWBRegionUpdate(bool enable, int x, int y, int width, int height);
    void onBBRegionUpdate(bool enable, int x, int y, int width, int height);
    void onFocusRegionV2Update(bool enable, int x, int y, int width, int height);
    void onRoiRegionUpdate(bool enable, int x, int y, int width, int height);
    // A focus point chosen on the picture (first region form: mode and grid cell).
    void onSetFocusRegion(int mode, int x, int y);

protected:
    void changeEvent(QEvent *event) override;

private slots:
    void onOpenButton();

private:
    void buildControls();
    // The controls with classes of their own, and their connections to the panel's requests.
    void buildPieces();
    void connectPieces(BaseCamera *camera);
    void retranslateControls();
    // Every control shows the camera's record; no camera: all disabled.
    void showInfo(const CameraInfo &info);
    static CameraControlRegion controlRegion(const CameraRegion &r);
    void showParameter(const char *name, int value);
    // An operator's change: to the camera, to the coupled controls and to the camera's row.
    void editParameter(const CameraParameter &parameter, int value);
    void updateExposureControls();
    // Configuration schemes: the current values under the scheme keys, and a scheme's values
    // applied in the keys' order, each to its control, the camera and the camera's row.
    QVariantMap schemeValues() const;
    void applyScheme(const QVariantMap &values);
    void applyFactorySettings();
    void updateZoomText(int value);
    void updateLock();
    // The region switches (regioncontrols.cpp): built into their sections, enabled by what the
    // camera meters in its current modes.
    void buildRegionSwitches();
    void updateRegionSwitches();
    void retranslateRegionSwitches();
    void setMeteredRegion(QCheckBox *box, CameraRegion &region, bool enable);
    void retranslate();
    void rebuildSelector();
    void updateOpenButton();
    // The panel's requests reach the current camera, and only it.
    void connectCamera();
    void disconnectCamera();
    void setPaused(bool pause);

    QComboBox *m_selector = nullptr;
    QPushButton *m_openButton = nullptr;
    QPushButton *m_pauseButton = nullptr;
    QLabel *m_modelLabel = nullptr;
    QLabel *m_cameraCaption = nullptr;
    QLabel *m_modelCaption = nullptr;
    QThread m_searchThread;
    CameraSearcher *m_searcher = nullptr;
    QTimer *m_searchTimer = nullptr;
    CameraDetection m_detection;
    int m_windowsVersion = 10;
    std::shared_ptr<BaseCamera> m_camera;
    QList<QMetaObject::Connection> m_cameraConnections; // cut when the camera closes
    CameraRange m_zoom;                                 // the current camera's optical zoom
    bool m_paused = false;
    QString m_cameraName;
    QString m_databaseKey; // the unique name the camera's database row is kept under
    CameraDatabase m_database;
    CameraInfo m_info; // as last reported, with the operator's changes since
    CameraRegion m_bbRegion;
    bool m_focusRegionV2Enable = false;
    QCheckBox *m_expRegionBox = nullptr;
    QCheckBox *m_wbRegionBox = nullptr;
    QCheckBox *m_bbRegionBox = nullptr;
    QCheckBox *m_focusRegionBox = nullptr;
    QSize m_pictureSize;

    QHash<QString, ParameterControl *> m_controls; // by parameter name
    QHash<QString, FoldingSection *> m_sections;   // by key
    QHash<QWidget *, int> m_displayOptions;        // control → the option that shows it
    QComboBox *m_gainUnit = nullptr;
    QPushButton *m_slowShutter = nullptr;
    QVector<QPushButton *> m_buttons; // buttons that need an open camera
    LedControl *m_led = nullptr;
    RoiControl *m_roi = nullptr;
    FfcControl *m_ffc = nullptr;
    RotateControl *m_rotate = nullptr;
    GammaCurveControl *m_gammaCurve = nullptr;
    HistogramControl *m_histogram = nullptr;
    SchemeControl *m_schemes = nullptr;
    IpSettingsControl *m_ip = nullptr;
    UpgradeControl *m_upgrade = nullptr;
    AdvancedLock *m_lock = nullptr;
    QPushButton *m_lockButton = nullptr;
    QWidget *m_advanced = nullptr; // what the lock closes
    QPointer<ProductionTestDialog> m_productionTest;
    QString m_cameraModel;
    bool m_netCamera = false;
};
