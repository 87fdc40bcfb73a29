#pragma once

#include <QApplication>
#include <QFlags>

class QLocalServer;
class QLockFile;

// The application object with a single-instance guard. The first process started by a
// user becomes the primary and listens on a local socket; a later one (a secondary)
// finds it there and can hand it a message, which the primary receives as
// receivedMessage().
class SingleApplication : public QApplication
{
    Q_OBJECT
public:
    enum Mode {
        User = 1 << 0,   // one primary per user
        System = 1 << 1, // one primary per machine
    };
    Q_DECLARE_FLAGS(Options, Mode)

    SingleApplication(int &argc, char *argv[], bool allowSecondary = false, Options options = Mode::User,
                      int timeout = 1000, const QString &userData = {});
    ~SingleApplication() override;

    bool isPrimary() const { return m_primary; }
    bool isSecondary() const { return !m_primary; }
    qint64 primaryPid() const { return m_primaryPid; }

    // From a secondary: delivers `message` to the primary within `timeout` ms.
    bool sendMessage(const QByteArray &message, int timeout = 100);

signals:
    void receivedMessage(quint32 instanceId, QByteArray message);

private:
    void startPrimary();
    void onNewConnection();

    QString m_serverName;
    QLocalServer *m_server = nullptr;
    QLockFile *m_lock = nullptr;
    bool m_primary = false;
    qint64 m_primaryPid = 0;
    quint32 m_nextInstanceId = 1;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(SingleApplication::Options)
