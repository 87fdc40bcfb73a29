#include "netcamera.h"

#include "frameconversion.h"
#include "imageprocess.h"
#include "netparamcache.h"
#include "printabletext.h"

#include <QDebug>
#include <QMutexLocker>
#include <QVersionNumber>
#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>
#include <vector>

using nlohmann::json;

namespace {

// The command set of NetCamera, per parameter.
const NetCamera::ParamRoute kRoutes[] = {
    /* Bright */ {"get_image", 3, "bright", "set_image"},
    /* Hue */ {"get_image", 3, "hue", "set_image"},
    /* Saturation */ {"get_image", 3, "saturation", "set_image"},
    /* Contrast */ {"get_image", 3, "contrast", "set_image"},
    /* Sharpness */ {"get_image", 3, "sharpness", "set_image"},
    /* Gamma */ {"img_hdr_gamma", 3, "level", "set_img_hdr_gamma"},
    /* Drc */ {"img_drc", 3, "drc", "set_img_drc"},
    /* FocusModeParam */ {"get_image", 3, "focus_mode", "set_image"},
    /* FocusValue */ {"get_image", 3, "focus_value", "set_image"},
    /* Zoom */ {"get_image", 3, "ezoom_value", "set_image"},
    /* DZoom */ {nullptr, 0, nullptr, nullptr},
    /* ZoomSpeed */ {nullptr, 0, nullptr, nullptr},
    /* ExpModeParam */ {"img_meexposure", 1, "expo_type", "set_img_meexposure"},
    /* ExpTime */ {"img_meexposure", 1, "shuttertime", "set_img_meexposure"},
    /* ExpGain */ {"img_meexposure", 1, "a_gain", "set_img_meexposure"},
    /* WbModeParam */ {"img_awb", 1, "awb", "set_img_awb"},
    /* WbRed */ {"info_img_awb", 1, "r", "set_img_awb"},
    /* WbGreen */ {"info_img_awb", 1, "gb", "set_img_awb"},
    /* WbBlue */ {"info_img_awb", 1, "b", "set_img_awb"},
    /* Mirror */ {"img_mirror_flip", 1, "mirror", "set_img_mirror_flip"},
    /* Flip */ {"img_mirror_flip", 1, "flip", "set_img_mirror_flip"},
    /* Flicker */ {"img_flick_hz", 1, "flick", "set_img_flick_hz"},
    /* Cac */ {"img_cac", 3, "cac", "set_img_cac"},
    /* Monochrome */ {nullptr, 0, nullptr, nullptr},
    /* Defog */ {"motor_demist", 1, "demist", "set_motor_demist"},
};
static_assert(sizeof(kRoutes) / sizeof(kRoutes[0]) == NetCamera::ParamCount, "one route per parameter");

const NetCamera::CommandNames kNames = {"img_roi", "set_img_roi", "ipv4", "wireless_ipv4", "wireless", "NetCamera"};

} // namespace

NetCamera::NetCamera(QObject *parent)
    : BaseCamera(parent)
    , m_stream(m_commands)
    , m_address(m_commands)
    , m_firmware(m_commands)
    , m_focusRegion(m_commands, m_info)
    , m_params(std::make_unique<NetParamCache>(m_info))
{
    initDefaultInfo();
}

NetCamera::~NetCamera()
{
    close();
    if (m_commands.loggedIn())
        logout();
}

void NetCamera::setRequester(std::unique_ptr<NetRequester> requester)
{
    m_commands.setRequester(std::move(requester));
}

void NetCamera::notSupported(const char *what) const
{
    qInfo().noquote()
        << QStringLiteral("%1 does not support %2!").arg(QLatin1String(commandNames().className), QLatin1String(what));
}

// ---- Requests ----------------------------------------------------------------------------

json NetCamera::command(const char *name, int fields) const
{
    json request{{"cmd", name}};
    if (fields & Chnn)
        request["chnn"] = m_channel;
    if (fields & Idx)
        request["idx"] = m_streamIndex;
    return request;
}

json NetCamera::getRequest(const json &request, int32_t loginId)
{
    json answer;
    return m_commands.exchange(request, loginId, false, answer) ? answer : json();
}

bool NetCamera::setRequest(const json &request, int32_t loginId)
{
    json answer;
    return m_commands.exchange(request, loginId, true, answer);
}

// ---- Parameters --------------------------------------------------------------------------

NetCamera::ParamRoute NetCamera::route(Param param) const
{
    return param >= 0 && param < ParamCount ? kRoutes[param] : ParamRoute{nullptr, 0, nullptr, nullptr};
}

const NetCamera::CommandNames &NetCamera::commandNames() const
{
    return kNames;
}

int NetCamera::cachedValue(Param param) const
{
    return m_params->value(param);
}

void NetCamera::storeValue(Param param, int value)
{
    m_params->store(param, value);
}

int NetCamera::toDevice(Param param, int value) const
{
    return m_params->toDevice(param, value);
}

int NetCamera::fromDevice(Param param, int value) const
{
    return m_params->fromDevice(param, value);
}

CameraRange *NetCamera::rangeOf(Param param)
{
    return m_params->range(param);
}

json NetCamera::setGroupRequest(const std::string &name) const
{
    const auto v = [this](Param p) { return toDevice(p, cachedValue(p)); };
    json r{{"cmd", name}};
    if (name == "set_image") {
        r["chnn"] = m_channel;
        r["bright"] = v(Bright);
        r["contrast"] = v(Contrast);
        r["saturation"] = v(Saturation);
        r["hue"] = v(Hue);
        r["focus_mode"] = v(FocusModeParam);
        r["focus_value"] = v(FocusValue);
        r["ezoom_value"] = v(Zoom);
        r["sharpness"] = v(Sharpness);
    } else if (name == "set_img_meexposure") {
        r["expo_type"] = v(ExpModeParam);
        r["shuttertime"] = v(ExpTime);
        r["a_gain"] = v(ExpGain);
    } else if (name == "set_img_awb") {
        r["chnn"] = m_channel;
        r["awb"] = m_info.wbMode == WbAuto ? "auto" : "manual";
        r["r"] = v(WbRed);
        r["gb"] = v(WbGreen);
        r["b"] = v(WbBlue);
    } else if (name == "set_img_mirror_flip") {
        r["flip"] = v(Flip);
        r["mirror"] = v(Mirror);
    } else if (name == "set_img_flick_hz") {
        r["flick"] = v(Flicker);
    } else if (name == "set_img_hdr_gamma") {
        r["level"] = v(Gamma);
    } else if (name == "set_img_drc") {
        r["chnn"] = m_channel;
        r["drc"] = v(Drc);
    } else if (name == "set_img_cac") {
        r["chnn"] = m_channel;
        r["cac"] = v(Cac);
    } else if (name == "set_motor_demist") {
        r["demist"] = v(Defog);
    } else {
        return json();
    }
    return r;
}

bool NetCamera::sendParam(Param param)
{
    const ParamRoute r = route(param);
    if (!r.setCommand)
        return false;
    const json request = setGroupRequest(r.setCommand);
    return !request.is_null() && setRequest(request);
}

bool NetCamera::applyParam(Param param, const char *slot, int value)
{
    if (cachedValue(param) == value)
        return false;
    qInfo().noquote() << QStringLiteral("%1:").arg(QLatin1String(slot)) << value;
    storeValue(param, value);
    return sendParam(param);
}

bool NetCamera::applyInMode(bool allowed, const char *refusal, Param param, const char *slot, int value)
{
    if (!allowed) {
        qInfo() << refusal;
        return false;
    }
    return applyParam(param, slot, value);
}

bool NetCamera::readParams(std::initializer_list<Param> params, const char *who)
{
    // One request per get command, asked in the order the parameters come.
    std::vector<std::pair<ParamRoute, std::vector<Param>>> groups;
    bool ok = true;
    for (Param p : params) {
        const ParamRoute r = route(p);
        if (!r.getCommand) {
            ok = false;
            continue;
        }
        auto it = std::find_if(groups.begin(), groups.end(),
                               [&r](const auto &g) { return std::strcmp(g.first.getCommand, r.getCommand) == 0; });
        if (it == groups.end())
            groups.push_back({r, {p}});
        else
            it->second.push_back(p);
    }
    for (const auto &group : groups) {
        const json answer = getRequest(command(group.first.getCommand, group.first.getFields));
        if (answer.is_null()) {
            ok = false;
            continue;
        }
        for (Param p : group.second) {
            try {
                const json &value = answer.at(group.first.getCommand).at(route(p).field);
                if (p == WbModeParam) {
                    m_info.wbMode = value.get<std::string>() == "auto" ? WbAuto : WbManual;
                    m_info.wbModeSupported = true;
                    continue;
                }
                const int device = jsonInt(value);
                if (p == FocusModeParam) {
                    m_info.focusModeSupported = device >= 0;
                    if (device < 0)
                        continue;
                }
                if (p == ExpModeParam)
                    m_info.expModeSupported = true;
                storeValue(p, fromDevice(p, device));
            } catch (const json::exception &e) {
                qWarning().noquote().nospace() << QStringLiteral("%1 failed, ").arg(QLatin1String(who)) << e.what();
                ok = false;
            }
        }
    }
    return ok;
}

void NetCamera::emitParam(Param param)
{
    m_params->report(*this, param);
}

void NetCamera::readAbilityRanges(const char *name, int fields,
                                  std::initializer_list<std::pair<const char *, Param>> names)
{
    const json answer = getRequest(command(name, fields));
    if (answer.is_null())
        return;
    for (const auto &[field, param] : names) {
        CameraRange *range = rangeOf(param);
        if (!range)
            continue;
        try {
            const json &entry = answer.at(name).at(field);
            range->min = jsonInt(entry.at("min"));
            range->max = jsonInt(entry.at("max"));
            range->def = jsonInt(entry.at("def"));
            range->supported = true;
        } catch (const json::exception &e) {
            qWarning().noquote().nospace() << "getControlRangeInfo failed, " << e.what();
        }
    }
}

void NetCamera::readDefaultRanges(const char *name, int fields,
                                  std::initializer_list<std::pair<const char *, Param>> names)
{
    const json answer = getRequest(command(name, fields));
    if (answer.is_null())
        return;
    for (const auto &[field, param] : names) {
        CameraRange *range = rangeOf(param);
        if (!range)
            continue;
        try {
            const json &body = answer.at(name);
            const json &limits = body.at("range").at(field);
            range->min = jsonInt(limits.at("min"));
            range->max = jsonInt(limits.at("max"));
            range->def = jsonInt(body.at(field));
            range->supported = true;
        } catch (const json::exception &e) {
            qWarning().noquote().nospace() << "getControlRangeInfo failed, " << e.what();
        }
    }
}

void NetCamera::loadRanges()
{
    readDefaultRanges("default_image", Chnn,
                      {{"bright", Bright},
                       {"contrast", Contrast},
                       {"saturation", Saturation},
                       {"hue", Hue},
                       {"sharpness", Sharpness},
                       {"focus_value", FocusValue},
                       {"ezoom_value", Zoom}});
    readDefaultRanges("default_img_meexposure", NoField, {{"a_gain", ExpGain}, {"shuttertime", ExpTime}});
    readDefaultRanges("default_img_awb", Chnn, {{"r", WbRed}, {"gb", WbGreen}, {"b", WbBlue}});
    readDefaultRanges("default_img_hdr_gamma", NoField, {{"level", Gamma}});
    readDefaultRanges("default_img_drc", Chnn, {{"drc", Drc}});
    if (m_info.focusModeSupported)
        readAbilityRanges("get_motor_ability", Idx, {{"focus_value", FocusValue}, {"ezoom_value", Zoom}});
}

// ---- Plain virtual operations ------------------------------------------------------------

void NetCamera::initDefaultInfo()
{
    m_info.current = m_resolution;
    m_info.photo = m_resolution;
    m_info.bitRate = m_stream.bitRate();
    m_info.fps = m_stream.frameRate();
}

CameraOpenInfo NetCamera::openInfo()
{
    CameraOpenInfo info = m_openInfo;
    m_stream.fillOpenInfo(info);
    info.cameraResolution = m_resolution;
    info.isNetCamera = true;
    return info;
}

void NetCamera::setResolutionInfo(const CameraOpenInfo &info)
{
    BaseCamera::setResolutionInfo(info);
    // A network camera's stream is described by the stream fields: kept for the next start.
    if (info.isNetCamera) {
        m_stream.storeSettings(info);
    }
}

QString NetCamera::displayName()
{
    return m_openInfo.address;
}

bool NetCamera::open(const CameraOpenInfo &openInfo)
{
    m_openInfo = openInfo;
    m_uniqueName = openInfo.address;
    m_displayName = openInfo.address;
    return m_commands.login(openInfo);
}

bool NetCamera::logout()
{
    return m_commands.logout();
}

bool NetCamera::start(const CameraOpenInfo &openInfo, CameraCloseReason &error)
{
    if (!isOpenAllowed()) {
        error = UnsupportedSystem;
        return false;
    }
    const bool h264 = openInfo.streamFormat == 3;
    m_stream.storeSettings(openInfo);

    if (!m_stream.openDecoder(m_channel, m_streamIndex)) {
        error = OpenFailed;
        return false;
    }
    if (!m_stream.send(m_channel, m_streamIndex)) {
        m_stream.closeDecoder();
        qWarning() << "Set stream failed!";
        error = OpenFailed;
        return false;
    }
    m_resolution.width = openInfo.width;
    m_resolution.height = openInfo.height;
    m_resolution.resolution = CameraResolution::text(openInfo.width, openInfo.height);
    m_resolution.format = h264 ? 3 : 0;
    m_info.current = m_resolution;
    m_info.bitRate = m_stream.bitRate();
    m_info.fps = m_stream.frameRate();
    emit previewReslutionChanged(m_resolution.resolution);
    return true;
}

bool NetCamera::changeResolution(const CameraOpenInfo &openInfo, CameraCloseReason &error)
{
    const QString format = openInfo.streamFormat == 3 ? QStringLiteral("h264") : QStringLiteral("mjpeg");
    if (format != m_stream.format()) {
        qInfo() << "Stream format changed!";
        m_stream.closeDecoder();
        return start(openInfo, error);
    }
    const bool changed = openInfo.width != m_stream.width() || openInfo.height != m_stream.height();
    const QString previous = m_stream.resolution();
    m_stream.setResolution(QStringLiteral("%1*%2").arg(openInfo.width).arg(openInfo.height));
    if (!m_stream.send(m_channel, m_streamIndex)) {
        m_stream.setResolution(previous);
        error = OpenFailed;
        return false;
    }
    if (changed) {
        m_stream.setSize(openInfo.width, openInfo.height);
        {
            QMutexLocker locker(&m_frameMutex);
            m_roi = CameraControlRegion();
        }
        m_resolution.width = openInfo.width;
        m_resolution.height = openInfo.height;
        m_resolution.resolution = CameraResolution::text(openInfo.width, openInfo.height);
        m_info.current = m_resolution;
        emit previewReslutionChanged(m_resolution.resolution);
    }
    return true;
}

bool NetCamera::close()
{
    m_stream.closeDecoder();
    return true;
}

VideoFrame NetCamera::readFrame()
{
    return readFrameWith([this] {
        return m_stream.readPicture([this](l_sdk_md_data *data) {
            QMutexLocker locker(&m_frameMutex);
            return rotateAndKeepLocked(m_roi.enable ? makeVideoFrame(data, m_roi.x, m_roi.y, m_roi.width, m_roi.height)
                                                    : makeVideoFrame(data));
        });
    });
}

void NetCamera::servePhotoRequest()
{
    PhotoRequest request;
    if (!takePhotoRequest(request))
        return;
    if (request.width == 0 && request.height <= 0)
        return;
    // The stream has one size at a time; photos are taken from the live picture.
    if (request.width != m_resolution.width || request.height != m_resolution.height)
        qInfo().noquote().nospace() << QStringLiteral("Net camera photo at the live size %1 instead of %2x%3")
                                           .arg(m_resolution.resolution)
                                           .arg(request.width)
                                           .arg(request.height);
    VideoFrame last;
    {
        QMutexLocker locker(&m_frameMutex);
        last = m_lastFrame;
    }
    emit sendVideoFrameForTakingPhoto(m_imageProcess->process(last));
}

void NetCamera::loadCaptureCapabilities()
{
    m_stream.readCapabilities(m_channel, m_streamIndex, m_uniqueName, m_info);
}

bool NetCamera::initCameraInfo(CameraInfo &info)
{
    const json system = getRequest(command("system", NoField));
    if (!system.is_null()) {
        try {
            const json &body = system.at("system");
            m_info.modelSuffix = NetCommandChannel::jsonText(body, "model_suffix");
            qInfo().noquote().nospace() << "NetCamera suffix=" + printableText(m_info.modelSuffix);
            const auto wifi = body.find("wifi");
            qInfo().noquote().nospace() << "Current camera wifi="
                                        << (wifi != body.end() ? QString::fromStdString(NetCommandChannel::dump(*wifi))
                                                               : QString());
            const QString software = NetCommandChannel::jsonText(body, "sw_ver");
            qInfo().noquote().nospace() << "Net software version=" + printableText(software);
            const QVector<int> parts = QVersionNumber::fromString(software).segments();
            m_info.version = parts.value(0) * 100 + parts.value(1) * 10 + parts.value(2);
            m_newSoftware = QVersionNumber::compare(QVersionNumber::fromString(software), QVersionNumber(5, 4, 5)) >= 0;
        } catch (const json::exception &e) {
            qWarning().noquote().nospace() << "getNetSoftwareVer failed, json throw an error:" << e.what();
        }
    }
    m_info.rangesFromDevice = m_rangeVersion == 0 || quint32(m_info.version) > m_rangeVersion;
    loadCaptureCapabilities();

    // Every routed value: a set command sends its whole group from the cache, so a value never
    // read would overwrite the camera's with the program's default.
    readParams({Bright, Contrast,  Saturation,   Hue,     Sharpness, Drc,         FocusModeParam, FocusValue, Zoom,
                DZoom,  ZoomSpeed, ExpModeParam, ExpTime, ExpGain,   WbModeParam, WbRed,          WbGreen,    WbBlue,
                Mirror, Flip,      Flicker,      Gamma,   Cac,       Monochrome,  Defog},
               "initCameraInfo");
    const auto served = [this](Param p) { return route(p).setCommand != nullptr; };
    m_info.mirrorSupported = served(Mirror);
    m_info.flickerSupported = served(Flicker);
    m_info.defogSupported = served(Defog);
    m_info.cacSupported = served(Cac);
    m_info.zoomSpeedSupported = served(ZoomSpeed);
    m_info.monochromeSupported = served(Monochrome) || served(Saturation); // else saturation 0
    if (m_info.rangesFromDevice)
        loadRanges();

    // The caller's choices of format and resolutions, checked against what is offered.
    const int format = info.format;
    const CameraResolution current = info.current;
    const CameraResolution photo = info.photo;
    info = m_info;
    info.format = format;
    info.current = current;
    info.photo = photo;
    keepStreamOffered(info);
    return true;
}

int NetCamera::wifiType()
{
    return m_address.wifiType(commandNames().wirelessIpv4);
}

bool NetCamera::checkIpChanged()
{
    const CommandNames &names = commandNames();
    return m_address.changedFrom(m_openInfo.address, wifiType(), names.ipv4, names.wirelessIpv4);
}

// ---- Firmware ----------------------------------------------------------------------------

QString NetCamera::upgradeKey() const
{
    return NetFirmwareUpdate::modelKey(m_openInfo.model);
}

bool NetCamera::checkUpgradeFile(const QString &path)
{
    return NetFirmwareUpdate::fits(path, upgradeKey());
}

void NetCamera::onUpgrade(QString filePath)
{
    const bool valid = checkUpgradeFile(filePath);
    qInfo().noquote().nospace() << "onUpgrade. FilePath=" + filePath + ", valid=" << valid;
    if (!valid)
        return;
    if (!m_firmware.start(m_openInfo, filePath))
        emit sendUpgradeStatus(UpgradeFailed, 0);
}

void NetCamera::onGetUpgradeStatus()
{
    int status = 0, percentage = 0;
    if (m_firmware.readStatus(m_openInfo.port.toInt(), status, percentage))
        emit sendUpgradeStatus(UpgradeStatus(status), percentage);
}

// ---- Address settings --------------------------------------------------------------------

std::vector<const char *> NetCamera::wirelessFields() const
{
    return {"type", "net", "ssid", "passwd", "enc"};
}

void NetCamera::onGetIpInfo()
{
    const CommandNames &names = commandNames();
    IpInfo wired;
    if (m_address.read(names.ipv4, false, wired))
        emit sendIpInfo(wired);
    IpInfo wireless;
    if (m_address.read(names.wirelessIpv4, true, wireless)) {
        m_address.readWireless(names.wireless);
        emit sendIpInfo(wireless);
    }
}

void NetCamera::onSetIp(IpInfo info)
{
    m_address.apply(info, m_channel, wirelessFields());
}

// ---- Setters -----------------------------------------------------------------------------

void NetCamera::onSetFocusMode(FocusMode mode, bool sendValue)
{
    if (m_info.focusMode == mode)
        return;
    qInfo() << "onSetFocusMode:" << int(mode);
    m_info.focusMode = mode;
    sendParam(FocusModeParam);
    if (mode == FocusManual && readParams({FocusValue}, "getFocusValue") && sendValue)
        emit sendFocusValue(m_info.focus.value);
}

void NetCamera::onSetFocusValue(int value)
{
    if (m_info.focusMode != FocusManual) {
        qInfo() << "Net camera, current mode can not change focus value.";
        return;
    }
    if (applyParam(FocusValue, "onSetFocusValue", value))
        emit sendFocusValue(value);
}

void NetCamera::onSetFocusOnce()
{
    if (m_info.focusMode == FocusAuto) {
        qInfo() << "Net camera, current mode can not trigger once focus.";
        return;
    }
    qInfo() << "onSetFocusOnce";
    // One focus run: the group goes out with the one-shot mode, the cached mode stays.
    const FocusMode kept = m_info.focusMode;
    m_info.focusMode = FocusOnce;
    sendParam(FocusModeParam);
    m_info.focusMode = kept;
}

void NetCamera::onSetExpMode(ExposureMode mode, bool sendValue)
{
    if (m_info.expMode == mode)
        return;
    qInfo() << "onSetExpMode:" << int(mode);
    m_info.expMode = mode;
    sendParam(ExpModeParam);
    if (mode == ExposureAuto) {
        if (readParams({Bright}, "getExpCompValue") && sendValue)
            emit sendExpCompValue(m_info.expComp.value);
    } else if (mode == ExposureManual) {
        if (readParams({ExpTime, ExpGain}, "getExpInfo") && sendValue) {
            emit sendExpTime(m_info.expTime.value);
            emit sendExpGainValue(m_info.expGain.value);
        }
    }
}

void NetCamera::onSetExpCompValue(int value)
{
    if (applyInMode(m_info.expMode == ExposureAuto, "Bright can only be modified in auto mode!", Bright,
                    "onSetExpCompValue", value))
        emit sendExpCompValue(value);
}

void NetCamera::onSetExpGainValue(int value)
{
    if (applyInMode(m_info.expMode == ExposureManual, "Exposure gain can only be modified in manual mode!", ExpGain,
                    "onSetExpGainValue", value))
        emit sendExpGainValue(value);
}

void NetCamera::onSetExpTime(int value)
{
    if (applyInMode(m_info.expMode == ExposureManual, "Exposure time can only be modified in manual mode!", ExpTime,
                    "onSetExpTime", value))
        emit sendExpTime(value);
}

void NetCamera::onSetWbMode(WbMode mode, bool sendValue)
{
    if (m_info.wbMode == mode)
        return;
    qInfo() << "onSetWbMode:" << int(mode);
    m_info.wbMode = mode;
    sendParam(WbModeParam);
    if (mode == WbManual && readParams({WbRed, WbGreen, WbBlue}, "getWbInfo") && sendValue) {
        emit sendWbRedValue(m_info.wbRed.value);
        emit sendWbGreenValue(m_info.wbGreen.value);
        emit sendWbBlueValue(m_info.wbBlue.value);
    }
}

void NetCamera::onSetWbRedValue(int value)
{
    if (applyInMode(m_info.wbMode == WbManual, "Red can only be modified in manual mode!", WbRed, "onSetWbRedValue",
                    value))
        emit sendWbRedValue(value);
}

void NetCamera::onSetWbGreenValue(int value)
{
    if (applyInMode(m_info.wbMode == WbManual, "Green can only be modified in manual mode!", WbGreen,
                    "onSetWbGreenValue", value))
        emit sendWbGreenValue(value);
}

void NetCamera::onSetWbBlueValue(int value)
{
    if (applyInMode(m_info.wbMode == WbManual, "Bule can only be modified in manual mode!", WbBlue, "onSetWbBlueValue",
                    value))
        emit sendWbBlueValue(value);
}

// Setters of one shape: compare, log, store, send the group, report.
#define LUMORA_NET_SETTER(slot, type, param)                                                                           \
    void NetCamera::slot(type value)                                                                                   \
    {                                                                                                                  \
        if (applyParam(param, #slot, int(value)))                                                                      \
            emitParam(param);                                                                                          \
    }
LUMORA_NET_SETTER(onSetMirrorStatus, bool, Mirror)
LUMORA_NET_SETTER(onSetFlipStatus, bool, Flip)
LUMORA_NET_SETTER(onSetHueValue, int, Hue)
LUMORA_NET_SETTER(onSetSaturationValue, int, Saturation)
LUMORA_NET_SETTER(onSetContrastValue, int, Contrast)
LUMORA_NET_SETTER(onSetSharpnessValue, int, Sharpness)
LUMORA_NET_SETTER(onSetZoomValue, int, Zoom)
LUMORA_NET_SETTER(onSetDefogStatus, bool, Defog)
LUMORA_NET_SETTER(onSetFilckStatus, bool, Flicker)
LUMORA_NET_SETTER(onSetGammaValue, int, Gamma)
LUMORA_NET_SETTER(onSetDRCValue, int, Drc)
LUMORA_NET_SETTER(onSetCACStatus, bool, Cac)
#undef LUMORA_NET_SETTER

void NetCamera::onSetMonoChromeStatus(bool enable)
{
    int saturation = 0;
    if (!switchMonochrome(enable, saturation))
        return;
    sendParam(Saturation);
    emit sendSaturationValue(saturation);
}

void NetCamera::onSaveCameraConfig()
{
    notSupported("save camera config");
}

void NetCamera::onSetExpRegion(bool, bool, int, int, int, int)
{
    notSupported("set exp region");
}

void NetCamera::onSetFocusRegionStatus(bool)
{
    qInfo() << "Current camera does not support to set focus region!";
}

void NetCamera::onSetMotorCenter()
{
    qInfo() << "Current Camera does not support to set motor center!";
}

void NetCamera::onSetFocusRegion(bool display, int mode, int x, int y)
{
    m_focusRegion.set(display, mode, x, y, commandNames().focusRegionSet, m_channel);
}

QRect NetCamera::shownFrame() const
{
    // The picture shown is the region of interest, or the whole stream.
    QMutexLocker locker(const_cast<QMutex *>(&m_frameMutex));
    if (m_roi.enable)
        return QRect(m_roi.x, m_roi.y, m_roi.width, m_roi.height);
    return QRect(0, 0, m_stream.width(), m_stream.height());
}

QRect NetCamera::toSensor(const QRect &rotated) const
{
    return NetFocusRegion::toSensor(rotated, shownFrame(), m_rotate.load());
}

QRect NetCamera::fromSensor(const QRect &sensor) const
{
    return NetFocusRegion::fromSensor(sensor, shownFrame(), m_rotate.load());
}

void NetCamera::onSetFocusRegionV2(CameraControlRegion region)
{
    qInfo().noquote().nospace() << "onSetFocusRegionV2 (Rotated): enable=" << region.enable << ", x=" << region.x
                                << ", y=" << region.y << ", width=" << region.width << ", height=" << region.height;
    m_focusRegion.setOnSensor(region.enable, toSensor(QRect(region.x, region.y, region.width, region.height)));
}

// ---- Getters -----------------------------------------------------------------------------

#define LUMORA_NET_GETTER(slot, param, who)                                                                            \
    void NetCamera::slot()                                                                                             \
    {                                                                                                                  \
        if (readParams({param}, who))                                                                                  \
            emitParam(param);                                                                                          \
    }
LUMORA_NET_GETTER(onGetFocusMode, FocusModeParam, "getFocusMode")
LUMORA_NET_GETTER(onGetFocusValue, FocusValue, "getFocusValue")
LUMORA_NET_GETTER(onGetExpMode, ExpModeParam, "getExpMode")
LUMORA_NET_GETTER(onGetExpCompValue, Bright, "getExpCompValue")
LUMORA_NET_GETTER(onGetExpGainValue, ExpGain, "getExpGainValue")
LUMORA_NET_GETTER(onGetExpTime, ExpTime, "getExpTime")
LUMORA_NET_GETTER(onGetWbMode, WbModeParam, "getWbMode")
LUMORA_NET_GETTER(onGetWbRedValue, WbRed, "getWbInfo")
LUMORA_NET_GETTER(onGetWbGreenValue, WbGreen, "getWbInfo")
LUMORA_NET_GETTER(onGetWbBlueValue, WbBlue, "getWbInfo")
LUMORA_NET_GETTER(onGetMirrorStatus, Mirror, "getMirrorStatus")
LUMORA_NET_GETTER(onGetFlipStatus, Flip, "getFlipStatus")
LUMORA_NET_GETTER(onGetHueValue, Hue, "getHueValue")
LUMORA_NET_GETTER(onGetSaturationValue, Saturation, "getSaturationValue")
LUMORA_NET_GETTER(onGetContrastValue, Contrast, "getContrastValue")
LUMORA_NET_GETTER(onGetSharpnessValue, Sharpness, "getSharpnessValue")
LUMORA_NET_GETTER(onGetZoomValue, Zoom, "getZoomValue")
LUMORA_NET_GETTER(onGetDefogStatus, Defog, "getDefogStatus")
LUMORA_NET_GETTER(onGetGammaValue, Gamma, "getGammaValue")
LUMORA_NET_GETTER(onGetFlickStatus, Flicker, "getFlickStatus")
#undef LUMORA_NET_GETTER

void NetCamera::onGetDRCValue()
{
    notSupported("get dra value");
}

void NetCamera::onGetCACStatus()
{
    notSupported("get cac status");
}

void NetCamera::onGetFocusRegionStatus()
{
    if (m_focusRegion.readEnabled(commandNames().focusRegionGet, m_channel, m_streamIndex))
        emit sendFocusRegionStatus(m_info.focusRegionEnable);
}

void NetCamera::onGetFocusRegion()
{
    if (m_focusRegion.read(commandNames().focusRegionGet, m_channel, m_streamIndex))
        emit sendFocusRegion(m_info.focusRegionMode, m_info.focusRegionX, m_info.focusRegionY);
}

void NetCamera::onGetFocusRegionV2()
{
    if (!m_focusRegion.readOnSensor(m_streamIndex))
        return;
    const QRect shown = fromSensor(m_info.focusRegionV2);
    emit sendFocusRegionV2(m_info.focusRegionEnable, shown.x(), shown.y(), shown.width(), shown.height());
}

void NetCamera::onGetFocusState()
{
    bool focusing = false;
    if (m_focusRegion.readFocusing(focusing))
        emit sendFocusState(focusing);
}

void NetCamera::readCameraInfo()
{
    CameraInfo info = m_info;
    initCameraInfo(info);
    m_monochromeSaturation = info.saturation.value;
    m_info = info;
}
