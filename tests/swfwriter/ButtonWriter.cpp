#include "ButtonWriter.h"

namespace swfwriter {

namespace {

void writeRecords(ByteWriter& out, const std::vector<ButtonRecord>& records, bool version2)
{
    for (const ButtonRecord& r : records) {
        std::uint8_t flags = r.states & 0x0f;
        if (version2 && !r.filterListBytes.empty())
            flags |= 0x10; // ButtonHasFilterList
        if (version2 && r.blendMode)
            flags |= 0x20; // ButtonHasBlendMode
        out.u8(flags);
        out.u16(r.characterId);
        out.u16(r.depth);
        writeMatrix(out, r.matrix);
        if (version2) {
            writeColorTransform(out, r.colorTransform, true);
            out.bytes(r.filterListBytes);
            if (r.blendMode)
                out.u8(*r.blendMode);
        }
    }
    out.u8(0); // CharacterEndFlag
}

} // namespace

std::vector<std::uint8_t> defineButtonBody(std::uint16_t id,
                                           const std::vector<ButtonRecord>& records,
                                           const std::vector<std::uint8_t>& actions)
{
    ByteWriter out;
    out.u16(id);
    writeRecords(out, records, false);
    out.bytes(actions);
    return out.data();
}

std::vector<std::uint8_t> defineButton2Body(std::uint16_t id, bool trackAsMenu,
                                            const std::vector<ButtonRecord>& records,
                                            const std::vector<ButtonCondAction>& actions)
{
    ByteWriter recordBytes;
    writeRecords(recordBytes, records, true);
    const auto& recordData = recordBytes.data();

    ByteWriter out;
    out.u16(id);
    out.u8(trackAsMenu ? 1 : 0);
    // ActionOffset counts from its own first byte: itself and the records.
    out.u16(actions.empty() ? 0 : static_cast<std::uint16_t>(2 + recordData.size()));
    out.bytes(recordData);
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const ButtonCondAction& a = actions[i];
        const bool last = i + 1 == actions.size();
        out.u16(last ? 0 : static_cast<std::uint16_t>(4 + a.actions.size()));
        const std::uint16_t word = static_cast<std::uint16_t>(
            (a.conditions & 0xff) | ((a.conditions & 0x100) ? 0x100 : 0) | (a.keyCode << 9));
        out.u16(word);
        out.bytes(a.actions);
    }
    return out.data();
}

std::vector<std::uint8_t> defineButtonCxformBody(std::uint16_t id,
                                                 const std::vector<ColorTransform>& transforms)
{
    ByteWriter out;
    out.u16(id);
    for (const ColorTransform& cx : transforms)
        writeColorTransform(out, cx, false);
    return out.data();
}

} // namespace swfwriter
