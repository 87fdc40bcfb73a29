#include "recordcapture.h"

#include "codecsettings.h"
#include "configstore.h"
#include "videorecorder.h"

#include <QDebug>
#include <QDir>
#include <QTime>

RecordCapture::RecordCapture(SizeReader size, PathChooser path, QObject *parent)
    : QObject(parent), m_size(std::move(size)), m_choosePath(std::move(path)), m_recorder(new VideoRecorder)
{
    m_thread.setObjectName(QStringLiteral("recorder"));
    m_recorder->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_recorder, &QObject::deleteLater);
    connect(m_recorder, &VideoRecorder::lackOfFreeSpace, this, &RecordCapture::lackOfFreeSpace);
    m_thread.start();
    connect(&m_countdown, &Countdown::statusChanged, this, &RecordCapture::statusChanged);
    connect(&m_progress, &QTimer::timeout, this, &RecordCapture::showProgress);
}

RecordCapture::~RecordCapture()
{
    // The recorder finishes the file when it is destroyed with its thread.
    m_thread.quit();
    m_thread.wait();
}

void RecordCapture::setSecondMs(int ms)
{
    m_countdown.setSecondMs(ms);
}

void RecordCapture::onRecordToggled(bool on)
{
    if (!on) {
        if (m_countdown.isActive()) {
            m_countdown.stop();
            emit statusChanged(QString());
        }
        if (m_recording) {
            end();
            emit information(tr("Info"), tr("Stop Recording"));
        }
        return;
    }
    if (m_recording || m_countdown.isActive())
        return;
    ConfigStore &store = ConfigStore::instance();
    const bool timing = store.value(ConfigGroup::Record, RecordKey::EnableTiming, false).toBool();
    m_duration = timing ? std::max(0, store.value(ConfigGroup::Record, RecordKey::Duration, 0).toInt()) : 0;
    const int delay = store.value(ConfigGroup::Record, RecordKey::RemainingTime, 0).toInt();
    if (timing && delay > 0) {
        m_countdown.start(delay, tr("After %1 hours, %2 minutes and %3 seconds, start recording"), [this] { begin(); });
        return;
    }
    begin();
}

void RecordCapture::onFrame(const VideoFrame &frame)
{
    if (!m_recording)
        return;
    if (QSize(frame.width(), frame.height()) != m_frameSize) {
        // A new resolution or rotation: the file cannot take these pictures, so it is
        // finished rather than left to grow no more.
        end();
        emit recordingFinished();
        emit warning(tr("Warning"), tr("The picture size changed, so the recording was stopped. It is saved in %1")
                                        .arg(QDir::toNativeSeparators(m_path)));
        return;
    }
    VideoRecorder *recorder = m_recorder;
    QMetaObject::invokeMethod(m_recorder, [recorder, frame] { recorder->onFrame(frame); });
}

void RecordCapture::begin()
{
    const QSize size = m_size();
    if (size.isEmpty()) {
        emit warning(tr("Warning"), tr("Open a camera to record a video."));
        emit recordingFinished();
        return;
    }
    const QString path = m_choosePath();
    if (path.isEmpty()) {
        emit recordingFinished();
        return;
    }
    const CodecSettings settings = CodecSettings::forPictureSize(size.width(), size.height());
    qInfo().noquote() << "Start recording. Codec info: " + codecSettingsText(settings);
    bool started = false;
    QString error;
    VideoRecorder *recorder = m_recorder;
    // Waits for the file to be opened, so that a failure is told before the button stays down.
    QMetaObject::invokeMethod(
        m_recorder,
        [recorder, path, settings, &started, &error] {
            recorder->setPath(path);
            if (recorder->init(settings))
                recorder->start();
            started = recorder->isStarted();
            error = recorder->errorString();
        },
        Qt::BlockingQueuedConnection);
    if (!started) {
        emit warning(tr("Warning"), tr("The recording could not start: %1")
                                        .arg(error.isEmpty() ? tr("the video encoder could not be set up.") : error));
        emit recordingFinished();
        return;
    }
    m_path = path;
    m_frameSize = size;
    m_recording = true;
    m_elapsed.start();
    m_progress.start(m_countdown.secondMs());
    emit startReadBack();
    showProgress();
}

void RecordCapture::end()
{
    m_recording = false;
    m_progress.stop();
    emit stopReadBack();
    emit statusChanged(QString());
    qInfo() << "Stop Recording";
    VideoRecorder *recorder = m_recorder;
    const QString path = m_path;
    // The queued pictures are still encoded; the totals are known once the file is closed.
    QMetaObject::invokeMethod(m_recorder, [this, recorder, path] {
        recorder->stop();
        const int written = recorder->framesWritten();
        const int dropped = recorder->framesDropped();
        qInfo().noquote() << QStringLiteral("Recording saved: %1, frames written %2, dropped %3")
                                 .arg(QDir::toNativeSeparators(path))
                                 .arg(written)
                                 .arg(dropped);
        emit saved(path, written, dropped);
    });
}

void RecordCapture::showProgress()
{
    const qint64 seconds = m_elapsed.elapsed() / m_countdown.secondMs();
    if (m_duration > 0 && seconds >= m_duration) {
        end();
        emit recordingFinished();
        emit information(tr("Info"), tr("Stop Recording"));
        return;
    }
    QString line;
    if (m_duration > 0) {
        const QTime left = QTime(0, 0).addSecs(int(m_duration - seconds));
        line = tr("After %1 hours, %2 minutes and %3 seconds, stop recording")
                   .arg(left.hour())
                   .arg(left.minute())
                   .arg(left.second());
    } else {
        const QTime shown = QTime(0, 0).addSecs(int(seconds));
        line = tr("Recording duration: %1:%2:%3")
                   .arg(shown.hour(), 2, 10, QLatin1Char('0'))
                   .arg(shown.minute(), 2, 10, QLatin1Char('0'))
                   .arg(shown.second(), 2, 10, QLatin1Char('0'));
    }
    emit statusChanged(
        line + QStringLiteral("    ") +
        tr("Frames written: %1, dropped: %2").arg(m_recorder->framesWritten()).arg(m_recorder->framesDropped()));
}
