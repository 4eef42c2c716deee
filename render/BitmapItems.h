#pragma once

#include "BitmapImages.h"
#include "FrameContext.h"
#include "PaintItem.h"
#include "runtime/DrawList.h"

#include <QPainterPath>

namespace render {

// A script's bitmap or a video's picture in a draw list (a command with pixels instead
// of a character): a rectangle of its pixels, 20 twips each, filled with them. The pixels
// are wrapped, not copied, unless a colour transform changes them or smoothing needs
// their edges extended (so that sampling never blends in the opposite edge); such a
// copy is cached by the object and its content version, never by address, as a script's
// bitmap changes in place.
QRect addBitmapItem(const runtime::DrawCommand& command, const FrameContext& context,
                    BitmapImages& images, const QRect& clip, PaintList& out);

// The rectangle it covers on the device: what it clips to as a mask.
QPainterPath bitmapOutline(const runtime::DrawCommand& command, const FrameContext& context);

} // namespace render
