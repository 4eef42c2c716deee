#include "StyleArrays.h"

#include "BitReader.h"
#include "ErrorContext.h"
#include "Limits.h"
#include "Records.h"

#include <algorithm>
#include <string>

namespace swf {

namespace {

// The smallest entries: a gradient fill with an empty matrix and no stops takes 3
// bytes, a LINESTYLE its width and an RGB colour.
constexpr std::size_t kMinFillStyleBytes = 3;
constexpr std::size_t kMinLineStyleBytes = 5;

CapStyle capStyleFrom(unsigned value)
{
    // Leniency: the undefined cap value 3 draws the default round cap.
    return value <= 2 ? static_cast<CapStyle>(value) : CapStyle::Round;
}

JoinStyle joinStyleFrom(unsigned value)
{
    // Leniency: the undefined join value 3 draws the default round join.
    return value <= 2 ? static_cast<JoinStyle>(value) : JoinStyle::Round;
}

Rgba readColor(ByteReader& in, int shapeVersion)
{
    return shapeVersion >= 3 ? readRgba(in) : readRgb(in);
}

} // namespace

Result<std::size_t> readStyleCount(ByteReader& in, bool extended, std::size_t minEntryBytes)
{
    std::size_t count = in.u8();
    if (count == 0xff && extended)
        count = in.u16();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "count");
    if (count > limits::kMaxStylesPerArray)
        return makeError(ErrorCode::TooLarge, "count");
    if (count > in.remaining() / minEntryBytes)
        return makeError(ErrorCode::Truncated, "count " + std::to_string(count));
    return count;
}

Result<FillType> readFillType(ByteReader& in)
{
    const std::uint8_t type = in.u8();
    switch (type) {
    case 0x00:
    case 0x10:
    case 0x12:
    case 0x13:
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        return static_cast<FillType>(type);
    default:
        break;
    }
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "type");
    return makeError(ErrorCode::BadValue, "type " + std::to_string(type));
}

unsigned readGradientHeader(ByteReader& in, Gradient& gradient)
{
    BitReader bits(in);
    const unsigned spread = bits.ub(2);
    const unsigned interpolation = bits.ub(2);
    // Leniency: the reserved spread value 3 pads, and the reserved interpolation
    // values blend in RGB, the defaults.
    gradient.spread = spread <= 2 ? static_cast<SpreadMode>(spread) : SpreadMode::Pad;
    gradient.interpolation =
        interpolation == 1 ? InterpolationMode::LinearRgb : InterpolationMode::Rgb;
    return bits.ub(4);
}

float readFocalPoint(ByteReader& in)
{
    // Leniency: a focal point past the edge of the circle is put on the edge.
    return std::clamp(in.fixed8(), -1.0f, 1.0f);
}

bool readLineStyle2Fields(ByteReader& in, LineStyle& line)
{
    BitReader bits(in);
    line.startCap = capStyleFrom(bits.ub(2));
    line.join = joinStyleFrom(bits.ub(2));
    const bool hasFill = bits.flag();
    line.noHScale = bits.flag();
    line.noVScale = bits.flag();
    line.pixelHinting = bits.flag();
    bits.ub(5); // reserved
    line.noClose = bits.flag();
    line.endCap = capStyleFrom(bits.ub(2));
    if (line.join == JoinStyle::Miter)
        line.miterLimit = static_cast<float>(in.u16() / 256.0); // unsigned 8.8
    return hasFill;
}

Result<FillStyle> readFillStyle(ByteReader& in, int shapeVersion)
{
    auto type = readFillType(in);
    if (!type)
        return type.error();
    FillStyle fill;
    fill.type = *type;
    if (fill.type == FillType::Solid) {
        fill.color = readColor(in, shapeVersion);
    } else if (fill.isGradient()) {
        fill.matrix = readMatrix(in);
        const unsigned count = readGradientHeader(in, fill.gradient);
        fill.gradient.stops.reserve(count);
        for (unsigned i = 0; i < count; ++i) {
            GradientStop stop;
            stop.ratio = in.u8();
            stop.color = readColor(in, shapeVersion);
            fill.gradient.stops.push_back(stop);
        }
        // Focal gradients belong to DefineShape4; the type says what follows whatever
        // the version.
        if (fill.type == FillType::FocalRadialGradient)
            fill.gradient.focalPoint = readFocalPoint(in);
    } else {
        fill.bitmapId = in.u16();
        fill.matrix = readMatrix(in);
    }
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "fill style");
    return fill;
}

Result<LineStyle> readLineStyle(ByteReader& in, int shapeVersion)
{
    LineStyle line;
    line.width = in.u16();
    if (shapeVersion < 4) {
        line.color = readColor(in, shapeVersion);
    } else if (readLineStyle2Fields(in, line)) {
        auto fill = readFillStyle(in, shapeVersion);
        if (!fill)
            return inContext("fill", fill.error());
        // A solid fill draws the same as a colour; keeping it as one leaves `fill` for
        // the gradients and bitmaps that need it.
        if (fill->type == FillType::Solid)
            line.color = fill->color;
        else
            line.fill = std::move(*fill);
    } else {
        line.color = readRgba(in);
    }
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "line style");
    return line;
}

Status readFillStyleArray(ByteReader& in, int shapeVersion, std::vector<FillStyle>& fills)
{
    auto count = readStyleCount(in, shapeVersion >= 2, kMinFillStyleBytes);
    if (!count)
        return inContext("fill styles", count.error());
    fills.reserve(fills.size() + *count);
    for (std::size_t i = 0; i < *count; ++i) {
        auto fill = readFillStyle(in, shapeVersion);
        if (!fill)
            return inContext("fill style " + std::to_string(i + 1), fill.error());
        fills.push_back(std::move(*fill));
    }
    return Ok{};
}

Status readLineStyleArray(ByteReader& in, int shapeVersion, std::vector<LineStyle>& lines)
{
    auto count = readStyleCount(in, shapeVersion >= 2, kMinLineStyleBytes);
    if (!count)
        return inContext("line styles", count.error());
    lines.reserve(lines.size() + *count);
    for (std::size_t i = 0; i < *count; ++i) {
        auto line = readLineStyle(in, shapeVersion);
        if (!line)
            return inContext("line style " + std::to_string(i + 1), line.error());
        lines.push_back(std::move(*line));
    }
    return Ok{};
}

} // namespace swf
