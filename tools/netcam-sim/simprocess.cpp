#include "simprocess.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QRegularExpression>
#include <QUdpSocket>

namespace {
constexpr int kWaitMs = 15000; // the first picture of a large specimen takes a while to build
}

SimProcess::SimProcess(QString program) : m_program(std::move(program)) {}

SimProcess::~SimProcess()
{
    stop();
}

quint16 SimProcess::freeUdpPort(const QString &address)
{
    QUdpSocket probe;
    if (!probe.bind(QHostAddress(address), 0))
        return 0;
    return probe.localPort();
}

QString SimProcess::discoveryTarget() const
{
    return QStringLiteral("%1:%2").arg(m_address).arg(m_discoveryPort);
}

bool SimProcess::start(const QString &address, const QString &model, const QStringList &extra, quint16 discoveryPort)
{
    stop();
    m_address = address;
    m_discoveryPort = discoveryPort ? discoveryPort : freeUdpPort(address);
    m_commandPort = 0;
    m_process = std::make_unique<QProcess>();
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(m_program, QStringList{"--address", address, "--model", model, "--discovery-port",
                                            QString::number(m_discoveryPort), "--exit-with-parent"} +
                                    extra);
    if (!m_process->waitForStarted(kWaitMs)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(m_program, m_process->errorString());
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (!m_process->canReadLine() && clock.elapsed() < kWaitMs && m_process->state() == QProcess::Running)
        m_process->waitForReadyRead(200);
    const QString line = QString::fromUtf8(m_process->readLine()).trimmed();
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^netcam-sim: (\\S+) discovery (\\d+) command (\\d+)$")).match(line);
    if (!m.hasMatch() || m.captured(1) != address || m.captured(2).toUInt() != m_discoveryPort) {
        m_error = QStringLiteral("unexpected ready line \"%1\"").arg(line);
        return false;
    }
    m_commandPort = quint16(m.captured(3).toUInt());
    return m_commandPort != 0;
}

void SimProcess::stop()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(5000);
        }
    }
}

void SimProcess::kill()
{
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}
