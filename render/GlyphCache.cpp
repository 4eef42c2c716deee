#include "GlyphCache.h"

#include "PathFlattener.h"

#include <QPolygonF>
#include <algorithm>

namespace render {

namespace {

// Contours a glyph keeps oriented: more than any font draws, and the nesting test is
// quadratic in them.
constexpr qsizetype kMaxOrientedContours = 256;

double signedArea(const QPolygonF& contour)
{
    double area = 0;
    for (qsizetype i = 0, n = contour.size(); i < n; ++i) {
        const QPointF& a = contour[i];
        const QPointF& b = contour[(i + 1) % n];
        area += a.x() * b.y() - b.x() * a.y();
    }
    return area;
}

// The same even-odd outline with each contour turned so that it also fills right
// under the winding rule: contours nested an even number of times one way, the others
// the other way. Glyphs that overlap their neighbours then join rather than cancel.
QPainterPath orientedForWinding(const QPainterPath& glyph)
{
    QList<QPolygonF> contours = glyph.toSubpathPolygons();
    if (contours.size() > kMaxOrientedContours)
        return glyph;
    QPainterPath out;
    for (qsizetype i = 0; i < contours.size(); ++i) {
        QPolygonF& contour = contours[i];
        if (contour.size() < 3)
            continue;
        int depth = 0;
        for (qsizetype j = 0; j < contours.size(); ++j)
            if (j != i && contours[j].containsPoint(contour.front(), Qt::OddEvenFill))
                ++depth;
        if ((signedArea(contour) > 0) != (depth % 2 == 0))
            std::reverse(contour.begin(), contour.end());
        out.addPolygon(contour);
        out.closeSubpath();
    }
    return out;
}

} // namespace

std::shared_ptr<const PreparedFont> GlyphCache::get(const swf::Font& font, int level)
{
    const Key key{&font, level};
    if (auto found = m_cache.find(key))
        return found;
    auto prepared = std::make_shared<PreparedFont>();
    prepared->font = &font;
    const double tolerance = toleranceAtLevel(level);
    prepared->glyphs.reserve(font.glyphs.size());
    prepared->bytes = sizeof(PreparedFont);
    for (std::size_t i = 0; i < font.glyphs.size(); ++i) {
        QPainterPath path = orientedForWinding(
            flattenPath(font.glyphs[i].outline, tolerance, SubpathClosing::CloseAll));
        path.setFillRule(Qt::OddEvenFill);
        prepared->bytes += sizeof(QPainterPath) + std::size_t(path.elementCount()) * 24;
        prepared->glyphs.push_back(std::move(path));
        // The first glyph with a code keeps it, as a lookup by code would find it.
        prepared->glyphForCode.emplace(font.glyphs[i].code, static_cast<int>(i));
    }
    const std::size_t bytes = prepared->bytes;
    return m_cache.insert(key, std::move(prepared), bytes);
}

} // namespace render
