#include "StageView.h"

#include <cmath>

namespace runtime {

void StageView::setViewport(double widthPixels, double heightPixels)
{
    if (!std::isfinite(widthPixels) || !std::isfinite(heightPixels) || widthPixels < 0 ||
        heightPixels < 0)
        return;
    change(m_viewportWidth, widthPixels);
    change(m_viewportHeight, heightPixels);
}

double StageView::width(double movieWidthPixels) const
{
    return m_scaleMode == StageScaleMode::NoScale && hasViewport() ? m_viewportWidth
                                                                   : movieWidthPixels;
}

double StageView::height(double movieHeightPixels) const
{
    return m_scaleMode == StageScaleMode::NoScale && hasViewport() ? m_viewportHeight
                                                                   : movieHeightPixels;
}

} // namespace runtime
