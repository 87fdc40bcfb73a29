#include "acquirepage.h"

#include "barcodescanner.h"
#include "burstmodesettings.h"
#include "cameraplaythread.h"
#include "camerasession.h"
#include "camsettings.h"
#include "configkeys.h"
#include "configstore.h"
#include "graphicsview.h"
#include "imagetabs.h"
#include "photonaming.h"
#include "photosaver.h"
#include "photosettings.h"
#include "recordsettings.h"
#include "videowidget.h"
#include "watermarksettings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QMessageBox>
#include <QPixmap>

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
    , m_watermark(new WatermarkSettings(this))
    , m_record(new RecordCapture([this] { return m_tabs->liveView()->recordingSize(); },
                                 [this] { return recordPath(); }, this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_photo = new QPushButton(this);
    m_photo->setObjectName(QStringLiteral("photo_btn"));
    m_burst = new QPushButton(this);
    m_burst->setObjectName(QStringLiteral("cPhotos_btn"));
    m_burst->setCheckable(true);
    m_photoSettings = new QPushButton(this);
    m_photoSettings->setObjectName(QStringLiteral("photoSettings_btn"));
    m_burstSettings = new QPushButton(this);
    m_burstSettings->setObjectName(QStringLiteral("burstModeSettings_btn"));
    m_watermarkSettings = new QPushButton(this);
    m_watermarkSettings->setObjectName(QStringLiteral("watermark_btn"));
    m_recordButton = new QPushButton(this);
    m_recordButton->setObjectName(QStringLiteral("record_btn"));
    m_recordButton->setCheckable(true);
    m_recordSettings = new QPushButton(this);
    m_recordSettings->setObjectName(QStringLiteral("recordSettings_btn"));
    for (QPushButton *button :
         {m_photo, m_burst, m_recordButton, m_photoSettings, m_burstSettings, m_recordSettings, m_watermarkSettings})
        layout->addWidget(button);
    connect(m_photo, &QPushButton::clicked, this, &AcquirePage::on_photo_btn_clicked);
    connect(m_burst, &QPushButton::toggled, this, &AcquirePage::on_cPhotos_btn_toggled);
    connect(m_photoSettings, &QPushButton::clicked, this, &AcquirePage::on_photoSettings_btn_clicked);
    connect(m_burstSettings, &QPushButton::clicked, this, &AcquirePage::on_burstModeSettings_btn_clicked);
    connect(m_watermarkSettings, &QPushButton::clicked, this, &AcquirePage::on_watermark_btn_clicked);
    connect(m_recordButton, &QPushButton::toggled, this, &AcquirePage::on_record_btn_toggled);
    connect(m_recordSettings, &QPushButton::clicked, this, &AcquirePage::on_recordSettings_btn_clicked);

    m_capture->setScanner([](const QImage &picture) {
        QString text;
        BarcodeScanner().deocdeImage(text, picture);
        return text;
    });

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
    connect(m_watermark, &WatermarkSettings::updateWatermarkText, live, &VideoWidget::updateWatermarkText);
    connect(m_watermark, &QDialog::finished, this, &AcquirePage::showWatermark);
    showWatermark();
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
    connect(m_record, &RecordCapture::startReadBack, live, &VideoWidget::onStartRecording);
    connect(m_record, &RecordCapture::stopReadBack, live, &VideoWidget::onStopRecording);
    connect(live, &VideoWidget::sendFrameForRecording, m_record, &RecordCapture::onFrame);
    connect(m_record, &RecordCapture::statusChanged, this, &AcquirePage::statusChanged);
    connect(m_record, &RecordCapture::warning, this,
            [this](const QString &title, const QString &text) { m_box(title, text, true); });
    connect(m_record, &RecordCapture::information, this,
            [this](const QString &title, const QString &text) { m_box(title, text, false); });
    connect(m_record, &RecordCapture::recordingFinished, this, &AcquirePage::stopRecording);
    connect(m_record, &RecordCapture::saved, this, [this](const QString &path, int written, int dropped) {
        emit statusChanged(tr("Video saved: %1 (%2 frames, %3 dropped)")
                               .arg(QDir::toNativeSeparators(path))
                               .arg(written)
                               .arg(dropped));
    });
    connect(m_record, &RecordCapture::lackOfFreeSpace, this, &AcquirePage::onStopRecordingForLackOfSpace);
    connect(m_camSettings, &CamSettings::setFFCStatus, this, [this](bool on) { m_ffcOn = on; });
    connect(m_camSettings, &CamSettings::pauseStatusChanged, this, [this] { setTaking(m_capture->isPending()); });
    retranslate();
}

void AcquirePage::retranslate()
{
    m_photo->setText(tr("Snap"));
    m_burst->setText(tr("Continuous Shooting"));
    m_photoSettings->setText(tr("Snap Settings"));
    m_burstSettings->setText(tr("Time Lapse Settings"));
    m_watermarkSettings->setText(tr("Watermark"));
    m_recordButton->setText(m_recordButton->isChecked() ? tr("Stop Recording") : tr("Record"));
    m_recordSettings->setText(tr("Record Settings"));
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

void AcquirePage::on_record_btn_toggled(bool checked)
{
    retranslate();
    if (checked && !m_session->isOpen() && !m_record->isCountingDown()) {
        stopRecording();
        emit statusChanged(tr("Open a camera to record a video."));
        return;
    }
    m_record->onRecordToggled(checked);
}

void AcquirePage::stopRecording()
{
    m_recordButton->setChecked(false);
}

void AcquirePage::toggleRecording()
{
    m_recordButton->toggle();
}

void AcquirePage::onStopRecordingForLackOfSpace()
{
    if (!m_recordButton->isChecked())
        return;
    const QString path = m_record->path();
    stopRecording();
    m_box(tr("Warning"),
          tr("Lack of free disk space! The recording was stopped; what was recorded is kept in %1")
              .arg(QDir::toNativeSeparators(path)),
          true);
}

QString AcquirePage::recordPath()
{
    const PhotoNaming naming = PhotoNaming::fromRecordSettings();
    const QString suggested = naming.nextPath(RecordSettings::saveFolder(), naming.format);
    if (ConfigStore::instance().value(ConfigGroup::Record, RecordKey::QuickSaveVideo, true).toBool())
        return suggested;
    QString path = QFileDialog::getSaveFileName(this, tr("Save Video"), suggested, tr("Video (*.mp4)"), nullptr,
                                                QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return {};
    if (!path.endsWith(QLatin1String(".mp4"), Qt::CaseInsensitive))
        path += QLatin1String(".mp4");
    if (QFileInfo::exists(path) &&
        QMessageBox::question(this, tr("Notice"), tr("The file already exists, do you want to overwrite it?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return {};
    return path;
}

void AcquirePage::on_recordSettings_btn_clicked()
{
    auto *dialog = new RecordSettings(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void AcquirePage::on_photoSettings_btn_clicked()
{
    auto *dialog = new PhotoSettings(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void AcquirePage::on_burstModeSettings_btn_clicked()
{
    auto *dialog = new BurstModeSettings(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void AcquirePage::on_watermark_btn_clicked()
{
    m_watermark->open();
}

bool AcquirePage::watermarkShown() const
{
    return m_watermark->fuseToPicture() && !m_watermark->info().text.trimmed().isEmpty();
}

void AcquirePage::showWatermark()
{
    m_tabs->liveView()->onSetWatermarkVisible(watermarkShown());
}

PhotoCapture::LiveState AcquirePage::liveState() const
{
    PhotoCapture::LiveState state;
    const CameraInfo &info = m_camSettings->cameraInfo();
    state.preview = info.current;
    state.photo = info.photo.width > 0 ? info.photo : info.current;
    state.ffcOn = m_ffcOn;
    state.watermarkShown = watermarkShown();
    ConfigStore &store = ConfigStore::instance();
    state.graphicsMerged = store.value(ConfigGroup::Snap, SnapKey::MergeImage, false).toBool();
    state.scanCode = PhotoNaming::fromSettings().namesByCode();
    return state;
}

void AcquirePage::setTaking(bool taking)
{
    m_photo->setEnabled(!taking);
    // Bursts and recording wait for the live picture to move again.
    m_burst->setEnabled(!taking && !m_camSettings->isPaused());
    m_recordButton->setEnabled(!taking && (!m_camSettings->isPaused() || m_recordButton->isChecked()));
    if (taking)
        emit statusChanged(tr("Taking a photo..."));
    else if (!m_capture->isBurstRunning() && !m_capture->isCountingDown())
        emit statusChanged(QString());
}

void AcquirePage::onPhotoReady(const QImage &picture, const QString &scanText)
{
    ConfigStore &store = ConfigStore::instance();
    const PhotoNaming naming = PhotoNaming::fromSettings();
    QImage photo = picture;
    // Smart scan can keep the code it read on the picture as well as in the name.
    if (naming.kind == PhotoNaming::SmartScan &&
        store.value(ConfigGroup::Snap, SnapKey::SaveScanResult, true).toBool()) {
        QPixmap stamped = QPixmap::fromImage(photo);
        stampScanResult(stamped, scanText);
        photo = stamped.toImage();
    }
    // The graphics drawn over the live picture, painted in at the picture's own scale.
    if (store.value(ConfigGroup::Snap, SnapKey::MergeImage, false).toBool()) {
        QGraphicsScene *scene = m_tabs->liveView()->graphicsView()->scene();
        const QRectF target(photo.rect());
        const double textScale = store.value(ConfigGroup::Snap, SnapKey::MergeTextScale, 100).toInt() / 100.0;
        photo = PhotoSaver::merged(photo, textScale,
                                   [scene, target](QPainter &painter, double) { scene->render(&painter, target); }, {});
    }
    const QString folder = PhotoSaver::folderOrDefault(store.value(ConfigGroup::Base, BaseKey::SaveImgPath).toString());
    const QString path = naming.nextPath(folder, naming.format, scanText);
    if (store.value(DrawProperty::AutoSaveImage, false).toBool()) {
        // The picture is still saved; only the graphics cannot go with it.
        if (store.value(DrawProperty::SaveGraphics, false).toBool() && !PhotoSaver::canHoldGraphics(naming.format))
            m_box(tr("Warning"), PhotoSaver::graphicsWarning(naming.format), true);
        QString error;
        const PhotoSaver::PixelSize pixel = m_pixelSizeOf ? m_pixelSizeOf(photo.width()) : PhotoSaver::PixelSize();
        if (!PhotoSaver::save(photo, path, QString(), &error, pixel)) {
            m_box(tr("Warning"), tr("Failed to save the picture: %1").arg(error), true);
            return;
        }
        emit statusChanged(tr("Photo saved: %1").arg(QDir::toNativeSeparators(path)));
        return;
    }
    // For review: the tab takes the name the file would get; saving it asks where.
    const int index = m_tabs->addPicture(photo, QFileInfo(path).fileName());
    if (index >= 0)
        ImageTabs::setUnsaved(m_tabs->tabs()->widget(index), true); // closing it asks first
}
