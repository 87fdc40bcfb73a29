#include "streamworker.h"

#include <QMutexLocker>
#include <QTimer>

StreamWorker::StreamWorker(const virtualscope::SpecimenConfig &specimen)
    : m_specimen(specimen), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &StreamWorker::produce);
}

StreamWorker::~StreamWorker() = default;

void StreamWorker::setConfig(const StreamConfig &config)
{
    QMutexLocker lock(&m_mutex);
    m_config = config;
}

void StreamWorker::requestKeyFrame()
{
    QMutexLocker lock(&m_mutex);
    m_keyFrameRequested = true;
}

void StreamWorker::start()
{
    if (m_timer->isActive())
        return;
    if (!m_encoder)
        m_encoder = std::make_unique<StreamEncoder>(m_specimen);
    if (!m_clock.isValid())
        m_clock.start();
    m_nextDueUs = m_clock.nsecsElapsed() / 1000;
    m_timer->start(0);
}

void StreamWorker::stop()
{
    m_timer->stop();
}

void StreamWorker::produce()
{
    StreamConfig config;
    bool keyFrame;
    {
        QMutexLocker lock(&m_mutex);
        config = m_config;
        keyFrame = m_keyFrameRequested;
        m_keyFrameRequested = false;
    }
    const double seconds = m_clock.nsecsElapsed() / 1e9;
    EncodedPicture picture;
    if (m_encoder->encode(config, seconds, m_sequence, keyFrame, &picture)) {
        picture.sequence = m_sequence++;
        emit pictureReady(picture);
    }

    // Pace by due times rather than by intervals so the rate does not drift; after a
    // stall, start counting again from now instead of bursting to catch up.
    const qint64 periodUs = 1000000 / std::max(1, config.stream.frameRate);
    const qint64 nowUs = m_clock.nsecsElapsed() / 1000;
    m_nextDueUs += periodUs;
    if (m_nextDueUs < nowUs - periodUs)
        m_nextDueUs = nowUs;
    m_timer->start(int(std::max<qint64>(0, (m_nextDueUs - nowUs + 500) / 1000)));
}
