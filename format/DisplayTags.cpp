#include "DisplayTags.h"

#include "Records.h"

#include <string>

namespace swf {

namespace {

// PlaceFlag bits of PlaceObject2's first byte, read high bit first in the format.
enum PlaceFlag : std::uint8_t {
    PlaceFlagMove = 0x01,
    PlaceFlagHasCharacter = 0x02,
    PlaceFlagHasMatrix = 0x04,
    PlaceFlagHasColorTransform = 0x08,
    PlaceFlagHasRatio = 0x10,
    PlaceFlagHasName = 0x20,
    PlaceFlagHasClipDepth = 0x40,
    PlaceFlagHasClipActions = 0x80,
};

// PlaceObject3's second byte.
enum PlaceFlag3 : std::uint8_t {
    PlaceFlagHasFilterList = 0x01,
    PlaceFlagHasBlendMode = 0x02,
    PlaceFlagHasCacheAsBitmap = 0x04,
    PlaceFlagHasClassName = 0x08,
    PlaceFlagHasImage = 0x10,
    PlaceFlagHasVisible = 0x20,
    PlaceFlagOpaqueBackground = 0x40,
};

Error placeError(ErrorCode code, int placeVersion, const std::string& field)
{
    const std::string tag =
        placeVersion == 1 ? "PlaceObject" : "PlaceObject" + std::to_string(placeVersion);
    return makeError(code, tag + ": " + field);
}

// CLIPEVENTFLAGS: 16 bits before version 6, 32 bits from it.
std::size_t eventFlagsSize(int swfVersion)
{
    return swfVersion >= 6 ? 4 : 2;
}

std::uint32_t readEventFlags(ByteReader& in, int swfVersion)
{
    return swfVersion >= 6 ? in.u32() : in.u16();
}

// CLIPACTIONS: a reserved word, the union of all events, then one CLIPACTIONRECORD
// per handler up to a zero event word, the ClipActionEndFlag.
//
// Leniency: damage inside the list never costs the placement. Some writers stop after
// the last record without the end word, or end a version 6 movie's list with a 16-bit
// end word where its event words are 32 bits; the reference player places the object
// and runs the handlers read before the damage, and so do we. A record cut short is
// dropped, as its byte code would stop in the middle of an action. Where the list
// ended goes to clipActionsCutAt, which the movie reader turns into a note.
void readClipActions(ByteReader& in, int swfVersion, PlaceObject& place)
{
    in.u16();                       // reserved
    readEventFlags(in, swfVersion); // AllEventFlags, the union of the records' own
    if (!in.ok()) {
        place.clipActionsCutAt = "AllEventFlags";
        return;
    }
    while (true) {
        if (in.remaining() < eventFlagsSize(swfVersion)) {
            place.clipActionsCutAt = "ClipActionEndFlag";
            return;
        }
        ClipAction action;
        action.events = readEventFlags(in, swfVersion);
        if (action.events == 0)
            return;
        const std::uint32_t size = in.u32(); // ActionRecordSize, the key code included
        if (!in.ok() || size > in.remaining()) {
            place.clipActionsCutAt = "ActionRecordSize";
            return;
        }
        ByteReader record = in.sub(size);
        if ((action.events & ClipEventKeyPress) && swfVersion >= 6) {
            action.keyCode = record.u8();
            if (!record.ok()) {
                place.clipActionsCutAt = "KeyCode";
                return;
            }
        }
        const auto actions = record.rest();
        action.actions.assign(actions.begin(), actions.end());
        place.clipActions.push_back(std::move(action));
    }
}

// The fields PlaceObject3 adds after ClipDepth.
Status readPlace3Fields(ByteReader& in, std::uint8_t flags3, PlaceObject& place)
{
    if (flags3 & PlaceFlagHasFilterList) {
        auto filters = parseFilterList(in);
        if (!filters)
            return filters.error();
        place.filters = std::move(filters).value();
    }
    if (flags3 & PlaceFlagHasBlendMode)
        place.blendMode = blendModeFromByte(in.u8());
    if (!in.ok())
        return placeError(ErrorCode::Truncated, 3, "BlendMode");
    // Some writers set the flags of the last fields (BitmapCache, Visible,
    // BackgroundColor) yet end the body before them. The body's end gives those
    // fields their defaults: a set cache flag caches, the object is visible, and
    // there is no background.
    if (flags3 & PlaceFlagHasCacheAsBitmap)
        place.cacheAsBitmap = in.atEnd() ? true : in.u8() != 0;
    if (flags3 & PlaceFlagHasVisible)
        place.visible = in.atEnd() ? true : in.u8() != 0;
    if ((flags3 & PlaceFlagOpaqueBackground) && !in.atEnd())
        place.backgroundColor = readRgba(in);
    if (!in.ok())
        return placeError(ErrorCode::Truncated, 3, "BackgroundColor");
    return Ok{};
}

Result<PlaceObject> parsePlaceObject1(ByteReader& in)
{
    PlaceObject place;
    place.version = 1;
    place.characterId = in.u16();
    place.depth = in.u16();
    place.matrix = readMatrix(in);
    if (!in.ok())
        return placeError(ErrorCode::Truncated, 1, "Matrix");
    // The colour transform is there only when bytes remain after the matrix.
    if (!in.atEnd()) {
        place.colorTransform = readColorTransform(in, false);
        if (!in.ok())
            return placeError(ErrorCode::Truncated, 1, "ColorTransform");
    }
    return place;
}

} // namespace

Result<PlaceObject> parsePlaceObject(ByteReader& in, int placeVersion, int swfVersion)
{
    if (placeVersion == 1)
        return parsePlaceObject1(in);
    if (placeVersion != 2 && placeVersion != 3)
        return makeError(ErrorCode::Unsupported, "PlaceObject version");
    PlaceObject place;
    place.version = placeVersion;
    const std::uint8_t flags = in.u8();
    const std::uint8_t flags3 = placeVersion == 3 ? in.u8() : 0;
    place.depth = in.u16();
    if (!in.ok())
        return placeError(ErrorCode::Truncated, placeVersion, "Depth");
    place.move = flags & PlaceFlagMove;
    // The format gives a class name also when an image is placed by character id.
    if ((flags3 & PlaceFlagHasClassName) ||
        ((flags3 & PlaceFlagHasImage) && (flags & PlaceFlagHasCharacter)))
        place.className = in.cstring();
    if (flags & PlaceFlagHasCharacter)
        place.characterId = in.u16();
    if (flags & PlaceFlagHasMatrix)
        place.matrix = readMatrix(in);
    if (flags & PlaceFlagHasColorTransform)
        place.colorTransform = readColorTransform(in, true);
    if (flags & PlaceFlagHasRatio)
        place.ratio = in.u16();
    if (flags & PlaceFlagHasName)
        place.name = in.cstring();
    if (flags & PlaceFlagHasClipDepth)
        place.clipDepth = in.u16();
    if (!in.ok())
        return placeError(ErrorCode::Truncated, placeVersion, "fields before ClipDepth");
    if (placeVersion == 3) {
        if (auto read = readPlace3Fields(in, flags3, place); !read)
            return read.error();
    }
    // A body that ends where its clip actions should start is read as having none,
    // like the short PlaceObject3 bodies above.
    if ((flags & PlaceFlagHasClipActions) && !in.atEnd())
        readClipActions(in, swfVersion, place);
    return place;
}

Result<RemoveObject> parseRemoveObject(ByteReader& in, int removeVersion)
{
    RemoveObject remove;
    if (removeVersion == 1)
        remove.characterId = in.u16();
    remove.depth = in.u16();
    if (!in.ok())
        return makeError(ErrorCode::Truncated,
                         removeVersion == 1 ? "RemoveObject: Depth" : "RemoveObject2: Depth");
    return remove;
}

} // namespace swf
