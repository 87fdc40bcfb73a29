#pragma once

#include "basecamera.h"

#include <lmcam.h>

// A camera on USB as a device of the lmcam SDK: opening it, the capture stream, frames and
// photos, what the device offers and holds, and firmware. UvcControls adds the controls every
// USB camera has, UvcCamera those of the model's family.
class UvcDevice : public BaseCamera
{
    Q_OBJECT

public:
    explicit UvcDevice(QObject *parent = nullptr);
    ~UvcDevice() override;

    CameraOpenInfo openInfo() override;
    void setResolutionInfo(const CameraOpenInfo &info) override;
    bool checkUpgradeFile(const QString &path) override;
    bool open(const CameraOpenInfo &openInfo) override;
    bool start(const CameraOpenInfo &openInfo, CameraCloseReason &error) override;
    bool close() override;
    bool changeResolution(const CameraOpenInfo &openInfo, CameraCloseReason &error) override;
    VideoFrame readFrame() override;
    bool initCameraInfo(CameraInfo &info) override;
    void buildCaptureContext() override;
    void initDefaultInfo() override;
    void loadCaptureCapabilities() override;
    void servePhotoRequest() override;

    // False for a model that needs a USB 3 link on a slower one.
    virtual bool isStreamAllowed();

    lmcam_handle handle() const { return m_handle; }
    lmcam_capture_context captureContext() const { return m_ctx; }

public slots:
    void onUpgrade(QString filePath) override;
    void onGetUpgradeStatus() override;

protected:
    using SdkSet = int32_t (*)(lmcam_handle, int32_t);
    using SdkGet = int32_t (*)(lmcam_handle, int32_t *);
    using SdkRange = int32_t (*)(lmcam_handle, int32_t *, int32_t *, int32_t *, int32_t *);

    // The common shape of a setter: nothing without a handle or for the cached value; else
    // log "name: value", store, call the SDK. True when the SDK was called and answered 0.
    bool applyValue(const char *name, int &cached, int value, SdkSet set);
    // Reads a value into the cache; true on status 0.
    bool readValue(int &cached, SdkGet get);
    bool readFlag(bool &cached, SdkGet get);
    // applyValue for an on/off parameter.
    bool applyFlag(const char *name, bool &cached, bool enable, SdkSet set);
    // True when the model's family has one of the features (UsbFeature flags).
    bool hasFeature(quint32 feature) const;
    // Reads a range into the cache and marks the parameter supported on status 0.
    void readRange(CameraRange &range, SdkRange get);
    // Applies a capture context; false when the SDK refuses it.
    bool applyContext(const lmcam_capture_context &ctx);
    // What a model does to every picture it reads from the device before rotation (live frames
    // and photos alike); the picture as it came by default.
    virtual VideoFrame finishFrame(const VideoFrame &frame);
    static int sdkFormatCode(int format);
    // Waits in a local event loop, so that the camera's queued calls still run meanwhile.
    static void waitMs(int ms);
    static FocusMode focusModeFromSdk(int32_t mode);
    // The firmware file name checks for a model whose files carry `upgradeKey` (null: the
    // model is not upgraded through this program).
    bool checkUpgradeFileFor(const QString &path, const char *upgradeKey);
    static void progressCallback(int32_t percent, void *context);
    // The upgrade through the SDK, for the models that take firmware that way: streaming stops,
    // progress is reported with sendUpgradeStatus, frames repeat meanwhile. True on success.
    bool upgradeThroughSdk(const QString &filePath);

    lmcam_handle m_handle = 0;
    lmcam_capture_context m_ctx{};
    int m_usbSpeed = 0; // the link the camera was opened on
};
