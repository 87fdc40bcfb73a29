#pragma once

#include "histogramtypes.h"
#include "rendertextinfo.h"
#include "videoframe.h"

#include <QOpenGLBuffer>
#include <QOpenGLFunctions>
#include <QOpenGLVertexArrayObject>
#include <QOpenGLWidget>
#include <QRectF>
#include <memory>

class QOpenGLShaderProgram;
class Renderer;

// Puts the rendered live picture on screen. Frames go to its Renderer, which draws them into
// an off-screen frame buffer of the frame's size; paintGL shows the part of it in view.
class OpenGLVideoWidget : public QOpenGLWidget, protected QOpenGLFunctions
{
    Q_OBJECT
public:
    static constexpr double kMinGlVersion = 3.3;

    // offscreen: the renderer draws each frame as it arrives (the display pane passes true);
    // cpuProcessing: rendered-frame requests are answered by the CPU corrections.
    explicit OpenGLVideoWidget(bool offscreen = true, bool cpuProcessing = false, QWidget *parent = nullptr);
    ~OpenGLVideoWidget() override;

    Renderer *renderer() const { return m_renderer.get(); }
    bool isInitialized() const { return m_initialized; }
    int paintCount() const { return m_paintCount; }
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
    std::unique_ptr<Renderer> m_renderer;
    bool m_initialized = false;
    bool m_visible = false;
    bool m_versionChecked = false;
    QRectF m_part{0, 0, 1, 1}; // of the picture, in fractions of its size
    bool m_partChanged = false;
    int m_paintCount = 0;
    int m_framesSinceStats = 0;
    QMetaObject::Connection m_contextConnection;
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    QOpenGLVertexArrayObject m_quadArray;
    QOpenGLBuffer m_quadVertices{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer m_quadIndices{QOpenGLBuffer::IndexBuffer};
};
