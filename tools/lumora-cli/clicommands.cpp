#include "clicommands.h"

#include "atomicfile.h"
#include "basecamera.h"
#include "cameradatabase.h"
#include "camerainfojson.h"
#include "cameralist.h"
#include "cameraparameters.h"
#include "clilog.h"
#include "constants.h"
#include "frameconversion.h"
#include "framegrabber.h"
#include "liveviewer.h"
#include "models/cameramodelfactory.h"
#include "models/cameramodeltable.h"
#include "printabletext.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QJsonDocument>
#include <QJsonObject>
#include <QOpenGLContext>
#include <QTextStream>

#include <opencv2/imgcodecs.hpp>

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

struct OpenedCamera
{
    std::shared_ptr<BaseCamera> camera;
    CameraOpenInfo openInfo;
    CameraInfo info;
};

// Finds and opens the named camera; on failure writes the message and sets `code`.
bool openCamera(const CameraDiscovery &discovery, CameraDatabase &database, const QString &name, QTextStream &err,
                int &code, OpenedCamera &opened)
{
    CameraEntry entry;
    if (!discovery.find(name, entry)) {
        code = fail(err, ExitNoCamera, QStringLiteral("no camera named \"%1\" (see lumora-cli list)").arg(name));
        return false;
    }
    CameraOpenInfo &openInfo = opened.openInfo;
    if (entry.type == NetworkCamera) {
        // The program's own login.
        openInfo.isNetCamera = true;
        openInfo.address = entry.uniqueName;
        openInfo.model = entry.model;
        openInfo.userName = QString::fromLatin1(Constants::kNetCameraUser);
        openInfo.password = QString::fromLatin1(Constants::kLoginPassword);
        openInfo.port = QString::fromLatin1(Constants::kNetCameraPort);
    }
    openInfo.cameraResolution.devicePath = entry.uniqueName;
    opened.camera = createCamera(openInfo);
    if (!opened.camera) {
        code = fail(err, ExitUnsupportedModel,
                    QStringLiteral("camera \"%1\" (model %2): Unsupported camera model, open failed!")
                        .arg(printableText(entry.uniqueName), printableText(entry.model)));
        return false;
    }
    if (!opened.camera->open(openInfo)) {
        code = fail(err, ExitCameraRefused,
                    QStringLiteral("camera \"%1\" refused to open").arg(printableText(entry.uniqueName)));
        return false;
    }
    // The full information, as the control panel receives it: the device's row in the parameter
    // database (seeded from its model's defaults on first sight) over what the device holds.
    CameraInfo &info = opened.info;
    QObject::connect(opened.camera.get(), &BaseCamera::sendAllInfo, opened.camera.get(),
                     [&info](CameraInfo all) { info = all; });
    opened.camera->useStoredParameters(true);
    opened.camera->onGetAllInfo();
    // grab stores what --set changed there; the camera has logged a file it could not open.
    database.open();
    code = ExitOk;
    return true;
}

// The stream for --resolution: the first format (lowest code) offering that size. Without a
// size: 1920x1080 when offered, else the largest size of the first format. The choice goes
// into the USB stream record and the network stream settings alike.
bool chooseResolution(const CameraInfo &info, const QSize &wanted, CameraOpenInfo &openInfo, QString &error)
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
    const QString devicePath = openInfo.cameraResolution.devicePath;
    openInfo.cameraResolution = chosen;
    openInfo.cameraResolution.devicePath = devicePath;
    openInfo.width = chosen.width;
    openInfo.height = chosen.height;
    openInfo.resolution = chosen.resolution;
    openInfo.streamFormat = chosen.format;
    return true;
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

    for (const ParameterSetting &setting : args.settings) {
        const CameraParameter *p = findCameraParameter(setting.name);
        const QString what = QStringLiteral("--set %1=%2").arg(setting.name).arg(setting.value);
        const CameraInfo before = camera.cameraInfo();
        if (p->field.range) {
            const CameraRange &range = before.*(p->field.range);
            if (!range.supported)
                return QStringLiteral("%1: the camera does not support %2").arg(what, setting.name);
            if (setting.value < range.min || setting.value > range.max)
                return QStringLiteral("%1: outside the camera's range %2..%3").arg(what).arg(range.min).arg(range.max);
        }
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

// Writes the picture through a temporary file; TIFF goes through OpenCV where Qt has no
// TIFF writer.
bool writeImage(const QImage &image, const QString &path, QString &error)
{
    QByteArray format = QFileInfo(path).suffix().toLower().toLatin1();
    if (format == "tif")
        format = "tiff";
    if (QImageWriter::supportedImageFormats().contains(format))
        return AtomicFile::writeImage(path, image, &error);
    std::vector<uchar> encoded;
    try {
        if (!cv::imencode("." + format.toStdString(), qImageToMat(image), encoded)) {
            error = QStringLiteral("no encoder for %1").arg(QString::fromLatin1(format));
            return false;
        }
    } catch (const cv::Exception &e) {
        error = QString::fromLocal8Bit(e.what());
        return false;
    }
    return AtomicFile::write(
        path, QByteArray::fromRawData(reinterpret_cast<const char *>(encoded.data()), int(encoded.size())), &error);
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
    CameraDatabase database;
    int code = ExitOk;
    OpenedCamera opened;
    if (!openCamera(discovery, database, args.camera, err, code, opened))
        return code;
    QJsonObject json = cameraInfoToJson(opened.info);
    json.insert(QStringLiteral("modelClass"), QString::fromLatin1(opened.camera->metaObject()->className()));
    out << QJsonDocument(json).toJson(QJsonDocument::Indented);
    out.flush();
    return ExitOk;
}

int grab(const CameraDiscovery &discovery, const CliArguments &args, QTextStream &out, QTextStream &err)
{
    if (!folderExists(args.out))
        return fail(err, ExitWriteFailed, QStringLiteral("cannot write %1: the folder does not exist").arg(args.out));

    CameraDatabase database;
    int code = ExitOk;
    OpenedCamera opened;
    if (!openCamera(discovery, database, args.camera, err, code, opened))
        return code;
    const QString name = opened.openInfo.cameraResolution.devicePath;

    GrabRequest request;
    request.frames = args.frames;
    request.openInfo = opened.openInfo;
    QString error;
    if (!chooseResolution(opened.info, args.resolution, request.openInfo, error))
        return fail(err, ExitBadArgument, QStringLiteral("camera \"%1\": %2").arg(name, error));

    const GrabResult result =
        grabFrames(opened.camera, request, out, [&args](BaseCamera &c) { return configureCamera(c, args); });
    if (result.code == ExitBadArgument)
        return fail(err, result.code, QStringLiteral("camera \"%1\": %2").arg(name, result.error));
    if (result.code != ExitOk)
        return fail(err, result.code, QStringLiteral("camera \"%1\" %2").arg(name, result.error));
    // Values the camera took are remembered for it, as the control panel does.
    for (const ParameterSetting &setting : args.settings) {
        if (const char *column = findCameraParameter(setting.name)->column)
            database.saveValue(name, QString::fromLatin1(column), setting.value);
    }

    if (!writeImage(videoFrameToQImage(result.lastFrame), args.out, error))
        return fail(err, ExitWriteFailed, QStringLiteral("cannot write %1: %2").arg(args.out, error));
    out << "saved: " << args.out << " (" << result.lastFrame.width() << 'x' << result.lastFrame.height() << ")\n";
    out.flush();
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
    OpenedCamera opened;
    if (!openCamera(discovery, database, args.camera, err, code, opened))
        return code;
    const QString name = opened.openInfo.cameraResolution.devicePath;
    CameraOpenInfo openInfo = opened.openInfo;
    QString error;
    if (!chooseResolution(opened.info, args.resolution, openInfo, error))
        return fail(err, ExitBadArgument, QStringLiteral("camera \"%1\": %2").arg(name, error));

    const ViewResult result = runLiveView(opened.camera, openInfo, args, out);
    if (result.code != ExitOk)
        return fail(err, result.code, QStringLiteral("camera \"%1\" %2").arg(name, result.error));
    out << "shown: " << result.shown << " frames\n";
    if (!args.screenshot.isEmpty()) {
        if (!writeImage(result.screenshot, args.screenshot, error))
            return fail(err, ExitWriteFailed, QStringLiteral("cannot write %1: %2").arg(args.screenshot, error));
        out << "saved: " << args.screenshot << " (" << result.screenshot.width() << 'x' << result.screenshot.height()
            << ")\n";
    }
    out.flush();
    return ExitOk;
}

} // namespace CliCommands
