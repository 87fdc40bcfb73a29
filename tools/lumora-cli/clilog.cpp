#include "clilog.h"

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <cstdio>

namespace {

bool g_verbose = false;
std::atomic<int> g_unsupported{0};

// Beginnings of the lines a camera logs for a slot its type cannot serve.
const char *const kUnsupportedPrefixes[] = {"Current camera not support", "Uvc camera does not support",
                                            "NetCamera does not support", "Current camera does not support",
                                            "Current Camera does not support"};

void handleMessage(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    for (const char *prefix : kUnsupportedPrefixes) {
        if (text.startsWith(QLatin1String(prefix))) {
            ++g_unsupported;
            break;
        }
    }
    if (!g_verbose && (type == QtDebugMsg || type == QtInfoMsg))
        return;
    const char *level = type == QtDebugMsg ? "debug" : type == QtInfoMsg ? "info" : "warning";
    std::fprintf(stderr, "%s: %s\n", level, qUtf8Printable(text));
    std::fflush(stderr);
}

} // namespace

void installCliMessageHandler(bool verbose)
{
    g_verbose = verbose;
    qInstallMessageHandler(handleMessage);
}

int unsupportedMessageCount()
{
    return g_unsupported.load();
}
