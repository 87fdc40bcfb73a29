#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// How captured files are named: the prefix, then a time stamp, a running index or a decoded
// code, then "." and the extension. The extension is the caller's, so that video files can
// share the rule.
struct PhotoNaming
{
    // Stored as the "SaveType" draw property.
    enum Kind { Time = 0, AutoIndex = 1, ScanCode = 2, SmartScan = 3 };

    QString prefix;
    Kind kind = AutoIndex;
    int timeFormatIndex = 0; // into kTimeNamingFormats
    int digits = 4;          // of the index: 4, 5 or 6
    QString format = QStringLiteral("jpg");

    // The photo naming options of the settings store, each out-of-range value replaced by its
    // default.
    static PhotoNaming fromSettings();
    // The same for videos, from the "record" settings: time or index naming, always MP4.
    static PhotoNaming fromRecordSettings();

    // The picture formats offered, in menu order.
    static QStringList formats();
    // False when the prefix holds a character a file name on some system cannot hold.
    static bool isValidPrefix(const QString &prefix);
    static QString prefixError();

    QString timeFormat() const;
    bool namesByCode() const { return kind == ScanCode || kind == SmartScan; }

    // What the next file would be called, for the settings dialog: the time `now`, the first
    // index, or an example code, with the chosen picture format.
    QString sampleName(const QDateTime &now = QDateTime::currentDateTime()) const;

    // The path of the next file in `folder` with the given extension (without dot). Time
    // naming uses `now`; index naming takes one above the highest index already used for this
    // prefix and extension (so a deleted file's number is not handed out again); code naming
    // puts `scanText`, with the characters a file name cannot hold replaced by "_", in place
    // of the generated part and falls back to the time when the code is empty. An existing
    // file is never chosen: a "_2", "_3", ... suffix is added instead.
    QString nextPath(const QString &folder, const QString &extension, const QString &scanText = QString(),
                     const QDateTime &now = QDateTime::currentDateTime()) const;

    // `code` fit for a file name: refused and control characters become "_".
    static QString sanitizedCode(const QString &code);
};
