// lumora-cli: lists the attached cameras, prints a camera's information and grabs pictures,
// on the same camera and frame libraries as the program. `lumora-cli --help` for the usage.
#include "cameratypes.h"
#include "cliarguments.h"
#include "clicommands.h"
#include "clilog.h"

#include <QCoreApplication>
#include <QTextStream>

#include <lmcam.h>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
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
    registerCameraTypes();
    lmcam_api_init();
    int code = ExitOk;
    switch (args.command) {
    case CliArguments::List:
        code = CliCommands::list(out);
        break;
    case CliArguments::Info:
        code = CliCommands::info(args, out, err);
        break;
    case CliArguments::Grab:
        code = CliCommands::grab(args, out, err);
        break;
    default:
        break;
    }
    lmcam_api_destroy();
    return code;
}
