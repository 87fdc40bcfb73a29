#include "simargs.h"

#include <QHostAddress>

namespace {

const char kUsage[] =
    "usage: netcam-sim --address 127.0.0.N (--model MODEL [--new-commands] | --preset NAME)\n"
    "                  [--sw-ver TEXT] [--hw-ver TEXT] [--discovery-port P] [--command-port P]\n"
    "                  [--specimen cells|micrometer|label|fluorescence] [--fps N] [--exit-with-parent]\n"
    "       netcam-sim --list-presets\n";

// One camera of each network family, with the command set its firmware speaks.
const SimPreset kPresets[] = {
    {"cm01", "CM01_IPC", true, "first family"},
    {"cm02u", "CM02U_IPC", true, "first family, USB twin"},
    {"cm08", "CM08_IPC", true, "second family, newer firmware"},
    {"cm11", "CM11_IPC", false, "second family, older firmware"},
    {"cm13", "CM13_IPC", false, "capture context and addresses"},
    {"cm14", "CM14_IPC", false, "display mode"},
    {"cm15", "CM15_IPC", false, "fixed focus"},
    {"cm21", "CM21_IPC", false, "focus steps, defog"},
    {"cm22", "CM22_IPC", true, "focus, zoom, defog"},
};

bool parsePort(const QString &text, quint16 *port)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value > 65535)
        return false;
    *port = static_cast<quint16>(value);
    return true;
}

} // namespace

const SimPreset *simPresets(int *count)
{
    *count = int(sizeof kPresets / sizeof kPresets[0]);
    return kPresets;
}

QString simUsage()
{
    return QString::fromLatin1(kUsage);
}

bool parseSimArgs(const QStringList &arguments, SimArgs *args, QString *error)
{
    error->clear();
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &option = arguments[i];
        if (option == "--help" || option == "-h")
            return false;
        if (option == "--new-commands") {
            args->newCommands = true;
            continue;
        }
        if (option == "--list-presets") {
            args->listPresets = true;
            return true;
        }
        if (option == "--exit-with-parent") {
            args->exitWithParent = true;
            continue;
        }
        if (i + 1 >= arguments.size()) {
            *error = QStringLiteral("unknown option or missing value: %1").arg(option);
            return false;
        }
        const QString value = arguments[++i];
        bool ok = true;
        if (option == "--address") {
            args->address = value;
        } else if (option == "--model") {
            args->model = value;
        } else if (option == "--preset") {
            ok = false;
            for (const SimPreset &preset : kPresets) {
                if (value == QLatin1String(preset.name)) {
                    args->model = QLatin1String(preset.model);
                    args->newCommands = preset.newCommands;
                    ok = true;
                }
            }
        } else if (option == "--sw-ver") {
            args->swVersion = value;
        } else if (option == "--hw-ver") {
            args->hwVersion = value;
        } else if (option == "--discovery-port") {
            ok = parsePort(value, &args->discoveryPort);
        } else if (option == "--command-port") {
            ok = parsePort(value, &args->commandPort);
        } else if (option == "--specimen") {
            ok = virtualscope::parseSpecimenKind(value.toStdString(), &args->specimen);
        } else if (option == "--fps") {
            args->maxFps = value.toInt(&ok);
            ok = ok && args->maxFps >= 1 && args->maxFps <= 120;
        } else {
            *error = QStringLiteral("unknown option: %1").arg(option);
            return false;
        }
        if (!ok) {
            *error = QStringLiteral("bad value for %1: %2").arg(option, value);
            return false;
        }
    }
    if (args->address.isEmpty() || args->model.isEmpty()) {
        *error = QStringLiteral("--address and --model are required");
        return false;
    }
    // A simulated camera must never be reachable from outside this machine.
    // Four parts written out: the short forms ("127.1") name other addresses than they seem to.
    QHostAddress address;
    if (args->address.count('.') != 3 || !address.setAddress(args->address) ||
        address.protocol() != QAbstractSocket::IPv4Protocol || (address.toIPv4Address() >> 24) != 127) {
        *error = QStringLiteral("address must be an IPv4 loopback address (127.0.0.0/8): %1").arg(args->address);
        return false;
    }
    args->address = address.toString();
    return true;
}
