#include "Shape.h"

#include "ErrorContext.h"
#include "Records.h"
#include "ShapeEdges.h"
#include "ShapeRecords.h"
#include "StyleArrays.h"

namespace swf {

namespace {

const char* shapeTagName(int shapeVersion)
{
    switch (shapeVersion) {
    case 1:
        return "DefineShape";
    case 2:
        return "DefineShape2";
    case 3:
        return "DefineShape3";
    default:
        return "DefineShape4";
    }
}

// Leniency: a style index past the arrays in force is dropped, as if the edge had no
// style there; the rest of the shape still draws.
std::uint32_t checkedStyle(std::uint32_t index, std::size_t count)
{
    return index <= count ? index : 0;
}

// Builds the shape's layers as the records arrive: each new set of style arrays closes
// the layer before it.
class ShapeSink final : public ShapeRecordSink {
public:
    ShapeSink(Shape& shape, int shapeVersion) : m_shape(shape), m_version(shapeVersion) {}

    Status readStyles(ByteReader& in)
    {
        ShapeLayer& layer = m_shape.layers.emplace_back();
        auto fills = readFillStyleArray(in, m_version, layer.fills);
        if (!fills)
            return fills;
        return readLineStyleArray(in, m_version, layer.lines);
    }

    // Leniency: new style arrays belong to DefineShape2 and later, but a DefineShape
    // that has them is read the same way rather than refused.
    Status readNewStyles(ByteReader& in) override
    {
        finish();
        return readStyles(in);
    }

    void styleChange(const StyleChange& change) override
    {
        const ShapeLayer& layer = m_shape.layers.back();
        if (change.newStyles)
            m_fill0 = m_fill1 = m_line = 0; // the old indexes mean nothing in the new arrays
        if (change.fill0)
            m_fill0 = checkedStyle(*change.fill0, layer.fills.size());
        if (change.fill1)
            m_fill1 = checkedStyle(*change.fill1, layer.fills.size());
        if (change.line)
            m_line = checkedStyle(*change.line, layer.lines.size());
    }

    void edge(const ShapeEdge& edge) override { m_builder.addEdge(edge, m_fill0, m_fill1, m_line); }

    void finish() { m_builder.finish(m_shape.layers.back()); }

private:
    Shape& m_shape;
    int m_version;
    ShapeLayerBuilder m_builder;
    std::uint32_t m_fill0 = 0, m_fill1 = 0, m_line = 0;
};

// A glyph has no style arrays: fill style 1 is the glyph, 0 the outside.
class GlyphSink final : public ShapeRecordSink {
public:
    Status readNewStyles(ByteReader&) override
    {
        return makeError(ErrorCode::BadValue, "style arrays in a glyph");
    }

    void styleChange(const StyleChange& change) override
    {
        if (change.fill0)
            m_fill0 = checkedStyle(*change.fill0, 1);
        if (change.fill1)
            m_fill1 = checkedStyle(*change.fill1, 1);
    }

    // Glyphs have no line styles; a line index in one is ignored.
    void edge(const ShapeEdge& edge) override { m_builder.addEdge(edge, m_fill0, m_fill1, 0); }

    Path finish()
    {
        ShapeLayer layer;
        m_builder.finish(layer);
        return layer.fillPaths.empty() ? Path{} : std::move(layer.fillPaths.front().path);
    }

private:
    ShapeLayerBuilder m_builder;
    std::uint32_t m_fill0 = 0, m_fill1 = 0;
};

} // namespace

namespace {

// Bounds and, for DefineShape4, edge bounds and flags.
Status readShapeHeader(ByteReader& in, int shapeVersion, Shape& shape)
{
    if (shapeVersion < 1 || shapeVersion > 4)
        return makeError(ErrorCode::Unsupported, "shape version");
    shape.bounds = readRect(in);
    shape.edgeBounds = shape.bounds;
    if (shapeVersion >= 4) {
        shape.edgeBounds = readRect(in);
        const std::uint8_t flags = in.u8();
        shape.nonZeroWinding = flags & 0x04;       // UsesFillWindingRule
        shape.hasNonScalingStrokes = flags & 0x02; // UsesNonScalingStrokes
        shape.hasScalingStrokes = flags & 0x01;    // UsesScalingStrokes
    }
    if (!in.ok())
        return makeError(ErrorCode::Truncated,
                         std::string(shapeTagName(shapeVersion)) + ": bounds");
    return Ok{};
}

} // namespace

Result<Shape> parseShape(ByteReader& in, int shapeVersion)
{
    Shape shape;
    if (auto header = readShapeHeader(in, shapeVersion, shape); !header)
        return header.error();
    const char* tag = shapeTagName(shapeVersion);
    ShapeSink sink(shape, shapeVersion);
    if (auto styles = sink.readStyles(in); !styles)
        return inContext(tag, styles.error());
    if (auto records = readShapeRecords(in, sink); !records)
        return inContext(tag, records.error());
    sink.finish();
    return shape;
}

Result<Shape> parseShapeDeferred(ByteReader& in, int shapeVersion,
                                 std::shared_ptr<const ByteBuffer> owner)
{
    auto records = in.rest();
    Shape shape;
    if (auto header = readShapeHeader(in, shapeVersion, shape); !header)
        return header.error();
    if (!owner) {
        owner = std::make_shared<const ByteBuffer>(ByteBuffer::copyOf(records));
        records = owner->span();
    }
    shape.deferred = std::make_shared<DeferredShape>(std::move(owner), records, shapeVersion);
    return shape;
}

DeferredShape::DeferredShape(std::shared_ptr<const ByteBuffer> owner,
                             std::span<const std::uint8_t> records, int shapeVersion)
    : m_owner(std::move(owner)), m_records(records), m_version(shapeVersion)
{}

const std::vector<ShapeLayer>& DeferredShape::layers() const
{
    std::call_once(m_once, [this] {
        ByteReader in(m_records);
        if (auto shape = parseShape(in, m_version))
            m_layers = std::move(shape->layers);
        m_records = {};
        m_owner.reset();
    });
    return m_layers;
}

const std::vector<ShapeLayer>& Shape::drawing() const
{
    return deferred ? deferred->layers() : layers;
}

Result<Path> parseGlyphOutline(ByteReader& in)
{
    GlyphSink sink;
    if (auto records = readShapeRecords(in, sink); !records)
        return inContext("glyph", records.error());
    return sink.finish();
}

} // namespace swf
