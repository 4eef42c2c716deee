#include "TextLayout.h"

#include "Limits.h"

#include <algorithm>
#include <cmath>

namespace runtime {

namespace {

// A bullet paragraph's text starts this far in from its margin.
constexpr std::int32_t kBulletIndent = 36 * 20;
// With no tab stops set, a tab takes the room of this many spaces.
constexpr int kSpacesPerTab = 6;

std::int32_t pixels(const std::optional<std::int32_t>& value)
{
    const std::int64_t twips = std::int64_t(value.value_or(0)) * 20;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(twips, -limits::kMaxTextLengthTwips, limits::kMaxTextLengthTwips));
}

// Lines break after spaces only: tabs and no-break spaces hold words together.
bool isSpace(char16_t c)
{
    return c == u' ';
}

// The paragraph settings, from the format of its first unit.
struct Paragraph {
    swf::TextAlign align = swf::TextAlign::Left;
    std::int32_t leftMargin = 0, rightMargin = 0, indent = 0, blockIndent = 0, leading = 0;
    const std::vector<std::int32_t>* tabStops = nullptr;
    bool bullet = false;

    explicit Paragraph(const TextFormat& format)
        : align(format.align.value_or(swf::TextAlign::Left)),
          leftMargin(std::max(0, pixels(format.leftMargin))),
          rightMargin(std::max(0, pixels(format.rightMargin))), indent(pixels(format.indent)),
          blockIndent(std::max(0, pixels(format.blockIndent))), leading(pixels(format.leading)),
          tabStops(format.tabStops && !format.tabStops->empty() ? &*format.tabStops : nullptr),
          bullet(format.bullet.value_or(false))
    {}
};

// One unit of text with what layout needs of it.
struct Unit {
    char16_t code = 0;
    std::uint32_t font = 0;
    std::size_t format = 0;   // index into the run formats
    std::int32_t advance = 0; // with letter spacing and kerning; tabs get theirs on the line
};

class Layouter {
public:
    Layouter(const RichText& text, const TextBox& box, LayoutFontSource& fonts)
        : m_text(text), m_box(box), m_fonts(fonts)
    {
        m_out.box = box;
    }

    TextLayout run()
    {
        measureUnits();
        const std::u16string& units = m_text.text();
        std::size_t start = 0;
        while (start <= units.size() && !units.empty()) {
            std::size_t end = units.find(u'\r', start);
            if (end == std::u16string::npos)
                end = units.size();
            paragraph(start, end);
            // A line end closing the text opens no line after it.
            if (end + 1 >= units.size() || m_out.lines.size() >= limits::kMaxTextLines)
                break;
            start = end + 1;
        }
        finish();
        return std::move(m_out);
    }

private:
    struct FormatInfo {
        const TextFormat* format;
        std::uint32_t font;
        ScaledFont scaled;
    };

    void measureUnits()
    {
        const std::u16string& units = m_text.text();
        m_units.resize(units.size());
        std::size_t at = 0;
        for (const RichText::Run& run : m_text.runs()) {
            const std::uint32_t font = m_fonts.fontFor(run.format, m_out.fonts);
            const LayoutFont& laid = m_out.fonts[font];
            const std::int64_t size = std::clamp<std::int64_t>(
                std::int64_t(run.format.size.value_or(12)) * 20, 0, limits::kMaxTextSizeTwips);
            m_formats.push_back({&run.format, font,
                                 ScaledFont(laid.metrics.get(), static_cast<std::int32_t>(size))});
            const FormatInfo& info = m_formats.back();
            const double spacingTwips =
                std::clamp(run.format.letterSpacing.value_or(0) * 20,
                           -double(limits::kMaxTextSizeTwips), double(limits::kMaxTextSizeTwips));
            const auto spacing = static_cast<std::int32_t>(
                std::isfinite(spacingTwips) ? std::lround(spacingTwips) : 0);
            const bool kerning = run.format.kerning.value_or(false);
            for (std::size_t k = 0; k < run.length && at < units.size(); ++k, ++at) {
                Unit& unit = m_units[at];
                unit.code = m_box.password && units[at] != u'\r' ? u'*' : units[at];
                unit.font = font;
                unit.format = m_formats.size() - 1;
                if (unit.code == u'\r' || unit.code == u'\t' || !info.scaled.metrics)
                    continue;
                unit.advance = info.scaled.advance(unit.code) + spacing;
                if (kerning && k > 0)
                    unit.advance += info.scaled.kerning(m_units[at - 1].code, unit.code);
            }
        }
    }

    const FormatInfo& formatAt(std::size_t at) const
    {
        if (m_units.empty())
            return m_formats.front();
        return m_formats[m_units[std::min(at, m_units.size() - 1)].format];
    }

    // The advance of a tab that starts at `x` (from the line's left edge).
    std::int32_t tabAdvance(const Paragraph& paragraph, std::int32_t lineStart, std::int32_t x,
                            const FormatInfo& info) const
    {
        if (!paragraph.tabStops) {
            if (!info.scaled.metrics)
                return 0;
            return kSpacesPerTab * info.scaled.advance(U' ');
        }
        // Stops count from the text's left margin, the line's indent included.
        for (std::int32_t stop : *paragraph.tabStops) {
            const std::int64_t at = std::int64_t(stop) * 20 - lineStart;
            if (at > x)
                return static_cast<std::int32_t>(
                    std::min<std::int64_t>(at - x, limits::kMaxTextLengthTwips));
        }
        return 0;
    }

    // The advances of units [begin, end) laid from the line's left edge; tabs get theirs.
    void placeTabs(const Paragraph& paragraph, std::int32_t lineStart, std::size_t begin,
                   std::size_t end)
    {
        std::int32_t x = 0;
        for (std::size_t i = begin; i < end; ++i) {
            if (m_units[i].code == u'\t')
                m_units[i].advance = tabAdvance(paragraph, lineStart, x, formatAt(i));
            x = clampedAdd(x, m_units[i].advance);
        }
    }

    static std::int32_t clampedAdd(std::int32_t a, std::int32_t b)
    {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(
            std::int64_t(a) + b, -limits::kMaxTextLengthTwips, limits::kMaxTextLengthTwips));
    }

    std::int32_t contentWidth() const { return std::max(0, m_box.width - 2 * kTextGutter); }

    void paragraph(std::size_t begin, std::size_t end)
    {
        const Paragraph settings(*formatAt(begin).format);
        bool first = true;
        std::size_t lineStart = begin;
        while (true) {
            std::int32_t left = settings.leftMargin + settings.blockIndent +
                                (first ? settings.indent : 0) +
                                (settings.bullet ? kBulletIndent : 0);
            const std::int32_t available = contentWidth() - left - settings.rightMargin;
            std::size_t lineEnd = end;
            if (m_box.wordWrap)
                lineEnd = breakLine(settings, left, lineStart, end, available);
            else
                placeTabs(settings, left, lineStart, end);
            addLine(settings, lineStart, lineEnd, left, available, first, lineEnd >= end);
            if (lineEnd >= end || m_out.lines.size() >= limits::kMaxTextLines)
                return;
            first = false;
            lineStart = lineEnd;
        }
    }

    // Where the line from `begin` ends: after the last space before the unit that would
    // not fit, or before that unit when the line has no space to break at.
    std::size_t breakLine(const Paragraph& settings, std::int32_t left, std::size_t begin,
                          std::size_t end, std::int32_t available)
    {
        std::int32_t x = 0;
        std::size_t lastBreak = begin;
        for (std::size_t i = begin; i < end; ++i) {
            Unit& unit = m_units[i];
            if (unit.code == u'\t')
                unit.advance = tabAdvance(settings, left, x, formatAt(i));
            if (isSpace(unit.code)) {
                x = clampedAdd(x, unit.advance);
                lastBreak = i + 1;
                continue;
            }
            const std::int32_t next = clampedAdd(x, unit.advance);
            if (next > available && i > begin) {
                if (lastBreak > begin)
                    return lastBreak;
                return i;
            }
            x = next;
        }
        return end;
    }

    void addLine(const Paragraph& settings, std::size_t begin, std::size_t end, std::int32_t left,
                 std::int32_t available, bool first, bool lastOfParagraph)
    {
        LaidLine line;
        line.begin = begin;
        line.end = end;
        line.firstRun = m_out.runs.size();
        line.leading = settings.leading;
        std::int32_t x = 0;
        std::int32_t trimmed = 0;
        std::size_t spaces = 0;
        std::size_t trimmedEnd = begin;
        for (std::size_t i = begin; i < end; ++i) {
            const Unit& unit = m_units[i];
            const FormatInfo& info = m_formats[unit.format];
            line.ascent = std::max(line.ascent, info.scaled.ascent);
            line.descent = std::max(line.descent, info.scaled.descent);
            LaidRun* run = m_out.runs.size() > line.firstRun ? &m_out.runs.back() : nullptr;
            const std::uint32_t color = info.format->color.value_or(0);
            const bool underline = info.format->underline.value_or(false);
            if (!run || run->font != unit.font || run->size != info.scaled.size ||
                run->color != color || run->underline != underline) {
                m_out.runs.push_back(
                    {unit.font, info.scaled.size, color, underline, m_out.glyphs.size(), 0});
                run = &m_out.runs.back();
            }
            m_out.glyphs.push_back({unit.code, x, unit.advance});
            ++run->glyphCount;
            x = clampedAdd(x, unit.advance);
            if (!isSpace(unit.code)) {
                trimmed = x;
                trimmedEnd = i + 1;
            }
        }
        for (std::size_t i = begin; i < trimmedEnd; ++i)
            if (m_units[i].code == u' ')
                ++spaces;
        if (begin == end) {
            // An empty line is as tall as the format it would show new text in.
            const FormatInfo& info = formatAt(begin);
            line.ascent = info.scaled.ascent;
            line.descent = info.scaled.descent;
        }
        line.runCount = m_out.runs.size() - line.firstRun;

        std::int32_t offset = 0;
        const std::int32_t room = available - trimmed;
        switch (settings.align) {
        case swf::TextAlign::Right:
            offset = room;
            break;
        case swf::TextAlign::Center:
            offset = room / 2;
            break;
        case swf::TextAlign::Justify:
            if (!lastOfParagraph && spaces > 0 && room > 0)
                justify(line, trimmedEnd, room, spaces);
            break;
        default:
            break;
        }
        line.x = kTextGutter + left + offset;
        line.width = settings.align == swf::TextAlign::Left ? x : trimmed;
        if (settings.bullet && first)
            line.bulletX = kTextGutter + left - kBulletIndent;
        m_out.lines.push_back(line);
    }

    // Spreads `room` over the spaces before `trimmedEnd`, the first ones taking what
    // does not divide evenly.
    void justify(const LaidLine& line, std::size_t trimmedEnd, std::int32_t room,
                 std::size_t spaces)
    {
        const std::int32_t each = room / static_cast<std::int32_t>(spaces);
        std::int32_t extra = room % static_cast<std::int32_t>(spaces);
        std::int32_t shift = 0;
        std::size_t glyph = m_out.runs[line.firstRun].firstGlyph;
        for (std::size_t i = line.begin; i < line.end; ++i, ++glyph) {
            m_out.glyphs[glyph].x += shift;
            if (i < trimmedEnd && m_units[i].code == u' ') {
                const std::int32_t add = each + (extra > 0 ? 1 : 0);
                extra = std::max(0, extra - 1);
                m_out.glyphs[glyph].advance += add;
                shift += add;
            }
        }
    }

    void finish()
    {
        std::int64_t top = 0;
        std::int32_t width = 0;
        for (LaidLine& line : m_out.lines) {
            line.top = static_cast<std::int32_t>(
                std::clamp(top, -limits::kMaxTextLengthTwips, limits::kMaxTextLengthTwips));
            top += std::int64_t(line.ascent) + line.descent + line.leading;
            width = std::max(width, line.width);
        }
        // The last line's leading counts only when it is the only line.
        if (m_out.lines.size() > 1)
            top -= m_out.lines.back().leading;
        m_out.textWidth = width;
        m_out.textHeight = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(top, 0, limits::kMaxTextLengthTwips));
    }

    const RichText& m_text;
    TextBox m_box;
    LayoutFontSource& m_fonts;
    std::vector<Unit> m_units;
    std::vector<FormatInfo> m_formats;
    TextLayout m_out;
};

} // namespace

ScaledFont::ScaledFont(const FontMetrics* font, std::int32_t sizeTwips)
    : metrics(font), size(sizeTwips)
{
    if (!font)
        return;
    scale = sizeTwips / std::max(1.0, font->unitsPerEm());
    ascent = static_cast<std::int32_t>(std::floor(std::max(0.0, font->ascent()) * scale));
    descent = static_cast<std::int32_t>(std::floor(std::max(0.0, font->descent()) * scale));
}

std::int32_t ScaledFont::advance(char32_t code) const
{
    if (!metrics)
        return 0;
    const std::optional<double> units = metrics->advance(code);
    if (!units)
        return 0;
    // Whole twips, cut toward zero, glyph by glyph.
    return static_cast<std::int32_t>(std::clamp(std::trunc(*units * scale + 1e-9),
                                                -double(limits::kMaxTextLengthTwips),
                                                double(limits::kMaxTextLengthTwips)));
}

std::int32_t ScaledFont::kerning(char32_t left, char32_t right) const
{
    if (!metrics)
        return 0;
    const double units = metrics->kerning(left, right);
    return static_cast<std::int32_t>(
        std::clamp(std::trunc(units * scale), -double(size), double(size)));
}

int TextLayout::maxScroll() const
{
    // As many lines as show from the top are kept in view at the end.
    const int shown = bottomScroll(1);
    return std::max(1, lineCount() - shown + 1);
}

int TextLayout::bottomScroll(int scroll) const
{
    if (lines.empty())
        return 1;
    const std::size_t first = static_cast<std::size_t>(std::clamp(scroll, 1, lineCount()) - 1);
    const std::int32_t view = box.height - 2 * kTextGutter;
    std::size_t last = first;
    while (last + 1 < lines.size() && lines[last + 1].bottom() - lines[first].top <= view)
        ++last;
    return static_cast<int>(last) + 1;
}

std::int32_t TextLayout::maxHScroll() const
{
    const std::int32_t view = box.width - 2 * kTextGutter;
    return std::max(0, (textWidth - view) / 20);
}

std::int32_t TextLayout::scrollOffset(int scroll) const
{
    if (lines.empty())
        return 0;
    return lines[static_cast<std::size_t>(std::clamp(scroll, 1, lineCount()) - 1)].top;
}

TextLayout layoutText(const RichText& text, const TextBox& box, LayoutFontSource& fonts)
{
    return Layouter(text, box, fonts).run();
}

} // namespace runtime
