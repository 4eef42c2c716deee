#include "ShapeEdges.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

namespace swf {

namespace {

constexpr std::uint32_t kNone = 0xffffffff;

std::uint64_t pointKey(ShapePoint p)
{
    return (std::uint64_t(std::uint32_t(p.x)) << 32) | std::uint32_t(p.y);
}

void appendEdge(Path& path, const ShapeEdge& edge)
{
    if (edge.isCurve)
        path.segments.push_back(
            {SegmentKind::Curve, edge.to.x, edge.to.y, edge.control.x, edge.control.y});
    else
        path.segments.push_back({SegmentKind::Line, edge.to.x, edge.to.y, 0, 0});
}

// Edges grouped by a point (where they start, or where they end), as singly linked
// lists threaded through one array so that a shape of many edges costs two vectors
// and a hash map, not a list per point. Used edges are unlinked lazily.
class PointIndex {
public:
    PointIndex(const std::vector<ShapeEdge>& edges, bool byStart) : m_next(edges.size(), kNone)
    {
        m_heads.reserve(edges.size());
        // Linked in reverse so that each list gives its edges in the order drawn.
        for (std::size_t i = edges.size(); i-- > 0;) {
            const ShapePoint p = byStart ? edges[i].from : edges[i].to;
            auto [it, inserted] = m_heads.try_emplace(pointKey(p), std::uint32_t(i));
            if (!inserted) {
                m_next[i] = it->second;
                it->second = std::uint32_t(i);
            }
        }
    }

    // An unused edge at `p`, or kNone.
    std::uint32_t take(ShapePoint p, const std::vector<bool>& used)
    {
        auto it = m_heads.find(pointKey(p));
        if (it == m_heads.end())
            return kNone;
        std::uint32_t i = it->second;
        while (i != kNone && used[i])
            i = m_next[i];
        it->second = i;
        return i;
    }

private:
    std::unordered_map<std::uint64_t, std::uint32_t> m_heads;
    std::vector<std::uint32_t> m_next;
};

} // namespace

Path joinContours(const std::vector<ShapeEdge>& edges)
{
    Path path;
    PointIndex byStart(edges, true);
    PointIndex byEnd(edges, false);
    std::vector<bool> used(edges.size(), false);
    std::vector<std::uint32_t> forward, backward;
    for (std::size_t first = 0; first < edges.size(); ++first) {
        if (used[first])
            continue;
        used[first] = true;
        forward.assign(1, std::uint32_t(first));
        backward.clear();
        const ShapePoint start = edges[first].from;
        ShapePoint head = start, tail = edges[first].to;
        while (tail != head) {
            const std::uint32_t next = byStart.take(tail, used);
            if (next == kNone)
                break;
            used[next] = true;
            forward.push_back(next);
            tail = edges[next].to;
        }
        // A fragment that stops short may continue backwards from where it began.
        while (tail != head) {
            const std::uint32_t previous = byEnd.take(head, used);
            if (previous == kNone)
                break;
            used[previous] = true;
            backward.push_back(previous);
            head = edges[previous].from;
        }
        path.segments.push_back({SegmentKind::Move, head.x, head.y, 0, 0});
        for (auto it = backward.rbegin(); it != backward.rend(); ++it)
            appendEdge(path, edges[*it]);
        for (std::uint32_t i : forward)
            appendEdge(path, edges[i]);
        // Leniency: a fill outline that does not close (a movie's edges seldom leave
        // gaps, but damaged or hand-made ones do) is closed by a straight line, as a
        // fill always is.
        if (tail != head)
            path.segments.push_back({SegmentKind::Line, head.x, head.y, 0, 0});
    }
    return path;
}

void ShapeLayerBuilder::addEdge(const ShapeEdge& edge, std::uint32_t fill0, std::uint32_t fill1,
                                std::uint32_t line)
{
    // An edge that starts where it ends and is straight bounds nothing and draws nothing.
    if (!edge.isCurve && edge.from == edge.to)
        return;
    // An edge with the same fill on both sides lies inside the fill: it bounds nothing.
    if (fill0 != fill1) {
        if (fill1 != 0)
            m_fillEdges.push_back({fill1 - 1, edge});
        if (fill0 != 0)
            m_fillEdges.push_back({fill0 - 1, edge.reversed()});
    }
    if (line != 0)
        m_lineEdges.push_back({line - 1, edge});
}

void ShapeLayerBuilder::finish(ShapeLayer& layer)
{
    auto byStyle = [](const StyledEdge& a, const StyledEdge& b) { return a.style < b.style; };
    std::stable_sort(m_fillEdges.begin(), m_fillEdges.end(), byStyle);
    std::stable_sort(m_lineEdges.begin(), m_lineEdges.end(), byStyle);

    std::vector<ShapeEdge> group;
    for (std::size_t i = 0; i < m_fillEdges.size();) {
        const std::uint32_t style = m_fillEdges[i].style;
        group.clear();
        for (; i < m_fillEdges.size() && m_fillEdges[i].style == style; ++i)
            group.push_back(m_fillEdges[i].edge);
        layer.fillPaths.push_back({style, joinContours(group)});
    }

    for (std::size_t i = 0; i < m_lineEdges.size();) {
        StrokePath stroke{m_lineEdges[i].style, {}};
        std::optional<ShapePoint> pen;
        for (; i < m_lineEdges.size() && m_lineEdges[i].style == stroke.style; ++i) {
            const ShapeEdge& edge = m_lineEdges[i].edge;
            if (pen != edge.from)
                stroke.path.segments.push_back({SegmentKind::Move, edge.from.x, edge.from.y, 0, 0});
            appendEdge(stroke.path, edge);
            pen = edge.to;
        }
        layer.strokePaths.push_back(std::move(stroke));
    }
    m_fillEdges.clear();
    m_lineEdges.clear();
}

} // namespace swf
