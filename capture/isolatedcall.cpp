#include "isolatedcall.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

IsolatedCall IsolatedCall::run(const std::function<std::string()> &work, int timeoutMs)
{
    IsolatedCall call;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return call;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return call;
    }
    if (child == 0) {
        ::close(fds[0]);
        // A fault here is the child's to die of: the program's crash reporter must not write a dump for it.
        for (const int sig : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
            ::signal(sig, SIG_DFL);
        const std::string bytes = work();
        // _exit: the parent's atexit handlers and buffered streams are not the child's to run.
        ::_exit(writeAll(fds[1], bytes.data(), bytes.size()) ? 0 : 1);
    }
    ::close(fds[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool timedOut = false;
    char buffer[4096];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) {
            timedOut = true;
            break;
        }
        pollfd pfd{fds[0], POLLIN, 0};
        const int ready = ::poll(&pfd, 1, int(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break; // end of file: the child finished or died
        call.output.append(buffer, size_t(n));
    }
    ::close(fds[0]);
    if (timedOut)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut) {
        call.status = TimedOut;
    } else if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        call.status = Done;
    } else {
        call.status = Crashed;
    }
    if (call.status != Done)
        call.output.clear();
    return call;
}
