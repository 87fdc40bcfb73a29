#pragma once

#include <QColor>
#include <QMetaType>
#include <QString>

// One line of watermark text over the live picture. x and y are in picture pixels at
// 1920 x 1080 (scaled with the picture); a negative x lays the text out leftwards from the
// right edge, a negative y downwards from the top edge.
struct RenderTextInfo
{
    QString text;
    double x = 0;
    double y = 0;
    int fontSize = 32;
    QColor color = Qt::white;
};

Q_DECLARE_METATYPE(RenderTextInfo)
