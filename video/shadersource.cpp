#include "shadersource.h"

#include <QDebug>
#include <QFile>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <cstdio>
#include <cstring>

namespace ShaderSource {

int parseGlslVersion(const char *text)
{
    if (!text) {
        return 0;
    }
    static const char esPrefix[] = "OpenGL ES GLSL ES ";
    if (std::strncmp(text, esPrefix, sizeof esPrefix - 1) == 0) {
        text += sizeof esPrefix - 1;
    }
    int major = 0;
    int minor = 0;
    if (std::sscanf(text, "%d.%d", &major, &minor) != 2 || major < 1 || minor < 0) {
        return 0;
    }
    return major * 100 + minor;
}

double parseGlVersion(const char *text)
{
    if (!text) {
        return 0;
    }
    static const char esPrefix[] = "OpenGL ES ";
    if (std::strncmp(text, esPrefix, sizeof esPrefix - 1) == 0) {
        text += sizeof esPrefix - 1;
    }
    int major = 0;
    int minor = 0;
    if (std::sscanf(text, "%d.%d", &major, &minor) != 2 || major < 1 || minor < 0 || minor > 9) {
        return 0;
    }
    return major + minor / 10.0;
}

QByteArray header(int glslVersion, bool es, Stage stage)
{
    QByteArray text = "#version " + QByteArray::number(glslVersion) + (es ? " es" : "") + "\n";
    text += "#ifdef GL_ES \nprecision mediump int;\nprecision mediump float;\n#endif\n";
    if (stage == Stage::Fragment) {
        text += "#if __VERSION__ < 130\n#define texture texture2D\n#else\n#define texture2D texture\n#endif // < 130\n";
    }
    if (glslVersion >= 130) {
        if (stage == Stage::Vertex) {
            text += "#define attribute in\n#define varying out\n";
        } else {
            text += "#define varying in\n#define gl_FragColor out_color\nout vec4 gl_FragColor;\n";
        }
    }
    return text;
}

QByteArray load(const QString &path, int glslVersion, bool es, Stage stage)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return header(glslVersion, es, stage) + file.readAll();
}

int contextGlslVersion()
{
    static const int version = [] {
        QOpenGLContext *context = QOpenGLContext::currentContext();
        if (!context) {
            qWarning("%s: current context is null", "contextGlslVersion");
            return 110;
        }
        const auto *text =
            reinterpret_cast<const char *>(context->functions()->glGetString(GL_SHADING_LANGUAGE_VERSION));
        int parsed = parseGlslVersion(text);
        if (parsed == 0) {
            qWarning("Failed to detect glsl version using GL_SHADING_LANGUAGE_VERSION!");
            parsed = 110;
        }
        qDebug("GLSL Version: %d", parsed);
        return parsed;
    }();
    return version;
}

bool buildProgram(QOpenGLShaderProgram &program, const QString &vertexPath, const QString &fragmentPath,
                  const QList<QByteArray> &attributes)
{
    QOpenGLContext *context = QOpenGLContext::currentContext();
    if (!context) {
        qWarning("%s: current context is null", "buildProgram");
        return false;
    }
    const bool es = context->isOpenGLES();
    const int version = contextGlslVersion();
    const QByteArray vertex = load(vertexPath, version, es, Stage::Vertex);
    if (vertex.isEmpty()) {
        qWarning() << "Open vertex source file failed" << vertexPath;
        return false;
    }
    const QByteArray fragment = load(fragmentPath, version, es, Stage::Fragment);
    if (fragment.isEmpty()) {
        qWarning() << "Open fragrament source file failed" << fragmentPath;
        return false;
    }
    if (!program.addShaderFromSourceCode(QOpenGLShader::Vertex, vertex) ||
        !program.addShaderFromSourceCode(QOpenGLShader::Fragment, fragment)) {
        qWarning() << "Shader program compile failed" << program.log();
        return false;
    }
    for (int i = 0; i < attributes.size(); ++i) {
        program.bindAttributeLocation(attributes[i].constData(), i);
    }
    if (!program.link()) {
        qWarning() << "Shader program compile failed" << program.log();
        return false;
    }
    return true;
}

} // namespace ShaderSource
