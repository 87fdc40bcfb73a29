// The arguments of `lumora-cli measure`.
#include "cliarguments.h"

#include "measureshapes.h"
#include "unitconverter.h"

#include <cmath>

namespace {

// "X,Y;X,Y;..." in image pixels.
bool parsePoints(const QString &text, QVector<QPointF> &points)
{
    for (const QString &pair : text.split(';')) {
        const QStringList xy = pair.split(',');
        bool okX = false;
        bool okY = false;
        const double x = xy.value(0).trimmed().toDouble(&okX);
        const double y = xy.value(1).trimmed().toDouble(&okY);
        if (xy.size() != 2 || !okX || !okY || !std::isfinite(x) || !std::isfinite(y))
            return false;
        points << QPointF(x, y);
    }
    return true;
}

} // namespace

bool CliArguments::parseMeasure(const QStringList &arguments, QString &error)
{
    command = Measure;
    QStringList seen;
    for (int i = 0; i < arguments.size(); ++i) {
        QString name = arguments.at(i);
        if (name == "-h" || name == "--help") {
            command = Help;
            return true;
        }
        if (!name.startsWith("--")) {
            error = QStringLiteral("unexpected argument \"%1\"").arg(name);
            return false;
        }
        name = name.mid(2);
        QString value;
        const int eq = name.indexOf('=');
        if (eq >= 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
        } else if (i + 1 < arguments.size()) {
            value = arguments.at(++i);
        } else {
            error = QStringLiteral("option --%1 needs a value").arg(name);
            return false;
        }
        if (seen.contains(name)) {
            error = QStringLiteral("option --%1 given twice").arg(name);
            return false;
        }
        seen << name;
        bool ok = false;
        if (name == "tool") {
            tool = value;
        } else if (name == "points") {
            ok = parsePoints(value, points);
            if (!ok) {
                error = QStringLiteral("bad --points \"%1\" (expected X,Y;X,Y;... in pixels)").arg(value);
                return false;
            }
        } else if (name == "unit") {
            unit = value;
            if (UnitConverter::unitCode(unit) < 0) {
                error = QStringLiteral("unknown --unit \"%1\" (pix, pm, \u00c5, nm, um, mm, cm, m, mil or inch)")
                            .arg(value);
                return false;
            }
        } else if (name == "um-per-px") {
            umPerPixel = value.toDouble(&ok);
            if (!ok || !std::isfinite(umPerPixel) || umPerPixel <= 0) {
                error = QStringLiteral("bad --um-per-px \"%1\" (expected a number above 0)").arg(value);
                return false;
            }
        } else if (name == "calibration") {
            calibration = value;
        } else if (name == "precision") {
            precision = value.toInt(&ok);
            if (!ok || precision < 0 || precision > 10) {
                error = QStringLiteral("bad --precision \"%1\" (expected 0 to 10 decimals)").arg(value);
                return false;
            }
        } else {
            error = QStringLiteral("option --%1 does not apply to measure").arg(name);
            return false;
        }
    }
    const MeasureShapes::ToolKind *kind = MeasureShapes::toolKind(tool);
    if (tool.isEmpty() || seen.indexOf("points") < 0) {
        error = QStringLiteral("measure needs --tool NAME and --points X,Y;...");
        return false;
    }
    if (!kind || !kind->measure) {
        error = QStringLiteral("unknown measuring tool \"%1\" (see lumora-cli --help)").arg(tool);
        return false;
    }
    if (kind->points > 0 ? points.size() != kind->points : points.size() < kind->minimum) {
        error = QStringLiteral("%1 takes %2%3 points, %4 given")
                    .arg(tool, kind->points > 0 ? QString() : QStringLiteral("at least "))
                    .arg(kind->points > 0 ? kind->points : kind->minimum)
                    .arg(points.size());
        return false;
    }
    if (!calibration.isEmpty()) {
        if (umPerPixel > 0) {
            error = QStringLiteral("--calibration and --um-per-px exclude each other");
            return false;
        }
        if (!seen.contains(QStringLiteral("unit")))
            unit.clear(); // the calibration's
        return true;
    }
    if (unit != UnitConverter::unitName(Unit::Pixel) && umPerPixel <= 0) {
        error = QStringLiteral("--unit %1 needs --um-per-px F (micrometres per pixel)").arg(unit);
        return false;
    }
    return true;
}

bool CliArguments::parseCalibration(const QStringList &arguments, QString &error)
{
    command = Calibration;
    QStringList words;
    for (const QString &argument : arguments) {
        if (argument == "-h" || argument == "--help") {
            command = Help;
            return true;
        }
        if (argument == "--overwrite")
            overwrite = true;
        else if (argument.startsWith("--"))
            error = QStringLiteral("option %1 does not apply to calibration").arg(argument);
        else
            words << argument;
        if (!error.isEmpty())
            return false;
    }
    calibrationAction = words.value(0);
    calibrationFile = words.value(1);
    calibrationNames = words.mid(2);
    if (calibrationAction != "list" && calibrationAction != "export" && calibrationAction != "import") {
        error = QStringLiteral("calibration needs list, export FILE or import FILE");
        return false;
    }
    if (overwrite && calibrationAction != "import") {
        error = QStringLiteral("option --overwrite does not apply to calibration %1").arg(calibrationAction);
        return false;
    }
    const int most = calibrationAction == "list" ? 1 : calibrationAction == "import" ? 2 : words.size();
    if (words.size() > most) {
        error = QStringLiteral("unexpected argument \"%1\"").arg(words.at(most));
        return false;
    }
    if (calibrationAction != "list" && calibrationFile.isEmpty()) {
        error = QStringLiteral("calibration %1 needs FILE").arg(calibrationAction);
        return false;
    }
    return true;
}

QString CliArguments::measureToolsHelp()
{
    QString text;
    for (const MeasureShapes::ToolKind &kind : MeasureShapes::toolKinds()) {
        if (kind.measure)
            text += QStringLiteral("  %1 %2\n")
                        .arg(QString::fromLatin1(kind.className), -26)
                        .arg(kind.points > 0 ? QString::number(kind.points)
                                             : QStringLiteral("%1 or more").arg(kind.minimum));
    }
    return text;
}
