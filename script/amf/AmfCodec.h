#pragma once

#include "AmfDocument.h"
#include "format/Result.h"
#include "script/BigEndian.h"
#include "script/Limits.h"

namespace script::amf {

// One value read from `in` into `doc`: its node. AMF 0's reference marker and AMF 3's
// reference tables point back into the same read; AMF 0's switch marker (17) reads
// the next value as AMF 3. Every count is checked against the bytes left and the caps
// of script/Limits.h. Externalizable AMF 3 objects need their class's own reader and
// are refused.
//
// `options` narrows the caps for a reader that wants less (a file's metadata), lets
// the data's end close the objects still open (writers of script tags leave the last
// end marker out), and asks for what a failed read made of its value, for readers that
// keep what damaged data holds.
struct ReadOptions {
    std::size_t maxNesting = limits::kMaxAmfNesting;
    // Nodes the document may hold at the most, node 0 included.
    std::size_t maxValues = limits::kMaxAmfValues;
    bool dataEndClosesObjects = false;
    NodeId* partial = nullptr; // on failure: the value begun, as far as it was read
};
swf::Result<NodeId> readAmf0(Document& doc, BigEndianReader& in, const ReadOptions& options = {});
swf::Result<NodeId> readAmf3(Document& doc, BigEndianReader& in, const ReadOptions& options = {});

// The value at `root` written to `out`. A node met again is written as a reference to
// the first (AMF 0 for objects and arrays, AMF 3 for every reference kind), so
// cycles end; AMF 3 also shares repeated strings and classes.
swf::Status writeAmf0(const Document& doc, NodeId root, BigEndianWriter& out);
swf::Status writeAmf3(const Document& doc, NodeId root, BigEndianWriter& out);

} // namespace script::amf
