#include "netaddresssettings.h"

#include "netcommandchannel.h"
#include "printabletext.h"

#include <QDebug>
#include <QRegularExpression>
#include <nlohmann/json.hpp>

using nlohmann::json;

NetAddressSettings::NetAddressSettings(NetCommandChannel &channel) : m_channel(channel) {}

bool NetAddressSettings::read(const char *name, bool wireless, IpInfo &info)
{
    json answer;
    if (!m_channel.exchange(json{{"cmd", name}}, -1, false, answer))
        return false;
    try {
        const json &body = answer.at(name);
        info.wireless = wireless;
        info.dhcp = body.contains("dhcp") && NetCommandChannel::jsonInt(body.at("dhcp")) != 0;
        info.address = NetCommandChannel::jsonText(body, "ip");
        info.gateway = NetCommandChannel::jsonText(body, "gateway");
        info.netmask = NetCommandChannel::jsonText(body, "netmask");
        const QString dns1 = NetCommandChannel::jsonText(body, "dns1");
        const QString dns2 = NetCommandChannel::jsonText(body, "dns2");
        info.dns = dns2.isEmpty() ? dns1 : dns1 + QLatin1Char(',') + dns2;
        info.mac = NetCommandChannel::jsonText(body, "mac");
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

void NetAddressSettings::readWireless(const char *name)
{
    json answer;
    if (m_channel.exchange(json{{"cmd", name}}, -1, false, answer) && answer.contains(name))
        m_wireless = NetCommandChannel::dump(answer.at(name));
}

void NetAddressSettings::apply(const IpInfo &info, int channel, const std::vector<const char *> &fields)
{
    const QStringList dns = info.dns.split(QRegularExpression(QStringLiteral("[,; ]+")), Qt::SkipEmptyParts);
    const QString dns1 = dns.value(0);
    const QString dns2 = dns.value(1);
    const json request{{"cmd", info.wireless ? "set_wireless_ipv4" : "set_ipv4"},
                       {"chnn", channel},
                       {"dhcp", info.dhcp ? 1 : 0},
                       {"ip", info.address.toStdString()},
                       {"gateway", info.gateway.toStdString()},
                       {"netmask", info.netmask.toStdString()},
                       {"dns1", dns1.toStdString()},
                       {"dns2", dns2.toStdString()},
                       {"mac", info.mac.toStdString()}};
    json answer;
    if (!info.wireless) {
        qInfo().noquote().nospace() << "onSetIp, dhcp=" << info.dhcp << ", ip=" + info.address
                                    << ", gateway=" + info.gateway << ", netmask=" + info.netmask << ", dns1=" + dns1
                                    << ", dns2=" + dns2;
        m_channel.exchange(request, -1, true, answer);
        return;
    }
    json wireless = json::object();
    if (!m_wireless.empty())
        wireless = json::parse(m_wireless, nullptr, false);
    json set{{"cmd", "set_wireless"}, {"chnn", channel}};
    for (const char *field : fields) {
        if (wireless.is_object() && wireless.contains(field))
            set[field] = wireless.at(field);
    }
    qInfo().noquote().nospace() << "onSetWirelessIp, wirelessDhcp=" << info.dhcp << ", wirelessIp=" + info.address
                                << ", wirelessGateway=" + info.gateway << ", wirelessNetmask=" + info.netmask
                                << ", wirelessDns1=" + dns1 << ", wirelessDns2=" + dns2
                                << ", ssid=" + printableText(QString::fromStdString(set.value("ssid", std::string())));
    m_channel.exchange(request, -1, true, answer);
    m_channel.exchange(set, -1, true, answer);
}

int NetAddressSettings::wifiType(const char *wirelessCommand)
{
    IpInfo wireless;
    if (!read(wirelessCommand, true, wireless))
        return -1;
    return wireless.address.isEmpty() || wireless.address == QLatin1String("0.0.0.0") ? 0 : 1;
}

bool NetAddressSettings::changedFrom(const QString &opened, int type, const char *wiredCommand,
                                     const char *wirelessCommand)
{
    qInfo().noquote().nospace() << "NetConnectType " << type;
    IpInfo info;
    if (type == 1) {
        if (read(wirelessCommand, true, info) && info.address != opened) {
            qInfo() << "change Wireless IP";
            return true;
        }
    } else if (type == 0) {
        if (read(wiredCommand, false, info) && info.address != opened) {
            qInfo() << "change Wired IP";
            return true;
        }
    }
    return false;
}
