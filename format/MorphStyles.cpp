#include "MorphStyles.h"

#include "ErrorContext.h"
#include "Records.h"
#include "StyleArrays.h"

#include <string>

namespace swf {

namespace {

// The smallest entries: a gradient with two empty matrices and no stops, and a
// MORPHLINESTYLE2 with widths, flags and the smallest fill.
constexpr std::size_t kMinMorphFillBytes = 4;
constexpr std::size_t kMinMorphLineBytes = 10;

Status readMorphFill(ByteReader& in, FillStyle& start, FillStyle& end)
{
    auto type = readFillType(in);
    if (!type)
        return type.error();
    start.type = end.type = *type;
    if (start.type == FillType::Solid) {
        start.color = readRgba(in);
        end.color = readRgba(in);
    } else if (start.isGradient()) {
        start.matrix = readMatrix(in);
        end.matrix = readMatrix(in);
        // MORPHGRADIENT's count byte has the layout of GRADIENT's first byte; in a
        // well-made movie the mode bits are zero.
        const unsigned count = readGradientHeader(in, start.gradient);
        end.gradient.spread = start.gradient.spread;
        end.gradient.interpolation = start.gradient.interpolation;
        for (unsigned i = 0; i < count; ++i) {
            GradientStop startStop, endStop;
            startStop.ratio = in.u8();
            startStop.color = readRgba(in);
            endStop.ratio = in.u8();
            endStop.color = readRgba(in);
            start.gradient.stops.push_back(startStop);
            end.gradient.stops.push_back(endStop);
        }
        if (start.type == FillType::FocalRadialGradient) {
            start.gradient.focalPoint = readFocalPoint(in);
            end.gradient.focalPoint = readFocalPoint(in);
        }
    } else {
        start.bitmapId = end.bitmapId = in.u16();
        start.matrix = readMatrix(in);
        end.matrix = readMatrix(in);
    }
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "fill style");
    return Ok{};
}

Status readMorphLine(ByteReader& in, int morphVersion, LineStyle& start, LineStyle& end)
{
    start.width = in.u16();
    end.width = in.u16();
    if (morphVersion >= 2 && readLineStyle2Fields(in, start)) {
        FillStyle startFill, endFill;
        auto fill = readMorphFill(in, startFill, endFill);
        if (!fill)
            return inContext("fill", fill.error());
        // As in LINESTYLE2, a solid fill is kept as the line's colour.
        if (startFill.type == FillType::Solid) {
            start.color = startFill.color;
            end.color = endFill.color;
        } else {
            start.fill = std::move(startFill);
            end.fill = std::move(endFill);
        }
    } else {
        start.color = readRgba(in);
        end.color = readRgba(in);
    }
    // Caps, join and flags are not morphed: the end keeps the start's.
    const std::uint16_t endWidth = end.width;
    const Rgba endColor = end.color;
    auto endFill = std::move(end.fill);
    end = start;
    end.width = endWidth;
    end.color = endColor;
    end.fill = std::move(endFill);
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "line style");
    return Ok{};
}

} // namespace

Status readMorphFillStyleArray(ByteReader& in, std::vector<FillStyle>& start,
                               std::vector<FillStyle>& end)
{
    auto count = readStyleCount(in, true, kMinMorphFillBytes);
    if (!count)
        return inContext("fill styles", count.error());
    start.reserve(start.size() + *count);
    end.reserve(end.size() + *count);
    for (std::size_t i = 0; i < *count; ++i) {
        FillStyle startFill, endFill;
        if (auto fill = readMorphFill(in, startFill, endFill); !fill)
            return inContext("fill style " + std::to_string(i + 1), fill.error());
        start.push_back(std::move(startFill));
        end.push_back(std::move(endFill));
    }
    return Ok{};
}

Status readMorphLineStyleArray(ByteReader& in, int morphVersion, std::vector<LineStyle>& start,
                               std::vector<LineStyle>& end)
{
    auto count = readStyleCount(in, true, kMinMorphLineBytes);
    if (!count)
        return inContext("line styles", count.error());
    start.reserve(start.size() + *count);
    end.reserve(end.size() + *count);
    for (std::size_t i = 0; i < *count; ++i) {
        LineStyle startLine, endLine;
        if (auto line = readMorphLine(in, morphVersion, startLine, endLine); !line)
            return inContext("line style " + std::to_string(i + 1), line.error());
        start.push_back(std::move(startLine));
        end.push_back(std::move(endLine));
    }
    return Ok{};
}

} // namespace swf
