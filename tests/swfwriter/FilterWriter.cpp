#include "FilterWriter.h"

#include <bit>

namespace swfwriter {

namespace {

void writeFloat(ByteWriter& out, float value)
{
    out.u32(std::bit_cast<std::uint32_t>(value));
}

// InnerShadow, Knockout, CompositeSource, then Passes in five bits.
std::uint8_t flagsPasses5(const ShadowFlags& f)
{
    return static_cast<std::uint8_t>((f.inner ? 0x80 : 0) | (f.knockout ? 0x40 : 0) |
                                     (f.compositeSource ? 0x20 : 0) | (f.passes & 0x1f));
}

// The bevel form: OnTop, then Passes in four bits.
std::uint8_t flagsPasses4(const ShadowFlags& f)
{
    return static_cast<std::uint8_t>((f.inner ? 0x80 : 0) | (f.knockout ? 0x40 : 0) |
                                     (f.compositeSource ? 0x20 : 0) | (f.onTop ? 0x10 : 0) |
                                     (f.passes & 0x0f));
}

// BlurX, BlurY, Angle, Distance and Strength, shared by the shadow, bevel and
// gradient filters.
template <typename F> void writeShadowGeometry(ByteWriter& out, const F& f)
{
    out.fixed16(f.blurX);
    out.fixed16(f.blurY);
    out.fixed16(f.angle);
    out.fixed16(f.distance);
    out.fixed8(f.strength);
}

} // namespace

FilterListWriter& FilterListWriter::add(const DropShadow& f)
{
    m_filters.u8(0);
    writeRgba(m_filters, f.color);
    writeShadowGeometry(m_filters, f);
    m_filters.u8(flagsPasses5(f.flags));
    ++m_count;
    return *this;
}

FilterListWriter& FilterListWriter::add(const Blur& f)
{
    m_filters.u8(1);
    m_filters.fixed16(f.blurX);
    m_filters.fixed16(f.blurY);
    m_filters.u8(static_cast<std::uint8_t>(f.passes << 3)); // Passes UB[5], Reserved UB[3]
    ++m_count;
    return *this;
}

FilterListWriter& FilterListWriter::add(const Glow& f)
{
    m_filters.u8(2);
    writeRgba(m_filters, f.color);
    m_filters.fixed16(f.blurX);
    m_filters.fixed16(f.blurY);
    m_filters.fixed8(f.strength);
    m_filters.u8(flagsPasses5(f.flags));
    ++m_count;
    return *this;
}

FilterListWriter& FilterListWriter::add(const Bevel& f)
{
    m_filters.u8(3);
    writeRgba(m_filters, f.highlightColor); // highlight first, as movies store it
    writeRgba(m_filters, f.shadowColor);
    writeShadowGeometry(m_filters, f);
    m_filters.u8(flagsPasses4(f.flags));
    ++m_count;
    return *this;
}

FilterListWriter& FilterListWriter::add(const GradientFilter& f)
{
    m_filters.u8(f.bevel ? 7 : 4);
    m_filters.u8(static_cast<std::uint8_t>(f.stops.size()));
    for (const auto& stop : f.stops)
        writeRgba(m_filters, stop.second);
    for (const auto& stop : f.stops)
        m_filters.u8(stop.first);
    writeShadowGeometry(m_filters, f);
    m_filters.u8(flagsPasses4(f.flags));
    ++m_count;
    return *this;
}

FilterListWriter& FilterListWriter::add(const Convolution& f)
{
    m_filters.u8(5);
    m_filters.u8(f.columns);
    m_filters.u8(f.rows);
    writeFloat(m_filters, f.divisor);
    writeFloat(m_filters, f.bias);
    for (float value : f.matrix)
        writeFloat(m_filters, value);
    writeRgba(m_filters, f.defaultColor);
    m_filters.u8(static_cast<std::uint8_t>((f.clamp ? 0x02 : 0) | (f.preserveAlpha ? 0x01 : 0)));
    ++m_count;
    return *this;
}

FilterListWriter& FilterListWriter::add(const ColorMatrix& f)
{
    m_filters.u8(6);
    for (float value : f.matrix)
        writeFloat(m_filters, value);
    ++m_count;
    return *this;
}

FilterListWriter& FilterListWriter::addRaw(std::uint8_t filterId,
                                           const std::vector<std::uint8_t>& body)
{
    m_filters.u8(filterId);
    m_filters.bytes(body);
    ++m_count;
    return *this;
}

std::vector<std::uint8_t> FilterListWriter::bytes(int declaredCount) const
{
    ByteWriter out;
    out.u8(static_cast<std::uint8_t>(declaredCount >= 0 ? declaredCount : m_count));
    ByteWriter copy = m_filters;
    out.bytes(copy.data());
    return out.data();
}

} // namespace swfwriter
