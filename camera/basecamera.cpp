#include "basecamera.h"

#include "cameradatabase.h"
#include "cameraparameters.h"
#include "configstore.h"
#include "frameconversion.h"
#include "imageprocess.h"
#include "imageprocessrequests.h"
#include "models/cameramodeltable.h"

#include <QDateTime>
#include <QDebug>
#include <QJsonObject>
#include <QMutexLocker>

namespace {

// How often a frozen picture is handed out again.
constexpr qint64 kFrozenRepeatMs = 33;

// One "not support" line on the info channel, without quoting.
void notSupported(const char *text)
{
    qInfo().noquote() << text;
}

} // namespace

BaseCamera::BaseCamera(QObject *parent) : QObject(parent)
{
    registerCameraTypes();
    m_resolution.width = 1920;
    m_resolution.height = 1080;
    m_resolution.resolution = QStringLiteral("1920x1080");
    m_info.current = m_resolution;
    m_info.photo = m_resolution;

    m_imageProcess = new ImageProcess;
    m_imageProcess->moveToThread(&m_processThread);
    m_toImageProcess = new ImageProcessRequests(m_imageProcess, this);
    connect(&m_processThread, &QThread::finished, m_imageProcess, &QObject::deleteLater);
    connect(m_imageProcess, &ImageProcess::sendFFCAverageFrame, this, &BaseCamera::sendFFCAverageFrame);
    connect(m_imageProcess, &ImageProcess::sendFFCCurrentCaptureNum, this, &BaseCamera::sendFFCCurrentCaptureNum);
    connect(m_imageProcess, &ImageProcess::sendHistogramBoundaries, this, &BaseCamera::sendHistogramBoundaries);
    connect(m_imageProcess, &ImageProcess::sendHistogramInfos, this, &BaseCamera::sendHistogramInfos);
    connect(m_imageProcess, &ImageProcess::sendBlackBalance, this, &BaseCamera::onRecvBlackBalance);
    // The worker's frame requests are answered by the acquisition thread with the next frames
    // it reads (a flat-field average needs distinct frames), never with the last one again.
    m_processThread.start(QThread::InheritPriority);
}

BaseCamera::~BaseCamera()
{
    saveConfigurationRecord();
    m_processThread.quit();
    m_processThread.wait();
}

void BaseCamera::saveConfigurationRecord()
{
    if (m_modelKey.isEmpty())
        return;
    const CameraInfo &i = m_info;
    QJsonObject record{
        {"resolution", i.current.resolution},
        {"pictureResolution", i.photo.resolution},
        {"format", i.format},
        {"rotate", m_rotate.load()},
    };
    for (const CameraParameter &p : cameraParameters()) {
        if (!p.recordKey)
            continue;
        const int value = p.field.get(i);
        record.insert(QLatin1String(p.recordKey), p.kind == CameraParameter::Flag ? QJsonValue(value != 0) : value);
    }
    ConfigStore::instance().saveCameraConfiguration(m_modelKey, record);
}

// ---- Plain virtual operations ----------------------------------------------------------

CameraOpenInfo BaseCamera::openInfo()
{
    CameraOpenInfo info;
    info.cameraResolution = m_resolution;
    return info;
}

void BaseCamera::setResolutionInfo(const CameraOpenInfo &info)
{
    m_resolution = info.cameraResolution;
}

bool BaseCamera::isOpenAllowed()
{
    return true;
}

bool BaseCamera::isFeatureVersion()
{
    return quint32(m_info.version) >= m_featureVersion;
}

bool BaseCamera::checkUpgradeFile(const QString &)
{
    notSupported("Current camera is not support upgrade!");
    return false;
}

QString BaseCamera::uniqueName()
{
    return m_uniqueName;
}

QString BaseCamera::displayName()
{
    return m_displayName.isEmpty() ? m_uniqueName : m_displayName;
}

void BaseCamera::onDisplayModeChanged() {}

bool BaseCamera::logout()
{
    return true;
}

int BaseCamera::wifiType()
{
    notSupported("No Wifi Type");
    return -1;
}

bool BaseCamera::checkIpChanged()
{
    notSupported("No checkIpChanged");
    return false;
}

void BaseCamera::buildCaptureContext() {}
void BaseCamera::loadDefaultParameters()
{
    const CameraModelRow *model = cameraModelOf(this);
    if (!model)
        return;
    CameraDatabase database;
    if (!database.open()) {
        qWarning().noquote() << "Camera parameter database cannot be opened:" << database.filePath();
        return;
    }
    CameraInfo stored = m_info;
    if (!database.loadDefaultParameters(uniqueName(), model->defaults, stored))
        return;
    // What differs from the device goes to it; the table lists the modes before the values they gate.
    // A value outside the range the device reports (a row seeded with another scale) stays out:
    // a network camera refuses the whole group that carries it.
    for (const CameraParameter &p : cameraParameters()) {
        const int value = p.field.get ? p.field.get(stored) : 0;
        if (!CameraDatabase::rowHolds(p, stored) || value == p.field.get(m_info))
            continue;
        const CameraRange *range = p.field.range ? &(m_info.*p.field.range) : nullptr;
        if (range && range->supported && m_info.rangesFromDevice && (value < range->min || value > range->max)) {
            qInfo().noquote() << QStringLiteral("Stored %1 %2 is outside %3..%4 of %5, the camera keeps %6")
                                     .arg(QLatin1String(p.name))
                                     .arg(value)
                                     .arg(range->min)
                                     .arg(range->max)
                                     .arg(uniqueName())
                                     .arg(range->value);
            continue;
        }
        p.apply(*this, value);
    }
    // The row decides all else; each stored parameter shows what the device took.
    const CameraInfo taken = m_info;
    m_info = stored;
    for (const CameraParameter &p : cameraParameters()) {
        if (p.column)
            p.field.set(m_info, p.field.get(taken));
    }
}
void BaseCamera::loadCaptureCapabilities() {}
void BaseCamera::servePhotoRequest() {}

CameraControlRegion BaseCamera::roiRegion()
{
    QMutexLocker locker(&m_frameMutex);
    return m_roi;
}

bool BaseCamera::takePhotoRequest(PhotoRequest &request)
{
    QMutexLocker locker(&m_frameMutex);
    if (m_photoRequests.isEmpty())
        return false;
    request = m_photoRequests.dequeue();
    return true;
}

// ---- Setters that a camera type may not serve --------------------------------------------

void BaseCamera::onSetFocusMode(FocusMode, bool)
{
    notSupported("Current camera not support focus");
}
void BaseCamera::onSetFocusValue(int)
{
    notSupported("Current camera not support focus");
}
void BaseCamera::onSetFocusAdd()
{
    notSupported("Current camera not support focus");
}
void BaseCamera::onSetFocusSub()
{
    notSupported("Current camera not support focus");
}
void BaseCamera::onSetFocusOnce()
{
    notSupported("Current camera not support focus");
}
void BaseCamera::onSetExpMode(ExposureMode, bool)
{
    notSupported("Current camera not support exposure mode");
}
void BaseCamera::onSetExpCompValue(int)
{
    notSupported("Current camera not support exposure compensation");
}
void BaseCamera::onSetExpGainValue(int)
{
    notSupported("Current camera not support exposure gain");
}
void BaseCamera::onSetExpGainUnit(ExposureGainUnit)
{
    notSupported("Current camera does not support to set exp gain unit!");
}
void BaseCamera::onSetExpTime(int)
{
    notSupported("Current camera not support exposure time");
}
void BaseCamera::onSetLongExpTime(int)
{
    notSupported("Current camera does not support to set long exp time!");
}
void BaseCamera::onSetWbMode(WbMode, bool)
{
    notSupported("Current camera not support white balance");
}
void BaseCamera::onSetWbRedValue(int)
{
    notSupported("Current camera not support white balance");
}
void BaseCamera::onSetWbGreenValue(int)
{
    notSupported("Current camera not support white balance");
}
void BaseCamera::onSetWbBlueValue(int)
{
    notSupported("Current camera not support white balance");
}
void BaseCamera::onSetMirrorStatus(bool)
{
    notSupported("Current camera not support mirror");
}
void BaseCamera::onSetFlipStatus(bool)
{
    notSupported("Current camera not support flip");
}
void BaseCamera::onSetHueValue(int)
{
    notSupported("Current camera not support hue");
}
void BaseCamera::onSetSaturationValue(int)
{
    notSupported("Current camera not support saturation");
}
void BaseCamera::onSetContrastValue(int)
{
    notSupported("Current camera not support contrast");
}
void BaseCamera::onSetSharpnessValue(int)
{
    notSupported("Current camera not support sharpness");
}
void BaseCamera::onSetDZoomValue(int)
{
    notSupported("Current camera does not support to adjust digit zoom");
}
void BaseCamera::onSetZoomValue(int)
{
    notSupported("Current camera does not support to adjust zoom");
}
void BaseCamera::onSetZoomRelativeValue(int)
{
    notSupported("Current camera does not support to adjust ZoomRelative");
}
void BaseCamera::onSetDefogStatus(bool)
{
    notSupported("Current camera not support defog");
}
void BaseCamera::onSetMonoChromeStatus(bool)
{
    notSupported("Current camera not support monochrome");
}
void BaseCamera::onSetFilckStatus(bool)
{
    notSupported("Current camera not support flicker");
}
void BaseCamera::onSetGammaValue(int)
{
    notSupported("Current camera not support gamma");
}

void BaseCamera::onReset()
{
    onResetBasicSettings();
    onResetAdvancedSettings();
}

void BaseCamera::onSaveCameraConfig()
{
    notSupported("Current camera not support save config!");
}
void BaseCamera::onUpgrade(QString)
{
    notSupported("Current camera is not support upgrade!");
}
void BaseCamera::onSetIp(IpInfo)
{
    notSupported("Current camera not support set ip!");
}
void BaseCamera::onSetFocusRegionStatus(bool)
{
    notSupported("Current camera not support focus region");
}
void BaseCamera::onSetFocusRegion(bool, int, int, int)
{
    notSupported("Current camera not support focus region");
}
void BaseCamera::onSetFocusRegionV2(CameraControlRegion)
{
    notSupported("Current camera not support focus region v2");
}
void BaseCamera::onSetWhiteBalanceOnce()
{
    notSupported("Current camera not support white balance once");
}
void BaseCamera::onSetMotorCenter()
{
    notSupported("Current camera not support motor center");
}
void BaseCamera::onSetCameraDisplayMode(DisplayMode)
{
    notSupported("Current camera not support set display mode");
}
void BaseCamera::onResetBasicSettings() {}
void BaseCamera::onResetAdvancedSettings() {}
void BaseCamera::onCalibrateCurve()
{
    notSupported("Current camera not support calibrate curve");
}
void BaseCamera::onValidateCurve()
{
    notSupported("Current camera not support validate curve");
}
void BaseCamera::onSetWBTemperatureValue(int)
{
    notSupported("Current camera not support white balance temperature");
}
void BaseCamera::onSetExpRegion(bool, bool, int, int, int, int)
{
    notSupported("Current camera not support exp region");
}
void BaseCamera::onSetWBRegion(bool, bool, int, int, int, int)
{
    notSupported("Current camera not support wb region");
}
void BaseCamera::onSetDRCValue(int)
{
    notSupported("Current camera not support DRC");
}
void BaseCamera::onSetCACStatus(bool)
{
    notSupported("Current camera not support CAC");
}
void BaseCamera::onSetLDCIStatus(bool)
{
    notSupported("Current camera not support LDCI");
}
void BaseCamera::onResetFocus() {}
void BaseCamera::onResetExp() {}
void BaseCamera::onResetWB() {}
void BaseCamera::onResetFunc() {}
void BaseCamera::onResetLed() {}
void BaseCamera::onSetLed(int, int)
{
    notSupported("Current camera not support set led!");
}
void BaseCamera::onSetAllLed(int, int, int, int)
{
    notSupported("Current camera not support set led!");
}
void BaseCamera::onSetZoomSpeed(int)
{
    notSupported("Current camera not support set zoom speed!");
}
void BaseCamera::onSetDeviceName(QString)
{
    notSupported("Current camera not support set device name!");
}
void BaseCamera::onSetEncryptStatus(bool)
{
    notSupported("Current camera not support encrypt");
}
void BaseCamera::onSetGammaMode(GammaMode, bool)
{
    notSupported("Current camera not support set Gamma mode!");
}
void BaseCamera::onSetGammaBezierCurve(QVector<QPointF>, int)
{
    notSupported("Current camera not support set Gamma bezier curve!");
}

// ---- Getters: by default they answer from the cache ---------------------------------------

void BaseCamera::onGetFocusMode()
{
    emit sendFocusMode(m_info.focusMode);
}
void BaseCamera::onGetFocusValue()
{
    emit sendFocusValue(m_info.focus.value);
}
void BaseCamera::onGetExpMode()
{
    emit sendExpMode(m_info.expMode);
}
void BaseCamera::onGetExpCompValue()
{
    emit sendExpCompValue(m_info.expComp.value);
}
void BaseCamera::onGetExpGainValue()
{
    emit sendExpGainValue(m_info.expGain.value);
}
void BaseCamera::onGetExpGainUnit()
{
    notSupported("Current camera does not support to get exp gain unit!");
}
void BaseCamera::onGetExpTime()
{
    emit sendExpTime(m_info.expTime.value);
}
void BaseCamera::onGetLongExpTime()
{
    notSupported("Current camera does not support to get long exp time!");
}
void BaseCamera::onGetWbMode()
{
    emit sendWbMode(m_info.wbMode);
}
void BaseCamera::onGetWbRedValue()
{
    emit sendWbRedValue(m_info.wbRed.value);
}
void BaseCamera::onGetWbGreenValue()
{
    emit sendWbGreenValue(m_info.wbGreen.value);
}
void BaseCamera::onGetWbBlueValue()
{
    emit sendWbBlueValue(m_info.wbBlue.value);
}
void BaseCamera::onGetMirrorStatus()
{
    emit sendMirrorStatus(m_info.mirror);
}
void BaseCamera::onGetFlipStatus()
{
    emit sendFlipStatus(m_info.flip);
}
void BaseCamera::onGetHueValue()
{
    emit sendHueValue(m_info.hue.value);
}
void BaseCamera::onGetSaturationValue()
{
    emit sendSaturationValue(m_info.saturation.value);
}
void BaseCamera::onGetContrastValue()
{
    emit sendContrastValue(m_info.contrast.value);
}
void BaseCamera::onGetSharpnessValue()
{
    emit sendSharpnessValue(m_info.sharpness.value);
}
void BaseCamera::onGetDZoomValue()
{
    notSupported("Current camera does not support to adjust digit zoom");
}
void BaseCamera::onGetZoomValue()
{
    notSupported("Current camera does not support to adjust zoom");
}
void BaseCamera::onGetZoomRelativeValue(int &)
{
    notSupported("Current camera does not support to adjust ZoomRelative");
}
void BaseCamera::onGetDefogStatus()
{
    notSupported("Current camera not support defog");
}
void BaseCamera::onGetGammaValue()
{
    emit sendGammaValue(m_info.gamma.value);
}
void BaseCamera::onGetMonoChromeStatus()
{
    emit sendMonoChromeStatus(m_info.monochrome);
}
void BaseCamera::onGetFlickStatus()
{
    emit sendFlickStatus(m_info.flicker);
}
void BaseCamera::onGetIpInfo()
{
    notSupported("Current camera not support get ip info!");
}
void BaseCamera::onGetUpgradeStatus()
{
    notSupported("Current camera not support get upgrade status!");
}
void BaseCamera::onGetFocusRegionStatus()
{
    notSupported("Current camera not support focus region");
}
void BaseCamera::onGetFocusRegion()
{
    notSupported("Current camera not support focus region");
}
void BaseCamera::onGetFocusRegionV2()
{
    notSupported("Current camera not support focus region v2");
}
void BaseCamera::onGetFocusState()
{
    notSupported("Current camera not support get focus state!");
}
void BaseCamera::onGetCameraDisplayMode()
{
    notSupported("Current camera not support get display mode");
}
void BaseCamera::onGetWBTemperatureValue()
{
    emit sendWBTemperatureValue(m_info.wbTemperature.value);
}
void BaseCamera::onGetExpRegion()
{
    const CameraRegion &r = m_info.expRegion;
    emit sendExpRegion(r.enable, r.x, r.y, r.width, r.height);
}
void BaseCamera::onGetWBRegion()
{
    const CameraRegion &r = m_info.wbRegion;
    emit sendWBRegion(r.enable, r.x, r.y, r.width, r.height);
}
void BaseCamera::onGetDRCValue()
{
    notSupported("Current camera not support DRC");
}
void BaseCamera::onGetCACStatus()
{
    notSupported("Current camera not support CAC");
}
void BaseCamera::onGetLDCIStatus()
{
    emit sendLDCIStatus(m_info.ldci);
}
void BaseCamera::onGetLedInfo()
{
    notSupported("Current camera not support get led info!");
}
void BaseCamera::onGetZoomSpeed()
{
    notSupported("Current camera not support get zoom speed!");
}
void BaseCamera::onGetEncryptStatus()
{
    emit sendEncryptStatus(m_info.encrypt);
}
void BaseCamera::onGetGammaMode()
{
    notSupported("Current camera not support get gamma mode info!");
}
void BaseCamera::onGetGammaBezierCurve()
{
    notSupported("Current camera not support get gamma bezier curve info!");
}
void BaseCamera::readCameraInfo() {}

void BaseCamera::onGetAllInfo()
{
    readCameraInfo();
    if (m_storedParameters)
        loadDefaultParameters();
    emit sendAllInfo(m_info);
}

// ---- Photo requests and the image-processing worker ---------------------------------------

void BaseCamera::onGetVideoFrameForTakingPhoto(CameraResolution photoRes)
{
    QMutexLocker locker(&m_frameMutex);
    m_photoRequests.enqueue({photoRes.width, photoRes.height, photoRes.resolution});
}

void BaseCamera::onSetBlackBalanceRegion(bool enable, bool, int x, int y, int width, int height)
{
    emit m_toImageProcess->setBlackBalanceRegion(enable, x, y, width, height);
    emit sendBlackBalanceRegion(enable, x, y, width, height);
}

void BaseCamera::onSetBlackBalanceOnce()
{
    emit m_toImageProcess->calcBlackBalance();
}

void BaseCamera::onSetBlackBalanceRedValue(int value, int)
{
    emit m_toImageProcess->setBlackBalanceR(value);
}

void BaseCamera::onSetBlackBalanceGreenValue(int value, int)
{
    emit m_toImageProcess->setBlackBalanceG(value);
}

void BaseCamera::onSetBlackBalanceBlueValue(int value, int)
{
    emit m_toImageProcess->setBlackBalanceB(value);
}

void BaseCamera::onResetBlackBalance()
{
    emit m_toImageProcess->setBlackBalance(0, 0, 0);
    emit sendBlackBalanceRedValue(0);
    emit sendBlackBalanceGreenValue(0);
    emit sendBlackBalanceBlueValue(0);
    emit sendBlackBalanceRegion(false, 0, 0, 0, 0);
}

void BaseCamera::onSetNegativeStatus(bool enable)
{
    emit m_toImageProcess->setNegative(enable);
    emit sendNegativeStatus(enable);
}

void BaseCamera::onSetFFCStatus(bool enable)
{
    emit m_toImageProcess->setFFCStatus(enable);
    emit sendFFCStatus(enable);
}

void BaseCamera::onSetFFCCaptureNum(int num)
{
    emit m_toImageProcess->startFFCCapture(num);
}

void BaseCamera::onSetFFCAverageFrame(VideoFrame frame)
{
    emit m_toImageProcess->setFFCAverageFrame(frame);
}

void BaseCamera::onCalcHistogramBoundariesOnce()
{
    emit m_toImageProcess->calcHistogramBoundariesOnce();
}

void BaseCamera::onSetHistogramStatus(bool enable)
{
    emit m_toImageProcess->setHistogramStatus(enable);
    emit sendHistogramStatus(enable);
}

void BaseCamera::onSetHistogramBoundaries(QVector<HistogramBoundaryInfo> infos, int)
{
    emit m_toImageProcess->setHistogramBoundaries(infos);
}

void BaseCamera::onCalcHistogramInfos(bool start, HistogramChannel channel, HistogramDisplayMode mode)
{
    emit m_toImageProcess->calcHistogramInfos(start, channel, mode);
}

void BaseCamera::onRecvBlackBalance(int red, int green, int blue)
{
    emit sendBlackBalanceRedValue(red);
    emit sendBlackBalanceGreenValue(green);
    emit sendBlackBalanceBlueValue(blue);
}

// ---- Region of interest and rotation ------------------------------------------------------

void BaseCamera::onSetRoiRegion(CameraControlRegion roiRegion, CameraControlRegion originalRegion)
{
    bool success = true;
    QString message;
    CameraControlRegion reported;
    {
        QMutexLocker locker(&m_frameMutex);
        if (!originalRegion.sameRegion(m_roi)) {
            if (roiRegion.enable) {
                const int right = roiRegion.x + roiRegion.width;
                const int bottom = roiRegion.y + roiRegion.height;
                int boundX = m_resolution.width;
                int boundY = m_resolution.height;
                if (m_roi.enable) {
                    boundX = m_roi.width;
                    boundY = m_roi.height;
                } else if (m_rotate == 90 || m_rotate == 270) {
                    std::swap(boundX, boundY);
                }
                if (right > boundX || bottom > boundY) {
                    success = false;
                    message = QStringLiteral("Out of range.");
                    if (right > boundX)
                        message += QStringLiteral("\nX + Width = %1 > %2").arg(right).arg(boundX);
                    if (bottom > boundY)
                        message += QStringLiteral("\nY + Height = %1 > %2").arg(bottom).arg(boundY);
                }
            }
            if (success) {
                m_roi.enable = originalRegion.enable;
                m_roi.display = originalRegion.display;
                if (originalRegion.enable) {
                    m_roi.x += originalRegion.x;
                    m_roi.y += originalRegion.y;
                } else {
                    m_roi.x = 0;
                    m_roi.y = 0;
                }
                m_roi.width = originalRegion.width;
                m_roi.height = originalRegion.height;
            }
        }
        reported = m_roi;
    }
    emit sendRoiSettingResult(success, message, reported, originalRegion);
}

void BaseCamera::onSetVideoRotate(int rotateVal)
{
    m_rotate = rotateVal;
}

VideoFrame BaseCamera::readFrameWith(const std::function<VideoFrame()> &readLive)
{
    servePhotoRequest();
    const qint64 nowMs = QDateTime::currentMSecsSinceEpoch();
    if (m_frozen.load()) {
        if (nowMs - m_lastFrameTimeMs <= kFrozenRepeatMs)
            return VideoFrame();
        m_lastFrameTimeMs = nowMs;
        QMutexLocker locker(&m_frameMutex);
        return m_lastFrame;
    }
    const VideoFrame out = readLive();
    if (!out.isNull())
        m_lastFrameTimeMs = nowMs;
    return out;
}

void BaseCamera::keepStreamOffered(CameraInfo &info)
{
    if (!info.formats.isEmpty() && !info.formats.contains(info.format))
        info.format = info.formats.first();
    const QVector<CameraResolution> offered = info.resolutions.value(info.format);
    if (offered.isEmpty())
        return;
    if (indexOfPixelCount(offered, info.current.pixelCount()) < 0)
        info.current = offered.first();
    if (indexOfPixelCount(offered, info.photo.pixelCount()) < 0)
        info.photo = offered.first();
}

bool BaseCamera::switchMonochrome(bool enable, int &saturation)
{
    if (m_info.monochrome == enable)
        return false;
    saturation = 0;
    if (enable) {
        if (m_info.saturation.value == 0)
            return false;
        m_monochromeSaturation = m_info.saturation.value;
    } else {
        saturation = m_monochromeSaturation;
    }
    qInfo().noquote() << QStringLiteral("onSetMonoChromeStatus:%1, saturation=%2").arg(enable).arg(saturation);
    m_info.monochrome = enable;
    m_info.saturation.value = saturation;
    return true;
}

VideoFrame BaseCamera::rotateAndKeepLocked(const VideoFrame &frame)
{
    VideoFrame out = frame;
    const int rotate = m_rotate.load();
    // The rotation needs whole 8-row blocks; drop the rows below the last one.
    if ((rotate == 90 || rotate == 270) && out.height() % 8 != 0)
        out = cropVideoFrame(out, 0, 0, out.width(), out.height() / 8 * 8);
    out = rotateVideoFrame(out, rotate);
    if (!out.isNull())
        m_lastFrame = out;
    return out;
}
