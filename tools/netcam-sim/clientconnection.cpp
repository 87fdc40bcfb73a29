#include "clientconnection.h"

#include "commandstate.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QtEndian>

#include <chrono>

namespace {

const char kUser[] = "opusr";
const char kPassword[] = "580264";

QJsonObject codeAnswer(const QString &command, int code)
{
    return QJsonObject{{command, QJsonObject{{"code", code}}}};
}

} // namespace

ClientConnection::ClientConnection(QTcpSocket *socket, CommandState *state, QObject *parent)
    : QObject(parent), m_socket(socket), m_state(state)
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &ClientConnection::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &ClientConnection::closed);
}

void ClientConnection::onReadyRead()
{
    m_buffer += m_socket->readAll();
    if (m_video) { // a viewer has nothing more to say; drop whatever it sends
        m_buffer.clear();
        return;
    }
    while (m_buffer.size() >= 4 && m_socket->state() == QAbstractSocket::ConnectedState) {
        const quint32 size = qFromBigEndian<quint32>(m_buffer.constData());
        if (size > kMaxMessage) {
            m_socket->abort();
            emit closed();
            return;
        }
        if (quint32(m_buffer.size()) < 4 + size)
            return;
        const QByteArray message = m_buffer.mid(4, int(size));
        m_buffer.remove(0, int(4 + size));
        handleMessage(message);
        if (m_video) {
            m_buffer.clear();
            return;
        }
    }
}

void ClientConnection::handleMessage(const QByteArray &message)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(message, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject() || !document.object().value("cmd").isString()) {
        answer(codeAnswer("error", AnswerCode::Malformed), !m_loggedIn);
        return;
    }
    const QJsonObject request = document.object();
    const QString command = request.value("cmd").toString();
    if (command == QLatin1String("login")) {
        const QJsonObject login = request.value("login").toObject();
        m_loggedIn = login.value("username").toString() == QLatin1String(kUser) &&
                     login.value("passwd").toString() == QLatin1String(kPassword);
        answer(codeAnswer(command, m_loggedIn ? 0 : AnswerCode::BadLogin), !m_loggedIn);
        return;
    }
    if (!m_loggedIn) {
        answer(codeAnswer(command, AnswerCode::NotLoggedIn), true);
        return;
    }
    if (command == QLatin1String("attach_stream")) {
        answer(codeAnswer(command, 0));
        m_video = true;
        emit videoAttached();
        return;
    }
    answer(m_state->handle(request));
    emit commandHandled();
}

void ClientConnection::answer(const QJsonObject &answer, bool thenClose)
{
    writeFramed(QJsonDocument(answer).toJson(QJsonDocument::Compact));
    if (thenClose)
        m_socket->disconnectFromHost(); // after the answer has gone out
}

void ClientConnection::writeFramed(const QByteArray &payload)
{
    char size[4];
    qToBigEndian<quint32>(quint32(payload.size()), size);
    m_socket->write(size, 4);
    m_socket->write(payload);
}

bool ClientConnection::sendPicture(const EncodedPicture &picture)
{
    if (!m_video || m_socket->state() != QAbstractSocket::ConnectedState)
        return true;
    const bool h264 = picture.codec == EncodedPicture::H264;
    if (m_socket->bytesToWrite() > kMaxBacklog) {
        m_waitForKeyFrame = true;
        return false;
    }
    if (h264 && m_waitForKeyFrame && !picture.keyFrame)
        return false;
    m_waitForKeyFrame = false;

    char message[4 + kVideoHeaderSize] = {};
    char *p = message;
    qToBigEndian<quint32>(quint32(kVideoHeaderSize + picture.data.size()), p);
    p += 4;
    memcpy(p, "LVID", 4);
    p[4] = char(picture.codec);
    p[5] = char(picture.keyFrame ? 1 : 0);
    qToBigEndian<quint32>(quint32(picture.width), p + 8);
    qToBigEndian<quint32>(quint32(picture.height), p + 12);
    qToBigEndian<quint32>(picture.sequence, p + 16);
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    qToBigEndian<quint64>(quint64(std::chrono::duration_cast<std::chrono::microseconds>(now).count()), p + 20);
    m_socket->write(message, sizeof message);
    m_socket->write(picture.data);
    return true;
}
