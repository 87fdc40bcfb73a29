#pragma once

#include <QByteArray>
#include <QString>

class QOpenGLShaderProgram;

// Shader sources for the context at hand: the version line and the compatibility defines that
// let one source serve GLSL 1.10 to 4.x and GLSL ES.
namespace ShaderSource {

enum class Stage { Vertex, Fragment };

// "4.50 …" gives 450, "OpenGL ES GLSL ES 3.00" gives 300; 0 when the text has no
// "major.minor" at its start.
int parseGlslVersion(const char *text);
// The leading "major.minor" of GL_VERSION as a number ("4.5 (Core Profile) Mesa" gives 4.5,
// "OpenGL ES 3.2 …" gives 3.2); 0 when unreadable.
double parseGlVersion(const char *text);

// The header put before every shader source of the given GLSL version (major x 100 + minor).
QByteArray header(int glslVersion, bool es, Stage stage);

// The resource file with the header for the current context; empty when it cannot be read.
QByteArray load(const QString &path, int glslVersion, bool es, Stage stage);

// The GLSL version of the current context, read once per process; 110 when unreadable.
int contextGlslVersion();

// Compiles and links vertexPath and fragmentPath (resources) into program with the header of
// the current context, binding the given attribute names to locations 0, 1, …. False, with the
// reason logged, on any failure.
bool buildProgram(QOpenGLShaderProgram &program, const QString &vertexPath, const QString &fragmentPath,
                  const QList<QByteArray> &attributes);

} // namespace ShaderSource
