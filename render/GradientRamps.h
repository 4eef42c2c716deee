#pragma once

#include "GradientFill.h"
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
    // The 256-entry table the renderer's own gradient fills look colours up in.
    std::shared_ptr<const GradientTable> table(const swf::Gradient& gradient,
                                               const swf::ColorTransform& transform);
    void clear()
    {
        m_cache.clear();
        m_tables.clear();
    }

    static QGradientStops build(const swf::Gradient& gradient,
                                const swf::ColorTransform& transform);

private:
    LruCache<std::string, const QGradientStops> m_cache;
    LruCache<std::string, const GradientTable> m_tables;
};

} // namespace render
