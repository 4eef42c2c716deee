#pragma once

#include "BitReader.h"
#include "ByteReader.h"
#include "Geometry.h"

namespace swf {

// The basic records that many tags share. Each reads from the byte reader's current
// position and leaves it at the next whole byte; failures go to the reader.
Rect readRect(ByteReader& in);
Matrix readMatrix(ByteReader& in);
// CXFORM (no alpha) and CXFORMWITHALPHA.
ColorTransform readColorTransform(ByteReader& in, bool withAlpha);
Rgba readRgb(ByteReader& in);
Rgba readRgba(ByteReader& in);
Rgba readArgb(ByteReader& in);

} // namespace swf
