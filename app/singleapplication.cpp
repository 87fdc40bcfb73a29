#include "singleapplication.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {

// Sent by the primary right after accepting a connection: its process id.
constexpr char kHello[] = "LUMORA-PRIMARY";

QString userName()
{
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("USERNAME");
    return name;
}

} // namespace

SingleApplication::SingleApplication(int &argc, char *argv[], bool allowSecondary, Options options, int timeout,
                                     const QString &userData)
    : QApplication(argc, argv)
{
    Q_UNUSED(allowSecondary) // a secondary always runs long enough to pass its message on
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(applicationName().toUtf8());
    hash.addData(applicationFilePath().toUtf8());
    if (options.testFlag(User))
        hash.addData(userName().toUtf8());
    hash.addData(userData.toUtf8());
    m_serverName = QStringLiteral("lumora-") + QString::fromLatin1(hash.result().toHex().left(24));

    // The lock makes "is there a primary? otherwise become it" one step, even when two
    // copies start in the same instant.
    m_lock = new QLockFile(QDir::temp().filePath(m_serverName + QStringLiteral(".lock")));
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) {
        startPrimary();
        return;
    }

    // Another process holds the lock: it is the primary. Ask for its pid.
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (socket.waitForConnected(timeout) && socket.waitForReadyRead(timeout)) {
        QDataStream in(&socket);
        QByteArray hello;
        in >> hello >> m_primaryPid;
    }
    socket.abort();
}

SingleApplication::~SingleApplication()
{
    if (m_server)
        m_server->close();
    delete m_lock; // unlocks
}

void SingleApplication::startPrimary()
{
    m_primary = true;
    m_primaryPid = applicationPid();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(m_serverName); // a socket left by a crashed primary
    if (!m_server->listen(m_serverName))
        qWarning() << "Single instance server failed to listen:" << m_server->errorString();
    connect(m_server, &QLocalServer::newConnection, this, &SingleApplication::onNewConnection);
}

void SingleApplication::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QDataStream out(socket);
        out << QByteArray(kHello) << applicationPid();
        const quint32 id = m_nextInstanceId++;
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, id]() {
            QDataStream in(socket);
            in.startTransaction();
            QByteArray message;
            in >> message;
            if (!in.commitTransaction())
                return; // wait for the rest
            emit receivedMessage(id, message);
        });
    }
}

bool SingleApplication::sendMessage(const QByteArray &message, int timeout)
{
    if (m_primary)
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(timeout))
        return false;
    QDataStream out(&socket);
    out << message;
    const bool written = socket.waitForBytesWritten(timeout);
    socket.disconnectFromServer();
    return written;
}
