#include "Drawing.h"

#include "BitmapData.h"
#include "DrawingShapeBuilder.h"
#include "Limits.h"

#include <algorithm>

namespace runtime {

bool DrawingBudget::take(std::size_t count)
{
    if (count > limits::kMaxDrawingCommandsTotal - m_used)
        return false;
    m_used += count;
    return true;
}

Drawing::~Drawing()
{
    if (m_budget)
        m_budget->give(m_commands.size());
}

bool Drawing::room(std::size_t commands) const
{
    return m_commands.size() + commands <= limits::kMaxDrawingCommands;
}

bool Drawing::append(const Command& command)
{
    if (!room(1) || (m_budget && !m_budget->take(1)))
        return false;
    m_commands.push_back(command);
    m_stale = true;
    return true;
}

bool Drawing::beginFill(const swf::FillStyle& fill)
{
    if (m_fills.size() >= limits::kMaxDrawingStyles)
        return false;
    Command command{Command::Kind::BeginFill, static_cast<std::uint32_t>(m_fills.size())};
    if (!append(command))
        return false;
    m_fills.push_back(fill);
    m_filling = true;
    return true;
}

bool Drawing::beginBitmapFill(swf::FillStyle fill, std::shared_ptr<BitmapData> bitmap)
{
    if (!bitmap)
        return false;
    auto found = std::find(m_bitmaps.begin(), m_bitmaps.end(), bitmap);
    const auto index = static_cast<std::size_t>(found - m_bitmaps.begin());
    // Every bitmap has a fill of its own, so the styles' cap bounds them too.
    if (index >= limits::kMaxDrawingStyles)
        return false;
    fill.bitmapId = static_cast<swf::CharacterId>(index);
    if (!beginFill(fill))
        return false;
    if (found == m_bitmaps.end())
        m_bitmaps.push_back(std::move(bitmap));
    return true;
}

bool Drawing::endFill()
{
    // Ending no fill changes nothing: no need to record it.
    if (!m_filling)
        return true;
    if (!append({Command::Kind::EndFill}))
        return false;
    m_filling = false;
    return true;
}

bool Drawing::setLineStyle(const std::optional<swf::LineStyle>& line)
{
    if (!line) {
        if (m_line == kNoStyle)
            return true;
        if (!append({Command::Kind::LineStyle, kNoStyle}))
            return false;
        m_line = kNoStyle;
        return true;
    }
    if (m_lines.size() >= limits::kMaxDrawingStyles)
        return false;
    const auto index = static_cast<std::uint32_t>(m_lines.size());
    if (!append({Command::Kind::LineStyle, index}))
        return false;
    m_lines.push_back(*line);
    m_line = index;
    return true;
}

bool Drawing::setLineFill(const swf::FillStyle& fill)
{
    if (m_line == kNoStyle)
        return false;
    swf::LineStyle line = m_lines[m_line];
    line.fill = fill;
    return setLineStyle(line);
}

bool Drawing::moveTo(std::int32_t x, std::int32_t y)
{
    if (!append({Command::Kind::MoveTo, 0, x, y}))
        return false;
    return true;
}

bool Drawing::lineTo(std::int32_t x, std::int32_t y)
{
    if (!append({Command::Kind::LineTo, 0, x, y}))
        return false;
    return true;
}

bool Drawing::curveTo(std::int32_t controlX, std::int32_t controlY, std::int32_t x, std::int32_t y)
{
    if (!append({Command::Kind::CurveTo, 0, x, y, controlX, controlY}))
        return false;
    return true;
}

void Drawing::clear()
{
    if (m_budget)
        m_budget->give(m_commands.size());
    if (!m_commands.empty())
        m_stale = true;
    m_commands.clear();
    m_fills.clear();
    m_lines.clear();
    m_bitmaps.clear();
    m_line = kNoStyle;
    m_filling = false;
}

bool Drawing::copyFrom(const Drawing& other)
{
    if (m_budget)
        m_budget->give(m_commands.size());
    m_commands.clear();
    if (m_budget && !m_budget->take(other.m_commands.size())) {
        clear();
        return false;
    }
    m_commands = other.m_commands;
    m_fills = other.m_fills;
    m_lines = other.m_lines;
    m_bitmaps = other.m_bitmaps;
    m_line = other.m_line;
    m_filling = other.m_filling;
    m_stale = true;
    return true;
}

void Drawing::rebuild() const
{
    if (!m_stale)
        return;
    m_stale = false;
    if (m_commands == m_builtCommands && m_fills == m_builtFills && m_lines == m_builtLines &&
        m_bitmaps == m_builtBitmaps)
        return;
    m_builtCommands = m_commands;
    m_builtFills = m_fills;
    m_builtLines = m_lines;
    m_builtBitmaps = m_bitmaps;
    ++m_version;

    DrawingShapeBuilder builder;
    for (const Command& c : m_commands) {
        switch (c.kind) {
        case Command::Kind::MoveTo:
            builder.moveTo(c.x, c.y);
            break;
        case Command::Kind::LineTo:
            builder.lineTo(c.x, c.y);
            break;
        case Command::Kind::CurveTo:
            builder.curveTo(c.cx, c.cy, c.x, c.y);
            break;
        case Command::Kind::BeginFill:
            builder.beginFill(m_fills[c.style]);
            break;
        case Command::Kind::EndFill:
            builder.endFill();
            break;
        case Command::Kind::LineStyle:
            builder.setLine(c.style == kNoStyle ? nullptr : &m_lines[c.style]);
            break;
        }
    }
    m_shape = builder.finish();
}

std::shared_ptr<const swf::Shape> Drawing::shape() const
{
    rebuild();
    return m_shape;
}

std::uint64_t Drawing::version() const
{
    rebuild();
    return m_version;
}

Bounds Drawing::bounds() const
{
    rebuild();
    return m_shape ? Bounds::fromRect(m_shape->bounds) : Bounds{};
}

Bounds Drawing::edgeBounds() const
{
    rebuild();
    return m_shape ? Bounds::fromRect(m_shape->edgeBounds) : Bounds{};
}

} // namespace runtime
