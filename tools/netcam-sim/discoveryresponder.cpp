#include "discoveryresponder.h"

#include <QJsonDocument>
#include <QNetworkDatagram>

DiscoveryResponder::DiscoveryResponder(const QJsonObject &answer, QObject *parent)
    : QObject(parent), m_answer(QJsonDocument(answer).toJson(QJsonDocument::Compact))
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &DiscoveryResponder::onReadyRead);
}

QJsonObject DiscoveryResponder::makeAnswer(const QString &address, const QString &model, const QString &swVersion,
                                           const QString &hwVersion, quint16 commandPort, const QString &mac)
{
    return QJsonObject{
        {"ip", address},
        {"discover",
         QJsonObject{
             {"model", model}, {"sw_ver", swVersion}, {"hw_ver", hwVersion}, {"port", commandPort}, {"mac", mac}}}};
}

bool DiscoveryResponder::bind(const QHostAddress &address, quint16 port, QString *error)
{
    // Not shared: a second simulator on the same address and port must fail, not steal
    // the first one's requests.
    if (m_socket.bind(address, port, QAbstractSocket::DontShareAddress))
        return true;
    *error = m_socket.errorString();
    return false;
}

void DiscoveryResponder::onReadyRead()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram(64 * 1024);
        const QJsonObject request = QJsonDocument::fromJson(datagram.data()).object();
        if (request.value("cmd").toString() != QLatin1String("discover") || datagram.senderPort() < 0)
            continue;
        m_socket.writeDatagram(m_answer, datagram.senderAddress(), quint16(datagram.senderPort()));
    }
}
