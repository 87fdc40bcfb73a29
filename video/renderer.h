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
#include <QSize>
#include <QVector>
#include <array>
#include <memory>

class QOpenGLContext;
class QOpenGLExtraFunctions;
class QOpenGLFramebufferObject;
class QOpenGLShaderProgram;
class QSurface;

// Turns live frames into corrected pictures on the graphics card: uploads the Y, U and V
// planes, converts and corrects them in one fragment pass into an off-screen frame buffer,
// draws the watermark text, and reads pictures back for photographs and recording.
// Lives in the GUI thread and draws with the context it is given.
class Renderer : public QObject
{
    Q_OBJECT
public:
    // offscreen: draw each frame into the frame buffer as it arrives (the display pane's way);
    // otherwise draw() is left to the owner's paint. cpuProcessing: rendered-frame requests
    // are answered by the CPU corrections at once instead of by the next draw.
    Renderer(bool offscreen, bool cpuProcessing, QObject *parent = nullptr);
    ~Renderer() override;

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
    // The colour texture of the frame buffer (0 before the first frame and after clear), for
    // the screen pass.
    unsigned frameBufferTexture() const;

    // The watermark lines and whether they are drawn.
    void setWatermarkTexts(const QVector<RenderTextInfo> &texts);
    QVector<RenderTextInfo> watermarkTexts() const;
    void setWatermarkVisible(bool visible);

signals:
    void renderDone();
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

    bool makeCurrent();
    void doneCurrent();
    // Everything sized by the frame; called under the lock with the context current.
    void reinitLocked(int width, int height);
    bool buildProgramsLocked();
    void releaseGlLocked();
    void drawLocked(Frames &out);
    void uploadPlanesLocked(const VideoFrame &frame);
    void uploadFFCLocked();
    void drawTextLocked();
    // Reads the frame buffer into a pixel-pack buffer. Synchronous: that same buffer is mapped;
    // asynchronous: the other buffer, filled by the previous call, is mapped.
    VideoFrame readBackLocked(bool async);
    void syncBlackBalanceLocked();
    void emitFrames(const Frames &out);

    QOpenGLContext *m_context = nullptr;
    QSurface *m_surface = nullptr;
    const bool m_offscreen;
    const bool m_cpuProcessing;
    QOpenGLExtraFunctions *m_gl = nullptr;

    mutable QMutex m_mutex;
    VideoFrame m_currentFrame;
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
    std::array<unsigned, 2> m_packBuffers{0, 0};
    std::array<bool, 2> m_packFilled{false, false};
    int m_packIndex = 0;

    std::array<unsigned, 3> m_planeTextures{0, 0, 0};
    unsigned m_ffcTexture = 0;
    std::unique_ptr<QOpenGLFramebufferObject> m_fbo;
    std::unique_ptr<QOpenGLShaderProgram> m_program;
    std::unique_ptr<QOpenGLShaderProgram> m_textProgram;
    QOpenGLVertexArrayObject m_quadArray;
    QOpenGLBuffer m_quadVertices{QOpenGLBuffer::VertexBuffer};
    QOpenGLBuffer m_quadIndices{QOpenGLBuffer::IndexBuffer};
    QOpenGLVertexArrayObject m_textArray;
    QOpenGLBuffer m_textVertices{QOpenGLBuffer::VertexBuffer};
    QMatrix4x4 m_projection;
    GlyphCache m_glyphs;

    ImageProcess m_imageProcess;
};
