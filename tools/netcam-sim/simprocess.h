#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

// A network camera simulator run as a child process, for tests and benchmarks: starts it on a
// loopback address, waits for its ready line and keeps the ports it reported.
class SimProcess
{
public:
    explicit SimProcess(QString program);
    ~SimProcess();

    // Starts the simulator; discoveryPort 0 picks a free one. False (with the reason in
    // error()) when it did not come up within a few seconds.
    bool start(const QString &address, const QString &model, const QStringList &extra = {}, quint16 discoveryPort = 0);
    // SIGTERM and wait: a camera switched off.
    void stop();
    // SIGKILL and wait: a camera lost without a word.
    void kill();

    QProcess *process() const { return m_process.get(); }
    QString address() const { return m_address; }
    quint16 discoveryPort() const { return m_discoveryPort; }
    quint16 commandPort() const { return m_commandPort; }
    QString error() const { return m_error; }
    // "address:discoveryPort", as LSDK_DISCOVERY_TARGETS lists it.
    QString discoveryTarget() const;

    // A UDP port free on address at this moment.
    static quint16 freeUdpPort(const QString &address);

private:
    QString m_program;
    std::unique_ptr<QProcess> m_process;
    QString m_address;
    quint16 m_discoveryPort = 0;
    quint16 m_commandPort = 0;
    QString m_error;
};
