#pragma once

#include "basecamera.h"
#include "netaddresssettings.h"
#include "netcommandchannel.h"
#include "netfirmwareupdate.h"
#include "netfocusregion.h"
#include "netstream.h"

#include <initializer_list>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <vector>

// A camera on the local network, driven by JSON commands through the l_sdk library; its video
// comes from an SDK decoder bound to the camera's stream. Model classes derive from it (or from
// NewNetCamera) and switch features on or off by overriding slots.
class NetParamCache;

class NetCamera : public BaseCamera
{
    Q_OBJECT

public:
    // Camera parameters that travel in commands. Each command set routes them to its commands.
    enum Param {
        Bright, // exposure compensation
        Hue,
        Saturation,
        Contrast,
        Sharpness,
        Gamma,
        Drc,
        FocusModeParam,
        FocusValue,
        Zoom,
        DZoom,
        ZoomSpeed,
        ExpModeParam,
        ExpTime,
        ExpGain,
        WbModeParam,
        WbRed,
        WbGreen,
        WbBlue,
        Mirror,
        Flip,
        Flicker,
        Cac,
        Monochrome,
        Defog,
        ParamCount
    };
    // Which fields beyond "cmd" a get request carries.
    enum RequestField { NoField = 0, Chnn = 1, Idx = 2 };
    // Where a parameter is read (get command, its request fields, answer field) and which set
    // command carries it. A null command: this command set has none.
    struct ParamRoute
    {
        const char *getCommand;
        int getFields;
        const char *field;
        const char *setCommand;
    };
    // Command names that differ between the command sets.
    struct CommandNames
    {
        const char *focusRegionGet;
        const char *focusRegionSet;
        const char *ipv4;
        const char *wirelessIpv4;
        const char *wireless;
        const char *className; // prefix of the "does not support" lines
    };

    explicit NetCamera(QObject *parent = nullptr);
    ~NetCamera() override;

    CameraOpenInfo openInfo() override;
    // Also keeps the stream fields of a network open record for the next start.
    void setResolutionInfo(const CameraOpenInfo &info) override;
    bool checkUpgradeFile(const QString &path) override;
    QString displayName() override;
    bool open(const CameraOpenInfo &openInfo) override;
    bool logout() override;
    bool start(const CameraOpenInfo &openInfo, CameraCloseReason &error) override;
    bool close() override;
    bool changeResolution(const CameraOpenInfo &openInfo, CameraCloseReason &error) override;
    VideoFrame readFrame() override;
    // 1 when the camera has an address on its wireless side, 0 when not, -1 when unreadable.
    int wifiType() override;
    // True when the address of the side the camera is connected through is no longer the one
    // it was opened with.
    bool checkIpChanged() override;
    bool initCameraInfo(CameraInfo &info) override;
    void initDefaultInfo() override;
    void loadCaptureCapabilities() override;
    void servePhotoRequest() override;

    // Replaces the l_sdk calls (tests answer commands through it).
    void setRequester(std::unique_ptr<NetRequester> requester);
    int32_t decoderId() const { return m_stream.decoderId(); }
    int32_t loginId() const { return m_commands.loginId(); }
    // Software version of the camera is at least 5.4.5 (read by initCameraInfo).
    bool isNewSoftware() const { return m_newSoftware; }

public slots:
    void onSetFocusMode(FocusMode mode, bool sendValue = true) override;
    void onSetFocusValue(int value) override;
    void onSetFocusOnce() override;
    void onSetExpMode(ExposureMode mode, bool sendValue = true) override;
    void onSetExpCompValue(int value) override;
    void onSetExpGainValue(int value) override;
    void onSetExpTime(int value) override;
    void onSetWbMode(WbMode mode, bool sendValue = true) override;
    void onSetWbRedValue(int value) override;
    void onSetWbGreenValue(int value) override;
    void onSetWbBlueValue(int value) override;
    void onSetMirrorStatus(bool enable) override;
    void onSetFlipStatus(bool enable) override;
    void onSetHueValue(int value) override;
    void onSetSaturationValue(int value) override;
    void onSetContrastValue(int value) override;
    void onSetSharpnessValue(int value) override;
    void onSetZoomValue(int value) override;
    void onSetDefogStatus(bool enable) override;
    void onSetMonoChromeStatus(bool enable) override;
    void onSetFilckStatus(bool enable) override;
    void onSetGammaValue(int value) override;
    void onSaveCameraConfig() override;
    void onUpgrade(QString filePath) override;
    void onSetIp(IpInfo info) override;
    void onSetFocusRegionStatus(bool enable) override;
    void onSetFocusRegion(bool display, int mode, int x, int y) override;
    void onSetFocusRegionV2(CameraControlRegion region) override;
    void onSetMotorCenter() override;
    void onSetExpRegion(bool enable, bool display, int x, int y, int width, int height) override;
    void onSetDRCValue(int value) override;
    void onSetCACStatus(bool enable) override;

    void onGetFocusMode() override;
    void onGetFocusValue() override;
    void onGetExpMode() override;
    void onGetExpCompValue() override;
    void onGetExpGainValue() override;
    void onGetExpTime() override;
    void onGetWbMode() override;
    void onGetWbRedValue() override;
    void onGetWbGreenValue() override;
    void onGetWbBlueValue() override;
    void onGetMirrorStatus() override;
    void onGetFlipStatus() override;
    void onGetHueValue() override;
    void onGetSaturationValue() override;
    void onGetContrastValue() override;
    void onGetSharpnessValue() override;
    void onGetZoomValue() override;
    void onGetDefogStatus() override;
    void onGetGammaValue() override;
    void onGetFlickStatus() override;
    void onGetIpInfo() override;
    void onGetUpgradeStatus() override;
    void onGetFocusRegionStatus() override;
    void onGetFocusRegion() override;
    void onGetFocusRegionV2() override;
    void onGetFocusState() override;
    void onGetDRCValue() override;
    void onGetCACStatus() override;

protected:
    void readCameraInfo() override;
    virtual ParamRoute route(Param param) const;
    virtual const CommandNames &commandNames() const;
    // The whole group of a set command, filled from the cache; null for an unknown command.
    virtual nlohmann::json setGroupRequest(const std::string &command) const;
    // Reads the ranges and defaults of the parameters into the cache.
    virtual void loadRanges();
    // Lower-case model key that firmware file names must contain ("cm14" for "CM14_IPC").
    virtual QString upgradeKey() const;
    // The fields of "set_wireless" copied from the last wireless answer.
    virtual std::vector<const char *> wirelessFields() const;

    // A number or a flag of a camera's answer as an int; numbers beyond int's range are
    // clamped to it. Anything else throws json's type error.
    static int jsonInt(const nlohmann::json &value) { return NetCommandChannel::jsonInt(value); }
    // A request with "cmd" and the asked-for fields.
    nlohmann::json command(const char *name, int fields) const;
    // Sends a get command: the answer when its code is 0, else null (also while backing off).
    nlohmann::json getRequest(const nlohmann::json &request, int32_t loginId = -1);
    // Sends a set command; true when the camera answered code 0.
    bool setRequest(const nlohmann::json &request, int32_t loginId = -1);
    // Sends the set command that carries a parameter, with its whole group from the cache.
    bool sendParam(Param param);
    // The common shape of a setter: nothing for the cached value; else log "slot: value",
    // store and send the group. True when the camera accepted it.
    bool applyParam(Param param, const char *slot, int value);
    // applyParam for a value the camera takes in one mode only; otherwise logs `refusal`.
    bool applyInMode(bool allowed, const char *refusal, Param param, const char *slot, int value);
    // Reads parameters, one request per get command; false when any read failed.
    bool readParams(std::initializer_list<Param> params, const char *who);

    // Cached value of a parameter as the program keeps it, and stored back.
    int cachedValue(Param param) const;
    void storeValue(Param param, int value);
    // The device's form of a cached value and back (focus and exposure modes differ).
    int toDevice(Param param, int value) const;
    int fromDevice(Param param, int value) const;
    CameraRange *rangeOf(Param param);

    // Reads "min"/"max"/"def" objects per field name, as the ability commands answer.
    void readAbilityRanges(const char *command, int fields,
                           std::initializer_list<std::pair<const char *, Param>> names);
    // Reads defaults and "range" → name → "min"/"max", as the default commands answer.
    void readDefaultRanges(const char *command, int fields,
                           std::initializer_list<std::pair<const char *, Param>> names);

    // Region conversions between the rotated picture and the sensor.
    QRect toSensor(const QRect &rotated) const;
    QRect fromSensor(const QRect &sensor) const;
    // The part of the sensor the picture shows, before it is turned.
    QRect shownFrame() const;

    void notSupported(const char *what) const;
    // Emits the signal that reports a parameter.
    void emitParam(Param param);

    // The command channel and the parts of the camera that talk through it.
    NetCommandChannel m_commands;
    NetStream m_stream;
    NetAddressSettings m_address;
    NetFirmwareUpdate m_firmware;
    NetFocusRegion m_focusRegion;
    // Where each parameter lives in m_info.
    std::unique_ptr<NetParamCache> m_params;
    CameraOpenInfo m_openInfo;
    int m_channel = 0;
    int m_streamIndex = 0;
    bool m_newSoftware = false;

    int m_focusSpeed = 5; // the motor's speeds are 1..10; the program has no control for it
    int m_zoomMode = 0;
};
