#pragma once

#include "ipinfo.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Why the address settings cannot be sent to the camera, or empty when they can. With DHCP
// the camera takes its addresses from the network and the fields are not checked. The DNS
// field holds up to two servers separated by commas, semicolons or spaces.
QString ipInfoError(const IpInfo &info);

// The network address settings of a network camera, wired and, where the camera has one,
// wireless. "Apply" sends the shown interface's settings when they are valid.
class IpSettingsControl : public QWidget
{
    Q_OBJECT

public:
    explicit IpSettingsControl(QWidget *parent = nullptr);

    // Shows why the input was refused; tests replace it.
    std::function<void(QWidget *parent, const QString &message)> showWarning;

signals:
    void setCameraIp(IpInfo info);

public slots:
    void onRecvIpInfo(IpInfo info);
    void onApply();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void showInterface();
    IpInfo &shownInfo();

    IpInfo m_wired;
    IpInfo m_wireless;

    QComboBox *m_interface = nullptr;
    QCheckBox *m_dhcp = nullptr;
    QLineEdit *m_address = nullptr;
    QLineEdit *m_netmask = nullptr;
    QLineEdit *m_gateway = nullptr;
    QLineEdit *m_dns = nullptr;
    QLineEdit *m_mac = nullptr;
    QPushButton *m_apply = nullptr;
    QLabel *m_interfaceCaption = nullptr;
    QLabel *m_addressCaption = nullptr;
    QLabel *m_netmaskCaption = nullptr;
    QLabel *m_gatewayCaption = nullptr;
    QLabel *m_dnsCaption = nullptr;
    QLabel *m_macCaption = nullptr;
};
