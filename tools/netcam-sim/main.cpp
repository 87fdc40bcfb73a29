// netcam-sim: one simulated network microscope camera on a loopback address. Killing it
// and starting it again looks to the program like a camera lost and found again.
#include "commandserver.h"
#include "commandstate.h"
#include "discoveryresponder.h"
#include "quitsignals.h"
#include "simargs.h"
#include "streamworker.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QThread>

#include <cstdio>

namespace {

// A locally administered address made of the IPv4 address, so each simulator differs.
QString macFor(const QHostAddress &address)
{
    const quint32 ip = address.toIPv4Address();
    return QString::asprintf("02:00:%02x:%02x:%02x:%02x", ip >> 24, (ip >> 16) & 0xff, (ip >> 8) & 0xff, ip & 0xff);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qRegisterMetaType<EncodedPicture>();

    SimArgs args;
    QString error;
    if (!parseSimArgs(app.arguments().mid(1), &args, &error)) {
        if (error.isEmpty()) {
            std::fputs(qPrintable(simUsage()), stdout);
            return 0;
        }
        std::fprintf(stderr, "netcam-sim: %s\n%s", qPrintable(error), qPrintable(simUsage()));
        return 2;
    }
    if (args.listPresets) {
        int count = 0;
        const SimPreset *presets = simPresets(&count);
        for (int i = 0; i < count; ++i)
            std::printf("%s\t%s\t%s\t%s\n", presets[i].name, presets[i].model,
                        presets[i].newCommands ? "new" : "old", presets[i].description);
        return 0;
    }
    const QHostAddress address(args.address);

    CameraIdentity identity;
    identity.address = args.address;
    identity.model = args.model;
    identity.swVersion = args.swVersion;
    identity.hwVersion = args.hwVersion;
    identity.mac = macFor(address);
    identity.newCommands = args.newCommands;
    identity.maxFps = args.maxFps;
    CommandState state(identity);

    virtualscope::SpecimenConfig specimen;
    specimen.kind = args.specimen;
    QThread streamThread;
    streamThread.setObjectName("netcam-sim stream");
    auto *worker = new StreamWorker(specimen);
    worker->moveToThread(&streamThread);
    QObject::connect(&streamThread, &QThread::finished, worker, &QObject::deleteLater);
    streamThread.start();

    int result = 0;
    {
        CommandServer server(&state, worker);
        if (!server.listen(address, args.commandPort, &error)) {
            std::fprintf(stderr, "netcam-sim: cannot listen for commands on %s:%u: %s\n", qPrintable(args.address),
                         args.commandPort, qPrintable(error));
            result = 1;
        }
        DiscoveryResponder discovery(DiscoveryResponder::makeAnswer(args.address, args.model, args.swVersion,
                                                                    args.hwVersion, server.port(), identity.mac));
        if (result == 0 && !discovery.bind(address, args.discoveryPort, &error)) {
            std::fprintf(stderr, "netcam-sim: cannot bind discovery to %s:%u: %s\n", qPrintable(args.address),
                         args.discoveryPort, qPrintable(error));
            result = 1;
        }
        if (result == 0 && !quitOnTerminationSignals(&app)) {
            std::fprintf(stderr, "netcam-sim: cannot install signal handlers\n");
            result = 1;
        }
        if (result == 0 && args.exitWithParent && !quitWithParent()) {
            std::fprintf(stderr, "netcam-sim: cannot follow the parent process\n");
            result = 1;
        }
        if (result == 0) {
            std::printf("netcam-sim: %s discovery %u command %u\n", qPrintable(args.address), discovery.port(),
                        server.port());
            std::fflush(stdout);
            result = app.exec();
        }
        // The worker stops before the server it reports to goes away.
        QMetaObject::invokeMethod(worker, "stop", Qt::BlockingQueuedConnection);
    }
    streamThread.quit();
    streamThread.wait();
    return result;
}
