#include "ipsettingscontrol.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace {

// Dotted decimal only: the shorthand forms ("10.1", "0x0a.0.0.1") that address parsers
// also take are not what the camera expects.
bool parseIpv4(const QString &text, quint32 &address)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return false;
    address = 0;
    for (int i = 1; i <= 4; ++i) {
        const int part = match.captured(i).toInt();
        if (part > 255)
            return false;
        address = (address << 8) | quint32(part);
    }
    return true;
}

// A unicast address a camera can have: not in 0/8, the loopback net or the multicast and
// reserved range.
bool isHostAddress(quint32 address)
{
    const quint32 first = address >> 24;
    return first != 0 && first != 127 && first < 224;
}

// Contiguous ones, leaving at least two host addresses besides network and broadcast.
bool isNetmask(quint32 mask)
{
    const quint32 inverted = ~mask;
    return mask != 0 && (inverted & (inverted + 1)) == 0 && inverted >= 3;
}

// Neither the network nor the broadcast address of its subnet.
bool isInSubnetRange(quint32 address, quint32 mask)
{
    const quint32 host = address & ~mask;
    return host != 0 && host != ~mask;
}

} // namespace

QString ipInfoError(const IpInfo &info)
{
    if (info.dhcp)
        return {};
    quint32 address = 0, mask = 0;
    if (!parseIpv4(info.address, address) || !isHostAddress(address))
        return IpSettingsControl::tr("Invalid IP address!");
    if (!parseIpv4(info.netmask, mask) || !isNetmask(mask))
        return IpSettingsControl::tr("Invalid subnet mask!");
    if (!isInSubnetRange(address, mask))
        return IpSettingsControl::tr("The IP address is the network or broadcast address of its subnet!");
    if (!info.gateway.trimmed().isEmpty()) {
        quint32 gateway = 0;
        if (!parseIpv4(info.gateway, gateway) || !isHostAddress(gateway))
            return IpSettingsControl::tr("Invalid gateway!");
        if ((gateway & mask) != (address & mask) || !isInSubnetRange(gateway, mask) || gateway == address)
            return IpSettingsControl::tr("The gateway must be another address in the subnet of the IP address!");
    }
    const QStringList dns = info.dns.split(QRegularExpression(QStringLiteral("[,; ]+")), Qt::SkipEmptyParts);
    if (dns.size() > 2)
        return IpSettingsControl::tr("At most two DNS servers can be set!");
    for (const QString &server : dns) {
        quint32 dnsAddress = 0;
        if (!parseIpv4(server, dnsAddress) || !isHostAddress(dnsAddress))
            return IpSettingsControl::tr("Invalid DNS server!");
    }
    return {};
}

IpSettingsControl::IpSettingsControl(QWidget *parent) : QWidget(parent)
{
    showWarning = [](QWidget *parent, const QString &message) { QMessageBox::warning(parent, tr("Warning"), message); };
    m_wireless.wireless = true;

    m_interface = new QComboBox(this);
    m_interface->setObjectName(QStringLiteral("ip_interface_combo"));
    m_interface->addItems({QString(), QString()}); // wired, wireless; named in retranslate()
    m_dhcp = new QCheckBox(this);
    m_dhcp->setObjectName(QStringLiteral("ip_dhcp_check"));
    auto makeEdit = [this](const char *name) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setMinimumWidth(120);
        return edit;
    };
    m_address = makeEdit("ip_address_edit");
    m_netmask = makeEdit("ip_netmask_edit");
    m_gateway = makeEdit("ip_gateway_edit");
    m_dns = makeEdit("ip_dns_edit");
    m_mac = makeEdit("ip_mac_edit");
    m_mac->setReadOnly(true);
    m_apply = new QPushButton(this);
    m_apply->setObjectName(QStringLiteral("ip_apply_button"));
    m_interfaceCaption = new QLabel(this);
    m_addressCaption = new QLabel(this);
    m_netmaskCaption = new QLabel(this);
    m_gatewayCaption = new QLabel(this);
    m_dnsCaption = new QLabel(this);
    m_macCaption = new QLabel(this);

    auto *form = new QFormLayout;
    form->addRow(m_interfaceCaption, m_interface);
    form->addRow(m_dhcp);
    form->addRow(m_addressCaption, m_address);
    form->addRow(m_netmaskCaption, m_netmask);
    form->addRow(m_gatewayCaption, m_gateway);
    form->addRow(m_dnsCaption, m_dns);
    form->addRow(m_macCaption, m_mac);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_apply, 0, Qt::AlignRight);
    layout->addStretch();

    connect(m_interface, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &IpSettingsControl::showInterface);
    connect(m_dhcp, &QCheckBox::toggled, this, [this](bool dhcp) {
        for (QLineEdit *edit : {m_address, m_netmask, m_gateway, m_dns})
            edit->setEnabled(!dhcp);
    });
    connect(m_apply, &QPushButton::clicked, this, &IpSettingsControl::onApply);
    m_interfaceCaption->setVisible(false);
    m_interface->setVisible(false);
    retranslate();
    showInterface();
}

IpInfo &IpSettingsControl::shownInfo()
{
    return m_interface->currentIndex() == 1 ? m_wireless : m_wired;
}

void IpSettingsControl::onRecvIpInfo(IpInfo info)
{
    if (info.wireless) {
        m_wireless = info;
        m_interfaceCaption->setVisible(true);
        m_interface->setVisible(true);
    } else {
        m_wired = info;
    }
    if (info.wireless == (m_interface->currentIndex() == 1))
        showInterface();
}

void IpSettingsControl::showInterface()
{
    const IpInfo &info = shownInfo();
    m_dhcp->setChecked(info.dhcp);
    m_address->setText(info.address);
    m_netmask->setText(info.netmask);
    m_gateway->setText(info.gateway);
    m_dns->setText(info.dns);
    m_mac->setText(info.mac);
}

void IpSettingsControl::onApply()
{
    IpInfo info = shownInfo();
    info.dhcp = m_dhcp->isChecked();
    info.address = m_address->text().trimmed();
    info.netmask = m_netmask->text().trimmed();
    info.gateway = m_gateway->text().trimmed();
    info.dns = m_dns->text().trimmed();
    const QString error = ipInfoError(info);
    if (!error.isEmpty()) {
        showWarning(this, error);
        return;
    }
    shownInfo() = info;
    emit setCameraIp(info);
}

void IpSettingsControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void IpSettingsControl::retranslate()
{
    m_interface->setItemText(0, tr("Wired"));
    m_interface->setItemText(1, tr("Wireless"));
    m_interfaceCaption->setText(tr("Interface"));
    m_dhcp->setText(tr("DHCP"));
    m_addressCaption->setText(tr("IP Address"));
    m_netmaskCaption->setText(tr("Subnet Mask"));
    m_gatewayCaption->setText(tr("Gateway"));
    m_dnsCaption->setText(tr("DNS"));
    m_macCaption->setText(tr("MAC Address"));
    m_apply->setText(tr("Apply"));
}
