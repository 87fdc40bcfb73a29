#include "netcamera.h"

#include "frameconversion.h"
#include "imageprocess.h"
#include "printabletext.h"

#include <QDateTime>
#include <QDebug>
#include <QFileInfo>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QVersionNumber>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <l_sdk.h>
#include <limits>
#include <nlohmann/json.hpp>
#include <vector>

using nlohmann::json;

namespace {

// Process-wide decoder ids: one per network camera object, from 1.
std::atomic<int32_t> g_nextDecoderId{1};

// After two unreachable answers, the camera is asked again only after this long.
constexpr qint64 kBackOffMs = 10000;
// H.264 streams above this bit rate overrun the cameras' encoder.
constexpr int kH264MaxBitRate = 30000;

// Format names of the "stream" answer and their program format codes.
const std::pair<const char *, int> kStreamFormats[] = {{"h264", 3}, {"mjpeg", 0}, {"nv12", 1}, {"yuy2", 2}};

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

// Where the cache keeps each parameter (a range's value or a flag; neither: a mode or the zoom
// speed) and the signal that reports it.
struct CacheSlot
{
    CameraRange CameraInfo::*range;
    bool CameraInfo::*flag;
    void (BaseCamera::*intSignal)(int);
    void (BaseCamera::*flagSignal)(bool);
};
const CacheSlot kCache[] = {
    /* Bright */ {&CameraInfo::expComp, nullptr, &BaseCamera::sendExpCompValue, nullptr},
    /* Hue */ {&CameraInfo::hue, nullptr, &BaseCamera::sendHueValue, nullptr},
    /* Saturation */ {&CameraInfo::saturation, nullptr, &BaseCamera::sendSaturationValue, nullptr},
    /* Contrast */ {&CameraInfo::contrast, nullptr, &BaseCamera::sendContrastValue, nullptr},
    /* Sharpness */ {&CameraInfo::sharpness, nullptr, &BaseCamera::sendSharpnessValue, nullptr},
    /* Gamma */ {&CameraInfo::gamma, nullptr, &BaseCamera::sendGammaValue, nullptr},
    /* Drc */ {&CameraInfo::drc, nullptr, &BaseCamera::sendDRCValue, nullptr},
    /* FocusModeParam */ {nullptr, nullptr, nullptr, nullptr},
    /* FocusValue */ {&CameraInfo::focus, nullptr, &BaseCamera::sendFocusValue, nullptr},
    /* Zoom */ {&CameraInfo::opticalZoom, nullptr, &BaseCamera::sendZoomValue, nullptr},
    /* DZoom */ {&CameraInfo::digitalZoom, nullptr, &BaseCamera::sendDZoomValue, nullptr},
    /* ZoomSpeed */ {nullptr, nullptr, &BaseCamera::sendZoomSpeed, nullptr},
    /* ExpModeParam */ {nullptr, nullptr, nullptr, nullptr},
    /* ExpTime */ {&CameraInfo::expTime, nullptr, &BaseCamera::sendExpTime, nullptr},
    /* ExpGain */ {&CameraInfo::expGain, nullptr, &BaseCamera::sendExpGainValue, nullptr},
    /* WbModeParam */ {nullptr, nullptr, nullptr, nullptr},
    /* WbRed */ {&CameraInfo::wbRed, nullptr, &BaseCamera::sendWbRedValue, nullptr},
    /* WbGreen */ {&CameraInfo::wbGreen, nullptr, &BaseCamera::sendWbGreenValue, nullptr},
    /* WbBlue */ {&CameraInfo::wbBlue, nullptr, &BaseCamera::sendWbBlueValue, nullptr},
    /* Mirror */ {nullptr, &CameraInfo::mirror, nullptr, &BaseCamera::sendMirrorStatus},
    /* Flip */ {nullptr, &CameraInfo::flip, nullptr, &BaseCamera::sendFlipStatus},
    /* Flicker */ {nullptr, &CameraInfo::flicker, nullptr, &BaseCamera::sendFlickStatus},
    /* Cac */ {nullptr, &CameraInfo::cac, nullptr, &BaseCamera::sendCACStatus},
    /* Monochrome */ {nullptr, &CameraInfo::monochrome, nullptr, &BaseCamera::sendMonoChromeStatus},
    /* Defog */ {nullptr, &CameraInfo::defog, nullptr, &BaseCamera::sendDefogStatus},
};
static_assert(sizeof(kCache) / sizeof(kCache[0]) == NetCamera::ParamCount, "one cache slot per parameter");

const NetCamera::CommandNames kNames = {"img_roi", "set_img_roi", "ipv4", "wireless_ipv4", "wireless", "NetCamera"};

QString jsonText(const json &object, const char *name)
{
    const auto it = object.find(name);
    if (it == object.end() || !it->is_string())
        return QString();
    return QString::fromStdString(it->get<std::string>());
}

std::string dumpJson(const json &value)
{
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace

int NetCamera::jsonInt(const json &value)
{
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    if (value.is_boolean())
        return value.get<bool>() ? 1 : 0;
    if (value.is_number_unsigned())
        return int(std::min<uint64_t>(value.get<uint64_t>(), kMax));
    if (value.is_number_integer())
        return int(std::clamp<int64_t>(value.get<int64_t>(), kMin, kMax));
    // A double beyond int's range is undefined behaviour to convert; NaN is no number at all.
    const double number = value.get<double>();
    if (std::isnan(number))
        return 0;
    return int(std::clamp(number, double(kMin), double(kMax)));
}

NetCamera::NetCamera(QObject *parent)
    : BaseCamera(parent), m_requester(makeLSdkRequester()), m_decoderId(g_nextDecoderId.fetch_add(1))
{
    initDefaultInfo();
}

NetCamera::~NetCamera()
{
    close();
    if (m_loggedIn)
        logout();
}

void NetCamera::setRequester(std::unique_ptr<NetRequester> requester)
{
    m_requester = std::move(requester);
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

bool NetCamera::exchange(const json &request, int32_t loginId, bool set, json &answer)
{
    const qint64 now = m_requester->elapsedMs();
    if (m_failures >= 2 && now - m_failureMarkMs <= kBackOffMs)
        return false;
    if (m_failures >= 2)
        m_failures = 0;

    const std::string text = dumpJson(request);
    std::string answerText;
    const int32_t status = m_requester->request(loginId < 0 ? m_loginId : loginId, text, answerText);
    if (status == L_SDK_ERR_UNREACHABLE)
        ++m_failures;
    else if (status == L_SDK_OK)
        m_failures = 0;
    if (m_failures > 1)
        m_failureMarkMs = m_requester->elapsedMs();

    int code = -1;
    if (status == L_SDK_OK || !answerText.empty()) {
        try {
            answer = json::parse(answerText);
            code = jsonInt(answer.at(request.at("cmd").get<std::string>()).at("code"));
        } catch (const json::exception &e) {
            qWarning().noquote().nospace()
                << (set ? "setRequest failed, json throw an error:" : "getRequest failed, json throw an error:")
                << e.what();
            answer = json();
            return false;
        }
    }
    if (code != 0) {
        if (set)
            qWarning().noquote().nospace() << "setRequest failed, " + QString::fromStdString(text);
        else
            qWarning().noquote().nospace() << "Get requset failed " << QString::fromStdString(text);
        answer = json();
        return false;
    }
    return true;
}

json NetCamera::getRequest(const json &request, int32_t loginId)
{
    json answer;
    return exchange(request, loginId, false, answer) ? answer : json();
}

bool NetCamera::setRequest(const json &request, int32_t loginId)
{
    json answer;
    return exchange(request, loginId, true, answer);
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
    if (param < 0 || param >= ParamCount)
        return 0;
    const CacheSlot &slot = kCache[param];
    if (slot.range)
        return (m_info.*slot.range).value;
    if (slot.flag)
        return m_info.*slot.flag;
    switch (param) {
    case FocusModeParam:
        return m_info.focusMode;
    case ExpModeParam:
        return m_info.expMode;
    case WbModeParam:
        return m_info.wbMode;
    default:
        return m_info.zoomSpeed;
    }
}

void NetCamera::storeValue(Param param, int value)
{
    if (param < 0 || param >= ParamCount)
        return;
    const CacheSlot &slot = kCache[param];
    if (slot.range)
        (m_info.*slot.range).value = value;
    else if (slot.flag)
        m_info.*slot.flag = value != 0;
    else if (param == FocusModeParam)
        m_info.focusMode = FocusMode(value);
    else if (param == ExpModeParam)
        m_info.expMode = ExposureMode(value);
    else if (param == WbModeParam)
        m_info.wbMode = WbMode(value);
    else
        m_info.zoomSpeed = value;
}

int NetCamera::toDevice(Param param, int value) const
{
    switch (param) {
    case FocusModeParam:
        // 0 automatic, 1 manual, 2 one-shot; -1 tells the camera it has no focus motor.
        if (!m_info.focusModeSupported)
            return -1;
        return value == FocusAuto ? 0 : value == FocusManual ? 1 : value == FocusOnce ? 2 : value;
    case ExpModeParam:
        return value == ExposureAuto ? 0 : 1;
    default:
        return value;
    }
}

int NetCamera::fromDevice(Param param, int value) const
{
    switch (param) {
    case FocusModeParam:
        return value == 0 ? FocusAuto : value == 1 ? FocusManual : value == 2 ? FocusOnce : value;
    case ExpModeParam:
        return value == 0 ? ExposureAuto : ExposureManual;
    default:
        return value;
    }
}

CameraRange *NetCamera::rangeOf(Param param)
{
    return param >= 0 && param < ParamCount && kCache[param].range ? &(m_info.*kCache[param].range) : nullptr;
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
    if (param < 0 || param >= ParamCount)
        return;
    const CacheSlot &slot = kCache[param];
    const int value = cachedValue(param);
    if (slot.intSignal)
        emit(this->*slot.intSignal)(value);
    else if (slot.flagSignal)
        emit(this->*slot.flagSignal)(value != 0);
    else if (param == FocusModeParam)
        emit sendFocusMode(FocusMode(value));
    else if (param == ExpModeParam)
        emit sendExpMode(ExposureMode(value));
    else if (param == WbModeParam)
        emit sendWbMode(WbMode(value));
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
    m_info.bitRate = m_bitRate;
    m_info.fps = m_frameRate;
}

CameraOpenInfo NetCamera::openInfo()
{
    CameraOpenInfo info = m_openInfo;
    info.width = m_streamWidth;
    info.height = m_streamHeight;
    info.resolution = CameraResolution::text(m_streamWidth, m_streamHeight);
    info.streamFormat = m_streamFormat == QLatin1String("h264") ? 3 : 0;
    info.rateControl = m_rateControl;
    info.quality = m_quality;
    info.frameRate = m_frameRate;
    info.bitRate = m_bitRate;
    info.iFrameInterval = m_iFrameInterval;
    info.cameraResolution = m_resolution;
    info.isNetCamera = true;
    return info;
}

void NetCamera::setResolutionInfo(const CameraOpenInfo &info)
{
    BaseCamera::setResolutionInfo(info);
    // A network camera's stream is described by the stream fields: kept for the next start.
    if (info.isNetCamera) {
        storeStreamSettings(info);
    }
}

void NetCamera::storeStreamSettings(const CameraOpenInfo &openInfo)
{
    const bool h264 = openInfo.streamFormat == 3;
    m_streamFormat = h264 ? QStringLiteral("h264") : QStringLiteral("mjpeg");
    m_rateControl = openInfo.rateControl;
    m_quality = openInfo.quality;
    m_frameRate = openInfo.frameRate;
    m_bitRate = h264 ? qMin(openInfo.bitRate, kH264MaxBitRate) : openInfo.bitRate;
    m_iFrameInterval = openInfo.iFrameInterval;
    {
        QMutexLocker locker(&m_decoderMutex);
        m_streamWidth = openInfo.width;
        m_streamHeight = openInfo.height;
    }
    m_streamResolution = QStringLiteral("%1*%2").arg(openInfo.width).arg(openInfo.height);
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
    const json request{{"cmd", "login"},
                       {"ip", openInfo.address.toLocal8Bit().toStdString()},
                       {"port", openInfo.port.toInt()},
                       {"login",
                        {{"username", openInfo.userName.toLocal8Bit().toStdString()},
                         {"passwd", openInfo.password.toLocal8Bit().toStdString()}}}};
    int32_t id = 0;
    if (m_requester->login(id, dumpJson(request)) != L_SDK_OK) {
        qWarning().noquote().nospace() << "Login failed. ip: " + openInfo.address;
        return false;
    }
    m_loginId = id;
    m_loggedIn = true;
    m_failures = 0;
    qInfo().noquote().nospace() << "Login succeed. id: " << m_loginId;
    return true;
}

bool NetCamera::logout()
{
    const bool ok = m_requester->logout(m_loginId) == L_SDK_OK;
    m_loggedIn = false;
    if (ok)
        qInfo().noquote().nospace() << "Logout succeed. id: " << m_loginId;
    return ok;
}

bool NetCamera::sendStream()
{
    json request = command("set_stream", Chnn | Idx);
    request["fmt"] = m_streamFormat.toStdString();
    request["rc_mode"] = m_rateControl.toStdString();
    request["wh"] = m_streamResolution.toStdString();
    request["quality"] = m_quality.toStdString();
    request["frame_rate"] = m_frameRate;
    request["bitrate"] = m_bitRate;
    request["i_interval"] = m_iFrameInterval;
    return setRequest(request);
}

bool NetCamera::openDecoder()
{
    const json description{{"md_fmt", m_streamFormat == QLatin1String("h264") ? "H264" : "MJPEG"},
                           {"pix_fmt", "YUV420P_SEPARATE"}};
    QMutexLocker locker(&m_decoderMutex);
    if (m_requester->decoderOpen(m_decoderId, dumpJson(description)) != L_SDK_OK) {
        qWarning() << "Create decoder failed!";
        return false;
    }
    const int32_t bound = m_requester->decoderBind(m_decoderId, m_loginId, m_channel, m_streamIndex);
    if (bound != L_SDK_OK) {
        m_requester->decoderClose(m_decoderId);
        qWarning() << "Bind decoder failed!" << bound;
        return false;
    }
    m_decoderOpen = true;
    return true;
}

void NetCamera::closeDecoder()
{
    QMutexLocker locker(&m_decoderMutex);
    if (!m_decoderOpen)
        return;
    m_requester->decoderUnbind(m_decoderId);
    m_requester->decoderClose(m_decoderId);
    m_decoderOpen = false;
}

bool NetCamera::start(const CameraOpenInfo &openInfo, CameraCloseReason &error)
{
    if (!isOpenAllowed()) {
        error = UnsupportedSystem;
        return false;
    }
    const bool h264 = openInfo.streamFormat == 3;
    storeStreamSettings(openInfo);

    if (!openDecoder()) {
        error = OpenFailed;
        return false;
    }
    if (!sendStream()) {
        closeDecoder();
        qWarning() << "Set stream failed!";
        error = OpenFailed;
        return false;
    }
    m_resolution.width = openInfo.width;
    m_resolution.height = openInfo.height;
    m_resolution.resolution = CameraResolution::text(openInfo.width, openInfo.height);
    m_resolution.format = h264 ? 3 : 0;
    m_info.current = m_resolution;
    m_info.bitRate = m_bitRate;
    m_info.fps = m_frameRate;
    emit previewReslutionChanged(m_resolution.resolution);
    return true;
}

bool NetCamera::changeResolution(const CameraOpenInfo &openInfo, CameraCloseReason &error)
{
    const QString format = openInfo.streamFormat == 3 ? QStringLiteral("h264") : QStringLiteral("mjpeg");
    if (format != m_streamFormat) {
        qInfo() << "Stream format changed!";
        closeDecoder();
        return start(openInfo, error);
    }
    const bool changed = openInfo.width != m_streamWidth || openInfo.height != m_streamHeight;
    const QString previous = m_streamResolution;
    m_streamResolution = QStringLiteral("%1*%2").arg(openInfo.width).arg(openInfo.height);
    if (!sendStream()) {
        m_streamResolution = previous;
        error = OpenFailed;
        return false;
    }
    if (changed) {
        QMutexLocker decoderLocker(&m_decoderMutex);
        m_streamWidth = openInfo.width;
        m_streamHeight = openInfo.height;
    }
    if (changed) {
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
    closeDecoder();
    return true;
}

VideoFrame NetCamera::readFrame()
{
    servePhotoRequest();
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    VideoFrame out;
    if (readFrozenFrame(now, out))
        return out;
    QMutexLocker decoderLocker(&m_decoderMutex);
    if (!m_decoderOpen)
        return out;
    l_sdk_md_data *data = nullptr;
    const int32_t status = m_requester->decoderPicture(m_decoderId, &data);
    // Pictures of another size were encoded before a resolution change: dropped.
    if (status == L_SDK_OK && data && data->width == m_streamWidth && data->height == m_streamHeight) {
        QMutexLocker locker(&m_frameMutex);
        out = rotateAndKeepLocked(m_roi.enable ? makeVideoFrame(data, m_roi.x, m_roi.y, m_roi.width, m_roi.height)
                                               : makeVideoFrame(data));
    }
    if (data)
        m_requester->freePicture(data);
    if (!out.isNull())
        m_lastFrameTimeMs = now;
    return out;
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
    const json answer = getRequest(command("stream", Chnn | Idx));
    if (answer.is_null())
        return;
    qInfo().noquote().nospace() << "getCameraVideoCapabilities, stream json=" +
                                       QString::fromStdString(dumpJson(answer));
    m_info.formats.clear();
    m_info.resolutions.clear();
    try {
        const json &range = answer.at("stream").at("range");
        for (const auto &[name, format] : kStreamFormats) {
            const auto entry = range.find(name);
            if (entry == range.end())
                continue;
            for (const json &wh : entry->at("wh")) {
                const QStringList parts = QString::fromStdString(wh.get<std::string>()).split(QLatin1Char('*'));
                bool okW = false, okH = false;
                const int width = parts.size() == 2 ? parts[0].trimmed().toInt(&okW) : 0;
                const int height = parts.size() == 2 ? parts[1].trimmed().toInt(&okH) : 0;
                if (!okW || !okH || width <= 0 || height <= 0)
                    continue;
                CameraResolution resolution;
                resolution.devicePath = m_uniqueName;
                resolution.width = width;
                resolution.height = height;
                resolution.resolution = CameraResolution::text(width, height);
                resolution.format = format;
                insertResolution(m_info.resolutions[format], resolution);
            }
            if (!m_info.formats.contains(format) && !m_info.resolutions.value(format).isEmpty())
                m_info.formats.append(format);
        }
        std::sort(m_info.formats.begin(), m_info.formats.end());
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getCameraVideoCapabilities failed, " << e.what();
    }
}

bool NetCamera::initCameraInfo(CameraInfo &info)
{
    const json system = getRequest(command("system", NoField));
    if (!system.is_null()) {
        try {
            const json &body = system.at("system");
            m_info.modelSuffix = jsonText(body, "model_suffix");
            qInfo().noquote().nospace() << "NetCamera suffix=" + printableText(m_info.modelSuffix);
            const auto wifi = body.find("wifi");
            qInfo().noquote().nospace() << "Current camera wifi="
                                        << (wifi != body.end() ? QString::fromStdString(dumpJson(*wifi)) : QString());
            const QString software = jsonText(body, "sw_ver");
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

    readParams({Bright, Contrast,  Saturation,   Hue,     Sharpness, FocusModeParam, FocusValue, Zoom,
                DZoom,  ZoomSpeed, ExpModeParam, ExpTime, ExpGain,   WbModeParam,    WbRed,      WbGreen,
                WbBlue, Mirror,    Flip,         Flicker, Gamma,     Monochrome,     Defog},
               "initCameraInfo");
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
    if (!info.formats.isEmpty() && !info.formats.contains(info.format))
        info.format = info.formats.first();
    const QVector<CameraResolution> offered = info.resolutions.value(info.format);
    if (!offered.isEmpty()) {
        if (indexOfPixelCount(offered, info.current.pixelCount()) < 0)
            info.current = offered.first();
        if (indexOfPixelCount(offered, info.photo.pixelCount()) < 0)
            info.photo = offered.first();
    }
    return true;
}

int NetCamera::wifiType()
{
    IpInfo wireless;
    if (!readIpInfo(commandNames().wirelessIpv4, true, wireless))
        return -1;
    return wireless.address.isEmpty() || wireless.address == QLatin1String("0.0.0.0") ? 0 : 1;
}

bool NetCamera::checkIpChanged()
{
    const int type = wifiType();
    qInfo().noquote().nospace() << "NetConnectType " << type;
    IpInfo info;
    if (type == 1) {
        if (readIpInfo(commandNames().wirelessIpv4, true, info) && info.address != m_openInfo.address) {
            qInfo() << "change Wireless IP";
            return true;
        }
    } else if (type == 0) {
        if (readIpInfo(commandNames().ipv4, false, info) && info.address != m_openInfo.address) {
            qInfo() << "change Wired IP";
            return true;
        }
    }
    return false;
}

// ---- Firmware ----------------------------------------------------------------------------

QString NetCamera::upgradeKey() const
{
    QString key = m_openInfo.model;
    const int cut = key.indexOf(QLatin1String("_IPC"));
    if (cut >= 0)
        key.truncate(cut);
    return key.toLower();
}

bool NetCamera::checkUpgradeFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const QString key = upgradeKey();
    if (!(name.endsWith(QLatin1String(".update")) || name.endsWith(QLatin1String(".lpk"))) || key.isEmpty() ||
        !name.contains(key)) {
        qWarning() << "Invalid upgrade file name!";
        return false;
    }
    return true;
}

void NetCamera::onUpgrade(QString filePath)
{
    const bool valid = checkUpgradeFile(filePath);
    qInfo().noquote().nospace() << "onUpgrade. FilePath=" + filePath + ", valid=" << valid;
    if (!valid)
        return;
    // Built as JSON, never pasted into a text: a path may hold quotes or backslashes.
    const json request{{"cmd", "upgrade"},
                       {"ip", m_openInfo.address.toLocal8Bit().toStdString()},
                       {"port", m_openInfo.port.toInt()},
                       {"path", filePath.toLocal8Bit().toStdString()},
                       {"upgrade",
                        {{"username", m_openInfo.userName.toLocal8Bit().toStdString()},
                         {"passwd", m_openInfo.password.toLocal8Bit().toStdString()}}}};
    if (!setRequest(request, 0))
        emit sendUpgradeStatus(UpgradeFailed, 0);
}

void NetCamera::onGetUpgradeStatus()
{
    json request = command("status_upgrade", NoField);
    request["port"] = m_openInfo.port.toInt();
    const json answer = getRequest(request);
    if (answer.is_null())
        return;
    try {
        const json &body = answer.at("status_upgrade");
        const int status = jsonInt(body.at("status"));
        const int percentage = jsonInt(body.at("percentage"));
        qInfo().noquote().nospace() << "onGetUpgradeStatus. status=" << status << ", percentage=" << percentage;
        emit sendUpgradeStatus(UpgradeStatus(status), percentage);
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getUpgradeStatus failed, " << e.what();
    }
}

// ---- Address settings --------------------------------------------------------------------

bool NetCamera::readIpInfo(const char *name, bool wireless, IpInfo &info)
{
    const json answer = getRequest(command(name, NoField));
    if (answer.is_null())
        return false;
    try {
        const json &body = answer.at(name);
        info.wireless = wireless;
        info.dhcp = body.contains("dhcp") && jsonInt(body.at("dhcp")) != 0;
        info.address = jsonText(body, "ip");
        info.gateway = jsonText(body, "gateway");
        info.netmask = jsonText(body, "netmask");
        const QString dns1 = jsonText(body, "dns1");
        const QString dns2 = jsonText(body, "dns2");
        info.dns = dns2.isEmpty() ? dns1 : dns1 + QLatin1Char(',') + dns2;
        info.mac = jsonText(body, "mac");
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getIpInfo failed, " << e.what();
        return false;
    }
    if (wireless)
        m_wirelessAddress = info.address;
    else
        m_wiredAddress = info.address;
    return true;
}

std::vector<const char *> NetCamera::wirelessFields() const
{
    return {"type", "net", "ssid", "passwd", "enc"};
}

void NetCamera::onGetIpInfo()
{
    const CommandNames &names = commandNames();
    IpInfo wired;
    if (readIpInfo(names.ipv4, false, wired))
        emit sendIpInfo(wired);
    IpInfo wireless;
    if (readIpInfo(names.wirelessIpv4, true, wireless)) {
        const json answer = getRequest(command(names.wireless, NoField));
        if (!answer.is_null() && answer.contains(names.wireless))
            m_wireless = dumpJson(answer.at(names.wireless));
        emit sendIpInfo(wireless);
    }
}

void NetCamera::onSetIp(IpInfo info)
{
    const QStringList dns = info.dns.split(QRegularExpression(QStringLiteral("[,; ]+")), Qt::SkipEmptyParts);
    const QString dns1 = dns.value(0);
    const QString dns2 = dns.value(1);
    json request = command(info.wireless ? "set_wireless_ipv4" : "set_ipv4", Chnn);
    request["dhcp"] = info.dhcp ? 1 : 0;
    request["ip"] = info.address.toStdString();
    request["gateway"] = info.gateway.toStdString();
    request["netmask"] = info.netmask.toStdString();
    request["dns1"] = dns1.toStdString();
    request["dns2"] = dns2.toStdString();
    request["mac"] = info.mac.toStdString();
    if (!info.wireless) {
        qInfo().noquote().nospace() << "onSetIp, dhcp=" << info.dhcp << ", ip=" + info.address
                                    << ", gateway=" + info.gateway << ", netmask=" + info.netmask << ", dns1=" + dns1
                                    << ", dns2=" + dns2;
        setRequest(request);
        return;
    }
    json wireless = json::object();
    if (!m_wireless.empty())
        wireless = json::parse(m_wireless, nullptr, false);
    json set{{"cmd", "set_wireless"}, {"chnn", m_channel}};
    for (const char *field : wirelessFields()) {
        if (wireless.is_object() && wireless.contains(field))
            set[field] = wireless.at(field);
    }
    qInfo().noquote().nospace() << "onSetWirelessIp, wirelessDhcp=" << info.dhcp << ", wirelessIp=" + info.address
                                << ", wirelessGateway=" + info.gateway << ", wirelessNetmask=" + info.netmask
                                << ", wirelessDns1=" + dns1 << ", wirelessDns2=" + dns2
                                << ", ssid=" + printableText(QString::fromStdString(set.value("ssid", std::string())));
    setRequest(request);
    setRequest(set);
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
    if (m_info.monochrome == enable)
        return;
    int saturation = 0;
    if (enable) {
        // Monochrome is saturation 0; remember the colour setting to come back to.
        if (m_info.saturation.value == 0)
            return;
        m_monochromeSaturation = m_info.saturation.value;
    } else {
        saturation = m_monochromeSaturation;
    }
    qInfo().noquote().nospace()
        << QStringLiteral("onSetMonoChromeStatus:%1, saturation=%2").arg(enable).arg(saturation);
    m_info.monochrome = enable;
    m_info.saturation.value = saturation;
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
    CameraInfo &i = m_info;
    if (i.focusRegionEnable == display && i.focusRegionMode == mode && i.focusRegionX == x && i.focusRegionY == y)
        return;
    qInfo().noquote().nospace() << "Net setFocusRegion: enable=" << display << ", x=" << x << ", y=" << y
                                << ", mode=" << mode;
    i.focusRegionEnable = display;
    i.focusRegionMode = mode;
    i.focusRegionX = x;
    i.focusRegionY = y;
    json request = command(commandNames().focusRegionSet, Chnn);
    request["roi"] = display ? 1 : 0;
    request["roi_x"] = x;
    request["roi_y"] = y;
    request["roi_mode"] = mode;
    setRequest(request);
}

QRect NetCamera::toSensor(const QRect &r) const
{
    // The picture shown is the region of interest (or the whole stream) turned clockwise.
    int width = m_streamWidth, height = m_streamHeight, offsetX = 0, offsetY = 0;
    {
        QMutexLocker locker(const_cast<QMutex *>(&m_frameMutex));
        if (m_roi.enable) {
            width = m_roi.width;
            height = m_roi.height;
            offsetX = m_roi.x;
            offsetY = m_roi.y;
        }
    }
    QRect s;
    switch (m_rotate.load()) {
    case 90:
        s = QRect(r.y(), height - r.x() - r.width(), r.height(), r.width());
        break;
    case 180:
        s = QRect(width - r.x() - r.width(), height - r.y() - r.height(), r.width(), r.height());
        break;
    case 270:
        s = QRect(width - r.y() - r.height(), r.x(), r.height(), r.width());
        break;
    default:
        s = r;
        break;
    }
    return s.translated(offsetX, offsetY);
}

QRect NetCamera::fromSensor(const QRect &sensor) const
{
    int width = m_streamWidth, height = m_streamHeight, offsetX = 0, offsetY = 0;
    {
        QMutexLocker locker(const_cast<QMutex *>(&m_frameMutex));
        if (m_roi.enable) {
            width = m_roi.width;
            height = m_roi.height;
            offsetX = m_roi.x;
            offsetY = m_roi.y;
        }
    }
    const QRect s = sensor.translated(-offsetX, -offsetY);
    switch (m_rotate.load()) {
    case 90:
        return QRect(height - s.y() - s.height(), s.x(), s.height(), s.width());
    case 180:
        return QRect(width - s.x() - s.width(), height - s.y() - s.height(), s.width(), s.height());
    case 270:
        return QRect(s.y(), width - s.x() - s.width(), s.height(), s.width());
    default:
        return s;
    }
}

void NetCamera::onSetFocusRegionV2(CameraControlRegion region)
{
    qInfo().noquote().nospace() << "onSetFocusRegionV2 (Rotated): enable=" << region.enable << ", x=" << region.x
                                << ", y=" << region.y << ", width=" << region.width << ", height=" << region.height;
    const QRect sensor = toSensor(QRect(region.x, region.y, region.width, region.height));
    if (m_info.focusRegionEnable == region.enable && m_info.focusRegionV2 == sensor)
        return;
    qInfo().noquote().nospace() << "Net setFocusRegionV2: enable=" << region.enable << ", x=" << sensor.x()
                                << ", y=" << sensor.y() << ", width=" << sensor.width()
                                << ", height=" << sensor.height();
    m_info.focusRegionEnable = region.enable;
    m_info.focusRegionV2 = sensor;
    const json request{{"cmd", "set_focus_region"}, {"roi", region.enable ? 1 : 0}, {"roi_x", sensor.x()},
                       {"roi_y", sensor.y()},       {"roi_width", sensor.width()},  {"roi_height", sensor.height()}};
    setRequest(request);
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
    const char *name = commandNames().focusRegionGet;
    const json answer = getRequest(command(name, Chnn | Idx));
    if (answer.is_null())
        return;
    try {
        m_info.focusRegionEnable = jsonInt(answer.at(name).at("roi")) != 0;
        emit sendFocusRegionStatus(m_info.focusRegionEnable);
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getFocusRegionStatus failed, " << e.what();
    }
}

void NetCamera::onGetFocusRegion()
{
    const char *name = commandNames().focusRegionGet;
    const json answer = getRequest(command(name, Chnn | Idx));
    if (answer.is_null())
        return;
    try {
        const json &body = answer.at(name);
        m_info.focusRegionEnable = jsonInt(body.at("roi")) != 0;
        m_info.focusRegionMode = jsonInt(body.at("roi_mode"));
        m_info.focusRegionX = jsonInt(body.at("roi_x"));
        m_info.focusRegionY = jsonInt(body.at("roi_y"));
        emit sendFocusRegion(m_info.focusRegionMode, m_info.focusRegionX, m_info.focusRegionY);
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getFocusRegion failed, " << e.what();
    }
}

void NetCamera::onGetFocusRegionV2()
{
    const json answer = getRequest(command("get_focus_region", Idx));
    if (answer.is_null())
        return;
    try {
        const json &body = answer.at("get_focus_region");
        m_info.focusRegionEnable = jsonInt(body.at("roi")) != 0;
        m_info.focusRegionV2 = QRect(jsonInt(body.at("roi_x")), jsonInt(body.at("roi_y")),
                                     jsonInt(body.at("roi_width")), jsonInt(body.at("roi_height")));
        const QRect shown = fromSensor(m_info.focusRegionV2);
        emit sendFocusRegionV2(m_info.focusRegionEnable, shown.x(), shown.y(), shown.width(), shown.height());
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getFocusRegionV2 failed, " << e.what();
    }
}

void NetCamera::onGetFocusState()
{
    const json answer = getRequest(command("get_focus_state", NoField));
    if (answer.is_null())
        return;
    try {
        emit sendFocusState(jsonInt(answer.at("get_focus_state").at("focusing")) != 0);
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getFocusState failed, " << e.what();
    }
}

void NetCamera::onGetAllInfo()
{
    CameraInfo info = m_info;
    initCameraInfo(info);
    m_monochromeSaturation = info.saturation.value;
    m_info = info;
    emit sendAllInfo(info);
}
