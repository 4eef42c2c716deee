#pragma once

#include "AmfDocument.h"
#include "format/Result.h"
#include "script/BigEndian.h"

namespace script::amf {

// One value read from `in` into `doc`: its node. AMF 0's reference marker and AMF 3's
// reference tables point back into the same read; AMF 0's switch marker (17) reads
// the next value as AMF 3. Every count is checked against the bytes left and the caps
// of script/Limits.h. Externalizable AMF 3 objects need their class's own reader and
// are refused.
swf::Result<NodeId> readAmf0(Document& doc, BigEndianReader& in);
swf::Result<NodeId> readAmf3(Document& doc, BigEndianReader& in);

// The value at `root` written to `out`. A node met again is written as a reference to
// the first (AMF 0 for objects and arrays, AMF 3 for every reference kind), so
// cycles end; AMF 3 also shares repeated strings and classes.
swf::Status writeAmf0(const Document& doc, NodeId root, BigEndianWriter& out);
swf::Status writeAmf3(const Document& doc, NodeId root, BigEndianWriter& out);

} // namespace script::amf
