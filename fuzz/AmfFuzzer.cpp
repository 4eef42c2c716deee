// libFuzzer target: bytes read as an AMF 0 and as an AMF 3 message; what reads is
// written back in both versions and read again. Any crash, hang, sanitizer report,
// runaway allocation, or a written message that does not read back, is a finding.
#include "script/amf/AmfCodec.h"

#include <cstddef>
#include <cstdint>

namespace {

void roundTrip(const script::amf::Document& doc, script::amf::NodeId root)
{
    using namespace script::amf;
    for (bool amf3 : {false, true}) {
        script::BigEndianWriter out;
        const auto written = amf3 ? writeAmf3(doc, root, out) : writeAmf0(doc, root, out);
        if (!written)
            continue; // deeper than the writer goes: refused, as it should be
        Document again;
        script::BigEndianReader in(out.data());
        const auto read = amf3 ? readAmf3(again, in) : readAmf0(again, in);
        if (!read)
            __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace script::amf;
    for (bool amf3 : {false, true}) {
        Document doc;
        script::BigEndianReader in(std::span(data, size));
        const auto root = amf3 ? readAmf3(doc, in) : readAmf0(doc, in);
        if (root)
            roundTrip(doc, *root);
    }
    return 0;
}
