#include "ffcaverageframe.h"

#include "configstore.h"
#include "frameconversion.h"
#include "rgb24buffer.h"

bool saveFFCAverageFrame(const VideoFrame &frame, const QString &path)
{
    const QImage image = videoFrameToQImage(frame);
    if (image.isNull()) {
        return false;
    }
    return ConfigStore::saveFFCAverageFrameToFile(image, path);
}

VideoFrame loadFFCAverageFrame(const QString &path)
{
    QImage image = ConfigStore::readFFCAverageFrameFromFile(path);
    if (image.isNull()) {
        return {};
    }
    if (image.format() != QImage::Format_RGB888) {
        image = image.convertToFormat(QImage::Format_RGB888);
    }
    auto buffer = RGB24Buffer::Copy(image.width(), image.height(), image.constBits(), image.bytesPerLine());
    if (!buffer) {
        return {};
    }
    return VideoFrame(std::move(buffer), 0);
}
