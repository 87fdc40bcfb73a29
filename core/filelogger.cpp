#include "filelogger.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <ctime>
#include <unistd.h>

namespace {

// Descriptor of the open log file and the local time offset, for emergencyWrite().
std::atomic<int> g_logFd{-1};
std::atomic<long> g_utcOffsetSeconds{0};

thread_local bool t_inHandler = false;

const char *levelWord(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return "Debug: ";
    case QtWarningMsg:
        return "Warning: ";
    case QtCriticalMsg:
        return "Critical: ";
    case QtFatalMsg:
        return "Fatal: ";
    case QtInfoMsg:
        return "Info: ";
    }
    return "Debug: ";
}

// Formats n as exactly `width` decimal digits into out.
char *putDigits(char *out, long n, int width)
{
    for (int i = width - 1; i >= 0; --i) {
        out[i] = char('0' + n % 10);
        n /= 10;
    }
    return out + width;
}

} // namespace

FileLogger &FileLogger::instance()
{
    static FileLogger logger;
    return logger;
}

bool FileLogger::openFile(const QString &path)
{
    m_file.close();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        g_logFd.store(-1);
        return false;
    }
    m_stream.setDevice(&m_file);
    m_stream.setCodec("UTF-8");
    m_size = m_file.size();
    g_logFd.store(m_file.handle());
    return true;
}

bool FileLogger::init(const QString &logPath, qint64 rotationLimit)
{
    QMutexLocker lock(&m_mutex);
    m_rotationLimit = rotationLimit;
    if (!QFileInfo::exists(logPath))
        QDir().mkpath(QFileInfo(logPath).absolutePath());
    const bool opened = openFile(logPath);

    g_utcOffsetSeconds.store(QDateTime::currentDateTime().offsetFromUtc());
    if (!m_installed) {
        m_previous = qInstallMessageHandler(&FileLogger::messageHandler);
        m_installed = true;
    }
    return opened;
}

void FileLogger::shutdown()
{
    QMutexLocker lock(&m_mutex);
    if (m_installed) {
        qInstallMessageHandler(m_previous);
        m_installed = false;
    }
    g_logFd.store(-1);
    m_stream.setDevice(nullptr);
    m_file.close();
}

void FileLogger::messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    FileLogger &self = instance();
    // A message raised while writing a message (a file error, say) only goes to the
    // previous handler: taking the lock again would dead-lock.
    if (!t_inHandler) {
        t_inHandler = true;
        self.write(type, message);
        t_inHandler = false;
    }
    if (self.m_previous)
        self.m_previous(type, context, message);
}

void FileLogger::write(QtMsgType type, const QString &message)
{
    QMutexLocker lock(&m_mutex);
    if (!m_file.isOpen())
        return;

    if (m_size > m_rotationLimit) {
        const QString name = m_file.fileName();
        m_stream.setDevice(nullptr);
        m_file.close();
        QFile::remove(name);
        openFile(name);
        if (!m_file.isOpen())
            return;
    }

    const QString line = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                         QStringLiteral(": ") + QLatin1String(levelWord(type)) + message;
    m_size += line.size();
    m_stream << line << '\n';
    m_stream.flush();
}

void FileLogger::emergencyWrite(const char *text)
{
    const int fd = g_logFd.load();
    if (fd < 0 || !text)
        return;

    // Civil date from days since the epoch (proleptic Gregorian), all in integers.
    const long local = long(::time(nullptr)) + g_utcOffsetSeconds.load();
    long days = local / 86400;
    long secs = local % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    const long z = days + 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const long day = doy - (153 * mp + 2) / 5 + 1;
    const long month = mp < 10 ? mp + 3 : mp - 9;
    const long year = yoe + era * 400 + (month <= 2 ? 1 : 0);

    char buf[512];
    char *p = buf;
    p = putDigits(p, year, 4);
    *p++ = '-';
    p = putDigits(p, month, 2);
    *p++ = '-';
    p = putDigits(p, day, 2);
    *p++ = ' ';
    p = putDigits(p, secs / 3600, 2);
    *p++ = ':';
    p = putDigits(p, secs / 60 % 60, 2);
    *p++ = ':';
    p = putDigits(p, secs % 60, 2);
    for (const char *s = ": Debug: "; *s; ++s)
        *p++ = *s;
    for (const char *s = text; *s && p < buf + sizeof(buf) - 1; ++s)
        *p++ = *s;
    *p++ = '\n';
    ssize_t ignored = ::write(fd, buf, size_t(p - buf));
    (void)ignored;
}
