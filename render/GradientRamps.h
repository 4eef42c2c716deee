#pragma once

#include "LruCache.h"
#include "format/Geometry.h"
#include "format/Style.h"

#include <QGradientStops>
#include <string>

namespace render {

// The colour stops of gradients after their colour transform, built once per gradient
// and transform. Linear-RGB gradients are approximated by extra stops interpolated in
// linear light, between which Qt interpolates in sRGB.
class GradientRamps {
public:
    explicit GradientRamps(std::size_t maxEntries);

    std::shared_ptr<const QGradientStops> stops(const swf::Gradient& gradient,
                                                const swf::ColorTransform& transform);
    void clear() { m_cache.clear(); }

    static QGradientStops build(const swf::Gradient& gradient,
                                const swf::ColorTransform& transform);

private:
    LruCache<std::string, const QGradientStops> m_cache;
};

} // namespace render
