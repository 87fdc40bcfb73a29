#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

// Exit status of lumora-cli; each failure kind has its own so that scripts can tell them apart.
enum ExitCode : int {
    ExitOk = 0,
    ExitBadArgument = 2,
    ExitNoCamera = 3,
    ExitCameraRefused = 4,
    ExitCameraLost = 5,
    ExitWriteFailed = 6,
    ExitNoDisplay = 7,
    ExitUnsupportedModel = 8,
    ExitUnreadableFile = 9,
    ExitNoConfiguration = 10,
    ExitConfigurationExists = 11,
    ExitUnreadablePicture = 12,
    ExitOutOfSpace = 13,
};

// One PARAM=VALUE of set or --set, already checked against the parameter table.
struct ParameterSetting
{
    QString name;
    int value = 0;
};

// The command line of lumora-cli, parsed and checked; nothing here touches a camera.
struct CliArguments
{
    enum Command {
        None,
        Help,
        List,
        Info,
        Get,
        Set,
        Grab,
        Snap,
        View,
        Models,
        SchemeExport,
        SchemeImport,
        Scan,
        Measure,
        Record,
        Calibration
    };

    Command command = None;
    bool verbose = false;
    QString camera;
    QSize resolution; // invalid: the camera's default
    int frames = 1;   // view: 0 runs until the window is closed
    int rotate = 0;
    QRect roi; // null: whole picture
    QVector<ParameterSetting> settings;
    // grab: a picture file; snap: a picture file or a folder (empty: the program's); record: a .mp4 file.
    QString out;
    int seconds = 0; // record: how long
    // snap: pictures taken, and the seconds between them.
    int count = 1;
    int interval = 0;
    // view: the corrections shown and the screenshot taken after `frames` frames.
    QString watermark;
    bool negative = false;
    QPoint levels{-1, -1}; // lower, upper; negative: off
    int blackBalance = 0;
    int ffcFrames = 0;
    int zoom = 0; // percent; 0: fit to the window
    QString screenshot;
    // scheme export / import: the exchange file, and whether stored schemes may be replaced.
    QString schemeFile;
    bool overwrite = false;
    // scan: the pictures to read codes from.
    QStringList pictures;
    // measure: the tool (a DrawType class name), its points in image pixels, and the results' unit.
    QString tool;
    QVector<QPointF> points;
    QString unit = QStringLiteral("pix");
    double umPerPixel = 0.0;
    int precision = 2;
    // measure, snap: a stored calibration's name (measure: its unit unless --unit is given, then
    // `unit` is empty; snap: the pixel size the pictures carry).
    QString calibration;
    // calibration: list, export or import; the exchange file; export: the calibrations (none: all).
    QString calibrationAction;
    QString calibrationFile;
    QStringList calibrationNames;

    // Parses the arguments after the program name. False with a one-line message on error.
    bool parse(const QStringList &arguments, QString &error);

    static QString helpText();
    // The measuring tools and the points each takes, one a line.
    static QString measureToolsHelp();
    // Whether snap's --out names a picture file (a picture suffix, and no folder of that name).
    static bool isPictureFile(const QString &path);

private:
    // Appends one PARAM=VALUE (set's words, --set's value) to `settings`.
    bool parseSetting(const QString &text, QString &error);
    // measure takes options of its own and no camera.
    bool parseMeasure(const QStringList &arguments, QString &error);
    bool parseCalibration(const QStringList &arguments, QString &error);
};
