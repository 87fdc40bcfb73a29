#include "glyphcache.h"

#include <QDebug>
#include <QFile>

#include <ft2build.h>
#include FT_FREETYPE_H

bool GlyphCache::load(QOpenGLFunctions *gl, const QString &fontPath)
{
    release(gl);
    QFile file(fontPath);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning() << "Failed to open font file" << fontPath;
        return false;
    }
    // FreeType reads the face from memory for its whole life, so the bytes outlive it.
    const QByteArray fontData = file.readAll();

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        qWarning() << "Could not init FreeType library";
        return false;
    }
    FT_Face face = nullptr;
    if (FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte *>(fontData.constData()), FT_Long(fontData.size()),
                           0, &face) != 0) {
        qWarning() << "Failed to load font" << fontPath;
        FT_Done_FreeType(library);
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, kPixelSize);
    m_ascender = int(face->size->metrics.ascender >> 6);

    GLint previousAlignment = 4;
    gl->glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    gl->glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (unsigned code = 0; code < m_glyphs.size(); ++code) {
        Glyph &glyph = m_glyphs[code];
        if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0) {
            qWarning() << "Failed to load Glyph" << code;
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;
        gl->glGenTextures(1, &glyph.texture);
        gl->glBindTexture(GL_TEXTURE_2D, glyph.texture);
        // An empty bitmap (the space) still gets a 1 x 1 texture, so every glyph binds.
        const unsigned char blank = 0;
        const bool empty = slot->bitmap.width == 0 || slot->bitmap.rows == 0;
        gl->glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, empty ? 1 : GLsizei(slot->bitmap.width),
                         empty ? 1 : GLsizei(slot->bitmap.rows), 0, GL_RED, GL_UNSIGNED_BYTE,
                         empty ? &blank : slot->bitmap.buffer);
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        gl->glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glyph.size = QSize(int(slot->bitmap.width), int(slot->bitmap.rows));
        glyph.bearing = QPoint(slot->bitmap_left, slot->bitmap_top);
        glyph.advance = int(slot->advance.x >> 6);
    }
    gl->glBindTexture(GL_TEXTURE_2D, 0);
    gl->glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    m_loaded = true;
    return true;
}

void GlyphCache::release(QOpenGLFunctions *gl)
{
    for (Glyph &glyph : m_glyphs) {
        if (glyph.texture != 0) {
            gl->glDeleteTextures(1, &glyph.texture);
        }
        glyph = Glyph{};
    }
    m_loaded = false;
}

const GlyphCache::Glyph &GlyphCache::glyph(unsigned char code) const
{
    return m_glyphs[code < m_glyphs.size() ? code : '?'];
}

int GlyphCache::textWidth(const QByteArray &latin1) const
{
    int width = 0;
    for (const char c : latin1) {
        width += glyph(static_cast<unsigned char>(c)).advance;
    }
    return width;
}
