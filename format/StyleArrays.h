#pragma once

#include "ByteReader.h"
#include "Result.h"
#include "Style.h"

#include <cstddef>
#include <vector>

namespace swf {

// The style records of DefineShape 1 to 4. `shapeVersion` decides what the format
// varies by version: colours are RGB before DefineShape3 and RGBA from it on, array
// counts of 255 and more take the extended form from DefineShape2, and DefineShape4
// has LINESTYLE2.
Result<FillStyle> readFillStyle(ByteReader& in, int shapeVersion);
Result<LineStyle> readLineStyle(ByteReader& in, int shapeVersion);
// FILLSTYLEARRAY and LINESTYLEARRAY, appended to `fills` and `lines`.
Status readFillStyleArray(ByteReader& in, int shapeVersion, std::vector<FillStyle>& fills);
Status readLineStyleArray(ByteReader& in, int shapeVersion, std::vector<LineStyle>& lines);

// Pieces the morph styles share.

// A style array's count: one byte, or 0xFF then a UI16 when `extended`. A count whose
// entries (at least `minEntryBytes` each) cannot fit in what remains is refused before
// anything is allocated for it.
Result<std::size_t> readStyleCount(ByteReader& in, bool extended, std::size_t minEntryBytes);
// The fill type byte; a type the format does not define leaves the rest of the array
// unreadable, since its length is unknown.
Result<FillType> readFillType(ByteReader& in);
// The first byte of a gradient: spread and interpolation modes, and the stop count.
unsigned readGradientHeader(ByteReader& in, Gradient& gradient);
// A focal point from its 8.8 field.
float readFocalPoint(ByteReader& in);
// LINESTYLE2's two bytes of caps, join and flags (after the width), then the miter
// limit when the join asks for one. Returns HasFillFlag.
bool readLineStyle2Fields(ByteReader& in, LineStyle& line);

} // namespace swf
