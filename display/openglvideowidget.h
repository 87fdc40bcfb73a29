#pragma once

#include "histogramtypes.h"
#include "rendertextinfo.h"
#include "videoframe.h"

#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QRectF>
#include <memory>

class Renderer;

// Puts the live picture on screen. Frames go to its Renderer; paintGL has it draw the part of
// the picture in view.
class OpenGLVideoWidget : public QOpenGLWidget, protected QOpenGLFunctions
{
    Q_OBJECT
public:
    static constexpr double kMinGlVersion = 3.3;

    // offscreen: the renderer draws pictures for consumers as frames arrive (the display pane
    // passes true); cpuProcessing: corrections on the CPU whatever setCorrectionOption says.
    explicit OpenGLVideoWidget(bool offscreen = true, bool cpuProcessing = false, QWidget *parent = nullptr);
    ~OpenGLVideoWidget() override;

    Renderer *renderer() const { return m_renderer.get(); }
    bool isInitialized() const { return m_initialized; }
    int paintCount() const { return m_paintCount; }
    // Frames that reached the screen since construction.
    int shownFrames() const { return m_shownFrames; }
    // Where the picture corrections run: "gpu", "cpu", or "auto" (the CPU with a software
    // rasteriser, else the graphics card). Takes effect when the context is made.
    void setCorrectionOption(const QString &option);
    // The part of the (zoomed) picture the widget shows, in picture pixels from its top-left
    // corner, and the picture's whole size; unset, the whole picture. The widget is only as
    // large as that part, so its frame buffer stays small at any zoom.
    void showPart(const QRectF &part, const QSize &pictureSize);
    // Drops the picture: the widget shows black until the next frame.
    void clear();

    // The version check of a desktop context: false, with the log line, when glVersion is
    // below the minimum. The message box text for that case.
    static bool glVersionSufficient(double glVersion);
    static QString glVersionWarning(double glVersion);

signals:
    void renderFrame(VideoFrame frame);
    void sendFrameForRecording(VideoFrame frame);
    void getWatermarkFrame();
    void sendWatermarkFrame(VideoFrame frame);
    void getRenderedFrame();
    void sendRenderedFrame(VideoFrame frame);
    void renderDone();
    void changeFFCStatus(bool enable);

public slots:
    void onStart();
    void onStop();
    void onFrame(VideoFrame videoFrame);
    void printRenderStats();
    void onStartRecording();
    void onStopRecording();
    void onSetNegative(bool negative);
    void onSetBlackBalance(float red, float green, float blue);
    void onSetBlackBalanceR(float value);
    void onSetBlackBalanceG(float value);
    void onSetBlackBalanceB(float value);
    // Replaces the first watermark line, or adds it when there is none.
    void onUpdateWatermarkText(RenderTextInfo info);
    void onSetWatermarkVisible(bool visible);
    void onSetFFCStatus(bool enable);
    void onSetFFCAverageFrame(VideoFrame frame);
    void onSetHistogramStatus(bool enable);
    void onSetHistogramBoundaries(QVector<HistogramBoundaryInfo> infos, int max);

protected:
    void initializeGL() override;
    void paintGL() override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void checkGlVersion();
    void releaseGl();

    const bool m_offscreen;
    const bool m_forceCpu;
    QString m_correctionOption = QStringLiteral("auto");
    std::unique_ptr<Renderer> m_renderer;
    bool m_initialized = false;
    bool m_visible = false;
    bool m_versionChecked = false;
    QRectF m_part{0, 0, 1, 1}; // of the picture, in fractions of its size
    int m_paintCount = 0;
    int m_shownFrames = 0;
    int m_framesSinceStats = 0;
    QMetaObject::Connection m_contextConnection;
};
