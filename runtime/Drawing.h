#pragma once

#include "Bounds.h"
#include "format/Shape.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace runtime {

class BitmapData;

// The drawing commands every clip of one player holds together, against
// limits::kMaxDrawingCommandsTotal.
class DrawingBudget {
public:
    bool take(std::size_t count);
    void give(std::size_t count) { m_used -= count < m_used ? count : m_used; }
    std::size_t used() const { return m_used; }

private:
    std::size_t m_used = 0;
};

// What a clip's scripts draw (moveTo, lineTo, curveTo, beginFill, lineStyle...): the
// calls as recorded, made into a shape's layers when the shape is drawn or measured.
// The clip draws it below its children. Coordinates are the clip's own twips.
//
// The rules it draws by:
//   - the pen starts at (0, 0) and stays where the last call left it;
//   - a fill's contours close with a straight edge back to where they began when the
//     fill ends (endFill, another fill begun), at a moveTo, and, while one is still
//     open, whenever the shape is read; that edge is stroked with the line style in
//     use like any other, and the pen stays where it was;
//   - a fill's contours are filled together, even-odd: one drawn inside another cuts a
//     hole;
//   - lines use the style set last; without one the pen moves and nothing is drawn;
//   - a fill begun after lines were drawn paints over them: it starts a new layer.
// Calls past limits::kMaxDrawingCommands (or the budget) and styles past
// limits::kMaxDrawingStyles are refused: the call returns false and nothing changes.
class Drawing {
public:
    explicit Drawing(DrawingBudget* budget = nullptr) : m_budget(budget) {}
    ~Drawing();
    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;

    // beginFill, beginGradientFill, beginBitmapFill: closes the fill in use first.
    bool beginFill(const swf::FillStyle& fill);
    // beginBitmapFill: `fill` a bitmap fill painting with `bitmap`'s pixels as they are
    // when drawn, not as they were at the call; its bitmapId is set to the bitmap's
    // place in bitmaps().
    bool beginBitmapFill(swf::FillStyle fill, std::shared_ptr<BitmapData> bitmap);
    // endFill, and beginFill without a colour.
    bool endFill();
    // lineStyle; nothing for no lines.
    bool setLineStyle(const std::optional<swf::LineStyle>& line);
    // lineGradientStyle: the line style in use painted with `fill`; false without one.
    bool setLineFill(const swf::FillStyle& fill);
    bool moveTo(std::int32_t x, std::int32_t y);
    bool lineTo(std::int32_t x, std::int32_t y);
    bool curveTo(std::int32_t controlX, std::int32_t controlY, std::int32_t x, std::int32_t y);
    // Takes everything away, the line style too; the pen goes back to (0, 0).
    void clear();
    // A copy of what `other` drew, as duplicateMovieClip makes; false past the caps.
    bool copyFrom(const Drawing& other);

    bool empty() const { return m_commands.empty(); }
    // The bitmaps the fills paint with, by the fills' bitmapId; each once.
    const std::vector<std::shared_ptr<BitmapData>>& bitmaps() const { return m_bitmaps; }
    std::size_t commandCount() const { return m_commands.size(); }

    // The shape as drawn now; null when nothing is drawn. Made again only after a
    // change, and only when the calls since differ from those it was made from: a clip
    // that redraws the same picture every frame keeps its shape and version.
    std::shared_ptr<const swf::Shape> shape() const;
    // Changes whenever shape() does; 0 before anything was drawn.
    std::uint64_t version() const;
    // What the drawing covers (getBounds): its edges and curves' control points, and a
    // line's whole width around each of its points, as the reference measures; the
    // same without the widths (getRect).
    Bounds bounds() const;
    Bounds edgeBounds() const;

private:
    struct Command {
        enum class Kind : std::uint8_t { MoveTo, LineTo, CurveTo, BeginFill, EndFill, LineStyle };
        Kind kind = Kind::MoveTo;
        // BeginFill: index into m_fills; LineStyle: into m_lines, or kNoStyle.
        std::uint32_t style = 0;
        std::int32_t x = 0, y = 0, cx = 0, cy = 0;
        friend bool operator==(const Command&, const Command&) = default;
    };
    static constexpr std::uint32_t kNoStyle = 0xFFFFFFFF;

    bool append(const Command& command);
    bool room(std::size_t commands) const;
    void rebuild() const;

    DrawingBudget* m_budget;
    std::vector<Command> m_commands;
    std::vector<swf::FillStyle> m_fills;
    std::vector<swf::LineStyle> m_lines;
    std::vector<std::shared_ptr<BitmapData>> m_bitmaps;
    std::uint32_t m_line = kNoStyle; // the line style in use
    bool m_filling = false;

    // What shape() made last, and from which calls.
    mutable bool m_stale = false;
    mutable std::vector<Command> m_builtCommands;
    mutable std::vector<swf::FillStyle> m_builtFills;
    mutable std::vector<swf::LineStyle> m_builtLines;
    mutable std::vector<std::shared_ptr<BitmapData>> m_builtBitmaps;
    mutable std::shared_ptr<const swf::Shape> m_shape;
    mutable std::uint64_t m_version = 0;
};

} // namespace runtime
