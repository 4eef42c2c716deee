#pragma once

#include "ByteReader.h"
#include "Result.h"
#include "Style.h"

#include <vector>

namespace swf {

// MORPHFILLSTYLEARRAY: each entry gives a fill at the start and at the end of the
// morph, of one type, appended to `start` and `end` at the same index.
Status readMorphFillStyleArray(ByteReader& in, std::vector<FillStyle>& start,
                               std::vector<FillStyle>& end);
// MORPHLINESTYLEARRAY, of MORPHLINESTYLE (version 1) or MORPHLINESTYLE2 (version 2).
Status readMorphLineStyleArray(ByteReader& in, int morphVersion, std::vector<LineStyle>& start,
                               std::vector<LineStyle>& end);

} // namespace swf
