// Reads a movie's tag stream into its definition: the dictionary of characters, the
// main timeline and every sprite's timeline. A tag that cannot be read is skipped with
// a note; a tag stream that ends early ends the movie with what was read.
#include "ErrorContext.h"
#include "Limits.h"
#include "Movie.h"
#include "Records.h"
#include "TagCodes.h"
#include "TagReader.h"

#include <string>

namespace swf {

namespace {

// Notes kept for diagnostics; a hostile file could otherwise make one per tag.
constexpr std::size_t kMaxNotes = 64;

struct ParseContext {
    ParseContext(MovieDefinition& target, int version) : movie(target), swfVersion(version) {}

    MovieDefinition& movie;
    int swfVersion = 0;
    // The uncompressed movie, which shapes read late keep alive.
    std::shared_ptr<const ByteBuffer> owner;
    std::vector<std::uint8_t> jpegTables;
    PixelBudget pixels{limits::kMaxTotalBitmapPixels};
    // The characters as they are read; font info and button colour transforms change a
    // definition after it was made, so they stay writable until the movie is published.
    std::vector<std::shared_ptr<Character>> characters;

    void note(std::string text)
    {
        if (movie.notes.size() < kMaxNotes)
            movie.notes.push_back(std::move(text));
    }
    Character* find(CharacterId id)
    {
        return id < characters.size() ? characters[id].get() : nullptr;
    }
    void define(CharacterId id, CharacterData data)
    {
        if (find(id)) {
            // Leniency: a second definition of an id is ignored; the first one stays.
            note("character " + std::to_string(id) + " defined twice");
            return;
        }
        if (id >= characters.size())
            characters.resize(std::size_t(id) + 1);
        characters[id] = std::make_shared<Character>(Character{id, std::move(data)});
    }
};

std::string tagLabel(std::uint16_t code, std::optional<CharacterId> id = {})
{
    std::string label(tagName(code));
    if (id)
        label += " (id " + std::to_string(*id) + ")";
    return label;
}

// Character definitions: every one starts with its id.
Status parseDefinition(ParseContext& ctx, std::uint16_t code, ByteReader& in, int nesting);

template <typename T> Status defineFrom(ParseContext& ctx, CharacterId id, Result<T> parsed)
{
    if (!parsed)
        return parsed.error();
    ctx.define(id, std::move(parsed.value()));
    return Ok{};
}

Status defineBitmap(ParseContext& ctx, CharacterId id, Result<Bitmap> bitmap)
{
    if (bitmap && !bitmap->complete)
        ctx.note("bitmap " + std::to_string(id) + " is incomplete");
    return defineFrom(ctx, id, std::move(bitmap));
}

Status parseTimeline(ParseContext& ctx, std::span<const std::uint8_t> data, Timeline& timeline,
                     int nesting);

Status parseSprite(ParseContext& ctx, CharacterId id, ByteReader& in, int nesting)
{
    if (nesting >= limits::kMaxDefinitionNesting)
        return makeError(ErrorCode::TooDeep, "sprite definitions");
    Sprite sprite;
    sprite.declaredFrameCount = in.u16();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "frame count");
    if (auto status = parseTimeline(ctx, in.rest(), sprite.timeline, nesting + 1); !status)
        return status;
    ctx.define(id, std::move(sprite));
    return Ok{};
}

Status parseDefinition(ParseContext& ctx, std::uint16_t code, ByteReader& in, int nesting)
{
    const CharacterId id = in.u16();
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "character id");
    switch (static_cast<TagCode>(code)) {
    case TagCode::DefineShape:
        return defineFrom(ctx, id, parseShapeDeferred(in, 1, ctx.owner));
    case TagCode::DefineShape2:
        return defineFrom(ctx, id, parseShapeDeferred(in, 2, ctx.owner));
    case TagCode::DefineShape3:
        return defineFrom(ctx, id, parseShapeDeferred(in, 3, ctx.owner));
    case TagCode::DefineShape4:
        return defineFrom(ctx, id, parseShapeDeferred(in, 4, ctx.owner));
    case TagCode::DefineMorphShape:
        return defineFrom(ctx, id, parseMorphShape(in, 1));
    case TagCode::DefineMorphShape2:
        return defineFrom(ctx, id, parseMorphShape(in, 2));
    case TagCode::DefineBits:
        return defineBitmap(ctx, id, decodeDefineBits(in.rest(), ctx.jpegTables, ctx.pixels));
    case TagCode::DefineBitsJPEG2:
        return defineBitmap(ctx, id, decodeDefineBitsJpeg(in, 2, ctx.pixels));
    case TagCode::DefineBitsJPEG3:
        return defineBitmap(ctx, id, decodeDefineBitsJpeg(in, 3, ctx.pixels));
    case TagCode::DefineBitsJPEG4:
        return defineBitmap(ctx, id, decodeDefineBitsJpeg(in, 4, ctx.pixels));
    case TagCode::DefineBitsLossless:
        return defineBitmap(ctx, id, decodeDefineBitsLossless(in, 1, ctx.pixels));
    case TagCode::DefineBitsLossless2:
        return defineBitmap(ctx, id, decodeDefineBitsLossless(in, 2, ctx.pixels));
    case TagCode::DefineFont:
        return defineFrom(ctx, id, parseFont(in, 1));
    case TagCode::DefineFont2:
        return defineFrom(ctx, id, parseFont(in, 2));
    case TagCode::DefineFont3:
        return defineFrom(ctx, id, parseFont(in, 3));
    case TagCode::DefineText:
        return defineFrom(ctx, id, parseStaticText(in, 1));
    case TagCode::DefineText2:
        return defineFrom(ctx, id, parseStaticText(in, 2));
    case TagCode::DefineEditText:
        return defineFrom(ctx, id, parseEditText(in));
    case TagCode::DefineButton:
        return defineFrom(ctx, id, parseButton(in, 1));
    case TagCode::DefineButton2:
        return defineFrom(ctx, id, parseButton(in, 2));
    case TagCode::DefineSprite:
        return parseSprite(ctx, id, in, nesting);
    case TagCode::DefineFontInfo:
    case TagCode::DefineFontInfo2: {
        Character* target = ctx.find(id);
        Font* font = target ? std::get_if<Font>(&target->data) : nullptr;
        if (!font)
            return makeError(ErrorCode::BadReference, "font " + std::to_string(id));
        return applyFontInfo(in, code == std::uint16_t(TagCode::DefineFontInfo) ? 1 : 2, *font);
    }
    case TagCode::DefineButtonCxform: {
        Character* target = ctx.find(id);
        Button* button = target ? std::get_if<Button>(&target->data) : nullptr;
        if (!button)
            return makeError(ErrorCode::BadReference, "button " + std::to_string(id));
        return applyButtonCxform(in, *button);
    }
    default: {
        // Sounds, video and binary data: kept for the parts of the engine that come later.
        const auto rest = in.rest();
        ctx.define(id, OpaqueCharacter{code, {rest.begin(), rest.end()}});
        return Ok{};
    }
    }
}

bool isDefinition(std::uint16_t code)
{
    switch (static_cast<TagCode>(code)) {
    case TagCode::DefineShape:
    case TagCode::DefineShape2:
    case TagCode::DefineShape3:
    case TagCode::DefineShape4:
    case TagCode::DefineMorphShape:
    case TagCode::DefineMorphShape2:
    case TagCode::DefineBits:
    case TagCode::DefineBitsJPEG2:
    case TagCode::DefineBitsJPEG3:
    case TagCode::DefineBitsJPEG4:
    case TagCode::DefineBitsLossless:
    case TagCode::DefineBitsLossless2:
    case TagCode::DefineFont:
    case TagCode::DefineFont2:
    case TagCode::DefineFont3:
    case TagCode::DefineFont4:
    case TagCode::DefineFontInfo:
    case TagCode::DefineFontInfo2:
    case TagCode::DefineText:
    case TagCode::DefineText2:
    case TagCode::DefineEditText:
    case TagCode::DefineButton:
    case TagCode::DefineButton2:
    case TagCode::DefineButtonCxform:
    case TagCode::DefineSprite:
    case TagCode::DefineSound:
    case TagCode::DefineVideoStream:
    case TagCode::DefineBinaryData:
        return true;
    default:
        return false;
    }
}

// Tags that change what the frame being read shows or does; nullopt for others.
Result<std::optional<ControlTag>> parseControlTag(ParseContext& ctx, std::uint16_t code,
                                                  ByteReader& in)
{
    switch (static_cast<TagCode>(code)) {
    case TagCode::PlaceObject:
    case TagCode::PlaceObject2:
    case TagCode::PlaceObject3: {
        const int version = code == std::uint16_t(TagCode::PlaceObject)    ? 1
                            : code == std::uint16_t(TagCode::PlaceObject2) ? 2
                                                                           : 3;
        auto place = parsePlaceObject(in, version, ctx.swfVersion);
        if (!place)
            return place.error();
        return std::optional<ControlTag>(std::move(place.value()));
    }
    case TagCode::RemoveObject:
    case TagCode::RemoveObject2: {
        auto remove = parseRemoveObject(in, code == std::uint16_t(TagCode::RemoveObject) ? 1 : 2);
        if (!remove)
            return remove.error();
        return std::optional<ControlTag>(remove.value());
    }
    case TagCode::DoAction: {
        const auto bytes = in.rest();
        return std::optional<ControlTag>(DoAction{{bytes.begin(), bytes.end()}});
    }
    case TagCode::DoInitAction: {
        DoInitAction init;
        init.spriteId = in.u16();
        if (!in.ok())
            return makeError(ErrorCode::Truncated, "sprite id");
        const auto bytes = in.rest();
        init.actions.assign(bytes.begin(), bytes.end());
        return std::optional<ControlTag>(std::move(init));
    }
    case TagCode::SetBackgroundColor: {
        const Rgba color = readRgb(in);
        if (!in.ok())
            return makeError(ErrorCode::Truncated, "colour");
        return std::optional<ControlTag>(SetBackgroundColor{color});
    }
    case TagCode::StartSound:
    case TagCode::StartSound2: {
        StartSound start;
        if (code == std::uint16_t(TagCode::StartSound))
            start.soundId = in.u16();
        else
            start.className = in.cstring();
        if (!in.ok())
            return makeError(ErrorCode::Truncated, "sound");
        const auto info = in.rest();
        start.soundInfo.assign(info.begin(), info.end());
        return std::optional<ControlTag>(std::move(start));
    }
    default:
        return std::optional<ControlTag>();
    }
}

Status readExports(ParseContext& ctx, ByteReader& in)
{
    const std::uint16_t count = in.u16();
    for (std::uint16_t i = 0; i < count && in.ok(); ++i) {
        const CharacterId id = in.u16();
        std::string name = in.cstring();
        if (in.ok())
            ctx.movie.exports.emplace(std::move(name), id);
    }
    if (!in.ok())
        return makeError(ErrorCode::Truncated, "export list");
    return Ok{};
}

void readFileAttributes(ParseContext& ctx, ByteReader& in)
{
    const std::uint32_t flags = in.u32();
    if (!in.ok())
        return;
    FileAttributes& a = ctx.movie.attributes;
    a.useDirectBlit = flags & 0x40;
    a.useGpu = flags & 0x20;
    a.hasMetadata = flags & 0x10;
    a.actionScript3 = flags & 0x08;
    a.useNetwork = flags & 0x01;
}

void addLabel(Timeline& timeline, Frame& frame, std::string label)
{
    // The first frame to carry a label keeps it.
    timeline.labels.emplace(label, timeline.frames.size());
    frame.labels.push_back(std::move(label));
}

Status parseTimeline(ParseContext& ctx, std::span<const std::uint8_t> data, Timeline& timeline,
                     int nesting)
{
    const bool mainTimeline = nesting == 0;
    TagReader tags(data);
    Frame frame;
    while (auto tag = tags.next()) {
        if (tag->code == std::uint16_t(TagCode::End))
            break;
        ByteReader in(tag->body);
        if (tag->code == std::uint16_t(TagCode::ShowFrame)) {
            if (timeline.frames.size() >= limits::kMaxFrames) {
                ctx.note("more frames than this player accepts");
                break;
            }
            timeline.frames.push_back(std::move(frame));
            frame = Frame{};
            continue;
        }
        if (frame.tags.size() >= limits::kMaxTagsPerFrame) {
            ctx.note("more tags in one frame than this player accepts");
            break;
        }
        if (tag->code == std::uint16_t(TagCode::FrameLabel)) {
            std::string label = in.cstring();
            if (in.ok())
                addLabel(timeline, frame, std::move(label));
            continue;
        }
        auto control = parseControlTag(ctx, tag->code, in);
        if (!control) {
            ctx.note(inContext(tagLabel(tag->code), control.error()).message());
            continue;
        }
        if (*control) {
            frame.tags.push_back(std::move(**control));
            continue;
        }
        if (isDefinition(tag->code)) {
            // Leniency: definitions belong to the main timeline, but one inside a sprite
            // is read all the same, as a definition of the movie's.
            ByteReader idReader(tag->body);
            const CharacterId id = idReader.u16();
            if (auto status = parseDefinition(ctx, tag->code, in, nesting); !status)
                ctx.note(inContext(tagLabel(tag->code, id), status.error()).message());
            continue;
        }
        switch (static_cast<TagCode>(tag->code)) {
        case TagCode::JPEGTables: {
            const auto tables = in.rest();
            ctx.jpegTables.assign(tables.begin(), tables.end());
            break;
        }
        case TagCode::ExportAssets:
            if (auto status = readExports(ctx, in); !status)
                ctx.note(inContext("ExportAssets", status.error()).message());
            break;
        case TagCode::FileAttributes:
            if (mainTimeline)
                readFileAttributes(ctx, in);
            break;
        default:
            // Everything else (scripts for the other virtual machine, metadata, debugger
            // settings, tags this player does not know) is skipped by its length.
            break;
        }
    }
    if (tags.truncated()) {
        ctx.movie.complete = false;
        ctx.note("the tag stream ends inside a tag");
    }
    // Tags after the last ShowFrame still make a frame of their own.
    if (!frame.tags.empty() || !frame.labels.empty())
        timeline.frames.push_back(std::move(frame));
    return Ok{};
}

} // namespace

Result<MoviePtr> parseMovie(const MovieFile& file)
{
    auto movie = std::make_shared<MovieDefinition>();
    movie->header = file.header;
    movie->complete = file.complete;
    if (!file.complete)
        movie->notes.push_back("the compressed data ends early");
    ParseContext ctx(*movie, file.header.version);
    ctx.owner = file.body;
    const auto tags = file.bytes().subspan(std::min(file.tagsOffset, file.bytes().size()));
    if (auto status = parseTimeline(ctx, tags, movie->timeline, 0); !status)
        return status.error();
    for (auto& character : ctx.characters) {
        if (character)
            movie->define(std::move(character));
    }
    return MoviePtr(std::move(movie));
}

Result<MoviePtr> loadMovie(std::span<const std::uint8_t> file)
{
    auto decoded = decodeMovieFile(file);
    if (!decoded)
        return decoded.error();
    return parseMovie(*decoded);
}

} // namespace swf
