#pragma once

#include "countdown.h"
#include "videoframe.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSize>
#include <QThread>
#include <QTimer>

#include <functional>

class VideoRecorder;

// The record button's flow: an optional countdown before the recording, the recording itself
// in a thread of its own with its duration and counters on the status line, an optional
// countdown to its end, and the stop. Which file it goes to is the window's choice.
class RecordCapture : public QObject
{
    Q_OBJECT

public:
    // The size of the pictures the live view will hand over; empty when nothing is live.
    using SizeReader = std::function<QSize()>;
    // The file to record into; empty cancels the recording.
    using PathChooser = std::function<QString()>;

    RecordCapture(SizeReader size, PathChooser path, QObject *parent = nullptr);
    ~RecordCapture() override;

    // Lives in the recording thread; for tests that replace its free-space query.
    VideoRecorder *recorder() const { return m_recorder; }
    void setSecondMs(int ms);

    bool isRecording() const { return m_recording; }
    bool isCountingDown() const { return m_countdown.isActive(); }
    QString path() const { return m_path; }

public slots:
    // The record button: on starts (after the countdown when one is set), off stops the
    // recording or cancels the countdown.
    void onRecordToggled(bool on);
    // A picture of the live view, as shown.
    void onFrame(const VideoFrame &frame);

signals:
    // The live view reads its pictures back while recording.
    void startReadBack();
    void stopReadBack();
    // The status line: countdowns, then the duration with the frames written and dropped.
    void statusChanged(const QString &text);
    void warning(const QString &title, const QString &text);
    void information(const QString &title, const QString &text);
    // The recording did not start or ended by itself: the record button goes up.
    void recordingFinished();
    void lackOfFreeSpace();
    // The file is finished and closed, with the pictures written to it and those dropped.
    void saved(const QString &path, int written, int dropped);

private:
    void begin();
    void end();
    void showProgress();

    SizeReader m_size;
    PathChooser m_choosePath;
    QThread m_thread;
    VideoRecorder *m_recorder;
    Countdown m_countdown;
    QTimer m_progress;
    QElapsedTimer m_elapsed;
    int m_duration = 0; // seconds; 0 records until stopped
    bool m_recording = false;
    QString m_path;
    QSize m_frameSize;
};
