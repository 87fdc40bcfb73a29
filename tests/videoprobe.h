#pragma once

#include <QMap>
#include <QProcess>
#include <QString>

// The stream and format facts ffprobe reports of a video file's first video stream
// ("codec_name", "width", "height", "nb_read_frames", "format_name", "duration"); empty when it
// cannot read the file.
inline QMap<QString, QString> probe(const QString &path)
{
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("ffprobe"),
                  {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                   "stream=codec_name,width,height,nb_read_frames:format=format_name,duration", "-of", "default=nw=1",
                   path});
    if (!ffprobe.waitForFinished(60000) || ffprobe.exitCode() != 0)
        return {};
    QMap<QString, QString> facts;
    for (const QByteArray &line : ffprobe.readAllStandardOutput().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            facts.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
    return facts;
}
