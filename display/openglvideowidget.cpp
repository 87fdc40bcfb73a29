#include "openglvideowidget.h"

#include "renderer.h"
#include "shadersource.h"

#include <QDebug>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QOpenGLShaderProgram>
#include <QSurfaceFormat>
#include <QTimer>
#include <array>

namespace {

const GLushort kScreenQuadIndices[] = {0, 1, 2, 0, 2, 3};

// x, y, z, s, t of the widget's corners, showing `part` (fractions of the picture, top-left
// origin); the frame buffer's row 0 is the picture's bottom row.
std::array<GLfloat, 20> screenQuad(const QRectF &part)
{
    const auto left = GLfloat(part.left());
    const auto right = GLfloat(part.right());
    const auto top = GLfloat(1 - part.top());
    const auto bottom = GLfloat(1 - part.bottom());
    return {
        -1.f, -1.f, 0.f, left,  bottom, //
        1.f,  -1.f, 0.f, right, bottom, //
        1.f,  1.f,  0.f, right, top,    //
        -1.f, 1.f,  0.f, left,  top,    //
    };
}

} // namespace

OpenGLVideoWidget::OpenGLVideoWidget(bool offscreen, bool cpuProcessing, QWidget *parent)
    : QOpenGLWidget(parent), m_offscreen(offscreen), m_renderer(std::make_unique<Renderer>(offscreen, cpuProcessing))
{}

OpenGLVideoWidget::~OpenGLVideoWidget()
{
    // The base destructor destroys the context; by then this object is no longer one of ours.
    QObject::disconnect(m_contextConnection);
    releaseGl();
}

void OpenGLVideoWidget::releaseGl()
{
    if (!m_initialized) {
        return;
    }
    m_renderer->releaseGl();
    makeCurrent();
    m_program.reset();
    m_quadArray.destroy();
    m_quadVertices.destroy();
    m_quadIndices.destroy();
    doneCurrent();
    m_initialized = false;
}

bool OpenGLVideoWidget::glVersionSufficient(double glVersion)
{
    if (glVersion + 1e-9 < kMinGlVersion) {
        qWarning("Current OpenGL version %f does not meet the required min version %f", glVersion, kMinGlVersion);
        return false;
    }
    return true;
}

QString OpenGLVideoWidget::glVersionWarning(double glVersion)
{
    return tr("Current OpenGL version: %1, required version: %2. Please update the graphics card driver, "
              "otherwise the video screen will go black!")
        .arg(glVersion, 0, 'f', 1)
        .arg(kMinGlVersion, 0, 'f', 1);
}

void OpenGLVideoWidget::initializeGL()
{
    qDebug("InitializeGL");
    initializeOpenGLFunctions();
    QOpenGLContext *glContext = context();
    if (!glContext) {
        qWarning("OpenGLWidget init failed");
        return;
    }
    qDebug("Vendor: %s\n Renderer: %s\n OpenGL Version: %s\n", reinterpret_cast<const char *>(glGetString(GL_VENDOR)),
           reinterpret_cast<const char *>(glGetString(GL_RENDERER)),
           reinterpret_cast<const char *>(glGetString(GL_VERSION)));
    qDebug() << "OpenGL surface format:" << glContext->format();

    // A new top-level window brings a new context: give everything back before the old one goes.
    QObject::disconnect(m_contextConnection);
    m_contextConnection = connect(glContext, &QOpenGLContext::aboutToBeDestroyed, this, &OpenGLVideoWidget::releaseGl);

    m_program = std::make_unique<QOpenGLShaderProgram>();
    if (!ShaderSource::buildProgram(*m_program, QStringLiteral(":/shaders/video.vert"),
                                    QStringLiteral(":/shaders/video_rgb.frag"), {"a_Position", "a_texCoords"})) {
        qWarning("OpenGLWidget init failed");
        m_program.reset();
    } else {
        m_quadArray.create();
        m_quadArray.bind();
        m_quadVertices.create();
        m_quadVertices.bind();
        const std::array<GLfloat, 20> quad = screenQuad(m_part);
        m_quadVertices.allocate(quad.data(), int(sizeof quad));
        m_quadIndices.create();
        m_quadIndices.bind();
        m_quadIndices.allocate(kScreenQuadIndices, sizeof kScreenQuadIndices);
        m_program->enableAttributeArray(0);
        m_program->setAttributeBuffer(0, GL_FLOAT, 0, 3, 5 * sizeof(GLfloat));
        m_program->enableAttributeArray(1);
        m_program->setAttributeBuffer(1, GL_FLOAT, 3 * sizeof(GLfloat), 2, 5 * sizeof(GLfloat));
        m_quadArray.release();
    }

    m_renderer->setContext(glContext, glContext->surface());
    connect(m_renderer.get(), &Renderer::renderDone, this, QOverload<>::of(&QWidget::update), Qt::UniqueConnection);
    connect(m_renderer.get(), &Renderer::renderDone, this, &OpenGLVideoWidget::renderDone, Qt::UniqueConnection);
    connect(this, &OpenGLVideoWidget::renderFrame, m_renderer.get(), &Renderer::onFrame, Qt::UniqueConnection);
    connect(this, &OpenGLVideoWidget::getWatermarkFrame, m_renderer.get(), &Renderer::onGetWatermarkFrame,
            Qt::UniqueConnection);
    connect(this, &OpenGLVideoWidget::getRenderedFrame, m_renderer.get(), &Renderer::onGetRenderedFrame,
            Qt::UniqueConnection);
    connect(m_renderer.get(), &Renderer::sendFrameForRecording, this, &OpenGLVideoWidget::sendFrameForRecording,
            Qt::UniqueConnection);
    connect(m_renderer.get(), &Renderer::sendWatermarkFrame, this, &OpenGLVideoWidget::sendWatermarkFrame,
            Qt::UniqueConnection);
    connect(m_renderer.get(), &Renderer::sendRenderedFrame, this, &OpenGLVideoWidget::sendRenderedFrame,
            Qt::UniqueConnection);
    connect(m_renderer.get(), &Renderer::changeFFCStatus, this, &OpenGLVideoWidget::changeFFCStatus,
            Qt::UniqueConnection);
    m_initialized = true;
    if (m_visible) {
        checkGlVersion();
    }
}

void OpenGLVideoWidget::checkGlVersion()
{
    if (m_versionChecked || !context() || context()->isOpenGLES()) {
        return;
    }
    m_versionChecked = true;
    const double version = ShaderSource::parseGlVersion(reinterpret_cast<const char *>(glGetString(GL_VERSION)));
    double reported = version;
    if (version <= 0) {
        qWarning("Failed to detect opengl version using GL_VERSION!");
        reported = 1.0;
    }
    if (!glVersionSufficient(reported)) {
        // After the current event: a modal box must not run inside the widget's show or paint.
        QTimer::singleShot(0, this,
                           [this, reported] { QMessageBox::warning(this, tr("Warning"), glVersionWarning(reported)); });
    }
}

void OpenGLVideoWidget::showEvent(QShowEvent *event)
{
    QOpenGLWidget::showEvent(event);
    m_visible = true;
    m_versionChecked = false;
    if (m_offscreen) {
        setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    }
    if (m_initialized) {
        // Outside initializeGL the widget's context is not current by itself: without it the
        // version query answers nothing and a good driver would be reported as too old.
        makeCurrent();
        checkGlVersion();
        doneCurrent();
    }
}

void OpenGLVideoWidget::hideEvent(QHideEvent *event)
{
    QOpenGLWidget::hideEvent(event);
    m_visible = false;
}

void OpenGLVideoWidget::showPart(const QRectF &part, const QSize &pictureSize)
{
    if (pictureSize.isEmpty()) {
        return;
    }
    const QRectF fraction(part.x() / pictureSize.width(), part.y() / pictureSize.height(),
                          part.width() / pictureSize.width(), part.height() / pictureSize.height());
    if (fraction != m_part) {
        m_part = fraction;
        m_partChanged = true;
        update();
    }
}

void OpenGLVideoWidget::clear()
{
    m_renderer->clear();
    update();
}

void OpenGLVideoWidget::paintGL()
{
    if (!m_initialized || !m_visible) {
        return;
    }
    ++m_paintCount;
    const qreal ratio = devicePixelRatioF();
    const int deviceWidth = int(width() * ratio);
    const int deviceHeight = int(height() * ratio);
    glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
    glViewport(0, 0, deviceWidth, deviceHeight);
    if (!m_offscreen) {
        m_renderer->draw();
        glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
        glViewport(0, 0, deviceWidth, deviceHeight);
    }
    glClearColor(0.f, 0.f, 0.f, 1.f);
    glClear(GL_COLOR_BUFFER_BIT);
    const GLuint texture = m_renderer->frameBufferTexture();
    if (!m_program || texture == 0) {
        return;
    }
    m_program->bind();
    m_program->setUniformValue("u_Texture0", 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    m_quadArray.bind();
    if (m_partChanged) {
        const std::array<GLfloat, 20> quad = screenQuad(m_part);
        m_quadVertices.bind();
        m_quadVertices.write(0, quad.data(), int(sizeof quad));
        m_quadVertices.release();
        m_partChanged = false;
    }
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
    m_quadArray.release();
    m_program->release();
    glBindTexture(GL_TEXTURE_2D, 0);
}

void OpenGLVideoWidget::onStart()
{
    m_framesSinceStats = 0;
}

void OpenGLVideoWidget::onStop()
{
    printRenderStats();
}

void OpenGLVideoWidget::onFrame(VideoFrame videoFrame)
{
    if (!m_initialized || !m_visible) {
        return;
    }
    ++m_framesSinceStats;
    emit renderFrame(videoFrame);
}

void OpenGLVideoWidget::printRenderStats()
{
    qDebug("OpenGLVideoWidget: %d frames rendered, %d paints", m_framesSinceStats, m_paintCount);
    m_framesSinceStats = 0;
}

void OpenGLVideoWidget::onStartRecording()
{
    m_renderer->onStartRecording();
}

void OpenGLVideoWidget::onStopRecording()
{
    m_renderer->onStopRecording();
}

void OpenGLVideoWidget::onSetNegative(bool negative)
{
    m_renderer->onSetNegative(negative);
}

void OpenGLVideoWidget::onSetBlackBalance(float red, float green, float blue)
{
    m_renderer->onSetBlackBalance(red, green, blue);
}

void OpenGLVideoWidget::onSetBlackBalanceR(float value)
{
    m_renderer->onSetBlackBalanceR(value);
}

void OpenGLVideoWidget::onSetBlackBalanceG(float value)
{
    m_renderer->onSetBlackBalanceG(value);
}

void OpenGLVideoWidget::onSetBlackBalanceB(float value)
{
    m_renderer->onSetBlackBalanceB(value);
}

void OpenGLVideoWidget::onUpdateWatermarkText(RenderTextInfo info)
{
    QVector<RenderTextInfo> texts = m_renderer->watermarkTexts();
    if (texts.isEmpty()) {
        texts.append(info);
    } else {
        texts.first() = info;
    }
    m_renderer->setWatermarkTexts(texts);
}

void OpenGLVideoWidget::onSetWatermarkVisible(bool visible)
{
    m_renderer->setWatermarkVisible(visible);
}

void OpenGLVideoWidget::onSetFFCStatus(bool enable)
{
    m_renderer->onSetFFCStatus(enable);
}

void OpenGLVideoWidget::onSetFFCAverageFrame(VideoFrame frame)
{
    m_renderer->onSetFFCAverageFrame(frame);
}

void OpenGLVideoWidget::onSetHistogramStatus(bool enable)
{
    m_renderer->onSetHistogramStatus(enable);
}

void OpenGLVideoWidget::onSetHistogramBoundaries(QVector<HistogramBoundaryInfo> infos, int max)
{
    m_renderer->onSetHistogramBoundaries(infos, max);
}
