#include "renderer.h"

#include "i420buffer.h"
#include "rgb24buffer.h"
#include "shadersource.h"

#include <QDateTime>
#include <QDebug>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <QOpenGLShaderProgram>
#include <QSurface>
#include <libyuv/convert_argb.h>
#include <libyuv/convert_from_argb.h>

#include <algorithm>
#include <cmath>

namespace {

const char *const kFontPath = ":/fonts/SourceHanSansCN-Regular.otf";

const GLushort kQuadIndices[] = {0, 1, 2, 0, 2, 3};

std::int64_t wallClockUs()
{
    return QDateTime::currentMSecsSinceEpoch() * 1000;
}

// Channel means of a packed RGB frame, 0 to 1.
std::array<float, 3> channelMeans(const RGB24BufferInterface &frame)
{
    std::array<double, 3> sums{0, 0, 0};
    for (int y = 0; y < frame.height(); ++y) {
        const std::uint8_t *row = frame.Data() + std::ptrdiff_t(y) * frame.Stride();
        std::array<std::uint64_t, 3> rowSums{0, 0, 0};
        for (int x = 0; x < frame.width(); ++x) {
            rowSums[0] += row[3 * x];
            rowSums[1] += row[3 * x + 1];
            rowSums[2] += row[3 * x + 2];
        }
        for (int c = 0; c < 3; ++c) {
            sums[std::size_t(c)] += double(rowSums[std::size_t(c)]);
        }
    }
    const double count = double(frame.width()) * frame.height() * 255.0;
    return {float(sums[0] / count), float(sums[1] / count), float(sums[2] / count)};
}

bool isRgb(const VideoFrame &frame)
{
    const auto buffer = frame.videoFrameBuffer();
    return buffer && !frame.isNull() && buffer->type() == VideoFrameBuffer::Type::kRGB24;
}

// A planar frame as R, G, B bytes, converted as ImageProcess converts it.
VideoFrame toRgb(const VideoFrame &frame)
{
    const auto buffer = frame.videoFrameBuffer();
    const I420BufferInterface *planar = buffer ? buffer->GetI420() : nullptr;
    if (!planar) {
        return {};
    }
    auto rgb = RGB24Buffer::Create(frame.width(), frame.height());
    if (!rgb) {
        return {};
    }
    libyuv::I420ToRAW(planar->DataY(), planar->StrideY(), planar->DataU(), planar->StrideU(), planar->DataV(),
                      planar->StrideV(), rgb->MutableData(), rgb->Stride(), frame.width(), frame.height());
    return VideoFrame(std::move(rgb), frame.timestampUs());
}

} // namespace

struct Renderer::Frames
{
    VideoFrame rendered;
    VideoFrame recording;
};

// Corrects frames with the renderer's ImageProcess on its own thread.
class Renderer::Worker : public QObject
{
public:
    explicit Worker(Renderer *renderer) : m_renderer(renderer) {}

    // On the worker thread. A recorded picture must be a whole RGB one even without corrections.
    void correct(const VideoFrame &frame, bool rgbNeeded)
    {
        VideoFrame picture = m_renderer->m_imageProcess.process(frame);
        if (rgbNeeded && !isRgb(picture)) {
            picture = toRgb(frame);
        }
        QMetaObject::invokeMethod(m_renderer, [renderer = m_renderer, picture] { renderer->onCpuPicture(picture); });
    }

private:
    Renderer *const m_renderer;
};

Renderer::Renderer(bool offscreen, bool cpuProcessing, QObject *parent)
    : QObject(parent), m_offscreen(offscreen), m_cpuProcessing(cpuProcessing)
{
    Q_INIT_RESOURCE(display);
    registerHistogramTypes();
    qRegisterMetaType<VideoFrame>("VideoFrame");
    qRegisterMetaType<RenderTextInfo>("RenderTextInfo");
    m_imageProcess.onSetHistogramBoundaries(m_boundaries);
    m_worker = new Worker(this);
    m_worker->moveToThread(&m_workerThread);
    connect(&m_workerThread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_workerThread.setObjectName(QStringLiteral("Renderer CPU corrections"));
    m_workerThread.start();
}

Renderer::~Renderer()
{
    m_workerThread.quit();
    m_workerThread.wait();
    releaseGl();
}

bool Renderer::isSoftwareRasterizer(const QByteArray &glRenderer)
{
    for (const char *name : {"llvmpipe", "softpipe", "Software Rasterizer", "SwiftShader"}) {
        if (glRenderer.contains(name)) {
            return true;
        }
    }
    return false;
}

void Renderer::setCpuProcessing(bool cpu)
{
    QMutexLocker locker(&m_mutex);
    m_cpuProcessing = cpu;
}

bool Renderer::cpuProcessing() const
{
    QMutexLocker locker(&m_mutex);
    return m_cpuProcessing;
}

void Renderer::setContext(QOpenGLContext *context, QSurface *surface)
{
    releaseGl();
    QMutexLocker locker(&m_mutex);
    m_context = context;
    m_surface = surface;
    // The programs are built with the context, so a driver that cannot compile them is known
    // (and logged) when the view comes up, not at the first picture.
    if (m_context && m_context == QOpenGLContext::currentContext()) {
        m_gl = m_context->extraFunctions();
        buildProgramsLocked();
    }
}

void Renderer::releaseGl()
{
    QMutexLocker locker(&m_mutex);
    if (m_gl && makeCurrent()) {
        releaseGlLocked();
        doneCurrent();
    }
    m_gl = nullptr;
}

void Renderer::clear()
{
    QMutexLocker locker(&m_mutex);
    m_currentFrame = VideoFrame();
    m_source = VideoFrame();
    m_fboCurrent = false;
    m_ready = false;
    if (m_fbo && makeCurrent()) {
        m_fbo.reset();
        doneCurrent();
    }
}

bool Renderer::isReady() const
{
    QMutexLocker locker(&m_mutex);
    return m_ready;
}

QSize Renderer::frameSize() const
{
    QMutexLocker locker(&m_mutex);
    return m_size;
}

bool Renderer::drawScreen(const QRectF &part)
{
    QMutexLocker locker(&m_mutex);
    if (!m_ready || m_source.isNull() || !m_context) {
        return false;
    }
    m_gl = m_context->extraFunctions();
    m_gl->glDisable(GL_BLEND);
    if (m_fboCurrent) {
        // The picture with its text is there already.
        m_rgbProgram->bind();
        m_rgbProgram->setUniformValue("u_Texture0", 0);
        m_gl->glActiveTexture(GL_TEXTURE0);
        m_gl->glBindTexture(GL_TEXTURE_2D, m_fbo->texture());
        setQuadLocked(part, true);
        m_quadArray.bind();
        m_gl->glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
        m_quadArray.release();
        m_rgbProgram->release();
        m_gl->glBindTexture(GL_TEXTURE_2D, 0);
    } else {
        drawSourceLocked(part);
        if (m_showText) {
            // The projection of the whole picture, cut to the part in view.
            const float w = float(m_size.width());
            const float h = float(m_size.height());
            QMatrix4x4 projection;
            projection.ortho(float(part.left()) * w, float(part.right()) * w, float(1 - part.bottom()) * h,
                             float(1 - part.top()) * h, 0.f, 1.f);
            drawTextLocked(projection);
        }
    }
    const bool fresh = !m_sourceShown;
    m_sourceShown = true;
    return fresh;
}

void Renderer::setWatermarkTexts(const QVector<RenderTextInfo> &texts)
{
    QMutexLocker locker(&m_mutex);
    m_texts = texts;
}

QVector<RenderTextInfo> Renderer::watermarkTexts() const
{
    QMutexLocker locker(&m_mutex);
    return m_texts;
}

void Renderer::setWatermarkVisible(bool visible)
{
    QMutexLocker locker(&m_mutex);
    m_showText = visible;
}

bool Renderer::makeCurrent()
{
    if (!m_context || !m_context->makeCurrent(m_surface)) {
        qWarning("%s: current context is null", "Renderer");
        return false;
    }
    m_gl = m_context->extraFunctions();
    return true;
}

void Renderer::doneCurrent()
{
    m_context->doneCurrent();
}

void Renderer::onFrame(VideoFrame frame)
{
    if (!makeCurrent()) {
        emit renderDone();
        return;
    }
    bool ffcTurnedOff = false;
    bool acknowledge = true;
    bool throughWorker = false;
    Frames out;
    {
        QMutexLocker locker(&m_mutex);
        m_currentFrame = frame;
        const QSize size(frame.width(), frame.height());
        if (!frame.isNull() && (!m_fbo || size != m_size)) {
            reinitLocked(size.width(), size.height());
            if (m_ffcFrame.width() != size.width() || m_ffcFrame.height() != size.height()) {
                m_ffcEnabled = false;
                m_imageProcess.onSetFFCStatus(false);
                ffcTurnedOff = true;
            }
        }
        // Without corrections the worker would hand the frame back as it is: the screen
        // converts it. A recorded picture still needs the worker's whole RGB one.
        throughWorker =
            m_cpuProcessing && !frame.isNull() && (m_workerBusy || m_recording || m_imageProcess.anyCorrection());
        if (throughWorker) {
            if (m_workerBusy) {
                // Acknowledged when the worker takes it; a frame it replaces is skipped, and
                // acknowledged now.
                acknowledge = !m_waitingFrame.isNull();
                m_waitingFrame = frame;
            } else {
                startCpuLocked(frame);
            }
        } else {
            m_source = frame;
            m_sourceUploaded = false;
            m_sourceShown = false;
            m_fboCurrent = false;
            // Only consumers of whole pictures need the full-size pass; the screen draws its part.
            if (m_offscreen && (m_recording || m_renderedFrameRequested)) {
                drawFullLocked(&out);
            }
        }
    }
    doneCurrent();
    if (ffcTurnedOff) {
        emit changeFFCStatus(false);
    }
    emitFrames(out);
    if (!throughWorker) {
        emit pictureChanged();
    }
    if (acknowledge) {
        emit renderDone();
    }
}

void Renderer::startCpuLocked(const VideoFrame &frame)
{
    m_workerBusy = true;
    const bool rgbNeeded = m_recording;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, frame, rgbNeeded] { worker->correct(frame, rgbNeeded); });
}

void Renderer::onCpuPicture(const VideoFrame &picture)
{
    bool acknowledge = false;
    bool accepted = false;
    Frames out;
    {
        QMutexLocker locker(&m_mutex);
        m_workerBusy = false;
        if (!m_waitingFrame.isNull()) {
            startCpuLocked(m_waitingFrame);
            m_waitingFrame = VideoFrame();
            acknowledge = true;
        }
        // Not after a clear or a size change meanwhile.
        accepted = !m_currentFrame.isNull() && picture.width() == m_size.width() && picture.height() == m_size.height();
        if (accepted) {
            m_source = picture;
            m_sourceUploaded = false;
            m_sourceShown = false;
            m_fboCurrent = false;
            if (m_recording && isRgb(picture)) {
                if (m_showText && m_offscreen && makeCurrent()) {
                    // The text goes into recorded pictures: only the graphics card draws it.
                    drawFullLocked(&out);
                    doneCurrent();
                } else {
                    out.recording = picture;
                }
            }
        }
    }
    emitFrames(out);
    if (accepted) {
        emit pictureChanged();
        if (m_watermarkFrameRequested) {
            onGetWatermarkFrame();
        }
    }
    if (acknowledge) {
        emit renderDone();
    }
}

void Renderer::reinitLocked(int width, int height)
{
    qDebug("Renderer reinit %dx%d", width, height);
    m_ready = false;
    m_size = QSize(width, height);
    m_projection.setToIdentity();
    m_projection.ortho(0.f, float(width), 0.f, float(height), 0.f, 1.f);

    if (!m_glsReady && !buildProgramsLocked()) {
        return;
    }

    // The plane textures, sized by the planes; rows are uploaded with their buffer strides.
    m_gl->glDeleteTextures(3, m_planeTextures.data());
    m_gl->glGenTextures(3, m_planeTextures.data());
    const int chromaWidth = (width + 1) / 2;
    const int chromaHeight = (height + 1) / 2;
    for (int plane = 0; plane < 3; ++plane) {
        m_gl->glBindTexture(GL_TEXTURE_2D, m_planeTextures[std::size_t(plane)]);
        m_gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, plane == 0 ? width : chromaWidth,
                           plane == 0 ? height : chromaHeight, 0, GL_RED, GL_UNSIGNED_BYTE, nullptr);
        m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        // Clamped, not repeated: chroma samples at the right and bottom edges would otherwise
        // blend with the opposite edge.
        m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
    if (m_rgbTexture == 0) {
        m_gl->glGenTextures(1, &m_rgbTexture);
    }
    m_gl->glBindTexture(GL_TEXTURE_2D, m_rgbTexture);
    m_gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    m_sourceUploaded = false;
    m_fboCurrent = false;
    if (m_ffcTexture == 0) {
        m_gl->glGenTextures(1, &m_ffcTexture);
    }
    m_gl->glBindTexture(GL_TEXTURE_2D, m_ffcTexture);
    m_gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    m_gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    m_gl->glBindTexture(GL_TEXTURE_2D, 0);
    m_ffcDirty = true;

    if (m_packBuffers[0] == 0) {
        m_gl->glGenBuffers(2, m_packBuffers.data());
    }
    for (const unsigned buffer : m_packBuffers) {
        m_gl->glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        m_gl->glBufferData(GL_PIXEL_PACK_BUFFER, GLsizeiptr(alignTo4(width)) * height * 4, nullptr, GL_STREAM_READ);
    }
    m_gl->glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    m_packFilled = {false, false};

    QOpenGLFramebufferObjectFormat format;
    format.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
    format.setInternalTextureFormat(GL_RGBA8);
    format.setMipmap(false);
    format.setSamples(0);
    m_fbo = std::make_unique<QOpenGLFramebufferObject>(width, height, format);
    if (!m_fbo->isValid()) {
        qWarning("Renderer: frame buffer of %dx%d could not be made", width, height);
        m_fbo.reset();
        return;
    }
    m_textScale = std::max({float(width) / 1920.f, float(height) / 1080.f, 0.4f});
    m_ready = true;
}

bool Renderer::buildProgramsLocked()
{
    m_program = std::make_unique<QOpenGLShaderProgram>();
    if (!ShaderSource::buildProgram(*m_program, QStringLiteral(":/shaders/video.vert"),
                                    QStringLiteral(":/shaders/video_yuv.frag"), {"a_Position", "a_texCoords"})) {
        m_program.reset();
        return false;
    }
    m_rgbProgram = std::make_unique<QOpenGLShaderProgram>();
    if (!ShaderSource::buildProgram(*m_rgbProgram, QStringLiteral(":/shaders/video.vert"),
                                    QStringLiteral(":/shaders/video_rgb.frag"), {"a_Position", "a_texCoords"})) {
        m_program.reset();
        m_rgbProgram.reset();
        return false;
    }
    // Both programs take the attributes at the same locations, so one quad serves them.
    m_quadArray.create();
    m_quadArray.bind();
    m_quadVertices.create();
    m_quadVertices.setUsagePattern(QOpenGLBuffer::DynamicDraw);
    m_quadVertices.bind();
    m_quadVertices.allocate(4 * 5 * sizeof(GLfloat));
    m_quadIndices.create();
    m_quadIndices.bind();
    m_quadIndices.allocate(kQuadIndices, sizeof kQuadIndices);
    m_program->enableAttributeArray(0);
    m_program->setAttributeBuffer(0, GL_FLOAT, 0, 3, 5 * sizeof(GLfloat));
    m_program->enableAttributeArray(1);
    m_program->setAttributeBuffer(1, GL_FLOAT, 3 * sizeof(GLfloat), 2, 5 * sizeof(GLfloat));
    m_quadArray.release();

    m_textProgram = std::make_unique<QOpenGLShaderProgram>();
    if (!ShaderSource::buildProgram(*m_textProgram, QStringLiteral(":/shaders/text.vert"),
                                    QStringLiteral(":/shaders/text.frag"), {"vertex"}) ||
        !m_glyphs.load(m_gl, QString::fromLatin1(kFontPath))) {
        // The picture still shows; only the watermark text is missing.
        qWarning("Create text shaders failed");
        m_textProgram.reset();
    } else {
        m_textArray.create();
        m_textArray.bind();
        m_textVertices.create();
        m_textVertices.setUsagePattern(QOpenGLBuffer::DynamicDraw);
        m_textVertices.bind();
        m_textVertices.allocate(6 * 4 * sizeof(GLfloat));
        m_textProgram->enableAttributeArray(0);
        m_textProgram->setAttributeBuffer(0, GL_FLOAT, 0, 4, 4 * sizeof(GLfloat));
        m_textArray.release();
    }
    m_glsReady = true;
    return true;
}

void Renderer::releaseGlLocked()
{
    m_fbo.reset();
    m_program.reset();
    m_rgbProgram.reset();
    m_textProgram.reset();
    m_quadArray.destroy();
    m_quadVertices.destroy();
    m_quadIndices.destroy();
    m_textArray.destroy();
    m_textVertices.destroy();
    m_glyphs.release(m_gl);
    m_gl->glDeleteTextures(3, m_planeTextures.data());
    m_planeTextures = {0, 0, 0};
    if (m_rgbTexture != 0) {
        m_gl->glDeleteTextures(1, &m_rgbTexture);
        m_rgbTexture = 0;
    }
    if (m_ffcTexture != 0) {
        m_gl->glDeleteTextures(1, &m_ffcTexture);
        m_ffcTexture = 0;
    }
    if (m_packBuffers[0] != 0) {
        m_gl->glDeleteBuffers(2, m_packBuffers.data());
        m_packBuffers = {0, 0};
    }
    m_glsReady = false;
    m_ready = false;
    m_sourceUploaded = false;
    m_fboCurrent = false;
}

void Renderer::draw()
{
    Frames out;
    {
        QMutexLocker locker(&m_mutex);
        drawFullLocked(&out);
    }
    emitFrames(out);
}

void Renderer::onDrawToFBO()
{
    if (!makeCurrent()) {
        return;
    }
    draw();
    doneCurrent();
}

void Renderer::drawFullLocked(Frames *out)
{
    if (!m_ready || m_source.isNull() || !m_gl) {
        return;
    }
    m_fbo->bind();
    m_gl->glViewport(0, 0, m_size.width(), m_size.height());
    m_gl->glDisable(GL_BLEND);
    m_gl->glClearColor(0.f, 0.f, 0.f, 1.f);
    m_gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    drawSourceLocked(QRectF(0, 0, 1, 1));

    if (out && m_renderedFrameRequested) {
        m_renderedFrameRequested = false;
        out->rendered = readBackLocked(false);
    }
    if (m_showText) {
        drawTextLocked(m_projection);
    }
    if (out && m_recording) {
        out->recording = readBackLocked(true);
    }
    m_fbo->release();
    m_fboCurrent = true;
}

void Renderer::setQuadLocked(const QRectF &part, bool bottomUp)
{
    const auto left = GLfloat(part.left());
    const auto right = GLfloat(part.right());
    const auto top = GLfloat(bottomUp ? 1 - part.top() : part.top());
    const auto bottom = GLfloat(bottomUp ? 1 - part.bottom() : part.bottom());
    // x, y, z, s, t of the viewport's corners.
    const GLfloat quad[] = {
        -1.f, -1.f, 0.f, left,  bottom, //
        1.f,  -1.f, 0.f, right, bottom, //
        1.f,  1.f,  0.f, right, top,    //
        -1.f, 1.f,  0.f, left,  top,    //
    };
    m_quadVertices.bind();
    m_quadVertices.write(0, quad, sizeof quad);
    m_quadVertices.release();
}

void Renderer::drawSourceLocked(const QRectF &part)
{
    uploadSourceLocked();
    // Pictures are uploaded first row first: texture row 0 is the picture's top.
    setQuadLocked(part, false);
    if (isRgb(m_source)) {
        m_rgbProgram->bind();
        m_rgbProgram->setUniformValue("u_Texture0", 0);
        m_gl->glActiveTexture(GL_TEXTURE0);
        m_gl->glBindTexture(GL_TEXTURE_2D, m_rgbTexture);
        m_quadArray.bind();
        m_gl->glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
        m_quadArray.release();
        m_rgbProgram->release();
        m_gl->glBindTexture(GL_TEXTURE_2D, 0);
        return;
    }
    // Planes: corrected here unless the CPU does the corrections (and found none to do).
    const bool correct = !m_cpuProcessing;
    for (int plane = 0; plane < 3; ++plane) {
        m_gl->glActiveTexture(GLenum(GL_TEXTURE0 + plane));
        m_gl->glBindTexture(GL_TEXTURE_2D, m_planeTextures[std::size_t(plane)]);
    }
    m_program->bind();
    m_program->setUniformValue("u_Texture0", 0);
    m_program->setUniformValue("u_Texture1", 1);
    m_program->setUniformValue("u_Texture2", 2);
    m_program->setUniformValue("u_negative", correct && m_negative);
    static const char *const blackNames[3] = {"u_blackBalanceR", "u_blackBalanceG", "u_blackBalanceB"};
    for (int c = 0; c < 3; ++c) {
        m_program->setUniformValue(blackNames[c], correct ? m_blackBalance[std::size_t(c)] : 0.f);
    }
    const bool ffc = correct && m_ffcEnabled && !m_ffcFrame.isNull();
    m_program->setUniformValue("u_enableFFC", ffc);
    if (ffc) {
        m_gl->glActiveTexture(GL_TEXTURE3);
        m_gl->glBindTexture(GL_TEXTURE_2D, m_ffcTexture);
        if (m_ffcDirty) {
            uploadFFCLocked();
        }
        m_program->setUniformValue("u_ffcTexture", 3);
        m_program->setUniformValue("u_ffcGlobalAverageR", m_ffcAverage[0]);
        m_program->setUniformValue("u_ffcGlobalAverageG", m_ffcAverage[1]);
        m_program->setUniformValue("u_ffcGlobalAverageB", m_ffcAverage[2]);
    }
    const bool histogram = correct && m_histogramEnabled;
    m_program->setUniformValue("u_histogramEnable", histogram);
    if (histogram) {
        static const char *const lowerNames[3] = {"u_histogramRLower", "u_histogramGLower", "u_histogramBLower"};
        static const char *const upperNames[3] = {"u_histogramRUpper", "u_histogramGUpper", "u_histogramBUpper"};
        const float max = m_histogramMax > 0 ? float(m_histogramMax) : 255.f;
        for (int c = 0; c < 3; ++c) {
            float lower = 0.f;
            float upper = 1.f;
            for (const HistogramBoundaryInfo &info : qAsConst(m_boundaries)) {
                if (info.channel == c) {
                    lower = float(info.lower) / max;
                    upper = float(info.upper) / max;
                }
            }
            m_program->setUniformValue(lowerNames[c], lower);
            m_program->setUniformValue(upperNames[c], upper);
        }
    }
    m_quadArray.bind();
    m_gl->glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
    m_quadArray.release();
    m_program->release();
    m_gl->glActiveTexture(GL_TEXTURE0);
}

void Renderer::uploadSourceLocked()
{
    if (m_sourceUploaded) {
        return;
    }
    if (isRgb(m_source)) {
        uploadRgbLocked(m_source);
    } else {
        uploadPlanesLocked(m_source);
    }
    m_sourceUploaded = true;
}

void Renderer::uploadRgbLocked(const VideoFrame &frame)
{
    const auto &rgb = static_cast<const RGB24BufferInterface &>(*frame.videoFrameBuffer());
    m_gl->glActiveTexture(GL_TEXTURE0);
    m_gl->glBindTexture(GL_TEXTURE_2D, m_rgbTexture);
    uploadPackedLocked(rgb);
    m_gl->glBindTexture(GL_TEXTURE_2D, 0);
}

void Renderer::uploadPackedLocked(const RGB24BufferInterface &packed)
{
    m_gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    if (packed.Stride() % 3 == 0) {
        m_gl->glPixelStorei(GL_UNPACK_ROW_LENGTH, packed.Stride() / 3);
        m_gl->glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, packed.width(), packed.height(), GL_RGB, GL_UNSIGNED_BYTE,
                              packed.Data());
        m_gl->glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    } else {
        // Row padding that is not whole pixels: upload row by row.
        for (int y = 0; y < packed.height(); ++y) {
            m_gl->glTexSubImage2D(GL_TEXTURE_2D, 0, 0, y, packed.width(), 1, GL_RGB, GL_UNSIGNED_BYTE,
                                  packed.Data() + std::ptrdiff_t(y) * packed.Stride());
        }
    }
    m_gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void Renderer::uploadPlanesLocked(const VideoFrame &frame)
{
    const std::shared_ptr<I420BufferInterface> planes = frame.videoFrameBuffer()->ToI420();
    if (!planes) {
        return;
    }
    const int widths[3] = {planes->width(), planes->ChromaWidth(), planes->ChromaWidth()};
    const int heights[3] = {planes->height(), planes->ChromaHeight(), planes->ChromaHeight()};
    const int strides[3] = {planes->StrideY(), planes->StrideU(), planes->StrideV()};
    const std::uint8_t *data[3] = {planes->DataY(), planes->DataU(), planes->DataV()};
    m_gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int plane = 0; plane < 3; ++plane) {
        m_gl->glActiveTexture(GLenum(GL_TEXTURE0 + plane));
        m_gl->glBindTexture(GL_TEXTURE_2D, m_planeTextures[std::size_t(plane)]);
        m_gl->glPixelStorei(GL_UNPACK_ROW_LENGTH, strides[plane]);
        m_gl->glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, widths[plane], heights[plane], GL_RED, GL_UNSIGNED_BYTE,
                              data[plane]);
    }
    m_gl->glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    m_gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void Renderer::uploadFFCLocked()
{
    const auto buffer = m_ffcFrame.videoFrameBuffer();
    if (!buffer || buffer->type() != VideoFrameBuffer::Type::kRGB24 || m_ffcFrame.width() != m_size.width() ||
        m_ffcFrame.height() != m_size.height()) {
        return;
    }
    uploadPackedLocked(static_cast<const RGB24BufferInterface &>(*buffer));
    m_ffcDirty = false;
}

void Renderer::drawTextLocked(const QMatrix4x4 &projection)
{
    if (!m_textProgram || !m_glyphs.isLoaded()) {
        return;
    }
    m_gl->glEnable(GL_BLEND);
    m_gl->glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    m_textProgram->bind();
    m_textProgram->setUniformValue("projection", projection);
    m_textProgram->setUniformValue("text", 0);
    m_gl->glActiveTexture(GL_TEXTURE0);
    m_textArray.bind();
    m_textVertices.bind();
    for (const RenderTextInfo &info : qAsConst(m_texts)) {
        const QByteArray latin1 = info.text.toLatin1();
        const float scale = float(info.fontSize) / float(GlyphCache::kPixelSize) * m_textScale;
        float x = float(info.x) * m_textScale;
        float y = float(info.y) * m_textScale;
        if (info.x < 0) {
            x = float(m_size.width()) + x - float(m_glyphs.textWidth(latin1)) * scale;
        }
        if (info.y < 0) {
            y = float(m_size.height()) + y - float(m_glyphs.ascender()) * scale;
        }
        m_textProgram->setUniformValue(
            "textColor", QVector3D(float(info.color.redF()), float(info.color.greenF()), float(info.color.blueF())));
        for (const char c : latin1) {
            const GlyphCache::Glyph &glyph = m_glyphs.glyph(static_cast<unsigned char>(c));
            const float left = x + float(glyph.bearing.x()) * scale;
            const float bottom = y - float(glyph.size.height() - glyph.bearing.y()) * scale;
            const float w = float(glyph.size.width()) * scale;
            const float h = float(glyph.size.height()) * scale;
            if (w > 0 && h > 0) {
                const GLfloat vertices[6][4] = {
                    {left, bottom + h, 0.f, 0.f}, {left, bottom, 0.f, 1.f},     {left + w, bottom, 1.f, 1.f},
                    {left, bottom + h, 0.f, 0.f}, {left + w, bottom, 1.f, 1.f}, {left + w, bottom + h, 1.f, 0.f},
                };
                m_gl->glBindTexture(GL_TEXTURE_2D, glyph.texture);
                m_textVertices.write(0, vertices, sizeof vertices);
                m_gl->glDrawArrays(GL_TRIANGLES, 0, 6);
            }
            x += float(glyph.advance) * scale;
        }
    }
    m_textVertices.release();
    m_textArray.release();
    m_textProgram->release();
    m_gl->glBindTexture(GL_TEXTURE_2D, 0);
    m_gl->glDisable(GL_BLEND);
}

VideoFrame Renderer::readBackLocked(bool async)
{
    if (!m_ready || m_packBuffers[0] == 0) {
        return {};
    }
    const int width = m_size.width();
    const int height = m_size.height();
    const int readIndex = m_packIndex;
    const int mapIndex = async ? 1 - m_packIndex : m_packIndex;
    m_gl->glPixelStorei(GL_PACK_ALIGNMENT, 4);
    m_gl->glBindBuffer(GL_PIXEL_PACK_BUFFER, m_packBuffers[std::size_t(readIndex)]);
    m_gl->glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    m_packFilled[std::size_t(readIndex)] = true;
    m_packTimestamps[std::size_t(readIndex)] = m_source.timestampUs() > 0 ? m_source.timestampUs() : wallClockUs();
    if (async) {
        m_packIndex = 1 - m_packIndex;
    }
    VideoFrame frame;
    if (m_packFilled[std::size_t(mapIndex)]) {
        m_gl->glBindBuffer(GL_PIXEL_PACK_BUFFER, m_packBuffers[std::size_t(mapIndex)]);
        const GLsizeiptr bytes = GLsizeiptr(width) * height * 4;
        const auto *pixels =
            static_cast<const std::uint8_t *>(m_gl->glMapBufferRange(GL_PIXEL_PACK_BUFFER, 0, bytes, GL_MAP_READ_BIT));
        if (pixels) {
            auto buffer = RGB24Buffer::Create(width, height);
            if (buffer) {
                // RGBA bytes to R, G, B bytes, last row first: the frame buffer's row 0 is the bottom.
                libyuv::ARGBToRGB24(pixels + std::ptrdiff_t(height - 1) * width * 4, -width * 4, buffer->MutableData(),
                                    buffer->Stride(), width, height);
                frame = VideoFrame(std::move(buffer), m_packTimestamps[std::size_t(mapIndex)]);
            }
            m_gl->glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
        } else {
            qWarning("Renderer: the read-back buffer could not be mapped");
        }
    }
    m_gl->glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    return frame;
}

void Renderer::emitFrames(const Frames &out)
{
    if (!out.rendered.isNull()) {
        emit sendRenderedFrame(out.rendered);
    }
    if (!out.recording.isNull()) {
        emit sendFrameForRecording(out.recording);
    }
}

void Renderer::onSetNegative(bool negative)
{
    QMutexLocker locker(&m_mutex);
    m_negative = negative;
    m_imageProcess.onSetNegative(negative);
}

void Renderer::syncBlackBalanceLocked()
{
    m_imageProcess.onSetBlackBalance(int(std::lround(m_blackBalance[0] * 255.f)),
                                     int(std::lround(m_blackBalance[1] * 255.f)),
                                     int(std::lround(m_blackBalance[2] * 255.f)));
}

void Renderer::onSetBlackBalance(float red, float green, float blue)
{
    QMutexLocker locker(&m_mutex);
    const float values[3] = {red, green, blue};
    for (int c = 0; c < 3; ++c) {
        if (values[c] >= 0.f) {
            m_blackBalance[std::size_t(c)] = values[c];
        }
    }
    syncBlackBalanceLocked();
}

void Renderer::onSetBlackBalanceR(float value)
{
    onSetBlackBalance(value, -1.f, -1.f);
}

void Renderer::onSetBlackBalanceG(float value)
{
    onSetBlackBalance(-1.f, value, -1.f);
}

void Renderer::onSetBlackBalanceB(float value)
{
    onSetBlackBalance(-1.f, -1.f, value);
}

void Renderer::onStartRecording()
{
    QMutexLocker locker(&m_mutex);
    m_recording = true;
    m_packFilled = {false, false};
}

void Renderer::onStopRecording()
{
    QMutexLocker locker(&m_mutex);
    m_recording = false;
}

void Renderer::onGetRenderedFrame()
{
    if (cpuProcessing()) {
        VideoFrame frame;
        {
            QMutexLocker locker(&m_mutex);
            frame = m_currentFrame;
        }
        const VideoFrame processed = m_imageProcess.process(frame);
        if (!processed.isNull()) {
            emit sendRenderedFrame(processed);
        }
        return;
    }
    QMutexLocker locker(&m_mutex);
    m_renderedFrameRequested = true;
}

void Renderer::onGetWatermarkFrame()
{
    if (!makeCurrent()) {
        return;
    }
    VideoFrame frame;
    {
        QMutexLocker locker(&m_mutex);
        // A first picture still with the CPU worker answers when it comes.
        m_watermarkFrameRequested = m_source.isNull() && m_workerBusy;
        if (!m_fboCurrent) {
            drawFullLocked(nullptr);
        }
        if (m_fboCurrent) {
            m_fbo->bind();
            frame = readBackLocked(false);
            m_fbo->release();
        }
    }
    doneCurrent();
    if (!frame.isNull()) {
        emit sendWatermarkFrame(frame);
    }
}

void Renderer::onSetFFCAverageFrame(VideoFrame frame)
{
    QMutexLocker locker(&m_mutex);
    const auto buffer = frame.videoFrameBuffer();
    if (!buffer || frame.isNull() || buffer->type() != VideoFrameBuffer::Type::kRGB24) {
        qWarning("Renderer: the flat-field reference is not an RGB picture");
        return;
    }
    m_ffcFrame = frame;
    m_ffcAverage = channelMeans(static_cast<const RGB24BufferInterface &>(*buffer));
    m_ffcDirty = true;
    // The CPU worker takes the reference through a one-frame capture, which also gives it the
    // channel means that a plain reference replacement leaves unset.
    m_imageProcess.onStartFFCCapture(1);
    m_imageProcess.onRecvVideoFrameForProcess(frame);
}

void Renderer::onSetFFCStatus(bool enable)
{
    QMutexLocker locker(&m_mutex);
    m_ffcEnabled = enable;
    m_imageProcess.onSetFFCStatus(enable);
}

void Renderer::onSetHistogramStatus(bool enable)
{
    QMutexLocker locker(&m_mutex);
    m_histogramEnabled = enable;
    m_imageProcess.onSetHistogramStatus(enable);
}

void Renderer::onSetHistogramBoundaries(QVector<HistogramBoundaryInfo> infos, int max)
{
    QMutexLocker locker(&m_mutex);
    m_boundaries = infos;
    m_histogramMax = max;
    // The CPU worker counts in bytes.
    if (max > 0 && max != 255) {
        for (HistogramBoundaryInfo &info : infos) {
            info.lower = int(std::lround(info.lower * 255.0 / max));
            info.upper = int(std::lround(info.upper * 255.0 / max));
        }
    }
    m_imageProcess.onSetHistogramBoundaries(infos);
}
