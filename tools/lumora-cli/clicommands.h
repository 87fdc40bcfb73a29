#pragma once

#include "cliarguments.h"

class CameraDiscovery;
class QTextStream;
struct CalibrateData;

// The commands of lumora-cli. Each writes its result to `out`, a failure as one line to
// `err`, and returns the exit status.
namespace CliCommands {

// The model table as JSON.
int models(QTextStream &out);
int list(const CameraDiscovery &discovery, QTextStream &out);
int info(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err);
// Every camera parameter's value, range and support, as JSON.
int get(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err);
// Checks every setting, then applies and remembers them all.
int set(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &err);
// The configuration schemes of the camera's model, to and from args.schemeFile.
int schemeExport(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err);
// Checks the whole file before it stores anything.
int schemeImport(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err);
int grab(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err);
// One line per picture file: the code's text, or an empty line.
int scan(const CliArguments &args, QTextStream &out, QTextStream &err);
// Pictures named by the program's photo settings (or one picture file), see --help.
int snap(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err);
// An H.264 MP4 video of --seconds S; the file is finished whatever ends the recording.
int record(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err);
// Needs a QApplication.
int view(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err);
// The stored calibration (of the list or of the objective turret) named `name` into `data`:
// ExitOk, or the exit status after the message on `err`.
int findCalibration(const QString &name, QTextStream &err, CalibrateData &data);
// The tool's results for its points, as JSON.
int measure(const CliArguments &args, QTextStream &out, QTextStream &err);
// Lists, exports or imports the stored calibrations; an import checks the whole file first.
int calibration(const CliArguments &args, QTextStream &out, QTextStream &err);

} // namespace CliCommands
