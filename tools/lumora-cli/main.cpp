// lumora-cli: lists the attached cameras, prints a camera's information and grabs pictures,
// on the same camera and frame libraries as the program. `lumora-cli --help` for the usage.
#include "cameralist.h"
#include "cameratypes.h"
#include "cliarguments.h"
#include "clicommands.h"
#include "clilog.h"

#include <QApplication>
#include <QTextStream>

#include <lmcam.h>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

bool wantsWindow(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "view") == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Only the live view opens a window; the other commands run without a display.
    if (wantsWindow(argc, argv) && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "lumora-cli: view needs a display (DISPLAY is not set)\n");
        return ExitNoDisplay;
    }
    const std::unique_ptr<QCoreApplication> application(wantsWindow(argc, argv) ? new QApplication(argc, argv)
                                                                                : new QCoreApplication(argc, argv));
    QCoreApplication &app = *application;
    // The program's name, so that settings read by the camera classes are the program's own.
    QCoreApplication::setApplicationName(QStringLiteral("lumora"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    CliArguments args;
    QString error;
    if (!args.parse(app.arguments().mid(1), error)) {
        err << "lumora-cli: " << error << "\nTry 'lumora-cli --help'.\n";
        return ExitBadArgument;
    }
    if (args.command == CliArguments::Help) {
        out << CliArguments::helpText();
        return ExitOk;
    }

    installCliMessageHandler(args.verbose);
    if (args.command == CliArguments::Scan)
        return CliCommands::scan(args, out, err);
    if (args.command == CliArguments::Measure)
        return CliCommands::measure(args, out, err);
    if (args.command == CliArguments::Calibration)
        return CliCommands::calibration(args, out, err);
    registerCameraTypes();
    lmcam_api_init();
    int code = ExitOk;
    {
        const CameraDiscovery discovery;
        switch (args.command) {
        case CliArguments::List:
            code = CliCommands::list(discovery, out);
            break;
        case CliArguments::Models:
            code = CliCommands::models(out);
            break;
        case CliArguments::Info:
            code = CliCommands::info(discovery, args, out, err);
            break;
        case CliArguments::Get:
            code = CliCommands::get(discovery, args, out, err);
            break;
        case CliArguments::Set:
            code = CliCommands::set(discovery, args, err);
            break;
        case CliArguments::SchemeExport:
            code = CliCommands::schemeExport(discovery, args, out, err);
            break;
        case CliArguments::SchemeImport:
            code = CliCommands::schemeImport(discovery, args, out, err);
            break;
        case CliArguments::Grab:
            code = CliCommands::grab(discovery, args, out, err);
            break;
        case CliArguments::Snap:
            code = CliCommands::snap(discovery, args, out, err);
            break;
        case CliArguments::Record:
            code = CliCommands::record(discovery, args, out, err);
            break;
        case CliArguments::View:
            code = CliCommands::view(discovery, args, out, err);
            break;
        default:
            break;
        }
    }
    lmcam_api_destroy();
    return code;
}
