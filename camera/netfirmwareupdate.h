#pragma once

#include <QString>

class NetCommandChannel;
struct CameraOpenInfo;

// Firmware updates of a network camera: which files fit it, starting an update and following it.
class NetFirmwareUpdate
{
public:
    explicit NetFirmwareUpdate(NetCommandChannel &channel);

    // A firmware file fits when it is an update package whose name holds the model key.
    static bool fits(const QString &path, const QString &modelKey);
    // The key of a model name in firmware file names: "CM14_IPC" is "cm14".
    static QString modelKey(const QString &model);
    // Hands the file to the camera of `openInfo`; false when the camera refused it.
    bool start(const CameraOpenInfo &openInfo, const QString &filePath);
    // The state and progress of a running update; false when unreadable.
    bool readStatus(int port, int &status, int &percentage);

private:
    NetCommandChannel &m_channel;
};
