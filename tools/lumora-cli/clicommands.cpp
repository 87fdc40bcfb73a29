#include "clicommands.h"

#include "atomicfile.h"
#include "barcodescanner.h"
#include "basecamera.h"
#include "calibration.h"
#include "cameradatabase.h"
#include "camerainfojson.h"
#include "cameralist.h"
#include "cameraparameters.h"
#include "camerasession.h"
#include "clilog.h"
#include "configstore.h"
#include "configurationschemes.h"
#include "frameconversion.h"
#include "framegrabber.h"
#include "librarylogs.h"
#include "liveviewer.h"
#include "models/cameramodelfactory.h"
#include "models/cameramodeltable.h"
#include "photonaming.h"
#include "photosaver.h"
#include "printabletext.h"
#include "videorecording.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QOpenGLContext>
#include <QTextStream>

#include <memory>

namespace {

int fail(QTextStream &err, ExitCode code, const QString &message)
{
    err << "lumora-cli: " << message << '\n';
    err.flush();
    return code;
}

// The folder of a file to be written must exist.
bool folderExists(const QString &path)
{
    return QFileInfo(path).absoluteDir().exists();
}

// Finds the named camera; on failure writes the message and sets `code`.
bool findCamera(const CameraDiscovery &discovery, const QString &name, QTextStream &err, int &code, CameraEntry &entry)
{
    if (discovery.find(name, entry))
        return true;
    code = fail(err, ExitNoCamera, QStringLiteral("no camera named \"%1\" (see lumora-cli list)").arg(name));
    return false;
}

// Creates and opens the camera of an open record and reads its full information; null after
// writing the message and setting `code`.
std::shared_ptr<BaseCamera> openCamera(const CameraOpenInfo &record, CameraDatabase &database, QTextStream &err,
                                       int &code, CameraInfo &info)
{
    const QString name = record.cameraResolution.devicePath;
    std::shared_ptr<BaseCamera> camera = createCamera(record);
    if (!camera) {
        code = fail(err, ExitUnsupportedModel,
                    QStringLiteral("camera \"%1\" (model %2): Unsupported camera model, open failed!")
                        .arg(printableText(name), printableText(record.model)));
        return nullptr;
    }
    if (!camera->open(record)) {
        code = fail(err, ExitCameraRefused, QStringLiteral("camera \"%1\" refused to open").arg(printableText(name)));
        return nullptr;
    }
    // The full information, as the control panel receives it: the device's row in the parameter
    // database (seeded from its model's defaults on first sight) over what the device holds.
    const QMetaObject::Connection answer =
        QObject::connect(camera.get(), &BaseCamera::sendAllInfo, camera.get(), [&info](CameraInfo all) { info = all; });
    camera->useStoredParameters(true);
    camera->onGetAllInfo();
    QObject::disconnect(answer);
    // grab stores what --set changed there; the camera has logged a file it could not open.
    database.open();
    return camera;
}

// Finds and opens the named camera, as `openCamera`; `entry` is what the discovery knows of it.
std::shared_ptr<BaseCamera> openNamedCamera(const CameraDiscovery &discovery, const QString &name,
                                            CameraDatabase &database, QTextStream &err, int &code, CameraInfo &info,
                                            CameraEntry &entry)
{
    if (!findCamera(discovery, name, err, code, entry))
        return nullptr;
    return openCamera(CameraSession::openRecord(entry.type, entry.uniqueName, entry.model), database, err, code, info);
}

// The stream for --resolution: the first format (lowest code) offering that size. Without a
// size: 1920x1080 when offered, else the largest size of the first format. The choice becomes
// the size and format the camera's information reports.
bool chooseStream(CameraInfo &info, const QSize &wanted, QString &error)
{
    CameraResolution chosen;
    bool found = false;
    const QSize size = wanted.isValid() ? wanted : QSize(1920, 1080);
    QStringList offered;
    for (int format : info.formats) {
        for (const CameraResolution &r : info.resolutions.value(format)) {
            if (!found && QSize(r.width, r.height) == size) {
                chosen = r;
                chosen.format = format;
                found = true;
            }
            if (!offered.contains(r.resolution))
                offered << r.resolution;
        }
    }
    if (!found && !wanted.isValid() && !offered.isEmpty()) {
        // Lists are kept in ascending pixel count.
        chosen = info.resolutions.value(info.formats.first()).last();
        chosen.format = info.formats.first();
        found = true;
    }
    if (!found) {
        error = offered.isEmpty() ? QStringLiteral("the camera offers no stream")
                                  : QStringLiteral("resolution %1x%2 is not offered (offered: %3)")
                                        .arg(wanted.width())
                                        .arg(wanted.height())
                                        .arg(offered.join(", "));
        return false;
    }
    info.current = chosen;
    info.format = chosen.format;
    return true;
}

// Opens the named camera in the program's camera session to stream at --resolution, writing
// the rate, size and format reports to `out`. Null when the open failed; a refused stream size
// comes later, as the session's failed open. Either writes its message and sets `code`.
std::unique_ptr<CameraSession> openStreamingSession(const CameraDiscovery &discovery, CameraDatabase &database,
                                                    const CliArguments &args, QTextStream &out, QTextStream &err,
                                                    int &code)
{
    CameraEntry entry;
    if (!findCamera(discovery, args.camera, err, code, entry))
        return nullptr;
    const QString name = entry.uniqueName;
    auto session = std::make_unique<CameraSession>([&database, &err, &code](const CameraOpenInfo &record) {
        CameraInfo info;
        return openCamera(record, database, err, code, info);
    });
    session->setStreamChooser([name, &args, &err, &code](CameraInfo &info) {
        QString error;
        if (chooseStream(info, args.resolution, error))
            return true;
        code = fail(err, ExitBadArgument, QStringLiteral("camera \"%1\": %2").arg(name, error));
        return false;
    });
    const auto print = [&out](const char *label, const QString &value) {
        out << label << value << '\n';
        out.flush();
    };
    CameraSession *s = session.get();
    QObject::connect(s, &CameraSession::sendFps, s, [print](const QString &fps) { print("fps: ", fps); });
    QObject::connect(s, &CameraSession::resolutionChange, s,
                     [print](const QString &resolution) { print("resolution: ", resolution); });
    QObject::connect(s, &CameraSession::formatChanged, s,
                     [print](const QString &format) { print("format: ", format); });
    if (!session->open(entry.type, name, entry.model))
        return nullptr;
    return session;
}

// The model key the control panel keeps the named camera's schemes under, without opening the
// camera; empty after writing the message and setting `code`.
QString schemeCameraKey(const CameraDiscovery &discovery, const QString &name, QTextStream &err, int &code)
{
    CameraEntry entry;
    if (!findCamera(discovery, name, err, code, entry))
        return QString();
    const QString key = cameraModelKey(CameraSession::openRecord(entry.type, entry.uniqueName, entry.model));
    if (key.isEmpty())
        code = fail(err, ExitUnsupportedModel,
                    QStringLiteral("camera \"%1\" (model %2): Unsupported camera model")
                        .arg(printableText(name), printableText(entry.model)));
    return key;
}

// A value as `set` takes it: a flag as true or false, a choice as its word.
QJsonValue parameterValueJson(const CameraParameter &p, int value)
{
    if (p.kind == CameraParameter::Flag)
        return value != 0;
    if (p.kind == CameraParameter::Choice) {
        const QStringList words = QString::fromLatin1(p.choices).split('|');
        for (int i = 0; i < words.size(); ++i) {
            if ((p.choiceValues ? p.choiceValues[i] : i + 1) == value)
                return words.at(i);
        }
    }
    return value;
}

// Why the camera, as `info` describes it, cannot take the setting; empty when it can.
QString refusal(const CameraInfo &info, const ParameterSetting &setting)
{
    const CameraParameter *p = findCameraParameter(setting.name);
    if ((p->field.range && !(info.*(p->field.range)).supported) ||
        (p->field.supported && !(info.*(p->field.supported))))
        return QStringLiteral("the camera does not support %1").arg(setting.name);
    if (p->field.range) {
        const CameraRange &range = info.*(p->field.range);
        if (setting.value < range.min || setting.value > range.max)
            return QStringLiteral("outside the camera's range %1..%2").arg(range.min).arg(range.max);
    }
    return QString();
}

// The settings through the camera's slots, in order, each checked against the values the ones
// before it left. Empty when all took.
QString applySettings(BaseCamera &camera, const QVector<ParameterSetting> &settings)
{
    for (const ParameterSetting &setting : settings) {
        const CameraParameter *p = findCameraParameter(setting.name);
        const QString what = QStringLiteral("%1=%2").arg(setting.name).arg(setting.value);
        const QString refused = refusal(camera.cameraInfo(), setting);
        if (!refused.isEmpty())
            return QStringLiteral("%1: %2").arg(what, refused);
        const int unsupportedBefore = unsupportedMessageCount();
        p->apply(camera, setting.value);
        if (unsupportedMessageCount() != unsupportedBefore)
            return QStringLiteral("%1: the camera does not support %2").arg(what, setting.name);
        if (p->field.get) {
            const int now = p->field.get(camera.cameraInfo());
            if (now != setting.value)
                return QStringLiteral("%1: not taken by the camera (it reports %2)").arg(what).arg(now);
        }
    }
    return QString();
}

// Values the camera took are remembered for it, as the control panel does.
void saveSettings(CameraDatabase &database, const QString &camera, const QVector<ParameterSetting> &settings)
{
    for (const ParameterSetting &setting : settings) {
        if (const char *column = findCameraParameter(setting.name)->column)
            database.saveValue(camera, QString::fromLatin1(column), setting.value);
    }
}

// Region of interest, rotation and --set, through the camera's slots. Empty when all took.
QString configureCamera(BaseCamera &camera, const CliArguments &args)
{
    if (!args.roi.isNull()) {
        CameraControlRegion region;
        region.enable = true;
        region.x = args.roi.x();
        region.y = args.roi.y();
        region.width = args.roi.width();
        region.height = args.roi.height();
        bool accepted = false;
        QString message;
        const QMetaObject::Connection c = QObject::connect(
            &camera, &BaseCamera::sendRoiSettingResult, &camera,
            [&](bool success, QString text, CameraControlRegion, CameraControlRegion) {
                accepted = success;
                message = text;
            },
            Qt::DirectConnection);
        camera.onSetRoiRegion(region, region);
        QObject::disconnect(c);
        if (!accepted)
            return QStringLiteral("--roi refused: %1").arg(message.replace('\n', QLatin1String("; ")));
    }
    camera.onSetVideoRotate(args.rotate);
    return applySettings(camera, args.settings);
}

} // namespace

namespace CliCommands {

int models(QTextStream &out)
{
    out << QJsonDocument(cameraModelList()).toJson(QJsonDocument::Indented);
    out.flush();
    return ExitOk;
}

int list(const CameraDiscovery &discovery, QTextStream &out)
{
    const QMap<QString, CameraEntry> cameras = discovery.list();
    for (const CameraEntry &c : cameras)
        out << printableText(c.uniqueName) << '\t' << printableText(c.displayName) << '\t' << printableText(c.model)
            << '\t' << c.usbSpeed << '\n';
    out.flush();
    return ExitOk;
}

int info(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err)
{
    int code = ExitOk;
    CameraDatabase database;
    CameraInfo info;
    CameraEntry entry;
    const std::shared_ptr<BaseCamera> camera =
        openNamedCamera(discovery, args.camera, database, err, code, info, entry);
    if (!camera)
        return code;
    QJsonObject json = cameraInfoToJson(info);
    json.insert(QStringLiteral("modelClass"), QString::fromLatin1(camera->metaObject()->className()));
    out << QJsonDocument(json).toJson(QJsonDocument::Indented);
    out.flush();
    return ExitOk;
}

int get(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err)
{
    int code = ExitOk;
    CameraDatabase database;
    CameraInfo info;
    CameraEntry entry;
    if (!openNamedCamera(discovery, args.camera, database, err, code, info, entry))
        return code;
    QJsonObject json;
    for (const CameraParameter &p : cameraParameters()) {
        QJsonObject item;
        if (p.field.get)
            item.insert(QStringLiteral("value"), parameterValueJson(p, p.field.get(info)));
        if (p.field.range) {
            const CameraRange &range = info.*(p.field.range);
            item.insert(QStringLiteral("min"), range.min);
            item.insert(QStringLiteral("max"), range.max);
            item.insert(QStringLiteral("default"), range.def);
            item.insert(QStringLiteral("supported"), range.supported);
        } else if (p.field.supported) {
            item.insert(QStringLiteral("supported"), info.*(p.field.supported));
        }
        json.insert(QString::fromLatin1(p.name), item);
    }
    out << QJsonDocument(json).toJson(QJsonDocument::Indented);
    out.flush();
    return ExitOk;
}

int set(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &err)
{
    int code = ExitOk;
    CameraDatabase database;
    CameraInfo info;
    CameraEntry entry;
    const std::shared_ptr<BaseCamera> camera =
        openNamedCamera(discovery, args.camera, database, err, code, info, entry);
    if (!camera)
        return code;
    // All are checked before the first is applied, so that a refused one changes nothing.
    for (const ParameterSetting &setting : args.settings) {
        const QString refused = refusal(info, setting);
        if (!refused.isEmpty())
            return fail(err, ExitBadArgument,
                        QStringLiteral("camera \"%1\": %2=%3: %4")
                            .arg(args.camera, setting.name)
                            .arg(setting.value)
                            .arg(refused));
    }
    const QString error = applySettings(*camera, args.settings);
    if (!error.isEmpty())
        return fail(err, ExitBadArgument, QStringLiteral("camera \"%1\": %2").arg(args.camera, error));
    saveSettings(database, entry.uniqueName, args.settings);
    return ExitOk;
}

int schemeExport(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err)
{
    const QString &file = args.schemeFile;
    if (!folderExists(file))
        return fail(err, ExitWriteFailed, QStringLiteral("cannot write %1: the folder does not exist").arg(file));
    int code = ExitOk;
    const QString key = schemeCameraKey(discovery, args.camera, err, code);
    if (key.isEmpty())
        return code;
    const ConfigurationSchemes schemes(key);
    switch (schemes.exportTo(file)) {
    case ConfigurationSchemes::Outcome::Done:
        break;
    case ConfigurationSchemes::Outcome::CameraMismatch:
        return fail(err, ExitNoConfiguration,
                    QStringLiteral("camera \"%1\": no configuration scheme is stored for model %2")
                        .arg(printableText(args.camera), key));
    default:
        return fail(err, ExitWriteFailed, QStringLiteral("cannot write %1").arg(file));
    }
    out << "exported: " << file << " (" << schemes.names().join(", ") << ")\n";
    out.flush();
    return ExitOk;
}

int schemeImport(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err)
{
    int code = ExitOk;
    const QString key = schemeCameraKey(discovery, args.camera, err, code);
    if (key.isEmpty())
        return code;
    ConfigurationSchemes schemes(key);
    QMap<QString, QVariantMap> found;
    switch (schemes.readFile(args.schemeFile, found)) {
    case ConfigurationSchemes::Outcome::Done:
        break;
    case ConfigurationSchemes::Outcome::CameraMismatch:
        return fail(err, ExitNoConfiguration,
                    QStringLiteral("camera \"%1\": The imported configuration does not contain settings for the "
                                   "current camera: '%2'. Importing is not allowed.")
                        .arg(printableText(args.camera), key));
    default:
        return fail(err, ExitUnreadableFile,
                    QStringLiteral("cannot read %1 as configuration schemes").arg(args.schemeFile));
    }
    QStringList existing;
    const QStringList stored = schemes.names();
    for (auto it = found.cbegin(); it != found.cend(); ++it) {
        if (stored.contains(it.key()))
            existing << it.key();
    }
    if (!existing.isEmpty() && !args.overwrite)
        return fail(err, ExitConfigurationExists,
                    QStringLiteral("model %1 has configuration schemes of these names already: %2; nothing imported "
                                   "(--overwrite replaces them)")
                        .arg(key, existing.join(", ")));
    QStringList imported;
    const auto replace = [](const QString &) { return true; };
    if (schemes.importSchemes(found, replace, &imported) != ConfigurationSchemes::Outcome::Done)
        return fail(err, ExitWriteFailed,
                    QStringLiteral("cannot write %1 (imported before the failure: %2)")
                        .arg(ConfigStore::instance().configurationSchemePath(), imported.join(", ")));
    out << "imported: " << imported.join(", ") << " (model " << key << ")\n";
    out.flush();
    return ExitOk;
}

namespace {

// Tells on `err` why frames could not be taken from `camera`; returns the exit status.
int grabFailure(QTextStream &err, const QString &camera, const GrabResult &result)
{
    if (result.code == ExitBadArgument)
        return fail(err, result.code, QStringLiteral("camera \"%1\": %2").arg(camera, result.error));
    if (result.code == ExitWriteFailed) // the message names the file
        return fail(err, result.code, result.error);
    return fail(err, result.code, QStringLiteral("camera \"%1\" %2").arg(camera, result.error));
}

} // namespace

int grab(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err)
{
    if (!folderExists(args.out))
        return fail(err, ExitWriteFailed, QStringLiteral("cannot write %1: the folder does not exist").arg(args.out));

    CameraDatabase database;
    int code = ExitOk;
    const std::unique_ptr<CameraSession> session = openStreamingSession(discovery, database, args, out, err, code);
    if (!session)
        return code;
    const QString name = session->cameraName();
    const GrabResult result =
        grabFrames(*session, args.frames, [&args](BaseCamera &c) { return configureCamera(c, args); });
    if (code != ExitOk) // the stream size was refused
        return code;
    if (result.code != ExitOk)
        return grabFailure(err, name, result);
    saveSettings(database, name, args.settings);

    QString error;
    if (!PhotoSaver::save(videoFrameToQImage(result.lastFrame), args.out, QString(), &error))
        return fail(err, ExitWriteFailed, QStringLiteral("cannot write %1: %2").arg(args.out, error));
    out << "saved: " << args.out << " (" << result.lastFrame.width() << 'x' << result.lastFrame.height() << ")\n";
    out.flush();
    return ExitOk;
}

int snap(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err)
{
    CalibrateData calibration; // none: pictures carry no pixel size
    if (!args.calibration.isEmpty()) {
        if (const int code = findCalibration(args.calibration, err, calibration); code != ExitOk)
            return code;
        if (!(calibration.micrometresPerPixel(0) > 0))
            return fail(err, ExitNoConfiguration,
                        QStringLiteral("calibration \"%1\" gives no physical size (unit \"%2\")")
                            .arg(args.calibration, calibration.unit));
    }
    // A picture file names its own format; into a folder the program's naming rule and format.
    const bool intoFile = CliArguments::isPictureFile(args.out);
    QString folder;
    if (intoFile) {
        if (!folderExists(args.out))
            return fail(err, ExitWriteFailed,
                        QStringLiteral("cannot write %1: the folder does not exist").arg(args.out));
    } else if (args.out.isEmpty()) {
        folder = PhotoSaver::folderOrDefault(
            ConfigStore::instance().value(ConfigGroup::Base, BaseKey::SaveImgPath).toString());
    } else if (QFileInfo(args.out).isDir()) {
        folder = args.out;
    } else {
        return fail(err, ExitWriteFailed, QStringLiteral("cannot write into %1: no such folder").arg(args.out));
    }
    const PhotoNaming naming = PhotoNaming::fromSettings();

    CameraDatabase database;
    int code = ExitOk;
    const std::unique_ptr<CameraSession> session = openStreamingSession(discovery, database, args, out, err, code);
    if (!session)
        return code;
    const QString name = session->cameraName();
    const auto take = [&](const VideoFrame &frame) {
        const QString path = intoFile ? args.out : naming.nextPath(folder, naming.format);
        QString error;
        // A turn leaves the pixels as they were: the calibration scales by the unturned width.
        const int width = args.rotate % 180 == 0 ? frame.width() : frame.height();
        const PhotoSaver::PixelSize pixelSize{calibration.micrometresPerPixel(width), calibration.name};
        if (!PhotoSaver::save(videoFrameToQImage(frame), path, QString(), &error, pixelSize))
            return QStringLiteral("cannot write %1: %2").arg(path, error);
        out << "saved: " << path << " (" << frame.width() << 'x' << frame.height() << ")\n";
        out.flush();
        return QString();
    };
    const GrabResult result = grabFrames(
        *session, 1, [&args](BaseCamera &c) { return configureCamera(c, args); }, args.count, args.interval * 1000,
        take);
    if (code != ExitOk) // the stream size was refused
        return code;
    if (result.code != ExitOk)
        return grabFailure(err, name, result);
    saveSettings(database, name, args.settings);
    return ExitOk;
}

int record(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err)
{
    if (!QDir().mkpath(QFileInfo(args.out).absolutePath()))
        return fail(err, ExitWriteFailed,
                    QStringLiteral("cannot write %1: the folder cannot be created").arg(args.out));
    // The encoder's own lines only with --verbose.
    LibraryLogs::installCodecLogHook();
    CameraDatabase database;
    int code = ExitOk;
    const std::unique_ptr<CameraSession> session = openStreamingSession(discovery, database, args, out, err, code);
    if (!session)
        return code;
    const QString name = session->cameraName();
    const RecordResult result = recordVideo(*session, args.out, args.seconds, out);
    if (code != ExitOk) // the stream size was refused
        return code;
    out << "recorded: " << args.out << " (" << QString::number(result.seconds, 'f', 1) << " s, " << result.written
        << " frames written, " << result.dropped << " dropped, " << result.missed << " missed by the camera)\n";
    out.flush();
    if (result.code == ExitCameraLost || result.code == ExitCameraRefused)
        return fail(err, result.code, QStringLiteral("camera \"%1\" %2").arg(name, result.error));
    if (result.code != ExitOk)
        return fail(err, result.code, QStringLiteral("%1: %2").arg(args.out, result.error));
    return ExitOk;
}

int view(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err)
{
    if (!args.screenshot.isEmpty() && !folderExists(args.screenshot))
        return fail(err, ExitWriteFailed,
                    QStringLiteral("cannot write %1: the folder does not exist").arg(args.screenshot));
    QOpenGLContext probe;
    if (!probe.create())
        return fail(err, ExitNoDisplay, QStringLiteral("no OpenGL available for the live display"));

    CameraDatabase database;
    int code = ExitOk;
    const std::unique_ptr<CameraSession> session = openStreamingSession(discovery, database, args, out, err, code);
    if (!session)
        return code;
    const QString name = session->cameraName();
    const ViewResult result = runLiveView(*session, args, out);
    if (code != ExitOk) // the stream size was refused
        return code;
    if (result.code != ExitOk)
        return fail(err, result.code, QStringLiteral("camera \"%1\" %2").arg(name, result.error));
    out << "shown: " << result.shown << " frames\n";
    if (!args.screenshot.isEmpty()) {
        QString error;
        if (!PhotoSaver::save(result.screenshot, args.screenshot, QString(), &error))
            return fail(err, ExitWriteFailed, QStringLiteral("cannot write %1: %2").arg(args.screenshot, error));
        out << "saved: " << args.screenshot << " (" << result.screenshot.width() << 'x' << result.screenshot.height()
            << ")\n";
    }
    out.flush();
    return ExitOk;
}

int scan(const CliArguments &args, QTextStream &out, QTextStream &err)
{
    int code = ExitOk;
    BarcodeScanner scanner;
    for (const QString &file : args.pictures) {
        QImageReader reader(file);
        const QImage picture = reader.read();
        if (picture.isNull()) {
            code = fail(err, ExitUnreadablePicture,
                        QStringLiteral("cannot read %1 as a picture: %2").arg(file, reader.errorString()));
            out << '\n';
            continue;
        }
        QString text;
        scanner.deocdeImage(text, picture);
        // One line per file, whatever the code holds.
        out << printableText(text) << '\n';
        out.flush();
    }
    return code;
}

} // namespace CliCommands
