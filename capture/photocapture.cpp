#include "photocapture.h"

#include "barcodescanner.h"
#include "configkeys.h"
#include "configstore.h"
#include "frameconversion.h"

#include <QDebug>
#include <algorithm>

PhotoCapture::PhotoCapture(StateReader state, QObject *parent) : QObject(parent), m_state(std::move(state))
{
    connect(&m_countdown, &Countdown::statusChanged, this, &PhotoCapture::statusChanged);
    connect(&m_burst, &QTimer::timeout, this, &PhotoCapture::burstTick);
}

void PhotoCapture::onPhotoButton()
{
    if (m_countdown.isActive() && !m_burstStarting) {
        m_countdown.stop();
        emit statusChanged(QString());
        return;
    }
    ConfigStore &store = ConfigStore::instance();
    const int seconds = store.value(ConfigGroup::Snap, SnapKey::RemainingTime, 0).toInt();
    if (store.value(ConfigGroup::Snap, SnapKey::EnableTiming, false).toBool() && seconds > 0 &&
        !m_countdown.isActive()) {
        m_countdown.start(seconds, tr("After %1 hours, %2 minutes and %3 seconds, start taking a photo"),
                          [this] { takePhoto(); });
        return;
    }
    takePhoto();
}

void PhotoCapture::takePhoto()
{
    m_pendingState = m_state();
    const LiveState &s = m_pendingState;
    const bool sameSize = s.photo.width == s.preview.width && s.photo.height == s.preview.height;
    if (!sameSize && (s.graphicsMerged || s.ffcOn || s.watermarkShown) && !m_mismatchWarned) {
        m_mismatchWarned = true;
        emit warning(tr("Resolution Mismatch"),
                     tr("The capture resolution and the preview resolution do not match, graphics, flat field "
                        "correction or watermark will not be saved!"));
    }
    qInfo().noquote() << QStringLiteral("Taking a photo, %1x%2%3")
                             .arg(s.photo.width)
                             .arg(s.photo.height)
                             .arg(s.watermarkShown && sameSize ? QStringLiteral(" as shown") : QString());
    m_pending = true;
    emit takingChanged(true);
    if (s.watermarkShown && sameSize) {
        emit getWatermarkFrame();
        return;
    }
    CameraResolution photo = s.photo;
    photo.resolution = QStringLiteral("%1x%2").arg(photo.width).arg(photo.height);
    emit getVideoFrameForTakingPhoto(photo);
}

void PhotoCapture::onRecvVideoFrameForTakingPhoto(VideoFrame frame)
{
    if (!m_pending)
        return; // a rendered frame asked for by someone else (a copy to the clipboard)
    m_pending = false;
    const QImage picture = frame.isNull() ? QImage() : videoFrameToQImage(frame);
    if (picture.isNull()) {
        qWarning() << "No picture came back for the photo";
        return endAttempt();
    }
    QString code;
    if (m_pendingState.scanCode) {
        const QSize preview(m_pendingState.preview.width, m_pendingState.preview.height);
        if (m_scanner)
            // The region is drawn over the preview: it applies only to a picture of that size.
            code = m_scanner(picture.size() == preview ? scanArea(picture, m_pendingState.scanRegion) : picture);
        if (code.isEmpty()) {
            endAttempt();
            emit warning(tr("Warning"), tr("Scanning error, please adjust the screen to clear and try again!"));
            return;
        }
    }
    endAttempt();
    emit photoReady(picture, code);
}

void PhotoCapture::endAttempt()
{
    emit takingChanged(false);
}

void PhotoCapture::onBurstToggled(bool on)
{
    if (!on) {
        if (!isBurstRunning())
            return;
        m_burst.stop();
        if (m_burstStarting)
            m_countdown.stop();
        m_burstStarting = false;
        emit statusChanged(QString());
        emit information(tr("Info"), tr("Stop continuous shooting!"));
        return;
    }
    ConfigStore &store = ConfigStore::instance();
    m_burstNumber = store.value(ConfigGroup::BurstMode, BurstModeKey::Number, 1).toInt();
    m_burstInterval = store.value(ConfigGroup::BurstMode, BurstModeKey::Interval, 1).toInt();
    qInfo().nospace() << "on_continuousShooting_btn_clicked: number=" << m_burstNumber
                      << ", interval=" << m_burstInterval;
    if (m_burstNumber < 1 || m_burstInterval < 1) {
        emit warning(tr("Warning"), tr("Interval or number should more than zero"));
        emit burstFinished();
        return;
    }
    m_countdown.stop(); // a photo's countdown gives way to the burst
    const int seconds = store.value(ConfigGroup::BurstMode, BurstModeKey::RemainingTime, 0).toInt();
    if (store.value(ConfigGroup::BurstMode, BurstModeKey::EnableTiming, false).toBool() && seconds > 0) {
        m_burstStarting = true;
        m_countdown.start(seconds, tr("After %1 hours, %2 minutes and %3 seconds, start continuous shooting"), [this] {
            m_burstStarting = false;
            startBurst();
        });
        return;
    }
    startBurst();
}

void PhotoCapture::startBurst()
{
    m_burstLeft = m_burstInterval;
    m_burstTaken = 0;
    m_burst.start(m_secondMs);
}

// The first photo comes one interval after the start, the next ones every interval.
void PhotoCapture::burstTick()
{
    if (--m_burstLeft < 1) {
        m_burstLeft = m_burstInterval;
        ++m_burstTaken;
        takePhoto();
    }
    if (m_burstTaken < m_burstNumber) {
        emit statusChanged(tr("Continuous Shooting... Countdown: %1 s, progress: %2/%3")
                               .arg(m_burstLeft)
                               .arg(m_burstTaken)
                               .arg(m_burstNumber));
        return;
    }
    m_burst.stop();
    emit burstFinished();
    emit statusChanged(QString());
    emit information(tr("Info"), tr("Continuous shooting done, the number of photos: %1").arg(m_burstTaken));
}
