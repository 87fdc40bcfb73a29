#include "clicommands.h"

#include "camerainfojson.h"
#include "cameraparameters.h"
#include "clilog.h"
#include "constants.h"
#include "frameconversion.h"
#include "framegrabber.h"
#include "liveviewer.h"
#include "usbcameralist.h"
#include "uvccamera.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QJsonDocument>
#include <QOpenGLContext>
#include <QSaveFile>
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

// Finds and opens the named camera; on failure writes the message and sets `code`.
std::shared_ptr<UvcCamera> openCamera(const QString &name, QTextStream &err, int &code, CameraInfo &info)
{
    UsbCameraEntry entry;
    if (!findUsbCamera(name, entry)) {
        code = fail(err, ExitNoCamera, QStringLiteral("no camera named \"%1\" (see lumora-cli list)").arg(name));
        return nullptr;
    }
    // Until the model classes exist every USB camera is opened as the plain USB camera.
    auto camera = std::make_shared<UvcCamera>();
    CameraOpenInfo openInfo;
    openInfo.cameraResolution.devicePath = entry.uniqueName;
    if (!camera->open(openInfo)) {
        code = fail(err, ExitCameraRefused, QStringLiteral("camera \"%1\" refused to open").arg(entry.uniqueName));
        return nullptr;
    }
    // The full information, as the control panel receives it.
    QObject::connect(camera.get(), &BaseCamera::sendAllInfo, camera.get(), [&info](CameraInfo all) { info = all; });
    camera->onGetAllInfo();
    code = ExitOk;
    return camera;
}

// The stream for --resolution: the first format (lowest code) offering that size. Without a
// size: 1920x1080 when offered, else the largest size of the first format.
bool chooseResolution(const CameraInfo &info, const QSize &wanted, CameraResolution &chosen, QString &error)
{
    const QSize size = wanted.isValid() ? wanted : QSize(1920, 1080);
    QStringList offered;
    for (int format : info.formats) {
        for (const CameraResolution &r : info.resolutions.value(format)) {
            if (QSize(r.width, r.height) == size) {
                chosen = r;
                chosen.format = format;
                return true;
            }
            if (!offered.contains(r.resolution))
                offered << r.resolution;
        }
    }
    if (!wanted.isValid() && !offered.isEmpty()) {
        // Lists are kept in ascending pixel count.
        chosen = info.resolutions.value(info.formats.first()).last();
        chosen.format = info.formats.first();
        return true;
    }
    error = offered.isEmpty() ? QStringLiteral("the camera offers no stream")
                              : QStringLiteral("resolution %1x%2 is not offered (offered: %3)")
                                    .arg(wanted.width())
                                    .arg(wanted.height())
                                    .arg(offered.join(", "));
    return false;
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
        if (p->range) {
            const CameraRange &range = before.*(p->range);
            if (!range.supported)
                return QStringLiteral("%1: the camera does not support %2").arg(what, setting.name);
            if (setting.value < range.min || setting.value > range.max)
                return QStringLiteral("%1: outside the camera's range %2..%3").arg(what).arg(range.min).arg(range.max);
        }
        const int unsupportedBefore = unsupportedMessageCount();
        p->apply(camera, setting.value);
        if (unsupportedMessageCount() != unsupportedBefore)
            return QStringLiteral("%1: the camera does not support %2").arg(what, setting.name);
        if (p->cached) {
            const int now = p->cached(camera.cameraInfo());
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
    QByteArray bytes;
    if (QImageWriter::supportedImageFormats().contains(format)) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            error = file.errorString();
            return false;
        }
        QImageWriter writer(&file, format);
        if (!writer.write(image)) {
            error = writer.errorString();
            file.cancelWriting();
            return false;
        }
        if (!file.commit()) {
            error = file.errorString();
            return false;
        }
        return true;
    }
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char *>(encoded.data()), qint64(encoded.size())) != qint64(encoded.size()) ||
        !file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

namespace CliCommands {

int list(QTextStream &out)
{
    const QMap<QString, UsbCameraEntry> cameras = listUsbCameras();
    for (const UsbCameraEntry &c : cameras)
        out << c.uniqueName << '\t' << c.displayName << '\t' << c.model << '\t' << c.usbSpeed << '\n';
    out.flush();
    return ExitOk;
}

int info(const CliArguments &args, QTextStream &out, QTextStream &err)
{
    int code = ExitOk;
    CameraInfo all;
    std::shared_ptr<UvcCamera> camera = openCamera(args.camera, err, code, all);
    if (!camera)
        return code;
    out << QJsonDocument(cameraInfoToJson(all)).toJson(QJsonDocument::Indented);
    out.flush();
    return ExitOk;
}

int grab(const CliArguments &args, QTextStream &out, QTextStream &err)
{
    if (!folderExists(args.out))
        return fail(err, ExitWriteFailed, QStringLiteral("cannot write %1: the folder does not exist").arg(args.out));

    int code = ExitOk;
    CameraInfo all;
    std::shared_ptr<UvcCamera> camera = openCamera(args.camera, err, code, all);
    if (!camera)
        return code;
    const QString name = camera->uniqueName();

    GrabRequest request;
    request.frames = args.frames;
    QString error;
    if (!chooseResolution(all, args.resolution, request.openInfo.cameraResolution, error))
        return fail(err, ExitBadArgument, QStringLiteral("camera \"%1\": %2").arg(name, error));
    request.openInfo.cameraResolution.devicePath = name;

    const GrabResult result =
        grabFrames(camera, request, out, [&args](BaseCamera &c) { return configureCamera(c, args); });
    if (result.code == ExitBadArgument)
        return fail(err, result.code, QStringLiteral("camera \"%1\": %2").arg(name, result.error));
    if (result.code != ExitOk)
        return fail(err, result.code, QStringLiteral("camera \"%1\" %2").arg(name, result.error));

    if (!writeImage(videoFrameToQImage(result.lastFrame), args.out, error))
        return fail(err, ExitWriteFailed, QStringLiteral("cannot write %1: %2").arg(args.out, error));
    out << "saved: " << args.out << " (" << result.lastFrame.width() << 'x' << result.lastFrame.height() << ")\n";
    out.flush();
    return ExitOk;
}

int view(const CliArguments &args, QTextStream &out, QTextStream &err)
{
    if (!args.screenshot.isEmpty() && !folderExists(args.screenshot))
        return fail(err, ExitWriteFailed,
                    QStringLiteral("cannot write %1: the folder does not exist").arg(args.screenshot));
    QOpenGLContext probe;
    if (!probe.create())
        return fail(err, ExitNoDisplay, QStringLiteral("no OpenGL available for the live display"));

    int code = ExitOk;
    CameraInfo all;
    std::shared_ptr<UvcCamera> camera = openCamera(args.camera, err, code, all);
    if (!camera)
        return code;
    const QString name = camera->uniqueName();
    CameraOpenInfo openInfo;
    QString error;
    if (!chooseResolution(all, args.resolution, openInfo.cameraResolution, error))
        return fail(err, ExitBadArgument, QStringLiteral("camera \"%1\": %2").arg(name, error));
    openInfo.cameraResolution.devicePath = name;

    const ViewResult result = runLiveView(camera, openInfo, args, out);
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
