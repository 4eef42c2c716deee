// The display settings scripts give an object beside its placement: a scroll rectangle
// and an opaque background. Both change what the object draws.
#include "DisplayObject.h"

namespace runtime {

void DisplayObject::setScrollRect(const std::optional<swf::Rect>& value)
{
    if (value == m_scrollRect)
        return;
    m_scrollRect = value;
    markContentChanged();
}

void DisplayObject::setOpaqueBackground(const std::optional<swf::Rgba>& value)
{
    if (value == m_opaqueBackground)
        return;
    m_opaqueBackground = value;
    markContentChanged();
}

} // namespace runtime
