#include "cliarguments.h"

#include "cameraparameters.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Options, the commands each one belongs to, and whether it takes a value.
struct OptionSpec
{
    const char *name;
    bool info; // info, get, set and scheme export
    bool grab;
    bool view;
    bool flag = false;   // no value
    bool import = false; // scheme import
    bool snap = false;
    bool record = false;
};

const OptionSpec kOptions[] = {
    {"camera", true, true, true, false, true, true, true},
    {"resolution", false, true, true, false, false, true, true},
    {"frames", false, true, true},
    {"rotate", false, true, false, false, false, true},
    {"roi", false, true, false, false, false, true},
    {"set", false, true, false, false, false, true},
    {"out", false, true, false, false, false, true, true},
    {"seconds", false, false, false, false, false, false, true},
    {"count", false, false, false, false, false, true},
    {"interval", false, false, false, false, false, true},
    {"watermark", false, false, true},
    {"negative", false, false, true, true},
    {"levels", false, false, true},
    {"black-balance", false, false, true},
    {"ffc", false, false, true},
    {"screenshot", false, false, true},
    {"zoom", false, false, true},
    {"overwrite", false, false, false, true, true},
    {"calibration", false, false, false, false, false, true},
};

const char *const kImageSuffixes[] = {"png", "jpg", "jpeg", "bmp", "tif", "tiff"};

const OptionSpec *findOption(const QString &name)
{
    for (const OptionSpec &o : kOptions) {
        if (name == QLatin1String(o.name))
            return &o;
    }
    return nullptr;
}

bool hasImageSuffix(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return std::any_of(std::begin(kImageSuffixes), std::end(kImageSuffixes),
                       [&](const char *s) { return suffix == QLatin1String(s); });
}

QString badPictureName(const QString &option, const QString &value)
{
    return QStringLiteral("bad --%1 \"%2\" (the name must end in .png, .jpg, .jpeg, .bmp, .tif or .tiff)")
        .arg(option, value);
}

bool parseInt(const QString &text, int min, int max, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && value >= min && value <= max;
}

QString valueSyntax(const CameraParameter &p)
{
    switch (p.kind) {
    case CameraParameter::Integer:
        return QStringLiteral("integer");
    case CameraParameter::Flag:
        return QStringLiteral("on|off");
    case CameraParameter::Choice:
        return QString::fromLatin1(p.choices);
    }
    return QString();
}

// A --set value for the parameter; false with a message when it does not fit its kind.
bool parseParameterValue(const CameraParameter &parameter, const QString &text, int &value, QString &error)
{
    const QString word = text.trimmed().toLower();
    bool ok = false;
    switch (parameter.kind) {
    case CameraParameter::Integer:
        value = word.toInt(&ok);
        break;
    case CameraParameter::Flag:
        if (word == "on" || word == "1" || word == "true" || word == "yes") {
            value = 1;
            ok = true;
        } else if (word == "off" || word == "0" || word == "false" || word == "no") {
            value = 0;
            ok = true;
        }
        break;
    case CameraParameter::Choice: {
        const QStringList words = QString::fromLatin1(parameter.choices).split('|');
        const int index = words.indexOf(word);
        ok = index >= 0;
        if (ok)
            value = parameter.choiceValues ? parameter.choiceValues[index] : index + 1;
        break;
    }
    }
    if (!ok)
        error =
            QStringLiteral("bad value \"%1\" for %2 (expected %3)").arg(text, parameter.name, valueSyntax(parameter));
    return ok;
}

// The parameter table as help text, one parameter a line.
QString cameraParameterHelp()
{
    QString text;
    for (const CameraParameter &p : cameraParameters())
        text +=
            QStringLiteral("  %1 %2 %3\n").arg(QString::fromLatin1(p.name), -20).arg(valueSyntax(p), -26).arg(p.slot);
    return text;
}

} // namespace

bool CliArguments::parseSetting(const QString &text, QString &error)
{
    const int at = text.indexOf('=');
    if (at <= 0) {
        error = QStringLiteral("bad setting \"%1\" (expected PARAM=VALUE)").arg(text);
        return false;
    }
    const CameraParameter *parameter = findCameraParameter(text.left(at).trimmed());
    if (!parameter) {
        error = QStringLiteral("unknown camera parameter \"%1\" (see lumora-cli --help)").arg(text.left(at).trimmed());
        return false;
    }
    ParameterSetting setting;
    setting.name = QString::fromLatin1(parameter->name);
    if (!parseParameterValue(*parameter, text.mid(at + 1), setting.value, error))
        return false;
    settings << setting;
    return true;
}

bool CliArguments::parse(const QStringList &arguments, QString &error)
{
    if (arguments.value(0) == "measure")
        return parseMeasure(arguments.mid(1), error);
    if (arguments.value(0) == "calibration")
        return parseCalibration(arguments.mid(1), error);
    QStringList commandWords;
    QStringList seen;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString arg = arguments.at(i);
        if (arg == "-h" || arg == "--help") {
            command = Help;
            return true;
        }
        if (arg == "-v" || arg == "--verbose") {
            verbose = true;
            continue;
        }
        if (!arg.startsWith("--")) {
            commandWords << arg;
            continue;
        }
        QString name = arg.mid(2);
        QString value;
        const int eq = name.indexOf('=');
        if (eq >= 0) {
            value = name.mid(eq + 1);
            name.truncate(eq);
        } else if (findOption(name) && !findOption(name)->flag) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("option --%1 needs a value").arg(name);
                return false;
            }
            value = arguments.at(++i);
        }
        const OptionSpec *spec = findOption(name);
        if (!spec) {
            error = QStringLiteral("unknown option --%1").arg(name);
            return false;
        }
        if (spec->flag && eq >= 0) {
            error = QStringLiteral("option --%1 takes no value").arg(name);
            return false;
        }
        if (name != "set" && seen.contains(name)) {
            error = QStringLiteral("option --%1 given twice").arg(name);
            return false;
        }
        seen << name;

        if (name == "camera") {
            camera = value;
        } else if (name == "resolution") {
            static const QRegularExpression re(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
            const QRegularExpressionMatch m = re.match(value);
            resolution = m.hasMatch() ? QSize(m.captured(1).toInt(), m.captured(2).toInt()) : QSize();
            if (resolution.isEmpty()) {
                error = QStringLiteral("bad --resolution \"%1\" (expected WIDTHxHEIGHT, e.g. 1920x1080)").arg(value);
                return false;
            }
        } else if (name == "frames") {
            if (!parseInt(value, 1, 100000, frames)) {
                error = QStringLiteral("bad --frames \"%1\" (expected 1 to 100000)").arg(value);
                return false;
            }
        } else if (name == "rotate") {
            if (!parseInt(value, 0, 270, rotate) || rotate % 90 != 0) {
                error = QStringLiteral("bad --rotate \"%1\" (expected 0, 90, 180 or 270)").arg(value);
                return false;
            }
        } else if (name == "roi") {
            const QStringList parts = value.split(',');
            int v[4] = {0, 0, 0, 0};
            bool ok = parts.size() == 4;
            for (int k = 0; ok && k < 4; ++k)
                ok = parseInt(parts.at(k).trimmed(), k < 2 ? 0 : 2, 16384, v[k]) && v[k] % 2 == 0;
            if (!ok) {
                // Pictures are YUV 4:2:0: a crop on odd pixels would split the chroma samples.
                error =
                    QStringLiteral("bad --roi \"%1\" (expected X,Y,W,H in even pixels, W and H above 0)").arg(value);
                return false;
            }
            roi = QRect(v[0], v[1], v[2], v[3]);
        } else if (name == "set") {
            if (!parseSetting(value, error))
                return false;
        } else if (name == "count") {
            if (!parseInt(value, 1, 100000, count)) {
                error = QStringLiteral("bad --count \"%1\" (expected 1 to 100000)").arg(value);
                return false;
            }
        } else if (name == "interval") {
            if (!parseInt(value, 1, 86400, interval)) {
                error = QStringLiteral("bad --interval \"%1\" (expected 1 to 86400 seconds)").arg(value);
                return false;
            }
        } else if (name == "seconds") {
            if (!parseInt(value, 1, 86400, seconds)) {
                error = QStringLiteral("bad --seconds \"%1\" (expected 1 to 86400)").arg(value);
                return false;
            }
        } else if (name == "out") {
            out = value; // checked once the command is known: snap also takes a folder
        } else if (name == "screenshot") {
            if (!hasImageSuffix(value)) {
                error = badPictureName(name, value);
                return false;
            }
            screenshot = value;
        } else if (name == "watermark") {
            watermark = value;
        } else if (name == "negative") {
            negative = true;
        } else if (name == "levels") {
            const QStringList parts = value.split(',');
            int lower = 0;
            int upper = 0;
            if (parts.size() != 2 || !parseInt(parts.at(0).trimmed(), 0, 255, lower) ||
                !parseInt(parts.at(1).trimmed(), 0, 255, upper) || lower > upper) {
                error = QStringLiteral("bad --levels \"%1\" (expected LOWER,UPPER from 0 to 255, LOWER <= UPPER)")
                            .arg(value);
                return false;
            }
            levels = QPoint(lower, upper);
        } else if (name == "black-balance") {
            if (!parseInt(value, 0, 255, blackBalance)) {
                error = QStringLiteral("bad --black-balance \"%1\" (expected 0 to 255)").arg(value);
                return false;
            }
        } else if (name == "zoom") {
            if (!parseInt(value, 1, 400, zoom)) {
                error = QStringLiteral("bad --zoom \"%1\" (expected a percentage from 1 to 400)").arg(value);
                return false;
            }
        } else if (name == "overwrite") {
            overwrite = true;
        } else if (name == "calibration") {
            calibration = value;
        } else if (name == "ffc") {
            if (!parseInt(value, 1, 100, ffcFrames)) {
                error = QStringLiteral("bad --ffc \"%1\" (expected 1 to 100 frames)").arg(value);
                return false;
            }
        }
    }

    if (commandWords.isEmpty()) {
        error =
            QStringLiteral("no command given (list, models, info, get, set, grab, snap, record, view, scheme or scan)");
        return false;
    }
    QString word = commandWords.first();
    if (word == "scheme") {
        const QString action = commandWords.value(1);
        if (action != "export" && action != "import") {
            error = QStringLiteral("scheme needs export or import");
            return false;
        }
        word += ' ' + action;
        if (commandWords.size() != 3) {
            error = commandWords.size() < 3 ? QStringLiteral("%1 needs FILE").arg(word)
                                            : QStringLiteral("unexpected argument \"%1\"").arg(commandWords.at(3));
            return false;
        }
        schemeFile = commandWords.at(2);
    } else if (commandWords.size() > 1 && word != "set" && word != "scan") {
        error = QStringLiteral("unexpected argument \"%1\"").arg(commandWords.at(1));
        return false;
    }
    if (word == "list") {
        command = List;
    } else if (word == "models") {
        command = Models;
    } else if (word == "info") {
        command = Info;
    } else if (word == "grab") {
        command = Grab;
    } else if (word == "snap") {
        command = Snap;
    } else if (word == "record") {
        command = Record;
    } else if (word == "view") {
        command = View;
    } else if (word == "set") {
        command = Set;
        for (const QString &setting : commandWords.mid(1)) {
            if (!parseSetting(setting, error))
                return false;
        }
        if (settings.isEmpty()) {
            error = QStringLiteral("set needs at least one PARAM=VALUE");
            return false;
        }
    } else if (word == "get") {
        command = Get;
    } else if (word == "scan") {
        command = Scan;
        pictures = commandWords.mid(1);
        if (pictures.isEmpty()) {
            error = QStringLiteral("scan needs at least one FILE");
            return false;
        }
    } else if (word == "scheme export") {
        command = SchemeExport;
    } else if (word == "scheme import") {
        command = SchemeImport;
    } else {
        error = QStringLiteral(
                    "unknown command \"%1\" (list, models, info, get, set, grab, snap, record, view, scheme or scan)")
                    .arg(word);
        return false;
    }
    for (const QString &name : qAsConst(seen)) {
        const OptionSpec *spec = findOption(name);
        if ((command == List || command == Models || command == Scan) ||
            ((command == Info || command == Get || command == Set || command == SchemeExport) && !spec->info) ||
            (command == Grab && !spec->grab) || (command == Snap && !spec->snap) || (command == View && !spec->view) ||
            (command == Record && !spec->record) || (command == SchemeImport && !spec->import)) {
            error = QStringLiteral("option --%1 does not apply to %2").arg(name, word);
            return false;
        }
    }
    if (command != List && command != Models && command != Scan && camera.isEmpty()) {
        error = QStringLiteral("%1 needs --camera NAME (see lumora-cli list)").arg(word);
        return false;
    }
    if (command == Grab && out.isEmpty()) {
        error = QStringLiteral("grab needs --out FILE");
        return false;
    }
    if (command == Grab && !hasImageSuffix(out)) {
        error = badPictureName(QStringLiteral("out"), out);
        return false;
    }
    if (command == Record) {
        if (seconds == 0 || out.isEmpty()) {
            error = QStringLiteral("record needs --seconds S and --out FILE.mp4");
            return false;
        }
        if (!out.endsWith(QLatin1String(".mp4"), Qt::CaseInsensitive)) {
            error = QStringLiteral("bad --out \"%1\" (record writes a video: the name must end in .mp4)").arg(out);
            return false;
        }
    }
    if (command == Snap) {
        if (seen.contains(QStringLiteral("count")) != seen.contains(QStringLiteral("interval"))) {
            error = QStringLiteral("--count and --interval go together");
            return false;
        }
        if (count > 1 && isPictureFile(out)) {
            error = QStringLiteral("--out FILE takes a single picture; give a folder for --count %1").arg(count);
            return false;
        }
    }
    if (command == View && !seen.contains(QStringLiteral("frames"))) {
        if (!screenshot.isEmpty()) {
            error = QStringLiteral("--screenshot needs --frames N (the picture is taken after N frames)");
            return false;
        }
        frames = 0; // until the window is closed
    }
    return true;
}

bool CliArguments::isPictureFile(const QString &path)
{
    return hasImageSuffix(path) && !QFileInfo(path).isDir();
}

QString CliArguments::helpText()
{
    return QStringLiteral("Usage:\n"
                          "  lumora-cli list\n"
                          "  lumora-cli models\n"
                          "  lumora-cli info --camera NAME\n"
                          "  lumora-cli get --camera NAME\n"
                          "  lumora-cli set --camera NAME PARAM=VALUE ...\n"
                          "  lumora-cli scheme export --camera NAME FILE\n"
                          "  lumora-cli scheme import --camera NAME [--overwrite] FILE\n"
                          "  lumora-cli grab --camera NAME [--resolution WxH] [--frames N] [--rotate DEG]\n"
                          "                  [--roi X,Y,W,H] [--set PARAM=VALUE ...] --out FILE\n"
                          "  lumora-cli snap --camera NAME [--resolution WxH] [--rotate DEG] [--roi X,Y,W,H]\n"
                          "                  [--set PARAM=VALUE ...] [--count N --interval S] [--calibration NAME]\n"
                          "                  [--out DIR|FILE]\n"
                          "  lumora-cli record --camera NAME [--resolution WxH] --seconds S --out FILE.mp4\n"
                          "  lumora-cli view --camera NAME [--resolution WxH] [--watermark TEXT] [--negative]\n"
                          "                  [--levels L,U] [--black-balance V] [--ffc N] [--zoom PERCENT]\n"
                          "                  [--frames N [--screenshot FILE]]\n"
                          "  lumora-cli scan FILE...\n"
                          "  lumora-cli measure --tool NAME --points X,Y;X,Y;... [--unit UNIT --um-per-px F]\n"
                          "                     [--calibration NAME] [--precision N]\n"
                          "  lumora-cli calibration list | export FILE [NAME...] | import [--overwrite] FILE\n"
                          "\n"
                          "Command-line companion of Lumora: lists the attached cameras, prints what a camera\n"
                          "offers, grabs pictures from it, shows its live picture and exchanges its model's\n"
                          "configuration schemes, for diagnosis and scripting.\n"
                          "\n"
                          "Commands:\n"
                          "  list   one line per camera, tab-separated: unique name, display name, model\n"
                          "         (USB product id, hexadecimal), USB speed (0 USB 1.0, 2 USB 1.1, 1 USB 2.0,\n"
                          "         3 faster), sorted by unique name; a network camera shows its address as\n"
                          "         both names, the model it reports and speed 0\n"
                          "  models the camera models the program knows, as JSON (class, base class, model\n"
                          "         key, USB product id, firmware key, default resolution and fps)\n"
                          "  info   the camera's information (values, ranges, formats, resolutions) and its\n"
                          "         model class, as JSON\n"
                          "  get    every camera parameter below as JSON: its value, its range (min, max,\n"
                          "         default) where it has one, and whether the camera supports it where its\n"
                          "         information says\n"
                          "  set    checks every PARAM=VALUE, then applies them in the order given and\n"
                          "         remembers them for the camera; nothing is changed when one is refused\n"
                          "  scheme export\n"
                          "         writes the configuration schemes stored for the camera's model to FILE\n"
                          "         (JSON, the layout of ConfigurationScheme.json)\n"
                          "  scheme import\n"
                          "         stores the configuration schemes FILE holds for the camera's model; values\n"
                          "         that are not numbers are left out; nothing is stored when the file holds no\n"
                          "         scheme for the model, or holds one already stored and --overwrite is not given\n"
                          "  grab   streams until N frames arrived, printing the rate, resolution and format\n"
                          "         lines, and writes the last frame to FILE\n"
                          "  snap   takes N pictures (default 1), the first at once and then one every S\n"
                          "         seconds, into DIR under the program's naming rule and picture format (snap\n"
                          "         settings; default DIR: the program's save folder), or one picture into FILE\n"
                          "         in the format its suffix names; prints a \"saved:\" line per picture\n"
                          "  record records S seconds of the live picture as H.264 into FILE (MP4, written in\n"
                          "         fragments: a recording cut short stays playable up to its last second or\n"
                          "         two), creating its folder; prints a progress line about once a second and\n"
                          "         the totals: frames written, frames dropped because the encoder fell behind,\n"
                          "         and frames missing from the camera's own sequence (by its timestamps)\n"
                          "  view   opens a window with the live display (OpenGL, corrections on the graphics\n"
                          "         card) until it is closed, or until N frames were shown\n"
                          "  scan   reads a bar code, QR code or Data Matrix from each picture file and prints\n"
                          "         one line per file: the decoded text, or an empty line when none was\n"
                          "         found; a file that is not a readable picture gets an empty line and a\n"
                          "         message on standard error, and the others are still read\n"
                          "  calibration list\n"
                          "         the stored calibrations as JSON (\"calibrate\" and the objective turret's\n"
                          "         \"nosepieceCalibrate\"): name, magnification, entered length and unit,\n"
                          "         micrometres per pixel, drawn pixels, resolution and scale bar length\n"
                          "  calibration export, import\n"
                          "         writes the named calibrations (default: all but the turret's) to FILE (.cal\n"
                          "         added when missing), or stores those FILE holds; the whole file is checked\n"
                          "         first, and a damaged one stores nothing\n"
                          "  measure\n"
                          "         the results of a measuring tool for its points in image pixels (click\n"
                          "         order), as JSON: per result its name, value, unit and the text shown beside\n"
                          "         the shape; lengths and areas in UNIT (pix, pm, \u00c5, nm, um, mm, cm, m, mil,\n"
                          "         inch; default pix) at F micrometres per pixel, angles in degrees, with N\n"
                          "         decimals (default 2); --calibration takes the micrometres per pixel of a\n"
                          "         stored calibration and its unit unless --unit is given. Tools and the\n"
                          "         points each takes:\n") +
           measureToolsHelp() +
           QStringLiteral("\n"
                          "Options:\n"
                          "  --camera NAME       unique name (or display name) from `lumora-cli list`; network\n"
                          "                      cameras are opened with the program's own login\n"
                          "  --resolution WxH    stream size; must be offered by the camera (default 1920x1080\n"
                          "                      when offered, else the largest)\n"
                          "  --frames N          frames to receive, 1 to 100000 (default 1)\n"
                          "  --rotate DEG        0, 90, 180 or 270, clockwise\n"
                          "  --roi X,Y,W,H       region of interest in sensor pixels (even numbers), applied\n"
                          "                      before the rotation\n"
                          "  --set PARAM=VALUE   camera parameter, repeatable, applied in the order given\n"
                          "  --out FILE          picture file: .png, .jpg, .jpeg, .bmp, .tif or .tiff (snap: or\n"
                          "                      an existing folder; record: a .mp4 file)\n"
                          "  --seconds S         (record) seconds to record, 1 to 86400\n"
                          "  --count N           (snap) pictures to take, 1 to 100000, with --interval\n"
                          "  --interval S        (snap) seconds between pictures, 1 to 86400\n"
                          "  --calibration NAME  (snap) the pictures carry the pixel size of this stored\n"
                          "                      calibration at their resolution: a TIFF as its resolution\n"
                          "                      tags in pixels per micrometre and an ImageJ description\n"
                          "                      (unit=micron); PNG and JPEG as a \"Calibration\" text\n"
                          "                      (\"NAME; X um/pixel\")\n"
                          "  --watermark TEXT    (view) text drawn into the picture, top left (ASCII)\n"
                          "  --negative          (view) show the negative picture\n"
                          "  --levels L,U        (view) stretch every channel from L..U to 0..255\n"
                          "  --black-balance V   (view) subtract V (0 to 255) from every channel\n"
                          "  --ffc N             (view) capture a flat-field reference from the first N frames\n"
                          "                      and correct with it from then on\n"
                          "  --zoom PERCENT      (view) show the picture at 1 to 400 % instead of fitting it\n"
                          "                      to the window\n"
                          "  --screenshot FILE   (view) after N frames (--frames), save the window and quit\n"
                          "  --overwrite         (scheme import) replace stored schemes of the same names;\n"
                          "                      (calibration import) replace stored calibrations of the same\n"
                          "                      names, which are otherwise kept and the imported ones added\n"
                          "                      as NAME(N)\n"
                          "  -v, --verbose       show the camera's diagnostic lines on standard error\n"
                          "  -h, --help          this text\n"
                          "\n"
                          "Camera parameters for set and --set (name, values, camera slot):\n") +
           cameraParameterHelp() +
           QStringLiteral("A value outside the camera's range, a parameter the camera does not support and\n"
                          "a value the camera does not take (for example exposure_time without\n"
                          "exposure_mode=manual first) are bad arguments.\n"
                          "\n"
                          "Exit status:\n"
                          "  0  success\n"
                          "  2  bad argument (unknown command or option, bad value, resolution or region not\n"
                          "     offered, parameter refused)\n"
                          "  3  no camera of that name\n"
                          "  4  the camera refused to open or to stream\n"
                          "  5  the camera was lost while streaming (record: or sent no frame for 5 seconds;\n"
                          "     the video recorded until then is kept)\n"
                          "  6  the output file or folder (or, for scheme import, the settings) cannot be written\n"
                          "  7  no display or no OpenGL for view\n"
                          "  8  the camera's model is not supported\n"
                          "  9  the scheme file cannot be read or is not JSON (calibration import: the .cal\n"
                          "     file is refused; nothing stored changes)\n"
                          "  10 no configuration scheme for the camera's model (scheme export: none stored;\n"
                          "     scheme import: none in the file); measure, snap, calibration export: no\n"
                          "     stored calibration of that name\n"
                          "  11 scheme import: a scheme of that name is stored already (see --overwrite)\n"
                          "  12 scan: a file is not a readable picture (finding no code is not an error)\n"
                          "  13 record: the volume ran out of space; the video recorded until then is kept\n"
                          "\n"
                          "Environment: LMCAM_VIRTUAL_DEVICES names a devices file of virtual cameras;\n"
                          "LSDK_DISCOVERY_TARGETS lists where network cameras are looked for (host:port,...;\n"
                          "by default 127.0.0.1 to 127.0.0.8 at port 35200).\n");
}
