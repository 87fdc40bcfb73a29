#include "quitsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
std::atomic<bool> g_received{false};

void onSignal(int)
{
    g_received.store(true);
    const char byte = 1;
    ssize_t ignored = ::write(g_pipe[0], &byte, 1);
    (void)ignored;
}

} // namespace

namespace QuitSignals {

void install(std::function<void()> onQuit)
{
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [onQuit = std::move(onQuit)]() {
        char buf[16];
        ssize_t ignored = ::read(g_pipe[1], buf, sizeof(buf));
        (void)ignored;
        onQuit();
    });

    struct sigaction action = {};
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
}

bool received()
{
    return g_received.load();
}

} // namespace QuitSignals
