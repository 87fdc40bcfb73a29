// `lumora-cli calibration`: the stored calibrations, and their ".cal" exchange files.
#include "clicommands.h"

#include "calibration.h"
#include "configstore.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>

namespace {

QJsonArray toJson(const QList<CalibrateData> &records, bool turret)
{
    QJsonArray array;
    for (const CalibrateData &r : records) {
        QJsonObject object{{"name", r.name},
                           {"magnification", r.magnification},
                           {"length", r.length},
                           {"unit", r.unit},
                           {"umPerPixel", r.real},
                           {"pixel", r.pixel},
                           {"resolution", r.resolution},
                           {"scaleLength", r.scaleCurrentLength}};
        if (turret)
            object.insert("nosepieceSlot", r.nosepieceSlot);
        array.append(object);
    }
    return array;
}

int exportFile(const CalibrationStore &store, const CliArguments &args, QTextStream &out, QTextStream &err)
{
    QList<CalibrateData> chosen;
    const QList<CalibrateData> stored = store.calibrations();
    for (const QString &name : args.calibrationNames) {
        const auto named =
            std::find_if(stored.cbegin(), stored.cend(), [&](const CalibrateData &d) { return d.name == name; });
        if (named == stored.cend()) {
            err << "lumora-cli: no calibration named \"" << name << "\" (see lumora-cli calibration list)\n";
            return ExitNoConfiguration;
        }
        chosen << *named;
    }
    if (args.calibrationNames.isEmpty())
        chosen = stored;
    if (chosen.isEmpty()) {
        err << "lumora-cli: " << CalibrationStore::tr("No calibration data selected for export.") << '\n';
        return ExitNoConfiguration;
    }
    const QString file = CalibrationStore::withSuffix(args.calibrationFile);
    if (!QFileInfo(file).absoluteDir().exists()) {
        err << "lumora-cli: cannot write " << file << ": the folder does not exist\n";
        return ExitWriteFailed;
    }
    CalibrationMessage outcome;
    if (!CalibrationStore::exportFile(file, chosen, outcome)) {
        err << "lumora-cli: " << outcome.text << '\n';
        return ExitWriteFailed;
    }
    out << outcome.text << ' ' << file << '\n';
    return ExitOk;
}

} // namespace

int CliCommands::calibration(const CliArguments &args, QTextStream &out, QTextStream &err)
{
    CalibrationStore store(ConfigStore::instance());
    if (args.calibrationAction == "list") {
        const QJsonObject document{{"calibrate", toJson(store.calibrations(), false)},
                                   {"nosepieceCalibrate", toJson(store.nosepieceCalibrations(), true)}};
        out << QJsonDocument(document).toJson(QJsonDocument::Indented);
        return ExitOk;
    }
    if (args.calibrationAction == "export")
        return exportFile(store, args, out, err);

    QList<CalibrationMessage> messages;
    const auto answer = [&](const CalibrationMessage &question) {
        out << question.text << (args.overwrite ? " yes\n" : " no\n");
        return args.overwrite;
    };
    const bool stored = store.importFile(args.calibrationFile, answer, messages);
    for (const CalibrationMessage &message : qAsConst(messages))
        (stored ? out : err) << (stored ? "" : "lumora-cli: ") << message.text << '\n';
    if (stored)
        return ExitOk;
    // Nothing at all was stored when the file was refused; a failed write stored part of it.
    const bool refused = std::none_of(messages.cbegin(), messages.cend(), [](const CalibrationMessage &m) {
        return m.title == CalibrationStore::tr("Add Failed") || m.title == CalibrationStore::tr("Overwrite Failed");
    });
    return refused ? ExitUnreadableFile : ExitWriteFailed;
}
