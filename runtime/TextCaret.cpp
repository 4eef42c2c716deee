#include "TextCaret.h"

#include "EditTextObject.h"

#include <algorithm>
#include <cmath>

namespace runtime {

namespace {

struct Origin {
    double x = 0; // where the lines' x and glyphs count from, own twips
    double y = 0; // where the first line's top is
};

Origin textOrigin(const EditTextObject& field, const TextLayout& layout)
{
    const swf::Rect& box = field.definition().bounds;
    return {box.xMin.value - field.hscroll() * 20.0,
            box.yMin.value + kTextGutter - double(layout.scrollOffset(field.scroll()))};
}

// The line holding unit `index`: the last one starting at or before it.
const LaidLine& lineOf(const TextLayout& layout, std::size_t index)
{
    const auto after =
        std::upper_bound(layout.lines.begin(), layout.lines.end(), index,
                         [](std::size_t unit, const LaidLine& line) { return unit < line.begin; });
    return after == layout.lines.begin() ? layout.lines.front() : *(after - 1);
}

// The x of unit `unit` on its line, from the line's left edge: one glyph stands for
// each unit of the line.
double unitX(const TextLayout& layout, const LaidLine& line, std::size_t unit)
{
    if (line.runCount == 0 || unit <= line.begin)
        return 0;
    const std::size_t first = layout.runs[line.firstRun].firstGlyph;
    const std::size_t before = first + std::min(unit, line.end) - line.begin - 1;
    if (before >= layout.glyphs.size())
        return 0;
    const LaidGlyph& glyph = layout.glyphs[before];
    return glyph.x + glyph.advance;
}

bool toLocal(const EditTextObject& field, double x, double y, double& localX, double& localY)
{
    swf::Matrix inverse;
    if (!field.worldMatrix().invert(inverse))
        return false;
    localX = inverse.mapX(x, y);
    localY = inverse.mapY(x, y);
    return true;
}

} // namespace

std::size_t caretIndexAt(const EditTextObject& field, double x, double y)
{
    const std::size_t length = field.content().length();
    double localX = 0;
    double localY = 0;
    if (!toLocal(field, x, y, localX, localY))
        return length;
    const std::shared_ptr<const TextLayout> layout = field.layout();
    if (!layout || layout->lines.empty())
        return length;
    const Origin origin = textOrigin(field, *layout);
    const double fromTop = localY - origin.y;
    const auto below =
        std::find_if(layout->lines.begin(), layout->lines.end(),
                     [&](const LaidLine& line) { return fromTop < line.bottom() + line.leading; });
    const LaidLine& line = below == layout->lines.end() ? layout->lines.back() : *below;
    if (line.runCount == 0)
        return std::min(line.begin, length);
    const std::size_t first = layout->runs[line.firstRun].firstGlyph;
    const double along = localX - origin.x - line.x;
    for (std::size_t unit = line.begin; unit < line.end; ++unit) {
        const std::size_t index = first + (unit - line.begin);
        if (index >= layout->glyphs.size())
            break;
        const LaidGlyph& glyph = layout->glyphs[index];
        if (along < glyph.x + glyph.advance / 2.0)
            return unit;
    }
    return std::min(line.end, length);
}

std::optional<std::size_t> unitAt(const EditTextObject& field, double x, double y)
{
    double localX = 0;
    double localY = 0;
    if (!toLocal(field, x, y, localX, localY))
        return std::nullopt;
    const std::shared_ptr<const TextLayout> layout = field.layout();
    if (!layout)
        return std::nullopt;
    const Origin origin = textOrigin(field, *layout);
    const double fromTop = localY - origin.y;
    for (const LaidLine& line : layout->lines) {
        if (fromTop < line.top || fromTop >= line.bottom() || line.runCount == 0)
            continue;
        const std::size_t first = layout->runs[line.firstRun].firstGlyph;
        const double along = localX - origin.x - line.x;
        for (std::size_t unit = line.begin; unit < line.end; ++unit) {
            const std::size_t index = first + (unit - line.begin);
            if (index >= layout->glyphs.size())
                break;
            const LaidGlyph& glyph = layout->glyphs[index];
            if (along >= glyph.x && along < glyph.x + glyph.advance)
                return unit;
        }
    }
    return std::nullopt;
}

std::optional<std::pair<std::size_t, std::size_t>> lineAround(const EditTextObject& field,
                                                              std::size_t index)
{
    const std::shared_ptr<const TextLayout> layout = field.layout();
    if (!layout || layout->lines.empty())
        return std::nullopt;
    const LaidLine& line = lineOf(*layout, index);
    return std::pair{line.begin, line.end};
}

Bounds caretBox(const EditTextObject& field, std::size_t index)
{
    const std::shared_ptr<const TextLayout> layout = field.layout();
    const swf::Rect& box = field.definition().bounds;
    Bounds caret;
    if (!layout || layout->lines.empty()) {
        // No text: the caret stands at the first line's place, as tall as the font.
        const double x = box.xMin.value + kTextGutter;
        const double y = box.yMin.value + kTextGutter;
        caret.include(x, y);
        caret.include(x, y + field.definition().height);
        return caret;
    }
    const Origin origin = textOrigin(field, *layout);
    const LaidLine& line = lineOf(*layout, index);
    const double x = origin.x + line.x + unitX(*layout, line, index);
    const double top = origin.y + line.top;
    caret.include(x, top);
    caret.include(x, top + line.ascent + line.descent);
    return caret;
}

std::vector<Bounds> selectionBoxes(const EditTextObject& field, std::size_t begin, std::size_t end)
{
    std::vector<Bounds> boxes;
    const std::shared_ptr<const TextLayout> layout = field.layout();
    if (!layout || begin >= end)
        return boxes;
    const Origin origin = textOrigin(field, *layout);
    for (const LaidLine& line : layout->lines) {
        if (line.end <= begin)
            continue;
        if (line.begin >= end)
            break;
        const double left = unitX(*layout, line, std::max(begin, line.begin));
        const double right = unitX(*layout, line, std::min(end, line.end));
        if (right <= left)
            continue;
        Bounds box;
        box.include(origin.x + line.x + left, origin.y + line.top);
        box.include(origin.x + line.x + right, origin.y + line.bottom());
        boxes.push_back(box);
    }
    return boxes;
}

swf::Rect twipsRect(const Bounds& box)
{
    const auto twips = [](double value) {
        constexpr double kFar = 1 << 30;
        return swf::Twips{static_cast<std::int32_t>(std::lround(std::clamp(value, -kFar, kFar)))};
    };
    return swf::Rect{twips(box.xMin), twips(box.xMax), twips(box.yMin), twips(box.yMax)};
}

} // namespace runtime
