#pragma once

#include "Quality.h"
#include "format/Movie.h"

#include <QRect>
#include <QTransform>

namespace render {

// What stays the same for every command of one frame.
struct FrameContext {
    const swf::MovieDefinition* movie = nullptr;
    QTransform view; // stage twips to device pixels
    Quality quality = Quality::High;
    QRect target;           // the device pixels of the image drawn
    double filterScale = 1; // device pixels per stage pixel
    bool cacheGroups = true;
    std::uint64_t frameNumber = 0;
};

} // namespace render
