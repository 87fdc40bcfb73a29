// One TCP connection to the camera: length-prefixed JSON messages, a login first, then
// commands, or after "attach_stream" nothing but video messages.
#pragma once

#include "streamencoder.h"

#include <QByteArray>
#include <QObject>

class CommandState;
class QTcpSocket;

class ClientConnection : public QObject
{
    Q_OBJECT

public:
    // Takes ownership of the socket.
    ClientConnection(QTcpSocket *socket, CommandState *state, QObject *parent = nullptr);

    bool isVideo() const { return m_video; }
    // Sends one video message. False when the picture was skipped because the viewer has
    // not taken the earlier ones yet (an H.264 viewer then waits for a key frame).
    bool sendPicture(const EncodedPicture &picture);

    static constexpr quint32 kMaxMessage = 16u << 20;
    static constexpr int kVideoHeaderSize = 32;
    // Coded data a slow viewer may leave unread before pictures are skipped.
    static constexpr qint64 kMaxBacklog = 8 << 20;

signals:
    void commandHandled();
    void videoAttached();
    void closed();

private:
    void onReadyRead();
    void handleMessage(const QByteArray &message);
    // Answers and, for a failed login, closes.
    void answer(const QJsonObject &answer, bool thenClose = false);
    void writeFramed(const QByteArray &payload);

    QTcpSocket *m_socket;
    CommandState *m_state;
    QByteArray m_buffer;
    bool m_loggedIn = false;
    bool m_video = false;
    bool m_waitForKeyFrame = true;
};
