#pragma once

#include <QFile>
#include <QMutex>
#include <QString>
#include <QTextStream>
#include <QtGlobal>

// The program's log file. Every Qt debug, info, warning, critical and fatal message, from
// any thread, becomes one line "yyyy-MM-dd hh:mm:ss: <Level>: <text>" in the file and is
// then passed on to the previous message handler. A file that has grown past its rotation
// limit (kRotationLimit characters unless init() is given another) is deleted and started
// afresh by the next message.
class FileLogger
{
public:
    static constexpr qint64 kRotationLimit = 20000000;

    static FileLogger &instance();

    // Opens (appends to) the log file, creating its folder, and installs the message
    // handler. Returns false when the file cannot be opened; messages then still reach
    // the previous handler.
    bool init(const QString &logPath, qint64 rotationLimit = kRotationLimit);

    // Restores the previous message handler and closes the file.
    void shutdown();

    // Writes "<local time>: Debug: <text>\n" straight to the open log file without locking
    // or allocating. Only for the crash handler, where nothing else is safe.
    static void emergencyWrite(const char *text);

private:
    FileLogger() = default;
    static void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);
    void write(QtMsgType type, const QString &message);
    bool openFile(const QString &path);

    QMutex m_mutex;
    QFile m_file;
    QTextStream m_stream;
    qint64 m_size = 0;
    qint64 m_rotationLimit = kRotationLimit;
    QtMessageHandler m_previous = nullptr;
    bool m_installed = false;
};
