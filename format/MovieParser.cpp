// Reads a movie's tag stream into its definition: the dictionary of characters, the
// main timeline and every sprite's timeline. Each tag goes where TagTable.cpp says; a
// tag that cannot be read is skipped with a note; a tag stream that ends early ends the
// movie with what was read.
#include "ErrorContext.h"
#include "Movie.h"
#include "ParseContext.h"
#include "TagReader.h"
#include "TagTable.h"

#include <string>

namespace swf {

namespace {

std::string tagLabel(std::uint16_t code, std::optional<CharacterId> id = {})
{
    std::string label(tagName(code));
    if (id)
        label += " (id " + std::to_string(*id) + ")";
    return label;
}

// Runs one tag's decoder and notes its failure; the walk goes on either way.
void decodeTag(ParseContext& ctx, const TagHandler& handler, const TagRecord& tag, TagSite& site)
{
    ByteReader in(tag.body);
    std::optional<CharacterId> id;
    if (handler.kind == TagKind::Definition || handler.kind == TagKind::Completion) {
        // Leniency: definitions belong to the main timeline, but one inside a sprite
        // is read all the same, as a definition of the movie's.
        id = in.u16();
        if (!in.ok()) {
            ctx.note(inContext(tagLabel(tag.code), makeError(ErrorCode::Truncated, "character id"))
                         .message());
            return;
        }
        site.id = *id;
    }
    if (auto status = handler.decode(site, in, handler.version); !status)
        ctx.note(inContext(tagLabel(tag.code, id), status.error()).message());
}

} // namespace

Status parseTimeline(ParseContext& ctx, std::span<const std::uint8_t> data, Timeline& timeline,
                     int nesting)
{
    TagReader tags(data);
    Frame frame;
    bool ended = false;
    while (!ended) {
        const auto tag = tags.next();
        if (!tag)
            break;
        // Codes the table does not list (newer or private tags) are skipped by length.
        const TagHandler* handler = findTagHandler(tag->code);
        if (!handler)
            continue;
        switch (handler->kind) {
        case TagKind::End:
            ended = true;
            continue;
        case TagKind::ShowFrame:
            if (timeline.frames.size() >= limits::kMaxFrames) {
                ctx.note("more frames than this player accepts");
                ended = true;
                continue;
            }
            timeline.frames.push_back(std::move(frame));
            frame = Frame{};
            continue;
        case TagKind::Skipped:
            continue;
        case TagKind::Control:
            if (frame.tags.size() >= limits::kMaxTagsPerFrame) {
                ctx.note("more tags in one frame than this player accepts");
                ended = true;
                continue;
            }
            break;
        case TagKind::Definition:
        case TagKind::Completion:
        case TagKind::Movie:
            break;
        }
        TagSite site{ctx, timeline, frame, nesting, tag->code};
        decodeTag(ctx, *handler, *tag, site);
    }
    if (tags.truncated()) {
        ctx.movie.complete = false;
        ctx.note("the tag stream ends inside a tag");
    }
    // Tags after the last ShowFrame still make a frame of their own, an unfinished one.
    const bool partialFrame = !frame.tags.empty() || !frame.labels.empty();
    timeline.complete = ended && !partialFrame && !tags.truncated();
    if (partialFrame)
        timeline.frames.push_back(std::move(frame));
    return Ok{};
}

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
