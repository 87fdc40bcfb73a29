#include "commandserver.h"

#include "clientconnection.h"
#include "commandstate.h"
#include "streamworker.h"

#include <QTcpSocket>

#include <algorithm>

CommandServer::CommandServer(CommandState *state, StreamWorker *worker, QObject *parent)
    : QObject(parent), m_state(state), m_worker(worker)
{
    connect(&m_server, &QTcpServer::newConnection, this, &CommandServer::onNewConnection);
    connect(m_worker, &StreamWorker::pictureReady, this, &CommandServer::onPicture, Qt::QueuedConnection);
    m_worker->setConfig(m_state->streamConfig());
}

bool CommandServer::listen(const QHostAddress &address, quint16 port, QString *error)
{
    if (m_server.listen(address, port))
        return true;
    *error = m_server.errorString();
    return false;
}

void CommandServer::onNewConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        auto *client = new ClientConnection(socket, m_state, this);
        m_clients.append(client);
        // Any command may change what the pictures look like; the worker takes the
        // latest state before its next picture.
        connect(client, &ClientConnection::commandHandled, this,
                [this] { m_worker->setConfig(m_state->streamConfig()); });
        connect(client, &ClientConnection::videoAttached, this, [this] {
            m_worker->requestKeyFrame();
            updateStreaming();
        });
        connect(client, &ClientConnection::closed, this, [this, client] { onClosed(client); });
    }
}

void CommandServer::onClosed(ClientConnection *client)
{
    if (!m_clients.removeOne(client))
        return;
    client->deleteLater();
    updateStreaming();
}

void CommandServer::updateStreaming()
{
    const bool viewers =
        std::any_of(m_clients.cbegin(), m_clients.cend(), [](const ClientConnection *c) { return c->isVideo(); });
    if (viewers == m_streaming)
        return;
    m_streaming = viewers;
    QMetaObject::invokeMethod(m_worker, viewers ? "start" : "stop", Qt::QueuedConnection);
}

void CommandServer::onPicture(const EncodedPicture &picture)
{
    bool skipped = false;
    for (ClientConnection *client : qAsConst(m_clients))
        if (client->isVideo() && !client->sendPicture(picture))
            skipped = true;
    if (skipped)
        m_worker->requestKeyFrame();
}
