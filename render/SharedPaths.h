#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace render {

// QPainterPath fills some caches on first use (its bounds and the vector form the
// raster engine draws from) without a lock. A path that several band threads draw at
// once is therefore used once here first, on one thread; after that every use reads.
class SharedPaths {
public:
    SharedPaths();
    void prepare(const QPainterPath& path);
    // One for each thread that prepares paths, kept from frame to frame.
    static SharedPaths& forThisThread();

private:
    QImage m_image;
    QPainter m_painter;
};

} // namespace render
