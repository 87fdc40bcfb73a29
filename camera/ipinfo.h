#pragma once

#include <QMetaType>
#include <QString>

// Network address settings of a network camera (wired or wireless).
struct IpInfo
{
    bool dhcp = false;
    bool wireless = false;
    QString address;
    QString netmask;
    QString gateway;
    QString dns;
    QString mac;
};

Q_DECLARE_METATYPE(IpInfo)
