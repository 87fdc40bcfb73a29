// Produces the camera's pictures on a thread of its own, paced at the stream's frame rate,
// so that rendering and coding never hold up command answers.
#pragma once

#include "streamencoder.h"

#include <QElapsedTimer>
#include <QMutex>
#include <QObject>

#include <memory>

class QTimer;

class StreamWorker : public QObject
{
    Q_OBJECT

public:
    explicit StreamWorker(const virtualscope::SpecimenConfig &specimen);
    ~StreamWorker() override;

    // From any thread: the settings of the next picture.
    void setConfig(const StreamConfig &config);
    // From any thread: the next H.264 picture is to be a key frame (a viewer fell behind or joined).
    void requestKeyFrame();

public slots:
    void start();
    void stop();

signals:
    void pictureReady(const EncodedPicture &picture);

private:
    void produce();

    virtualscope::SpecimenConfig m_specimen;
    QMutex m_mutex; // guards the two fields below
    StreamConfig m_config;
    bool m_keyFrameRequested = false;

    std::unique_ptr<StreamEncoder> m_encoder; // made on the worker thread
    QTimer *m_timer;
    QElapsedTimer m_clock;
    qint64 m_nextDueUs = 0;
    quint32 m_sequence = 0;
};
