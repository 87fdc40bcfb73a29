#pragma once

#include "calibration.h"

#include <QFont>
#include <QGraphicsObject>
#include <QPen>

// The scale bar over the picture: a horizontal bar of a physical length, in picture pixels, with
// that length written above it.
class GraphicsMeasureScale : public QGraphicsObject
{
    Q_OBJECT

public:
    // After the shapes' items (see GraphicsItemType).
    enum { Type = QGraphicsItem::UserType + 5 };

    GraphicsMeasureScale();
    int type() const override { return Type; }

    // Takes the calibration's style and length in `unit`; call again when the calibration,
    // the unit or the zoom changes. `sceneWidth` sizes the bar under the pixel unit.
    void setCalibration(const CalibrateData &data, const UnitConverter &converter, int unit, double sceneWidth);
    // Writes the calibration's magnification after the length.
    void setShowMagnification(bool show);
    double barPixels() const { return m_pixels; }
    QString text() const;

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

signals:
    // Opens the calibration settings.
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QRectF textRect() const;

    QPen m_pen;
    QFont m_font;
    double m_pixels = 0;
    QString m_length;
    QString m_magnification;
    bool m_showMagnification = false;
};
