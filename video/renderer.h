#pragma once

#include "glyphcache.h"
#include "histogramtypes.h"
#include "imageprocess.h"
#include "rendertextinfo.h"
#include "videoframe.h"

#include <QMatrix4x4>
#include <QMutex>
#include <QObject>
#include <QOpenGLBuffer>
#include <QOpenGLVertexArrayObject>
#include <QRectF>
#include <QSize>
#include <QThread>
#include <QVector>
#include <array>
#include <memory>

class QOpenGLContext;
class QOpenGLExtraFunctions;
class QOpenGLFramebufferObject;
class QOpenGLShaderProgram;
class QSurface;

// Turns live frames into corrected pictures. On the graphics card the Y, U and V planes are
// converted and corrected in one fragment pass: straight into the visible part of the screen
// while nobody needs the whole picture, into a full-size off-screen frame buffer (with the
// watermark text, read back) while recording or asked for a picture. In CPU-processing mode
// (software rasterisers, where that pass is slow) a worker thread corrects each frame with
// ImageProcess and the graphics card only scales the result onto the screen (a frame with no
// correction to do skips the worker and is converted by the screen's pass); consumers then
// get the CPU picture as it is.
// Lives in the GUI thread and draws with the context it is given.
class Renderer : public QObject
{
    Q_OBJECT
public:
    // offscreen: pictures for consumers are drawn as each frame arrives (the display pane's
    // way); otherwise draw() is left to the owner's paint. cpuProcessing: corrections on the
    // CPU (see setCpuProcessing).
    Renderer(bool offscreen, bool cpuProcessing, QObject *parent = nullptr);
    ~Renderer() override;

    // Whether an OpenGL renderer name (GL_RENDERER) is a software rasteriser.
    static bool isSoftwareRasterizer(const QByteArray &glRenderer);
    // Corrections on a worker thread with ImageProcess instead of in the fragment pass.
    // Each frame is acknowledged when the worker takes it; while it is busy the newest frame
    // waits, unacknowledged, so the stream skips frames instead of queueing them.
    void setCpuProcessing(bool cpu);
    bool cpuProcessing() const;

    // The context to draw with and the surface to make it current on. Settings may arrive
    // before; frames are drawn from then on.
    void setContext(QOpenGLContext *context, QSurface *surface);
    // Frees every graphics object with the context current (before the context goes away);
    // the next frame builds them again.
    void releaseGl();

    // Drops the frame and its frame buffer: nothing is shown or read back until the next frame.
    void clear();
    bool isReady() const;
    QSize frameSize() const;
    // Draws `part` of the current picture (fractions of its size, top-left origin) over the
    // bound frame buffer's viewport, with the context current; true when that picture had not
    // been drawn on the screen before.
    bool drawScreen(const QRectF &part);

    // The watermark lines and whether they are drawn.
    void setWatermarkTexts(const QVector<RenderTextInfo> &texts);
    QVector<RenderTextInfo> watermarkTexts() const;
    void setWatermarkVisible(bool visible);

signals:
    void renderDone();
    // A new picture is there to be shown.
    void pictureChanged();
    void sendRenderedFrame(VideoFrame frame);
    void sendWatermarkFrame(VideoFrame frame);
    void sendFrameForRecording(VideoFrame frame);
    void changeFFCStatus(bool enable);

public slots:
    void onFrame(VideoFrame frame);
    // Draws the current frame into the frame buffer; the context must be current.
    void draw();
    // draw() with the context made current for it.
    void onDrawToFBO();
    void onSetNegative(bool negative);
    // Values 0 to 1; a value below 0 keeps the previous one.
    void onSetBlackBalance(float red, float green, float blue);
    void onSetBlackBalanceR(float value);
    void onSetBlackBalanceG(float value);
    void onSetBlackBalanceB(float value);
    void onStartRecording();
    void onStopRecording();
    void onGetRenderedFrame();
    void onGetWatermarkFrame();
    void onSetFFCAverageFrame(VideoFrame frame);
    void onSetFFCStatus(bool enable);
    void onSetHistogramStatus(bool enable);
    void onSetHistogramBoundaries(QVector<HistogramBoundaryInfo> infos, int max);

private:
    struct Frames; // pictures to emit once the lock is released
    class Worker;

    bool makeCurrent();
    void doneCurrent();
    // Everything sized by the frame; called under the lock with the context current.
    void reinitLocked(int width, int height);
    bool buildProgramsLocked();
    void releaseGlLocked();
    // The picture with its corrections and the watermark text into the full-size frame
    // buffer; with `out`, the read-backs the consumers asked for.
    void drawFullLocked(Frames *out);
    // Draws the picture's `part` over the viewport; the frame buffer and viewport are set.
    void drawSourceLocked(const QRectF &part);
    void setQuadLocked(const QRectF &part, bool bottomUp);
    void uploadSourceLocked();
    void uploadPlanesLocked(const VideoFrame &frame);
    void uploadRgbLocked(const VideoFrame &frame);
    // Packed RGB into the bound texture, rows at the buffer's stride.
    void uploadPackedLocked(const RGB24BufferInterface &packed);
    void uploadFFCLocked();
    void drawTextLocked(const QMatrix4x4 &projection);
    // Hands a frame to the CPU worker.
    void startCpuLocked(const VideoFrame &frame);
    void onCpuPicture(const VideoFrame &picture);
    // Reads the frame buffer into a pixel-pack buffer. Synchronous: that same buffer is mapped;
    // asynchronous: the other buffer, filled by the previous call, is mapped.
    VideoFrame readBackLocked(bool async);
    void syncBlackBalanceLocked();
    void emitFrames(const Frames &out);

    QOpenGLContext *m_context = nullptr;
    QSurface *m_surface = nullptr;
    const bool m_offscreen;
    bool m_cpuProcessing;
    QOpenGLExtraFunctions *m_gl = nullptr;

    mutable QMutex m_mutex;
    VideoFrame m_currentFrame;
    // What the screen and the frame buffer show: the frame, or in CPU-processing mode the
    // worker's picture of it.
    VideoFrame m_source;
    bool m_sourceUploaded = false;
    bool m_sourceShown = false;
    bool m_fboCurrent = false; // the frame buffer holds m_source with its text
    QSize m_size;
    bool m_ready = false;
    bool m_glsReady = false; // programs, quad and glyphs built

    bool m_negative = false;
    std::array<float, 3> m_blackBalance{0.f, 0.f, 0.f};
    bool m_ffcEnabled = false;
    VideoFrame m_ffcFrame;
    std::array<float, 3> m_ffcAverage{0.f, 0.f, 0.f}; // channel means, 0 to 1
    bool m_ffcDirty = false;
    bool m_histogramEnabled = false;
    QVector<HistogramBoundaryInfo> m_boundaries = defaultHistogramBoundaries();
    int m_histogramMax = 255;

    QVector<RenderTextInfo> m_texts;
    bool m_showText = false;
    float m_textScale = 1.f;

    bool m_recording = false;
    bool m_renderedFrameRequested = false;
    bool m_watermarkFrameRequested = false;
    std::array<unsigned, 2> m_packBuffers{0, 0};
    std::array<bool, 2> m_packFilled{false, false};
    // The timestamp of the picture read into each buffer: a recording keeps the camera's clock.
    std::array<std::int64_t, 2> m_packTimestamps{0, 0};
    int m_packIndex = 0;

    std::array<unsigned, 3> m_planeTextures{0, 0, 0};
    unsigned m_rgbTexture = 0;
    unsigned m_ffcTexture = 0;
    std::unique_ptr<QOpenGLFramebufferObject> m_fbo;
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    std::unique_ptr<QOpenGLShaderProgram> m_rgbProgram;
    std::unique_ptr<QOpenGLShaderProgram> m_textProgram;
    QOpenGLVertexArrayObject m_quadArray;
    QOpenGLBuffer m_quadVertices{QOpenGLBuffer::VertexBuffer}; // texture coordinates per draw
    QOpenGLBuffer m_quadIndices{QOpenGLBuffer::IndexBuffer};
    QOpenGLVertexArrayObject m_textArray;
    QOpenGLBuffer m_textVertices{QOpenGLBuffer::VertexBuffer};
    QMatrix4x4 m_projection;
    GlyphCache m_glyphs;

    ImageProcess m_imageProcess;
    QThread m_workerThread;
    Worker *m_worker = nullptr; // lives in m_workerThread
    bool m_workerBusy = false;
    VideoFrame m_waitingFrame; // unacknowledged until the worker takes it
};
