#include "GradientRamps.h"

#include "ColorSpace.h"
#include "QtConversions.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

// Steps between two stops of a linear-RGB gradient: enough that the sRGB segments Qt
// draws stay within a level or two of the true curve.
constexpr int kLinearSteps = 8;

QColor mixLinear(const QColor& from, const QColor& to, double t)
{
    auto channel = [t](double a, double b) {
        return std::clamp(toSrgb(toLinear(a) + (toLinear(b) - toLinear(a)) * t), 0.0, 1.0);
    };
    QColor mixed;
    mixed.setRgbF(channel(from.redF(), to.redF()), channel(from.greenF(), to.greenF()),
                  channel(from.blueF(), to.blueF()),
                  from.alphaF() + (to.alphaF() - from.alphaF()) * t);
    return mixed;
}

std::string keyFor(const swf::Gradient& gradient, const swf::ColorTransform& transform)
{
    std::string key;
    key.reserve(2 + gradient.stops.size() * 5 + sizeof(transform));
    key.push_back(static_cast<char>(gradient.interpolation));
    for (const swf::GradientStop& stop : gradient.stops) {
        key.push_back(static_cast<char>(stop.ratio));
        key.push_back(static_cast<char>(stop.color.r));
        key.push_back(static_cast<char>(stop.color.g));
        key.push_back(static_cast<char>(stop.color.b));
        key.push_back(static_cast<char>(stop.color.a));
    }
    const std::int16_t fields[] = {transform.rMul, transform.gMul, transform.bMul, transform.aMul,
                                   transform.rAdd, transform.gAdd, transform.bAdd, transform.aAdd};
    key.append(reinterpret_cast<const char*>(fields), sizeof(fields));
    return key;
}

} // namespace

GradientRamps::GradientRamps(std::size_t maxEntries) : m_cache(maxEntries), m_tables(maxEntries) {}

std::shared_ptr<const GradientTable> GradientRamps::table(const swf::Gradient& gradient,
                                                          const swf::ColorTransform& transform)
{
    std::string key = keyFor(gradient, transform);
    if (auto found = m_tables.find(key))
        return found;
    return m_tables.insert(
        key, std::make_shared<const GradientTable>(buildGradientTable(gradient, transform)), 1);
}

std::shared_ptr<const QGradientStops> GradientRamps::stops(const swf::Gradient& gradient,
                                                           const swf::ColorTransform& transform)
{
    std::string key = keyFor(gradient, transform);
    if (auto found = m_cache.find(key))
        return found;
    return m_cache.insert(key, std::make_shared<const QGradientStops>(build(gradient, transform)),
                          1);
}

QGradientStops GradientRamps::build(const swf::Gradient& gradient,
                                    const swf::ColorTransform& transform)
{
    // Ratios should rise; a movie that breaks that is drawn with its stops sorted.
    std::vector<swf::GradientStop> sorted = gradient.stops;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.ratio < b.ratio; });
    QGradientStops stops;
    const bool linear = gradient.interpolation == swf::InterpolationMode::LinearRgb;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const double position = sorted[i].ratio / 255.0;
        const QColor color = toQColor(sorted[i].color, transform);
        if (linear && i > 0) {
            const double previous = sorted[i - 1].ratio / 255.0;
            const QColor from = toQColor(sorted[i - 1].color, transform);
            for (int step = 1; step < kLinearSteps; ++step) {
                const double t = double(step) / kLinearSteps;
                stops.append({previous + (position - previous) * t, mixLinear(from, color, t)});
            }
        }
        stops.append({position, color});
    }
    return stops;
}

} // namespace render
