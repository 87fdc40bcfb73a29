#include "surfaceformat.h"

#include <QOpenGLContext>

QSurfaceFormat videoSurfaceFormat()
{
    QSurfaceFormat format;
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    if (QOpenGLContext::openGLModuleType() == QOpenGLContext::LibGL) {
        format.setVersion(3, 3);
        format.setProfile(QSurfaceFormat::CoreProfile);
    } else {
        format.setVersion(3, 0);
    }
    return format;
}

void setDefaultSurfaceFormat()
{
    QSurfaceFormat::setDefaultFormat(videoSurfaceFormat());
}
