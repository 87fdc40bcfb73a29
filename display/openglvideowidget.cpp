#include "openglvideowidget.h"

#include "renderer.h"
#include "shadersource.h"

#include <QDebug>
#include <QMessageBox>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QTimer>

OpenGLVideoWidget::OpenGLVideoWidget(bool offscreen, bool cpuProcessing, QWidget *parent)
    : QOpenGLWidget(parent)
    , m_offscreen(offscreen)
    , m_forceCpu(cpuProcessing)
    , m_renderer(std::make_unique<Renderer>(offscreen, cpuProcessing))
{}

void OpenGLVideoWidget::setCorrectionOption(const QString &option)
{
    m_correctionOption = option;
}

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
    const QByteArray glRenderer(reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
    qDebug("Vendor: %s\n Renderer: %s\n OpenGL Version: %s\n", reinterpret_cast<const char *>(glGetString(GL_VENDOR)),
           glRenderer.constData(), reinterpret_cast<const char *>(glGetString(GL_VERSION)));
    qDebug() << "OpenGL surface format:" << glContext->format();

    // A new top-level window brings a new context: give everything back before the old one goes.
    QObject::disconnect(m_contextConnection);
    m_contextConnection = connect(glContext, &QOpenGLContext::aboutToBeDestroyed, this, &OpenGLVideoWidget::releaseGl);

    // The fragment pass is slow on a software rasteriser; the CPU corrections are not.
    const QString option = m_correctionOption.toLower();
    const bool cpu = m_forceCpu || option == QLatin1String("cpu") ||
                     (option != QLatin1String("gpu") && Renderer::isSoftwareRasterizer(glRenderer));
    qInfo("Picture corrections on the %s (OpenGL renderer \"%s\", option \"%s\")", cpu ? "CPU" : "graphics card",
          glRenderer.constData(), qPrintable(m_correctionOption));
    m_renderer->setCpuProcessing(cpu);

    m_renderer->setContext(glContext, glContext->surface());
    connect(m_renderer.get(), &Renderer::pictureChanged, this, QOverload<>::of(&QWidget::update), Qt::UniqueConnection);
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
    if (m_renderer->drawScreen(m_part)) {
        ++m_shownFrames;
    }
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
