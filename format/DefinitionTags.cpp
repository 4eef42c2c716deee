// The decoders of character definitions and of the tags that complete one. The tag
// walk has read the character id; each reads the rest of the body.
#include "TagDecoders.h"

#include <string>

namespace swf::tags {

namespace {

template <typename T> Status defineFrom(TagSite& site, Result<T> parsed)
{
    if (!parsed)
        return parsed.error();
    site.ctx.define(site.id, std::move(parsed.value()));
    return Ok{};
}

Status defineBitmap(TagSite& site, Result<Bitmap> bitmap)
{
    if (bitmap && !bitmap->complete)
        site.ctx.note("bitmap " + std::to_string(site.id) + " is incomplete");
    return defineFrom(site, std::move(bitmap));
}

template <typename T> T* earlier(TagSite& site)
{
    Character* target = site.ctx.find(site.id);
    return target ? std::get_if<T>(&target->data) : nullptr;
}

} // namespace

Status defineShape(TagSite& site, ByteReader& in, int version)
{
    return defineFrom(site, parseShapeDeferred(in, version, site.ctx.owner));
}

Status defineMorphShape(TagSite& site, ByteReader& in, int version)
{
    return defineFrom(site, parseMorphShape(in, version));
}

Status defineBits(TagSite& site, ByteReader& in, int)
{
    return defineBitmap(site, decodeDefineBits(in.rest(), site.ctx.jpegTables, site.ctx.pixels));
}

Status defineBitsJpeg(TagSite& site, ByteReader& in, int version)
{
    return defineBitmap(site, decodeDefineBitsJpeg(in, version, site.ctx.pixels));
}

Status defineBitsLossless(TagSite& site, ByteReader& in, int version)
{
    return defineBitmap(site, decodeDefineBitsLossless(in, version, site.ctx.pixels));
}

Status defineFont(TagSite& site, ByteReader& in, int version)
{
    return defineFrom(site, parseFont(in, version));
}

Status defineText(TagSite& site, ByteReader& in, int version)
{
    return defineFrom(site, parseStaticText(in, version));
}

Status defineEditText(TagSite& site, ByteReader& in, int)
{
    return defineFrom(site, parseEditText(in));
}

Status defineButton(TagSite& site, ByteReader& in, int version)
{
    return defineFrom(site, parseButton(in, version));
}

Status defineSprite(TagSite& site, ByteReader& in, int)
{
    if (site.nesting >= limits::kMaxDefinitionNesting)
        return makeError(ErrorCode::TooDeep, "sprite definitions");
    Sprite sprite;
    sprite.declaredFrameCount = in.u16();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "frame count");
    if (auto status = parseTimeline(site.ctx, in.rest(), sprite.timeline, site.nesting + 1);
        !status)
        return status;
    site.ctx.define(site.id, std::move(sprite));
    return Ok{};
}

Status defineVideoStream(TagSite& site, ByteReader& in, int)
{
    return defineFrom(site, parseVideoStream(in));
}

Status defineOpaque(TagSite& site, ByteReader& in, int)
{
    const auto rest = in.rest();
    site.ctx.define(site.id, OpaqueCharacter{site.code, {rest.begin(), rest.end()}});
    return Ok{};
}

Status completeFontInfo(TagSite& site, ByteReader& in, int version)
{
    Font* font = earlier<Font>(site);
    if (!font)
        return makeError(ErrorCode::BadReference, "font " + std::to_string(site.id));
    return applyFontInfo(in, version, *font);
}

Status completeButtonCxform(TagSite& site, ByteReader& in, int)
{
    Button* button = earlier<Button>(site);
    if (!button)
        return makeError(ErrorCode::BadReference, "button " + std::to_string(site.id));
    return applyButtonCxform(in, *button);
}

Status completeButtonSound(TagSite& site, ByteReader& in, int)
{
    Button* button = earlier<Button>(site);
    if (!button)
        return makeError(ErrorCode::BadReference, "button " + std::to_string(site.id));
    return applyButtonSound(in, *button);
}

Status completeVideoFrame(TagSite& site, ByteReader& in, int)
{
    VideoStream* stream = earlier<VideoStream>(site);
    if (!stream)
        return makeError(ErrorCode::BadReference, "video stream " + std::to_string(site.id));
    return addVideoFrame(in, *stream);
}

// Settings for a static text are of no use to the player; for an unknown id, no more.
Status completeTextSettings(TagSite& site, ByteReader& in, int)
{
    EditText* field = earlier<EditText>(site);
    if (!field)
        return Ok{};
    const std::uint8_t flags = in.u8();
    TextRendering rendering;
    rendering.advanced = (flags >> 6) == 1;
    rendering.gridFit = static_cast<std::uint8_t>((flags >> 3) & 7);
    rendering.thickness = in.f32();
    rendering.sharpness = in.f32();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "CSMTextSettings");
    field->rendering = rendering;
    return Ok{};
}

} // namespace swf::tags
