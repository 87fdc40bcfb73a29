#pragma once

#include "cameracontrolregion.h"
#include "cameraresolution.h"
#include "histogramtypes.h"
#include "rendertextinfo.h"
#include "videoframe.h"
#include "videoscale.h"

#include <QElapsedTimer>
#include <QSize>
#include <QTimer>
#include <QVector>
#include <QWidget>

class GraphicsView;
class QGraphicsScene;
class QGraphicsSimpleTextItem;
class RegionFrame;

// The display pane of one camera: lays the live picture out at the chosen zoom, hands every
// frame to the OpenGL picture widget and relays the picture corrections to its renderer.
class VideoWidget : public QWidget
{
    Q_OBJECT
    // The largest percentage onSetScalePercent accepts: the main window's largest zoom level.
    Q_PROPERTY(double maxZoomPercent READ maxZoomPercent WRITE setMaxZoomPercent)
public:
    explicit VideoWidget(QWidget *parent = nullptr);
    ~VideoWidget() override;

    GraphicsView *graphicsView() const { return m_view; }
    VideoScaleStrategy scaleStrategy() const { return m_strategy; }
    int rotation() const { return m_rotation; }

    double maxZoomPercent() const { return m_maxZoomPercent; }
    void setMaxZoomPercent(double percent) { m_maxZoomPercent = percent; }
    // While set, a double click asks to leave full screen.
    void setFullScreen(bool fullScreen) { m_fullScreen = fullScreen; }
    // Frames that reached the screen, in total and per second since the previous call.
    int shownFrames() const;
    double takeShownFps();
    // The size of the pictures a recording gets: the last frame's; empty while nothing is live.
    QSize recordingSize() const { return QSize(m_lastFrame.width(), m_lastFrame.height()); }
    // The frame shown last, before the picture corrections; empty while nothing is live.
    VideoFrame lastFrame() const { return m_lastFrame; }
    bool isRecording() const { return m_recording; }

signals:
    void videoWidgetScaleChanged(double bestScale, double showScale, VideoScaleStrategy strategy);
    void signalExitFullScreen();
    // The rotation and the frame size before rotation, for the regions drawn over the picture.
    void signalRegionPosChange(int curRotateVal, int w, int h);
    void renderDone();
    // Asks for the last drawn picture with its watermark text; answered by sendWatermarkFrame.
    void getWatermarkFrame();
    void sendWatermarkFrame(VideoFrame frame);
    // Emitted to replace the watermark text drawn into the picture.
    void updateWatermarkText(RenderTextInfo info);
    void changeFFCStatus(bool enable);
    // Every drawn picture, as shown, while recording.
    void sendFrameForRecording(VideoFrame frame);
    // A camera region moved or resized on the picture (picture pixels).
    void focusRegionV2Update(bool enable, int x, int y, int width, int height);
    void expRegionUpdate(bool enable, int x, int y, int width, int height);
    void wBRegionUpdate(bool enable, int x, int y, int width, int height);
    void bBRegionUpdate(bool enable, int x, int y, int width, int height);

public slots:
    // A live frame: a new size (or a pending resize) redoes scale and layout, then it is drawn.
    void onFrame(VideoFrame frame);
    // Shows no picture until the next frame: a closed session must not look live.
    void clear();
    // Reads every drawn picture back for the recorder and blinks the recording marker.
    void onStartRecording();
    void onStopRecording();
    // The camera's regions as the control panel has them: shown over the picture while enabled.
    void onFocusRegionV2ChangedFromCamSettings(CameraControlRegion region);
    void onExpRegionChangedFromCamSettings(CameraControlRegion region);
    void onWBRegionChangedFromCamSettings(CameraControlRegion region);
    void onBBRegionChangedFromCamSettings(CameraControlRegion region);
    void onSetScaleStrategy(VideoScaleStrategy strategy);
    // A zoom in percent, from above 0 up to maxZoomPercent; the operator's choice from then on.
    void onSetScalePercent(double percent);

    void onSetVideoNegative(bool negative);
    void onSetWatermarkVisible(bool visible);
    // value / max becomes the black level of the channel (0 to 1).
    void onSetVideoBlackBalanceR(int value, int max);
    void onSetVideoBlackBalanceG(int value, int max);
    void onSetVideoBlackBalanceB(int value, int max);
    void onSetFFCStatus(bool enable);
    void onSetFFCAverageFrame(VideoFrame frame);
    void onSetHistogramStatus(bool enable);
    void onSetHistogramBoundaries(QVector<HistogramBoundaryInfo> infos, int max);

    // The rotation the camera applies to its frames: 0, 90, 180 or 270 (other values count as 0).
    void onlCurVideoRotate(int rotateVal);
    void onResetRotateState();
    void onCurResolution(CameraResolution curResolution);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool hasFrameSize() const { return m_frameSize.width() > 0 && m_frameSize.height() > 0; }
    // Best scale and the strategy's scale for the current sizes; emits videoWidgetScaleChanged.
    void updateScale();
    void layoutPicture();
    void placeRecordMarker();
    enum RegionKind { FocusRegion, ExposureRegion, WhiteBalanceRegion, BlackBalanceRegion, RegionKinds };
    void showRegion(RegionKind kind, const CameraControlRegion &region);
    static QString regionName(RegionKind kind);
    // Moves the marker into the scene now shown while recording.
    void onSceneReplaced(QGraphicsScene *previous, QGraphicsScene *current);

    QWidget *m_pictureArea;
    GraphicsView *m_view;
    // The last frame's size before rotation, so that a rotation alone is no size change.
    QSize m_frameSize;
    bool m_relayoutPending = false;
    double m_factor = 1.0; // screen pixels per frame pixel
    // The factor of the last layout: a zoom keeps the picture point at the view's centre.
    double m_previousFactor = 1.0;
    double m_bestScale = 100.0;
    double m_showScale = 100.0;
    VideoScaleStrategy m_strategy = VideoScaleStrategy::FitToWindow;
    int m_rotation = 0;
    bool m_fullScreen = false;
    double m_maxZoomPercent = 400.0;
    VideoFrame m_lastFrame;
    bool m_recording = false;
    // In the view's current scene while recording only, so that any scene can be shown.
    QGraphicsSimpleTextItem *m_recordMarker;
    QTimer m_blink;
    RegionFrame *m_regions[RegionKinds] = {};
    QElapsedTimer m_shownClock;
    int m_shownAtClock = 0;
};
