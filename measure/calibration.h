#pragma once

#include "unitconverter.h"

#include <QColor>
#include <QCoreApplication>
#include <QList>
#include <QMetaType>
#include <QSize>
#include <QString>
#include <QVariantMap>

#include <functional>

class ConfigStore;

// One calibration: what the operator entered over a drawn line or circle, the micrometres per
// pixel it gives, the stream resolution it was made at, and the scale bar drawn with it.
struct CalibrateData
{
    QString name;
    QString magnification; // ends in "X"
    double length = 0;     // what the operator entered, in `unit`
    QString unit;
    double real = 0;    // micrometres per pixel; under the pixel unit the entered length
    double pixel = 0;   // the drawn line's (or circle's diameter's) length in pixels
    QString resolution; // the stream's "WxH" when calibrated
    QColor scaleColor = Qt::red;
    int scaleLineWidth = 1;
    int scaleTextSize = 13;
    QString scaleCurrentLength; // the scale bar's length: a number followed by its unit
    // Turret calibrations only; the exchange file does not carry them.
    int nosepieceSlot = -1;
    int af = 0;
    int delta = 0;
    bool isNosepiece = false;

    // The record for `length` in `unit` over a drawn `pixel` pixels at the stream `resolution`.
    static CalibrateData create(const QString &name, const QString &magnification, double length, const QString &unit,
                                double pixel, const QSize &resolution);

    // Equal in every field the exchange file carries.
    bool sameExchanged(const CalibrateData &other) const;
    // The keys of calibration.ini; the turret keys only when asked for.
    QVariantMap toMap(bool withTurret) const;
    static CalibrateData fromMap(const QVariantMap &map);

    // Converts results at the stream width `streamWidth` under this calibration.
    UnitConverter converter(int streamWidth) const;
    // Micrometres per pixel of a picture `width` pixels wide (scaled from the width this
    // calibration was made at); 0 under the pixel unit, which has no physical size.
    double micrometresPerPixel(int width) const;
    // The current stream width over the width this calibration was made at; 1 when either is
    // unknown.
    static double resolutionFactor(int streamWidth, const QString &resolution);
};
Q_DECLARE_METATYPE(CalibrateData)

// A message for the operator: a box's title and its text.
struct CalibrationMessage
{
    QString title;
    QString text;
};

// The scale bar's length: chosen by the operator, or a short number near 300 pixels.
namespace ScaleLength {
// The default: 300 pixels in `unit`, rounded to two significant digits; under the pixel unit a
// quarter of the scene width.
double byDefault(const UnitConverter &converter, int unit, double sceneWidth);
// A length as the scale bar shows it: no exponent, no trailing zeros after the point.
QString text(double length);
// The bar's length in `unit`: the calibration's chosen length (converted when it was chosen in
// another unit), else the default.
double forCalibration(const CalibrateData &data, const UnitConverter &converter, int unit, double sceneWidth);
// Splits "1.5mm" into 1.5 and "mm"; false when it does not start with a number.
bool parse(const QString &text, double &length, QString &unit);
// Whether `text` gives a bar of 30 to 1500 pixels at `pixelsPerUnit`; otherwise the warning.
bool check(const QString &text, double pixelsPerUnit, CalibrationMessage *warning);
} // namespace ScaleLength

// The calibrations of calibration.ini ("calibrate" and the turret's "nosepieceCalibrate"),
// their ".cal" exchange files, through the settings store.
class CalibrationStore
{
    Q_DECLARE_TR_FUNCTIONS(CalibrationStore)

public:
    explicit CalibrationStore(ConfigStore &store);

    QList<CalibrateData> calibrations() const;
    QList<CalibrateData> nosepieceCalibrations() const;
    // Each returns whether the file took the change.
    bool append(const CalibrateData &data);
    bool replace(int index, const CalibrateData &data);
    bool remove(int index);
    // The pixel unit, in use when no calibration is chosen; only its scale bar style is kept.
    CalibrateData defaultCalibration() const;
    void storeDefault(const CalibrateData &data);
    // A turret record replaces the one of its slot, or is appended when the slot has none.
    bool storeNosepiece(const CalibrateData &data);
    // A stored calibration of the same name, length, unit and magnification.
    bool exists(const CalibrateData &data) const;

    // Writes the records to a ".cal" file; `outcome` is what the operator is told.
    static bool exportFile(const QString &path, const QList<CalibrateData> &records, CalibrationMessage &outcome);
    // The path with ".cal" added when it has not that suffix.
    static QString withSuffix(const QString &path);

    // Asked for an imported calibration whose name is stored with other fields: true overwrites
    // the stored one, false adds the imported one under the first free "name(N)".
    using OverwriteQuestion = std::function<bool(const CalibrationMessage &question)>;
    // Checks the whole file before it stores anything. Appends what the operator is to be told;
    // true when every record went through.
    bool importFile(const QString &path, const OverwriteQuestion &overwrite, QList<CalibrationMessage> &messages);

private:
    ConfigStore &m_store;
};

// The ".cal" exchange file: a header (version 1, record count, data type 1) and the records,
// little-endian, no padding; strings are a byte count and UTF-8.
namespace CalibrationFile {
QByteArray encode(const QList<CalibrateData> &records);
// The records of a whole file; false with the reason when any part of it is not sound.
bool decode(const QByteArray &bytes, QList<CalibrateData> &records, QString &error);
} // namespace CalibrationFile
