#include "usbmodeltable.h"

#include "models/cameramodeltable.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <vector>

namespace {

// The USB rows of the model table, in the shape the USB camera reads.
const std::vector<UsbModelEntry> &usbModels()
{
    static const std::vector<UsbModelEntry> entries = [] {
        std::vector<UsbModelEntry> list;
        int count = 0;
        const CameraModelRow *rows = cameraModelRows(&count);
        for (int i = 0; i < count; ++i) {
            if (rows[i].productId != 0)
                list.push_back({rows[i].productId, rows[i].className, rows[i].firmwareKey, rows[i].compact});
        }
        return list;
    }();
    return entries;
}

} // namespace

const UsbModelEntry *findUsbModel(int productId)
{
    for (const UsbModelEntry &entry : usbModels()) {
        if (entry.productId == productId)
            return &entry;
    }
    return nullptr;
}

bool usbFirmwareFileFits(const QString &path, const QString &fileKey, const QString &modelSuffix)
{
    return path.endsWith(QLatin1String(".update")) &&
           QFileInfo(path).fileName().contains(fileKey + modelSuffix + QLatin1Char('_'));
}

int productIdFromDevicePath(const QString &path)
{
    static const QRegularExpression pid(QStringLiteral("pid_([0-9a-fA-F]{4})"));
    const QRegularExpressionMatch match = pid.match(path);
    return match.hasMatch() ? match.captured(1).toInt(nullptr, 16) : 0;
}
