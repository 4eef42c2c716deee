#pragma once

#include "format/ByteReader.h"
#include "format/Shape.h"

#include <QtTest/QTest>
#include <cstdint>
#include <vector>

namespace formattest {

// A reader over a tag body written with its character id, standing after the id: the
// form in which the movie reader hands a body to a definition's parser.
inline swf::ByteReader afterId(const std::vector<std::uint8_t>& body)
{
    swf::ByteReader in(body);
    in.u16();
    return in;
}

// A path split at its moves: each contour starts with its Move.
inline std::vector<std::vector<swf::Segment>> contours(const swf::Path& path)
{
    std::vector<std::vector<swf::Segment>> result;
    for (const swf::Segment& s : path.segments) {
        if (s.kind == swf::SegmentKind::Move || result.empty())
            result.emplace_back();
        result.back().push_back(s);
    }
    return result;
}

inline bool isClosed(const std::vector<swf::Segment>& contour)
{
    return contour.size() > 1 && contour.front().x == contour.back().x &&
           contour.front().y == contour.back().y;
}

// Twice the signed area of a contour's end points: the sign tells its direction.
inline std::int64_t doubleArea(const std::vector<swf::Segment>& contour)
{
    std::int64_t sum = 0;
    for (std::size_t i = 0; i + 1 < contour.size(); ++i) {
        sum += std::int64_t(contour[i].x) * contour[i + 1].y -
               std::int64_t(contour[i + 1].x) * contour[i].y;
    }
    return sum;
}

// The contour's points in order, without the closing repeat of the first.
inline std::vector<std::pair<int, int>> points(const std::vector<swf::Segment>& contour)
{
    std::vector<std::pair<int, int>> result;
    for (const swf::Segment& s : contour)
        result.emplace_back(s.x, s.y);
    if (result.size() > 1 && result.front() == result.back())
        result.pop_back();
    return result;
}

// The same points as `expected`, walked in the same direction from any start.
inline bool sameCycle(std::vector<std::pair<int, int>> actual,
                      const std::vector<std::pair<int, int>>& expected)
{
    if (actual.size() != expected.size())
        return false;
    for (std::size_t turn = 0; turn < actual.size(); ++turn) {
        if (actual == expected)
            return true;
        std::rotate(actual.begin(), actual.begin() + 1, actual.end());
    }
    return actual.empty();
}

} // namespace formattest
