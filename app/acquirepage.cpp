#include "acquirepage.h"

#include "cameraplaythread.h"
#include "camerasession.h"
#include "camsettings.h"
#include "imagetabs.h"
#include "videowidget.h"

#include <QPushButton>
#include <QVBoxLayout>

AcquirePage::AcquirePage(CameraSession *session, CamSettings *camSettings, ImageTabs *tabs, MessageBox box,
                         QWidget *parent)
    : QWidget(parent)
    , m_session(session)
    , m_camSettings(camSettings)
    , m_tabs(tabs)
    , m_box(std::move(box))
    , m_capture(new PhotoCapture([this] { return liveState(); }, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_photo = new QPushButton(this);
    m_photo->setObjectName(QStringLiteral("photo_btn"));
    m_burst = new QPushButton(this);
    m_burst->setObjectName(QStringLiteral("cPhotos_btn"));
    m_burst->setCheckable(true);
    layout->addWidget(m_photo);
    layout->addWidget(m_burst);
    connect(m_photo, &QPushButton::clicked, this, &AcquirePage::on_photo_btn_clicked);
    connect(m_burst, &QPushButton::toggled, this, &AcquirePage::on_cPhotos_btn_toggled);

    connect(m_capture, &PhotoCapture::statusChanged, this, &AcquirePage::statusChanged);
    connect(m_capture, &PhotoCapture::takingChanged, this, &AcquirePage::setTaking);
    connect(m_capture, &PhotoCapture::warning, this,
            [this](const QString &title, const QString &text) { m_box(title, text, true); });
    connect(m_capture, &PhotoCapture::information, this,
            [this](const QString &title, const QString &text) { m_box(title, text, false); });
    connect(m_capture, &PhotoCapture::burstFinished, this, [this] {
        const QSignalBlocker blocker(m_burst);
        m_burst->setChecked(false);
    });
    connect(m_capture, &PhotoCapture::photoReady, this, &AcquirePage::onPhotoReady);
    // The rendered picture (watermark included) comes from the live view.
    VideoWidget *live = m_tabs->liveView();
    connect(m_capture, &PhotoCapture::getWatermarkFrame, live, &VideoWidget::getWatermarkFrame);
    connect(live, &VideoWidget::sendWatermarkFrame, m_capture, &PhotoCapture::onRecvVideoFrameForTakingPhoto);
    connect(m_capture, &PhotoCapture::getVideoFrameForTakingPhoto, this, [this](const CameraResolution &photo) {
        const std::shared_ptr<CameraPlayThread> thread = m_session->playThread();
        if (!thread)
            return m_capture->onRecvVideoFrameForTakingPhoto(VideoFrame());
        connect(thread.get(), &CameraPlayThread::sendVideoFrameForTakingPhoto, m_capture,
                &PhotoCapture::onRecvVideoFrameForTakingPhoto, Qt::UniqueConnection);
        thread->onGetVideoFrameForTakingPhoto(photo);
    });
    connect(m_camSettings, &CamSettings::setFFCStatus, this, [this](bool on) { m_ffcOn = on; });
    connect(m_camSettings, &CamSettings::pauseStatusChanged, this, [this] { setTaking(m_capture->isPending()); });
    retranslate();
}

void AcquirePage::retranslate()
{
    m_photo->setText(tr("Snap"));
    m_burst->setText(tr("Continuous Shooting"));
}

void AcquirePage::on_photo_btn_clicked()
{
    if (!m_session->isOpen() && !m_capture->isCountingDown()) {
        emit statusChanged(tr("Open a camera to take a photo."));
        return;
    }
    m_capture->onPhotoButton();
}

void AcquirePage::on_cPhotos_btn_toggled(bool checked)
{
    if (checked && !m_session->isOpen()) {
        const QSignalBlocker blocker(m_burst);
        m_burst->setChecked(false);
        emit statusChanged(tr("Open a camera to take photos."));
        return;
    }
    m_capture->onBurstToggled(checked);
}

PhotoCapture::LiveState AcquirePage::liveState() const
{
    PhotoCapture::LiveState state;
    const CameraInfo &info = m_camSettings->cameraInfo();
    state.preview = info.current;
    state.photo = info.photo.width > 0 ? info.photo : info.current;
    state.ffcOn = m_ffcOn;
    return state;
}

void AcquirePage::setTaking(bool taking)
{
    m_photo->setEnabled(!taking);
    // Bursts and recording wait for the live picture to move again.
    m_burst->setEnabled(!taking && !m_camSettings->isPaused());
    if (taking)
        emit statusChanged(tr("Taking a photo..."));
    else if (!m_capture->isBurstRunning() && !m_capture->isCountingDown())
        emit statusChanged(QString());
}

void AcquirePage::onPhotoReady(const QImage &picture, const QString &scanText)
{
    const QString name = scanText.isEmpty() ? tr("Photo") : scanText;
    const int index = m_tabs->addPicture(picture, name);
    if (index >= 0)
        ImageTabs::setUnsaved(m_tabs->tabs()->widget(index), true); // closing it asks first
}
