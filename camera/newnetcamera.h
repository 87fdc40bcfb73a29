#pragma once

#include "netcamera.h"

// A network camera with the newer firmware: grouped commands ("set_image_value",
// "set_exposure", "set_focus", ...) and "ability" queries for the ranges.
class NewNetCamera : public NetCamera
{
    Q_OBJECT

public:
    explicit NewNetCamera(QObject *parent = nullptr);

public slots:
    void onSetFocusAdd() override;
    void onSetFocusSub() override;
    void onSetDZoomValue(int value) override;
    void onSetZoomRelativeValue(int value) override;
    void onSetMonoChromeStatus(bool enable) override;
    void onSetDRCValue(int value) override;
    void onSetCACStatus(bool enable) override;
    void onSetLed(int partIndex, int level) override;
    void onSetAllLed(int up, int left, int right, int down) override;
    void onSetZoomSpeed(int speed) override;

    void onGetDZoomValue() override;
    void onGetMonoChromeStatus() override;
    void onGetLedInfo() override;
    void onGetZoomSpeed() override;

protected:
    ParamRoute route(Param param) const override;
    const CommandNames &commandNames() const override;
    nlohmann::json setGroupRequest(const std::string &command) const override;
    void loadRanges() override;
    std::vector<const char *> wirelessFields() const override;

    // Moves the focus motor by one step in a direction (+1 or -1), in manual focus only.
    void moveFocus(int direction);
};
