#include "crashdumphandler.h"

#include "constants.h"
#include "filelogger.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <csignal>
#include <cstring>
#include <exception>
#include <execinfo.h>
#include <fcntl.h>
#include <typeinfo>
#include <unistd.h>

#include <cxxabi.h>

namespace {

constexpr int kDumpMaxAgeDays = 7;
constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGSYS, SIGTRAP};

// Everything the handler needs is prepared at install time: it may not allocate.
char g_dumpDir[4096];
std::atomic<bool> g_dumping{false};
alignas(16) char g_altStack[64 * 1024];

// Small async-signal-safe writers.
void putText(int fd, const char *s)
{
    if (!s)
        return;
    ssize_t ignored = ::write(fd, s, strlen(s));
    (void)ignored;
}

void putNumber(int fd, unsigned long value, int base = 10)
{
    char buf[32];
    int i = sizeof(buf);
    buf[--i] = '\0';
    do {
        const unsigned digit = unsigned(value % unsigned(base));
        buf[--i] = char(digit < 10 ? '0' + digit : 'a' + digit - 10);
        value /= unsigned(base);
    } while (value && i > 0);
    if (base == 16) {
        buf[--i] = 'x';
        buf[--i] = '0';
    }
    putText(fd, buf + i);
}

const char *signalName(int sig)
{
    switch (sig) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGFPE:
        return "SIGFPE";
    case SIGILL:
        return "SIGILL";
    case SIGABRT:
        return "SIGABRT";
    case SIGSYS:
        return "SIGSYS";
    case SIGTRAP:
        return "SIGTRAP";
    }
    return "unknown";
}

// A random (version 4) UUID as 36 characters plus NUL.
void makeUuid(char out[37])
{
    unsigned char bytes[16] = {};
    const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ssize_t ignored = ::read(fd, bytes, sizeof(bytes));
        (void)ignored;
        ::close(fd);
    }
    // Mix in the pid and the stack address so that a failed read still gives a usable name.
    const unsigned long salt = (unsigned long)getpid() ^ (unsigned long)(uintptr_t)&bytes;
    for (int i = 0; i < 8; ++i)
        bytes[i] ^= (unsigned char)(salt >> (8 * i));
    bytes[6] = (unsigned char)((bytes[6] & 0x0f) | 0x40);
    bytes[8] = (unsigned char)((bytes[8] & 0x3f) | 0x80);
    static const char hex[] = "0123456789abcdef";
    char *p = out;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            *p++ = '-';
        *p++ = hex[bytes[i] >> 4];
        *p++ = hex[bytes[i] & 0x0f];
    }
    *p = '\0';
}

void copyProcFile(int out, const char *path)
{
    const int in = ::open(path, O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(in, buf, sizeof(buf))) > 0) {
        ssize_t ignored = ::write(out, buf, size_t(n));
        (void)ignored;
    }
    ::close(in);
}

// Writes one report. `reason` is a signal (sig > 0) or an uncaught exception (sig == 0).
void writeDump(int sig, const siginfo_t *info, const char *exceptionType, const char *exceptionText)
{
    if (g_dumping.exchange(true))
        return; // one report per crash: abort() after terminate comes here again

    char uuid[37];
    makeUuid(uuid);
    char path[sizeof(g_dumpDir) + 64];
    size_t len = strlen(g_dumpDir);
    memcpy(path, g_dumpDir, len);
    path[len++] = '/';
    memcpy(path + len, uuid, 36);
    memcpy(path + len + 36, ".dmp", 5);

    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) {
        putText(fd, "Lumora crash report\nversion: ");
        putText(fd, Constants::kVersion);
        putText(fd, "\npid: ");
        putNumber(fd, (unsigned long)getpid());
        if (sig > 0) {
            putText(fd, "\nsignal: ");
            putNumber(fd, (unsigned long)sig);
            putText(fd, " (");
            putText(fd, signalName(sig));
            putText(fd, ")");
            if (info) {
                putText(fd, "\nsignal code: ");
                putNumber(fd, (unsigned long)info->si_code);
                putText(fd, "\nfault address: ");
                putNumber(fd, (unsigned long)(uintptr_t)info->si_addr, 16);
            }
        } else {
            putText(fd, "\nreason: uncaught exception");
            if (exceptionType) {
                putText(fd, "\nexception type: ");
                putText(fd, exceptionType);
            }
            if (exceptionText) {
                putText(fd, "\nexception message: ");
                putText(fd, exceptionText);
            }
        }
        putText(fd, "\n\nbacktrace:\n");
        void *frames[128];
        const int count = backtrace(frames, 128);
        backtrace_symbols_fd(frames, count, fd);
        putText(fd, "\nmemory map:\n");
        copyProcFile(fd, "/proc/self/maps");
        ::close(fd);
    }

    putText(STDERR_FILENO, "Lumora crashed; report written to ");
    putText(STDERR_FILENO, path);
    putText(STDERR_FILENO, "\n");
    FileLogger::emergencyWrite("BreakpadQt crash");
}

void onFatalSignal(int sig, siginfo_t *info, void *)
{
    writeDump(sig, info, nullptr, nullptr);
    // SA_RESETHAND restored the default action: die of the same signal, so that the
    // parent and the system see the real cause.
    raise(sig);
}

void onTerminate()
{
    // Not a signal context: naming the exception is allowed here.
    const char *typeName = nullptr;
    const char *what = nullptr;
    char demangled[512] = {};
    if (std::exception_ptr current = std::current_exception()) {
        if (const std::type_info *type = abi::__cxa_current_exception_type()) {
            int status = -1;
            size_t size = sizeof(demangled);
            char *name = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
            if (name && status == 0) {
                strncpy(demangled, name, size - 1);
                typeName = demangled;
            } else {
                typeName = type->name();
            }
            free(name);
        }
        try {
            std::rethrow_exception(current);
        } catch (const std::exception &e) {
            what = e.what();
            writeDump(0, nullptr, typeName, what);
        } catch (...) {
            writeDump(0, nullptr, typeName, nullptr);
        }
    } else {
        writeDump(0, nullptr, "std::terminate without an active exception", nullptr);
    }
    std::abort();
}

void installHandlers(const QString &dumpPath)
{
    const QByteArray dir = QFile::encodeName(QDir(dumpPath).absolutePath());
    const size_t len = std::min(size_t(dir.size()), sizeof(g_dumpDir) - 1);
    memcpy(g_dumpDir, dir.constData(), len);
    g_dumpDir[len] = '\0';

    // The first backtrace() loads the unwinder, which allocates: do it now, not in a crash.
    void *warmUp[4];
    backtrace(warmUp, 4);

    stack_t altStack = {};
    altStack.ss_sp = g_altStack;
    altStack.ss_size = sizeof(g_altStack);
    sigaltstack(&altStack, nullptr); // so that a stack overflow can still be reported

    struct sigaction action = {};
    action.sa_sigaction = &onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int sig : kFatalSignals)
        sigaction(sig, &action, nullptr);
    std::set_terminate(&onTerminate);
}

} // namespace

CrashDumpHandler &CrashDumpHandler::instance()
{
    static CrashDumpHandler handler;
    return handler;
}

int CrashDumpHandler::removeOldDumps(const QString &dumpPath, const QDateTime &now)
{
    QDir dir(dumpPath);
    if (!dir.exists()) {
        qWarning() << "Dump path does not exist:" << dumpPath;
        return 0;
    }
    qDebug() << "QDateTime now = " << now;
    const QDateTime limit = now.addDays(-kDumpMaxAgeDays);
    int removed = 0;
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden, QDir::Time);
    for (const QFileInfo &file : files) {
        if (file.lastModified() >= limit)
            continue;
        if (QFile::remove(file.absoluteFilePath())) {
            qDebug() << "Deleted old dump file:" << file.fileName();
            ++removed;
        } else {
            qWarning() << "Failed to delete old dump file:" << file.fileName();
        }
    }
    return removed;
}

void CrashDumpHandler::init(const QString &dumpPath)
{
    if (!QFileInfo::exists(dumpPath))
        QDir().mkpath(dumpPath);
    removeOldDumps(dumpPath, QDateTime::currentDateTime());
    if (!m_installed) {
        installHandlers(dumpPath);
        m_installed = true;
    }
}
