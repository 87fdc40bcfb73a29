#pragma once

#include "photosaver.h"

#include "photocapture.h"
#include "recordcapture.h"

#include <QWidget>

class CameraSession;
class CamSettings;
class ImageTabs;
class QLabel;
class QPushButton;
class VideoWidget;
class WatermarkSettings;

// The Acquire page: photographs (single, delayed, bursts), video recordings and their settings.
// Photos come from the open camera, or from the display when the watermark is to be in them;
// each is saved at once or opened in an image tab for review, as the photo settings say.
// Recordings take the live picture as shown.
class AcquirePage : public QWidget
{
    Q_OBJECT

public:
    // Shows a message box that does not block the window.
    using MessageBox = std::function<void(const QString &title, const QString &text, bool warning)>;

    AcquirePage(CameraSession *session, CamSettings *camSettings, ImageTabs *tabs, MessageBox box,
                QWidget *parent = nullptr);

    PhotoCapture *capture() const { return m_capture; }
    // What a pixel of a saved picture of that width measures (the calibration in use).
    void setPixelSizeOf(std::function<PhotoSaver::PixelSize(int width)> pixelSizeOf)
    {
        m_pixelSizeOf = std::move(pixelSizeOf);
    }
    RecordCapture *recording() const { return m_record; }
    void retranslate();

signals:
    // The countdown and burst line for the status bar; empty clears it.
    void statusChanged(const QString &text);

public slots:
    void on_photo_btn_clicked();
    void on_cPhotos_btn_toggled(bool checked);
    void on_photoSettings_btn_clicked();
    void on_burstModeSettings_btn_clicked();
    void on_watermark_btn_clicked();
    void on_record_btn_toggled(bool checked);
    void on_recordSettings_btn_clicked();
    // The record button goes up, which stops a running recording.
    void stopRecording();
    // The record command: presses or releases the record button.
    void toggleRecording();
    void onStopRecordingForLackOfSpace();

private:
    PhotoCapture::LiveState liveState() const;
    void onPhotoReady(const QImage &picture, const QString &scanText);
    void setTaking(bool taking);
    // The watermark is on the live picture, and so in photos, while it is to be burnt in.
    bool watermarkShown() const;
    void showWatermark();
    // The file the next recording goes to; empty when the operator cancelled.
    QString recordPath();

    CameraSession *m_session;
    CamSettings *m_camSettings;
    ImageTabs *m_tabs;
    MessageBox m_box;
    PhotoCapture *m_capture;
    bool m_ffcOn = false;
    WatermarkSettings *m_watermark;
    QPushButton *m_photo;
    QPushButton *m_burst;
    QPushButton *m_photoSettings;
    QPushButton *m_burstSettings;
    QPushButton *m_watermarkSettings;
    RecordCapture *m_record;
    QPushButton *m_recordButton;
    QPushButton *m_recordSettings;
    std::function<PhotoSaver::PixelSize(int width)> m_pixelSizeOf;
};
