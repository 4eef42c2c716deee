#include "EditTextLayout.h"

#include <QFontMetricsF>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace render {

namespace {

// Text fields keep a 2-pixel gutter inside their bounds.
constexpr double kGutter = 40;
// Device fonts are built at this pixel size and scaled: Qt takes whole pixel sizes.
constexpr int kDevicePixelSize = 256;

struct Line {
    QString text;
    double width = 0;
    bool firstOfParagraph = false;
};

double widthOf(const QString& text, const TextFace& face)
{
    double width = 0;
    for (QChar c : text)
        width += face.advance(c);
    return width;
}

// Breaks one paragraph into lines no wider than `available` (words are never split).
void wrapParagraph(const QString& paragraph, double available, double indent, const TextFace& face,
                   std::vector<Line>& lines)
{
    Line current{{}, 0, true};
    double limit = available - indent;
    qsizetype i = 0;
    while (i < paragraph.size()) {
        qsizetype end = i;
        while (end < paragraph.size() && paragraph[end] != QLatin1Char(' '))
            ++end;
        while (end < paragraph.size() && paragraph[end] == QLatin1Char(' '))
            ++end;
        const QString word = paragraph.mid(i, end - i);
        const QString trimmed = word.trimmed();
        const double wordWidth = widthOf(word, face);
        if (!current.text.isEmpty() && current.width + widthOf(trimmed, face) > limit) {
            lines.push_back(current);
            current = Line{};
            limit = available;
        }
        current.text += word;
        current.width += wordWidth;
        i = end;
    }
    // Trailing spaces take no room when aligning.
    while (current.text.endsWith(QLatin1Char(' '))) {
        current.width -= face.advance(QLatin1Char(' '));
        current.text.chop(1);
    }
    lines.push_back(current);
}

} // namespace

EmbeddedFace::EmbeddedFace(std::shared_ptr<const PreparedFont> font, double height)
    : m_font(std::move(font)), m_scale(height / std::max(1.0, m_font->font->emSize)),
      m_height(height)
{}

double EmbeddedFace::advance(QChar c) const
{
    const int index = m_font->glyph(c.unicode());
    if (index < 0)
        return 0;
    const swf::Glyph& glyph = m_font->font->glyphs[std::size_t(index)];
    if (m_font->font->hasLayout)
        return glyph.advance * m_scale;
    // Without layout data the outline's width stands in for the advance.
    return (glyph.bounds.xMax.value > 0
                ? glyph.bounds.xMax.value
                : m_font->glyphs[std::size_t(index)].boundingRect().right()) *
           m_scale;
}

double EmbeddedFace::ascent() const
{
    return m_font->font->hasLayout ? m_font->font->ascent * m_scale : m_height * 0.8;
}

double EmbeddedFace::descent() const
{
    return m_font->font->hasLayout ? m_font->font->descent * m_scale : m_height * 0.2;
}

void EmbeddedFace::addText(QPainterPath& path, QPointF origin, const QString& text) const
{
    QPointF pen = origin;
    for (QChar c : text) {
        const int index = m_font->glyph(c.unicode());
        if (index >= 0)
            path.addPath(QTransform(m_scale, 0, 0, m_scale, pen.x(), pen.y())
                             .map(m_font->glyphs[std::size_t(index)]));
        pen.rx() += advance(c);
    }
}

bool EmbeddedFace::covers(const QString& text) const
{
    return std::any_of(text.begin(), text.end(),
                       [this](QChar c) { return m_font->glyph(c.unicode()) >= 0; });
}

DeviceFace::DeviceFace(const swf::Font* movieFont, double height)
    : m_scale(std::max(1.0, height) / kDevicePixelSize)
{
    QString family = QStringLiteral("sans-serif");
    QFont::StyleHint hint = QFont::SansSerif;
    if (movieFont) {
        const QString name = QString::fromUtf8(movieFont->name.c_str());
        if (name == QLatin1String("_serif")) {
            family = QStringLiteral("serif");
            hint = QFont::Serif;
        } else if (name == QLatin1String("_typewriter")) {
            family = QStringLiteral("monospace");
            hint = QFont::TypeWriter;
        } else if (!name.isEmpty() && !name.startsWith(QLatin1Char('_'))) {
            family = name;
        }
        m_font.setBold(movieFont->bold);
        m_font.setItalic(movieFont->italic);
    }
    m_font.setFamily(family);
    m_font.setStyleHint(hint);
    m_font.setPixelSize(kDevicePixelSize);
}

double DeviceFace::advance(QChar c) const
{
    return QFontMetricsF(m_font).horizontalAdvance(c) * m_scale;
}

double DeviceFace::ascent() const
{
    return QFontMetricsF(m_font).ascent() * m_scale;
}

double DeviceFace::descent() const
{
    return QFontMetricsF(m_font).descent() * m_scale;
}

void DeviceFace::addText(QPainterPath& path, QPointF origin, const QString& text) const
{
    QPainterPath glyphs;
    glyphs.addText(0, 0, m_font, text);
    path.addPath(QTransform(m_scale, 0, 0, m_scale, origin.x(), origin.y()).map(glyphs));
}

QPainterPath layoutEditText(const swf::EditText& field, const QString& text, const TextFace& face)
{
    const double left = field.bounds.xMin.value + kGutter + field.leftMargin;
    const double right = field.bounds.xMax.value - kGutter - field.rightMargin;
    const double available = std::max(0.0, right - left);

    QStringList paragraphs = text.split(QLatin1Char('\n'));
    if (!field.multiline) {
        // A single-line field shows its first line.
        paragraphs = QStringList{paragraphs.value(0)};
    }
    std::vector<Line> lines;
    for (const QString& paragraph : paragraphs) {
        if (field.wordWrap) {
            wrapParagraph(paragraph, available, field.indent, face, lines);
        } else {
            lines.push_back(Line{paragraph, widthOf(paragraph, face), true});
        }
    }

    QPainterPath path;
    const double lineHeight = face.ascent() + face.descent() + field.leading;
    double baseline = field.bounds.yMin.value + kGutter + face.ascent();
    for (const Line& line : lines) {
        const double indent = line.firstOfParagraph ? field.indent : 0;
        double x = left + indent;
        const double room = available - indent - line.width;
        if (field.align == swf::TextAlign::Right)
            x += room;
        else if (field.align == swf::TextAlign::Center)
            x += room / 2;
        face.addText(path, QPointF(x, baseline), line.text);
        baseline += lineHeight;
        // Lines wholly below the box cannot show.
        if (baseline - face.ascent() > field.bounds.yMax.value)
            break;
    }
    path.setFillRule(face.fillRule());
    return path;
}

} // namespace render
