// The decoders of control tags: what the open frame shows or does, kept in the order
// the movie gives it. Action bytes are kept exactly as stored, for the interpreter.
#include "Records.h"
#include "TagDecoders.h"

#include <string>

namespace swf::tags {

namespace {

std::vector<std::uint8_t> copy(std::span<const std::uint8_t> bytes)
{
    return {bytes.begin(), bytes.end()};
}

} // namespace

Status placeObject(TagSite& site, ByteReader& in, int version)
{
    auto place = parsePlaceObject(in, version, site.ctx.swfVersion);
    if (!place)
        return place.error();
    if (!place->clipActionsCutAt.empty()) {
        site.ctx.note(std::string(tagName(site.code)) + " (depth " + std::to_string(place->depth) +
                      "): the clip actions end early, in " + std::string(place->clipActionsCutAt) +
                      "; " + std::to_string(place->clipActions.size()) + " handlers kept");
    }
    site.frame.tags.push_back(std::move(place.value()));
    return Ok{};
}

Status removeObject(TagSite& site, ByteReader& in, int version)
{
    auto remove = parseRemoveObject(in, version);
    if (!remove)
        return remove.error();
    site.frame.tags.push_back(remove.value());
    return Ok{};
}

Status doAction(TagSite& site, ByteReader& in, int)
{
    site.frame.tags.push_back(DoAction{copy(in.rest())});
    return Ok{};
}

Status doInitAction(TagSite& site, ByteReader& in, int)
{
    DoInitAction init;
    init.spriteId = in.u16();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "sprite id");
    init.actions = copy(in.rest());
    site.frame.tags.push_back(std::move(init));
    return Ok{};
}

// Version 1 is DoABCDefine, the bare block; version 2 is DoABC.
Status doAbc(TagSite& site, ByteReader& in, int version)
{
    DoAbc block;
    if (version == 2) {
        block.flags = in.u32();
        block.name = in.cstring();
        if (!in.ok())
            return makeError(ErrorCode::Truncated, "flags and name");
    }
    block.abc = copy(in.rest());
    site.frame.tags.push_back(std::move(block));
    return Ok{};
}

Status symbolClass(TagSite& site, ByteReader& in, int)
{
    const std::uint16_t count = in.u16();
    SymbolClass tag;
    // Each entry takes at least three bytes: an id and a terminated name.
    if (!in.ok() || count > in.remaining() / 3)
        return makeError(ErrorCode::Truncated, "symbol count");
    tag.symbols.reserve(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        const CharacterId id = in.u16();
        std::string name = in.cstring();
        if (!in.ok())
            return makeError(ErrorCode::Truncated, "symbol " + std::to_string(i));
        tag.symbols.emplace_back(id, std::move(name));
    }
    site.frame.tags.push_back(std::move(tag));
    return Ok{};
}

Status setBackgroundColor(TagSite& site, ByteReader& in, int)
{
    const Rgba color = readRgb(in);
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "colour");
    site.frame.tags.push_back(SetBackgroundColor{color});
    return Ok{};
}

Status startSound(TagSite& site, ByteReader& in, int version)
{
    StartSound start;
    if (version == 1)
        start.soundId = in.u16();
    else
        start.className = in.cstring();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "sound");
    start.soundInfo = copy(in.rest());
    site.frame.tags.push_back(std::move(start));
    return Ok{};
}

// The stream's records are read by the sound engine, which plays them.
Status soundStreamHead(TagSite& site, ByteReader& in, int)
{
    site.timeline.soundStreamHead = copy(in.rest());
    return Ok{};
}

Status soundStreamBlock(TagSite& site, ByteReader& in, int)
{
    // Leniency: a second block in one frame is joined to the first, so no sound is lost.
    const auto bytes = in.rest();
    site.frame.soundStreamBlock.insert(site.frame.soundStreamBlock.end(), bytes.begin(),
                                       bytes.end());
    return Ok{};
}

Status frameLabel(TagSite& site, ByteReader& in, int)
{
    std::string label = in.cstring();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "label");
    // The first frame to carry a label keeps it.
    site.timeline.labels.emplace(label, site.timeline.frames.size());
    site.frame.labels.push_back(std::move(label));
    return Ok{};
}

} // namespace swf::tags
