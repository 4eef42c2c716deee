#include "StaticTextHitTest.h"

#include "HitTestBudget.h"
#include "ShapeHitTest.h"
#include "format/Movie.h"

namespace runtime {

bool hitTestStaticText(const swf::StaticText& text, const swf::MovieDefinition& movie, double x,
                       double y, HitTestBudget* budget)
{
    swf::Matrix inverse;
    if (!text.matrix.invert(inverse))
        return false;
    const double localX = inverse.mapX(x, y);
    const double localY = inverse.mapY(x, y);
    for (const swf::TextRun& run : text.runs) {
        const swf::Font* font = movie.get<swf::Font>(run.fontId);
        if (!font || run.height == 0 || font->emSize <= 0)
            continue;
        // Outlines are in em units: a run's height is one em.
        const double scale = run.height / font->emSize;
        const double glyphY = (localY - run.y) / scale;
        double penX = run.x;
        for (const swf::TextGlyph& glyph : run.glyphs) {
            if (budget && !budget->spend(1))
                return false;
            if (glyph.index < font->glyphs.size()) {
                const swf::Glyph& shape = font->glyphs[glyph.index];
                if (pointInFill(shape.outline, (localX - penX) / scale, glyphY, false, budget))
                    return true;
            }
            penX += glyph.advance;
        }
    }
    return false;
}

} // namespace runtime
