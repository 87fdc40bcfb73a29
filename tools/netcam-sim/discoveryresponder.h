// Answers {"cmd":"discover"} datagrams with the camera's identity and command port.
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QUdpSocket>

class DiscoveryResponder : public QObject
{
    Q_OBJECT

public:
    // answer: the whole datagram sent back to every request.
    explicit DiscoveryResponder(const QJsonObject &answer, QObject *parent = nullptr);

    bool bind(const QHostAddress &address, quint16 port, QString *error);
    quint16 port() const { return m_socket.localPort(); }

    // {"ip": …, "discover": {"model", "sw_ver", "hw_ver", "port", "mac"}}.
    static QJsonObject makeAnswer(const QString &address, const QString &model, const QString &swVersion,
                                  const QString &hwVersion, quint16 commandPort, const QString &mac);

private:
    void onReadyRead();

    QUdpSocket m_socket;
    QByteArray m_answer;
};
