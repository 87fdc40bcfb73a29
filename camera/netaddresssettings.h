#pragma once

#include "ipinfo.h"

#include <QString>
#include <string>
#include <vector>

class NetCommandChannel;

// The address settings of a network camera, wired and wireless: reading them, setting a new
// address, and telling whether the camera moved away from the address it was opened with.
class NetAddressSettings
{
public:
    explicit NetAddressSettings(NetCommandChannel &channel);

    // Reads one side's address settings; false when unreadable.
    bool read(const char *command, bool wireless, IpInfo &info);
    // Keeps the wireless settings (network name, key, ...) to send back with a new wireless address.
    void readWireless(const char *command);
    // Sends a new address; a wireless one goes with the kept wireless `fields`.
    void apply(const IpInfo &info, int channel, const std::vector<const char *> &fields);
    // 1 when the camera has an address on its wireless side, 0 when not, -1 when unreadable.
    int wifiType(const char *wirelessCommand);
    // True when the address of the side the camera is connected through (`wifiType`) is no
    // longer `opened`.
    bool changedFrom(const QString &opened, int wifiType, const char *wiredCommand, const char *wirelessCommand);

private:
    NetCommandChannel &m_channel;
    // The wireless settings as last read (JSON object text), sent back with a new wireless address.
    std::string m_wireless;
    // The address the camera was last known to have, per side.
    QString m_wiredAddress;
    QString m_wirelessAddress;
};
