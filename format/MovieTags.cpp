// The decoders of tags about the movie as a whole rather than a frame or a character.
#include "TagDecoders.h"

namespace swf::tags {

Status jpegTables(TagSite& site, ByteReader& in, int)
{
    const auto tables = in.rest();
    site.ctx.jpegTables.assign(tables.begin(), tables.end());
    return Ok{};
}

Status exportAssets(TagSite& site, ByteReader& in, int)
{
    const std::uint16_t count = in.u16();
    // Leniency: a list cut short keeps the names read before the cut (and says so).
    for (std::uint16_t i = 0; i < count && in.ok(); ++i) {
        const CharacterId id = in.u16();
        std::string name = in.cstring();
        if (in.ok())
            site.ctx.movie.exports.emplace(std::move(name), id);
    }
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "export list");
    return Ok{};
}

Status importAssets(TagSite& site, ByteReader& in, int version)
{
    AssetImport import;
    // Leniency: an import inside a sprite definition is taken as the movie's, standing
    // at its start.
    if (site.nesting == 0) {
        import.frame = site.timeline.frames.size();
        import.tagIndex = site.frame.tags.size();
    }
    import.url = in.cstring();
    if (version == 2) {
        in.u8(); // reserved, 1
        in.u8(); // reserved, 0
    }
    const std::uint16_t count = in.u16();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "URL");
    // Leniency: as with exports, a list cut short keeps what was read before the cut.
    // The count is not trusted for an allocation: each entry is read before it is kept.
    for (std::uint16_t i = 0; i < count && in.ok(); ++i) {
        ImportedAsset asset;
        asset.id = in.u16();
        asset.name = in.cstring();
        if (in.ok())
            import.assets.push_back(std::move(asset));
    }
    site.ctx.movie.imports.push_back(std::move(import));
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "import list");
    return Ok{};
}

Status fileAttributes(TagSite& site, ByteReader& in, int)
{
    // The movie's attributes come from its own timeline only.
    if (site.nesting > 0)
        return Ok{};
    const std::uint32_t flags = in.u32();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "flags");
    FileAttributes& a = site.ctx.movie.attributes;
    a.useDirectBlit = flags & 0x40;
    a.useGpu = flags & 0x20;
    a.hasMetadata = flags & 0x10;
    a.actionScript3 = flags & 0x08;
    a.useNetwork = flags & 0x01;
    return Ok{};
}

Status scriptLimits(TagSite& site, ByteReader& in, int)
{
    ScriptLimits limits;
    limits.maxRecursionDepth = in.u16();
    limits.scriptTimeoutSeconds = in.u16();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "ScriptTimeoutSeconds");
    // A later tag overrides an earlier one, as each overrides the player's defaults.
    site.ctx.movie.scriptLimits = limits;
    return Ok{};
}

} // namespace swf::tags
