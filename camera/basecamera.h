#pragma once

#include "cameratypes.h"
#include "histogramtypes.h"
#include "videoframe.h"

#include <QMutex>
#include <QObject>
#include <QPointF>
#include <QQueue>
#include <QString>
#include <QThread>
#include <QVector>
#include <atomic>
#include <functional>

class ImageProcess;
class ImageProcessRequests;

// The interface of every camera, USB or network: plain virtual operations used by the
// acquisition thread and the main window, and the signal/slot surface of the control panel.
// Holds what all cameras share: the cached CameraInfo, the last frame and photo requests
// under the frame mutex, the frozen flag, rotation, region of interest, and the
// image-processing worker on its own thread.
class BaseCamera : public QObject
{
    Q_OBJECT

public:
    explicit BaseCamera(QObject *parent = nullptr);
    ~BaseCamera() override;

    // Operations in this order; derived transport classes implement the pure ones.
    virtual CameraOpenInfo openInfo();
    virtual void setResolutionInfo(const CameraOpenInfo &info);
    virtual bool isOpenAllowed();
    virtual bool isFeatureVersion();
    virtual bool checkUpgradeFile(const QString &path);
    virtual QString uniqueName();
    virtual QString displayName();
    virtual void onDisplayModeChanged();
    virtual bool open(const CameraOpenInfo &openInfo) = 0;
    virtual bool logout();
    virtual bool start(const CameraOpenInfo &openInfo, CameraCloseReason &error) = 0;
    virtual bool close() = 0;
    virtual bool changeResolution(const CameraOpenInfo &openInfo, CameraCloseReason &error) = 0;
    virtual VideoFrame readFrame() = 0;
    virtual int wifiType();
    virtual bool checkIpChanged();
    virtual bool initCameraInfo(CameraInfo &info) = 0;
    virtual void buildCaptureContext();
    // Puts the camera's row of the parameter database over the information read from the
    // device and sends the values it holds to the device, modes first.
    virtual void loadDefaultParameters();
    virtual void initDefaultInfo() = 0;
    virtual void loadCaptureCapabilities();
    virtual void servePhotoRequest();

    // Cached state, for the owner and tests.
    CameraInfo cameraInfo() const { return m_info; }
    int videoRotate() const { return m_rotate; }
    CameraControlRegion roiRegion();
    bool isFrozen() const { return m_frozen.load(); }
    ImageProcess *imageProcess() const { return m_imageProcess; }
    // Key of the camera's configuration record, saved when the camera goes; empty: nothing saved.
    QString modelKey() const { return m_modelKey; }
    // Whether onGetAllInfo puts the stored row over what it reads from the device, as the
    // program's cameras do.
    void useStoredParameters(bool use) { m_storedParameters = use; }

signals:
    void sendFocusMode(FocusMode mode);
    void sendFocusValue(int value);
    void sendExpMode(ExposureMode mode);
    void sendExpCompValue(int value);
    void sendExpGainValue(int value);
    void sendExpGainUnit(ExposureGainUnit unit);
    void sendExpTime(int value);
    void sendLongExpTime(int value);
    void sendWbMode(WbMode mode);
    void sendWbRedValue(int value);
    void sendWbGreenValue(int value);
    void sendWbBlueValue(int value);
    void sendMirrorStatus(bool enable);
    void sendFlipStatus(bool enable);
    void sendHueValue(int value);
    void sendSaturationValue(int value);
    void sendContrastValue(int value);
    void sendSharpnessValue(int value);
    void sendDZoomValue(int value);
    void sendZoomValue(int value);
    void sendDefogStatus(bool enable);
    void sendGammaValue(int value);
    void sendMonoChromeStatus(bool enable);
    void sendFlickStatus(bool enable);
    void sendIpInfo(IpInfo info);
    void sendUpgradeStatus(UpgradeStatus status, int percentage);
    void sendFocusRegionStatus(bool enable);
    void sendFocusRegion(int mode, int x, int y);
    void sendFocusRegionV2(bool enable, int x, int y, int width, int height);
    void sendFocusState(bool focusing);
    void sendDisplayModeValue(DisplayMode mode);
    void sendWBTemperatureValue(int value);
    void sendExpRegion(bool enable, int x, int y, int width, int height);
    void sendWBRegion(bool enable, int x, int y, int width, int height);
    void sendDRCValue(int value);
    void sendCACStatus(bool enable);
    void sendLDCIStatus(bool enable);
    void sendBlackBalanceRegion(bool enable, int x, int y, int width, int height);
    void sendBlackBalanceRedValue(int value);
    void sendBlackBalanceGreenValue(int value);
    void sendBlackBalanceBlueValue(int value);
    void sendNegativeStatus(bool enable);
    void sendLedInfo(LedInfo info);
    void sendZoomSpeed(int speed);
    void sendAllInfo(CameraInfo info);
    void sendEncryptStatus(bool enable);
    void sendGammaMode(GammaMode mode);
    void sendGammaBezierCurve(QVector<LmPoint> points, int size);
    void signalSetPicScale(int scale);
    void sendFFCStatus(bool enable);
    void sendFFCAverageFrame(VideoFrame frame);
    void sendFFCCurrentCaptureNum(int num);
    void sendHistogramBoundaries(QVector<HistogramBoundaryInfo> infos);
    void sendHistogramInfos(QVector<HistogramChannelInfo> infos);
    void sendHistogramStatus(bool enable);
    void sendVideoFrameForTakingPhoto(VideoFrame frame);
    void previewReslutionChanged(QString res);
    void sendRoiSettingResult(bool success, QString errorMsg, CameraControlRegion region,
                              CameraControlRegion originalRegion);

public slots:
    virtual void onSetFocusMode(FocusMode mode, bool sendValue = true);
    virtual void onSetFocusValue(int value);
    virtual void onSetFocusAdd();
    virtual void onSetFocusSub();
    virtual void onSetFocusOnce();
    virtual void onSetExpMode(ExposureMode mode, bool sendValue = true);
    virtual void onSetExpCompValue(int value);
    virtual void onSetExpGainValue(int value);
    virtual void onSetExpGainUnit(ExposureGainUnit unit);
    virtual void onSetExpTime(int value);
    virtual void onSetLongExpTime(int value);
    virtual void onSetWbMode(WbMode mode, bool sendValue = true);
    virtual void onSetWbRedValue(int value);
    virtual void onSetWbGreenValue(int value);
    virtual void onSetWbBlueValue(int value);
    virtual void onSetMirrorStatus(bool enable);
    virtual void onSetFlipStatus(bool enable);
    virtual void onSetHueValue(int value);
    virtual void onSetSaturationValue(int value);
    virtual void onSetContrastValue(int value);
    virtual void onSetSharpnessValue(int value);
    virtual void onSetDZoomValue(int value);
    virtual void onSetZoomValue(int value);
    virtual void onSetZoomRelativeValue(int value);
    virtual void onSetDefogStatus(bool enable);
    virtual void onSetMonoChromeStatus(bool enable);
    virtual void onSetFilckStatus(bool enable);
    virtual void onSetGammaValue(int value);
    virtual void onReset();
    virtual void onSaveCameraConfig();
    virtual void onUpgrade(QString filePath);
    virtual void onSetIp(IpInfo info);
    virtual void onSetFocusRegionStatus(bool enable);
    virtual void onSetFocusRegion(bool display, int mode, int x, int y);
    virtual void onSetFocusRegionV2(CameraControlRegion region);
    virtual void onSetWhiteBalanceOnce();
    virtual void onSetMotorCenter();
    virtual void onSetCameraDisplayMode(DisplayMode mode);
    virtual void onResetBasicSettings();
    virtual void onResetAdvancedSettings();
    virtual void onCalibrateCurve();
    virtual void onValidateCurve();
    virtual void onSetWBTemperatureValue(int value);
    virtual void onSetExpRegion(bool enable, bool display, int x, int y, int width, int height);
    virtual void onSetWBRegion(bool enable, bool display, int x, int y, int width, int height);
    virtual void onSetDRCValue(int value);
    virtual void onSetCACStatus(bool enable);
    virtual void onSetLDCIStatus(bool enable);
    virtual void onResetFocus();
    virtual void onResetExp();
    virtual void onResetWB();
    virtual void onResetFunc();
    virtual void onResetLed();
    virtual void onSetLed(int partIndex, int level);
    virtual void onSetAllLed(int up, int left, int right, int down);
    virtual void onSetZoomSpeed(int speed);
    virtual void onSetDeviceName(QString name);
    virtual void onSetEncryptStatus(bool enable);
    virtual void onSetGammaMode(GammaMode mode, bool sendValue = true);
    virtual void onSetGammaBezierCurve(QVector<QPointF> points, int size);

    virtual void onGetFocusMode();
    virtual void onGetFocusValue();
    virtual void onGetExpMode();
    virtual void onGetExpCompValue();
    virtual void onGetExpGainValue();
    virtual void onGetExpGainUnit();
    virtual void onGetExpTime();
    virtual void onGetLongExpTime();
    virtual void onGetWbMode();
    virtual void onGetWbRedValue();
    virtual void onGetWbGreenValue();
    virtual void onGetWbBlueValue();
    virtual void onGetMirrorStatus();
    virtual void onGetFlipStatus();
    virtual void onGetHueValue();
    virtual void onGetSaturationValue();
    virtual void onGetContrastValue();
    virtual void onGetSharpnessValue();
    virtual void onGetDZoomValue();
    virtual void onGetZoomValue();
    virtual void onGetZoomRelativeValue(int &value);
    virtual void onGetDefogStatus();
    virtual void onGetGammaValue();
    virtual void onGetMonoChromeStatus();
    virtual void onGetFlickStatus();
    virtual void onGetIpInfo();
    virtual void onGetUpgradeStatus();
    virtual void onGetFocusRegionStatus();
    virtual void onGetFocusRegion();
    virtual void onGetFocusRegionV2();
    virtual void onGetFocusState();
    virtual void onGetCameraDisplayMode();
    virtual void onGetWBTemperatureValue();
    virtual void onGetExpRegion();
    virtual void onGetWBRegion();
    virtual void onGetDRCValue();
    virtual void onGetCACStatus();
    virtual void onGetLDCIStatus();
    virtual void onGetLedInfo();
    virtual void onGetZoomSpeed();
    virtual void onGetEncryptStatus();
    virtual void onGetGammaMode();
    virtual void onGetGammaBezierCurve();
    // Reads the device, then its stored row where the camera uses it, and sends the result.
    virtual void onGetAllInfo();

    virtual void onGetVideoFrameForTakingPhoto(CameraResolution photoRes);
    virtual void onSetBlackBalanceRegion(bool enable, bool display, int x, int y, int width, int height);
    virtual void onSetBlackBalanceOnce();
    virtual void onSetBlackBalanceRedValue(int value, int max);
    virtual void onSetBlackBalanceGreenValue(int value, int max);
    virtual void onSetBlackBalanceBlueValue(int value, int max);
    virtual void onResetBlackBalance();
    virtual void onSetNegativeStatus(bool enable);
    virtual void onSetFFCStatus(bool enable);
    virtual void onSetFFCCaptureNum(int num);
    virtual void onSetFFCAverageFrame(VideoFrame frame);
    virtual void onCalcHistogramBoundariesOnce();
    virtual void onSetHistogramStatus(bool enable);
    virtual void onSetHistogramBoundaries(QVector<HistogramBoundaryInfo> infos, int max);
    virtual void onCalcHistogramInfos(bool start, HistogramChannel channel, HistogramDisplayMode mode);
    virtual void onSetRoiRegion(CameraControlRegion roiRegion, CameraControlRegion originalRegion);
    void onSetVideoRotate(int rotateVal);

private slots:
    void onRecvBlackBalance(int red, int green, int blue);

protected:
    // Fills the cached information from the device (nothing here).
    virtual void readCameraInfo();

    // Request queued by onGetVideoFrameForTakingPhoto.
    struct PhotoRequest
    {
        int width = 0;
        int height = 0;
        QString resolution;
    };

    // Takes the oldest photo request; false when none is queued.
    bool takePhotoRequest(PhotoRequest &request);
    // Saves the configuration record under the model key (nothing without a key).
    void saveConfigurationRecord();
    // Sets the frozen flag, returning its former value.
    bool setFrozen(bool frozen) { return m_frozen.exchange(frozen); }
    // Every camera's frame read: serves a waiting photo request; while the picture is frozen,
    // the last frame again every 33 ms and empty in between; else the live frame `readLive`
    // takes from the device (turned and kept, see rotateAndKeepLocked), noting when it came.
    VideoFrame readFrameWith(const std::function<VideoFrame()> &readLive);
    // Monochrome is saturation 0: turning it on remembers the colour saturation, turning it off
    // restores that. False when nothing changes; else the cache holds the new state and
    // `saturation` is the value for the device.
    bool switchMonochrome(bool enable, int &saturation);
    // Keeps the stream format and the live and photo sizes to what the device offers: an
    // unoffered format becomes the first offered, an unoffered size that format's first.
    static void keepStreamOffered(CameraInfo &info);
    // The live frame turned by the current rotation; a quarter turn first cuts the rows below
    // the last whole block of 8. Keeps the result as the last frame. Call under m_frameMutex.
    VideoFrame rotateAndKeepLocked(const VideoFrame &frame);
    void setModelKey(const QString &key) { m_modelKey = key; }

    CameraInfo m_info;
    QString m_uniqueName;
    QString m_displayName;
    QString m_modelKey;
    bool m_storedParameters = false;

    // Firmware thresholds set by the model classes; 0 means "always".
    quint32 m_rangeVersion = 0;
    quint32 m_focusRegionVersion = 0;
    quint32 m_featureVersion = 0;
    quint32 m_suffixVersion = 0;
    quint32 m_furtherVersion = 0;

    // Current stream resolution, defaults until the device is asked.
    CameraResolution m_resolution;

    // Guards m_lastFrame, m_roi and m_photoRequests.
    QMutex m_frameMutex;
    VideoFrame m_lastFrame;
    qint64 m_lastFrameTimeMs = 0;
    // The colour saturation monochrome returns to.
    int m_monochromeSaturation = 0;
    std::atomic<bool> m_frozen{false};
    std::atomic<int> m_rotate{0};
    CameraControlRegion m_roi;
    QQueue<PhotoRequest> m_photoRequests;

    QThread m_processThread;
    ImageProcess *m_imageProcess = nullptr;
    // The worker's slots, connected once; emitted from any thread, run on the worker's.
    ImageProcessRequests *m_toImageProcess = nullptr;
};
