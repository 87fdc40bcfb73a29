#pragma once

#include <QByteArray>
#include <QOpenGLFunctions>
#include <QPoint>
#include <QSize>
#include <array>

// The ASCII glyphs of the watermark font as single-channel textures, rendered once by
// FreeType at 32 pixels. Needs a current OpenGL context for load() and for the destructor's
// release().
class GlyphCache
{
public:
    static constexpr int kPixelSize = 32;

    struct Glyph
    {
        GLuint texture = 0;
        QSize size;      // bitmap size in pixels
        QPoint bearing;  // from the pen position to the bitmap's left and top edges
        int advance = 0; // pen advance in pixels
    };

    // Reads the font from fontPath (a resource or a file) and makes the 128 glyph textures.
    // False, with the reason logged, when FreeType or the font fails.
    bool load(QOpenGLFunctions *gl, const QString &fontPath);
    void release(QOpenGLFunctions *gl);
    bool isLoaded() const { return m_loaded; }

    // The glyph of a Latin-1 code; characters beyond ASCII use '?'.
    const Glyph &glyph(unsigned char code) const;
    // Ascender of the font at kPixelSize: the height of a line above its baseline.
    int ascender() const { return m_ascender; }
    // Width in pixels of the text at kPixelSize.
    int textWidth(const QByteArray &latin1) const;

private:
    std::array<Glyph, 128> m_glyphs{};
    int m_ascender = kPixelSize;
    bool m_loaded = false;
};
