// Accepts command and video connections, hands commands to the camera state and the
// stream worker's pictures to the video connections.
#pragma once

#include "streamencoder.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QTcpServer>

class ClientConnection;
class CommandState;
class StreamWorker;

class CommandServer : public QObject
{
    Q_OBJECT

public:
    CommandServer(CommandState *state, StreamWorker *worker, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port, QString *error);
    quint16 port() const { return m_server.serverPort(); }

private:
    void onNewConnection();
    void onClosed(ClientConnection *client);
    void onPicture(const EncodedPicture &picture);
    // Streams while at least one viewer is attached.
    void updateStreaming();

    QTcpServer m_server;
    CommandState *m_state;
    StreamWorker *m_worker;
    QList<ClientConnection *> m_clients;
    bool m_streaming = false;
};
