#pragma once

#include <QSurfaceFormat>

// The OpenGL context the live display draws with: depth 24, stencil 8; OpenGL 3.3 core on
// desktop GL, 3.0 on OpenGL ES. The program, its tests and its benchmarks all ask for this one.
QSurfaceFormat videoSurfaceFormat();
// Makes it the default of every context and window made afterwards (call before the
// application object exists).
void setDefaultSurfaceFormat();
