#pragma once

#include "GlyphCache.h"
#include "format/Text.h"

#include <QFont>
#include <QPainterPath>
#include <QString>
#include <memory>

namespace render {

// What the layout needs of a font: widths, vertical metrics, and glyph outlines. All
// lengths are in the field's twips.
class TextFace {
public:
    virtual ~TextFace() = default;
    virtual double advance(QChar c) const = 0;
    virtual double ascent() const = 0;
    virtual double descent() const = 0;
    // Adds the outlines of `text` with its first glyph's origin at `origin`.
    virtual void addText(QPainterPath& path, QPointF origin, const QString& text) const = 0;
    // Movie glyphs are even-odd contours; system fonts wind.
    virtual Qt::FillRule fillRule() const = 0;
};

// A movie font's glyphs, scaled from its em units to `height` twips.
class EmbeddedFace : public TextFace {
public:
    EmbeddedFace(std::shared_ptr<const PreparedFont> font, double height);
    double advance(QChar c) const override;
    double ascent() const override;
    double descent() const override;
    void addText(QPainterPath& path, QPointF origin, const QString& text) const override;
    Qt::FillRule fillRule() const override { return Qt::OddEvenFill; }

    // True when the font draws at least one of the characters.
    bool covers(const QString& text) const;

private:
    std::shared_ptr<const PreparedFont> m_font;
    double m_scale;
    double m_height;
};

// A system font standing in for a font the movie does not embed.
class DeviceFace : public TextFace {
public:
    DeviceFace(const swf::Font* movieFont, double height);
    double advance(QChar c) const override;
    double ascent() const override;
    double descent() const override;
    void addText(QPainterPath& path, QPointF origin, const QString& text) const override;
    Qt::FillRule fillRule() const override { return Qt::WindingFill; }

private:
    QFont m_font;
    double m_scale; // twips per font pixel
};

// Lays the field's text out in its box (margins, indent, leading, alignment, word wrap,
// single or multiple lines) and returns the glyphs in the field's twips.
QPainterPath layoutEditText(const swf::EditText& field, const QString& text, const TextFace& face);

} // namespace render
