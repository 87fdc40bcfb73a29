// `lumora-cli measure`: a measuring tool's results, on the program's own geometry.
#include "clicommands.h"

#include "calibration.h"
#include "configstore.h"
#include "entryformat.h"
#include "measureshapes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include <algorithm>

int CliCommands::findCalibration(const QString &name, QTextStream &err, CalibrateData &data)
{
    const CalibrationStore store(ConfigStore::instance());
    const QList<CalibrateData> stored = store.calibrations() + store.nosepieceCalibrations();
    const auto named =
        std::find_if(stored.cbegin(), stored.cend(), [&](const CalibrateData &each) { return each.name == name; });
    if (named == stored.cend()) {
        err << "lumora-cli: no calibration named \"" << name << "\" (see lumora-cli calibration list)\n";
        return ExitNoConfiguration;
    }
    data = *named;
    return ExitOk;
}

int CliCommands::measure(const CliArguments &args, QTextStream &out, QTextStream &err)
{
    const MeasureShapes::ToolKind *kind = MeasureShapes::toolKind(args.tool);
    const std::optional<MeasureShapes::Entries> entries = MeasureShapes::measure(kind->type, args.points);
    if (!entries) {
        err << "lumora-cli: the points make no " << args.tool << " (no ellipse fits them)\n";
        return ExitBadArgument;
    }
    EntryFormat format;
    QString unit = args.unit;
    if (!args.calibration.isEmpty()) {
        CalibrateData named;
        if (const int code = findCalibration(args.calibration, err, named); code != ExitOk)
            return code;
        format.converter = named.converter(0);
        if (unit.isEmpty())
            unit = named.unit;
        if (UnitConverter::unitCode(unit) < 0) {
            err << "lumora-cli: calibration \"" << args.calibration << "\" has no known unit (\"" << unit << "\")\n";
            return ExitNoConfiguration;
        }
    } else if (args.umPerPixel > 0) {
        format.converter.micrometresPerPixel = args.umPerPixel;
        format.converter.calibrationUnit = UnitConverter::unitName(Unit::Micrometre);
    }
    format.unit = MeasureShapes::toolUnit(kind->type, UnitConverter::unitCode(unit));
    format.precision = args.precision;
    const bool ellipse = EntryFormat::isEllipse(*entries);
    QJsonArray results;
    for (const MeasureEntry &entry : *entries) {
        if (entry.isHeader())
            continue;
        QJsonObject result{{"name", entry.isPosition ? QStringLiteral("Pos") : EntryFormat::key(entry, true)},
                           {"value", format.number(entry, ellipse)},
                           {"unit", entry.isPosition ? format.converter.unitText(format.unit)
                                                     : format.suffix(entry, ellipse).trimmed()},
                           {"text", format.line(entry, ellipse).trimmed()}};
        if (entry.isPosition)
            result.insert("y", format.converter.toUnit(entry.y, format.unit, false));
        results.append(result);
    }
    const QJsonObject document{
        {"tool", args.tool}, {"unit", format.converter.unitText(format.unit)}, {"results", results}};
    out << QJsonDocument(document).toJson(QJsonDocument::Indented);
    return ExitOk;
}
