// DisplayObject: the properties scripts read and write, with the reference player's
// arithmetic.
#include "DisplayObject.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace runtime {

namespace {

constexpr double kDegreesPerRadian = 180.0 / 3.14159265358979323846;

// The reference converts to whole numbers the way the processor does: truncated toward
// zero, and anything out of the 32-bit range (infinities included) becomes the lowest
// value. _x = Infinity thus reads back as -107374182.4.
std::int32_t truncateToInt32(double value)
{
    if (!(std::fabs(value) < 2147483648.0))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// Into [-180, 180]: both ends are kept as given, as the reference keeps -180.
double normaliseDegrees(double degrees)
{
    degrees = std::fmod(degrees, 360.0);
    if (degrees > 180)
        degrees -= 360;
    else if (degrees < -180)
        degrees += 360;
    return degrees;
}

// A matrix entry the renderer can use: what scripts make of infinities and NaN draws
// nothing rather than poisoning every transform below it.
double drawable(double value)
{
    return std::isfinite(value) ? value : 0;
}

} // namespace

DisplayObject::ScriptTransform DisplayObject::scriptTransform() const
{
    if (m_scriptTransform)
        return *m_scriptTransform;
    const swf::Matrix& m = m_matrix;
    ScriptTransform t;
    t.xScale = std::hypot(m.a, m.b) * 100;
    t.yScale = std::hypot(m.c, m.d) * 100;
    t.rotation = normaliseDegrees(std::atan2(m.b, m.a) * kDegreesPerRadian);
    t.yRotation = std::atan2(-m.c, m.d) * kDegreesPerRadian;
    // A mirrored matrix keeps both scales positive: the y axis's own angle says it is
    // turned round.
    return t;
}

void DisplayObject::applyScriptTransform(const ScriptTransform& t)
{
    const double xRadians = t.rotation / kDegreesPerRadian;
    const double yRadians = t.yRotation / kDegreesPerRadian;
    // Kept in the 16.16 fixed point the format stores matrices in, as the reference
    // keeps what scripts set.
    const auto fixed = [](double v) {
        const double value = drawable(v);
        return std::abs(value) < 32768.0 ? std::round(value * 65536.0) / 65536.0 : value;
    };
    swf::Matrix m = m_matrix;
    const double a = t.xScale / 100 * std::cos(xRadians);
    const double b = t.xScale / 100 * std::sin(xRadians);
    const double c = -t.yScale / 100 * std::sin(yRadians);
    const double d = t.yScale / 100 * std::cos(yRadians);
    // One entry that is no number spoils every point the matrix moves, both ways (an
    // infinite x scale makes b NaN, so y goes too): such an object covers nothing and
    // measures 0 by 0, as after setting _width on a clip that is still empty.
    const bool spoilt =
        !std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c) || !std::isfinite(d);
    m.a = spoilt ? 0 : fixed(a);
    m.b = spoilt ? 0 : fixed(b);
    m.c = spoilt ? 0 : fixed(c);
    m.d = spoilt ? 0 : fixed(d);
    const bool changed = !(m == m_matrix);
    m_matrix = m;
    m_scriptTransform = t;
    m_scriptTransformed = true;
    if (changed)
        markPlacementChanged();
}

double DisplayObject::x() const
{
    return m_matrix.tx / swf::Twips::kPerPixel;
}

double DisplayObject::y() const
{
    return m_matrix.ty / swf::Twips::kPerPixel;
}

void DisplayObject::setX(double pixels)
{
    if (std::isnan(pixels))
        return;
    m_scriptTransformed = true;
    const double twips = truncateToInt32(pixels * swf::Twips::kPerPixel);
    if (twips == m_matrix.tx)
        return;
    m_matrix.tx = twips;
    markPlacementChanged();
}

void DisplayObject::setY(double pixels)
{
    if (std::isnan(pixels))
        return;
    m_scriptTransformed = true;
    const double twips = truncateToInt32(pixels * swf::Twips::kPerPixel);
    if (twips == m_matrix.ty)
        return;
    m_matrix.ty = twips;
    markPlacementChanged();
}

double DisplayObject::xScale() const
{
    return scriptTransform().xScale;
}

double DisplayObject::yScale() const
{
    return scriptTransform().yScale;
}

void DisplayObject::setXScale(double percent)
{
    if (std::isnan(percent))
        return;
    ScriptTransform t = scriptTransform();
    t.xScale = percent;
    applyScriptTransform(t);
}

void DisplayObject::setYScale(double percent)
{
    if (std::isnan(percent))
        return;
    ScriptTransform t = scriptTransform();
    t.yScale = percent;
    applyScriptTransform(t);
}

double DisplayObject::rotation() const
{
    return scriptTransform().rotation;
}

void DisplayObject::setRotation(double degrees)
{
    if (std::isnan(degrees))
        return;
    ScriptTransform t = scriptTransform();
    // Infinity has no angle: it reads back as NaN, as in the reference.
    const double turned = normaliseDegrees(degrees);
    // The y axis turns with the x axis, so a skew stays a skew.
    t.yRotation += turned - t.rotation;
    t.rotation = turned;
    applyScriptTransform(t);
}

double DisplayObject::alpha() const
{
    return m_colorTransform.aMul * 100.0 / 256;
}

void DisplayObject::setAlpha(double percent)
{
    if (std::isnan(percent))
        return;
    m_scriptTransformed = true;
    swf::ColorTransform transform = m_colorTransform;
    // The multiplier is 8.8 fixed point in 16 bits: the percentage is truncated into it
    // and wraps as the reference's does.
    const std::int32_t wide = truncateToInt32(percent * 256 / 100);
    transform.aMul = static_cast<std::int16_t>(static_cast<std::uint16_t>(wide & 0xFFFF));
    setColorTransform(transform);
}

// The box in the parent's space on whole twips: the reference moves each corner of a
// clip with each product of the matrix rounded to a twip on its own, and rounds the
// edges of a text field's box.
Bounds DisplayObject::scriptBox() const
{
    const Bounds local = localBounds();
    if (local.empty)
        return {};
    const swf::Matrix& m = m_matrix;
    Bounds box;
    if (kind() == ObjectKind::EditText) {
        const Bounds moved = local.transformed(m);
        box.include(std::round(moved.xMin), std::round(moved.yMin));
        box.include(std::round(moved.xMax), std::round(moved.yMax));
        return box;
    }
    for (const double x : {local.xMin, local.xMax}) {
        for (const double y : {local.yMin, local.yMax})
            box.include(std::round(m.a * x) + std::round(m.c * y) + m.tx,
                        std::round(m.b * x) + std::round(m.d * y) + m.ty);
    }
    return box;
}

double DisplayObject::width() const
{
    const Bounds box = scriptBox();
    return box.empty ? 0 : (box.xMax - box.xMin) / swf::Twips::kPerPixel;
}

double DisplayObject::height() const
{
    const Bounds box = scriptBox();
    return box.empty ? 0 : (box.yMax - box.yMin) / swf::Twips::kPerPixel;
}

// The reference sizes a clip from its box: both scales are set anew, each the box's
// side over the same side of the clip's own box turned by its rotation but not scaled.
// The side not being set keeps its length, and a clip turned a quarter takes its x
// scale from its height, as the reference's does.
void DisplayObject::resizeTo(double widthPixels, double heightPixels)
{
    ScriptTransform t = scriptTransform();
    const double xRadians = t.rotation / kDegreesPerRadian;
    const double yRadians = t.yRotation / kDegreesPerRadian;
    swf::Matrix turn;
    turn.a = std::cos(xRadians);
    turn.b = std::sin(xRadians);
    turn.c = -std::sin(yRadians);
    turn.d = std::cos(yRadians);
    const Bounds turned = localBounds().transformed(turn);
    if (turned.empty)
        return;
    const double turnedWidth = (turned.xMax - turned.xMin) / swf::Twips::kPerPixel;
    const double turnedHeight = (turned.yMax - turned.yMin) / swf::Twips::kPerPixel;
    if (turnedWidth > 0)
        t.xScale = std::copysign(widthPixels / turnedWidth * 100, t.xScale);
    if (turnedHeight > 0)
        t.yScale = std::copysign(heightPixels / turnedHeight * 100, t.yScale);
    applyScriptTransform(t);
}

// The scale that gives an object measuring nothing (an empty clip, or one a size has
// spoilt) `pixels` across one axis: the one its own box needs, which is infinite while
// that box is empty, spoiling the matrix until a later size mends it.
double DisplayObject::scaleFromOwnBox(double pixels, bool across) const
{
    const Bounds own = localBounds();
    const double extent = own.empty ? 0 : (across ? own.xMax - own.xMin : own.yMax - own.yMin);
    return 100 * pixels / (extent / swf::Twips::kPerPixel);
}

void DisplayObject::setWidth(double pixels)
{
    if (!std::isfinite(pixels))
        return;
    ScriptTransform t = scriptTransform();
    if (width() != 0 && std::isfinite(t.xScale)) {
        resizeTo(pixels, height());
        return;
    }
    t.xScale = scaleFromOwnBox(pixels, true);
    applyScriptTransform(t);
}

void DisplayObject::setHeight(double pixels)
{
    if (!std::isfinite(pixels))
        return;
    ScriptTransform t = scriptTransform();
    if (height() != 0 && std::isfinite(t.yScale)) {
        resizeTo(width(), pixels);
        return;
    }
    t.yScale = scaleFromOwnBox(pixels, false);
    applyScriptTransform(t);
}

} // namespace runtime
